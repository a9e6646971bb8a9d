// The configuration dialog's checks and its cancel (rejected by closing), offscreen.
#include "config/cconfig.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/settingspages.h"
#include "tests/common/boxwatcher.h"

#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {

QString missing(const char* which)
{
    return QStringLiteral("Required Information Missing|You must specify an email recipient for "
                          "notification (") +
           QLatin1String(which) + QStringLiteral(")\nor deselect the option");
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
    QByteArray pagesShow() const { return formatSettings(settingsFromPages(*options, *inventory)); }

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
    const QByteArray before = pagesShow();
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    options->setValues(25, 60, QStringLiteral("/other"), false, true, true);
    inventory->setValues(QStringLiteral("a@x.example"), QStringLiteral("b@x.example"),
                         QStringLiteral("/bin/other"), true, false, true);
    QVERIFY(pagesShow() != before);
    dialog->close();
    QCOMPARE(pagesShow(), before);
}

void TestConfig::recipients_data()
{
    QTest::addColumn<bool>("brief");
    QTest::addColumn<QString>("briefTo");
    QTest::addColumn<bool>("verbose");
    QTest::addColumn<QString>("verboseTo");
    QTest::addColumn<QString>("box"); // empty: the check passes

    QTest::newRow("both on and empty: brief first") << true << "" << true << "" << missing("brief");
    QTest::newRow("brief given, verbose empty")
        << true << "b@x.example" << true << "" << missing("verbose");
    QTest::newRow("both given") << true << "b@x.example, c@x.example" << true << "v@x.example"
                                << QString();
    QTest::newRow("option in verbose")
        << false << "" << true << "-oX"
        << "Invalid Email Recipients|The email recipients for notification (verbose) must be "
           "addresses made of letters, digits and \".@_+-\",\nseparated by commas or blanks";
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
    showTab(inventory);
    watcher->boxes.clear();
    dialog->accept();
    QCOMPARE(watcher->boxes, expected);
    QCOMPARE(dialog->isVisible(), !box.isEmpty());
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
    QTest::addColumn<int>("field"); // in the order of the dialog's fields
    QTest::addColumn<QString>("box");
    QTest::newRow("browser") << 0 << unstorable("web browser path");
    QTest::newRow("verbose recipients") << 1 << unstorable("verbose email recipients");
    QTest::newRow("mailer") << 3 << unstorable("mailer command line");
}

void TestConfig::unstorableTextRefused()
{
    QFETCH(int, field);
    QFETCH(QString, box);

    QStringList texts = {QStringLiteral("/b"), QString(), QString(), QStringLiteral("/bin/mail")};
    texts[field] = QStringLiteral("x</mailer>y");
    options->setValues(5, 15, texts[0], false, true, false);
    // Unticked notices: only the file's limits are in question.
    inventory->setValues(texts[1], texts[2], texts[3], false, false, false);
    // From the other page: the refusal must show the field's own.
    QWidget* page = field == 0 ? static_cast<QWidget*>(inventory) : options;
    dialog->show();
    showTab(page);
    dialog->accept();
    QCOMPARE(watcher->boxes, QStringList{box});
    QVERIFY(dialog->isVisible());
    QVERIFY(tabs()->currentWidget() != page);
}

QTEST_MAIN(TestConfig)
#include "tst_cconfig.moc"
