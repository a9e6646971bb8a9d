#pragma once

// Whole-file reads and writes, and a temporary data directory that the
// program's `dataDirPath` points at for the length of a test.

#include "pager/core/globals.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace testfiles {

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace testfiles

class TempDataDir
{
public:
    TempDataDir() { dataDirPath = path(); }
    QString path() const { return m_dir.path() + u'/'; }
    QString file(const QString& name) const { return path() + name; }
    bool write(const QString& name, const QByteArray& bytes) const
    {
        return testfiles::writeAll(file(name), bytes);
    }
    QByteArray read(const QString& name) const { return testfiles::readAll(file(name)); }

private:
    QTemporaryDir m_dir;
};
