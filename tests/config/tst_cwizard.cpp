// The first-run wizard's pages and checks, offscreen.
#include "config/cwizard.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/testfiles.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString notRunnable = QStringLiteral(" is not a path to a valid executable file");

// Next until the wizard stays where it is or reaches the end.
void nextAll(CWizard& wizard)
{
    for (int i = 0; i < 3; ++i) {
        const int before = wizard.currentId();
        wizard.next();
        if (wizard.currentId() == before)
            return;
    }
}

} // namespace

class TestWizard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void nextFollowsField();
    void browseCancelledKeepsField();
    void forwardChecks_data();
    void forwardChecks();
    void backFromFinishedChecksBrowser();

private:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

void TestWizard::initTestCase()
{
    for (const char* name : {"browser", "mail", "odd</browser"}) {
        QVERIFY(QDir().mkpath(QFileInfo(path(name)).path()));
        QVERIFY(testfiles::writeAll(path(name), {}));
        QVERIFY(QFile::setPermissions(path(name),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
}

void TestWizard::nextFollowsField()
{
    CWizard wizard;
    wizard.browserEdit->setText(path("browser"));
    wizard.show();
    wizard.next();
    QAbstractButton* next = wizard.button(QWizard::NextButton);
    QVERIFY(next->isEnabled());
    wizard.browserEdit->clear();
    QVERIFY(!next->isEnabled());
    QTest::keyClicks(wizard.browserEdit, QStringLiteral("/x"));
    QVERIFY(next->isEnabled());
    // Shown again after going back, the page still goes by its field.
    wizard.browserEdit->clear();
    wizard.back();
    wizard.next();
    QVERIFY(!wizard.button(QWizard::NextButton)->isEnabled());
}

void TestWizard::browseCancelledKeepsField()
{
    CWizard wizard;
    wizard.show();
    wizard.next();
    wizard.browserEdit->setText(QStringLiteral("/typed/by/hand"));
    int opened = 0;
    BoxWatcher watcher([&](QWidget* w) {
        if (auto* files = qobject_cast<QFileDialog*>(w)) {
            ++opened;
            files->reject();
        }
    });
    watcher.ignore(&wizard);
    wizard.doBrowse();
    QCOMPARE(opened, 1);
    QCOMPARE(wizard.browserEdit->text(), QStringLiteral("/typed/by/hand"));
}

void TestWizard::forwardChecks_data()
{
    QTest::addColumn<QString>("browser");
    QTest::addColumn<QString>("mailer");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("endPage");

    const QString mail =
        path("mail") + QStringLiteral(" -s \"Orvelle Pager: Vulnerable Profiles\"");
    const QString unstorable =
        QStringLiteral(" cannot be kept in the settings: it must not contain \"</\" or a settings "
                       "tag such as \"<mailer>\"");
    QTest::newRow("both fine") << path("browser") << mail << QString() << "Finished";
    QTest::newRow("browser is a directory")
        << dir.path() << mail << dir.path() + notRunnable << "Browser Path";
    QTest::newRow("browser that cannot be stored")
        << path("odd</browser") << mail << path("odd</browser") + unstorable << "Browser Path";
    QTest::newRow("mailer begins with a blank")
        << path("browser") << u' ' + mail << notRunnable << "Mailer Path";
    const QString cut = path("mail") + QStringLiteral(" -s </mailer>");
    QTest::newRow("mailer that cannot be stored")
        << path("browser") << cut << cut + unstorable << "Mailer Path";
}

void TestWizard::forwardChecks()
{
    QFETCH(QString, browser);
    QFETCH(QString, mailer);
    QFETCH(QString, box);
    QFETCH(QString, endPage);

    CWizard wizard;
    wizard.browserEdit->setText(browser);
    wizard.mailerEdit->setText(mailer);
    wizard.show();
    BoxWatcher watcher;
    watcher.ignore(&wizard);
    nextAll(wizard);
    QCOMPARE(wizard.currentPage()->title(), endPage);
    QCOMPARE(watcher.boxes, box.isEmpty()
                                ? QStringList()
                                : QStringList{QStringLiteral("Orvelle Pager Wizard|") + box});
}

void TestWizard::backFromFinishedChecksBrowser()
{
    QFile browser(path("browser"));
    CWizard wizard;
    wizard.browserEdit->setText(browser.fileName());
    wizard.mailerEdit->setText(path("mail"));
    wizard.show();
    BoxWatcher watcher;
    watcher.ignore(&wizard);
    nextAll(wizard);
    QCOMPARE(wizard.currentPage(), wizard.finishedPage);
    // The browser stops being runnable while the user looks at the last page.
    const QFile::Permissions before = browser.permissions();
    QVERIFY(browser.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
    wizard.back();
    QCOMPARE(wizard.currentPage(), wizard.finishedPage);
    QCOMPARE(watcher.boxes, QStringList{QStringLiteral("Orvelle Pager Wizard|") +
                                        browser.fileName() + notRunnable});
    QVERIFY(browser.setPermissions(before));
    wizard.back();
    QCOMPARE(wizard.currentPage(), wizard.mailerPage);
    QCOMPARE(watcher.boxes.size(), 1);
}

QTEST_MAIN(TestWizard)
#include "tst_cwizard.moc"
