#include "pager/core/ctaggedwalker.h"
#include "pager/core/taggedtext.h"

#include <QRandomGenerator>
#include <QTest>

class TestTaggedText : public QObject
{
    Q_OBJECT
private slots:
    void take_data();
    void take();
    void strip_data();
    void strip();
    void walkerMatchesRepeatedTakes();
    void fieldsMatchRepeatedTakes();
};

void TestTaggedText::take_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QStringList>("values"); // every value taken, in order
    QTest::addColumn<QString>("left");       // the source afterwards

    QTest::newRow("plain") << "title"
                           << "a<title>x</title>b" << QStringList{"x"} << "ab";
    QTest::newRow("attributes skipped") << "title"
                                        << "<title lang=\"en\">x</title>" << QStringList{"x"} << "";
    QTest::newRow("letter digit slash after name")
        << "title"
        << "<titlex>1</titlex><title2>2</title2><title/>3<title>4</title>" << QStringList{"4"}
        << "<titlex>1</titlex><title2>2</title2><title/>3";
    QTest::newRow("blank before name")
        << "title"
        << "< title>x</title>" << QStringList{} << "< title>x</title>";
    QTest::newRow("letter case ignored") << "title"
                                         << "<TITLE>x</TiTlE>" << QStringList{"x"} << "";
    QTest::newRow("two in a row then none")
        << "headline"
        << "HTTP/1.0 200 OK\r\n\r\n<headline>1</headline>\n<headline>2</headline>\n"
        << QStringList{"1", "2"} << "HTTP/1.0 200 OK\r\n\r\n\n\n";
    QTest::newRow("comment inside value kept")
        << "topnews"
        << "<topnews><!-- error old category file --></topnews>"
        << QStringList{"<!-- error old category file -->"} << "";
    QTest::newRow("same-name nesting ends at the inner close")
        << "a"
        << "<a>1<a>2</a>3</a>" << QStringList{"1<a>2"} << "3</a>";
    QTest::newRow("closing tag before opening tag")
        << "a"
        << "</a><a>x</a>" << QStringList{} << "</a><a>x</a>";
    QTest::newRow("value unchanged")
        << "a"
        << "<a> &amp; \n<b>x</b> </a>" << QStringList{" &amp; \n<b>x</b> "} << "";
    QTest::newRow("cut-off input")
        << "headline"
        << "<headline>1</headline><headline>2</head" << QStringList{"1"} << "<headline>2</head";
    QTest::newRow("opening tag runs past the close") << "a"
                                                     << "<a </a>" << QStringList{} << "<a </a>";
    QTest::newRow("garbage") << "a"
                             << "<<<>>></</<a<a>" << QStringList{} << "<<<>>></</<a<a>";
    QTest::newRow("join forms a new tag") << "ab"
                                          << "<a<ab>1</ab>b>2</ab>" << QStringList{"1", "2"} << "";
}

void TestTaggedText::take()
{
    QFETCH(QString, name);
    QFETCH(QString, source);
    QFETCH(QStringList, values);
    QFETCH(QString, left);

    QString text = source;
    QStringList got;
    QString value = QStringLiteral("untouched");
    while (takeTaggedValue(name, text, value))
        got << value;
    QCOMPARE(got, values);
    QCOMPARE(text, left);
    if (values.isEmpty())
        QCOMPARE(value, QStringLiteral("untouched"));

    CTaggedWalker walker(name, source);
    QStringList walked;
    while (walker.take(value))
        walked << value;
    QCOMPARE(walked, values);
    QCOMPARE(walker.remaining(), left);
}

void TestTaggedText::strip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("stripped");
    const QString longTag = u'<' + QString(200, u'x') + u'>';
    QTest::newRow("word in two tags") << "a <b>bold</b> c"
                                      << "a bold c";
    QTest::newRow("199 characters removed") << "1<" + QString(199, u'x') + ">2"
                                            << "12";
    QTest::newRow("200 characters kept, stripping goes on")
        << longTag + "<i>x</i>" << longTag + "x";
    QTest::newRow("unclosed < stays") << "a<b>c<d"
                                      << "ac<d";
    QTest::newRow("no tags") << "plain"
                             << "plain";
}

void TestTaggedText::strip()
{
    QFETCH(QString, text);
    QFETCH(QString, stripped);
    stripMarkup(text);
    QCOMPARE(text, stripped);
}

