#include "inventory/core/cmailerrunner.h"
#include "tests/common/standinprogram.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

class TestMailerRunner : public QObject
{
    Q_OBJECT
private slots:
    void commandLine_data();
    void commandLine();
    void mailsRunInOrderAndBodiesArrive();
    void failuresReported_data();
    void failuresReported();
    void hangingMailerKilledAtLimit();
};

void TestMailerRunner::commandLine_data()
{
    QTest::addColumn<QString>("recipients");
    QTest::addColumn<QString>("command"); // empty: refused
    QTest::addColumn<QString>("refusal");
    QTest::newRow("commas and blanks") << " a@x.org, b+c@y.org  d_e@z.org "
                                       << "mail -s 'S' 'a@x.org' 'b+c@y.org' 'd_e@z.org'"
                                       << "";
    QTest::newRow("command after semicolon") << "a@example.org; rm -rf ~"
                                             << ""
                                             << "Recipients for the brief mail refused";
    QTest::newRow("empty after trimming") << " \t "
                                          << ""
                                          << "No recipients for the brief mail; nothing was sent";
}

void TestMailerRunner::commandLine()
{
    QFETCH(QString, recipients);
    QFETCH(QString, command);
    QFETCH(QString, refusal);
    QString why;
    QCOMPARE(
        mailerCommandLine(QStringLiteral("mail -s 'S'"), recipients, QStringLiteral("brief"), &why),
        command);
    QVERIFY2(refusal.isEmpty() ? why.isEmpty() : why.startsWith(refusal), qPrintable(why));
    QVERIFY(mailerCommandLine(QStringLiteral("  "), QStringLiteral("a@b.org"),
                              QStringLiteral("brief"), &why)
                .isEmpty());
}

void TestMailerRunner::mailsRunInOrderAndBodiesArrive()
{
    // The first mailer is slow: the second must not start before it ends.
    StandInProgram mailer("sleep 0.3");
    CMailerRunner runner;
    QSignalSpy idle(&runner, &CMailerRunner::idle);
    QByteArray big(300000, 'x'); // more than a pipe holds
    big += "\nend\n";
    runner.send(mailer.path(), QStringLiteral("one@x.org"), "first\n", QStringLiteral("brief"));
    runner.send(mailer.path(), QStringLiteral("two@x.org"), big, QStringLiteral("verbose"));
    QVERIFY(!runner.isIdle());
    QCOMPARE(mailer.runs(), 0); // nothing waited for here
    QTRY_COMPARE_WITH_TIMEOUT(idle.size(), 1, 10000);
    QCOMPARE(mailer.runs(), 2);
    QCOMPARE(mailer.arguments(1), QStringList{"one@x.org"});
    QCOMPARE(mailer.input(1), QByteArray("first\n"));
    QCOMPARE(mailer.arguments(2), QStringList{"two@x.org"});
    QCOMPARE(mailer.input(2), big);
}

void TestMailerRunner::failuresReported_data()
{
    QTest::addColumn<QString>("mailer"); // "%S" is the stand-in, "%D" its folder
    QTest::addColumn<QString>("shell");
    QTest::addColumn<QString>("recipients");
    QTest::addColumn<QString>("message"); // how the report starts
    const QString sh = QStringLiteral("/bin/sh");
    const QString to = QStringLiteral("a@x.org");
    QTest::newRow("non-zero status")
        << "%S; exit 3" << sh << to
        << "Mailer ended with status 3; command line: %S; exit 3 'a@x.org'";
    QTest::newRow("killed by a signal")
        << "%S; kill -9 $$" << sh << to
        << "Mailer was killed by a signal; command line: %S; kill -9 $$ 'a@x.org'";
    QTest::newRow("cannot start")
        << "%S"
        << "/nonexistent/sh" << to
        << "Could not open pipe to mailer with command line: %S 'a@x.org'";
    QTest::newRow("mailer that reads nothing") << "true" << sh << to << "";
    QTest::newRow("refused recipients never reach the shell")
        << "%S" << sh << "a@x.org\ntouch %D/owned"
        << "Recipients for the brief mail refused";
}

void TestMailerRunner::failuresReported()
{
    QFETCH(QString, mailer);
    QFETCH(QString, shell);
    QFETCH(QString, recipients);
    QFETCH(QString, message);
    StandInProgram standIn;
    for (QString* text : {&mailer, &recipients, &message}) {
        text->replace(QStringLiteral("%S"), standIn.path());
        text->replace(QStringLiteral("%D"), standIn.dir());
    }
    CMailerRunner runner;
    runner.setShell(shell);
    QSignalSpy reported(&runner, &CMailerRunner::reported);
    QSignalSpy done(&runner, &CMailerRunner::mailDone);
    runner.send(mailer, recipients, QByteArray(200000, 'y'), QStringLiteral("brief"));
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 1, 10000);
    QCOMPARE(done.at(0).at(0).toBool(), message.isEmpty());
    QCOMPARE(reported.size(), message.isEmpty() ? 0 : 1);
    QCOMPARE(reported.value(0).value(0).toString().left(message.size()), message);
    QVERIFY(!QFile::exists(standIn.dir() + QStringLiteral("/owned")));
}

void TestMailerRunner::hangingMailerKilledAtLimit()
{
    // The stand-in's child keeps the pipe open; the whole group must go.
    StandInProgram hanging("sleep 1000 & echo $! > \"$d/child\"; wait");
    StandInProgram next;
    CMailerRunner runner;
    runner.setTimeLimit(500);
    QSignalSpy reported(&runner, &CMailerRunner::reported);
    QSignalSpy idle(&runner, &CMailerRunner::idle);
    QElapsedTimer clock;
    clock.start();
    runner.send(hanging.path(), QStringLiteral("a@x.org"), "x\n", QStringLiteral("brief"));
    runner.send(next.path(), QStringLiteral("b@x.org"), "y\n", QStringLiteral("verbose"));
    QTRY_COMPARE_WITH_TIMEOUT(idle.size(), 1, 10000);
    QVERIFY(clock.elapsed() < 5000);
    QCOMPARE(reported.value(0).value(0).toString(),
             QStringLiteral("Mailer did not end within 0.5 s and was killed; command line: ") +
                 hanging.path() + QStringLiteral(" 'a@x.org'"));
    QCOMPARE(next.input(1), QByteArray("y\n"));
    QFile child(hanging.dir() + QStringLiteral("/child"));
    QVERIFY(child.open(QIODevice::ReadOnly));
    const pid_t pid = child.readAll().trimmed().toInt();
    QVERIFY(pid > 0);
    QTRY_VERIFY(::kill(pid, 0) != 0);
}

QTEST_GUILESS_MAIN(TestMailerRunner)
#include "tst_mailerrunner.moc"
