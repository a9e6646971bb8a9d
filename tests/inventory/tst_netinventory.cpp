#include "inventory/core/cinventory.h"
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

class TestNetInventory : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void profiles();
    void productsAndOverviews();
    void customCategories();
    void treeArrivesAfterInventory();
    void failedWriteIsReported();

private:
    std::unique_ptr<CNetInventory> makePage(CWWWServer* server = nullptr);
    QPushButton* button(const QString& text) const;
    QComboBox* selector() const;
    QByteArray fileOnDisk() const;
    QStringList rows(const char* name) const;
    void selectRow(const char* name, const QString& text);
    void showEntity(int position);
    void newProfile(const QString& name);

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<BoxWatcher> m_watcher;
    // Texts typed into the next dialogs' line edits, one list per dialog;
    // an empty list cancels that dialog.
    QList<QStringList> m_answers;
    QPointer<QDialog> m_pending;
    CNetInventory* m_page = nullptr;
};

namespace {

const QByteArray tree = "VERSION=7\n0,10,\"Acme\"\n10,1001,\"Anvil\"\n10,1002,\"Rocket\"\n"
                        "0,20,\"Globex\"\n20,2001,\"Dome\"\n";

// "a/b" per top-level row, children in brackets.
QString describeItem(const QTreeWidgetItem* item)
{
    QString text = item->text(0);
    if (!item->text(1).isEmpty())
        text += u'/' + item->text(1);
    QStringList children;
    for (int i = 0; i < item->childCount(); ++i)
        children << describeItem(item->child(i));
    if (!children.isEmpty())
        text += u'[' + children.join(u',') + u']';
    return text;
}

} // namespace

void TestNetInventory::init()
{
    m_dir = std::make_unique<TempDataDir>();
    m_answers.clear();
    m_watcher = std::make_unique<BoxWatcher>([this](QWidget* w) {
        auto* dialog = qobject_cast<QDialog*>(w);
        if (!dialog || dialog == m_pending)
            return;
        const QStringList texts = m_answers.isEmpty() ? QStringList() : m_answers.takeFirst();
        const QList<QLineEdit*> edits = dialog->findChildren<QLineEdit*>();
        for (qsizetype i = 0; i < edits.size() && i < texts.size(); ++i)
            edits.at(i)->setText(texts.at(i));
        // Answered from the event loop, not from inside the watcher, so a
        // box the dialog itself opens can be answered too.
        m_pending = dialog;
        QTimer::singleShot(0, dialog, [this, dialog, accept = !texts.isEmpty()] {
            if (accept)
                dialog->accept();
            else
                dialog->reject();
            m_pending = nullptr;
        });
    });
}

void TestNetInventory::cleanup()
{
    m_watcher.reset();
    m_page = nullptr;
    m_dir.reset();
}

std::unique_ptr<CNetInventory> TestNetInventory::makePage(CWWWServer* server)
{
    auto page = std::make_unique<CNetInventory>(server, nullptr);
    m_page = page.get();
    return page;
}

QPushButton* TestNetInventory::button(const QString& text) const
{
    for (QPushButton* b : m_page->findChildren<QPushButton*>()) {
        if (b->text() == text)
            return b;
    }
    return nullptr;
}

QComboBox* TestNetInventory::selector() const
{
    return m_page->findChild<QComboBox*>(QStringLiteral("entitySelector"));
}

QByteArray TestNetInventory::fileOnDisk() const
{
    return m_dir->read(QStringLiteral("netinventory.dat"));
}

QStringList TestNetInventory::rows(const char* name) const
{
    QStringList out;
    const auto* v = m_page->findChild<QTreeWidget*>(QString::fromLatin1(name));
    for (int i = 0; i < v->topLevelItemCount(); ++i)
        out << describeItem(v->topLevelItem(i));
    return out;
}

void TestNetInventory::selectRow(const char* name, const QString& text)
{
    auto* v = m_page->findChild<QTreeWidget*>(QString::fromLatin1(name));
    const QList<QTreeWidgetItem*> found = v->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    QVERIFY2(!found.isEmpty(), qPrintable(text));
    v->setCurrentItem(found.first());
}

void TestNetInventory::showEntity(int position)
{
    selector()->setCurrentIndex(position);
    m_page->slotChangeEntity(position);
}

void TestNetInventory::newProfile(const QString& name)
{
    m_answers = {{name}};
    button(QStringLiteral("&New"))->click();
}

void TestNetInventory::profiles()
{
    auto page = makePage();
    // A repeat and a closing tag refused, an empty name ignored.
    for (const char* name : {"Office", "Office", "", "a</name>b", "Lab", "three"})
        newProfile(QString::fromLatin1(name));
    QCOMPARE(selector()->count(), 5);
    showEntity(3);
    m_answers = {{QStringLiteral("Den")}};
    button(QStringLiteral("R&ename"))->click();
    QCOMPARE(selector()->itemText(3), QStringLiteral("Den"));
    QVERIFY(fileOnDisk().contains("\t<entity>\n\t\t<name>Den</name>\n\t</entity>\n"));

    m_watcher->answers = QStringList{QStringLiteral("Cancel"), QStringLiteral("Ok")};
    button(QStringLiteral("&Delete"))->click();
    QCOMPARE(selector()->count(), 5);
    button(QStringLiteral("&Delete"))->click();
    const QString confirm = QStringLiteral("Confirm Delete Profile|You are about to delete the "
                                           "profile named 'Den'\n\nPress Ok to continue.");
    QCOMPARE(m_watcher->boxes,
             QStringList({"Duplicate Profile|There is already a Profile with that Name.",
                          "Invalid Profile Name|A profile name may not contain \"</\".", confirm,
                          confirm}));
    QCOMPARE(rows("productList"), QStringList({"Office", "three"}));
    QVERIFY(!fileOnDisk().contains("<name>Den</name>"));
    m_page->slotChangeEntity(3); // "three" answers at its new position
    QCOMPARE(m_page->currentEntity(), 1);
}

