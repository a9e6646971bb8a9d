// The first-run wizard's pages and checks, offscreen.
#include "config/cwizard.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/testfiles.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

class TestWizard : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char* name : {"browser", "mail"}) {
            QVERIFY(testfiles::writeAll(path(name), {}));
            QVERIFY(QFile::setPermissions(path(name), QFile::ReadOwner | QFile::ExeOwner));
        }
    }

    void init()
    {
        watcher = std::make_unique<BoxWatcher>();
        wizard = std::make_unique<CWizard>();
        watcher->ignore(wizard.get());
        wizard->browserEdit->setText(path("browser"));
        wizard->mailerEdit->setText(path("mail"));
        wizard->show();
    }

    void browserPage()
    {
        wizard->next();
        // A proposed browser can be taken as it is.
        QVERIFY(wizard->button(QWizard::NextButton)->isEnabled());
    }

    void forwardChecks_data()
    {
        QTest::addColumn<QString>("browser");
        QTest::addColumn<QString>("mailer");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("endPage");

        const QString mail =
            path("mail") + QStringLiteral(" -s \"Orvelle Pager: Vulnerable Profiles\"");
        QTest::newRow("browser is a directory")
            << dir.path() << mail << dir.path() + notRunnable << "Browser Path";
        QTest::newRow("mailer begins with a blank")
            << path("browser") << u' ' + mail << notRunnable << "Mailer Path";
        const QString cut = path("mail") + QStringLiteral(" -s </mailer>");
        QTest::newRow("mailer that cannot be stored")
            << path("browser") << cut
            << cut +
                   " cannot be kept in the settings: it must not contain \"</\" or a settings tag "
                   "such as \"<mailer>\""
            << "Mailer Path";
    }

    void forwardChecks()
    {
        QFETCH(QString, browser);
        QFETCH(QString, mailer);
        QFETCH(QString, box);
        QFETCH(QString, endPage);

        wizard->browserEdit->setText(browser);
        wizard->mailerEdit->setText(mailer);
        nextAll();
        QCOMPARE(wizard->currentPage()->title(), endPage);
        QCOMPARE(watcher->boxes, QStringList{"Orvelle Pager Wizard|" + box});
    }

    void backFromFinishedChecksBrowser()
    {
        nextAll();
        // The browser stops being runnable while the user looks at the last page.
        QVERIFY(QFile::setPermissions(path("browser"), QFile::ReadOwner));
        wizard->back();
        wizard->back(); // the first refusal leaves the check in place
        QCOMPARE(wizard->currentPage(), wizard->finishedPage);
        QCOMPARE(watcher->boxes,
                 QStringList(2, "Orvelle Pager Wizard|" + path("browser") + notRunnable));
    }

private:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    // Next until the wizard stays where it is or reaches the end.
    void nextAll()
    {
        for (int before = -1; wizard->currentId() != before;) {
            before = wizard->currentId();
            wizard->next();
        }
    }
    QTemporaryDir dir;
    std::unique_ptr<CWizard> wizard;
    std::unique_ptr<BoxWatcher> watcher;
    const QString notRunnable = QStringLiteral(" is not a path to a valid executable file");
};

QTEST_MAIN(TestWizard)
#include "tst_cwizard.moc"
