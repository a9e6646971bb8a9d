#include "net/core/cwwwserver.h"

#include "inventory/core/cvulntree.h"
#include "net/core/gifcheck.h"
#include "net/core/replyparse.h"
#include "pager/core/atomicfile.h"
#include "pager/core/categoryfile.h"
#include "pager/core/globals.h"
#include "pager/core/taggedtext.h"
#include "pager/core/textencoding.h"

#include <QFile>
#include <QTcpSocket>

#include <optional>

void CLinkUi::critical(const QString& caption, const QString& text)
{
    qWarning("%s: %s", qPrintable(caption), qPrintable(text));
}

namespace {

constexpr qint64 MiB = 1024 * 1024;

const char* const kindNames[] = {"category",    "vulnerability category", "abstract",
                                 "content",     "vulnerability",          "banner page",
                                 "banner image"};

// The request target with every blank, control character and non-ASCII
// byte (as UTF-8) percent-encoded: no argument can end the request line
// early or add a header line of its own.
QString requestTarget(const QString& text)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    for (const char c : text.toUtf8()) {
        const auto byte = uchar(c);
        if (byte <= 0x20 || byte >= 0x7f) {
            out += u'%';
            out += QLatin1Char(hex[byte >> 4]);
            out += QLatin1Char(hex[byte & 15]);
        } else {
            out += QLatin1Char(c);
        }
    }
    return out;
}

QString getLine(const QString& target)
{
    return QStringLiteral("GET ") + requestTarget(target) + QStringLiteral(" HTTP/1.0");
}

} // namespace

CWWWServer::CWWWServer(const QString& host, quint16 port)
    : m_host(host), m_port(port), categoryPath(QStringLiteral("/test/zorbel-thing3.html?id=31337")),
      vulnCategoryPath(QStringLiteral("/test/vuln_categories.html")), socket(new QTcpSocket(this))
{
    connect(socket, &QTcpSocket::connected, this, &CWWWServer::slotDoConnected);
    connect(socket, &QTcpSocket::readyRead, this, &CWWWServer::slotDoRead);
    connect(socket, &QTcpSocket::disconnected, this, &CWWWServer::slotDoClose);
    connect(socket, &QTcpSocket::errorOccurred, this, &CWWWServer::slotSocketError);
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &CWWWServer::slotTimeout);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        if (m_state != Idle)
            abandonExchange(QStringLiteral("the exchange took too long"));
    });
}

CWWWServer::~CWWWServer()
{
    // Aborting reports a close; a reply cut off by our own end must not
    // reach handlers whose receivers may be half destroyed already.
    socket->disconnect(this);
    socket->abort();
}

void CWWWServer::setUi(CLinkUi* ui)
{
    m_ui = ui ? ui : &m_silentUi;
}

void CWWWServer::setTimeouts(int connectMs, int idleMs, int exchangeMs)
{
    m_connectMs = connectMs;
    m_idleMs = idleMs;
    m_exchangeMs = exchangeMs;
}

qint64 CWWWServer::replyCap(int kind)
{
    switch (kind) {
    case AdPage:
        return 256 * 1024;
    case AdImage:
        return 2 * MiB;
    default:
        return 16 * MiB;
    }
}

void CWWWServer::enqueue(int kind, const QString& argument)
{
    // While the link is slow, polls would pile up; one waiting poll of a
    // kind is enough, and it asks with the newest argument.
    if (kind == ContentPoll || kind == VulnPoll) {
        for (CWWWRequest& waiting : m_queue) {
            if (waiting.kind == kind) {
                waiting.argument = argument;
                return;
            }
        }
    }
    m_queue.append(CWWWRequest{kind, argument});
    if (m_state == Idle)
        sendNext();
}

