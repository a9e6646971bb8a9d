// Non-ASCII text through the real server and pager: UTF-8 on the wire and in
// the store, and a Latin-1 store from an older run still loads.
#include "tests/common/childprocess.h"
#include "tests/common/testfiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestEncoding : public QObject
{
    Q_OBJECT
private slots:
    void nonAsciiHeadline();
};

void TestEncoding::nonAsciiHeadline()
{
    QTemporaryDir data;
    const QDir source(QStringLiteral(OVPAGER_SERVER_DATA));
    for (const QString& name : source.entryList(QDir::Files))
        QVERIFY(QFile::copy(source.filePath(name), data.filePath(name)));
    const QString title = QString::fromUtf8("Grüße aus Zürich – 50%1 naïve");
    QVERIFY(QFile::remove(data.filePath("headlines.txt")));
    QVERIFY(testfiles::writeAll(data.filePath("headlines.txt"),
                                "20001\t0\t" + title.toUtf8() + "\tAbstract\n"));
    TempHome home;
    QVERIFY(home.write("category.dat", testfiles::readAll(data.filePath("categories.dat"))));
    QVERIFY(
        home.write("article.dat",
                   "<topnews>\n<headline>\n\t<category>0</category>\n\t<link>http://h/1</link>\n"
                   "\t<title>Caf\xe9 cr\xe8me</title>\n\t<id>1</id>\n"
                   "\t<timestamp>20000101000000</timestamp>\n\t<topcategory>20001</topcategory>\n"
                   "\t<newflag>0</newflag>\n</headline>\n</topnews>\n"));

    ServerProcess server;
    QVERIFY(server.start(QStringLiteral(OVPAGER_SERVER_BINARY), data.path()));
    PagerProcess pager;
    QVERIFY(pager.start(QStringLiteral(OVPAGER_BINARY), home.path(), server.address()));
    QVERIFY(pager.waitForLog("New Content"));
    QVERIFY(pager.stop());

    const QByteArray store = testfiles::readAll(home.dataFile("article.dat"));
    QVERIFY2(store.contains("<title>" + title.toUtf8() + "</title>"), store.constData());
    QVERIFY2(store.contains("<title>Caf\xc3\xa9 cr\xc3\xa8me</title>"), store.constData());
}

QTEST_GUILESS_MAIN(TestEncoding)
#include "tst_encoding.moc"
