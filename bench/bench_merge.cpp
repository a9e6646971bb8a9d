// Merges content replies into a full headline list: 50 selected categories
// at 25 headlines each; prints the time per reply and per headline.

#include "pager/core/headlinelist.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdio>

namespace {

constexpr int categoryCount = 50;
constexpr int limit = 25;

QString record(int top, int id, qint64 stamp)
{
    return QStringLiteral("<headline>\n\t<category>0</category>\n"
                          "\t<link>http://news.example/story?id=%2</link>\n"
                          "\t<title>Advisory %2: privilege escalation in a sample daemon</title>\n"
                          "\t<id>%2</id>\n\t<timestamp>%3</timestamp>\n"
                          "\t<topcategory>%1</topcategory>\n\t<newflag>1</newflag>\n</headline>\n")
        .arg(top)
        .arg(id)
        .arg(stamp, 14, 10, QLatin1Char('0'));
}

// Headlines spread over the categories, newer than what the list holds, with
// a few repeats so the duplicate rule is exercised too.
QString buildReply(int headlines, int firstId)
{
    QString text = QStringLiteral("<topnews>\n");
    for (int i = 0; i < headlines; ++i) {
        const int k = (i % 20 == 19) ? i - 1 : i; // a repeat of the one before
        text += record(1 + k % categoryCount, firstId + k, 20261206000000LL + firstId + i);
    }
    return text + QStringLiteral("</topnews>\n");
}

CHeadlineList fullList()
{
    CHeadlineList list;
    QList<QPair<int, QString>> categories{{20001, QStringLiteral("announcements")}};
    for (int c = 1; c <= categoryCount; ++c)
        categories.append({c, QStringLiteral("Category %1").arg(c)});
    list.setCategories(categories);
    list.setLimit(limit);
    for (int c = 1; c <= categoryCount; ++c)
        for (int k = 0; k < limit; ++k) {
            Headline h;
            h.id = c * 1000 + k;
            h.topId = c;
            h.timestamp = QStringLiteral("2026010100%1").arg(k, 4, 10, QLatin1Char('0'));
            h.title = QStringLiteral("Old %1").arg(h.id);
            list.add(h);
        }
    return list;
}

// One reply, parsed and merged, as the pager does it; nanoseconds.
qint64 mergeOnce(const QString& reply, int& added)
{
    CHeadlineList list = fullList();
    QElapsedTimer clock;
    clock.start();
    const ContentReply parsed = parseContentReply(reply);
    added = 0;
    for (const Headline& h : parsed.records)
        if (list.add(h).category >= 0)
            ++added;
    return clock.nsecsElapsed();
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("%10s %14s %14s %8s\n", "headlines", "ms / reply", "ns / headline", "added");
    double perHeadline[2] = {0, 0};
    int row = 0;
    for (int n : {1000, 10000}) {
        const QString reply = buildReply(n, 1000000);
        qint64 fastest = -1;
        int added = 0;
        for (int round = 0; round < (n > 1000 ? 5 : 20); ++round) {
            const qint64 ns = mergeOnce(reply, added);
            if (fastest < 0 || ns < fastest)
                fastest = ns;
        }
        perHeadline[row++] = double(fastest) / n;
        std::printf("%10d %14.2f %14.0f %8d\n", n, fastest / 1e6, double(fastest) / n, added);
    }
    std::printf("per-headline cost 10000 vs 1000: %.2fx (target <= 1.5x)\n",
                perHeadline[1] / perHeadline[0]);
    return 0;
}
