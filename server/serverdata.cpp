#include "server/serverdata.h"

#include "pager/core/textencoding.h"
#include "server/bannerart.h"

#include <QDateTime>
#include <QFile>

namespace {

const char* const vulnFieldOrder[] = {
    "qid",     "title",      "object",        "class",      "remote",  "local",    "published",
    "updated", "vulnerable", "notvulnerable", "discussion", "exploit", "solution", "credit"};

// Values go into the reply unescaped; markup in them would break records.
QString plain(QString text)
{
    text.replace(u'<', u'(');
    text.replace(u'>', u')');
    return text;
}

} // namespace

int fileVersion(const QByteArray& text)
{
    for (const QByteArray& line : text.split('\n'))
        if (line.startsWith("VERSION="))
            return qMax(0, line.mid(8).trimmed().toInt());
    return 0;
}

CServerData::CServerData(const QString& directory) : m_dir(directory) {}

QByteArray CServerData::readFile(const QString& name) const
{
    QFile f(m_dir + u'/' + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool CServerData::load(QString* error)
{
    auto fail = [error](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    for (const char* name : {"categories.dat", "vulncategories.dat"})
        if (fileVersion(readFile(QLatin1String(name))) <= 0)
            return fail(QStringLiteral("%1 is missing or has no VERSION= line").arg(name));

    for (const QByteArray& raw : readFile(QStringLiteral("headlines.txt")).split('\n')) {
        const QString line = decodeText(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u'\t');
        bool topOk = false, subOk = false;
        PoolHeadline h{f.value(0).toInt(&topOk), f.value(1).toInt(&subOk), plain(f.value(2)),
                       plain(f.value(3))};
        if (f.size() != 4 || !topOk || !subOk || h.title.isEmpty())
            return fail(QStringLiteral("headlines.txt: bad line: %1").arg(line));
        m_pool.append(h);
    }
    if (m_pool.isEmpty())
        return fail(QStringLiteral("headlines.txt holds no headlines"));

    VulnFields record;
    QString lastKey;
    auto finish = [&] {
        if (!record.isEmpty())
            m_vulnPool.append(record);
        record.clear();
        lastKey.clear();
    };
    for (const QByteArray& raw : readFile(QStringLiteral("vulns.txt")).split('\n')) {
        const QString line = decodeText(raw);
        if (line.trimmed().isEmpty()) {
            finish();
        } else if (line.startsWith(u'#')) {
            continue;
        } else if (line.startsWith(u' ') && !lastKey.isEmpty()) {
            record[lastKey] += u'\n' + plain(line.trimmed()); // continued field
        } else {
            const qsizetype colon = line.indexOf(u':');
            if (colon <= 0)
                return fail(QStringLiteral("vulns.txt: bad line: %1").arg(line));
            lastKey = line.left(colon).trimmed().toLower();
            record[lastKey] = plain(line.mid(colon + 1).trimmed());
        }
    }
    finish();
    for (const VulnFields& v : std::as_const(m_vulnPool))
        for (const char* field : vulnFieldOrder)
            if (qstrcmp(field, "updated") != 0 && !v.contains(QLatin1String(field)))
                return fail(QStringLiteral("vulns.txt: record %1 lacks %2")
                                .arg(v.value(QStringLiteral("qid")), QLatin1String(field)));

    for (const QByteArray& raw : readFile(QStringLiteral("sponsors.txt")).split('\n')) {
        const QString line = decodeText(raw).trimmed();
        if (!line.isEmpty() && !line.startsWith(u'#'))
            m_sponsors.append(line.split(u'\t'));
    }
    if (m_sponsors.isEmpty())
        return fail(QStringLiteral("sponsors.txt holds no sponsor"));
    return true;
}

QString CServerData::nextTimestamp(qint64 backdateSeconds)
{
    // Fixed width, most significant first, and never the same twice, so
    // that comparing them as text orders them.
    qint64 now = QDateTime::currentSecsSinceEpoch() - backdateSeconds;
    if (now <= m_lastStamp)
        now = m_lastStamp + 1;
    m_lastStamp = now;
    return QDateTime::fromSecsSinceEpoch(now, Qt::UTC).toString(QStringLiteral("yyyyMMddHHmmss"));
}

void CServerData::releaseHeadline(qint64 backdateSeconds)
{
    const int pool = m_nextId - 1;
    m_released.append({int(pool % m_pool.size()), m_nextId++, nextTimestamp(backdateSeconds)});
    if (m_released.size() > 5000)
        m_released.removeFirst(); // a server that runs for months stays small
}

void CServerData::releaseVuln(qint64 backdateSeconds)
{
    if (m_vulnPool.isEmpty())
        return;
    VulnFields v = m_vulnPool.at(m_vulnsOut.size() % m_vulnPool.size());
    if (m_vulnsOut.size() >= m_vulnPool.size()) // a second round gets fresh ids
        v[QStringLiteral("qid")] += QStringLiteral("-%1").arg(m_vulnsOut.size());
    v[QStringLiteral("updated")] = nextTimestamp(backdateSeconds);
    m_vulnsOut.append(v);
    if (m_vulnsOut.size() > 5000)
        m_vulnsOut.removeFirst();
}

void CServerData::releaseInitial(int headlinesPerCategory, int vulns)
{
    const int count = qMin<int>(m_pool.size(), headlinesPerCategory * 8);
    // Spread over the last hours, so the first list looks lived in.
    for (int i = 0; i < count; ++i)
        releaseHeadline(qint64(count - i) * 600);
    for (int i = 0; i < vulns; ++i)
        releaseVuln(qint64(vulns - i) * 3600);
}

QByteArray CServerData::categoryFile() const
{
    return readFile(QStringLiteral("categories.dat"));
}

QByteArray CServerData::vulnCategoryFile() const
{
    return readFile(QStringLiteral("vulncategories.dat"));
}

int CServerData::categoryVersion() const
{
    return fileVersion(categoryFile());
}

int CServerData::vulnCategoryVersion() const
{
    return fileVersion(vulnCategoryFile());
}

QByteArray CServerData::contentReply(int version, int entries, const QList<ContentWish>& wishes)
{
    if (version < categoryVersion())
        return "<topnews>\n<!-- error old category file -->\n</topnews>\n";
    releaseHeadline();
    QString out = QStringLiteral("<topnews>\n");
    for (const ContentWish& wish : wishes) {
        int sent = 0;
        for (qsizetype i = m_released.size() - 1; i >= 0 && sent < entries; --i) {
            const ReleasedHeadline& r = m_released.at(i);
            const PoolHeadline& h = m_pool.at(r.pool);
            if (h.topId != wish.topId)
                continue;
            if (!wish.subIds.isEmpty() && h.subId != 0 && !wish.subIds.contains(h.subId))
                continue;
            ++sent;
            // Joined, never formatted: a title may hold "%5" of its own.
            const QString id = QString::number(r.id);
            out += QStringLiteral("<headline>\n\t<category>") + QString::number(h.subId) +
                   QStringLiteral("</category>\n\t<link>http://www.orvelle.example/news/"
                                  "article.html?id=") +
                   id + QStringLiteral("</link>\n\t<title>") + h.title +
                   QStringLiteral("</title>\n\t<id>") + id +
                   QStringLiteral("</id>\n\t<timestamp>") + r.timestamp +
                   QStringLiteral("</timestamp>\n\t<topcategory>") + QString::number(h.topId) +
                   QStringLiteral("</topcategory>\n</headline>\n");
        }
    }
    out += QStringLiteral("</topnews>\n");
    return out.toUtf8();
}

QByteArray CServerData::abstractReply(int topId, int id, bool* found) const
{
    for (const ReleasedHeadline& r : m_released) {
        const PoolHeadline& h = m_pool.at(r.pool);
        if (r.id == id && h.topId == topId) {
            *found = true;
            return QStringLiteral("<html><head><title>%1</title></head>\n<body>\n<b>%1</b><br>\n"
                                  "<p>%2</p>\n</body></html>\n")
                .arg(h.title, h.abstract)
                .toUtf8();
        }
    }
    *found = false;
    return "<html><body>\nThis article is no longer available.\n</body></html>\n";
}

QByteArray CServerData::vulnReply(const QString& after, int version)
{
    if (version < vulnCategoryVersion())
        return "<vulns>\n<!-- error old category file -->\n</vulns>\n";
    releaseVuln();
    QString out = QStringLiteral("<vulns>\n");
    for (const VulnFields& v : std::as_const(m_vulnsOut)) {
        if (!(v.value(QStringLiteral("updated")) > after))
            continue;
        out += QStringLiteral("<vuln>\n");
        for (const char* field : vulnFieldOrder)
            out += QStringLiteral("\t<%1>%2</%1>\n")
                       .arg(QLatin1String(field), v.value(QLatin1String(field)));
        out += QStringLiteral("</vuln>\n");
    }
    out += QStringLiteral("</vulns>\n");
    return out.toUtf8();
}

QByteArray CServerData::adPage()
{
    const int index = m_nextSponsor++ % m_sponsors.size();
    QString link = m_sponsors.at(index).value(0);
    link.replace(QLatin1String("&"), QLatin1String("&amp;"));
    link.replace(QLatin1String(":"), QLatin1String("&#58;"));
    return (QStringLiteral("<html><body bgcolor=\"#102034\">\n<A HREF=\"") + link +
            QStringLiteral("\" TARGET=\"_top\"><IMG SRC=\"../images/sponsor") +
            QString::number(index + 1) +
            QStringLiteral(".gif\" WIDTH=230 HEIGHT=33 BORDER=0></A>\n</body></html>\n"))
        .toUtf8();
}

QByteArray CServerData::bannerImage(const QString& name, bool* found) const
{
    // "sponsorN.gif", drawn on demand from the sponsor's words.
    *found = false;
    if (!name.startsWith(QLatin1String("sponsor")) || !name.endsWith(QLatin1String(".gif")))
        return {};
    bool ok = false;
    const int index = name.mid(7, name.size() - 11).toInt(&ok) - 1;
    if (!ok || index < 0 || index >= m_sponsors.size())
        return {};
    *found = true;
    const QStringList& s = m_sponsors.at(index);
    return renderBannerGif(s.value(1), s.value(2));
}