void TestNetInventory::productsAndOverviews()
{
    m_dir->write(QStringLiteral("vulncategory.dat"), tree);
    auto page = makePage();
    newProfile(QStringLiteral("A"));
    const auto add = [this](const char* row) {
        selectRow("vulnTree", QString::fromLatin1(row));
        button(QStringLiteral("->"))->click();
    };
    for (const char* row : {"Anvil", "Dome", "Acme"})
        add(row);
    QCOMPARE(rows("productList"), QStringList({"Globex/Dome", "Acme/ALL Products"}));
    QVERIFY(fileOnDisk().contains("<vid>10</vid>\n\t\t\t<pid>0</pid>"));
    selectRow("productList", QStringLiteral("Globex"));
    button(QStringLiteral("<-"))->click();
    QCOMPARE(rows("productList"), QStringList("Acme/ALL Products"));
    button(QStringLiteral("<<"))->click();
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
}

void TestNetInventory::customCategories()
{
    auto page = makePage();
    m_answers = {{QStringLiteral("Mail"), QString()},
                 {QStringLiteral("Mail"), QStringLiteral("smtp</keywords>")},
                 {QStringLiteral("Mail"), QStringLiteral("smtp, imap")}};
    for (int i = 0; i < 3; ++i)
        button(QStringLiteral("&Add"))->click();
    QVERIFY(fileOnDisk().contains("\t\t<name>Mail</name>\n\t\t<keywords>smtp, imap</keywords>\n"
                                  "\t\t<id>1</id>\n"));
    for (const char* name : {"A", "B"}) {
        newProfile(QString::fromLatin1(name));
        selectRow("customList", QStringLiteral("Mail"));
        button(QStringLiteral("->"))->click();
    }
    m_answers = {{QStringLiteral("Post"), QStringLiteral("pop3")}};
    button(QStringLiteral("&Edit"))->click();
    QCOMPARE(rows("customList"), QStringList("Post/pop3"));
    QCOMPARE(rows("productList"), QStringList({"A[CUSTOM/Post]", "B[CUSTOM/Post]"}));

    selectRow("customList", QStringLiteral("Post"));
    m_watcher->answers = QStringList{QStringLiteral("Ok")};
    button(QStringLiteral("&Remove"))->click();
    // Asked once, though two profiles hold it.
    const QString confirm = QStringLiteral("Confirm Delete Custom|One or more of your network "
                                           "profiles contains the custom category you are about "
                                           "to delete.\n\nPress Ok to continue.");
    QCOMPARE(m_watcher->boxes,
             QStringList({"New Custom Category|You must specify keywords for the new category.",
                          "Invalid Custom Category|Names and keywords may not contain \"</\".",
                          confirm}));
    QCOMPARE(rows("productList"), QStringList({"A", "B"}));
    QVERIFY(!fileOnDisk().contains("<product>"));
    QVERIFY(!fileOnDisk().contains("<custom>"));
}

void TestNetInventory::treeArrivesAfterInventory()
{
    const QByteArray stored =
        "<timestamp>0</timestamp>\n<customitems>\n</customitems>\n<netinventory>\n\t<entity>\n"
        "\t\t<name>A</name>\n\t\t<product>\n\t\t\t<vid>10</vid>\n\t\t\t<pid>1001</pid>\n"
        "\t\t</product>\n\t\t<product>\n\t\t\t<vid>20</vid>\n\t\t\t<pid>0</pid>\n\t\t</product>\n"
        "\t</entity>\n</netinventory>\n";
    m_dir->write(QStringLiteral("netinventory.dat"), stored);
    CWWWServer server(QStringLiteral("127.0.0.1"), 9);
    server.setTimeouts(50, 50);
    auto page = makePage(&server);
    QCOMPARE(server.state(), 1 + int(VulnCategoryUpdate)); // the tree was asked for
    QCOMPARE(rows("productList"), QStringList("A[vendor 10/product 1001,vendor 20/ALL Products]"));

    m_page->slotChangeEntity(2); // showing the profile saves it
    QCOMPARE(fileOnDisk(), stored);

    m_dir->write(QStringLiteral("vulncategory.dat"), tree);
    emit server.vulnCategoryUpdateDone();
    QCOMPARE(rows("vulnTree").size(), 2);
    QCOMPARE(rows("productList"), QStringList({"Acme/Anvil", "Globex/ALL Products"}));
    QCOMPARE(m_page->version(), 7);

    // A later file without rows leaves the tree as it is.
    m_dir->write(QStringLiteral("vulncategory.dat"), "VERSION=9\n");
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("holds no rows"));
    emit server.vulnCategoryUpdateDone();
    QCOMPARE(rows("vulnTree").size(), 2);
    QCOMPARE(m_page->version(), 7);
}

void TestNetInventory::failedWriteIsReported()
{
    auto page = makePage();
    // A directory in the file's place cannot be replaced, even by a privileged user.
    QVERIFY(QDir(dataDirPath).mkdir(QStringLiteral("netinventory.dat")));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("netinventory\\.dat"));
    newProfile(QStringLiteral("Office"));
    QCOMPARE(m_page->profileCount(), 1);
}

QTEST_MAIN(TestNetInventory)
#include "tst_netinventory.moc"
