// Reading OVPAGER_SERVER: "host" or "host:port", anything else refused.
#include "pager/core/serveraddress.h"

#include <QTest>

class TestServerAddress : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
};

void TestServerAddress::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("error");

    const QString bad = QStringLiteral("Bad port in OVPAGER_SERVER: ");
    QTest::newRow("unset: the fixed server") << "" << defaultServerHost << 80 << "";
    QTest::newRow("host and port, blanks around") << " 127.0.0.1:8080 "
                                                  << "127.0.0.1" << 8080 << "";
    QTest::newRow("port 0") << "host:0"
                            << "host" << 80 << bad + "host:0";
    QTest::newRow("colon without port") << "host:"
                                        << "host" << 80 << bad + "host:";
    QTest::newRow("port without host") << ":80"
                                       << "" << 80 << "No host in OVPAGER_SERVER: :80";
}

void TestServerAddress::parse()
{
    QFETCH(QString, text);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, error);
    const ServerAddress address = parseServerAddress(text);
    QCOMPARE(address.error, error);
    QCOMPARE(address.host, host);
    QCOMPARE(int(address.port), port);
}

QTEST_GUILESS_MAIN(TestServerAddress)
#include "tst_serveraddress.moc"
