// The tooltip of a headline and the line shown while polls fail.
#include "pager/core/feedbacktext.h"

#include <QTest>

class TestFeedbackText : public QObject
{
    Q_OBJECT
private slots:
    void toolTip_data();
    void toolTip();
    void failureLine_data();
    void failureLine();
};

void TestFeedbackText::toolTip_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("timestamp");
    QTest::addColumn<QString>("expected");
    QTest::newRow("seconds stamp as UTC time") << "Worm"
                                               << "20261206101530"
                                               << "<qt>Worm<br/>2026-12-06 10:15 UTC</qt>";
    QTest::newRow("markup escaped, free stamp as sent")
        << "<b>bold</b> & co"
        << "noon <i>"
        << "<qt>&lt;b&gt;bold&lt;/b&gt; &amp; co<br/>noon &lt;i&gt;</qt>";
    QTest::newRow("impossible date as sent") << "T"
                                             << "202613451015"
                                             << "<qt>T<br/>202613451015</qt>";
    QTest::newRow("runaway title cut") << QString(5000, u'a') << "1"
                                       << "<qt>" + QString(997, u'a') + "...<br/>1</qt>";
}

void TestFeedbackText::toolTip()
{
    QFETCH(QString, title);
    QFETCH(QString, timestamp);
    QFETCH(QString, expected);
    QCOMPARE(headlineToolTip(title, timestamp), expected);
}

void TestFeedbackText::failureLine_data()
{
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QDateTime>("lastGood");
    QTest::addColumn<QString>("expected");
    const QDateTime today(QDate(2026, 12, 7), QTime(14, 5), Qt::UTC);
    const QString lastToday = " Last good poll: 14:05.";
    QTest::newRow("refused before any good poll")
        << false << "Connection refused" << QDateTime()
        << "The server cannot be reached (Connection refused). No poll has succeeded since the "
           "pager started.";
    QTest::newRow("error reply, good poll today")
        << true << "HTTP/1.0 500 Oops" << today
        << "The server answered with an error (HTTP/1.0 500 Oops)." + lastToday;
    QTest::newRow("no detail, good poll another day")
        << false << "" << today.addDays(-1)
        << "The server cannot be reached. Last good poll: 2026-12-06 14:05.";
    QTest::newRow("hostile status line made one short line")
        << true << "HTTP/1.0 500 \r\nX: 1" + QString(200, u'x') << today
        << "The server answered with an error (HTTP/1.0 500 X: 1" + QString(60, u'x') + "...)." +
               lastToday;
}

void TestFeedbackText::failureLine()
{
    QFETCH(bool, answered);
    QFETCH(QString, detail);
    QFETCH(QDateTime, lastGood);
    QFETCH(QString, expected);
    const QDateTime now(QDate(2026, 12, 7), QTime(15, 0), Qt::UTC);
    QCOMPARE(pollFailureLine(answered ? PollFailure::ErrorReply : PollFailure::Unreachable, detail,
                             lastGood, now),
             expected);
}

QTEST_GUILESS_MAIN(TestFeedbackText)
#include "tst_feedbacktext.moc"
