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

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>

class TestKeyboard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void keyPaths_data();
    void keyPaths();
    void nothingOverlapsAtTheSmallest();

private:
    QStringList polls() const { return server->linesStartingWith(poll); }

    const QString poll = QStringLiteral("GET /pagerv3/pager_info.html");
    std::unique_ptr<TempHome> home;
    std::unique_ptr<HttpStandIn> server;
    std::unique_ptr<StandInProgram> browser;
    std::unique_ptr<CMain> window;
};

void TestKeyboard::init()
{
    home = std::make_unique<TempHome>();
    browser = std::make_unique<StandInProgram>();
    server = std::make_unique<HttpStandIn>(replies::notFound);
    server->route(poll.toLatin1(),
                  replies::ok(replies::topnews(replies::headline(1, 10, "202612061010", 1))));
    QVERIFY(server->listen());
    QVERIFY(home->write(QStringLiteral("category.dat"), replies::categories));
    QVERIFY(home->write(QStringLiteral("ovpager.cfg"),
                        replies::settings(false).replace(
                            "<browserpath></browserpath>",
                            "<browserpath>" + browser->path().toLocal8Bit() + "</browserpath>")));
    qputenv("HOME", home->path().toLocal8Bit());
    qputenv("OVPAGER_SERVER", server->address().toLatin1());
    qputenv("OVPAGER_LIBDIR", (home->path() + QStringLiteral("/nolib")).toLocal8Bit());
    window = std::make_unique<CMain>();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTRY_COMPARE(polls().size(), 1);
}

void TestKeyboard::cleanup()
{
    window.reset();
    server.reset();
    home.reset();
}

void TestKeyboard::keyPaths_data()
{
    QTest::addColumn<QString>("where"); // "list", "categories" or "window"
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("outcome");
    QTest::newRow("Return opens the selected headline")
        << "list" << int(Qt::Key_Return) << 0 << "browser";
    QTest::newRow("Space ticks and unticks a category")
        << "categories" << int(Qt::Key_Space) << 0 << "tick";
    QTest::newRow("F5 polls") << "window" << int(Qt::Key_F5) << 0 << "poll";
    QTest::newRow("Alt+U is the Update button")
        << "window" << int(Qt::Key_U) << int(Qt::AltModifier) << "poll";
    QTest::newRow("Ctrl+Q quits and saves")
        << "window" << int(Qt::Key_Q) << int(Qt::ControlModifier) << "quit";
}

void TestKeyboard::keyPaths()
{
    QFETCH(QString, where);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, outcome);
    const auto press = [&](QWidget* target) {
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    };
    QTreeWidget* list = window->pager->headlines();

    if (outcome == "browser") {
        QTreeWidgetItem* category = list->findItems("Vulnerabilities", Qt::MatchExactly).value(0);
        QTRY_VERIFY(category && category->childCount() == 1);
        list->setCurrentItem(category->child(0));
        list->setFocus();
        QTRY_VERIFY(list->hasFocus());
        press(list);
        QTRY_COMPARE(browser->runs(), 1);
        QCOMPARE(browser->arguments(1), QStringList("http://news.example/a10"));
    } else if (outcome == "tick") {
        CCategoryTree* page = window->pager->categoryPage();
        auto* viruses =
            dynamic_cast<CCategoryItem*>(page->findItems("Viruses", Qt::MatchExactly).value(0));
        QVERIFY(viruses && !viruses->isOn());
        page->setCurrentItem(viruses);
        press(page);
        QVERIFY(viruses->isOn());
        press(page);
        QVERIFY(!viruses->isOn());
    } else if (outcome == "poll") {
        press(window.get());
        QTRY_COMPARE(polls().size(), 2);
    } else {
        QTRY_VERIFY(window->pager->headlines()->topLevelItem(1) &&
                    window->pager->headlines()->topLevelItem(1)->childCount() == 1);
        QFile::remove(home->dataFile(QStringLiteral("article.dat")));
        QTimer::singleShot(0, this, [&] { press(window.get()); });
        QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(7); });
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(home->read(QStringLiteral("article.dat")).contains("<title>Item 10 of 1</title>"));
    }
}

void TestKeyboard::nothingOverlapsAtTheSmallest()
{
    window->resize(1, 1);
    QTRY_COMPARE(window->size(), window->minimumSize());
    const QRect all = window->rect();
    const QRect bar = window->plainButtonBar->geometry();
    const QRect pane = window->pager->geometry();
    const QRect banner = window->banner->geometry();
    QVERIFY(all.contains(bar) && all.contains(pane) && all.contains(banner));
    QVERIFY(!bar.intersects(pane) && !pane.intersects(banner) && !bar.intersects(banner));
    QRect left;
    for (QPushButton* button : window->plainButtonBar->findChildren<QPushButton*>()) {
        QVERIFY(button->size().expandedTo(button->minimumSizeHint()) == button->size());
        QVERIFY(!button->geometry().intersects(left));
        left = button->geometry();
    }

    // The search dialog's row keeps off its frame.
    CSearchDialog search;
    search.show();
    QVERIFY(QTest::qWaitForWindowExposed(&search));
    QRect used;
    for (QWidget* child : search.findChildren<QWidget*>())
        used |= child->geometry();
    QVERIFY2(search.rect().adjusted(4, 4, -4, -4).contains(used),
             qPrintable(QString::number(used.x()) + u',' + QString::number(used.y())));
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