void CWWWServer::reorderQueue()
{
    // The newest abstract wins and goes first: the user is looking at it now.
    QList<CWWWRequest> others;
    std::optional<CWWWRequest> abstract;
    for (const CWWWRequest& r : std::as_const(m_queue)) {
        if (r.kind == AbstractFetch)
            abstract = r;
        else
            others.append(r);
    }
    m_queue.clear();
    if (abstract)
        m_queue.append(*abstract);
    m_queue.append(others);
}

bool CWWWServer::sendNext()
{
    for (;;) {
        reorderQueue();
        if (m_queue.isEmpty())
            return false;
        const CWWWRequest request = m_queue.takeFirst();
        reply.clear();
        m_replyBytes = 0;

        switch (request.kind) {
        case CategoryUpdate:
            debugLine(QStringLiteral("Sending category update"));
            requestLine = getLine(categoryPath);
            break;
        case VulnCategoryUpdate:
            debugLine(QStringLiteral("Sending vuln update"));
            requestLine = getLine(vulnCategoryPath);
            break;
        case AbstractFetch:
            debugLine(QStringLiteral("Sending abstract fetch, arg = ") + request.argument);
            requestLine = getLine(QStringLiteral("/pagerv3/abstract.html?") + request.argument);
            break;
        case ContentPoll:
            debugLine(QStringLiteral("Sending content request"));
            requestLine = getLine(QStringLiteral("/pagerv3/pager_info.html?") + request.argument);
            break;
        case VulnPoll:
            debugLine(QStringLiteral("vuln polling arg = ") + request.argument);
            requestLine = getLine(QStringLiteral("/pagerv3/vuln_info.html?") + request.argument);
            break;
        case AdPage:
            requestLine = getLine(QStringLiteral("/frames/ad.html?group=pager"));
            break;
        case AdImage:
            requestLine = getLine(request.argument);
            break;
        default:
            continue; // unknown kinds are dropped
        }
        m_state = request.kind + 1;

        socket->connectToHost(m_host, m_port);
        m_watchdog.start(m_connectMs);
        m_deadline.start(m_exchangeMs);
        m_ui->setWaitCursor();
        m_cursorSet = true;
        return true;
    }
}

void CWWWServer::slotDoConnected()
{
    if (m_state == Idle || m_abandoning)
        return;
    const QByteArray text =
        (requestLine + QStringLiteral("\r\nUser-Agent: OVPagerV3.0(Linux)\r\n\r\n")).toLatin1();

    if (m_state == AdImage + 1) {
        gifStarted = false;
        m_gifCarry.clear();
        m_image.clear();
    }
    socket->write(text);
    m_watchdog.start(m_idleMs);
}

void CWWWServer::slotDoRead()
{
    if (m_state == Idle || m_abandoning)
        return;
    m_watchdog.start(m_idleMs);
    if (m_state == AdImage + 1) {
        readImageChunks();
        return;
    }
    while (socket->canReadLine()) {
        const QByteArray line = socket->readLine();
        if (overCap(line.size()))
            return;
        m_replyBytes += line.size();
        reply += decodeText(line);
    }
    overCap(socket->bytesAvailable()); // a line that never ends
}

bool CWWWServer::overCap(qint64 more)
{
    const qint64 cap = replyCap(m_state - 1);
    if (m_replyBytes + more <= cap)
        return false;
    abandonExchange(QStringLiteral("reply larger than ") + QString::number(cap) +
                    QStringLiteral(" bytes"));
    return true;
}

