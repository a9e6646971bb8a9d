// The tooltip of a headline and the line shown while polls fail.
#include "pager/core/feedbacktext.h"

#include <QTest>

Q_DECLARE_METATYPE(PollFailure)

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
    const QString long5000(5000, u'a');
    QTest::newRow("seconds stamp as UTC time")
        << "Worm in the relay"
        << "20261206101530"
        << "<qt>Worm in the relay<br/>2026-12-06 10:15 UTC</qt>";
    QTest::newRow("minutes stamp") << "T"
                                   << "202612061010"
                                   << "<qt>T<br/>2026-12-06 10:10 UTC</qt>";
    QTest::newRow("markup in title and stamp escaped")
        << "<b>bold</b> & co"
        << "noon <i>"
        << "<qt>&lt;b&gt;bold&lt;/b&gt; &amp; co<br/>noon &lt;i&gt;</qt>";
    QTest::newRow("impossible date shown as sent") << "T"
                                                   << "20261345101530"
                                                   << "<qt>T<br/>20261345101530</qt>";
    QTest::newRow("line breaks flattened") << "two\nlines\t"
                                           << "x\r\ny"
                                           << "<qt>two lines<br/>x y</qt>";
    QTest::newRow("runaway title cut") << long5000 << "1"
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
    QTest::addColumn<PollFailure>("failure");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QDateTime>("lastGood");
    QTest::addColumn<QString>("expected");
    const QDateTime today(QDate(2026, 12, 7), QTime(14, 5), Qt::UTC);
    QTest::newRow("refused before any good poll")
        << PollFailure::Unreachable << "Connection refused" << QDateTime()
        << "The server cannot be reached (Connection refused). No poll has succeeded since the "
           "pager started.";
    QTest::newRow("error reply, good poll today")
        << PollFailure::ErrorReply << "HTTP/1.0 500 Internal Server Error" << today
        << "The server answered with an error (HTTP/1.0 500 Internal Server Error). Last good "
           "poll: 14:05.";
    QTest::newRow("good poll on another day")
        << PollFailure::Unreachable << "" << today.addDays(-1).addSecs(-60)
        << "The server cannot be reached. Last good poll: 2026-12-06 14:04.";
    QTest::newRow("hostile status line kept to one short line")
        << PollFailure::ErrorReply << "HTTP/1.0 500 \r\nX-Evil: 1" + QString(200, u'x') << today
        << "The server answered with an error (HTTP/1.0 500 X-Evil: 1" + QString(55, u'x') +
               "...). Last good poll: 14:05.";
}

void TestFeedbackText::failureLine()
{
    QFETCH(PollFailure, failure);
    QFETCH(QString, detail);
    QFETCH(QDateTime, lastGood);
    QFETCH(QString, expected);
    const QDateTime now(QDate(2026, 12, 7), QTime(15, 0), Qt::UTC);
    QCOMPARE(pollFailureLine(failure, detail, lastGood, now), expected);
}

QTEST_GUILESS_MAIN(TestFeedbackText)
#include "tst_feedbacktext.moc"
