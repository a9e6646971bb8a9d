#include "pager/navigate.h"

#include "config/core/runnablefile.h"
#include "pager/core/browserurl.h"
#include "pager/core/globals.h"
#include "pager/x11hints.h"

#include <QFile>
#include <QMessageBox>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

// Xlib last: its macros clash with the toolkit's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xmu/WinUtil.h>

namespace {

// Only async-signal-safe calls between fork and exec: the toolkit's threads
// and locks do not exist in the child.
void childMessage(const char* text)
{
    const ssize_t ignored = ::write(STDERR_FILENO, text, std::strlen(text));
    (void)ignored;
}

[[noreturn]] void runBrowser(char* const argv[], const char* failure)
{
    // A double fork: the middle process ends at once and is reaped below,
    // so the browser belongs to init and never lingers as our zombie.
    const pid_t browser = ::fork();
    if (browser < 0) {
        childMessage("Fork to launch browser failed\n");
        ::_exit(0);
    }
    if (browser > 0)
        ::_exit(0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::execv(argv[0], argv);
    childMessage(failure);
    ::_exit(0);
}

int ignoreXError(Display*, XErrorEvent*)
{
    return 0; // a window may vanish between the query and the read
}

} // namespace

void navigateTo(const QString& url, bool allowRemote)
{
    if (!isNavigableUrl(url)) {
        qWarning("Not opening \"%s\": only web addresses go to the browser", qPrintable(url));
        return;
    }
    if (browserPath.isEmpty()) {
        QMessageBox::warning(nullptr, QStringLiteral("No Browser Specified"),
                             QStringLiteral("You must configure the path to your web browser to "
                                            "navigate to content"),
                             QMessageBox::Ok);
        return;
    }
    if (!isRunnableFile(browserPath)) {
        QMessageBox::warning(nullptr, QStringLiteral("Bad Browser"),
                             QStringLiteral("The browser that you have configured is not a valid "
                                            "executable"),
                             QMessageBox::Ok);
        return;
    }
    debugLine(QStringLiteral("navigating to: ") + url);

    const bool remote =
        browserPath.contains(QLatin1String("netscape")) && allowRemote && netscapeRunning();
    // Everything the child needs is made before the fork.
    QByteArray program = QFile::encodeName(browserPath);
    QByteArray option = "-remote";
    QByteArray target =
        remote ? "openURL(" + remoteCommandUrl(url).toLocal8Bit() + ")" : url.toLocal8Bit();
    char* const remoteArgv[] = {program.data(), option.data(), target.data(), nullptr};
    char* const plainArgv[] = {program.data(), target.data(), nullptr};
    const char* failure =
        remote ? "Netscape was detected to be active on your desktop but was unable to navigate "
                 "to selected content.\n"
               : "Could not launch the browser that you specified in configuration.\n";

    const pid_t child = ::fork();
    if (child < 0) {
        qWarning("Fork to launch browser failed");
        return;
    }
    if (child == 0)
        runBrowser(remote ? remoteArgv : plainArgv, failure);
    // Only the middle process, which ends straight away; never anyone
    // else's child (the mailer's status belongs to its own pclose).
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

bool netscapeRunning()
{
    Display* display = x11Display();
    if (!display)
        return false;
    static Atom versionAtom = XInternAtom(display, "_MOZILLA_VERSION", False);
    XSync(display, False);

    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count))
        return false;
    auto* previous = XSetErrorHandler(ignoreXError);
    bool found = false;
    for (unsigned int i = count; i-- > 0 && !found;) {
        const Window client = XmuClientWindow(display, children[i]);
        Atom type = None;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        const int status = XGetWindowProperty(display, client, versionAtom, 0, 16384, False,
                                              XA_STRING, &type, &format, &items, &after, &data);
        if (data)
            XFree(data);
        found = status == Success && type != None;
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    if (children)
        XFree(children);
    return found;
}
