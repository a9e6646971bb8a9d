#pragma once

#include <QByteArray>
#include <QString>

// Replaces the file at `path` with `data` in one step (temporary file, then
// rename), so readers see the old file or the whole new one, never a part.
// On failure the old file is untouched and `error`, when given, says why.
bool writeFileAtomically(const QString& path, const QByteArray& data, QString* error = nullptr);
