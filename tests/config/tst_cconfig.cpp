// The configuration dialog's pages, checks and cancel (rejected by closing), offscreen.
#include "config/cconfig.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/settingspages.h"
#include "tests/common/boxwatcher.h"

#include <QFile>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Every setting unlike what the pages start with.
PagerSettings distinct()
{
    PagerSettings s;
    s.numItems = 17;
    s.pollMinutes = 42;
    s.browserPath = QStringLiteral("/opt/browser \"quoted\"");
    s.flashIcon = true;
    s.popup = false;
    s.skin = QStringLiteral("Slate");
    s.vulnPopup = s.verboseNotify = true;
    s.configRestart = false;
    s.verboseEmail = QStringLiteral("verbose@site.example");
    s.briefEmail = QStringLiteral("brief@site.example");
    s.mailer = QStringLiteral("/usr/bin/mail -s \"x\"");
    return s;
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The project's own skins, Max and Slate, as if installed.
        QVERIFY(QFile::link(QStringLiteral(OVPAGER_SKINS_SOURCE),
                            lib.filePath(QStringLiteral("pagerskins"))));
        qputenv("OVPAGER_LIBDIR", lib.path().toLocal8Bit());
    }

    void init()
    {
        watcher = std::make_unique<BoxWatcher>();
        dialog = std::make_unique<CConfig>();
        dialog->setPages(new QWidget, new QWidget);
        watcher->ignore(dialog.get());
        options = dialog->optionsPage();
        inventory = dialog->inventoryOptionsPage();
        // The brief notice and the restart on, so that flags swapped in pairs tell apart.
        PagerSettings start;
        start.briefNotify = start.configRestart = true;
        start.briefEmail = QStringLiteral("old-b@x.example");
        applySettingsToPages({true, true, start}, *options, *inventory);
    }

    void intoPages_data()
    {
        QTest::addColumn<int>("groups"); // complete groups read
        QTest::newRow("complete") << 2;
        QTest::newRow("second group incomplete") << 1;
        QTest::newRow("nothing read") << 0;
    }

    void intoPages()
    {
        QFETCH(int, groups);
        const PagerSettings before = settingsFromPages(*options, *inventory);
        applySettingsToPages({groups > 0, groups > 1, distinct()}, *options, *inventory);

        // A group is taken whole or not at all; the skin goes with the second.
        PagerSettings expected = groups > 1 ? distinct() : before;
        if (groups == 1) {
            expected.numItems = distinct().numItems;
            expected.pollMinutes = distinct().pollMinutes;
            expected.browserPath = distinct().browserPath;
            expected.flashIcon = distinct().flashIcon;
            expected.popup = distinct().popup;
            expected.configRestart = distinct().configRestart;
        }
        QCOMPARE(pagesShow(), formatSettings(expected));
        // A recipient field can be typed in exactly when its notice is on.
        QCOMPARE(inventory->verboseEdit->isEnabled(), expected.verboseNotify);
        QCOMPARE(inventory->briefEdit->isEnabled(), expected.briefNotify);
    }

    void cancelPutsPagesBack()
    {
        const QByteArray before = pagesShow();
        dialog->show();
        applySettingsToPages({true, true, distinct()}, *options, *inventory);
        options->setDesktopNotices(DesktopNotices::Instead); // kept in a file of its own
        dialog->close();
        QCOMPARE(pagesShow(), before);
        QCOMPARE(options->desktopNotices(), DesktopNotices::Off);
    }

    void okChecks_data()
    {
        QTest::addColumn<QString>("briefTo"); // null: that notice off
        QTest::addColumn<QString>("verboseTo");
        QTest::addColumn<QString>("browser");
        QTest::addColumn<QString>("box");

        const QString on = QStringLiteral(""); // a notice on, its field empty
        QTest::newRow("both on and empty: brief first")
            << on << on << "/b"
            << "Required Information Missing|You must specify an email recipient for notification "
               "(brief)\nor deselect the option";
        // The brief notice's empty field is passed over: that notice is off.
        QTest::newRow("option in verbose")
            << QString() << "-oX"
            << "/b"
            << "Invalid Email Recipients|The email recipients for notification (verbose) must be "
               "addresses made of letters, digits and \".@_+-\",\nseparated by commas or blanks";
        // From the other page: the refusal must show the field's own.
        QTest::newRow("unstorable browser")
            << QString() << QString() << "x</mailer>y"
            << "Invalid Setting|The web browser path must not contain \"</\" or a settings tag "
               "such as \"<mailer>\":\nit could not be read back from the settings file";
    }

    void okChecks()
    {
        QFETCH(QString, briefTo);
        QFETCH(QString, verboseTo);
        QFETCH(QString, browser);
        QFETCH(QString, box);

        options->setValues(5, 15, browser, false, true, false);
        inventory->setValues(verboseTo, briefTo, QStringLiteral("/bin/mail"), false,
                             !verboseTo.isNull(), !briefTo.isNull());
        dialog->show();
        showTab(inventory);
        dialog->accept();
        QCOMPARE(watcher->boxes, QStringList{box});
        QVERIFY(dialog->result() != QDialog::Accepted);
        QCOMPARE(tabs()->currentWidget(),
                 browser == u"/b" ? static_cast<QWidget*>(inventory) : options);
    }

    void leavingThePageChecksRecipients()
    {
        inventory->setValues(QString(), QString(), QStringLiteral("/bin/mail"), false, true, false);
        dialog->show();
        showTab(inventory);
        showTab(options);
        QCOMPARE(watcher->boxes.size(), 1);
        QCOMPARE(tabs()->currentWidget(), inventory);
    }

private:
    QTabWidget* tabs() const { return dialog->findChild<QTabWidget*>(); }
    void showTab(QWidget* page) { tabs()->setCurrentWidget(page); }
    QByteArray pagesShow() const { return formatSettings(settingsFromPages(*options, *inventory)); }

    QTemporaryDir lib;
    std::unique_ptr<CConfig> dialog;
    std::unique_ptr<BoxWatcher> watcher;
    COptions* options = nullptr;
    CInventoryOptions* inventory = nullptr;
};

QTEST_MAIN(TestConfig)
#include "tst_cconfig.moc"
