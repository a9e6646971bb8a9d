#include "config/core/processrestart.h"

#include <QCoreApplication>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits.h>
#include <sys/wait.h>
#include <unistd.h>

QByteArray runningProgramPath()
{
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n > 0) {
        QByteArray path(buffer, n);
        // Rebuilt or upgraded while running: the file under the old name is
        // the program to run now.
        const QByteArray deleted = " (deleted)";
        if (path.endsWith(deleted) && ::access(path.constData(), F_OK) != 0)
            path.chop(deleted.size());
        return path;
    }
    return QFile::encodeName(QCoreApplication::applicationFilePath());
}

bool startFreshRun(const QByteArray& program, const QByteArray& argv0, QString* error)
{
    auto fail = [error](const QString& why, int code) {
        if (error)
            *error = why + QString::fromLocal8Bit(std::strerror(code));
        return false;
    };
    // The child reports a failed exec through this pipe; a successful exec
    // closes it unwritten.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return fail(QStringLiteral("cannot make a pipe: "), errno);
    const QByteArray complaint = "Could not restart " + program + "\n";
    char* const args[] = {const_cast<char*>(argv0.constData()), nullptr};

    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0) {
        const int code = errno;
        ::close(report[0]);
        ::close(report[1]);
        return fail(QStringLiteral("cannot fork: "), code);
    }
    if (pid == 0) {
        // Only async-signal-safe calls from here on.
        ::close(report[0]);
        // Nothing of this run (sockets, the display connection) may keep
        // living in the new one.
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execv(program.constData(), args);
        const int code = errno;
        (void)!::write(STDERR_FILENO, complaint.constData(), size_t(complaint.size()));
        (void)!::write(report[1], &code, sizeof code);
        ::_exit(127);
    }
    ::close(report[1]);
    int childError = 0;
    ssize_t n;
    do
        n = ::read(report[0], &childError, sizeof childError);
    while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == 0)
        return true;
    ::waitpid(pid, nullptr, 0);
    return fail(QStringLiteral("cannot run ") + QFile::decodeName(program) + QStringLiteral(": "),
                n == sizeof childError ? childError : EIO);
}
