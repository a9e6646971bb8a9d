#pragma once

// Sends notices to the desktop's notification service on the session bus.
// Nothing here waits on the bus: each notice is answered later, and when
// no service takes it (no session bus, no service, an error or no answer
// in time) its fallback runs instead, so the user is never left untold.

#include "config/core/desktopnotice.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>

#include <functional>

class QDBusPendingCallWatcher;

class CDesktopNotifier : public QObject
{
    Q_OBJECT
public:
    explicit CDesktopNotifier(QObject* parent = nullptr);

    // `fallback` runs from the event loop if the notice is not taken, and
    // only while `context` lives. A notice of a non-empty `group` replaces
    // the one of that group shown before.
    void send(const DesktopNotice& notice, QObject* context, std::function<void()> fallback,
              const QString& group = QString());

    // How long the service has to answer, in milliseconds.
    static constexpr int answerTimeout = 5000;

signals:
    // The user clicked one of the notices sent from here.
    void clicked();

private slots:
    void slotActionInvoked(uint id, const QString& action);
    void slotClosed(uint id, uint reason);

private:
    struct Pending
    {
        DesktopNotice notice;
        QPointer<QObject> context;
        std::function<void()> fallback;
        QString group;
    };
    enum class Capabilities
    {
        Unknown,
        Asking,
        Known
    };

    bool connectToBus();
    void askCapabilities();
    void capabilitiesAnswered(QDBusPendingCallWatcher* watcher);
    void notify(const Pending& pending);
    static void runFallback(const Pending& pending);
    void remember(uint id);

    bool m_busTried = false;
    bool m_connected = false;
    Capabilities m_capabilities = Capabilities::Unknown;
    bool m_markup = false;
    QList<Pending> m_waiting;      // sent once the service's capabilities are known
    QList<uint> m_ours;            // ids of our notices still shown, newest last
    QHash<QString, uint> m_groups; // the last notice of each group
    // A group's next notice waits for the id of the one before it, or it
    // could not replace it; only the newest waiting one is worth showing.
    QHash<QString, Pending> m_held;
    QSet<QString> m_inFlight;
};
