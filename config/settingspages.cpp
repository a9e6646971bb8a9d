#include "config/settingspages.h"

#include "config/cinventoryoptions.h"
#include "config/coptions.h"

PagerSettings settingsFromPages(const COptions& options, const CInventoryOptions& inventory)
{
    PagerSettings s;
    s.numItems = options.numItems();
    s.pollMinutes = options.pollMinutes();
    s.browserPath = options.browserPath();
    s.flashIcon = options.flashIcon();
    s.popup = options.popupWindow();
    s.skin = options.skinName();
    s.configRestart = options.restartOnConfig();
    s.vulnPopup = inventory.popupWindow();
    s.verboseNotify = inventory.verboseNotify();
    s.briefNotify = inventory.briefNotify();
    s.verboseEmail = inventory.verboseRecipients();
    s.briefEmail = inventory.briefRecipients();
    s.mailer = inventory.mailer();
    return s;
}

void applySettingsToPages(const ParsedSettings& parsed, COptions& options,
                          CInventoryOptions& inventory)
{
    if (!parsed.firstGroup)
        return;
    const PagerSettings& s = parsed.values;
    options.setValues(s.numItems, s.pollMinutes, s.browserPath, s.flashIcon, s.popup,
                      s.configRestart);
    if (!parsed.secondGroup)
        return;
    inventory.setValues(s.verboseEmail, s.briefEmail, s.mailer, s.vulnPopup, s.verboseNotify,
                        s.briefNotify);
    if (!s.skin.isEmpty())
        options.selectSkin(s.skin);
}
