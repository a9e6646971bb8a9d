// "skin.ini" as the reader takes it, and the installed skins' own files.
#include "app/core/cskin.h"
#include "app/core/skinlist.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every required key, valid as it stands.
const char* const complete = "[skin]\n"
                             "name=Test\n"
                             "main=10,20\n"
                             "mainwidth=300\n"
                             "mainheight=150\n"
                             "banner=60,200\n"
                             "help=1,1\n"
                             "min=2,2\n"
                             "exit=3,3\n"
                             "search=4,4\n"
                             "update=5,5\n"
                             "config=6,6\n";

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
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pane");
    QTest::addColumn<QPoint>("config");

    const QByteArray base(complete);
    auto with = [&base](const char* from, const char* to) {
        QByteArray t = base;
        t.replace(from, to);
        return t;
    };
    const QRect pane(10, 20, 300, 150);
    QTest::newRow("complete") << base << true << "Test" << pane << QPoint(6, 6);
    // Not a header, and not a key either: skipped, the rest still counts.
    QTest::newRow("name key in capitals, spaces") << with("name=Test", "NAME=   Dark   Blue  ")
                                                  << true << "Dark Blue" << pane << QPoint(6, 6);
    QTest::newRow("point without comma")
        << with("config=6,6", "config=66") << false << "Test" << QRect() << QPoint(0, 0);
    QTest::newRow("pane at origin")
        << with("main=10,20", "main=0,0") << false << "Test" << QRect() << QPoint(6, 6);
    QTest::newRow("comment after blanks") << with("main=10,20\n", "main=10,20\n    ; main=99,99\n")
                                          << true << "Test" << pane << QPoint(6, 6);
    QTest::newRow("empty name") << with("name=Test", "name=   ") << false << "" << QRect()
                                << QPoint(6, 6);
    QTest::newRow("banner missing")
        << with("banner=60,200\n", "") << false << "Test" << QRect() << QPoint(6, 6);
    QTest::newRow("overlong line skipped")
        << with("[skin]\n", "[skin]\n; " + QByteArray(3000, 'x') + "\n") << true << "Test" << pane
        << QPoint(6, 6);
    QTest::newRow("windows line ends")
        << with("\n", "\r\n") << true << "Test" << pane << QPoint(6, 6);
}

void TestCSkin::parse()
{
    QFETCH(QByteArray, text);
    QFETCH(bool, valid);
    QFETCH(QString, name);
    QFETCH(QRect, pane);
    QFETCH(QPoint, config);

    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("skin.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();

    const CSkin skin(dir.path());
    QCOMPARE(skin.isValid(), valid);
    QCOMPARE(skin.getName(), name);
    QCOMPARE(skin.getPaneRect(), pane);
    QCOMPARE(skin.getConfig(), config);
    QCOMPARE(skin.getPath(), dir.path());
    QCOMPARE(skin.imagePaths().value(13), dir.path() + QStringLiteral("/updateclick.bmp"));
}

void TestCSkin::installedSkins_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("name");
    QTest::newRow("max") << "max"
                         << "Max";
    QTest::newRow("slate") << "slate"
                           << "Slate";
}

// What ships must load: valid, all pictures there, each pressed picture the
// size of its normal one, nothing on top of the pane.
void TestCSkin::installedSkins()
{
    QFETCH(QString, directory);
    QFETCH(QString, name);
    const QString path = QStringLiteral(OVPAGER_SKINS_SOURCE) + u'/' + directory;
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
