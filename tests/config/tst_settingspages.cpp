// Which widget of the dialog's pages holds which setting, both ways.
#include "config/cinventoryoptions.h"
#include "config/coptions.h"
#include "config/settingspages.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// Every setting unlike what the pages show before and unlike every other one.
PagerSettings distinct()
{
    PagerSettings s;
    s.numItems = 17;
    s.pollMinutes = 42;
    s.browserPath = QStringLiteral("/opt/browser \"quoted\"");
    s.flashIcon = true;
    s.popup = false;
    s.skin = QStringLiteral("Slate");
    s.vulnPopup = true;
    s.verboseNotify = true;
    s.configRestart = true;
    s.verboseEmail = QStringLiteral("verbose@site.example");
    s.briefEmail = QStringLiteral("brief@site.example");
    s.mailer = QStringLiteral("/usr/bin/mail -s \"x\"");
    return s;
}

// What a start shows before the file is read.
PagerSettings earlier()
{
    PagerSettings s;
    s.skin = QStringLiteral("Max");
    s.verboseEmail = QStringLiteral("old-v@x.example");
    s.briefEmail = QStringLiteral("old-b@x.example");
    s.mailer = QStringLiteral("/bin/oldmail");
    s.briefNotify = true;
    return s;
}

} // namespace

class TestSettingsPages : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void intoPages_data();
    void intoPages();

private:
    QTemporaryDir lib;
    std::unique_ptr<COptions> options;
    std::unique_ptr<CInventoryOptions> inventory;
};

void TestSettingsPages::initTestCase()
{
    for (const char* name : {"Max", "Slate"}) {
        const QString dir = lib.filePath(QStringLiteral("pagerskins/") + QLatin1String(name));
        QVERIFY(QDir().mkpath(dir));
        QFile ini(dir + QStringLiteral("/skin.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write(QByteArray("[skin]\nname=") + name + "\n");
    }
    qputenv("OVPAGER_LIBDIR", lib.path().toLocal8Bit());
}

void TestSettingsPages::init()
{
    options = std::make_unique<COptions>();
    inventory = std::make_unique<CInventoryOptions>();
    applySettingsToPages({true, true, earlier()}, *options, *inventory);
}

void TestSettingsPages::intoPages_data()
{
    QTest::addColumn<bool>("firstGroup");
    QTest::addColumn<bool>("secondGroup");
    QTest::addColumn<QString>("skin");
    QTest::addColumn<QString>("shownSkin");
    QTest::newRow("complete") << true << true << "Slate"
                              << "Slate";
    QTest::newRow("skin left out") << true << true << ""
                                   << "Max";
    QTest::newRow("skin in other letters") << true << true << "slate"
                                           << "Max";
    QTest::newRow("second group incomplete") << true << false << "Slate"
                                             << "Max";
    QTest::newRow("nothing read") << false << false << "Slate"
                                  << "Max";
}

void TestSettingsPages::intoPages()
{
    QFETCH(bool, firstGroup);
    QFETCH(bool, secondGroup);
    QFETCH(QString, skin);
    QFETCH(QString, shownSkin);
    ParsedSettings parsed{firstGroup, secondGroup, distinct()};
    parsed.values.skin = skin;
    applySettingsToPages(parsed, *options, *inventory);

    // A group is taken whole or not at all.
    PagerSettings expected = firstGroup ? distinct() : earlier();
    if (!secondGroup) {
        const PagerSettings e = earlier();
        expected.vulnPopup = e.vulnPopup;
        expected.verboseNotify = e.verboseNotify;
        expected.briefNotify = e.briefNotify;
        expected.verboseEmail = e.verboseEmail;
        expected.briefEmail = e.briefEmail;
        expected.mailer = e.mailer;
    }
    expected.skin = shownSkin;
    QCOMPARE(formatSettings(settingsFromPages(*options, *inventory)), formatSettings(expected));
    // A recipient field can be typed in exactly when its notice is on.
    QCOMPARE(inventory->verboseEdit->isEnabled(), expected.verboseNotify);
    QCOMPARE(inventory->briefEdit->isEnabled(), expected.briefNotify);
}

QTEST_MAIN(TestSettingsPages)
#include "tst_settingspages.moc"
