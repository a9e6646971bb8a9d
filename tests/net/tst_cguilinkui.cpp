// The link's desktop face over a real socket: the wait cursor while an
// exchange runs, and the error box.
#include "net/cguilinkui.h"
#include "net/core/cwwwrequest.h"
#include "net/core/cwwwserver.h"
#include "pager/core/globals.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"
#include "tests/common/testfiles.h"

#include <QApplication>
#include <QTest>

class TestGuiLinkUi : public QObject
{
    Q_OBJECT
private slots:
    // Every way an exchange ends restores the cursor through the same call,
    // which the link's own test counts; here the real cursor and box are shown once.
    void cursorAndBox()
    {
        // A data directory that does not exist: the category file cannot be written.
        TempDataDir dir;
        dataDirPath = dir.file(QStringLiteral("missing/"));
        HttpStandIn server(replies::ok("<pre>" + replies::categories + "</pre>\n"));
        QVERIFY(server.listen());
        BoxWatcher boxes;

        CGuiLinkUi ui;
        CWWWServer link(QStringLiteral("127.0.0.1"), server.port());
        link.setUi(&ui);
        bool reloaded = false;
        connect(&link, &CWWWServer::categoryUpdateDone, this, [&] { reloaded = true; });
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        link.enqueue(CategoryUpdate, QString());
        QVERIFY(QApplication::overrideCursor() &&
                QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        QTRY_COMPARE(
            boxes.boxes,
            QStringList("Error Updating Categories|Cannot open category file for writing"));
        QTRY_COMPARE(link.state(), CWWWServer::Idle);
        QVERIFY(!reloaded);
        QCOMPARE(QApplication::overrideCursor(), nullptr); // restored, and not stacked twice
    }
};

QTEST_MAIN(TestGuiLinkUi)
#include "tst_cguilinkui.moc"
