// The built pager against the built content server: start-up to the first
// drawn window with headlines, resident memory after 100 and 1,000 polls,
// and idle CPU over a minute with the window shown. Needs an X display.
// Polls are driven by SIGUSR1, which the pager honours under "-debug".

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

struct Child
{
    QProcess process;
    QByteArray out;

    bool waitFor(const QByteArray& what, int count, int ms = 30000)
    {
        QElapsedTimer clock;
        clock.start();
        while (out.count(what) < count) {
            if (clock.elapsed() > ms || process.state() == QProcess::NotRunning)
                return false;
            process.waitForReadyRead(20);
            out += process.readAllStandardOutput();
        }
        return true;
    }
};

long residentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return (f.value(11).toDouble() + f.value(12).toDouble()) / double(sysconf(_SC_CLK_TCK));
}

bool startPager(Child& pager, const QString& home, quint16 port)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("OVPAGER_SERVER", QStringLiteral("127.0.0.1:%1").arg(port));
    env.insert("OVPAGER_LIBDIR", home + "/nolib");
    pager.out.clear();
    pager.process.setProcessEnvironment(env);
    pager.process.start(QStringLiteral(OVPAGER_BINARY), {"-debug"});
    return pager.waitFor("window drawn", 1);
}

void stop(Child& child)
{
    child.process.terminate();
    if (!child.process.waitForFinished(15000))
        child.process.kill();
}

// Polls one at a time, each answered before the next is asked for.
bool poll(Child& pager, int times)
{
    int done = int(pager.out.count("content received"));
    for (int i = 0; i < times; ++i) {
        ::kill(pid_t(pager.process.processId()), SIGUSR1);
        if (!pager.waitFor("content received", ++done)) {
            std::fprintf(stderr, "poll %d of %d unanswered; the pager said:\n%s\n", i + 1, times,
                         pager.out.right(1500).constData());
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const bool quick = app.arguments().contains("--quick"); // shorter idle window
    QTemporaryDir home;
    QDir().mkdir(home.path() + "/.ovpager");

    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    Child server;
    // Its access log goes to a file: a pipe nobody drains would stall it.
    const QString serverLog = home.filePath("server.log");
    server.process.setStandardOutputFile(serverLog);
    server.process.start(QStringLiteral(OVPAGER_SERVER_BINARY),
                         {"--listen", QStringLiteral("127.0.0.1:%1").arg(port)});
    bool listening = false;
    for (int i = 0; i < 100 && !listening; ++i) {
        QThread::msleep(50);
        QFile log(serverLog);
        listening = log.open(QIODevice::ReadOnly) && log.readAll().contains("listening on");
    }
    if (!listening) {
        std::fprintf(stderr, "the content server did not start\n");
        return 1;
    }

    // A first run fills the data directory, so later starts show headlines
    // from the store at once, as a user's every start does.
    Child pager;
    if (!startPager(pager, home.path(), port) || !pager.waitFor("content received", 2)) {
        std::fprintf(stderr, "the pager did not start or poll\n");
        return 1;
    }
    stop(pager);

    QList<qint64> starts;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!startPager(pager, home.path(), port))
            return 1;
        starts << clock.elapsed();
        stop(pager);
    }
    std::sort(starts.begin(), starts.end());
    std::printf("start-up to first drawn window with headlines: median %lld ms "
                "(best %lld, worst %lld; target < 200 ms)\n",
                starts.at(2), starts.first(), starts.last());

    if (!startPager(pager, home.path(), port))
        return 1;
    const qint64 pid = pager.process.processId();
    if (!poll(pager, 100))
        return 1;
    QThread::msleep(500);
    const long rss100 = residentKb(pid);
    std::printf("resident memory after 100 polls: %.1f MB (target < 45 MB)\n", rss100 / 1024.0);

    // Left alone, the new-content box would keep the icon flashing; a user
    // at rest has read it.
    QProcess::execute("sh", {"-c", "for w in $(xdotool search --name '^Orvelle Pager$'); do "
                                   "xdotool windowfocus --sync $w key Return; done"});
    QThread::msleep(500);
    const int idleSeconds = quick ? 10 : 60;
    const double before = cpuSeconds(pid);
    QElapsedTimer idle;
    idle.start();
    while (idle.elapsed() < idleSeconds * 1000) {
        pager.process.waitForReadyRead(200);
        pager.out += pager.process.readAllStandardOutput();
    }
    const double used = cpuSeconds(pid) - before;
    std::printf("idle CPU over %d s with the window shown: %.3f %% of a core (target < 0.2 %%)\n",
                idleSeconds, 100.0 * used / (idle.elapsed() / 1000.0));

    if (!poll(pager, 900))
        return 1;
    QThread::msleep(500);
    const long rss1000 = residentKb(pid);
    std::printf("resident memory after 1000 polls: %.1f MB (%+.1f %% against 100 polls; "
                "target within 10 %%)\n",
                rss1000 / 1024.0, 100.0 * (rss1000 - rss100) / rss100);
    stop(pager);
    stop(server);
    return 0;
}
