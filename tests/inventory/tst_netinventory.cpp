#include "feedrecords.h"
#include "inventory/netinventory.h"
#include "net/core/cwwwserver.h"
#include "pager/core/globals.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/testfiles.h"

#include <QComboBox>
#include <QLineEdit>
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

class TestNetInventory : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_page.reset();
        m_dir = std::make_unique<TempDataDir>();
        m_watcher = std::make_unique<BoxWatcher>([this](QWidget* w) {
            auto* dialog = qobject_cast<QDialog*>(w);
            if (!dialog || dialog == m_pending)
                return;
            const QStringList texts = m_answers.isEmpty() ? QStringList() : m_answers.takeFirst();
            const QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>();
            for (qsizetype i = 0; i < qMin(edits.size(), texts.size()); ++i)
                edits.at(i)->setText(texts.at(i));
            // Answered from the event loop, so that a box the dialog opens is answered too.
            m_pending = dialog;
            QTimer::singleShot(0, dialog, [this, dialog, texts] {
                texts.isEmpty() ? dialog->reject() : dialog->accept();
                m_pending = nullptr;
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
        QCOMPARE(rows("vulnTree").size(), 3);
        QCOMPARE(rows("productList"), QStringList("A[Acme/Anvil]"));

        // A later file without rows leaves the tree as it is.
        m_dir->write(QStringLiteral("vulncategory.dat"), "VERSION=9\n");
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("holds no rows"));
        emit server.vulnCategoryUpdateDone();
        QCOMPARE(rows("vulnTree").size(), 3);
        QCOMPARE(m_page->version(), 3);
        m_page.reset(); // before the server it listens to
    }

private:
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
    QByteArray fileOnDisk() const { return m_dir->read(QStringLiteral("netinventory.dat")); }

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<BoxWatcher> m_watcher;
    // Texts typed into the next dialogs' line edits, one list per dialog;
    // an empty list cancels that dialog.
    QList<QStringList> m_answers;
    QPointer<QDialog> m_pending;
    std::unique_ptr<CNetInventory> m_page;
};

QTEST_MAIN(TestNetInventory)
#include "tst_netinventory.moc"
