#pragma once

// Runs the alert mails: each one the user's mailer command line through the
// shell, the body on its standard input, one mail at a time in the order
// they were queued. Nothing here ever waits: the event loop watches each
// child, and one that has not ended by the time limit is killed with its
// whole process group. Every failure is written to standard error (and
// given to reported()) naming the command line; a failed mail is never
// taken for a sent one.

#include <QByteArray>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QTimer>

class QProcess;

// The command line for one mail: `mailer`, a blank, then each recipient
// as a single-quoted word, so no recipient text is ever read as shell code.
// Empty, with `refusal` saying why, for a blank mailer and for a recipient
// text that is empty or not a list of addresses.
QString mailerCommandLine(const QString& mailer, const QString& recipients, const QString& what,
                          QString* refusal);

class CMailerRunner : public QObject
{
    Q_OBJECT
public:
    explicit CMailerRunner(QObject* parent = nullptr);
    ~CMailerRunner() override;

    // Queues one mail; `what` ("brief", "verbose") names it in messages.
    // A mail refused by mailerCommandLine() is reported at once and dropped.
    void send(const QString& mailer, const QString& recipients, const QByteArray& body,
              const QString& what);

    bool isIdle() const { return !m_process && m_queue.isEmpty(); }
    int timeLimit() const { return m_timeLimitMs; }
    void setTimeLimit(int ms) { m_timeLimitMs = ms; }
    // The shell that reads the command line, "/bin/sh" unless changed.
    void setShell(const QString& path) { m_shell = path; }

signals:
    void reported(const QString& message);
    // One mail is done with: `sent` only when the mailer ended with status 0.
    void mailDone(bool sent);
    void idle();

private:
    struct Mail
    {
        QString command;
        QByteArray body;
    };

    void startNext();
    void finish(bool sent, const QString& failure);
    void report(const QString& message);

    QQueue<Mail> m_queue;
    QProcess* m_process = nullptr;
    QString m_command; // of the running mail
    QTimer m_limit;
    int m_timeLimitMs = 60000;
    QString m_shell = QStringLiteral("/bin/sh");
};
