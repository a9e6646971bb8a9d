#include "inventory/core/cmailerrunner.h"
#include "tests/common/standinprogram.h"

#include <QSignalSpy>
#include <QTest>

#include <csignal>

class TestMailerRunner : public QObject
{
    Q_OBJECT
private slots:
    void failuresReported_data()
    {
        QTest::addColumn<QString>("mailer"); // "%S" is the stand-in, "%D" its folder
        QTest::addColumn<QString>("shell");
        QTest::addColumn<QString>("recipients");
        QTest::addColumn<QString>("message"); // how the report starts
        const QString sh = QStringLiteral("/bin/sh"), to = QStringLiteral("a@x.org");
        QTest::newRow("non-zero status")
            << "%S; exit 3" << sh << to
            << "Mailer ended with status 3; command line: %S; exit 3 'a@x.org'";
        QTest::newRow("killed by a signal")
            << "%S; kill -9 $$" << sh << to
            << "Mailer was killed by a signal; command line: %S; kill -9 $$ 'a@x.org'";
        QTest::newRow("cannot start")
            << "%S" << QStringLiteral("/nonexistent/sh") << to
            << "Could not open pipe to mailer with command line: %S 'a@x.org'";
        // Its child keeps the pipe open: the whole group must go.
        QTest::newRow("hanging, killed at the limit")
            << "%S; sleep 1000 & echo $! > %D/child; wait; :" << sh << to
            << "Mailer did not end within 0.5 s and was killed; command line: %S; sleep 1000";
        QTest::newRow("mailer that reads nothing") << "true" << sh << to << "";
        QTest::newRow("no mailer") << "  " << sh << to << "No mailer command line is set";
        QTest::newRow("blank recipients") << "%S" << sh << " \t "
                                          << "No recipients for the brief mail; nothing was sent";
        QTest::newRow("refused recipients never reach the shell")
            << "%S" << sh << "a@x.org\ntouch %D/owned"
            << "Recipients for the brief mail refused";
    }

    void failuresReported()
    {
        QFETCH(QString, mailer);
        QFETCH(QString, shell);
        QFETCH(QString, recipients);
        QFETCH(QString, message);
        StandInProgram standIn;
        for (QString* text : {&mailer, &recipients, &message})
            text->replace("%S", standIn.path()).replace("%D", standIn.dir());
        CMailerRunner runner;
        runner.setShell(shell);
        runner.setTimeLimit(500);
        QSignalSpy reported(&runner, &CMailerRunner::reported);
        QSignalSpy done(&runner, &CMailerRunner::mailDone);
        const QByteArray body(200000, 'y'); // more than a pipe holds
        runner.send(mailer, recipients, body, QStringLiteral("brief"));
        // The queue goes on, one at a time: a second mail running beside a hanging one would
        // end first.
        runner.send("true", "b@x.org", "next\n", QStringLiteral("verbose"));
        QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 10000);
        QCOMPARE(done.at(0).at(0).toBool(), message.isEmpty());
        QCOMPARE(done.at(1).at(0).toBool(), shell == "/bin/sh");
        QCOMPARE(reported.value(0).value(0).toString().left(message.size()), message);
        if (standIn.runs() > 0) // whatever the stand-in's end, it read the body whole
            QCOMPARE(standIn.input(1), body);
        QVERIFY(!QFile::exists(standIn.dir() + QStringLiteral("/owned")));
        QFile child(standIn.dir() + QStringLiteral("/child"));
        if (child.open(QIODevice::ReadOnly)) {
            const pid_t pid = child.readAll().trimmed().toInt();
            QTRY_VERIFY(pid > 0 && ::kill(pid, 0) != 0);
        }
    }
};

QTEST_GUILESS_MAIN(TestMailerRunner)
#include "tst_mailerrunner.moc"
