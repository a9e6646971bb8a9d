#pragma once

#include <QString>

// Program-wide values, set once at start-up and read everywhere.
extern bool debugMode;      // "-debug": diagnostic lines on standard output
extern bool vulnTestMode;   // "-vulntest": vulnerability polls ask for the whole feed
extern QString dataDirPath; // "~/.ovpager/", always ending in "/"
extern QString browserPath; // configured browser executable

// Writes one diagnostic line to standard output when debugMode is on.
void debugLine(const QString& line);

// Root of the installed read-only files: OVPAGER_LIBDIR, else the root the
// build installs them under ("/usr/lib/Orvelle" unless configured otherwise).
QString installedDataRoot();
