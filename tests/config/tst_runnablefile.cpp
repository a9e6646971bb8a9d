// Which files may be proposed or accepted as the browser and the mailer,
// and which recipient lists for the mailer's command line.
#include "config/core/recipients.h"
#include "config/core/runnablefile.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestRunnableFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char* name : {"tool", "text"})
            QVERIFY(QFile(path(name)).open(QIODevice::WriteOnly));
        QVERIFY(QFile::setPermissions(path("tool"), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QDir().mkdir(path("folder")));
        QVERIFY(QFile::link(path("tool"), path("link")));
    }

    void runnable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("runnable");
        QTest::newRow("executable file") << path("tool") << true;
        QTest::newRow("link to one") << path("link") << true;
        QTest::newRow("not executable") << path("text") << false;
        QTest::newRow("directory") << path("folder") << false;
        QTest::newRow("missing") << path("nothing") << false;
    }

    void runnable()
    {
        QFETCH(QString, file);
        QFETCH(bool, runnable);
        QCOMPARE(isRunnableFile(file), runnable);
        // The first runnable candidate is proposed, or none.
        QCOMPARE(firstRunnableFile({path("text"), file, path("tool")}),
                 runnable ? file : path("tool"));
        QCOMPARE(firstRunnableFile({path("text"), file}), runnable ? file : QString());
    }

    void recipients_data()
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

    void recipients()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, addresses);

        QCOMPARE(isValidRecipientList(text), !addresses.isEmpty());
        // What a shell makes of the quoted list: one argument per address.
        QProcess sh;
        sh.start(
            QStringLiteral("/bin/sh"),
            {QStringLiteral("-c"), QStringLiteral("printf '[%s]' ") + shellQuotedRecipients(text)});
        QVERIFY(sh.waitForFinished(5000));
        QString words = addresses.isEmpty() ? QStringLiteral("[]") : QString();
        for (const QString& a : addresses)
            words += u'[' + a + u']';
        QCOMPARE(QString::fromUtf8(sh.readAllStandardOutput()), words);
    }

private:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestRunnableFile)
#include "tst_runnablefile.moc"
