// Desktop notices: their texts built from what the server sent, and the
// notifier against a stand-in notification service on a private session
// bus: what a notice carries, when the fallback runs, and which clicks
// count as ours.
#include "config/cdesktopnotifier.h"
#include "config/core/desktopnotice.h"
#include "tests/common/notificationstandin.h"
#include "tests/common/privatebus.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using Headlines = QList<QPair<QString, QString>>;

class TestCDesktopNotifier : public QObject
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

    void delivery_data()
    {
        if (!privatebus::available())
            QSKIP("no private session bus (dbus-run-session is missing)");
        QTest::addColumn<QStringList>("capabilities");
        QTest::addColumn<QString>("sentBody");
        const QStringList plain{QStringLiteral("body"), QStringLiteral("actions")};
        QTest::newRow("plain service gets the text as it is") << plain << "a <b> & c";
        QTest::newRow("markup service gets it escaped")
            << plain + QStringList(QStringLiteral("body-markup")) << "a &lt;b&gt; &amp; c";
    }

    void delivery()
    {
        QFETCH(QStringList, capabilities);
        QFETCH(QString, sentBody);

        auto standIn = std::make_unique<NotificationStandIn>(capabilities);
        QVERIFY(standIn->start());
        CDesktopNotifier notifier;
        QSignalSpy clicked(&notifier, &CDesktopNotifier::clicked);
        const DesktopNotice notice{QStringLiteral("Vulnerabilities"), QStringLiteral("a <b> & c")};
        int ran = 0;
        const auto fallback = [&ran] { ++ran; };
        // Sent back to back: the second of the group must wait for the first one's id,
        // the one of no group goes out meanwhile and replaces nothing.
        notifier.send(notice, this, fallback, QStringLiteral("news"));
        notifier.send(notice, this, fallback, QStringLiteral("news"));
        notifier.send(notice, this, fallback);
        QTRY_COMPARE(standIn->notices().size(), 3);
        const QList<RecordedNotice> sent = standIn->notices();
        QCOMPARE(sent.at(0).appName, QStringLiteral("Orvelle Pager"));
        QCOMPARE(sent.at(0).summary, QStringLiteral("Vulnerabilities"));
        QCOMPARE(sent.at(0).body, sentBody);
        QVERIFY(sent.at(0).actions.contains(QStringLiteral("default")));
        QCOMPARE(sent.at(1).replacesId, 0u);
        QCOMPARE(sent.at(2).replacesId, sent.at(0).id);

        // The reply carrying the id comes before these on the same connection.
        standIn->invokeAction(77u, QStringLiteral("default")); // someone else's notice
        standIn->invokeAction(sent.at(1).id, QStringLiteral("default"));
        QTRY_COMPARE(clicked.size(), 1);
        QTest::qWait(100);
        QCOMPARE(clicked.size(), 1);

        // Once the service is gone, the bus refuses the next Notify: the fallback runs.
        standIn.reset();
        notifier.send(notice, this, fallback);
        QTRY_COMPARE(ran, 1);
    }
};

PRIVATEBUS_TEST_MAIN(TestCDesktopNotifier, QCoreApplication)

#include "tst_cdesktopnotifier.moc"
