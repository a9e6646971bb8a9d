// ovpager-server: a small content server for the pager, for demonstrations
// and tests. It serves every request the pager sends from plain data files.

#include "server/contentserver.h"
#include "server/faultplan.h"
#include "server/serverdata.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QHostAddress>

#include <csignal>
#include <cstdio>

namespace {

QString defaultDataDir()
{
    const QString installed =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/ovpager-server/data");
    if (QFileInfo::exists(installed + QStringLiteral("/headlines.txt")))
        return QDir::cleanPath(installed);
    return QStringLiteral(OVPAGER_SERVER_SOURCE_DATA);
}

// Every refused command line ends with the same status, whichever check
// caught it.
int fail(const QString& message)
{
    std::fprintf(stderr, "ovpager-server: %s\n", qPrintable(message));
    return 2;
}

// A whole decimal number within [low, high], or false.
bool number(const QString& text, qint64 low, qint64 high, qint64* value)
{
    bool ok = false;
    *value = text.toLongLong(&ok);
    return ok && !text.startsWith(u'+') && *value >= low && *value <= high;
}

// "host:port" with a numeric address or "localhost".
bool listenAddress(const QString& where, QHostAddress* address, quint16* port)
{
    const qsizetype colon = where.lastIndexOf(u':');
    qint64 n = 0;
    if (colon <= 0 || !number(where.mid(colon + 1), 0, 65535, &n))
        return false;
    const QString host = where.left(colon);
    *address = host == QLatin1String("localhost") ? QHostAddress(QHostAddress::LocalHost)
                                                  : QHostAddress(host);
    *port = quint16(n);
    return !address->isNull();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ovpager-server"));
    QCoreApplication::setApplicationVersion(QStringLiteral(OVPAGER_VERSION));
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Content server for the pager, over HTTP/1.0.\n\n"
                       "Fault injection (--faults) takes a comma-separated list of mode:target,\n"
                       "mode one of cut, hang, garbage, error, huge; target a request path\n"
                       "(/pagerv3/pager_info.html), * for all, or a probability 0..1.\n"
                       "Example: --faults cut:/pagerv3/pager_info.html,hang:0.1"));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption listen(QStringLiteral("listen"),
                                    QStringLiteral("Address and port (default 127.0.0.1:8080)."),
                                    QStringLiteral("host:port"), QStringLiteral("127.0.0.1:8080"));
    const QCommandLineOption data(QStringLiteral("data"), QStringLiteral("Data directory."),
                                  QStringLiteral("dir"), defaultDataDir());
    const QCommandLineOption faults(QStringLiteral("faults"), QStringLiteral("Faults to inject."),
                                    QStringLiteral("plan"));
    const QCommandLineOption seed(QStringLiteral("seed"), QStringLiteral("Seed for chance faults."),
                                  QStringLiteral("n"), QStringLiteral("20261206"));
    const QCommandLineOption initial(QStringLiteral("initial"),
                                     QStringLiteral("Headlines released at start (default 24)."),
                                     QStringLiteral("n"), QStringLiteral("24"));
    const QCommandLineOption requestTimeout(
        QStringLiteral("request-timeout"),
        QStringLiteral("Milliseconds a client may take to send its request (default 10000)."),
        QStringLiteral("ms"), QStringLiteral("10000"));
    options.addOptions({listen, data, faults, seed, initial, requestTimeout});
    if (!options.parse(QCoreApplication::arguments()))
        return fail(options.errorText());
    if (options.isSet(QStringLiteral("help")))
        options.showHelp(0);
    if (options.isSet(QStringLiteral("version")))
        options.showVersion();
    if (!options.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument \"") +
                    options.positionalArguments().first() + u'"');

    const QString where = options.value(listen);
    QHostAddress address;
    quint16 port = 0;
    if (!listenAddress(where, &address, &port))
        return fail(QStringLiteral("bad --listen address \"") + where +
                    QStringLiteral("\" (want host:port, host numeric or localhost)"));
    qint64 seedValue = 0, firstValue = 0, timeoutValue = 0;
    if (!number(options.value(seed), 0, 4294967295LL, &seedValue))
        return fail(QStringLiteral("--seed wants a number from 0 to 4294967295"));
    if (!number(options.value(initial), 0, 10000, &firstValue))
        return fail(QStringLiteral("--initial wants a number from 0 to 10000"));
    if (!number(options.value(requestTimeout), 100, 3600000, &timeoutValue))
        return fail(QStringLiteral("--request-timeout wants milliseconds from 100 to 3600000"));

    CFaultPlan plan;
    QString error;
    if (!plan.parse(options.value(faults), &error))
        return fail(QStringLiteral("--faults: ") + error);
    plan.setSeed(quint32(seedValue));

    CServerData content(options.value(data));
    if (!content.load(&error))
        return fail(options.value(data) + QStringLiteral(": ") + error);
    const int first = int(firstValue);
    content.releaseInitial(first / 8, qMin(first, 6));

    CContentServer server(&content, &plan);
    server.setRequestTimeout(int(timeoutValue));
    // Room for a crowd connecting at once: past the backlog the kernel drops
    // connection requests, and each client waits a second before trying again.
    server.setListenBacklogSize(1024);
    if (!server.listen(address, port))
        return fail(QStringLiteral("cannot listen on %1: %2").arg(where, server.errorString()));
    std::fprintf(stdout, "ovpager-server listening on %s:%u, data %s\n",
                 qPrintable(address.toString()), server.serverPort(),
                 qPrintable(options.value(data)));
    std::fflush(stdout);
    return app.exec();
}
