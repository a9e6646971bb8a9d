#include "inventory/core/vulnpollargument.h"

#include <QTest>

class TestVulnPollArgument : public QObject
{
    Q_OBJECT
private slots:
    void argument_data();
    void argument();
};

void TestVulnPollArgument::argument_data()
{
    QTest::addColumn<QString>("timestamp");
    QTest::addColumn<int>("version");
    QTest::addColumn<bool>("testPoll");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain stamp kept")
        << "2026-12-07_11:00.5" << 7 << false << "timestamp=2026-12-07_11:00.5&version=7";
    QTest::newRow("first poll") << "0" << 0 << false << "timestamp=0&version=0";
    QTest::newRow("blank encoded")
        << "2026-12-07 11:00" << 3 << false << "timestamp=2026-12-07%2011:00&version=3";
    QTest::newRow("line break cannot add a header")
        << "1\r\nHost: evil" << 3 << false << "timestamp=1%0D%0AHost:%20evil&version=3";
    QTest::newRow("own arguments cannot be added")
        << "1&version=99" << 3 << false << "timestamp=1%26version%3D99&version=3";
    QTest::newRow("place markers stay as they are")
        << "%1%2" << 5 << false << "timestamp=%251%252&version=5";
    QTest::newRow("non-ASCII as UTF-8 bytes")
        << QString::fromUtf8("d\xc3\xa9") << 1 << false << "timestamp=d%C3%A9&version=1";
    QTest::newRow("path and query characters")
        << "/?#+" << 1 << false << "timestamp=%2F%3F%23%2B&version=1";
    QTest::newRow("test poll asks from 0") << "2026 x" << 9 << true << "timestamp=0&version=9";
    QTest::newRow("negative version") << "1" << -2 << false << "timestamp=1&version=-2";
}

void TestVulnPollArgument::argument()
{
    QFETCH(QString, timestamp);
    QFETCH(int, version);
    QFETCH(bool, testPoll);
    QFETCH(QString, expected);
    QCOMPARE(vulnPollArgument(timestamp, version, testPoll), expected);
}

QTEST_GUILESS_MAIN(TestVulnPollArgument)
#include "tst_vulnpollargument.moc"
