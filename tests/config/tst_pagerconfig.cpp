// What the controller does with the configuration dialog and the settings
// file: in this process for the dialog's outcome, as the real program for
// a damaged file.
#include "config/cconfig.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/core/settingsfile.h"
#include "pager/ccategoryitem.h"
#include "pager/ccategorytree.h"
#include "pager/core/categoryfile.h"
#include "pager/cpager.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"

#include <QLineEdit>
#include <QTest>

#include <memory>

namespace {

PagerSettings known()
{
    PagerSettings s;
    s.numItems = 10;
    s.pollMinutes = 20;
    s.browserPath = QStringLiteral("/usr/bin/old-browser");
    s.skin = QStringLiteral("No Skin");
    s.verboseEmail = QStringLiteral("ops@site.example");
    s.mailer = QStringLiteral("/bin/mail");
    return s;
}

} // namespace

class TestPagerConfig : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void okSavesSettings();
    void escapeChangesNothing();
    void damagedSettingsKept();

private:
    // A pager on the home's files, its dialog answered by `answer`.
    void runDialog(const std::function<void(CConfig*)>& answer);

    std::unique_ptr<TempHome> home;
    std::unique_ptr<HttpStandIn> server;
    std::unique_ptr<CPager> pager;
};

void TestPagerConfig::init()
{
    home = std::make_unique<TempHome>();
    server = std::make_unique<HttpStandIn>(replies::notFound);
    QVERIFY(server->listen());
    QVERIFY(home->write(QStringLiteral("category.dat"), replies::categories));
    QVERIFY(home->write(QStringLiteral("ovpager.cfg"), formatSettings(known())));
}

void TestPagerConfig::cleanup()
{
    pager.reset();
    server.reset();
    home.reset();
}

void TestPagerConfig::runDialog(const std::function<void(CConfig*)>& answer)
{
    qputenv("HOME", QFile::encodeName(home->path()));
    qputenv("OVPAGER_SERVER", server->address().toLatin1());
    qputenv("OVPAGER_LIBDIR", QFile::encodeName(home->path() + QStringLiteral("/nolib")));
    pager = std::make_unique<CPager>();
    CConfig* dialog = pager->configDialog;
    BoxWatcher watcher([&](QWidget* w) {
        if (w == dialog)
            answer(dialog);
    });
    pager->slotDoConfig();
    QCOMPARE(watcher.others, 1);
}

void TestPagerConfig::okSavesSettings()
{
    runDialog([](CConfig* dialog) {
        dialog->optionsPage()->setValues(25, 45, QStringLiteral("/usr/bin/new-browser"), true,
                                         false, false);
        dialog->inventoryOptionsPage()->briefEdit->setText(QStringLiteral("me@site.example"));
        dialog->accept();
    });
    // On disk at once, not only at the program's end.
    PagerSettings expected = known();
    expected.numItems = 25;
    expected.pollMinutes = 45;
    expected.browserPath = QStringLiteral("/usr/bin/new-browser");
    expected.flashIcon = true;
    expected.popup = false;
    expected.briefEmail = QStringLiteral("me@site.example");
    QCOMPARE(home->read(QStringLiteral("ovpager.cfg")), formatSettings(expected));
    QCOMPARE(pager->pollTimerForTest()->interval(), 45 * 60000);
}

void TestPagerConfig::escapeChangesNothing()
{
    QByteArray ticks;
    runDialog([&](CConfig* dialog) {
        CCategoryTree* tree = pager->categoryPage();
        ticks = formatCategoryFile(tree->snapshot());
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            static_cast<CCategoryItem*>(tree->topLevelItem(i))->activate();
        QVERIFY(formatCategoryFile(tree->snapshot()) != ticks);
        dialog->optionsPage()->setValues(25, 60, QStringLiteral("/x"), true, false, true);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QCOMPARE(formatCategoryFile(pager->categoryPage()->snapshot()), ticks);
    QCOMPARE(home->read(QStringLiteral("ovpager.cfg")), formatSettings(known()));
    QCOMPARE(home->read(QStringLiteral("category.dat")), replies::categories);
    QCOMPARE(pager->pollTimerForTest()->interval(), 20 * 60000);
    QVERIFY(pager->pollTimerForTest()->isActive());
    // A sound file makes no copy.
    QVERIFY(!QFileInfo::exists(home->dataFile(QStringLiteral("ovpager.cfg.bad"))));
}

void TestPagerConfig::damagedSettingsKept()
{
    // The mailer element was lost: the whole second group is not applied.
    const QByteArray damaged = formatSettings(known()).replace("<mailer>", "<mail>");
    QVERIFY(home->write(QStringLiteral("ovpager.cfg"), damaged));
    PagerProcess run;
    QVERIFY(run.start(QStringLiteral(OVPAGER_BINARY), home->path(), server->address()));
    QVERIFY(run.waitForLog("content request"));
    QVERIFY(run.stop());
    const QByteArray path = QFile::encodeName(home->dataFile(QStringLiteral("ovpager.cfg")));
    QVERIFY(run.process.readAllStandardError().contains(
        path + " could not be read in full; a copy is kept as " + path + ".bad\n"));
    QCOMPARE(home->read(QStringLiteral("ovpager.cfg.bad")), damaged);
    // What could be read is kept; the rest is written as it stands.
    PagerSettings now = known();
    now.verboseEmail.clear();
    now.mailer.clear();
    QCOMPARE(home->read(QStringLiteral("ovpager.cfg")), formatSettings(now));
}

QTEST_MAIN(TestPagerConfig)
#include "tst_pagerconfig.moc"
