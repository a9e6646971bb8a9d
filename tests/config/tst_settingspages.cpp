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

// Every setting distinct from its default and from every other one.
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
    s.briefNotify = false;
    s.configRestart = true;
    s.verboseEmail = QStringLiteral("verbose@site.example");
    s.briefEmail = QStringLiteral("brief@site.example");
    s.mailer = QStringLiteral("/usr/bin/mail -s \"x\"");
    return s;
}

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

// What the pages show, read from the widgets: the first group, the skin, the
// second group, then whether each recipient field can be typed in.
QStringList shown(const COptions& o, const CInventoryOptions& i)
{
    QStringList v;
    v << QString::number(o.numItems()) << QString::number(o.pollMinutes()) << o.browserPath()
      << flag(o.flashIcon()) << flag(o.popupWindow()) << flag(o.restartOnConfig()) << o.skinName()
      << i.verboseEdit->text() << i.briefEdit->text() << i.mailerEdit->text()
      << flag(i.vulnPopupBox->isChecked()) << flag(i.verboseBox->isChecked())
      << flag(i.briefBox->isChecked()) << flag(i.verboseEdit->isEnabled())
      << flag(i.briefEdit->isEnabled());
    return v;
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
    void fromPages();

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
    // What a start shows before the file is read.
    options->selectSkin(QStringLiteral("Max"));
    inventory->setValues(QStringLiteral("old-v@x.example"), QStringLiteral("old-b@x.example"),
                         QStringLiteral("/bin/oldmail"), false, false, true);
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
    QTest::newRow("skin not installed") << true << true << "Gone"
                                        << "Max";
    QTest::newRow("skin in other letters") << true << true << "slate"
                                           << "Max";
    QTest::newRow("no skin chosen") << true << true << "No Skin"
                                    << "No Skin";
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

    QStringList expected = shown(*options, *inventory);
    ParsedSettings parsed;
    parsed.firstGroup = firstGroup;
    parsed.secondGroup = secondGroup;
    parsed.values = distinct();
    parsed.values.skin = skin;
    applySettingsToPages(parsed, *options, *inventory);

    const PagerSettings& s = parsed.values;
    if (firstGroup) {
        QStringList first;
        first << QString::number(s.numItems) << QString::number(s.pollMinutes) << s.browserPath
              << flag(s.flashIcon) << flag(s.popup) << flag(s.configRestart);
        for (int k = 0; k < first.size(); ++k)
            expected[k] = first.at(k);
    }
    expected[6] = shownSkin;
    if (secondGroup) {
        // A recipient field can be typed in exactly when its notice is on.
        QStringList second;
        second << s.verboseEmail << s.briefEmail << s.mailer << flag(s.vulnPopup)
               << flag(s.verboseNotify) << flag(s.briefNotify) << flag(s.verboseNotify)
               << flag(s.briefNotify);
        for (int k = 0; k < second.size(); ++k)
            expected[7 + k] = second.at(k);
    }
    QCOMPARE(shown(*options, *inventory), expected);
}

void TestSettingsPages::fromPages()
{
    const PagerSettings s = distinct();
    options->setValues(s.numItems, s.pollMinutes, s.browserPath, s.flashIcon, s.popup,
                       s.configRestart);
    options->selectSkin(s.skin);
    inventory->verboseEdit->setText(s.verboseEmail);
    inventory->briefEdit->setText(s.briefEmail);
    inventory->mailerEdit->setText(s.mailer);
    inventory->vulnPopupBox->setChecked(s.vulnPopup);
    inventory->verboseBox->setChecked(s.verboseNotify);
    inventory->briefBox->setChecked(s.briefNotify);

    const PagerSettings read = settingsFromPages(*options, *inventory);
    QCOMPARE(formatSettings(read), formatSettings(s));
}

QTEST_MAIN(TestSettingsPages)
#include "tst_settingspages.moc"
