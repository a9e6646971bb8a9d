// Termination signals end the event loop in order (aboutToQuit runs, so the
// state is saved). The poll signal is shown by the end-to-end test, which
// polls the real pager with it.
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
    QTest::newRow("SIGHUP (terminal gone)") << int(SIGHUP);
    QTest::newRow("SIGINT (Ctrl+C)") << int(SIGINT);
}

void TestCSignalQuitter::endings()
{
    QFETCH(int, signum);
    CSignalQuitter quitter;
    QSignalSpy ending(QCoreApplication::instance(), &QCoreApplication::aboutToQuit);
    QTimer::singleShot(10, [signum] { ::raise(signum); });
    QTimer::singleShot(1000, [] { QCoreApplication::exit(5); }); // not ended by the signal
    QCOMPARE(QCoreApplication::exec(), 0);
    QCOMPARE(ending.size(), 1);
}

QTEST_GUILESS_MAIN(TestCSignalQuitter)
#include "tst_csignalquitter.moc"
