// Reading and writing "ovpager.cfg" without a display.
#include "config/core/settingsfile.h"

#include <QTest>

namespace {

const QStringList keys = {"numitems",    "pollinterval",  "browserpath",  "flashicon",
                          "popup",       "skin",          "vulnpopup",    "verbosenotify",
                          "briefnotify", "configrestart", "verboseemail", "briefemail",
                          "mailer"};
const QStringList sample = {"12",
                            "30",
                            "/opt/web/browse",
                            "1",
                            "0",
                            "Slate",
                            "1",
                            "1",
                            "0",
                            "1",
                            "ops@site.example",
                            "me@site.example",
                            "/usr/bin/mail -s \"Subject\""};

// A settings text from `values` (one per key, in key order); a null value
// leaves its element out.
QString settingsText(const QStringList& values)
{
    QString text = QStringLiteral("<config>\n");
    for (int i = 0; i < keys.size(); ++i)
        if (!values.at(i).isNull())
            text += QStringLiteral("\t<") + keys.at(i) + u'>' + values.at(i) +
                    QStringLiteral("</") + keys.at(i) + QStringLiteral(">\n");
    return text + QStringLiteral("</config>\n");
}

QString with(const QString& key, const QString& value)
{
    QStringList values = sample;
    values[keys.indexOf(key)] = value;
    return settingsText(values);
}

QString describe(const PagerSettings& s)
{
    return QStringList{QString::number(s.numItems),
                       QString::number(s.pollMinutes),
                       s.browserPath,
                       QString::number(s.flashIcon),
                       QString::number(s.popup),
                       s.skin,
                       QString::number(s.vulnPopup),
                       QString::number(s.verboseNotify),
                       QString::number(s.briefNotify),
                       QString::number(s.configRestart),
                       s.verboseEmail,
                       s.briefEmail,
                       s.mailer}
        .join(u'|');
}

QString describe(const QStringList& values)
{
    return values.join(u'|');
}

// The expected reading: the sample with `key` read as `value`.
QString expect(const QString& key, const QString& value)
{
    QStringList values = sample;
    values[keys.indexOf(key)] = value;
    return describe(values);
}

// The first group as in the sample, the second (and the skin) as defaults.
QString firstGroupOnly()
{
    PagerSettings s;
    s.numItems = 12;
    s.pollMinutes = 30;
    s.browserPath = sample.at(2);
    s.flashIcon = true;
    s.popup = false;
    s.configRestart = true;
    s.skin = sample.at(5);
    return describe(s);
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void defaultsWritten();
    void roundTrip_data();
    void roundTrip();
    void storableText_data();
    void storableText();
};

void TestSettingsFile::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("firstGroup");
    QTest::addColumn<bool>("secondGroup");
    QTest::addColumn<QString>("values");

    const QString all = describe(sample);
    QTest::newRow("canonical") << settingsText(sample) << true << true << all;

    QStringList lines = settingsText(sample).split(u'\n', Qt::SkipEmptyParts);
    std::reverse(lines.begin() + 1, lines.end() - 1);
    lines.insert(3, QStringLiteral("\t<other>x</other> noise <numitemsx>3</numitemsx>"));
    QTest::newRow("any order, other tags between") << lines.join(u'\n') << true << true << all;
    QTest::newRow("first element of a name wins")
        << settingsText(sample).replace(QLatin1String("</config>"),
                                        QLatin1String("<numitems>20</numitems></config>"))
        << true << true << all;
    QTest::newRow("tags in capitals")
        << settingsText(sample)
               .replace(QLatin1String("<numitems>"), QLatin1String("<NUMITEMS>"))
               .replace(QLatin1String("</numitems>"), QLatin1String("</NumItems>"))
               .replace(QLatin1String("config>"), QLatin1String("CONFIG>"))
        << true << true << all;

    const QList<std::pair<const char*, const char*>> counts = {
        {"4", "5"}, {"5", "5"}, {"25", "25"}, {"26", "25"}, {"x", "5"}, {"99999999999", "5"}};
    for (const auto& [value, read] : counts)
        QTest::addRow("numitems \"%s\" reads %s", value, read)
            << with("numitems", value) << true << true << expect("numitems", read);
    const QList<std::pair<const char*, const char*>> minutes = {
        {"9", "10"}, {"10", "10"}, {"60", "60"}, {"61", "60"}, {"ten", "10"}};
    for (const auto& [value, read] : minutes)
        QTest::addRow("pollinterval \"%s\" reads %s", value, read)
            << with("pollinterval", value) << true << true << expect("pollinterval", read);

