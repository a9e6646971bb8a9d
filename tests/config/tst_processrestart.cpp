// A fresh run of the program in place of the running one, with real
// processes: the stand-in logs every run of itself.
#include "tests/common/testfiles.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestProcessRestart : public QObject
{
    Q_OBJECT
private slots:
    void restart_data()
    {
        QTest::addColumn<QString>("program");    // what the restart runs; empty: itself
        QTest::addColumn<QString>("secondLine"); // of the log, without a pid
        QTest::addColumn<QByteArray>("error");
        // bash's exec -a gives the program a name not on the search path.
        QTest::newRow("replaces the process")
            << QString() << binary + "|ovpager-alias" << QByteArray();
        const QString gone = dir.filePath(QStringLiteral("gone"));
        QTest::newRow("failed exec goes on")
            << gone << "went on: cannot run " + gone + ": No such file or directory"
            << "Could not restart " + QFile::encodeName(gone) + '\n';
    }

    void restart()
    {
        QFETCH(QString, program);
        QFETCH(QString, secondLine);
        QFETCH(QByteArray, error);

        QFile log(dir.filePath(QStringLiteral("log")));
        log.remove();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("RESTART_LOG"), log.fileName());
        if (!program.isEmpty())
            env.insert(QStringLiteral("RESTART_PROGRAM"), program);
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(QStringLiteral("/bin/bash"),
                    {QStringLiteral("-c"), QStringLiteral("exec -a \"$0\" \"$1\" -debug -vulntest"),
                     QStringLiteral("ovpager-alias"), binary});
        QVERIFY(first.waitForFinished(10000));
        QCOMPARE(first.exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.exitCode(), 0);
        const auto lines = [&log] {
            return QString(testfiles::readAll(log.fileName())).split(u'\n', Qt::SkipEmptyParts);
        };
        QTRY_COMPARE_WITH_TIMEOUT(lines().size(), 2, 10000);
        const QStringList runs = lines();
        // A new process of the same program under the same name, no options.
        QVERIFY(runs.at(1).section(u'|', 0, 0) != runs.at(0).section(u'|', 0, 0));
        QCOMPARE(runs.at(1).mid(runs.at(1).indexOf(u'|') + 1), secondLine);
        QCOMPARE(first.readAllStandardError(), error);
    }

private:
    QTemporaryDir dir;
    const QString binary = QFileInfo(QStringLiteral(RESTART_CHILD)).canonicalFilePath();
};

QTEST_GUILESS_MAIN(TestProcessRestart)
#include "tst_processrestart.moc"
