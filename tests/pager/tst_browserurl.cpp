// The addresses handed to a browser: site search, refusal, remote command.
#include "pager/core/browserurl.h"

#include <QTest>

class TestBrowserUrl : public QObject
{
    Q_OBJECT
private slots:
    void search_data();
    void search();
    void navigable_data();
    void navigable();
    void remoteCommand_data();
    void remoteCommand();
};

void TestBrowserUrl::search_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("p");

    QTest::newRow("white space simplified") << "  buffer \t overflow\n "
                                            << "buffer+overflow";
    QTest::newRow("nothing else encoded") << "AT&T 100% c++"
                                          << "AT&T+100%+c++";
    QTest::newRow("only blanks") << "   "
                                 << "";
}

void TestBrowserUrl::search()
{
    QFETCH(QString, typed);
    QFETCH(QString, p);
    QCOMPARE(searchUrl(typed),
             "http://www.orvelle.example/search/index.html?base=orvelle&p=" + p + "&start=0");
}

void TestBrowserUrl::navigable_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<bool>("allowed");

    QTest::newRow("http") << "http://news.example/a?id=1" << true;
    QTest::newRow("https, capital scheme") << "HTTPS://news.example/" << true;
    QTest::newRow("ftp") << "ftp://ftp.example/pub/fix.tar.gz" << true;
    QTest::newRow("browser option") << "-remote" << false;
    QTest::newRow("option with a web address after it") << "--new-window=http://x/" << false;
    QTest::newRow("local file") << "file:/etc/passwd" << false;
    QTest::newRow("scheme only") << "http://" << false;
    QTest::newRow("blank before scheme") << " http://x/" << false;
    QTest::newRow("documentation page") << helpPageUrl() << true;
    QTest::newRow("another page beside it") << helpPageUrl() + ".bak" << false;
}

void TestBrowserUrl::navigable()
{
    QFETCH(QString, url);
    QFETCH(bool, allowed);
    QCOMPARE(isNavigableUrl(url), allowed);
}

void TestBrowserUrl::remoteCommand_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("encoded");

    QTest::newRow("plain address unchanged") << "http://x.example/a?b=1&c=%20"
                                             << "http://x.example/a?b=1&c=%20";
    QTest::newRow("a second command smuggled") << "http://x/),openFile(/etc/passwd"
                                               << "http://x/%29%2CopenFile%28/etc/passwd";
    QTest::newRow("control characters") << "http://x/\t\n\x7f"
                                        << "http://x/%09%0A%7F";
    QTest::newRow("non-ASCII blank as UTF-8")
        << QString::fromUtf8("http://x/\u2003") << "http://x/%E2%80%83";
}

void TestBrowserUrl::remoteCommand()
{
    QFETCH(QString, url);
    QFETCH(QString, encoded);
    QCOMPARE(remoteCommandUrl(url), encoded);
}

QTEST_GUILESS_MAIN(TestBrowserUrl)
#include "tst_browserurl.moc"
