#include "pager/core/atomicfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(const char* what)
{
    return QString::fromLatin1(what) + QStringLiteral(": ") +
           QString::fromLocal8Bit(std::strerror(errno));
}

bool writeAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// New files get what the process's umask allows; a replaced file keeps its mode.
mode_t modeFor(const QByteArray& target)
{
    struct stat st;
    if (::stat(target.constData(), &st) == 0 && S_ISREG(st.st_mode))
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool replace(const QString& path, const QByteArray& data, QString& why)
{
    const QByteArray target = QFile::encodeName(path);
    QByteArray temp = target + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        why = systemError("cannot create a temporary file");
        return false;
    }
    bool ok = writeAll(fd, data.constData(), data.size());
    if (!ok)
        why = systemError("write failed");
    if (ok && ::fchmod(fd, modeFor(target)) != 0) {
        why = systemError("cannot set permissions");
        ok = false;
    }
    // Only a file whose blocks are on disk may replace the old one.
    if (ok && ::fsync(fd) != 0) {
        why = systemError("fsync failed");
        ok = false;
    }
    if (::close(fd) != 0 && ok) {
        why = systemError("close failed");
        ok = false;
    }
    if (ok && ::rename(temp.constData(), target.constData()) != 0) {
        why = systemError("rename failed");
        ok = false;
    }
    if (!ok) {
        ::unlink(temp.constData());
        return false;
    }
    // The rename itself is durable once the directory is.
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int dirFd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

} // namespace

bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error)
{
    QString why;
    if (replace(path, data, why))
        return true;
    qWarning("Could not save %s: %s", qPrintable(path), qPrintable(why));
    if (error)
        *error = why;
    return false;
}
