#include "pager/core/ctaggedwalker.h"
#include "pager/core/taggedtext.h"

#include <QTest>

class TestTaggedText : public QObject
{
    Q_OBJECT
private slots:
    void take_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QStringList>("values"); // every value taken, in order
        QTest::addColumn<QString>("left");       // the source afterwards

        // A row that takes nothing leaves its source as it was.
        auto row = [](const char* what, const char* name, const QString& source,
                      const QStringList& values, const QString& left = {}) {
            QTest::newRow(what) << QString(name) << source << values
                                << (values.isEmpty() ? source : left);
        };
        row("attributes skipped; letter digit slash after name", "title",
            "<titlex>1</titlex><title2>2</title2><title/>3<title lang=\"en\">4</title>", {"4"},
            "<titlex>1</titlex><title2>2</title2><title/>3");
        row("letter case ignored", "title", "a<TITLE>x</TiTlE>b", {"x"}, "ab");
        row("same-name nesting ends at the inner close", "a", "<a>1<a>2</a>3</a>", {"1<a>2"},
            "3</a>");
        row("closing tag before opening tag", "a", "</a><a>x</a>", {});
        row("value unchanged", "a", "<a> &amp; \n<b>x</b> </a>", {" &amp; \n<b>x</b> "});
        row("cut-off input", "headline", "<headline>1</headline><headline>2</head", {"1"},
            "<headline>2</head");
        row("opening tag runs past the close", "a", "<a </a>", {});
        row("join forms a new tag", "ab", "<a<ab>1</ab>b>2</ab>", {"1", "2"});
    }

    void take()
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

        // The walker and the in-place field reader must give what repeated takes give.
        CTaggedWalker walker(name, source);
        QStringList walked;
        QStringView view;
        for (bool asView = false;; asView = !asView) {
            if (asView ? !walker.take(view) : !walker.take(value))
                break;
            walked << (asView ? view.toString() : value);
        }
        QCOMPARE(walked, values);
        QCOMPARE(walker.remaining(), left);

        const QByteArray latin = name.toLatin1();
        const QLatin1String names[] = {QLatin1String(latin), QLatin1String(latin)};
        QStringView fields[2];
        bool found[2];
        QString store;
        takeTaggedValues(source, names, 2, fields, found, store);
        QStringList fielded;
        for (int i = 0; i < 2 && found[i]; ++i)
            fielded << fields[i].toString();
        QCOMPARE(fielded, values.mid(0, 2));
    }

    void strip()
    {
        // A tag of 199 characters goes, one of 200 stays and stripping goes on
        // after it; an unclosed "<" stays with the text after it.
        const QString longTag = u'<' + QString(200, u'x') + u'>';
        QString text = "1<" + QString(199, u'x') + ">2" + longTag + "<i>x</i> a<b>c<d";
        stripMarkup(text);
        QCOMPARE(text, "12" + longTag + "x ac<d");
    }
};

QTEST_GUILESS_MAIN(TestTaggedText)
#include "tst_taggedtext.moc"
