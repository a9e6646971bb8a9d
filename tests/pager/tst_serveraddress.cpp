// Reading OVPAGER_SERVER: "host" or "host:port", anything else refused.
#include "pager/core/serveraddress.h"

#include <QTest>

class TestServerAddress : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("error");

        const QString bad = QStringLiteral("Bad port in OVPAGER_SERVER: ");
        auto row = [](const char* what, const char* text, const QString& host, int port,
                      const QString& error = {}) {
            QTest::newRow(what) << QString(text) << host << port << error;
        };
        row("unset: the fixed server", "", defaultServerHost, 80);
        row("host and port, blanks around", " 127.0.0.1:8080 ", "127.0.0.1", 8080);
        row("host alone: the fixed port", "news.example", "news.example", 80);
        row("port 0", "host:0", "host", 80, bad + "host:0");
        row("port past 65535", "host:65616", "host", 80, bad + "host:65616");
        row("colon without port", "host:", "host", 80, bad + "host:");
        row("port without host", ":80", "", 80, "No host in OVPAGER_SERVER: :80");
    }

    void parse()
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
};

QTEST_GUILESS_MAIN(TestServerAddress)
#include "tst_serveraddress.moc"
