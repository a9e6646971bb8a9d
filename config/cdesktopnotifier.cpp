#include "config/cdesktopnotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QTimer>
#include <QVariantMap>

namespace {

const char service[] = "org.freedesktop.Notifications";
const char path[] = "/org/freedesktop/Notifications";
const char interface[] = "org.freedesktop.Notifications";

// Ids kept for telling our notices' clicks from others'; a service that
// never says a notice closed cannot make the list grow without end.
constexpr int maxRemembered = 64;

QDBusMessage call(const char* method)
{
    return QDBusMessage::createMethodCall(QLatin1String(service), QLatin1String(path),
                                          QLatin1String(interface), QLatin1String(method));
}

} // namespace

CDesktopNotifier::CDesktopNotifier(QObject* parent) : QObject(parent) {}

bool CDesktopNotifier::connectToBus()
{
    // Only once notices are asked for: with them off the bus is never touched.
    if (m_busTried)
        return m_connected;
    m_busTried = true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    m_connected = bus.isConnected();
    if (!m_connected)
        return false;
    bus.connect(QLatin1String(service), QLatin1String(path), QLatin1String(interface),
                QStringLiteral("ActionInvoked"), this, SLOT(slotActionInvoked(uint, QString)));
    bus.connect(QLatin1String(service), QLatin1String(path), QLatin1String(interface),
                QStringLiteral("NotificationClosed"), this, SLOT(slotClosed(uint, uint)));
    return true;
}

void CDesktopNotifier::send(const DesktopNotice& notice, QObject* context,
                            std::function<void()> fallback, const QString& group)
{
    const Pending pending{notice, context, std::move(fallback), group};
    if (!connectToBus()) {
        runFallback(pending);
        return;
    }
    if (m_capabilities == Capabilities::Known) {
        notify(pending);
        return;
    }
    m_waiting.append(pending);
    if (m_capabilities == Capabilities::Unknown)
        askCapabilities();
}

void CDesktopNotifier::askCapabilities()
{
    m_capabilities = Capabilities::Asking;
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(call("GetCapabilities"), answerTimeout), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            &CDesktopNotifier::capabilitiesAnswered);
}

void CDesktopNotifier::capabilitiesAnswered(QDBusPendingCallWatcher* watcher)
{
    watcher->deleteLater();
    const QDBusPendingReply<QStringList> reply = *watcher;
    const QList<Pending> waiting = std::exchange(m_waiting, {});
    if (reply.isError()) {
        // Asked again with the next notice: a service may start later.
        m_capabilities = Capabilities::Unknown;
        for (const Pending& p : waiting)
            runFallback(p);
        return;
    }
    m_capabilities = Capabilities::Known;
    m_markup = reply.value().contains(QStringLiteral("body-markup"));
    for (const Pending& p : waiting)
        notify(p);
}

void CDesktopNotifier::notify(const Pending& pending)
{
    if (!pending.group.isEmpty()) {
        if (m_inFlight.contains(pending.group)) {
            m_held.insert(pending.group, pending);
            return;
        }
        m_inFlight.insert(pending.group);
    }
    QDBusMessage message = call("Notify");
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    const uint replaces = pending.group.isEmpty() ? 0 : m_groups.value(pending.group);
    message << QStringLiteral("Orvelle Pager") << replaces << QString() << pending.notice.summary
            << noticeBodyForService(pending.notice.body, m_markup)
            << QStringList{QStringLiteral("default"), QStringLiteral("Show")} << hints << -1;
    auto* watcher = new QDBusPendingCallWatcher(
        QDBusConnection::sessionBus().asyncCall(message, answerTimeout), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, pending](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<uint> reply = *w;
                if (reply.isError()) {
                    runFallback(pending);
                } else {
                    remember(reply.value());
                    if (!pending.group.isEmpty())
                        m_groups.insert(pending.group, reply.value());
                }
                if (!pending.group.isEmpty()) {
                    m_inFlight.remove(pending.group);
                    if (m_held.contains(pending.group))
                        notify(m_held.take(pending.group));
                }
            });
}

void CDesktopNotifier::runFallback(const Pending& pending)
{
    if (!pending.context || !pending.fallback)
        return;
    // From the event loop, never from inside send(): the caller finishes first.
    QTimer::singleShot(0, pending.context, pending.fallback);
}

void CDesktopNotifier::remember(uint id)
{
    m_ours.removeAll(id);
    m_ours.append(id);
    while (m_ours.size() > maxRemembered)
        m_ours.removeFirst();
}

void CDesktopNotifier::slotActionInvoked(uint id, const QString& action)
{
    if (action == QLatin1String("default") && m_ours.contains(id))
        emit clicked();
}

void CDesktopNotifier::slotClosed(uint id, uint)
{
    m_ours.removeAll(id);
    for (auto it = m_groups.begin(); it != m_groups.end();)
        it = it.value() == id ? m_groups.erase(it) : std::next(it);
}
