#include "net/core/replyparse.h"

#include <QTest>

class TestReplyParse : public QObject
{
    Q_OBJECT
private slots:
    void status_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("success");

        QTest::newRow("200") << "HTTP/1.0 200 OK\r\n\r\nbody" << true;
        QTest::newRow("server error, LF only") << "HTTP/1.0 500 Oops\n\n" << false;
        QTest::newRow("garbled code") << "HTTP/1.0 2x0 OK\r\n" << false;
        QTest::newRow("no status line") << "<topnews>\n</topnews>\n" << true;
    }

    void status()
    {
        QFETCH(QString, reply);
        QFETCH(bool, success);
        QCOMPARE(isSuccessStatus(reply), success);
    }

    void cutShort_data()
    {
        QTest::addColumn<QString>("reply");
        QTest::addColumn<qint64>("declared");
        QTest::addColumn<bool>("cut");

        QTest::newRow("length matches")
            << "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nabcd" << 4LL << false;
        QTest::newRow("fewer bytes")
            << "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabcd" << 10LL << true;
        QTest::newRow("lower-case header, LF only")
            << "HTTP/1.0 200 OK\ncontent-length:  9\n\nabcd" << 9LL << true;
        QTest::newRow("header name in body") << "HTTP/1.0 200 OK\r\n\r\nContent-Length: 99\r\n"
                                             << -1LL << false;
        QTest::newRow("headers cut off")
            << "HTTP/1.0 200 OK\r\nContent-Length: 3\r\nServ" << 3LL << true;
        QTest::newRow("no status line") << "Content-Length: 30\r\n\r\nabc" << 30LL << false;
    }

    void cutShort()
    {
        QFETCH(QString, reply);
        QFETCH(qint64, declared);
        QFETCH(bool, cut);
        QCOMPARE(declaredBodyLength(reply), declared);
        QCOMPARE(isCutShort(reply), cut);
    }

    void adPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("image"); // empty: the page is refused
        QTest::addColumn<QString>("link");

        auto row = [](const char* tag, const QString& page, const char* image = "",
                      const QString& link = {}) {
            QTest::newRow(tag) << page << QString(image) << link;
        };
        row("absolute image cut to /images",
            "<IMG SRC=\"http&#58;//ads.h:8080/banners/images/x.gif\"><A HREF=\"/go\">",
            "/images/x.gif", "/go");
        row("ampersand escaped again and again",
            "<A HREF=\"a&amp;amp;AMP;b&#&#58;58;\"><IMG SRC=\"/images/a\">", "/images/a",
            "a&b&#:58;");
        row("1 MB of escaped ampersands",
            "<A HREF=\"" + QString("&amp;").repeated(200000) + "\"><IMG SRC=\"/images/a\">",
            "/images/a", QString(200000, u'&'));
        row("no /images", "<A HREF=\"/go\"><IMG SRC=\"http://h/pics/a.gif\">");
        row("image quote never closed", "<A HREF=\"/go\"><IMG SRC=\"/images/a.gif");
        row("missing link", "<IMG SRC=\"/images/a.gif\">");
    }

    void adPage()
    {
        QFETCH(QString, page);
        QFETCH(QString, image);
        QFETCH(QString, link);

        const AdPageInfo info = parseAdPage(page);
        QCOMPARE(info.ok, !image.isEmpty());
        if (info.ok) {
            QCOMPARE(info.imagePath, image);
            QCOMPARE(info.link, link);
        }
    }
};

QTEST_GUILESS_MAIN(TestReplyParse)
#include "tst_replyparse.moc"
