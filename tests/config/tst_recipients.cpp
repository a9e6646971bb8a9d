// Recipient lists of the vulnerability e-mails, without a display.
#include "config/core/recipients.h"

#include <QProcess>
#include <QTest>

class TestRecipients : public QObject
{
    Q_OBJECT
private slots:
    void lists_data();
    void lists();
    void quotedWordsStayWhole();
};

void TestRecipients::lists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("addresses"); // empty: refused

    QTest::newRow("one address") << "ops@site.example" << QStringList{"ops@site.example"};
    QTest::newRow("blanks, tabs and commas mixed")
        << " a@x.example ,\tb_c+d@y-z.example  e.f@g.example, "
        << QStringList{"a@x.example", "b_c+d@y-z.example", "e.f@g.example"};
    QTest::newRow("blanks only") << "   " << QStringList();
    QTest::newRow("command substitution") << "$(touch /tmp/x)@x.example" << QStringList();
    QTest::newRow("option after a good one") << "a@x.example -c" << QStringList();
    QTest::newRow("new line") << "a@x.example\nb@y.example" << QStringList();
    QTest::newRow("non-ASCII letter") << QStringLiteral("j\u00f6rg@x.example") << QStringList();
}

void TestRecipients::lists()
{
    QFETCH(QString, text);
    QFETCH(QStringList, addresses);

    QCOMPARE(isValidRecipientList(text), !addresses.isEmpty());
    QCOMPARE(recipientAddresses(text), addresses);
    QStringList quoted;
    for (const QString& a : addresses)
        quoted << u'\'' + a + u'\'';
    QCOMPARE(shellQuotedRecipients(text), quoted.join(u' '));
}

void TestRecipients::quotedWordsStayWhole()
{
    // What a shell makes of the quoted list: one argument per address.
    const QString words = shellQuotedRecipients(QStringLiteral("a@x.example, b+c@y.example d"));
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"),
             {QStringLiteral("-c"), QStringLiteral("printf '[%s]' ") + words});
    QVERIFY(sh.waitForFinished(5000));
    QCOMPARE(sh.readAllStandardOutput(), QByteArray("[a@x.example][b+c@y.example][d]"));
}

QTEST_GUILESS_MAIN(TestRecipients)
#include "tst_recipients.moc"
