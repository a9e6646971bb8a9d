// The keys of the main window, the headline list and the category page, and
// the plain look at its smallest, against a loopback stand-in.
#include "app/cbanner.h"
#include "app/cmain.h"
#include "config/csearchdialog.h"
#include "pager/ccategoryitem.h"
#include "pager/ccategorytree.h"
#include "pager/cpager.h"

#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"
#include "tests/common/standinprogram.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(server.listen()); }
    void init();
    void cleanup() { window.reset(); }
    void keyPaths_data();
    void keyPaths();
    void nothingOverlapsAtTheSmallest();

private:
    TempHome home;
    StandInProgram browser;
    HttpStandIn server{replies::ok(replies::topnews(replies::headline(1, 10, "202612061010", 1)))};
    std::unique_ptr<CMain> window;
};

void TestKeyboard::init()
{
    server.requests.clear();
    QVERIFY(home.write("category.dat", replies::categories) &&
            home.write("ovpager.cfg",
                       replies::settings(false).replace(
                           "<browserpath>", "<browserpath>" + browser.path().toLocal8Bit())));
    childprocess::setPagerEnvironment(home.path(), server.address());
    window = std::make_unique<CMain>();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTRY_VERIFY(window->pager->headlines()->topLevelItem(1)->childCount() == 1);
}

void TestKeyboard::keyPaths_data()
{
    QTest::addColumn<int>("key"); // with its modifiers
    QTest::newRow("Return opens the selected headline") << int(Qt::Key_Return);
    QTest::newRow("Space ticks and unticks a category") << int(Qt::Key_Space);
    QTest::newRow("F5 polls") << int(Qt::Key_F5);
    QTest::newRow("Ctrl+Q quits and saves") << (Qt::CTRL | Qt::Key_Q).toCombined();
}

void TestKeyboard::keyPaths()
{
    QFETCH(int, key);
    const auto press = [&](QWidget* target) {
        const QKeyCombination k = QKeyCombination::fromCombined(key);
        QTest::keyClick(target, k.key(), k.keyboardModifiers());
    };
    QTreeWidget* list = window->pager->headlines();
    CCategoryTree* page = window->pager->categoryPage();
    if (key == Qt::Key_Return) {
        list->setCurrentItem(list->topLevelItem(1)->child(0));
        list->setFocus();
        press(list);
        QTRY_COMPARE(browser.arguments(1), QStringList("http://news.example/a10"));
    } else if (key == Qt::Key_Space) {
        auto* viruses = dynamic_cast<CCategoryItem*>(page->findItems("Viruses", {}).value(0));
        QVERIFY(viruses && !viruses->isOn());
        page->setCurrentItem(viruses);
        press(page);
        QVERIFY(viruses->isOn());
        press(page);
        QVERIFY(!viruses->isOn());
    } else if (key == Qt::Key_F5) {
        press(window.get());
        QTRY_COMPARE(server.linesStartingWith("GET /pagerv3/pager_info.html").size(), 2);
    } else {
        QFile::remove(home.dataFile("article.dat"));
        QTimer::singleShot(0, this, [&] { press(window.get()); });
        QTimer::singleShot(5000, this, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(home.read("article.dat").contains("<title>Item 10 of 1</title>"));
    }
}

void TestKeyboard::nothingOverlapsAtTheSmallest()
{
    window->resize(1, 1);
    QTRY_COMPARE(window->size(), window->minimumSize());
    const QRect bar = window->plainButtonBar->geometry(), pane = window->pager->geometry(),
                banner = window->banner->geometry();
    QVERIFY(window->rect().contains(bar | pane | banner));
    QVERIFY(!bar.intersects(pane) && !pane.intersects(banner) && !bar.intersects(banner));
    // The bar is never narrower than its buttons need.
    for (QPushButton* button : window->plainButtonBar->findChildren<QPushButton*>())
        QCOMPARE(button->size().expandedTo(button->minimumSizeHint()), button->size());

    CSearchDialog search; // its row keeps off the frame
    search.show();
    QVERIFY(QTest::qWaitForWindowExposed(&search));
    QRect used;
    for (QWidget* child : search.findChildren<QWidget*>())
        used |= child->geometry();
    QVERIFY(search.rect().adjusted(4, 4, -4, -4).contains(used));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
