#pragma once

#include <QString>
#include <QStringList>

// True when `path` names an existing regular file (not a directory) that
// this user may execute.
bool isRunnableFile(const QString& path);

// The first of `candidates` that is runnable, or the empty text.
QString firstRunnableFile(const QStringList& candidates);

// The program part of a command line: the text before its first blank (all
// of it when there is none).
QString commandProgram(const QString& commandLine);
