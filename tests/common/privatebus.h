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
#include <QSaveFile>
#include <QString>

#include <cstdio>
#include <unistd.h>
#include <vector>

namespace privatebus {

inline const char marker[] = "OVP_TEST_PRIVATE_BUS";

// A session bus without service directories, so nothing installed on the
// machine is started on a test's behalf.
inline QByteArray configFile()
{
    const QString path = QDir::tempPath() + QStringLiteral("/ovp-test-session-bus.conf");
    QSaveFile file(path); // whole, whichever test program starting at once writes it
    if (file.open(QIODevice::WriteOnly)) {
        file.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        file.commit();
    }
    return "--config-file=" + QFile::encodeName(path);
}

inline void enter(char** argv)
{
    if (qEnvironmentVariableIsSet(marker))
        return;
    qputenv(marker, "1");
    QByteArray config = configFile();
    // dbus-run-session --config-file=... -- program args... NULL
    std::vector<char*> args{const_cast<char*>("dbus-run-session"), config.data(),
                            const_cast<char*>("--")};
    for (char** arg = argv; *arg; ++arg)
        args.push_back(*arg);
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    // Still here: no dbus-run-session. The D-Bus tests skip, and nor is the
    // desktop's bus used: nothing answers at this address.
    std::perror("dbus-run-session is missing, the D-Bus tests are skipped");
    qputenv(marker, "none");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/ovp-test-bus");
}

inline bool available()
{
    return qgetenv(marker) == "1";
}

} // namespace privatebus

// A test program's main() that runs it on its private bus.
#define PRIVATEBUS_TEST_MAIN(TestClass, AppClass)                                                  \
    int main(int argc, char** argv)                                                                \
    {                                                                                              \
        privatebus::enter(argv);                                                                   \
        AppClass app(argc, argv);                                                                  \
        TestClass test;                                                                            \
        return QTest::qExec(&test, argc, argv);                                                    \
    }
