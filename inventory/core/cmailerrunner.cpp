#include "inventory/core/cmailerrunner.h"

#include "config/core/recipients.h"

#include <QProcess>

#include <csignal>
#include <cstdio>
#include <unistd.h>

QString mailerCommandLine(const QString& mailer, const QString& recipients, const QString& what,
                          QString* refusal)
{
    QString why;
    if (mailer.trimmed().isEmpty())
        why = QStringLiteral("No mailer command line is set; the ") + what +
              QStringLiteral(" mail was not sent");
    else if (recipients.trimmed().isEmpty())
        why = QStringLiteral("No recipients for the ") + what +
              QStringLiteral(" mail; nothing was sent");
    else if (!isValidRecipientList(recipients))
        why = QStringLiteral("Recipients for the ") + what +
              QStringLiteral(" mail refused (only addresses of letters, digits and \".@_+-\", "
                             "separated by commas or blanks): ") +
              recipients;
    if (refusal)
        *refusal = why;
    if (!why.isEmpty())
        return QString();
    return mailer + u' ' + shellQuotedRecipients(recipients);
}

CMailerRunner::CMailerRunner(QObject* parent) : QObject(parent)
{
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] {
        if (!m_process)
            return;
        // The shell may have children of its own holding the pipe: end them all.
        const qint64 pid = m_process->processId();
        if (pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
        m_process->kill();
        finish(false, QStringLiteral("Mailer did not end within ") +
                          QString::number(m_timeLimitMs / 1000.0) +
                          QStringLiteral(" s and was killed; command line: ") + m_command);
    });
}

CMailerRunner::~CMailerRunner()
{
    if (m_process) {
        m_process->disconnect(this);
        const qint64 pid = m_process->processId();
        if (pid > 0)
            ::kill(-pid_t(pid), SIGKILL);
        m_process->kill();
        m_process->waitForFinished(1000); // reap it; it has just been killed
    }
}

void CMailerRunner::send(const QString& mailer, const QString& recipients, const QByteArray& body,
                         const QString& what)
{
    QString refusal;
    const QString command = mailerCommandLine(mailer, recipients, what, &refusal);
    if (command.isEmpty()) {
        report(refusal);
        emit mailDone(false);
        if (isIdle())
            emit idle();
        return;
    }
    m_queue.enqueue({command, body});
    if (!m_process)
        startNext();
}

void CMailerRunner::startNext()
{
    if (m_queue.isEmpty()) {
        emit idle();
        return;
    }
    const Mail mail = m_queue.dequeue();
    m_command = mail.command;
    m_process = new QProcess(this);
    m_process->setProgram(m_shell);
    m_process->setArguments({QStringLiteral("-c"), mail.command});
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    // Its own process group, so the time limit can end everything it started.
    m_process->setChildProcessModifier([] { ::setpgid(0, 0); });
    QProcess* process = m_process;
    connect(process, &QProcess::started, this, [process, body = mail.body] {
        process->write(body);
        process->closeWriteChannel();
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (process != m_process || error != QProcess::FailedToStart)
            return;
        finish(false,
               QStringLiteral("Could not open pipe to mailer with command line: ") + m_command);
    });
    connect(
        process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus status) {
            if (process != m_process)
                return;
            if (status == QProcess::CrashExit)
                finish(false,
                       QStringLiteral("Mailer was killed by a signal; command line: ") + m_command);
            else if (code != 0)
                finish(false, QStringLiteral("Mailer ended with status ") + QString::number(code) +
                                  QStringLiteral("; command line: ") + m_command);
            else
                finish(true, QString());
        });
    m_limit.start(m_timeLimitMs);
    process->start();
}

void CMailerRunner::finish(bool sent, const QString& failure)
{
    m_limit.stop();
    QProcess* done = m_process;
    m_process = nullptr;
    done->disconnect(this);
    // A killed child is reaped by QProcess once it has gone; delete it then.
    if (done->state() == QProcess::NotRunning)
        done->deleteLater();
    else
        connect(done, &QProcess::finished, done, &QObject::deleteLater);
    if (!failure.isEmpty())
        report(failure);
    emit mailDone(sent);
    startNext();
}

void CMailerRunner::report(const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    emit reported(message);
}
