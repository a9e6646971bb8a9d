#include "app/csignalquitter.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeFds[2] = {-1, -1};

extern "C" void forwardSignal(int signum)
{
    const char byte = char(signum);
    (void)!::write(pipeFds[1], &byte, 1);
}

} // namespace

CSignalQuitter::CSignalQuitter(QObject* parent) : QObject(parent)
{
    if (::pipe(pipeFds) != 0) {
        qWarning("Cannot watch for termination signals: no pipe");
        return;
    }
    for (int fd : pipeFds) {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &CSignalQuitter::onSignal);

    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signum : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signum, &action, nullptr);
}

void CSignalQuitter::watchPollSignal()
{
    struct sigaction action = {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGUSR1, &action, nullptr);
}

CSignalQuitter::~CSignalQuitter()
{
    for (int signum : {SIGTERM, SIGHUP, SIGINT, SIGUSR1})
        std::signal(signum, SIG_DFL);
}

void CSignalQuitter::onSignal()
{
    char bytes[16];
    bool quit = false;
    int polls = 0;
    for (ssize_t n; (n = ::read(pipeFds[0], bytes, sizeof bytes)) > 0;)
        for (ssize_t i = 0; i < n; ++i) {
            if (bytes[i] == char(SIGUSR1))
                ++polls;
            else
                quit = true;
        }
    if (quit) {
        QCoreApplication::quit();
        return;
    }
    for (int i = 0; i < polls; ++i)
        emit pollRequested();
}
