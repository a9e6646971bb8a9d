// Reading and writing "ovpager.cfg" without a display.
#include "config/core/settingsfile.h"

#include <QTest>

#include <array>

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

// What nothing read gives: every setting at its default.
const QString defaults =
    settingsText({"5", "15", "", "0", "1", "", "0", "0", "0", "0", "", "", ""});
// The first group (and the skin) as in the sample, the second as defaults.
const QString firstGroupOnly = settingsText(
    {"12", "30", "/opt/web/browse", "1", "0", "Slate", "0", "0", "0", "1", "", "", ""});

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT
private slots:
    void reading_data();
    void reading();
    void storableText_data();
    void storableText();
};

void TestSettingsFile::reading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("firstGroup");
    QTest::addColumn<bool>("secondGroup");
    QTest::addColumn<QString>("values");

    // As written, a text reads back to itself.
    const QString all = settingsText(sample);
    QTest::newRow("canonical") << all << true << true << all;
    const QString top =
        settingsText({"25", "60", "/b r/o\"w'ser & <x>", "1", "1", "Max", "1", "1", "1", "1",
                      "a@b.example, c@d.example", "e@f.example", "mail -s \"A; B\""});
    QTest::newRow("limits, flags on and specials") << top << true << true << top;
    const QString accented = with("browserpath", QStringLiteral("/opt/br\u00f6wser"));
    QTest::newRow("non-ASCII text") << accented << true << true << accented;

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

    // Counts are clamped; a flag is on only when it reads as the number 1.
    const QList<std::array<const char*, 3>> readings = {
        {"numitems", "4", "5"},      {"numitems", "26", "25"},
        {"numitems", "x", "5"},      {"numitems", "99999999999", "5"},
        {"pollinterval", "9", "10"}, {"pollinterval", "61", "60"},
        {"popup", "on", "0"},        {"popup", "", "0"}};
    for (const auto& [key, value, read] : readings)
        QTest::addRow("%s \"%s\" reads %s", key, value, read)
            << with(key, value) << true << true << with(key, read);
    for (const char* key :
         {"flashicon", "popup", "configrestart", "vulnpopup", "verbosenotify", "briefnotify"})
        QTest::addRow("%s \"2\" reads 0", key) << with(key, "2") << true << true << with(key, "0");

    for (const char* key :
         {"numitems", "pollinterval", "browserpath", "flashicon", "popup", "configrestart"})
        QTest::addRow("first-group key %s missing: nothing applies", key)
            << with(key, QString()) << false << false << defaults;
    for (const char* key :
         {"vulnpopup", "verbosenotify", "briefnotify", "verboseemail", "briefemail", "mailer"})
        QTest::addRow("second-group key %s missing: first group only", key)
            << with(key, QString()) << true << false << firstGroupOnly;

    QTest::newRow("skin missing") << with("skin", QString()) << true << true << with("skin", "");
    QTest::newRow("no config element")
        << settingsText(sample).remove(QLatin1String("</config>")) << false << false << defaults;
    QTest::newRow("garbage") << QString(100000, u'<') << false << false << defaults;

    const QString quoted = QStringLiteral("/usr/bin/mail -s \"it's & $HOME `x` \\\" <b>\"");
    QTest::newRow("quotes and specials kept")
        << with("mailer", quoted) << true << true << with("mailer", quoted);
    QTest::newRow("own closing tag cuts the value")
        << with("mailer", QStringLiteral("mail</mailer>rest")) << true << true
        << with("mailer", "mail");
    QTest::newRow("another key's tag in a text: a save would change it, nothing applies")
        << with("skin", QString())
               .replace(QLatin1String("</config>"),
                        QLatin1String("\t<skin>Max<CONFIGRESTART>0</skin>\n</config>"))
        << false << false << defaults;
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
    // What was read, in the file's own layout.
    QCOMPARE(QString::fromUtf8(formatSettings(parsed.values)), values);
}

void TestSettingsFile::storableText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("storable");
    QTest::newRow("plain path") << "/usr/bin/mail -s \"x\"" << true;
    QTest::newRow("lone < and /") << "a < b / c" << true;
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
