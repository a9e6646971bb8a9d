// The addresses handed to a browser: site search, refusal, remote command.
#include "pager/core/browserurl.h"

#include <QTest>

class TestBrowserUrl : public QObject
{
    Q_OBJECT
private slots:
    void search()
    {
        // Blanks simplified to "+", nothing else encoded.
        QCOMPARE(
            searchUrl("  AT&T \t 100%\n c++ "),
            "http://www.orvelle.example/search/index.html?base=orvelle&p=AT&T+100%+c++&start=0");
    }

    void navigable_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("https, capital scheme") << "HTTPS://news.example/" << true;
        QTest::newRow("scheme only") << "http://" << false;
        QTest::newRow("documentation page") << helpPageUrl() << true;
        QTest::newRow("another page beside it") << helpPageUrl() + ".bak" << false;
    }

    void navigable()
    {
        QFETCH(QString, url);
        QFETCH(bool, allowed);
        QCOMPARE(isNavigableUrl(url), allowed);
    }

    void remoteCommand_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("encoded");
        QTest::newRow("plain address, its %20 kept") << "http://x/a?b=1&c=%20"
                                                     << "http://x/a?b=1&c=%20";
        QTest::newRow("a second command smuggled, controls")
            << "http://x/),openFile(/etc/passwd\t\x7f"
            << "http://x/%29%2CopenFile%28/etc/passwd%09%7F";
        QTest::newRow("non-ASCII blank as UTF-8")
            << QString::fromUtf8("http://x/\u2003") << "http://x/%E2%80%83";
    }

    void remoteCommand()
    {
        QFETCH(QString, url);
        QFETCH(QString, encoded);
        QCOMPARE(remoteCommandUrl(url), encoded);
    }
};

QTEST_GUILESS_MAIN(TestBrowserUrl)
#include "tst_browserurl.moc"
