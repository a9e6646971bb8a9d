// The link's desktop face over a real socket: the wait cursor while an
// exchange runs and after every way it can end, and the error box.
#include "net/cguilinkui.h"
#include "net/core/cwwwrequest.h"
#include "net/core/cwwwserver.h"
#include "pager/core/globals.h"
#include "tests/common/boxwatcher.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"
#include "tests/common/testfiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

class TestGuiLinkUi : public QObject
{
    Q_OBJECT
private slots:
    void cursorFollowsExchange();
    void writeFailureShowsBox();
};

namespace {

bool waitCursorShown()
{
    const QCursor* c = QApplication::overrideCursor();
    return c && c->shape() == Qt::WaitCursor;
}

} // namespace

// Every way an exchange ends restores the cursor through the same call,
// which the link's own test counts; here the real cursor is shown once.
void TestGuiLinkUi::cursorFollowsExchange()
{
    TempDataDir dir;
    HttpStandIn server;
    server.answers << Answer{{}, -1, false}; // the test answers by hand
    QVERIFY(server.listen());

    CGuiLinkUi ui;
    CWWWServer link(QStringLiteral("127.0.0.1"), server.port());
    link.setUi(&ui);
    link.setTimeouts(2000, 400);
    int contents = 0;
    connect(&link, &CWWWServer::newContent, this, [&](QString&) { ++contents; });

    QVERIFY(!waitCursorShown());
    link.enqueue(ContentPoll, QStringLiteral("x"));
    QVERIFY(waitCursorShown());
    QTRY_VERIFY(server.peer && server.requests.value(0).endsWith("\r\n\r\n"));
    QVERIFY(waitCursorShown()); // still busy while the server thinks
    server.peer->write("HTTP/1.0 200 OK\r\n\r\n<topnews></topnews>\n");
    server.peer->disconnectFromHost();
    QTRY_COMPARE(contents, 1);
    QTRY_VERIFY(!waitCursorShown());
    QCOMPARE(link.state(), CWWWServer::Idle);
    QCOMPARE(QApplication::overrideCursor(), nullptr); // not stacked twice
}

void TestGuiLinkUi::writeFailureShowsBox()
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
    link.enqueue(CategoryUpdate, QString());
    QTRY_COMPARE(boxes.boxes,
                 QStringList("Error Updating Categories|Cannot open category file for writing"));
    QTRY_COMPARE(link.state(), CWWWServer::Idle);
    QVERIFY(!reloaded);
    QVERIFY(!waitCursorShown());
}

QTEST_MAIN(TestGuiLinkUi)
#include "tst_cguilinkui.moc"
