// The link's desktop face over a real socket: the wait cursor while an
// exchange runs and after every way it can end, and the error box.
#include "net/cguilinkui.h"
#include "net/core/cwwwrequest.h"
#include "net/core/cwwwserver.h"
#include "pager/core/globals.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestGuiLinkUi : public QObject
{
    Q_OBJECT
private slots:
    void cursorFollowsExchange_data();
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

void TestGuiLinkUi::cursorFollowsExchange_data()
{
    QTest::addColumn<QString>("how"); // how the exchange ends
    QTest::newRow("reply then close") << "reply";
    QTest::newRow("server silent until idle time-out") << "silent";
    QTest::newRow("connection refused") << "refused";
}

void TestGuiLinkUi::cursorFollowsExchange()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    dataDirPath = dir.path() + u'/';

    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const quint16 port = server.serverPort();
    if (how == "refused")
        server.close();
    QPointer<QTcpSocket> peer;
    connect(&server, &QTcpServer::newConnection, this,
            [&] { peer = server.nextPendingConnection(); });

    CGuiLinkUi ui;
    CWWWServer link(QStringLiteral("127.0.0.1"), port);
    link.setUi(&ui);
    link.setTimeouts(2000, 400);
    int contents = 0;
    connect(&link, &CWWWServer::newContent, this, [&](QString&) { ++contents; });

    QVERIFY(!waitCursorShown());
    link.enqueue(ContentPoll, QStringLiteral("x"));
    QVERIFY(waitCursorShown());
    if (how == "reply") {
        QTRY_VERIFY(peer && peer->bytesAvailable() > 0);
        QVERIFY(waitCursorShown()); // still busy while the server thinks
        peer->write("HTTP/1.0 200 OK\r\n\r\n<topnews></topnews>\n");
        peer->disconnectFromHost();
        QTRY_COMPARE(contents, 1);
    }
    QTRY_VERIFY(!waitCursorShown());
    QVERIFY(!link.state() != CWWWServer::Idle);
    QCOMPARE(QApplication::overrideCursor(), nullptr); // not stacked twice
}

void TestGuiLinkUi::writeFailureShowsBox()
{
    // A data directory that does not exist: the category file cannot be written.
    QTemporaryDir dir;
    dataDirPath = dir.path() + QStringLiteral("/missing/");

    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    connect(&server, &QTcpServer::newConnection, this, [&] {
        QTcpSocket* s = server.nextPendingConnection();
        connect(s, &QTcpSocket::readyRead, s, [s] {
            s->write("HTTP/1.0 200 OK\r\n\r\n<pre>VERSION=4\nNUMENTRIES=2\n"
                     "20001,0,20001,\"announcements\",1\n"
                     "1,0,1,\"News\",1\n</pre>\n");
            s->disconnectFromHost();
        });
    });

    QString caption, text;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* box = qobject_cast<QMessageBox*>(w); box && box->isVisible()) {
                caption = box->windowTitle();
                text = box->text();
                box->accept();
            }
    });
    poll.start(20);

    CGuiLinkUi ui;
    CWWWServer link(QStringLiteral("127.0.0.1"), server.serverPort());
    link.setUi(&ui);
    bool reloaded = false;
    connect(&link, &CWWWServer::categoryUpdateDone, this, [&] { reloaded = true; });
    link.enqueue(CategoryUpdate, QString());
    QTRY_VERIFY(!caption.isEmpty());
    QCOMPARE(caption, QStringLiteral("Error Updating Categories"));
    QCOMPARE(text, QStringLiteral("Cannot open category file for writing"));
    QTRY_VERIFY(!link.state() != CWWWServer::Idle);
    QVERIFY(!reloaded);
    QVERIFY(!waitCursorShown());
}

QTEST_MAIN(TestGuiLinkUi)
#include "tst_guilinkui.moc"
