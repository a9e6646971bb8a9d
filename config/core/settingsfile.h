#pragma once

// "ovpager.cfg": one "config" element holding one element per setting, each
// on its own tab-indented line, in this order: numitems, pollinterval,
// browserpath, flashicon, popup, skin, vulnpopup, verbosenotify,
// briefnotify, configrestart, verboseemail, briefemail, mailer. Flags are
// "1" or "0"; texts are written as they stand, unescaped.

#include <QByteArray>
#include <QString>

struct PagerSettings
{
    int numItems = 5;
    int pollMinutes = 15;
    QString browserPath;
    bool flashIcon = false;
    bool popup = true;
    QString skin;
    bool vulnPopup = false;
    bool verboseNotify = false;
    bool briefNotify = false;
    bool configRestart = false;
    QString verboseEmail;
    QString briefEmail;
    QString mailer;
};

struct ParsedSettings
{
    // The first group (numitems .. configrestart) was complete and is valid.
    bool firstGroup = false;
    // The second group (vulnpopup .. mailer) was complete too.
    bool secondGroup = false;
    PagerSettings values;

    bool complete() const { return firstGroup && secondGroup; }
};

QByteArray formatSettings(const PagerSettings& settings);

// Reads the settings text; counts are clamped (5..25 articles, 10..60
// minutes) and a flag is on only when it reads as the number 1. A text value
// that isStorableSettingText() refuses makes the whole file unread.
ParsedSettings parseSettings(const QString& text);

// False for a text that cannot be read back: "</" would end its element early
// and "<" with a setting's name could be read as that setting.
bool isStorableSettingText(const QString& text);