void CWWWServer::readImageChunks()
{
    while (socket->bytesAvailable() > 0) {
        const QByteArray chunk = socket->read(1024);
        if (chunk.isEmpty())
            break;
        if (overCap(chunk.size()))
            return;
        m_replyBytes += chunk.size();
        if (!gifStarted) {
            reply += QString::fromLatin1(chunk); // headers, for the status check
            // Search as text up to the first zero byte, with the tail of the
            // previous chunk in front so a marker split across reads is found.
            const QByteArray seen = m_gifCarry + chunk;
            const qsizetype zero = seen.indexOf('\0');
            const QByteArray text = zero < 0 ? seen : seen.left(zero);
            qsizetype start = -1;
            const qsizetype marker = text.indexOf("\r\nGIF");
            if (marker >= 0)
                start = marker + 2;
            else if (chunk.startsWith("GIF"))
                start = seen.size() - chunk.size(); // the carry is not part of this chunk
            if (start < 0) {
                m_gifCarry = seen.right(4);
                continue;
            }
            gifStarted = true;
            m_image += seen.mid(start);
            continue;
        }
        m_image += chunk;
    }
}

void CWWWServer::slotDoClose()
{
    if (m_abandoning || m_state == Idle) {
        if (!m_abandoning)
            qWarning("Impossible state in CWWWServer::slotDoClose() !!\n");
        return;
    }
    m_watchdog.stop();
    if (m_cursorSet) {
        m_ui->restoreCursor();
        m_cursorSet = false;
    }
    if (socket->bytesAvailable() > 0)
        slotDoRead();
    if (m_state == Idle)
        return; // abandoned while reading the rest
    m_deadline.stop();
    // A last fragment without a line end is still part of the reply.
    if (m_state != AdImage + 1 && socket->bytesAvailable() > 0)
        reply += decodeText(socket->readAll());

    runReplyHandler();
    finishExchange();
}

void CWWWServer::finishExchange()
{
    socket->abort();
    if (!sendNext())
        m_state = Idle;
}

void CWWWServer::abandonExchange(const QString& why)
{
    const int kind = m_state - 1;
    qWarning("CWWWServer: %s request to %s:%u abandoned: %s",
             kind >= 0 && kind <= AdImage ? kindNames[kind] : "unknown", qPrintable(m_host),
             unsigned(m_port), qPrintable(why));
    m_watchdog.stop();
    m_deadline.stop();
    if (m_cursorSet) {
        m_ui->restoreCursor();
        m_cursorSet = false;
    }
    m_image.clear();
    m_abandoning = true;
    socket->abort();
    m_abandoning = false;
    reply.clear();
    const bool answered = m_replyBytes > 0;
    m_state = Idle;
    emit exchangeFailed(kind, answered, why);
    // Not from inside the socket's own signal: start the next one afresh.
    QTimer::singleShot(0, this, [this] {
        if (m_state == Idle)
            sendNext();
    });
}

void CWWWServer::slotSocketError()
{
    if (m_state == Idle || m_abandoning)
        return;
    // The server closing the connection is how every reply ends.
    if (socket->error() == QAbstractSocket::RemoteHostClosedError)
        return;
    abandonExchange(socket->errorString());
}

void CWWWServer::slotTimeout()
{
    if (m_state == Idle)
        return;
    abandonExchange(socket->state() == QAbstractSocket::ConnectedState
                        ? QStringLiteral("the server stopped answering")
                        : QStringLiteral("could not connect in time"));
}

void CWWWServer::runReplyHandler()
{
    switch (m_state - 1) {
    case CategoryUpdate:
        handleCategoryUpdate();
        break;
    case VulnCategoryUpdate:
        handleVulnCategoryUpdate();
        break;
    case AbstractFetch:
        if (refusedByStatus())
            break;
        emit newAbstract(reply);
        break;
    case ContentPoll:
        if (refusedByStatus())
            break;
        debugLine(QStringLiteral("content received"));
        emit newContent(reply);
        break;
    case VulnPoll:
        handleVulnPoll();
        break;
    case AdPage:
        handleAdPage();
        break;
    case AdImage:
        handleAdImage();
        break;
    default:
        qWarning("Impossible state in CWWWServer::slotDoClose() !!\n");
        break;
    }
}

bool CWWWServer::refusedByStatus()
{
    if (isSuccessStatus(reply))
        return false;
    // An error page is no headline list and no abstract.
    emit exchangeFailed(m_state - 1, true, reply.left(200).section(u'\n', 0, 0).trimmed());
    return true;
}

