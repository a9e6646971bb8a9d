#pragma once

#include "server/faultplan.h"
#include "server/serverdata.h"

#include <QTcpServer>

class QTcpSocket;
struct HttpRequest;

// Answers the pager's requests, one reply per connection, HTTP/1.0 style:
// the connection is closed after the reply. Every socket is event driven,
// so a slow or silent client never holds up another.
class CContentServer : public QTcpServer
{
    Q_OBJECT
public:
    CContentServer(CServerData* data, CFaultPlan* faults, QObject* parent = nullptr);

    // How long a client may take to send its request head.
    void setRequestTimeout(int ms) { m_requestTimeoutMs = ms; }

private:
    void onConnection();
    void onReadable(QTcpSocket* socket);
    void answer(QTcpSocket* socket, const QByteArray& head);
    int route(const HttpRequest& request, QByteArray& type, QByteArray& body);
    void send(QTcpSocket* socket, const QByteArray& reply, CFaultPlan::Fault fault);
    void sendHuge(QTcpSocket* socket);
    void log(QTcpSocket* socket, const QString& line, int status, qsizetype bytes,
             CFaultPlan::Fault fault);

    CServerData* m_data;
    CFaultPlan* m_faults;
    int m_requestTimeoutMs = 10000;
};
