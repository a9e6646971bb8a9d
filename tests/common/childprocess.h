#pragma once

// The built programs as child processes: a temporary HOME holding the
// pager's data directory, the pager and the content server, each with its
// output gathered so that a test can wait for a line of it.

#include "tests/common/testfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cstdio>

namespace childprocess {

// The pager's environment: HOME (left out when null), the server address
// and an installed-files root that holds nothing.
inline QProcessEnvironment pagerEnvironment(const QString& home, const QString& server)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("HOME"));
    if (!home.isNull())
        env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("OVPAGER_SERVER"), server);
    env.insert(QStringLiteral("OVPAGER_LIBDIR"), home + QStringLiteral("/nolib"));
    return env;
}

// The same for a pager built inside the test process.
inline void setPagerEnvironment(const QString& home, const QString& server)
{
    qputenv("HOME", home.toLocal8Bit());
    qputenv("OVPAGER_SERVER", server.toLatin1());
    qputenv("OVPAGER_LIBDIR", (home + QStringLiteral("/nolib")).toLocal8Bit());
}

} // namespace childprocess

// A temporary HOME with the data directory made (mode 0700), so that the
// pager does not take the run for its first.
class TempHome
{
public:
    explicit TempHome(bool withDataDir = true)
    {
        if (withDataDir) {
            QDir().mkdir(dataDir());
            QFile::setPermissions(dataDir(),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    }
    QString path() const { return m_dir.path(); }
    QString dataDir() const { return m_dir.path() + QStringLiteral("/.ovpager"); }
    QString dataFile(const QString& name) const { return dataDir() + u'/' + name; }
    bool write(const QString& name, const QByteArray& bytes) const
    {
        return testfiles::writeAll(dataFile(name), bytes);
    }
    QByteArray read(const QString& name) const { return testfiles::readAll(dataFile(name)); }

private:
    QTemporaryDir m_dir;
};

// A child whose standard output is gathered into `log`.
class LoggedProcess
{
public:
    QProcess process;
    QByteArray log;

    // Output is gathered whenever events are served, so that a child that
    // writes much never stalls on a full pipe.
    LoggedProcess()
    {
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { gather(); });
    }

    void start(const QString& program, const QStringList& arguments)
    {
        log.clear();
        process.start(program, arguments);
    }

    // Waits, serving this process's own events, until `what` has appeared
    // `count` times; false (with the log on stderr) on time-out or exit.
    bool waitForLog(const QByteArray& what, int count = 1, int ms = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (gather().count(what) < count) {
            if (clock.elapsed() > ms || process.state() == QProcess::NotRunning) {
                std::fprintf(stderr, "waiting for %d x \"%s\"; log so far:\n%s\n", count,
                             what.constData(), log.right(3000).constData());
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            QThread::msleep(5);
        }
        return true;
    }

    const QByteArray& gather()
    {
        log += process.readAllStandardOutput();
        return log;
    }

    void signal(int number) { ::kill(pid_t(process.processId()), number); }

    // Ends the child with SIGTERM; true when it ended by itself with status
    // 0. One that does not go is killed by kill() or with the QProcess.
    bool stop(int ms = 15000)
    {
        if (process.state() == QProcess::NotRunning)
            return false;
        process.terminate();
        const bool ended = process.waitForFinished(ms);
        gather();
        return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    }

    void kill() // a no-op on a child already ended
    {
        process.kill();
        process.waitForFinished(5000);
    }
};

// The pager in a HOME, against a server address, with "-debug" so that it
// logs what it does.
class PagerProcess : public LoggedProcess
{
public:
    bool start(const QString& binary, const QString& home, const QString& server,
               const QStringList& arguments = {QStringLiteral("-debug")})
    {
        process.setProcessEnvironment(childprocess::pagerEnvironment(home, server));
        LoggedProcess::start(binary, arguments);
        return process.waitForStarted(10000);
    }
};

// The content server on a free loopback port, serving a data directory
// (its own when none is given).
class ServerProcess : public LoggedProcess
{
public:
    quint16 port = 0;
    QString address() const { return QStringLiteral("127.0.0.1:") + QString::number(port); }

    bool start(const QString& binary, const QString& dataDir, const QStringList& extra = {})
    {
        QStringList arguments{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")};
        if (!dataDir.isEmpty())
            arguments << QStringLiteral("--data") << dataDir;
        LoggedProcess::start(binary, arguments + extra);
        if (!waitForLog("listening on", 1, 10000))
            return false;
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"))
                .match(QString::fromLatin1(log));
        port = m.hasMatch() ? quint16(m.captured(1).toUInt()) : 0;
        return port != 0;
    }
};
