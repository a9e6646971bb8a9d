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
    void replacesProcess_data();
    void replacesProcess();
    void failedExecGoesOn_data();
    void failedExecGoesOn();

private:
    QStringList runs() const
    {
        QFile f(dir.filePath(QStringLiteral("log")));
        return f.open(QIODevice::ReadOnly)
                   ? QString::fromLocal8Bit(f.readAll()).split(u'\n', Qt::SkipEmptyParts)
                   : QStringList();
    }
    QProcessEnvironment environment(const QString& program = QString()) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("RESTART_LOG"), dir.filePath(QStringLiteral("log")));
        if (!program.isNull())
            env.insert(QStringLiteral("RESTART_PROGRAM"), program);
        return env;
    }

    QTemporaryDir dir;
};

void TestProcessRestart::replacesProcess_data()
{
    QTest::addColumn<QString>("argv0"); // what the first run is called by
    QTest::newRow("absolute path") << QString();
    QTest::newRow("bare name, not on the search path") << "ovpager-alias";
}

void TestProcessRestart::replacesProcess()
{
    QFETCH(QString, argv0);
    QFile::remove(dir.filePath(QStringLiteral("log")));
    const QString binary = QFileInfo(QStringLiteral(RESTART_CHILD)).canonicalFilePath();
    const QString called = argv0.isEmpty() ? binary : argv0;

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

void TestProcessRestart::failedExecGoesOn_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("why");
    QTest::newRow("missing") << dir.filePath(QStringLiteral("gone")) << "No such file or directory";
    QTest::newRow("not executable") << dir.filePath(QStringLiteral("log")) << "Permission denied";
}

void TestProcessRestart::failedExecGoesOn()
{
    QFETCH(QString, program);
    QFETCH(QString, why);
    QFile log(dir.filePath(QStringLiteral("log")));
    QVERIFY(log.open(QIODevice::WriteOnly)); // also the unrunnable file of one row
    log.close();

    QProcess first;
    first.setProcessEnvironment(environment(program));
    first.start(QStringLiteral(RESTART_CHILD), {QStringLiteral("-debug")});
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(first.exitCode(), 0);
    const QStringList lines = runs();
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(1),
             QStringLiteral("went on: cannot run ") + program + QStringLiteral(": ") + why);
    QCOMPARE(first.readAllStandardError(),
             QByteArray("Could not restart ") + QFile::encodeName(program) + '\n');
}

QTEST_GUILESS_MAIN(TestProcessRestart)
#include "tst_processrestart.moc"