namespace {

// The reader written the obvious way, to hold the fast one to.
bool referenceTake(const QString& name, QString& source, QString& value)
{
    auto find = [&](const QString& pattern) -> qsizetype {
        for (qsizetype from = 0;;) {
            const qsizetype at = source.indexOf(pattern, from, Qt::CaseInsensitive);
            if (at < 0)
                return -1;
            const qsizetype after = at + pattern.size();
            if (after < source.size() && (source[after] == u' ' || source[after] == u'>'))
                return at;
            from = after;
        }
    };
    const QString open = "<" + name, close = "</" + name;
    const qsizetype openAt = find(open), closeAt = find(close);
    if (openAt < 0 || closeAt <= openAt)
        return false;
    const qsizetype openEnd = source.indexOf(u'>', openAt + open.size());
    const qsizetype closeEnd = source.indexOf(u'>', closeAt + close.size());
    if (openEnd < 0 || closeEnd < 0 || openEnd >= closeAt)
        return false;
    value = source.mid(openEnd + 1, closeAt - openEnd - 1);
    source.remove(openAt, closeEnd - openAt + 1);
    return true;
}

} // namespace

void TestTaggedText::walkerMatchesRepeatedTakes()
{
    // Small alphabet rich in tag characters, so joins and near-misses abound.
    const QStringList pieces = {"<",     ">",    "/",  " ",   "a",      "b",
                                "A",     "B",    "x",  "<ab", "</ab",   "<ab>",
                                "</ab>", "<aB ", "b>", "\n",  "\u00e1", "<\u00c1b"};
    const quint32 seed = 20261206;
    QRandomGenerator random(seed);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = random.bounded(1, 40);
        for (int i = 0; i < length; ++i)
            text += pieces.at(random.bounded(int(pieces.size())));

        QString reference = text;
        QStringList expected;
        QString value;
        while (referenceTake(QStringLiteral("ab"), reference, value))
            expected << value;

        QString taken = text;
        QStringList takes;
        while (takeTaggedValue(QStringLiteral("ab"), taken, value))
            takes << value;
        QCOMPARE(takes, expected);
        QCOMPARE(taken, reference);

        // Walked in place inside a longer text, as a reply body is.
        const QString framed = QStringLiteral("<ab>x</ab>") + text + QStringLiteral("</ab>");
        CTaggedWalker walker(QStringLiteral("ab"), framed, 10, 10 + text.size());
        QStringList got;
        QStringView view;
        // Views and copies in turn, so each follows the other's joins.
        for (bool asView = false;; asView = !asView) {
            if (asView ? !walker.take(view) : !walker.take(value))
                break;
            got << (asView ? view.toString() : value);
        }
        if (got != expected || walker.remaining() != reference)
            QFAIL(qPrintable(QStringLiteral("round ") + QString::number(round) + " text \"" + text +
                             "\": walked " + got.join(u'|') + ", expected " + expected.join(u'|')));
    }
}

void TestTaggedText::fieldsMatchRepeatedTakes()
{
    // Names that are prefixes of each other, tags cut and nested, joins.
    const QStringList pieces = {
        "<a>", "</a>", "<ab>", "</ab>", "<b>", "</b>", "<a ",      "<",           ">",         "x",
        "</",  "<A>",  "</B>", "<b",    " ",   "<ab",  "<a>x</a>", "<b z>y</b >", "<AB>z</ab>"};
    const QLatin1String names[] = {QLatin1String("a"), QLatin1String("ab"), QLatin1String("b"),
                                   QLatin1String("a")};
    QRandomGenerator random(20261207);
    for (int round = 0; round < 20000; ++round) {
        QString text;
        const int length = random.bounded(1, 8);
        for (int i = 0; i < length; ++i)
            text += pieces.at(random.bounded(int(pieces.size())));

        QString source = text, value;
        QStringList expected;
        for (const QLatin1String name : names)
            expected << (takeTaggedValue(name, source, value) ? value : QStringLiteral("-"));

        QStringView values[4];
        bool found[4];
        QString store;
        takeTaggedValues(text, names, 4, values, found, store);
        QStringList got;
        for (int i = 0; i < 4; ++i)
            got << (found[i] ? values[i].toString() : QStringLiteral("-"));
        if (got != expected)
            QFAIL(qPrintable("text \"" + text + "\": " + got.join(u'|') + ", expected " +
                             expected.join(u'|')));
    }
}

QTEST_GUILESS_MAIN(TestTaggedText)
#include "tst_taggedtext.moc"
