// The inventory page: profiles, products and custom categories through its
// buttons and dialogs, and vulnerability alerts: mails through a stand-in
// mailer, boxes, and desktop notices through a stand-in notification service
// on a private session bus.
#include "config/cconfig.h"
#include "config/cdesktopnotifier.h"
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "feedrecords.h"
#include "inventory/core/cmailerrunner.h"
#include "inventory/core/vulnfeed.h"
#include "inventory/netinventory.h"
#include "net/core/cwwwserver.h"
#include "pager/core/globals.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/notificationstandin.h"
#include "tests/common/privatebus.h"
#include "tests/common/standinprogram.h"
#include "tests/common/testfiles.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <memory>

// "vendor/product" per row under `item`, children in brackets.
static QStringList rowsUnder(const QTreeWidgetItem* item)
{
    QStringList rows;
    for (int i = 0; i < item->childCount(); ++i) {
        const QTreeWidgetItem* row = item->child(i);
        const QStringList children = rowsUnder(row);
        rows << row->text(0) + (row->text(1).isEmpty() ? QString() : u'/' + row->text(1)) +
                    (children.isEmpty() ? QString() : u'[' + children.join(u',') + u']');
    }
    return rows;
}

using feedrecords::vuln;

static const QString twoMatches = vuln("11", "2026-03-01", "10:1001", "Anvil drops") +
                                  vuln("13", "2026-02-15", "20:2001,10:1001", "Dome and anvil");

