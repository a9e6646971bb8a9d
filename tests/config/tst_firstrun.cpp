// The program's first start in a fresh HOME, its wizard answered from
// outside with xdotool as a user would.
#include "config/core/settingsfile.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"
#include "tests/common/standinprogram.h"
#include "tests/common/xdotool.h"

#include <QTest>

#include <sys/stat.h>

namespace {

const QString wizardWindow = QStringLiteral("^Orvelle Pager Setup$");

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
    void finishedWithTypedAnswers();
    void noDirectoryLeft_data();
    void noDirectoryLeft();

private:
    StandInProgram browser;
    StandInProgram mailer;
};

void TestFirstRun::finishedWithTypedAnswers()
{
    TempHome home(false);
    HttpStandIn server(replies::notFound);
    QVERIFY(server.listen());
    PagerProcess pager;
    QVERIFY(pager.start(QStringLiteral(OVPAGER_BINARY), home.path(), server.address()));
    const QString mailerLine =
        mailer.path() + QStringLiteral(" -s \"Orvelle Pager: Vulnerable Profiles\"");
    QVERIFY(answerWizard(browser.path(), mailerLine));

    QVERIFY(pager.waitForLog("content request"));
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(home.dataDir()).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, 0700u);
    PagerSettings expected;
    expected.browserPath = browser.path();
    expected.mailer = mailerLine;
    expected.skin = QStringLiteral("No Skin"); // none installed here
    QCOMPARE(home.read(QStringLiteral("ovpager.cfg")), formatSettings(expected));
    QVERIFY(pager.stop());
}

void TestFirstRun::noDirectoryLeft_data()
{
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("wizard cancelled") << true << 0;
    // Any fatal start after the wizard: a port out of range needs no lookup.
    QTest::newRow("fatal start after the wizard") << false << 1;
}

void TestFirstRun::noDirectoryLeft()
{
    QFETCH(bool, cancel);
    QFETCH(int, exitCode);
    TempHome home(false);
    HttpStandIn server(replies::notFound);
    QVERIFY(server.listen());
    PagerProcess pager;
    QVERIFY(pager.start(QStringLiteral(OVPAGER_BINARY), home.path(),
                        cancel ? server.address() : QStringLiteral("127.0.0.1:99999")));
    if (cancel)
        QVERIFY(xdotool::pressKey(wizardWindow, QStringLiteral("alt+c")));
    else
        QVERIFY(answerWizard(browser.path(), mailer.path()));
    QVERIFY(pager.process.waitForFinished(20000));
    QCOMPARE(pager.process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pager.process.exitCode(), exitCode);
    QCOMPARE(pager.process.readAllStandardError().contains("Bad port in OVPAGER_SERVER"), !cancel);
    // The next start is a first run again.
    QVERIFY(!QFileInfo::exists(home.dataDir()));
    QVERIFY(server.requestLines().isEmpty());
}

QTEST_GUILESS_MAIN(TestFirstRun)
#include "tst_firstrun.moc"
