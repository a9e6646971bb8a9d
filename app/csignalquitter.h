#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into an orderly quit of the event loop,
// so the application's aboutToQuit() runs and the state is saved. The signal
// handler only writes a byte to a pipe; the quit happens in the loop.
class CSignalQuitter : public QObject
{
    Q_OBJECT
public:
    explicit CSignalQuitter(QObject* parent = nullptr);
    ~CSignalQuitter() override;

    // SIGUSR1 asks for a poll now; used by benchmarks and tests to drive
    // many polls without waiting out the poll interval.
    void watchPollSignal();

signals:
    void pollRequested();

private:
    void onSignal();

    QSocketNotifier* notifier = nullptr;
};
