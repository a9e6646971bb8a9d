// A fresh run of the program in place of the running one, with real
// processes: the stand-in logs every run of itself.
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestProcessRestart : public QObject
{
    Q_OBJECT
private slots:
    void replacesProcess();
    void failedExecGoesOn();

private:
    QStringList runs() const
    {
        QFile f(dir.filePath(QStringLiteral("log")));
        return f.open(QIODevice::ReadOnly)
                   ? QString::fromLocal8Bit(f.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("RESTART_LOG"), dir.filePath(QStringLiteral("log")));
        return env;
    }

    QTemporaryDir dir;
};

void TestProcessRestart::replacesProcess()
{
    const QString binary = QFileInfo(QStringLiteral(RESTART_CHILD)).canonicalFilePath();
    const QString called = QStringLiteral("ovpager-alias"); // not on the search path
    QProcess first;
    first.setProcessEnvironment(environment());
    // bash's exec -a gives the program any name as argv[0].
    first.start(QStringLiteral("/bin/bash"),
                {QStringLiteral("-c"), QStringLiteral("exec -a \"$0\" \"$1\" -debug -vulntest"),
                 called, binary});
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(runs().size(), 2, 10000);

    const QStringList old = runs().at(0).split(u'|');
    const QStringList fresh = runs().at(1).split(u'|');
    QCOMPARE(old.value(2), called + QStringLiteral(" -debug -vulntest"));
    QVERIFY(fresh.value(0) != old.value(0)); // a new process
    QCOMPARE(fresh.value(1), binary);        // of the same program
    QCOMPARE(fresh.value(2), called);        // under the same name, no options
    QVERIFY(first.readAllStandardError().isEmpty());
}

void TestProcessRestart::failedExecGoesOn()
{
    QFile::remove(dir.filePath(QStringLiteral("log")));
    const QString program = dir.filePath(QStringLiteral("gone"));
    QProcessEnvironment env = environment();
    env.insert(QStringLiteral("RESTART_PROGRAM"), program);
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(RESTART_CHILD), {QStringLiteral("-debug")});
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    QCOMPARE(runs().value(1), QStringLiteral("went on: cannot run ") + program +
                                  QStringLiteral(": No such file or directory"));
    QCOMPARE(first.readAllStandardError(),
             QByteArray("Could not restart ") + QFile::encodeName(program) + '\n');
}

QTEST_GUILESS_MAIN(TestProcessRestart)
#include "tst_processrestart.moc"
