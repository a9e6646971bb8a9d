#include "config/core/settingsfile.h"

#include "pager/core/taggedtext.h"

#include <QStringList>

namespace {

QString flag(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

bool isOne(const QString& text)
{
    bool ok = false;
    return text.toInt(&ok) == 1 && ok;
}

int number(const QString& text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

const char* const settingNames[] = {"numitems",    "pollinterval",  "browserpath",  "flashicon",
                                    "popup",       "skin",          "vulnpopup",    "verbosenotify",
                                    "briefnotify", "configrestart", "verboseemail", "briefemail",
                                    "mailer"};

// A text that a save would not write back as it was read means a file made
// by hand or damaged: none of it is read, so the user's copy is kept.
bool storable(std::initializer_list<const QString*> texts)
{
    for (const QString* text : texts)
        if (!isStorableSettingText(*text))
            return false;
    return true;
}

} // namespace

QByteArray formatSettings(const PagerSettings& s)
{
    const QList<QPair<const char*, QString>> rows = {
        {"numitems", QString::number(s.numItems)},
        {"pollinterval", QString::number(s.pollMinutes)},
        {"browserpath", s.browserPath},
        {"flashicon", flag(s.flashIcon)},
        {"popup", flag(s.popup)},
        {"skin", s.skin},
        {"vulnpopup", flag(s.vulnPopup)},
        {"verbosenotify", flag(s.verboseNotify)},
        {"briefnotify", flag(s.briefNotify)},
        {"configrestart", flag(s.configRestart)},
        {"verboseemail", s.verboseEmail},
        {"briefemail", s.briefEmail},
        {"mailer", s.mailer},
    };
    QString text = QStringLiteral("<config>\n");
    for (const auto& [key, value] : rows) {
        const QString name = QLatin1String(key);
        text += QStringLiteral("\t<") + name + u'>' + value + QStringLiteral("</") + name +
                QStringLiteral(">\n");
    }
    text += QStringLiteral("</config>\n");
    return text.toUtf8();
}

ParsedSettings parseSettings(const QString& input)
{
    ParsedSettings result;
    QString text = input;
    QString body;
    if (!takeTaggedValue(QStringLiteral("config"), text, body))
        return result;

    auto take = [&body](const char* key, QString& value) {
        return takeTaggedValue(QLatin1String(key), body, value);
    };
    QString numItems, poll, browser, flash, popup, restart, skin;
    if (!take("numitems", numItems) || !take("pollinterval", poll) ||
        !take("browserpath", browser) || !take("flashicon", flash) || !take("popup", popup) ||
        !take("configrestart", restart))
        return result;
    take("skin", skin);
    if (!storable({&browser, &skin}))
        return ParsedSettings();

    PagerSettings& v = result.values;
    v.numItems = qBound(5, number(numItems), 25);
    v.pollMinutes = qBound(10, number(poll), 60);
    v.browserPath = browser;
    v.flashIcon = isOne(flash);
    v.popup = isOne(popup);
    v.configRestart = isOne(restart);
    v.skin = skin;
    result.firstGroup = true;

    QString vulnPopup, verbose, brief, verboseTo, briefTo, mailer;
    if (!take("vulnpopup", vulnPopup) || !take("verbosenotify", verbose) ||
        !take("briefnotify", brief) || !take("verboseemail", verboseTo) ||
        !take("briefemail", briefTo) || !take("mailer", mailer))
        return result;
    if (!storable({&verboseTo, &briefTo, &mailer}))
        return ParsedSettings();
    v.vulnPopup = isOne(vulnPopup);
    v.verboseNotify = isOne(verbose);
    v.briefNotify = isOne(brief);
    v.verboseEmail = verboseTo;
    v.briefEmail = briefTo;
    v.mailer = mailer;
    result.secondGroup = true;
    return result;
}

bool isStorableSettingText(const QString& text)
{
    if (text.contains(QLatin1String("</")))
        return false;
    for (qsizetype at = text.indexOf(u'<'); at >= 0; at = text.indexOf(u'<', at + 1)) {
        const QStringView after = QStringView(text).mid(at + 1);
        for (const char* name : settingNames)
            if (after.startsWith(QLatin1String(name), Qt::CaseInsensitive))
                return false;
    }
    return true;
}
