// Termination signals end the event loop in order (aboutToQuit runs, so the
// state is saved); the poll signal asks for a poll and ends nothing.
#include "app/csignalquitter.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <csignal>

class TestCSignalQuitter : public QObject
{
    Q_OBJECT
private slots:
    void endings_data();
    void endings();
};

void TestCSignalQuitter::endings_data()
{
    QTest::addColumn<int>("signum");
    QTest::addColumn<bool>("quits");
    QTest::newRow("SIGHUP (terminal gone)") << int(SIGHUP) << true;
    QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT) << true;
    QTest::newRow("SIGUSR1 (poll now)") << int(SIGUSR1) << false;
}

void TestCSignalQuitter::endings()
{
    QFETCH(int, signum);
    QFETCH(bool, quits);
    CSignalQuitter quitter;
    quitter.watchPollSignal();
    QSignalSpy polls(&quitter, &CSignalQuitter::pollRequested);
    QSignalSpy ending(QCoreApplication::instance(), &QCoreApplication::aboutToQuit);
    QTimer::singleShot(10, [signum] { ::raise(signum); });
    QTimer::singleShot(1000, [] { QCoreApplication::exit(5); }); // not ended by the signal
    QCOMPARE(QCoreApplication::exec(), quits ? 0 : 5);
    QCOMPARE(ending.size(), 1);
    QCOMPARE(polls.size(), quits ? 0 : 1);
}

QTEST_GUILESS_MAIN(TestCSignalQuitter)
#include "tst_csignalquitter.moc"
