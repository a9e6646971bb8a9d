#pragma once

// Runs a test program on a private D-Bus session bus of its own: main()
// calls privatebus::enter() first, which replaces the process by itself
// under dbus-run-session. Inside, privatebus::available() is true; where
// dbus-run-session is not installed the program goes on without a bus and
// its tests skip. The desktop's own session bus is never reached.

#include <QByteArray>
#include <QFileInfo>
#include <QStandardPaths>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace privatebus {

inline const char marker[] = "OVP_TEST_PRIVATE_BUS";

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
    // dbus-run-session -- program args... NULL
    char** args = new char*[argc + 3];
    const QByteArray runnerPath = runner.toLocal8Bit();
    args[0] = const_cast<char*>(runnerPath.constData());
    args[1] = const_cast<char*>("--");
    for (int i = 0; i < argc; ++i)
        args[i + 2] = argv[i];
    args[argc + 2] = nullptr;
    ::execv(args[0], args);
    std::perror("dbus-run-session");
    std::exit(1);
}

inline bool available()
{
    return qgetenv(marker) == "1";
}

} // namespace privatebus
