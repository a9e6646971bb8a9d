// What the controller does with the configuration dialog and the settings
// file: in this process for the dialog's outcome, as the real program for
// a damaged file.
#include "config/cconfig.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/core/settingsfile.h"
#include "config/settingspages.h"
#include "pager/ccategoryitem.h"
#include "pager/ccategorytree.h"
#include "pager/core/categoryfile.h"
#include "pager/cpager.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"

#include <QCheckBox>
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
    void makePager();

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

void TestPagerConfig::makePager()
{
    qputenv("HOME", QFile::encodeName(home->path()));
    qputenv("OVPAGER_SERVER", server->address().toLatin1());
    qputenv("OVPAGER_LIBDIR", QFile::encodeName(home->path() + QStringLiteral("/nolib")));
    pager = std::make_unique<CPager>();
}

void TestPagerConfig::okSavesSettings()
{
    makePager();
    CConfig* dialog = pager->configDialog;
    BoxWatcher watcher([dialog](QWidget* w) {
        if (w != dialog)
            return;
        dialog->optionsPage()->setValues(25, 45, QStringLiteral("/usr/bin/new-browser"), true,
                                         false, false);
        dialog->inventoryOptionsPage()->briefEdit->setText(QStringLiteral("me@site.example"));
        dialog->accept();
    });
    pager->slotDoConfig();
    QCOMPARE(watcher.others, 1);

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
    makePager();
    CConfig* dialog = pager->configDialog;
    CCategoryTree* tree = pager->categoryPage();
    const QByteArray ticks = formatCategoryFile(tree->snapshot());
    const QByteArray file = home->read(QStringLiteral("ovpager.cfg"));
    BoxWatcher watcher([dialog, tree](QWidget* w) {
        if (w != dialog)
            return;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            static_cast<CCategoryItem*>(tree->topLevelItem(i))->activate();
        dialog->optionsPage()->setValues(25, 60, QStringLiteral("/x"), true, false, true);
        QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QVERIFY(formatCategoryFile(tree->snapshot()) != QByteArray()); // a tree to tick
    pager->slotDoConfig();
    QCOMPARE(watcher.others, 1);

    QCOMPARE(formatCategoryFile(tree->snapshot()), ticks);
    QCOMPARE(home->read(QStringLiteral("ovpager.cfg")), file);
    QCOMPARE(home->read(QStringLiteral("category.dat")), replies::categories);
    QCOMPARE(pager->pollTimerForTest()->interval(), 20 * 60000);
    QVERIFY(pager->pollTimerForTest()->isActive());
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
    const QString path = home->dataFile(QStringLiteral("ovpager.cfg"));
    const QByteArray said = QFile::encodeName(path) +
                            " could not be read in full; a copy is kept as " +
                            QFile::encodeName(path) + ".bad\n";
    QVERIFY(run.process.readAllStandardError().contains(said));
    QCOMPARE(home->read(QStringLiteral("ovpager.cfg.bad")), damaged);
    // What could be read is kept; the rest is written as it stands.
    PagerSettings now = known();
    now.verboseEmail.clear();
    now.mailer.clear();
    QCOMPARE(home->read(QStringLiteral("ovpager.cfg")), formatSettings(now));

    // A sound file makes no copy.
    QVERIFY(QFile::remove(path + QStringLiteral(".bad")));
    QVERIFY(run.start(QStringLiteral(OVPAGER_BINARY), home->path(), server->address()));
    QVERIFY(run.waitForLog("content request"));
    QVERIFY(run.stop());
    QVERIFY(!QFileInfo::exists(path + QStringLiteral(".bad")));
}

QTEST_MAIN(TestPagerConfig)
#include "tst_pagerconfig.moc"
