// "skin.ini" as the reader takes it; the installed skins are loaded and
// shown by the main window's test.
#include "app/core/cskin.h"
#include "tests/common/testfiles.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

// Every required key, valid as it stands.
const char* const complete = "[skin]\nname=Test\nmain=10,20\nmainwidth=300\nmainheight=150\n"
                             "banner=60,200\nhelp=1,1\nmin=2,2\nexit=3,3\nsearch=4,4\n"
                             "update=5,5\nconfig=6,6\n";

} // namespace

class TestCSkin : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
};

void TestCSkin::parse_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("name"); // empty: not a usable skin

    const QByteArray base(complete);
    auto with = [&base](const char* from, const char* to) {
        return QByteArray(base).replace(from, to);
    };
    QTest::newRow("complete") << base << "Test";
    QTest::newRow("name key in capitals, spaces")
        << with("name=Test", "NAME=   Dark   Blue  ") << "Dark Blue";
    QTest::newRow("comment after blanks, windows line ends")
        << with("\n", "\r\n").replace("main=10,20", "main=10,20\r\n    ; main=99,99") << "Test";
    QTest::newRow("point without comma") << with("config=6,6", "config=66") << "";
    QTest::newRow("pane at origin") << with("main=10,20", "main=0,0") << "";
    QTest::newRow("empty name") << with("name=Test", "name=   ") << "";
}

void TestCSkin::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, name);
    QTemporaryDir dir;
    QVERIFY(testfiles::writeAll(dir.filePath(QStringLiteral("skin.ini")), text));

    const CSkin skin(dir.path());
    QCOMPARE(skin.isValid(), !name.isEmpty());
    if (skin.isValid()) {
        QCOMPARE(skin.getName(), name);
        QCOMPARE(skin.getPaneRect(), QRect(10, 20, 300, 150));
        QCOMPARE(skin.getConfig(), QPoint(6, 6));
    }
    QCOMPARE(skin.imagePaths().value(13), dir.path() + QStringLiteral("/updateclick.bmp"));
}

QTEST_MAIN(TestCSkin)
#include "tst_cskin.moc"
