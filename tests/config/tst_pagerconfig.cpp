// What the controller does with the configuration dialog and the settings
// file: in this process for the dialog's outcome, as the real program for
// a damaged file.
#include "config/cconfig.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/settingspages.h"
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
    void initTestCase() { QVERIFY(server.listen()); }
    void init()
    {
        QVERIFY(home.write(QStringLiteral("category.dat"), replies::categories));
        QVERIFY(home.write(QStringLiteral("ovpager.cfg"), formatSettings(known())));
    }

    void dialogOutcome_data()
    {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK saves at once") << true;
        QTest::newRow("cancel puts the ticks back, saves nothing") << false;
    }

    void dialogOutcome()
    {
        QFETCH(bool, ok);
        childprocess::setPagerEnvironment(home.path(), server.address());
        CPager pager;
        CCategoryTree* tree = pager.categoryPage();
        const QByteArray ticks = formatCategoryFile(tree->snapshot());
        PagerSettings saved = known();
        BoxWatcher watcher([&](QWidget*) {
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                static_cast<CCategoryItem*>(tree->topLevelItem(i))->activate();
            CConfig* dialog = pager.configDialog;
            dialog->optionsPage()->setValues(25, 45, QStringLiteral("/usr/bin/new-browser"), true,
                                             false, false);
            dialog->inventoryOptionsPage()->briefEdit->setText(QStringLiteral("me@site.example"));
            if (ok) // what the pages hold is read back by tst_cconfig
                saved = settingsFromPages(*dialog->optionsPage(), *dialog->inventoryOptionsPage());
            ok ? dialog->accept() : dialog->reject();
        });
        pager.slotDoConfig();
        QCOMPARE(formatCategoryFile(tree->snapshot()) == ticks, !ok);
        QCOMPARE(home.read(QStringLiteral("category.dat")) == replies::categories, !ok);
        QCOMPARE(home.read(QStringLiteral("ovpager.cfg")), formatSettings(saved));
        QCOMPARE(pager.pollTimerForTest()->interval(), saved.pollMinutes * 60000);
        QVERIFY(pager.pollTimerForTest()->isActive());
        // A sound file makes no copy.
        QVERIFY(!QFileInfo::exists(home.dataFile(QStringLiteral("ovpager.cfg.bad"))));
    }

    void damagedSettingsKept()
    {
        // The mailer element was lost: the whole second group is not applied.
        const QByteArray damaged = formatSettings(known()).replace("<mailer>", "<mail>");
        QVERIFY(home.write(QStringLiteral("ovpager.cfg"), damaged));
        PagerProcess run;
        QVERIFY(run.start(QStringLiteral(OVPAGER_BINARY), home.path(), server.address()));
        QVERIFY(run.waitForLog("content request"));
        QVERIFY(run.stop());
        const QByteArray path = QFile::encodeName(home.dataFile(QStringLiteral("ovpager.cfg")));
        QVERIFY(run.process.readAllStandardError().contains(
            path + " could not be read in full; a copy is kept as " + path + ".bad\n"));
        QCOMPARE(home.read(QStringLiteral("ovpager.cfg.bad")), damaged);
        // What could be read is kept; the rest is written as it stands.
        PagerSettings now = known();
        now.verboseEmail.clear();
        now.mailer.clear();
        QCOMPARE(home.read(QStringLiteral("ovpager.cfg")), formatSettings(now));
    }

private:
    TempHome home;
    HttpStandIn server{replies::notFound};
};

QTEST_MAIN(TestPagerConfig)
#include "tst_pagerconfig.moc"
