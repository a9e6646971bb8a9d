// The tooltip of a headline and the line shown while polls fail.
#include "pager/core/feedbacktext.h"

#include <QTest>

class TestFeedbackText : public QObject
{
    Q_OBJECT
private slots:
    void toolTip_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("timestamp");
        QTest::addColumn<QString>("expected"); // between "<qt>" and "</qt>"
        auto row = [](const char* what, const QString& title, const char* stamp,
                      const QString& shown) {
            QTest::newRow(what) << title << QString(stamp) << shown;
        };
        row("seconds stamp as UTC time", "Worm", "20261206101530", "Worm<br/>2026-12-06 10:15 UTC");
        row("markup escaped, free stamp as sent", "<b>bold</b> & co", "noon <i>",
            "&lt;b&gt;bold&lt;/b&gt; &amp; co<br/>noon &lt;i&gt;");
        row("runaway title cut", QString(5000, u'a'), "1", QString(997, u'a') + "...<br/>1");
    }

    void toolTip()
    {
        QFETCH(QString, title);
        QFETCH(QString, timestamp);
        QFETCH(QString, expected);
        QCOMPARE(headlineToolTip(title, timestamp), "<qt>" + expected + "</qt>");
    }

    void failureLine_data()
    {
        QTest::addColumn<bool>("answered");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<int>("daysAgo"); // of the last good poll at 14:05
        QTest::addColumn<QString>("expected");
        const QString down = "The server cannot be reached",
                      error = "The server answered with an error";
        QTest::newRow("no detail, good poll another day")
            << false << "" << 1 << down + ". Last good poll: 2026-12-06 14:05.";
        QTest::newRow("hostile status line made one short line, good poll today")
            << true << "HTTP/1.0 500 \r\nX: 1" + QString(200, u'x') << 0
            << error + " (HTTP/1.0 500 X: 1" + QString(60, u'x') + "...). Last good poll: 14:05.";
    }

    void failureLine()
    {
        QFETCH(bool, answered);
        QFETCH(QString, detail);
        QFETCH(int, daysAgo);
        QFETCH(QString, expected);
        const QDateTime now(QDate(2026, 12, 7), QTime(15, 0), Qt::UTC);
        const QDateTime lastGood(now.date().addDays(-daysAgo), QTime(14, 5), Qt::UTC);
        QCOMPARE(pollFailureLine(answered ? PollFailure::ErrorReply : PollFailure::Unreachable,
                                 detail, lastGood, now),
                 expected);
    }
};

QTEST_GUILESS_MAIN(TestFeedbackText)
#include "tst_feedbacktext.moc"
