#include "net/core/replyparse.h"

#include <QTest>

class TestReplyParse : public QObject
{
    Q_OBJECT
private slots:
    void status_data();
    void status();
    void cutShort_data();
    void cutShort();
    void adPage_data();
    void adPage();
};

void TestReplyParse::status_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("success");

    QTest::newRow("200") << "HTTP/1.0 200 OK\r\n\r\nbody" << true;
    QTest::newRow("server error, LF only") << "HTTP/1.0 500 Oops\n\n" << false;
    QTest::newRow("garbled code") << "HTTP/1.0 2x0 OK\r\n" << false;
    QTest::newRow("200 only in body") << "HTTP/1.0 404 No\r\n\r\nHTTP/1.0 200 OK\r\n" << false;
    QTest::newRow("no status line") << "<topnews>\n</topnews>\n" << true;
}

void TestReplyParse::status()
{
    QFETCH(QString, reply);
    QFETCH(bool, success);
    QCOMPARE(isSuccessStatus(reply), success);
    QCOMPARE(isSuccessStatus(reply.toLatin1()), success);
}

void TestReplyParse::cutShort_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<qint64>("declared");
    QTest::addColumn<bool>("cut");

    QTest::newRow("length matches")
        << "HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nabcd" << 4LL << false;
    QTest::newRow("fewer bytes") << "HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nabcd" << 10LL
                                 << true;
    QTest::newRow("lower-case header, LF only")
        << "HTTP/1.0 200 OK\ncontent-length:  9\n\nabcd" << 9LL << true;
    QTest::newRow("header name in body") << "HTTP/1.0 200 OK\r\n\r\nContent-Length: 99\r\n"
                                         << -1LL << false;
    QTest::newRow("headers cut off")
        << "HTTP/1.0 200 OK\r\nContent-Length: 3\r\nServ" << 3LL << true;
    QTest::newRow("no status line") << "Content-Length: 30\r\n\r\nabc" << 30LL << false;
}

void TestReplyParse::cutShort()
{
    QFETCH(QString, reply);
    QFETCH(qint64, declared);
    QFETCH(bool, cut);
    QCOMPARE(declaredBodyLength(reply), declared);
    QCOMPARE(isCutShort(reply), cut);
}

void TestReplyParse::adPage_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("image");
    QTest::addColumn<QString>("link");

    auto found = [](const char* tag, const QString& page, const char* image, const QString& link) {
        QTest::newRow(tag) << page << true << QString(image) << link;
    };
    auto refused = [](const char* tag, const char* page) {
        QTest::newRow(tag) << QString(page) << false << QString() << QString();
    };
    found("escaped colon and ampersand",
          "<A HREF=\"http&#58;//h/go?a=1&amp;b=2\"><IMG SRC=\"/images/a.gif\">", "/images/a.gif",
          "http://h/go?a=1&b=2");
    found("absolute image cut to /images",
          "<IMG SRC=\"http&#58;//ads.h:8080/banners/images/x.gif\"><A HREF=\"/go\">",
          "/images/x.gif", "/go");
    found("ampersand escaped again and again",
          "<A HREF=\"a&amp;amp;AMP;b&#&#58;58;\"><IMG SRC=\"/images/a\">", "/images/a",
          "a&b&#:58;");
    found("1 MB of escaped ampersands",
          "<A HREF=\"" + QString("&amp;").repeated(200000) + "\"><IMG SRC=\"/images/a\">",
          "/images/a", QString(200000, u'&'));
    refused("no /images", "<A HREF=\"/go\"><IMG SRC=\"http://h/pics/a.gif\">");
    refused("image quote never closed", "<A HREF=\"/go\"><IMG SRC=\"/images/a.gif");
    refused("missing link", "<IMG SRC=\"/images/a.gif\">");
}

void TestReplyParse::adPage()
{
    QFETCH(QString, page);
    QFETCH(bool, ok);
    QFETCH(QString, image);
    QFETCH(QString, link);

    const AdPageInfo info = parseAdPage(page);
    QCOMPARE(info.ok, ok);
    if (ok) {
        QCOMPARE(info.imagePath, image);
        QCOMPARE(info.link, link);
    }
}

QTEST_GUILESS_MAIN(TestReplyParse)
#include "tst_replyparse.moc"
