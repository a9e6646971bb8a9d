// What the abstract pane says while the server cannot be reached or answers
// with an error, and while an abstract is on its way; a headline's tooltip.
#include "pager/cpager.h"
#include "tests/common/childprocess.h"
#include "tests/common/httpstandin.h"
#include "tests/common/replies.h"

#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QTreeWidget>

class TestPollFeedback : public QObject
{
    Q_OBJECT
private slots:
    void abstractPane();
};

void TestPollFeedback::abstractPane()
{
    const QByteArray poll = "GET /pagerv3/pager_info.html";
    const QString version = QStringLiteral("Orvelle Pager\nVersion 3.0");
    TempHome home;
    HttpStandIn server(replies::notFound);
    QVERIFY(server.listen());
    server.keepPort();
    server.close(); // refuses connections to begin with
    QVERIFY(home.write(QStringLiteral("category.dat"), replies::categories));
    QVERIFY(home.write(QStringLiteral("ovpager.cfg"), replies::settings(false)));
    childprocess::setPagerEnvironment(home.path(), server.address());

    CPager pager;
    QTextBrowser* pane = pager.abstractPane();
    QTRY_COMPARE(pane->toPlainText(),
                 version + "\nThe server cannot be reached (Connection refused). No poll has "
                           "succeeded since the pager started.");

    QVERIFY(server.listen(server.port()));
    server.route(poll, "HTTP/1.0 500 Oops\r\n\r\n");
    pager.slotUpdateContent();
    QTRY_COMPARE(pane->toPlainText(), version + "\nThe server answered with an error (HTTP/1.0 "
                                                "500 Oops). No poll has succeeded since the "
                                                "pager started.");

    server.route(poll, replies::ok(replies::topnews(replies::headline(1, 10, "202612061010", 1) +
                                                    replies::headline(1, 11, "202612061011", 1))));
    pager.slotUpdateContent();
    QTRY_COMPARE(pane->toPlainText(), version); // a good poll ends the error line

    QTreeWidget* list = pager.headlines();
    QTreeWidgetItem* category = list->findItems("Vulnerabilities", Qt::MatchExactly).value(0);
    QTRY_VERIFY(category && category->childCount() == 2);
    QCOMPARE(category->child(0)->toolTip(0),
             QStringLiteral("<qt>Item 11 of 1<br/>2026-12-06 10:11 UTC</qt>"));
    server.answers << Answer{replies::ok("<body>First abstract</body>\n"), 20};
    list->setCurrentItem(category->child(0));
    QCOMPARE(pane->toPlainText(), QStringLiteral("Loading..."));
    QTRY_COMPARE(pane->toPlainText(), QStringLiteral("First abstract"));

    // While the server is away, the next abstract never comes: the pane says why.
    server.close();
    list->setCurrentItem(category->child(1));
    QCOMPARE(pane->toPlainText(), QStringLiteral("Loading..."));
    QTRY_VERIFY(pane->toPlainText().startsWith(version));
    QVERIFY2(QRegularExpression("\nThe server cannot be reached \\(Connection refused\\)\\. Last "
                                "good poll: \\d\\d:\\d\\d\\.$")
                 .match(pane->toPlainText())
                 .hasMatch(),
             qPrintable(pane->toPlainText()));
}

QTEST_MAIN(TestPollFeedback)
#include "tst_pollfeedback.moc"