    for (const char* key :
         {"flashicon", "popup", "configrestart", "vulnpopup", "verbosenotify", "briefnotify"}) {
        for (const auto& [value, read] : QList<std::pair<const char*, const char*>>{
                 {"1", "1"}, {"2", "0"}, {"on", "0"}, {"", "0"}})
            QTest::addRow("%s \"%s\" reads %s", key, value, read)
                << with(key, value) << true << true << expect(key, read);
    }

    for (const char* key :
         {"numitems", "pollinterval", "browserpath", "flashicon", "popup", "configrestart"})
        QTest::addRow("first-group key %s missing: nothing applies", key)
            << with(key, QString()) << false << false << describe(PagerSettings());
    for (const char* key :
         {"vulnpopup", "verbosenotify", "briefnotify", "verboseemail", "briefemail", "mailer"})
        QTest::addRow("second-group key %s missing: first group only", key)
            << with(key, QString()) << true << false << firstGroupOnly();

    QTest::newRow("skin missing") << with("skin", QString()) << true << true << expect("skin", "");
    QTest::newRow("no config element") << settingsText(sample).remove(QLatin1String("</config>"))
                                       << false << false << describe(PagerSettings());
    QTest::newRow("cut off in the second group")
        << settingsText(sample).left(settingsText(sample).indexOf(QLatin1String("<briefemail>")))
        << false << false << describe(PagerSettings());
    QTest::newRow("garbage") << QString(100000, u'<') << false << false
                             << describe(PagerSettings());

    const QString quoted = QStringLiteral("/usr/bin/mail -s \"it's & $HOME `x` \\\" <b>\"");
    QTest::newRow("quotes and specials kept")
        << with("mailer", quoted) << true << true << expect("mailer", quoted);
    QTest::newRow("own closing tag cuts the value")
        << with("mailer", QStringLiteral("mail</mailer>rest")) << true << true
        << expect("mailer", "mail");
    QTest::newRow("another key's tag in a text: a save would change it, nothing applies")
        << with("skin", QString())
               .replace(QLatin1String("</config>"),
                        QLatin1String("\t<skin>Max<CONFIGRESTART>0</skin>\n</config>"))
        << false << false << describe(PagerSettings());
}

void TestSettingsFile::reading()
{
    QFETCH(QString, text);
    QFETCH(bool, firstGroup);
    QFETCH(bool, secondGroup);
    QFETCH(QString, values);

    const ParsedSettings parsed = parseSettings(text);
    QCOMPARE(parsed.firstGroup, firstGroup);
    QCOMPARE(parsed.secondGroup, secondGroup);
    QCOMPARE(parsed.complete(), firstGroup && secondGroup);
    QCOMPARE(describe(parsed.values), values);
}

void TestSettingsFile::defaultsWritten()
{
    PagerSettings s;
    s.skin = QStringLiteral("Max");
    QCOMPARE(QString::fromUtf8(formatSettings(s)),
             settingsText({"5", "15", "", "0", "1", "Max", "0", "0", "0", "0", "", "", ""}));
}

void TestSettingsFile::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("sample") << settingsText(sample);
    QTest::newRow("limits and specials")
        << settingsText({"25", "60", "/b r/o\"w'ser & <x>", "1", "1", "Max", "1", "1", "1", "1",
                         "a@b.example, c@d.example", "e@f.example", "mail -s \"A; B\""});
    QTest::newRow("non-ASCII text") << with("browserpath", QStringLiteral("/opt/br\u00f6wser"));
}

void TestSettingsFile::roundTrip()
{
    QFETCH(QString, text);
    const ParsedSettings parsed = parseSettings(text);
    QVERIFY(parsed.complete());
    const QByteArray written = formatSettings(parsed.values);
    QCOMPARE(QString::fromUtf8(written), text);
    QCOMPARE(describe(parseSettings(QString::fromUtf8(written)).values), describe(parsed.values));
}

void TestSettingsFile::storableText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("storable");
    QTest::newRow("plain path") << "/usr/bin/mail -s \"x\"" << true;
    QTest::newRow("lone < and /") << "a < b / c" << true;
    QTest::newRow("closing tag of its own") << "mail</mailer>" << false;
    QTest::newRow("bare </") << "</" << false;
    QTest::newRow("a setting's opening tag") << "mail <Popup>1" << false;
}

void TestSettingsFile::storableText()
{
    QFETCH(QString, text);
    QFETCH(bool, storable);
    QCOMPARE(isStorableSettingText(text), storable);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
