#include "pager/core/headlinelist.h"
#include "pager/core/textencoding.h"

#include <QTest>

namespace {

// A content reply holding one record per "id:top[:timestamp[:newflag]]";
// a record without a timestamp lacks a field.
QString reply(const QString& records)
{
    QString text = QStringLiteral("HTTP/1.0 200 OK\r\n\r\n<topnews>\n");
    for (const QString& r : records.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList f = r.split(u':');
        text += "<headline><category>1</category><link>http://x/" + f[0] + "</link><title>T" +
                f[0] + "</title><id>" + f[0] + "</id><topcategory>" + f[1] + "</topcategory>";
        if (f.size() > 2)
            text += "<timestamp>" + f[2] + "</timestamp>";
        if (f.size() > 3)
            text += "<newflag>" + f[3] + "</newflag>";
        text += "</headline>\n";
    }
    return text + "</topnews>";
}

// "id[*]" per kept headline, categories separated by "|"; * marks new.
QString describe(const CHeadlineList& list)
{
    QStringList cats;
    for (const HeadlineCategory& c : list.categories()) {
        QStringList items;
        for (const Headline& h : c.headlines)
            items << QString::number(h.id) + (h.isNew ? "*" : "");
        cats << items.join(u',');
    }
    return cats.join(u'|');
}

CHeadlineList makeList(int limit)
{
    CHeadlineList list;
    list.setCategories({{20001, "announcements"}, {10, "Ten"}, {20, "Twenty"}});
    list.setLimit(limit);
    return list;
}

} // namespace

class TestHeadlineList : public QObject
{
    Q_OBJECT
private slots:
    // Steps at count 5: records as reply() takes them, "limit=n" and "seen=top:id".
    void merge_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<QString>("gained"); // the category each newcomer joined
        auto row = [](const char* what, const char* steps, const char* kept, const char* gained) {
            QTest::newRow(what) << QString(steps) << QString(kept) << QString(gained);
        };
        row("newflag 0 and abc are seen, 2 is new; missing field or id not a number skipped",
            "1:10:01:0 2:10:02:abc 3:10:03:2 4:10 5x:10:1", "|3*,2,1|", "10,10,10");
        row("newest first, timestamps as text; unselected dropped, announcements kept",
            "1:10:10 2:10:0002 3:10:9 4:77:1 5:20001:1", "5*|3*,1*,2*|", "10,10,10,20001");
        row("same id twice keeps the first; equal timestamps: the newcomer goes after",
            "1:10:5 1:10:9 2:10:5", "|1*,2*|", "10,10");
        row("newcomer that is the oldest is dropped at once", "limit=2 1:10:5 2:10:6 3:10:1",
            "|2*,1*|", "10,10");
        row("equal timestamps at the limit: the first of them is dropped",
            "limit=2 1:10:5 2:10:5 3:10:5", "|2*,3*|", "10,10,10");
        row("a lowered count trims the categories before the match, not those after",
            "1:20001:1 2:20001:2 3:20001:3 4:20:4 5:20:5 6:20:6 limit=2 9:10:9",
            "3*,2*|9*|6*,5*,4*", "20001,20001,20001,20,20,20,10");
        row("seen is scoped to its top category", "5:10:1 5:20:1 seen=10:5", "|5|5*", "10,20");
    }

    void merge()
    {
        QFETCH(QString, steps);
        QFETCH(QString, kept);
        QFETCH(QString, gained);

        CHeadlineList list = makeList(5);
        QStringList gains;
        for (const QString& step : steps.split(u' ')) {
            const QString arg = step.section(u'=', 1);
            if (step.startsWith("limit="))
                list.setLimit(arg.toInt());
            else if (step.startsWith("seen="))
                list.setSeen(arg.section(u':', 0, 0).toInt(), arg.section(u':', 1).toInt());
            else
                for (const Headline& h : parseContentReply(reply(step)).records)
                    if (const int at = list.add(h).category; at >= 0)
                        gains << QString::number(list.categories().at(at).id);
        }
        QCOMPARE(describe(list), kept);
        QCOMPARE(gains.join(u','), gained);
    }

    void storeRoundTrip()
    {
        CHeadlineList list = makeList(25);
        list.add({"A <b> & co", "http://h/a?x=1&y=2", "20261206120000", 1, 10, true});
        list.add({QString::fromLatin1("Caf\xe9"), "http://h/c", "20261201000000", 3, 20001, true});
        list.setSeen(10, 1);
        const QByteArray store = list.formatStore(); // values are written as they stand

        CHeadlineList again = makeList(25);
        for (const Headline& h : parseContentReply(decodeText(store)).records)
            again.add(h);
        QCOMPARE(again.formatStore(), store);
    }
};

QTEST_GUILESS_MAIN(TestHeadlineList)
#include "tst_headlinelist.moc"
