#pragma once

#include <QString>

// Opens `url` in the configured browser; `allowRemote` lets a running
// browser be driven by remote control instead of starting a new one.
void navigateTo(const QString& url, bool allowRemote);

// True when a top-level client window carries "_MOZILLA_VERSION".
bool netscapeRunning();
