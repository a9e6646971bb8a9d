// The program's first start in a fresh HOME, its wizard answered from
// outside with xdotool as a user would; and taking away the data
// directory that a failed first start made.
#include "config/core/firstrundirectory.h"
#include "config/core/settingsfile.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"
#include "tests/common/standinprogram.h"
#include "tests/common/xdotool.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

class TestFirstRun : public QObject
{
    Q_OBJECT
private slots:
    void firstRun_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("server"); // empty: the stand-in's
        QTest::addColumn<int>("exitCode");   // -1: runs on
        QTest::newRow("finished with typed answers") << false << QString() << -1;
        QTest::newRow("wizard cancelled: no directory left") << true << QString() << 0;
        // Any fatal start after the wizard: a port out of range needs no lookup.
        QTest::newRow("fatal start after the wizard: no directory left")
            << false << "127.0.0.1:99999" << 1;
    }

    void firstRun()
    {
        QFETCH(bool, cancel);
        QFETCH(QString, server);
        QFETCH(int, exitCode);
        TempHome home(false);
        HttpStandIn standIn(replies::notFound);
        QVERIFY(standIn.listen());
        PagerProcess pager;
        QVERIFY(pager.start(QStringLiteral(OVPAGER_BINARY), home.path(),
                            server.isEmpty() ? standIn.address() : server));
        const QString wizard = QStringLiteral("^Orvelle Pager Setup$");
        const QString mailerLine =
            mailer.path() + QStringLiteral(" -s \"Orvelle Pager: Vulnerable Profiles\"");
        if (cancel)
            QVERIFY(xdotool::pressKey(wizard, QStringLiteral("alt+c")));
        else // Next on Welcome, the two fields typed with Next after each, then Finish.
            QVERIFY(xdotool::pressKey(wizard) && xdotool::replaceText(wizard, browser.path()) &&
                    xdotool::pressKey(wizard) && xdotool::replaceText(wizard, mailerLine) &&
                    xdotool::pressKey(wizard) && xdotool::pressKey(wizard));

        if (exitCode < 0) {
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
            return;
        }
        QVERIFY(pager.process.waitForFinished(20000));
        QCOMPARE(pager.process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(pager.process.exitCode(), exitCode);
        QCOMPARE(pager.process.readAllStandardError().contains("Bad port in OVPAGER_SERVER"),
                 !cancel);
        // The next start is a first run again.
        QVERIFY(!QFileInfo::exists(home.dataDir()));
        QVERIFY(standIn.requestLines().isEmpty());
    }

    void cleanupRemovesOnlyWhileArmed()
    {
        QTemporaryDir home;
        const QString data = home.filePath(QStringLiteral(".ovpager/"));
        QVERIFY(QDir().mkpath(data + QStringLiteral("sub")));
        // More entries than one directory read returns.
        for (int i = 0; i < 300; ++i)
            QVERIFY(QFile(data + QString::number(i)).open(QIODevice::WriteOnly));
        QVERIFY(QFile(home.filePath(QStringLiteral("beside"))).open(QIODevice::WriteOnly));

        // Disarmed once the settings were written.
        armFirstRunCleanup(data);
        disarmFirstRunCleanup();
        runFirstRunCleanup();
        QVERIFY(QFileInfo::exists(data + u'0'));

        armFirstRunCleanup(data);
        runFirstRunCleanup();
        QVERIFY(!QFileInfo::exists(data));
        QVERIFY(QFileInfo::exists(home.filePath(QStringLiteral("beside"))));
    }

private:
    StandInProgram browser;
    StandInProgram mailer;
};

QTEST_GUILESS_MAIN(TestFirstRun)
#include "tst_firstrun.moc"
