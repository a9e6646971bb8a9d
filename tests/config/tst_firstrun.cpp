// The program's first start in a fresh HOME, its wizard answered from
// outside with xdotool as a user would.
#include "config/core/settingsfile.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"
#include "tests/common/xdotool.h"

#include <QTest>

#include <sys/stat.h>

namespace {

const QString wizardWindow = QStringLiteral("^Orvelle Pager Setup$");

int modeOf(const QString& path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

bool makeProgram(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write("#!/bin/sh\nexit 0\n") > 0 &&
           f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Next on Welcome, the two fields typed with Next after each, then Finish.
bool answerWizard(const QString& browser, const QString& mailer)
{
    return xdotool::pressKey(wizardWindow) && xdotool::replaceText(wizardWindow, browser) &&
           xdotool::pressKey(wizardWindow) && xdotool::replaceText(wizardWindow, mailer) &&
           xdotool::pressKey(wizardWindow) && xdotool::pressKey(wizardWindow);
}

} // namespace

class TestFirstRun : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void finishedWithTypedAnswers();
    void cancelled_data();
    void cancelled();
    void fatalStartLeavesNoDirectory();

private:
    QString browser() const { return home->path() + QStringLiteral("/bin/browser"); }
    QString mailer() const { return home->path() + QStringLiteral("/bin/mailer"); }

    std::unique_ptr<TempHome> home;
};

void TestFirstRun::init()
{
    home = std::make_unique<TempHome>(false);
    QVERIFY(QDir().mkdir(home->path() + QStringLiteral("/bin")));
    QVERIFY(makeProgram(browser()));
    QVERIFY(makeProgram(mailer()));
}

void TestFirstRun::finishedWithTypedAnswers()
{
    HttpStandIn server(replies::notFound);
    QVERIFY(server.listen());
    PagerProcess pager;
    QVERIFY(pager.start(QStringLiteral(OVPAGER_BINARY), home->path(), server.address()));
    const QString mailerLine =
        mailer() + QStringLiteral(" -s \"Orvelle Pager: Vulnerable Profiles\"");
    QVERIFY(answerWizard(browser(), mailerLine));

    QVERIFY(pager.waitForLog("content request"));
    QCOMPARE(modeOf(home->dataDir()), 0700);
    PagerSettings expected;
    expected.browserPath = browser();
    expected.mailer = mailerLine;
    expected.skin = QStringLiteral("No Skin"); // none installed here
    QCOMPARE(home->read(QStringLiteral("ovpager.cfg")), formatSettings(expected));
    QVERIFY(pager.stop());
}

void TestFirstRun::cancelled_data()
{
    QTest::addColumn<QStringList>("keys"); // pressed in the wizard, in order
    QTest::newRow("Cancel on Welcome") << QStringList{"alt+c"};
    QTest::newRow("Escape on Mailer Path") << QStringList{"Return", "Return", "Escape"};
}

void TestFirstRun::cancelled()
{
    QFETCH(QStringList, keys);
    HttpStandIn server(replies::notFound);
    QVERIFY(server.listen());
    PagerProcess pager;
    QVERIFY(pager.start(QStringLiteral(OVPAGER_BINARY), home->path(), server.address()));
    if (keys.size() > 1)
        QVERIFY(xdotool::replaceText(wizardWindow, browser()));
    for (const QString& key : keys)
        QVERIFY(xdotool::pressKey(wizardWindow, key));
    QVERIFY(pager.process.waitForFinished(20000));
    QCOMPARE(pager.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pager.process.exitCode(), 0);
    QVERIFY(!QFileInfo::exists(home->dataDir()));
    QVERIFY(server.requestLines().isEmpty());
}

void TestFirstRun::fatalStartLeavesNoDirectory()
{
    // Any fatal start after the wizard: a port out of range needs no lookup.
    PagerProcess pager;
    QVERIFY(pager.start(QStringLiteral(OVPAGER_BINARY), home->path(),
                        QStringLiteral("127.0.0.1:99999")));
    QVERIFY(answerWizard(browser(), mailer()));
    QVERIFY(pager.process.waitForFinished(20000));
    QCOMPARE(pager.process.exitCode(), 1);
    QVERIFY(pager.process.readAllStandardError().contains("Bad port in OVPAGER_SERVER"));
    // The next start is a first run again.
    QVERIFY(!QFileInfo::exists(home->dataDir()));
}

QTEST_GUILESS_MAIN(TestFirstRun)
#include "tst_firstrun.moc"
