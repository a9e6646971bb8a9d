// The texts of a desktop notice built from what the server sent.
#include "config/core/desktopnotice.h"

#include <QTest>

using Headlines = QList<QPair<QString, QString>>;

class TestDesktopNotice : public QObject
{
    Q_OBJECT
private slots:
    void headlines_data()
    {
        QTest::addColumn<Headlines>("news");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("body");

        const QString vulns = QStringLiteral("Vulnerabilities");
        QTest::newRow("one headline: its category and title, control characters as blanks")
            << Headlines{{vulns, QStringLiteral("a\nb\tc\x1b[31md\u2028e")}} << vulns
            << QStringLiteral("a b c [31md e");
        Headlines many;
        for (int i = 1; i <= 8; ++i)
            many.append({vulns, QString::number(i)});
        QTest::newRow("more than five: the rest counted")
            << many << QStringLiteral("New Orvelle Pager content")
            << QStringLiteral("Vulnerabilities: 1\nVulnerabilities: 2\nVulnerabilities: 3\n"
                              "Vulnerabilities: 4\nVulnerabilities: 5\nand 3 more");
        QTest::newRow("overlong title cut")
            << Headlines{{vulns, QString(5000, u'x')}} << vulns << QString(maxNoticeLine, u'x');
    }

    void headlines()
    {
        QFETCH(Headlines, news);
        QFETCH(QString, summary);
        QFETCH(QString, body);
        const DesktopNotice notice = headlineNotice(news);
        QCOMPARE(notice.summary, summary);
        QCOMPARE(notice.body, body);
    }

    void alertKeepsItsLinesWithinBounds()
    {
        const DesktopNotice notice =
            alertNotice(QStringLiteral("Caption\r"),
                        "first\n\nthird\r\n" + (QString(99, u'y') + u'\n').repeated(1000));
        QCOMPARE(notice.summary, QStringLiteral("Caption"));
        QCOMPARE(notice.body.split(u'\n').mid(0, 3), QStringList({"first", "", "third"}));
        QVERIFY(notice.body.size() <= 2000);
    }
};

QTEST_GUILESS_MAIN(TestDesktopNotice)
#include "tst_desktopnotice.moc"
