// The settings without a display: reading and writing "ovpager.cfg" and
// "notify.cfg", which files may be proposed or accepted as the browser and
// the mailer, and which recipient lists for the mailer's command line.
#include "config/core/notifyoptions.h"
#include "config/core/recipients.h"
#include "config/core/runnablefile.h"
#include "config/core/settingsfile.h"
#include "tests/common/testfiles.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(DesktopNotices)

namespace {

const QStringList keys = QString("numitems pollinterval browserpath flashicon popup skin vulnpopup "
                                 "verbosenotify briefnotify configrestart verboseemail briefemail "
                                 "mailer")
                             .split(u' ');
const char sample[] = "12|30|/opt/web/browse|1|0|Slate|1|1|0|1|ops@site.example|me@site.example|"
                      "/usr/bin/mail -s \"Subject\"";

// A settings text: the sample with `changes` ("key=value"; a bare key
// leaves its element out, as does the value "-"), in the file's own layout.
QString settings(const QStringList& changes = {}, const char* base = sample)
{
    QStringList values = QString(base).split(u'|');
    for (const QString& c : changes)
        values[keys.indexOf(c.section(u'=', 0, 0))] = c.contains(u'=') ? c.section(u'=', 1) : "-";
    QString text = QStringLiteral("<config>\n");
    for (int i = 0; i < keys.size(); ++i)
        if (values.at(i) != u'-')
            text += QString("\t<%1>%2</%1>\n").arg(keys.at(i), values.at(i));
    return text + QStringLiteral("</config>\n");
}

// Nothing read: every setting at its default.
const QString defaults = settings({}, "5|15||0|1||0|0|0|0|||");

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        for (const char* name : {"tool", "text"})
            QVERIFY(QFile(path(name)).open(QIODevice::WriteOnly));
        QVERIFY(QFile::setPermissions(path("tool"), QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(QFile::link(path("tool"), path("link")));
    }

    void runnable_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("runnable");
        QTest::newRow("executable file") << path("tool") << true;
        QTest::newRow("link to one") << path("link") << true;
        QTest::newRow("missing") << path("nothing") << false;
    }

    void runnable()
    {
        QFETCH(QString, file);
        QFETCH(bool, runnable);
        // The first runnable candidate is proposed, or none; the first is never one.
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

    void reading_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("groups"); // complete groups read
        QTest::addColumn<QString>("values");

        const QString top = settings({}, "25|60|/b r/\u00f6\"w'ser & <x>|1|1|Max|1|1|1|1|"
                                         "a@b.example, c@d.example|e@f.example|mail -s \"A; B\"");
        QTest::newRow("upper limits, flags on, specials") << top << 2 << top;
        QTest::newRow("below limits") << settings({"numitems=4", "pollinterval=9"}) << 2
                                      << settings({"numitems=5", "pollinterval=10"});
        QTest::newRow("above limits") << settings({"numitems=26", "pollinterval=61"}) << 2
                                      << settings({"numitems=25", "pollinterval=60"});
        // A flag is on only when it reads as the number 1.
        QTest::newRow("flags \"2\" read 0")
            << settings({"flashicon=2", "popup=2", "vulnpopup=2", "verbosenotify=2",
                         "briefnotify=2", "configrestart=2"})
            << 2
            << settings({"flashicon=0", "popup=0", "vulnpopup=0", "verbosenotify=0",
                         "briefnotify=0", "configrestart=0"});
        QTest::newRow("skin missing") << settings({"skin"}) << 2 << settings({"skin="});
        QTest::newRow("first-group key missing: nothing applies")
            << settings({"configrestart"}) << 0 << defaults;
        QTest::newRow("second-group key missing: first group only")
            << settings({"mailer"}) << 1
            << settings(
                   {"vulnpopup=0", "verbosenotify=0", "verboseemail=", "briefemail=", "mailer="});
        // A save would change these texts: the file is not read at all.
        QTest::newRow("first-group text unstorable")
            << settings({"browserpath=/b</x"}) << 0 << defaults;
        QTest::newRow("second-group text unstorable")
            << settings({"mailer=a < b <POPUP>1"}) << 0 << defaults;
    }

    void reading()
    {
        QFETCH(QString, text);
        QFETCH(int, groups);
        QFETCH(QString, values);

        const ParsedSettings parsed = parseSettings(text);
        QCOMPARE(parsed.firstGroup, groups > 0);
        QCOMPARE(parsed.secondGroup, groups > 1);
        QCOMPARE(QString::fromUtf8(formatSettings(parsed.values)), values);
    }

    void notifyOptions_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<DesktopNotices>("mode");
        QTest::newRow("blanks, capitals and no line end")
            << QByteArray("  desktopnotices =  INSTEAD ") << DesktopNotices::Instead;
        QTest::newRow("unknown keys and lines passed over")
            << QByteArray("DESKTOPNOTICES=instead\ncolour red\ndesktopnotices=beside\n=\n")
            << DesktopNotices::Beside;
        QTest::newRow("unknown value")
            << QByteArray("desktopnotices=always\n") << DesktopNotices::Off;
        QTest::newRow("too large to be a setting: not read at all")
            << "desktopnotices=beside\n" + QByteArray(64 * 1024, '\n') << DesktopNotices::Off;
    }

    void notifyOptions()
    {
        QFETCH(QByteArray, text);
        QFETCH(DesktopNotices, mode);
        QVERIFY(testfiles::writeAll(path("notify.cfg"), text));
        QCOMPARE(loadNotifyOptions(path("notify.cfg")).mode, mode);
    }

private:
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    QTemporaryDir dir;
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