class TestNetInventory : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_page.reset(); // the last test's page goes before its options and its folder
        m_config.reset();
        m_dir = std::make_unique<TempDataDir>();
        m_watcher = std::make_unique<BoxWatcher>([this](QWidget* w) {
            auto* dialog = qobject_cast<QDialog*>(w);
            const QStringList texts = m_answers.isEmpty() ? QStringList() : m_answers.takeFirst();
            const QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>();
            for (qsizetype i = 0; i < qMin(edits.size(), texts.size()); ++i)
                edits.at(i)->setText(texts.at(i));
            // Answered from the event loop (before the watcher looks again), so that a box
            // the dialog opens is answered too.
            QTimer::singleShot(0, dialog, [dialog, texts] {
                texts.isEmpty() ? dialog->reject() : dialog->accept();
            });
        });
    }

    void profilesAndFailedWrite()
    {
        m_page = std::make_unique<CNetInventory>(nullptr, nullptr);
        for (const char* name : {"Office", "Office", "a</name>b", "Lab"})
            newProfile(QString::fromLatin1(name));
        m_answers = {{QStringLiteral("Den")}};
        click(QStringLiteral("R&ename"));
        QVERIFY(fileOnDisk().contains("<name>Den</name>"));
        m_watcher->answers = QStringList{QStringLiteral("Cancel"), QStringLiteral("Ok")};
        click(QStringLiteral("&Delete"));
        click(QStringLiteral("&Delete"));
        const QString confirm = QStringLiteral("Confirm Delete Profile|You are about to delete the "
                                               "profile named 'Den'\n\nPress Ok to continue.");
        QCOMPARE(m_watcher->boxes,
                 QStringList({"Duplicate Profile|There is already a Profile with that Name.",
                              "Invalid Profile Name|A profile name may not contain \"</\".",
                              confirm, confirm}));
        QCOMPARE(rows("productList"), QStringList("Office"));
        QVERIFY(!fileOnDisk().contains("<name>Den</name>"));

        // A directory in the file's place cannot be replaced, even by a privileged user.
        QVERIFY(QFile::remove(dataDirPath + "netinventory.dat"));
        QVERIFY(QDir(dataDirPath).mkdir(QStringLiteral("netinventory.dat")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("netinventory\\.dat"));
        newProfile(QStringLiteral("Lab"));
        QCOMPARE(m_page->profileCount(), 2);
    }

    void productsAndOverviews()
    {
        m_dir->write(QStringLiteral("vulncategory.dat"), feedrecords::tree);
        m_page = std::make_unique<CNetInventory>(nullptr, nullptr);
        const auto add = [this](const char* row) {
            select("vulnTree", QString::fromLatin1(row));
            click(QStringLiteral("->"));
        };
        newProfile(QStringLiteral("A"));
        for (const char* row : {"Anvil", "Dome", "Acme"})
            add(row);
        QCOMPARE(rows("productList"), QStringList({"Globex/Dome", "Acme/ALL Products"}));
        select("productList", QStringLiteral("Globex"));
        click(QStringLiteral("<-"));
        QCOMPARE(rows("productList"), QStringList("Acme/ALL Products"));
        click(QStringLiteral("<<"));
        QVERIFY(rows("productList").isEmpty());
        QVERIFY(!fileOnDisk().contains("<product>"));

        add("Dome");
        newProfile(QStringLiteral("B"));
        add("Dome");
        add("Anvil");
        showEntity(1);
        QCOMPARE(rows("productList"), QStringList({"Globex/Dome", "Acme/Anvil"}));
        showEntity(0);
        QCOMPARE(rows("productList"), QStringList({"A[Globex/Dome]", "B[Globex/Dome,Acme/Anvil]"}));

        // A custom category: keywords wanted, no closing tag, then added to the profile shown.
        m_answers = {{"Mail", ""}, {"Mail", "smtp</keywords>"}, {"Mail", "smtp"}};
        for (int i = 0; i < 3; ++i)
            click(QStringLiteral("&Add"));
        for (int position : {2, 3}) {
            showEntity(position);
            select("customList", QStringLiteral("Mail"));
            click(QStringLiteral("->"));
        }
        QCOMPARE(rows("productList"), QStringList({"Globex/Dome", "Acme/Anvil", "CUSTOM/Mail"}));

        // Removing it asks once, though two profiles hold it.
        select("customList", QStringLiteral("Mail"));
        m_watcher->answers = QStringList{QStringLiteral("Ok")};
        click(QStringLiteral("&Remove"));
        QCOMPARE(m_watcher->boxes,
                 QStringList({"New Custom Category|You must specify keywords for the new category.",
                              "Invalid Custom Category|Names and keywords may not contain \"</\".",
                              "Confirm Delete Custom|One or more of your network profiles contains "
                              "the custom category you are about to delete.\n\nPress Ok to "
                              "continue."}));
        QCOMPARE(rows("productList"), QStringList({"Globex/Dome", "Acme/Anvil"}));
        QVERIFY(!fileOnDisk().contains("<custom>"));
    }

    void treeArrivesAfterInventory()
    {
        m_dir->write(QStringLiteral("netinventory.dat"),
                     "<netinventory><entity><name>A</name><product><vid>10</vid><pid>1001</pid>"
                     "</product></entity></netinventory>");
        CWWWServer server(QStringLiteral("127.0.0.1"), 9);
        server.setTimeouts(50, 50);
        m_page = std::make_unique<CNetInventory>(&server, nullptr);
        QCOMPARE(server.state(), 1 + int(VulnCategoryUpdate)); // the tree was asked for
        QCOMPARE(rows("productList"), QStringList("A[vendor 10/product 1001]"));
        m_dir->write(QStringLiteral("vulncategory.dat"), feedrecords::tree);
        emit server.vulnCategoryUpdateDone();
        QCOMPARE(rows("productList"), QStringList("A[Acme/Anvil]"));

        // A later file without rows leaves the tree as it is.
        m_dir->write(QStringLiteral("vulncategory.dat"), "VERSION=9\n");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("holds no rows"));
        emit server.vulnCategoryUpdateDone();
        QCOMPARE(rows("vulnTree").size(), 3);
        QCOMPARE(m_page->version(), 3);
        m_page.reset(); // before the server it listens to
    }

    void mails()
    {
        alertPage();
        // Nothing ticked: nothing told.
        StandInProgram mailer;
        setOptions(mailer.path() + QStringLiteral(" -s 'Orvelle Alert'"), false, false, false);
        feed(twoMatches);
        QVERIFY(m_page->mailerRunner()->isIdle());
        QCOMPARE(shownMessageBoxes().size(), 0);

        // A brief mail for each notice, one verbose mail for them all.
        setOptions(mailer.path() + QStringLiteral(" -s 'Orvelle Alert'"), false, true, true);
        const VulnFeedResult expected =
            processVulnFeed(twoMatches, m_page->model(), feedrecords::vulnTree());
        feed(twoMatches);
        QTRY_VERIFY_WITH_TIMEOUT(m_page->mailerRunner()->isIdle(), 10000);
        QCOMPARE(mailer.runs(), 3);
        // The first brief mail's form and recipients are the end-to-end run's; here, the second.
        const VulnNotice& second = expected.notices.at(1);
        QCOMPARE(mailer.input(2), briefMailLine(second.record, second.names).toUtf8());
        QCOMPARE(mailer.arguments(3), (QStringList{"-s", "Orvelle Alert", "v@x.org"}));
        QCOMPARE(mailer.input(3), expected.verboseText.toUtf8());
    }

    void feedsWaitTheirTurnWhileMailerHangs()
    {
        alertPage();
        StandInProgram mailer("sleep 1000 & wait");
        setOptions(mailer.path(), true, false, true);
        QElapsedTimer clock;
        clock.start();
        feed(vuln("1", "a", "10:1001", "First"));
        feed(vuln("2", "b", "10:1001", "Second"));
        QVERIFY(clock.elapsed() < 1000);
        // Saved at once, one box at a time, and the boxes answer while the mailer hangs.
        QVERIFY(fileOnDisk().startsWith("<timestamp>b</timestamp>"));
        QTRY_COMPARE(mailer.runs(), 1);
        QCOMPARE(shownMessageBoxes().size(), 1);
        QVERIFY(shownMessageBoxes().at(0)->text().endsWith(QStringLiteral("[1] : First")));
        shownMessageBoxes().at(0)->defaultButton()->click();
        QTRY_COMPARE(shownMessageBoxes().size(), 1);
        QVERIFY(shownMessageBoxes().at(0)->text().endsWith(QStringLiteral("[2] : Second")));
        QVERIFY(!m_page->mailerRunner()->isIdle());
    }

    void desktopNotices()
    {
        if (!privatebus::available())
            QSKIP("no private session bus (dbus-run-session is missing)");
        alertPage();
        auto service = std::make_unique<NotificationStandIn>();
        QVERIFY(service->start());
        CDesktopNotifier notifier;
        m_page->setDesktopNotifier(&notifier);
        m_config->optionsPage()->setDesktopNotices(DesktopNotices::Instead);
        setOptions(QString(), true, false, false);
        feed(vuln("11", "2026-03-01", "10:1001", "Anvil drops"));
        QTRY_COMPARE(service->notices().size(), 1);
        QVERIFY(service->notices().first().body.endsWith(QLatin1String("[11] : Anvil drops")));
        QCOMPARE(shownMessageBoxes().size(), 0); // instead of a box, which would be open by now

        // With the service gone the bus refuses the notice: it comes as the box after all.
        service.reset();
        feed(vuln("12", "2026-03-02", "10:1001", "Anvil again"));
        QTRY_COMPARE(shownMessageBoxes().size(), 1);
        QVERIFY(shownMessageBoxes().at(0)->text().endsWith(QLatin1String("[12] : Anvil again")));
    }

