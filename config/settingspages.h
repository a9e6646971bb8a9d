#pragma once

// Where each setting lives in the configuration dialog: the Options page
// holds the counts, the browser, the new-content flags, the skin and the
// restart flag; the Inventory Options page the vulnerability notices.

#include "config/core/settingsfile.h"

class CInventoryOptions;
class COptions;

// The settings as the two pages show them; the counts are the Options
// page's own copy, the skin the display name of the current entry.
PagerSettings settingsFromPages(const COptions& options, const CInventoryOptions& inventory);

// Puts what was read into the pages: nothing unless the first group was
// complete, the second group and the skin only when it was complete too. A
// skin that is not listed leaves the selection as it was.
void applySettingsToPages(const ParsedSettings& parsed, COptions& options,
                          CInventoryOptions& inventory);
