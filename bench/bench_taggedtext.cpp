// Walks content replies of growing size with the tagged text reader and,
// on the same text, with QXmlStreamReader, both keeping every record; prints
// cost per record, MB/s, the growth of the cost and the lowest ratio.
//
// Times are the thread's CPU time, best of several rounds, so a busy shared
// machine does not count against a walk. The allocator keeps what a round
// frees for the next, so the best rounds show the walks and not the kernel
// handing out fresh pages; the first round at 100,000, which does pay for
// them, is printed as well.

#include "pager/core/headlinelist.h"

#include <QCoreApplication>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdio>
#include <ctime>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

QString buildReply(int records)
{
    QString text = QStringLiteral("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<topnews>\n");
    text.reserve(records * 260);
    for (int i = 0; i < records; ++i) {
        const QString n = QString::number(i);
        text += QStringLiteral("<headline>\n\t<category>0</category>\n"
                               "\t<link>http://news.example/article.cgi?id=") +
                n + QStringLiteral("</link>\n\t<title>Remote overflow number ") + n +
                QStringLiteral(" in an example daemon</title>\n\t<id>") + n +
                QStringLiteral("</id>\n\t<timestamp>2026120612") +
                QString::number(i % 10000).rightJustified(4, u'0') +
                QStringLiteral("</timestamp>\n\t<topcategory>") + QString::number(1 + i % 50) +
                QStringLiteral("</topcategory>\n\t<newflag>1</newflag>\n</headline>\n");
    }
    text += QStringLiteral("</topnews>\n");
    return text;
}

QList<Headline> walkTagged(const QString& text)
{
    return parseContentReply(text).records;
}

// The same records through an XML reader, every field kept as the pager
// keeps it; the text is read as a view, a string made only for a kept
// field. It is handed the "topnews" element alone, cut out untimed.
QList<Headline> walkXml(const QString& xmlText)
{
    QXmlStreamReader xml(xmlText);
    QList<Headline> records;
    Headline h;
    QStringView field;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            field = xml.name();
            if (field == QLatin1String("headline"))
                h = Headline();
            break;
        case QXmlStreamReader::Characters: {
            const QStringView value = xml.text();
            if (field == QLatin1String("title"))
                h.title = value.toString();
            else if (field == QLatin1String("link"))
                h.link = value.toString();
            else if (field == QLatin1String("timestamp"))
                h.timestamp = value.toString();
            else if (field == QLatin1String("id"))
                h.id = value.toInt();
            else if (field == QLatin1String("topcategory"))
                h.topId = value.toInt();
            else if (field == QLatin1String("newflag"))
                h.isNew = value.toInt() != 0;
            break;
        }
        case QXmlStreamReader::EndElement:
            if (xml.name() == QLatin1String("headline"))
                records.append(std::move(h));
            field = QStringView();
            break;
        default:
            break;
        }
    }
    return records;
}

bool same(const QList<Headline>& a, const QList<Headline>& b)
{
    return std::equal(
        a.begin(), a.end(), b.begin(), b.end(), [](const Headline& x, const Headline& y) {
            return x.title == y.title && x.link == y.link && x.timestamp == y.timestamp &&
                   x.id == y.id && x.topId == y.topId && x.isNew == y.isNew;
        });
}

qint64 cpuNow()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

struct Timing
{
    qint64 best = -1, first = -1; // nanoseconds
};

// `out` gets the last round's records.
template <typename Walk>
Timing time(Walk walk, const QString& text, int rounds, QList<Headline>& out)
{
    Timing t;
    for (int r = 0; r < rounds; ++r) {
        out.clear();
        const qint64 start = cpuNow();
        out = walk(text);
        const qint64 ns = cpuNow() - start;
        if (t.first < 0)
            t.first = ns;
        if (t.best < 0 || ns < t.best)
            t.best = ns;
    }
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 1024 * 1024 * 1024);
#endif
    std::printf("%9s %12s %12s %12s %12s %8s\n", "records", "tagged ns/r", "tagged MB/s",
                "xml ns/r", "xml MB/s", "ratio");
    double firstPerRecord = 0, lastPerRecord = 0, lowestRatio = 0;
    Timing coldTagged, coldXml;
    for (int n : {1000, 10000, 100000}) {
        const QString text = buildReply(n);
        const QString xmlText = text.mid(text.indexOf(QLatin1String("<topnews>")));
        const double mb = text.toUtf8().size() / 1e6;
        const int rounds = n >= 100000 ? 5 : n >= 10000 ? 50 : 300;
        QList<Headline> tagged, xml;
        const Timing tt = time(walkTagged, text, rounds, tagged);
        const Timing xt = time(walkXml, xmlText, rounds, xml);
        const qint64 tns = tt.best, xns = xt.best;
        coldTagged = tt;
        coldXml = xt;
        if (tagged.size() != n || !same(tagged, xml)) {
            std::fprintf(stderr, "the walks disagree: %lld and %lld of %d records\n",
                         (long long)tagged.size(), (long long)xml.size(), n);
            return 1;
        }
        const double perRecord = double(tns) / n;
        const double tmbs = mb / (tns / 1e9), xmbs = mb / (xns / 1e9);
        std::printf("%9d %12.0f %12.1f %12.0f %12.1f %7.2fx\n", n, perRecord, tmbs, double(xns) / n,
                    xmbs, tmbs / xmbs);
        if (n == 1000)
            firstPerRecord = perRecord;
        lastPerRecord = perRecord;
        if (lowestRatio == 0 || tmbs / xmbs < lowestRatio)
            lowestRatio = tmbs / xmbs;
    }
    std::printf("first round at 100000: tagged %.0f ns/r, xml %.0f ns/r\n", coldTagged.first / 1e5,
                coldXml.first / 1e5);
    std::printf("growth 100000 vs 1000: %.2fx per record (target <= 1.2x)\n",
                lastPerRecord / firstPerRecord);
    std::printf("throughput vs QXmlStreamReader, lowest of the sizes: %.2fx (target >= 5x)\n",
                lowestRatio);
    return 0;
}
