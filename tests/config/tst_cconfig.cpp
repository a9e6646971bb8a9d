// The configuration dialog's checks and its cancel (rejected by closing), offscreen.
#include "config/cconfig.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/settingspages.h"
#include "tests/common/boxwatcher.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

const QString briefMissing =
    QStringLiteral("Required Information Missing|You must specify an email recipient for "
                   "notification (brief)\nor deselect the option");
const QString verboseMissing =
    QStringLiteral("Required Information Missing|You must specify an email recipient for "
                   "notification (verbose)\nor deselect the option");
QString badList(const char* which)
{
    return QStringLiteral("Invalid Email Recipients|The email recipients for notification (") +
           QLatin1String(which) +
           QStringLiteral(") must be addresses made of letters, digits and \".@_+-\",\n"
                          "separated by commas or blanks");
}
QString unstorable(const char* field)
{
    return QStringLiteral("Invalid Setting|The ") + QLatin1String(field) +
           QStringLiteral(" must not contain \"</\" or a settings tag such as \"<mailer>\":\nit "
                          "could not be read back from the "
                          "settings file");
}

} // namespace

class TestConfig : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void cancelPutsPagesBack();
    void recipients_data();
    void recipients();
    void okWithoutVisitingSkipsRecipients();
    void unstorableTextRefused_data();
    void unstorableTextRefused();

private:
    QTabWidget* tabs() const { return dialog->findChild<QTabWidget*>(); }
    void showTab(QWidget* page) { tabs()->setCurrentWidget(page); }

    std::unique_ptr<CConfig> dialog;
    std::unique_ptr<BoxWatcher> watcher;
    COptions* options = nullptr;
    CInventoryOptions* inventory = nullptr;
};

void TestConfig::init()
{
    dialog = std::make_unique<CConfig>();
    dialog->setPages(new QWidget, new QWidget);
    options = dialog->optionsPage();
    inventory = dialog->inventoryOptionsPage();
    watcher = std::make_unique<BoxWatcher>();
    watcher->ignore(dialog.get());
}

void TestConfig::cleanup()
{
    watcher.reset();
    dialog.reset();
}

void TestConfig::cancelPutsPagesBack()
{
    options->setValues(12, 20, QStringLiteral("/usr/bin/b"), true, false, false);
    inventory->setValues(QStringLiteral("v@x.example"), QString(), QStringLiteral("/bin/m"), false,
                         true, false);
    const QByteArray before = formatSettings(settingsFromPages(*options, *inventory));

    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    options->setValues(25, 60, QStringLiteral("/other"), false, true, true);
    inventory->setValues(QStringLiteral("a@x.example"), QStringLiteral("b@x.example"),
                         QStringLiteral("/bin/other"), true, false, true);
    QVERIFY(formatSettings(settingsFromPages(*options, *inventory)) != before);
    dialog->close();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(dialog->result(), int(QDialog::Rejected));
    QCOMPARE(formatSettings(settingsFromPages(*options, *inventory)), before);
    QVERIFY(inventory->verboseEdit->isEnabled());
    QVERIFY(!inventory->briefEdit->isEnabled());
    QVERIFY(watcher->boxes.isEmpty());
}

void TestConfig::recipients_data()
{
    QTest::addColumn<bool>("brief");
    QTest::addColumn<QString>("briefTo");
    QTest::addColumn<bool>("verbose");
    QTest::addColumn<QString>("verboseTo");
    QTest::addColumn<QString>("box"); // empty: the check passes

    QTest::newRow("both off, fields empty") << false << "" << false << "" << QString();
    QTest::newRow("brief on, empty") << true << "" << false << "" << briefMissing;
    QTest::newRow("verbose on, empty") << false << "" << true << "" << verboseMissing;
    QTest::newRow("both on and empty: brief first") << true << "" << true << "" << briefMissing;
    QTest::newRow("brief given, verbose empty")
        << true << "b@x.example" << true << "" << verboseMissing;
    QTest::newRow("both given") << true << "b@x.example, c@x.example" << true << "v@x.example"
                                << QString();
    QTest::newRow("blanks only") << true << "   " << false << "" << badList("brief");
    QTest::newRow("option in verbose") << false << "" << true << "-oX" << badList("verbose");
    QTest::newRow("bad text in an unused field") << false << "a;b" << false << "`x`" << QString();
}

void TestConfig::recipients()
{
    QFETCH(bool, brief);
    QFETCH(QString, briefTo);
    QFETCH(bool, verbose);
    QFETCH(QString, verboseTo);
    QFETCH(QString, box);

    inventory->setValues(verboseTo, briefTo, QStringLiteral("/bin/mail"), false, verbose, brief);
    dialog->show();
    const QStringList expected = box.isEmpty() ? QStringList() : QStringList{box};

    // Leaving the page by another tab.
    showTab(inventory);
    showTab(options);
    QCOMPARE(watcher->boxes, expected);
    QCOMPARE(tabs()->currentWidget(), box.isEmpty() ? static_cast<QWidget*>(options) : inventory);

    // OK on the page.
    watcher->boxes.clear();
    showTab(inventory);
    watcher->boxes.clear();
    dialog->accept();
    QCOMPARE(watcher->boxes, expected);
    QCOMPARE(dialog->isVisible(), !box.isEmpty());
    QCOMPARE(tabs()->currentWidget(), static_cast<QWidget*>(inventory));
}

void TestConfig::okWithoutVisitingSkipsRecipients()
{
    inventory->setValues(QString(), QString(), QStringLiteral("/bin/mail"), false, true, true);
    dialog->show();
    showTab(options);
    dialog->accept();
    QVERIFY(watcher->boxes.isEmpty());
    QCOMPARE(dialog->result(), int(QDialog::Accepted));
}

void TestConfig::unstorableTextRefused_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("box");
    QTest::newRow("browser") << "browser" << unstorable("web browser path");
    QTest::newRow("verbose recipients") << "verbose" << unstorable("verbose email recipients");
    QTest::newRow("brief recipients") << "brief" << unstorable("brief email recipients");
    QTest::newRow("mailer") << "mailer" << unstorable("mailer command line");
}

void TestConfig::unstorableTextRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, box);

    const QString bad = QStringLiteral("x</mailer>y");
    options->setValues(5, 15, field == QLatin1String("browser") ? bad : QStringLiteral("/b"), false,
                       true, false);
    // Unticked notices: only the file's limits are in question.
    inventory->setValues(field == QLatin1String("verbose") ? bad : QString(),
                         field == QLatin1String("brief") ? bad : QString(),
                         field == QLatin1String("mailer") ? bad : QStringLiteral("/bin/mail"),
                         false, false, false);
    QWidget* page = field == QLatin1String("browser") ? static_cast<QWidget*>(inventory)
                                                      : static_cast<QWidget*>(options);
    dialog->show();
    showTab(page); // the other page: the refusal must show the field's own
    dialog->accept();
    QCOMPARE(watcher->boxes, QStringList{box});
    QVERIFY(dialog->isVisible());
    QVERIFY(tabs()->currentWidget() != page);
}

QTEST_MAIN(TestConfig)
#include "tst_cconfig.moc"