private:
    // A page with options and two profiles; its boxes are looked at, not answered.
    void alertPage()
    {
        m_watcher.reset();
        m_dir->write(QStringLiteral("vulncategory.dat"), feedrecords::tree);
        m_config = std::make_unique<CConfig>();
        m_page = std::make_unique<CNetInventory>(nullptr, m_config.get());
        feedrecords::addProfiles(m_page->model());
    }
    void click(const QString& text)
    {
        for (QPushButton* b : m_page->findChildren<QPushButton*>())
            if (b->text() == text)
                b->click();
    }
    QTreeWidget* view(const char* name) const { return m_page->findChild<QTreeWidget*>(name); }
    QStringList rows(const char* name) const { return rowsUnder(view(name)->invisibleRootItem()); }
    void select(const char* name, const QString& text)
    {
        view(name)->setCurrentItem(view(name)->findItems(text, Qt::MatchRecursive).value(0));
    }
    void showEntity(int position)
    {
        m_page->findChild<QComboBox*>("entitySelector")->setCurrentIndex(position);
        m_page->slotChangeEntity(position);
    }
    void newProfile(const QString& name)
    {
        m_answers = {{name}};
        click("&New");
    }
    void setOptions(const QString& mailer, bool popup, bool verbose, bool brief)
    {
        m_config->inventoryOptionsPage()->setValues("v@x.org", "a@x.org, b@y.org", mailer, popup,
                                                    verbose, brief);
    }
    void feed(const QString& text)
    {
        QVERIFY(m_dir->write(QStringLiteral("vulnpoll.dat"), text.toUtf8()));
        m_page->processVulns();
    }
    QByteArray fileOnDisk() const { return m_dir->read(QStringLiteral("netinventory.dat")); }

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<CConfig> m_config;
    std::unique_ptr<BoxWatcher> m_watcher;
    // Texts typed into the next dialogs' line edits, one list per dialog;
    // an empty list cancels that dialog.
    QList<QStringList> m_answers;
    std::unique_ptr<CNetInventory> m_page;
};

PRIVATEBUS_TEST_MAIN(TestNetInventory, QApplication)

#include "tst_netinventory.moc"
