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

int fail(const QString& message)
{
    std::fprintf(stderr, "ovpager-server: %s\n", qPrintable(message));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("ovpager-server"));
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser options;
    options.setApplicationDescription(
        QStringLiteral("Content server for the pager, over HTTP/1.0.\n\n"
                       "Fault injection (--faults) takes a comma-separated list of mode:target,\n"
                       "mode one of cut, hang, garbage, error, huge; target a request path\n"
                       "(/pagerv3/pager_info.html), * for all, or a probability 0..1.\n"
                       "Example: --faults cut:/pagerv3/pager_info.html,hang:0.1"));
    options.addHelpOption();
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
    options.process(app);

    const QString where = options.value(listen);
    const qsizetype colon = where.lastIndexOf(u':');
    bool portOk = false;
    const uint port = where.mid(colon + 1).toUInt(&portOk);
    const QHostAddress address(where.left(colon));
    if (colon <= 0 || !portOk || port > 65535 || address.isNull())
        return fail(QStringLiteral("bad --listen address \"%1\" (want host:port)").arg(where));

    CFaultPlan plan;
    QString error;
    if (!plan.parse(options.value(faults), &error))
        return fail(QStringLiteral("--faults: ") + error);
    plan.setSeed(options.value(seed).toUInt());

    CServerData content(options.value(data));
    if (!content.load(&error))
        return fail(options.value(data) + QStringLiteral(": ") + error);
    const int first = qBound(0, options.value(initial).toInt(), 10000);
    content.releaseInitial(first / 8, qMin(first, 6));

    CContentServer server(&content, &plan);
    server.setRequestTimeout(qMax(100, options.value(requestTimeout).toInt()));
    if (!server.listen(address, quint16(port)))
        return fail(QStringLiteral("cannot listen on %1: %2").arg(where, server.errorString()));
    std::fprintf(stdout, "ovpager-server listening on %s:%u, data %s\n",
                 qPrintable(address.toString()), server.serverPort(),
                 qPrintable(options.value(data)));
    std::fflush(stdout);
    return app.exec();
}
