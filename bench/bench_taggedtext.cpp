// Walks content replies of growing size with the tagged text reader and,
// on the same text, with QXmlStreamReader; prints cost per record and MB/s.

#include "pager/core/headlinelist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QXmlStreamReader>
#include <cstdio>

namespace {

QString buildReply(int records)
{
    QString text = QStringLiteral("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<topnews>\n");
    text.reserve(records * 260);
    for (int i = 0; i < records; ++i) {
        text += QStringLiteral("<headline>\n\t<category>0</category>\n"
                               "\t<link>http://news.example/article.cgi?id=%1</link>\n"
                               "\t<title>Remote overflow number %1 in an example daemon</title>\n"
                               "\t<id>%1</id>\n\t<timestamp>2026120612%2</timestamp>\n"
                               "\t<topcategory>%3</topcategory>\n\t<newflag>1</newflag>\n"
                               "</headline>\n")
                    .arg(i)
                    .arg(i % 10000, 4, 10, QLatin1Char('0'))
                    .arg(1 + i % 50);
    }
    text += QStringLiteral("</topnews>\n");
    return text;
}

qsizetype walkTagged(const QString& text)
{
    return parseContentReply(text).records.size();
}

// The same fields through an XML reader, so both do comparable work.
qsizetype walkXml(const QString& text)
{
    const qsizetype start = text.indexOf(QLatin1String("<topnews>"));
    QXmlStreamReader xml(text.mid(start));
    qsizetype records = 0;
    QString field;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("headline"))
            ++records;
        else if (name != QLatin1String("topnews"))
            field = xml.readElementText();
    }
    return records;
}

// Best of a few runs, in nanoseconds.
template <typename Walk> qint64 best(Walk walk, const QString& text, int rounds, qsizetype& count)
{
    qint64 fastest = -1;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer clock;
        clock.start();
        count = walk(text);
        const qint64 ns = clock.nsecsElapsed();
        if (fastest < 0 || ns < fastest)
            fastest = ns;
    }
    return fastest;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("%9s %12s %12s %12s %12s %8s\n", "records", "tagged ns/r", "tagged MB/s",
                "xml ns/r", "xml MB/s", "ratio");
    double firstPerRecord = 0, lastPerRecord = 0, lastRatio = 0;
    for (int n : {1000, 10000, 100000}) {
        const QString text = buildReply(n);
        const double mb = text.toUtf8().size() / 1e6;
        const int rounds = n >= 100000 ? 3 : 10;
        qsizetype tagged = 0, xml = 0;
        const qint64 tns = best(walkTagged, text, rounds, tagged);
        const qint64 xns = best(walkXml, text, rounds, xml);
        if (tagged != n || xml != n) {
            std::fprintf(stderr, "walk found %lld / %lld of %d records\n", (long long)tagged,
                         (long long)xml, n);
            return 1;
        }
        const double perRecord = double(tns) / n;
        const double tmbs = mb / (tns / 1e9), xmbs = mb / (xns / 1e9);
        std::printf("%9d %12.0f %12.1f %12.0f %12.1f %7.2fx\n", n, perRecord, tmbs, double(xns) / n,
                    xmbs, tmbs / xmbs);
        if (n == 1000)
            firstPerRecord = perRecord;
        lastPerRecord = perRecord;
        lastRatio = tmbs / xmbs;
    }
    std::printf("growth 100000 vs 1000: %.2fx (target <= 1.5x)\n", lastPerRecord / firstPerRecord);
    std::printf("throughput vs QXmlStreamReader at 100000: %.2fx (target >= 3x)\n", lastRatio);
    return 0;
}
