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
};

void TestRecipients::lists_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("addresses"); // empty: refused

    QTest::newRow("blanks, tabs and commas mixed")
        << " a@x.example ,\tb_c+d@y-z.example  e.f@g.example, d"
        << QStringList{"a@x.example", "b_c+d@y-z.example", "e.f@g.example", "d"};
    QTest::newRow("blanks only") << "   " << QStringList();
    QTest::newRow("command substitution") << "$(touch /tmp/x)@x.example" << QStringList();
    QTest::newRow("option after a good one") << "a@x.example -c" << QStringList();
}

void TestRecipients::lists()
{
    QFETCH(QString, text);
    QFETCH(QStringList, addresses);

    QCOMPARE(isValidRecipientList(text), !addresses.isEmpty());
    QCOMPARE(recipientAddresses(text), addresses);
    // What a shell makes of the quoted list: one argument per address.
    QProcess sh;
    sh.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), QStringLiteral("printf '[%s]' ") +
                                                                   shellQuotedRecipients(text)});
    QVERIFY(sh.waitForFinished(5000));
    QString words = addresses.isEmpty() ? QStringLiteral("[]") : QString();
    for (const QString& a : addresses)
        words += u'[' + a + u']';
    QCOMPARE(QString::fromUtf8(sh.readAllStandardOutput()), words);
}

QTEST_GUILESS_MAIN(TestRecipients)
#include "tst_recipients.moc"
