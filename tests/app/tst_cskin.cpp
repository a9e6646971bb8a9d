// "skin.ini" as the reader takes it, and the installed skins' own files.
#include "app/core/cskin.h"
#include "app/core/skinlist.h"
#include "tests/common/testfiles.h"

#include <QImageReader>
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
    void installedSkins_data();
    void installedSkins();
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

void TestCSkin::installedSkins_data()
{
    QTest::addColumn<QString>("name"); // its directory: the name in lower case
    QTest::newRow("max") << "Max";
    QTest::newRow("slate") << "Slate";
}

// What ships must load: valid, all pictures there, each pressed picture the
// size of its normal one, nothing on top of the pane.
void TestCSkin::installedSkins()
{
    QFETCH(QString, name);
    const QString path = QStringLiteral(OVPAGER_SKINS_SOURCE) + u'/' + name.toLower();
    const CSkin skin(path);
    QVERIFY(skin.isValid());
    QCOMPARE(skinDisplayName(path + QStringLiteral("/skin.ini")), name);
    QList<QSize> sizes;
    for (const QString& file : skin.imagePaths()) {
        QImageReader reader(file);
        QCOMPARE(reader.format(), QByteArray("bmp"));
        sizes << reader.size();
    }
    const QList<QPoint> buttons = {skin.getHelp(),   skin.getMin(),    skin.getExit(),
                                   skin.getConfig(), skin.getSearch(), skin.getUpdate()};
    for (int i = 0; i < buttons.size(); ++i) {
        QCOMPARE(sizes.at(2 * i + 3), sizes.at(2 * i + 2));
        QVERIFY(!QRect(buttons.at(i), sizes.at(2 * i + 2)).intersects(skin.getPaneRect()));
    }
    QVERIFY(!skin.getPaneRect().intersects(QRect(skin.getBanner(), QSize(230, 33))));
}

QTEST_MAIN(TestCSkin)
#include "tst_cskin.moc"
