#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at `path` with `data` in one step (temporary file synced
// to disk, then rename), so readers see the old file or the whole new one,
// never a part. On any failure the old file is untouched, a warning naming
// the file goes to standard error and `error`, when given, says why.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);
