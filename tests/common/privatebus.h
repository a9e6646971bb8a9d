#pragma once

// Runs a test program on a private D-Bus session bus of its own: main()
// calls privatebus::enter() first, which replaces the process by itself
// under dbus-run-session. Inside, privatebus::available() is true; where
// dbus-run-session is not installed the program goes on without a bus and
// its tests skip. The desktop's own session bus is never reached, and the
// private bus starts no services of its own: only what a test registers is
// there.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace privatebus {

inline const char marker[] = "OVP_TEST_PRIVATE_BUS";

// A session bus without service directories, so nothing installed on the
// machine is started on a test's behalf.
inline QByteArray configFile()
{
    const QString path = QDir::tempPath() + QStringLiteral("/ovp-test-session-bus.conf");
    const QString part = path + u'.' + QString::number(::getpid());
    QFile file(part);
    if (file.open(QIODevice::WriteOnly)) {
        file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                   "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                   "<auth>EXTERNAL</auth><policy context=\"default\">"
                   "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                   "<allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        ::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData());
    }
    return "--config-file=" + QFile::encodeName(path);
}

inline void enter(char** argv)
{
    if (qEnvironmentVariableIsSet(marker))
        return;
    const QString runner = QStandardPaths::findExecutable(QStringLiteral("dbus-run-session"));
    if (runner.isEmpty()) {
        std::fprintf(stderr, "dbus-run-session is missing: the D-Bus tests are skipped\n");
        qputenv(marker, "none");
        // Nor the desktop's bus: nothing answers at this address.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/ovp-test-bus");
        return;
    }
    qputenv(marker, "1");
    int argc = 0;
    while (argv[argc])
        ++argc;
    // dbus-run-session --config-file=... -- program args... NULL
    char** args = new char*[argc + 4];
    const QByteArray runnerPath = runner.toLocal8Bit();
    const QByteArray config = configFile();
    args[0] = const_cast<char*>(runnerPath.constData());
    args[1] = const_cast<char*>(config.constData());
    args[2] = const_cast<char*>("--");
    for (int i = 0; i < argc; ++i)
        args[i + 3] = argv[i];
    args[argc + 3] = nullptr;
    ::execv(args[0], args);
    std::perror("dbus-run-session");
    std::exit(1);
}

inline bool available()
{
    return qgetenv(marker) == "1";
}

} // namespace privatebus
