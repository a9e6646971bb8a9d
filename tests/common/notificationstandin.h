#pragma once

// A stand-in for the desktop's notification service: owns
// org.freedesktop.Notifications on the session bus through a connection of
// its own, records every Notify call and answers it with a fresh id, and
// sends ActionInvoked on request. Its messages come to it in the thread it
// lives in, the test's own, so nothing is shared across threads.

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QStringList>

struct RecordedNotice
{
    QString appName;
    uint replacesId = 0;
    QString summary;
    QString body;
    QStringList actions;
    uint id = 0;
};

class NotificationStandIn : public QDBusVirtualObject
{
public:
    static constexpr const char* serviceName = "org.freedesktop.Notifications";
    static constexpr const char* objectPath = "/org/freedesktop/Notifications";

    explicit NotificationStandIn(QStringList capabilities = {QStringLiteral("body"),
                                                             QStringLiteral("actions")})
        : m_capabilities(std::move(capabilities)),
          m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                              QStringLiteral("notification-standin")))
    {
    }
    ~NotificationStandIn() override
    {
        m_bus.unregisterObject(QLatin1String(objectPath));
        m_bus.unregisterService(QLatin1String(serviceName));
        QDBusConnection::disconnectFromBus(QStringLiteral("notification-standin"));
    }

    bool start()
    {
        return m_bus.isConnected() &&
               m_bus.registerVirtualObject(QLatin1String(objectPath), this,
                                           QDBusConnection::SingleNode) &&
               m_bus.registerService(QLatin1String(serviceName));
    }
    QList<RecordedNotice> notices() const { return m_notices; }
    void invokeAction(uint id, const QString& action)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            QLatin1String(objectPath), QLatin1String(serviceName), QStringLiteral("ActionInvoked"));
        signal << id << action;
        m_bus.send(signal);
    }

    QString introspect(const QString&) const override { return QString(); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() == QLatin1String("GetCapabilities")) {
            connection.send(message.createReply(QVariant(m_capabilities)));
            return true;
        }
        if (message.member() != QLatin1String("Notify") || message.arguments().size() != 8)
            return false;
        const QList<QVariant> a = message.arguments();
        RecordedNotice n{a.at(0).toString(), a.at(1).toUInt(),       a.at(3).toString(),
                         a.at(4).toString(), a.at(5).toStringList(), uint(m_notices.size() + 1)};
        m_notices << n;
        connection.send(message.createReply(QVariant::fromValue(n.id)));
        return true;
    }

private:
    QStringList m_capabilities;
    QDBusConnection m_bus;
    QList<RecordedNotice> m_notices;
};
