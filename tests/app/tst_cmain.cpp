// The main window wearing skins on a real X server: shape, places, the
// window-manager hint read back from the server, and the fallbacks.
#include "app/cbanner.h"
#include "app/cmain.h"
#include "app/core/cskin.h"
#include "app/cpagerbutton.h"
#include "config/cconfig.h"
#include "config/coptions.h"
#include "config/core/settingsfile.h"
#include "pager/cpager.h"
#include "pager/x11hints.h"

#include "tests/common/httpstandin.h"
#include "tests/common/testfiles.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <memory>

namespace {

const QString skinsSource = QStringLiteral(OVPAGER_SKINS_SOURCE);

bool copyDir(const QString& from, const QString& to)
{
    if (!QDir().mkpath(to))
        return false;
    for (const QString& name : QDir(from).entryList(QDir::Files))
        if (!QFile::copy(from + u'/' + name, to + u'/' + name))
            return false;
    return true;
}

// The five values of "_MOTIF_WM_HINTS" as the X server holds them.
QList<long> motifHints(QWidget* window)
{
    Display* display = x11Display();
    const Atom atom = XInternAtom(display, "_MOTIF_WM_HINTS", True);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    QList<long> values;
    XSync(display, False);
    if (XGetWindowProperty(display, window->winId(), atom, 0, 5, False, AnyPropertyType, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 32 && type == atom) {
        const long* longs = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            values << longs[i];
    }
    if (data)
        XFree(data);
    return values;
}

QImage picture(const QString& skinDir, const char* file)
{
    return QImage(skinsSource + u'/' + skinDir + u'/' + QLatin1String(file))
        .convertToFormat(QImage::Format_RGB32);
}

QImage shown(const CPagerButton* button)
{
    return button->shownPixmap().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void skinnedAtStart();
    void looksSwitchBothWays();
    void brokenSkin_data();
    void brokenSkin();
    void brokenChoiceInDialogKeepsLook();

private:
    void startWith(const QString& skinName);
    void expectMaxLook();
    void expectPlainLook();

    QTemporaryDir home;
    QString root; // installed skins
    HttpStandIn contentServer;
    std::unique_ptr<CMain> window;
};

void TestSkins::initTestCase()
{
    // What a Motif-compatible window manager does at its start.
    XInternAtom(x11Display(), "_MOTIF_WM_HINTS", False);

    // Polls get no answer: the look does not depend on them.
    contentServer.silent = true;
    QVERIFY(contentServer.listen());
    qputenv("HOME", home.path().toLocal8Bit());
    qputenv("OVPAGER_SERVER", contentServer.address().toLatin1());
    root = home.filePath(QStringLiteral("lib"));
    qputenv("OVPAGER_LIBDIR", root.toLocal8Bit());
    const QString skins = root + QStringLiteral("/pagerskins/");
    QVERIFY(copyDir(skinsSource + QStringLiteral("/max"), skins + QStringLiteral("max")));
    QVERIFY(copyDir(skinsSource + QStringLiteral("/slate"), skins + QStringLiteral("slate")));
    // A skin that names itself but misses a key.
    QVERIFY(copyDir(skinsSource + QStringLiteral("/max"), skins + QStringLiteral("incomplete")));
    QVERIFY(testfiles::writeAll(skins + QStringLiteral("incomplete/skin.ini"),
                                "[skin]\nname=Incomplete\nmain=16,48\nmainwidth=408\n"));
    // A complete description with one picture gone.
    QVERIFY(copyDir(skinsSource + QStringLiteral("/slate"), skins + QStringLiteral("holey")));
    QVERIFY(QFile::remove(skins + QStringLiteral("holey/updateclick.bmp")));
    const QString ini = skins + QStringLiteral("holey/skin.ini");
    QVERIFY(testfiles::writeAll(ini, testfiles::readAll(ini).replace("name=Slate", "name=Holey")));
}

void TestSkins::init()
{
    QDir(home.filePath(QStringLiteral(".ovpager"))).removeRecursively();
    QVERIFY(QDir().mkpath(home.filePath(QStringLiteral(".ovpager"))));
}

void TestSkins::cleanup()
{
    window.reset();
}

void TestSkins::startWith(const QString& skinName)
{
    PagerSettings settings;
    settings.skin = skinName;
    QVERIFY(testfiles::writeAll(home.filePath(QStringLiteral(".ovpager/ovpager.cfg")),
                                formatSettings(settings)));
    window.reset(); // one pager at a time holds the data directory
    window = std::make_unique<CMain>();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void TestSkins::expectMaxLook()
{
    CMain& w = *window;
    const QSize size = picture(QStringLiteral("max"), "pager.bmp").size();
    QCOMPARE(w.size(), size);
    // The rounded corner is cut away, the middle is there.
    const QRegion mask = w.mask();
    QVERIFY(!mask.contains(QPoint(0, 0)));
    QVERIFY(mask.contains(QPoint(size.width() / 2, size.height() / 2)));
    QCOMPARE(w.pager->geometry(), CSkin(skinsSource + QStringLiteral("/max")).getPaneRect());
    QVERIFY(!w.plainButtonBar->isVisible());
    QCOMPARE(motifHints(&w), (QList<long>{2, 0, 0, 0, 0}));
}

void TestSkins::expectPlainLook()
{
    QVERIFY(window->mask().isEmpty());
    QVERIFY(window->plainButtonBar->isVisible());
    QVERIFY(!window->updateButton->isVisible());
    QCOMPARE(motifHints(window.get()), (QList<long>{2, 0, 1, 0, 0}));
}

void TestSkins::skinnedAtStart()
{
    startWith(QStringLiteral("Max"));
    expectMaxLook();
    // Pressed on the screen, the button wears its pressed picture until released.
    QTest::mousePress(window->updateButton, Qt::LeftButton);
    QCOMPARE(shown(window->updateButton), picture(QStringLiteral("max"), "updateclick.bmp"));
    QTest::mouseRelease(window->updateButton, Qt::LeftButton);
    QCOMPARE(shown(window->updateButton), picture(QStringLiteral("max"), "update.bmp"));
}

void TestSkins::looksSwitchBothWays()
{
    startWith(QStringLiteral("Max"));
    CMain& w = *window;
    w.applyPlainLook();
    expectPlainLook();

    {
        // The skin object goes away at once; its pictures must not.
        const CSkin slate(root + QStringLiteral("/pagerskins/slate"));
        QVERIFY(w.applySkin(slate));
    }
    const CSkin slate(skinsSource + QStringLiteral("/slate"));
    QCOMPARE(w.size(), picture(QStringLiteral("slate"), "pager.bmp").size());
    QCOMPARE(motifHints(&w), (QList<long>{2, 0, 0, 0, 0}));
    QCOMPARE(w.helpButton->grab().toImage().convertToFormat(QImage::Format_RGB32),
             picture(QStringLiteral("slate"), "help.bmp"));
    // A late resize from the window manager must not undo the skin's places.
    QApplication::processEvents();
    QTest::qWait(100);
    QCOMPARE(w.pager->geometry(), slate.getPaneRect());
}

void TestSkins::brokenSkin_data()
{
    QTest::addColumn<QString>("name"); // its directory: the name in lower case
    QTest::newRow("incomplete description") << "Incomplete";
    QTest::newRow("picture missing") << "Holey";
}

// Refused at the start (the plain look instead) and when switched to from
// either look (which stays).
void TestSkins::brokenSkin()
{
    QFETCH(QString, name);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("cannot be used")));
    if (name == QLatin1String("Holey"))
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("could not load .*updateclick")));
    startWith(name);
    QVERIFY(window->pager->skin == nullptr);
    expectPlainLook();

    startWith(QStringLiteral("Max"));
    const CSkin bad(root + QStringLiteral("/pagerskins/") + name.toLower());
    QVERIFY(!window->applySkin(bad));
    expectMaxLook();
    window->applyPlainLook();
    QVERIFY(!window->applySkin(bad));
    expectPlainLook();
}

void TestSkins::brokenChoiceInDialogKeepsLook()
{
    startWith(QStringLiteral("Max"));
    CConfig* dialog = window->pager->configDialog;
    auto choose = [&](const QString& name) {
        QTimer::singleShot(0, dialog, [dialog, name] {
            dialog->optionsPage()->selectSkin(name);
            dialog->accept();
        });
        window->pager->slotDoConfig();
    };
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("keeping the current look")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("could not load")));
    choose(QStringLiteral("Holey"));
    expectMaxLook();
    // The choice shown (and saved) is the look the user has.
    QCOMPARE(dialog->optionsPage()->skinName(), QStringLiteral("Max"));

    choose(QStringLiteral("Slate"));
    QCOMPARE(window->pager->skin->getName(), QStringLiteral("Slate"));
}

QTEST_MAIN(TestSkins)
#include "tst_cmain.moc"
