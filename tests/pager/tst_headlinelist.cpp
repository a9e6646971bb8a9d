#include "pager/core/headlinelist.h"
#include "pager/core/textencoding.h"

#include <QTest>

class TestHeadlineList : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void merge_data();
    void merge();
    void noteCategory_data();
    void noteCategory();
    void storeRoundTrip();
};

namespace {

QString record(int id, int top, const QString& ts, const QString& extra = QString())
{
    return QStringLiteral("<headline><category>1</category><link>http://x/%1</link>"
                          "<title>T%1</title><id>%1</id><timestamp>%3</timestamp>"
                          "<topcategory>%2</topcategory>%4</headline>\n")
        .arg(id)
        .arg(top)
        .arg(ts, extra);
}

QString reply(const QString& records)
{
    return QStringLiteral("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n<topnews>\n") +
           records + QStringLiteral("</topnews>");
}

// "top:id[*]" per kept headline, categories separated by "|"; * marks new.
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

} // namespace

void TestHeadlineList::parse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("old");
    QTest::addColumn<QString>("ids");

    QTest::newRow("newflag 0 and abc are seen, 2 is new")
        << reply(record(1, 10, "01", "<newflag>0</newflag>") +
                 record(2, 10, "02", "<newflag>abc</newflag>") +
                 record(3, 10, "03", "<newflag>2</newflag>"))
        << false << "1 2 3*";
    QTest::newRow("missing field or id not a number skipped")
        << reply(QStringLiteral("<headline><link>l</link><title>t</title><id>4</id>"
                                "<timestamp>1</timestamp><topcategory>1</topcategory></headline>") +
                 record(5, 1, "1").replace("<id>5<", "<id>5x<") + record(6, 1, "1"))
        << false << "6*";
    QTest::newRow("old category marker")
        << reply("<!-- error old category file -->" + record(1, 1, "1")) << true << "";
    QTest::newRow("cut-off reply") << reply(record(1, 1, "1")).left(90) << false << "";
}

void TestHeadlineList::parse()
{
    QFETCH(QString, text);
    QFETCH(bool, old);
    QFETCH(QString, ids);
    const ContentReply parsed = parseContentReply(text);
    QCOMPARE(parsed.oldCategoryFile, old);
    QStringList got;
    for (const Headline& h : parsed.records)
        got << QString::number(h.id) + (h.isNew ? "*" : "");
    QCOMPARE(got.join(u' '), ids);
}

// An optional first round at count 5, then the count and seen marks
// ("top:id") changed, then the round under test.
void TestHeadlineList::merge_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("seen");
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<QString>("gained");

    QTest::newRow("newest first, timestamps compared as text")
        << "" << 5 << "" << record(1, 10, "10") + record(2, 10, "0002") + record(3, 10, "9")
        << "|3*,1*,2*|"
        << "10,10,10";
    QTest::newRow("same id twice keeps the first")
        << "" << 5 << "" << record(1, 10, "0001") + record(1, 10, "0009") << "|1*|"
        << "10";
    QTest::newRow("newcomer that is the oldest is dropped at once")
        << "" << 2 << "" << record(1, 10, "0005") + record(2, 10, "0006") + record(3, 10, "0001")
        << "|2*,1*|"
        << "10,10";
    QTest::newRow("unselected category dropped, announcements kept")
        << "" << 5 << "" << record(1, 77, "0001") + record(2, 20001, "0001") << "2*||"
        << "20001";
    QTest::newRow("equal timestamps: the newcomer goes after")
        << "" << 5 << "" << record(1, 10, "0005") + record(2, 10, "0005") << "|1*,2*|"
        << "10,10";
    QTest::newRow("equal timestamps at the limit: the first of them is dropped")
        << "" << 2 << "" << record(1, 10, "0005") + record(2, 10, "0005") + record(3, 10, "0005")
        << "|2*,3*|"
        << "10,10,10";
    const QString three = record(1, 10, "0001") + record(2, 10, "0002") + record(3, 10, "0003");
    QTest::newRow("a lowered count trims the categories before the match")
        << three << 2 << "" << record(9, 20, "0009") << "|3*,2*|9*"
        << "20";
    QTest::newRow("a category after the match keeps its count until its turn")
        << three << 2 << "" << record(9, 20001, "0009") << "9*|3*,2*,1*|"
        << "20001";
    QTest::newRow("seen is scoped to its top category")
        << record(5, 10, "0001") + record(5, 20, "0001") << 5 << "10:5"
        << ""
        << "|5|5*"
        << "";
}

void TestHeadlineList::merge()
{
    QFETCH(QString, first);
    QFETCH(int, limit);
    QFETCH(QString, seen);
    QFETCH(QString, content);
    QFETCH(QString, kept);
    QFETCH(QString, gained);

    CHeadlineList list;
    list.setCategories({{20001, "announcements"}, {10, "Ten"}, {20, "Twenty"}});
    list.setLimit(5);
    for (const Headline& h : parseContentReply(reply(first)).records)
        list.add(h);
    list.setLimit(limit);
    if (!seen.isEmpty())
        list.setSeen(seen.section(u':', 0, 0).toInt(), seen.section(u':', 1).toInt());
    QStringList gains;
    for (const Headline& h : parseContentReply(reply(content)).records) {
        const CHeadlineList::AddResult r = list.add(h);
        if (r.category >= 0)
            gains << QString::number(list.categories().at(r.category).id);
    }
    QCOMPARE(describe(list), kept);
    QCOMPARE(gains.join(u','), gained);
}

void TestHeadlineList::noteCategory_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("list");
    QTest::newRow("part of a listed name is still listed")
        << QStringList{"Linux Kernel", "Linux"} << "Linux Kernel, Linux";
    QTest::newRow("name holding the separator, once per headline")
        << QStringList{"Viruses, Worms", "Viruses, Worms", "Viruses"} << "Viruses, Worms, Viruses";
}

void TestHeadlineList::noteCategory()
{
    QFETCH(QStringList, names);
    QFETCH(QString, list);
    QStringList noted;
    for (const QString& n : names)
        noteNewCategory(noted, n);
    QCOMPARE(noted.join(QStringLiteral(", ")), list);
}

void TestHeadlineList::storeRoundTrip()
{
    CHeadlineList list;
    list.setCategories({{20001, "announcements"}, {10, "Ten"}});
    list.setLimit(25);
    const QList<Headline> input = {
        {"A <b> & co", "http://h/a?x=1&y=2", "20261206120000", 1, 10, true},
        {"B", "http://h/b", "20261206130000", 2, 10, false},
        {QString::fromLatin1("Caf\xe9"), "http://h/c", "20261201000000", 3, 20001, true},
    };
    for (const Headline& h : input)
        list.add(h);
    list.setSeen(10, 1);
    const QByteArray store = list.formatStore();
    QVERIFY(store.contains("\t<title>A <b> & co</title>\n")); // values are not escaped

    CHeadlineList again;
    again.setCategories({{20001, "announcements"}, {10, "Ten"}});
    again.setLimit(25);
    for (const Headline& h : parseContentReply(decodeText(store)).records)
        again.add(h);
    QCOMPARE(again.formatStore(), store);
    QCOMPARE(describe(again), QStringLiteral("3*|2,1"));
}

QTEST_GUILESS_MAIN(TestHeadlineList)
#include "tst_headlinelist.moc"
