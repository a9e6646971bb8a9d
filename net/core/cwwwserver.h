#pragma once

#include "net/core/clinkui.h"
#include "net/core/cwwwrequest.h"

#include <QList>
#include <QObject>
#include <QTimer>

class QTcpSocket;

// The only road to the content server: a queue of requests, one HTTP/1.0
// exchange at a time, each reply gathered until the server closes the
// connection and then handed to the handler of its kind.
class CWWWServer : public QObject
{
    Q_OBJECT
public:
    enum LinkState
    {
        Idle = 0
    };

    // `host` is a numeric address; the name was resolved once by the caller.
    explicit CWWWServer(const QString& host, quint16 port = 80);
    ~CWWWServer() override;

    void enqueue(int kind, const QString& argument);

    // Not owned; without one the link uses a silent cursor and warnings.
    void setUi(CLinkUi* ui);
    // Connect, inactivity and whole-exchange limits in milliseconds; a
    // stalled or trickling exchange is abandoned after them so the link
    // never stays busy for good.
    void setTimeouts(int connectMs, int idleMs, int exchangeMs = 120000);

    // Largest reply of a kind, in bytes; past it the exchange is abandoned.
    static qint64 replyCap(int kind);

    int state() const { return m_state; }
    qsizetype waitingCount() const { return m_queue.size(); }
    QString host() const { return m_host; }
    quint16 port() const { return m_port; }

signals:
    void categoryUpdateDone();
    void vulnCategoryUpdateDone();
    void newAbstract(QString& reply);
    void newContent(QString& reply);
    void newVulns();
    void newAd(QString& imagePath, QString& link);
    void newAdImage();
    // An exchange that brought no usable reply: no connection, a broken or
    // stalled one, or an error status for a content poll or an abstract.
    // `answered` tells whether any reply bytes came at all; `why` may hold
    // server text.
    void exchangeFailed(int kind, bool answered, const QString& why);

public slots:
    void slotDoConnected();
    void slotDoRead();
    void slotDoClose();

private slots:
    void slotSocketError();
    void slotTimeout();

private:
    bool sendNext();
    void reorderQueue();
    void finishExchange();
    void abandonExchange(const QString& why);
    void runReplyHandler();
    bool refusedByStatus();
    void readImageChunks();
    bool overCap(qint64 more);

    void handleCategoryUpdate();
    void handleVulnCategoryUpdate();
    void handleVulnPoll();
    void handleAdPage();
    void handleAdImage();

    QList<CWWWRequest> m_queue;
    QString m_host;
    quint16 m_port;
    QString categoryPath;
    QString vulnCategoryPath;
    QTcpSocket* socket;
    bool gifStarted = false;
    QByteArray m_image;    // the banner image as it arrives, at most replyCap(AdImage)
    QByteArray m_gifCarry; // tail of a discarded chunk, so a split "\r\nGIF" is still found
    QString reply;
    QString requestLine;
    int m_state = Idle;

    CLinkUi m_silentUi;
    CLinkUi* m_ui = &m_silentUi;
    QTimer m_watchdog;
    int m_connectMs = 15000;
    int m_idleMs = 30000;
    int m_exchangeMs = 120000;
    QTimer m_deadline;
    qint64 m_replyBytes = 0;
    bool m_abandoning = false;
    bool m_cursorSet = false;
};
