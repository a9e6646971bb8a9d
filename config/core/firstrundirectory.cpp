#include "config/core/firstrundirectory.h"

#include <QFile>

#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

char armedPath[PATH_MAX];
volatile sig_atomic_t armed = 0;

struct LinuxDirent64
{
    ino64_t d_ino;
    off64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[];
};

bool isDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

} // namespace

void armFirstRunCleanup(const QString& directory)
{
    const QByteArray path = QFile::encodeName(directory);
    if (path.isEmpty() || size_t(path.size()) >= sizeof armedPath)
        return;
    std::memcpy(armedPath, path.constData(), size_t(path.size()) + 1);
    armed = 1;
}

void disarmFirstRunCleanup()
{
    armed = 0;
}

void runFirstRunCleanup()
{
    if (!armed)
        return;
    armed = 0;
    // opendir() may allocate; the raw directory reads do not.
    const int dir = ::open(armedPath, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        alignas(LinuxDirent64) char buffer[4096];
        // Removing while reading may make a listing skip entries: read again
        // from the start until a pass finds nothing to remove.
        for (int pass = 0, removed = 1; removed && pass < 8; ++pass) {
            removed = 0;
            ::lseek(dir, 0, SEEK_SET);
            long n;
            while ((n = ::syscall(SYS_getdents64, dir, buffer, sizeof buffer)) > 0) {
                for (long at = 0; at < n;) {
                    const auto* entry = reinterpret_cast<const LinuxDirent64*>(buffer + at);
                    if (!isDotOrDotDot(entry->d_name) &&
                        (::unlinkat(dir, entry->d_name, 0) == 0 ||
                         ::unlinkat(dir, entry->d_name, AT_REMOVEDIR) == 0))
                        ++removed;
                    at += entry->d_reclen;
                }
            }
        }
        ::close(dir);
    }
    ::rmdir(armedPath);
}
