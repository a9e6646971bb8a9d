#pragma once

#include <QString>

// A data directory made by this run is taken away again when the start-up
// ends fatally before the first settings file is written, so that the next
// start is a first run again and asks its questions anew.

// Remembers `directory` (made just now) until disarmFirstRunCleanup().
void armFirstRunCleanup(const QString& directory);
void disarmFirstRunCleanup();

// Removes the remembered directory with the files in it, if one is armed.
// Safe to call from a signal handler.
void runFirstRunCleanup();