void CWWWServer::handleCategoryUpdate()
{
    QString body;
    if (!isSuccessStatus(reply) || !takeTaggedValue(QStringLiteral("pre"), reply, body))
        return;
    // A new file that would not load keeps the old one: loading a corrupt
    // file ends the program.
    const CategoryFile checked = parseCategoryFile(body);
    if (!checked.isValid()) {
        qWarning("CWWWServer: category reply refused (VERSION = %d, NUMENTRIES = %d, counted %d); "
                 "keeping category.dat",
                 checked.version, checked.numEntries, checked.counted);
        return;
    }
    const QString current = dataDirPath + QStringLiteral("category.dat");
    if (QFile::exists(current)) {
        QFile in(current);
        if (in.open(QIODevice::ReadOnly))
            writeFileAtomically(dataDirPath + QStringLiteral("category.old"), in.readAll());
    }
    if (!writeFileAtomically(current, encodeText(body))) {
        m_ui->critical(QStringLiteral("Error Updating Categories"),
                       QStringLiteral("Cannot open category file for writing"));
        return;
    }
    emit categoryUpdateDone();
}

void CWWWServer::handleVulnCategoryUpdate()
{
    if (!isSuccessStatus(reply) || isCutShort(reply))
        return;
    // A reply without a version or rows would replace a good tree with an
    // empty one; the old file stays.
    const QByteArray data = encodeText(reply);
    if (!isUsableVulnCategoryFile(data)) {
        qWarning("CWWWServer: vulnerability category reply refused (no positive VERSION= or no "
                 "rows); keeping vulncategory.dat");
        return;
    }
    if (!writeFileAtomically(dataDirPath + QStringLiteral("vulncategory.dat"), data)) {
        m_ui->critical(QStringLiteral("Error Updating Vulnerability Categories"),
                       QStringLiteral("Cannot open category file for writing"));
        return;
    }
    emit vulnCategoryUpdateDone();
    debugLine(QStringLiteral("Vuln categories updated"));
}

void CWWWServer::handleVulnPoll()
{
    debugLine(QStringLiteral("doVuln()"));
    QString vulns;
    if (!isSuccessStatus(reply) || !takeTaggedValue(QStringLiteral("vulns"), reply, vulns))
        return;
    if (vulns.contains(QLatin1String("<!-- error old category file"))) {
        debugLine(QStringLiteral("Old vuln category file"));
        enqueue(VulnCategoryUpdate, QString());
        return;
    }
    if (!vulns.contains(QLatin1String("<vuln>")))
        return;
    if (!writeFileAtomically(dataDirPath + QStringLiteral("vulnpoll.dat"), encodeText(vulns))) {
        m_ui->critical(QStringLiteral("Error Saving Temporary"),
                       QStringLiteral("Could not open temporary file from writing"));
        return;
    }
    emit newVulns();
}

void CWWWServer::handleAdPage()
{
    if (!isSuccessStatus(reply))
        return;
    AdPageInfo info = parseAdPage(reply);
    if (info.ok)
        emit newAd(info.imagePath, info.link);
}

void CWWWServer::handleAdImage()
{
    // A refused, cut or outsized image keeps the previous banner.
    const QByteArray image = std::exchange(m_image, QByteArray());
    const qint64 declared = declaredBodyLength(reply);
    if (!gifStarted || !isSuccessStatus(reply) || (declared >= 0 && image.size() < declared))
        return;
    const GifCheck check = checkGif(image);
    if (!check.ok) {
        qWarning("CWWWServer: banner image refused (%s); keeping ad.gif", qPrintable(check.why));
        return;
    }
    if (!writeFileAtomically(dataDirPath + QStringLiteral("ad.gif"), image))
        return;
    emit newAdImage();
}
