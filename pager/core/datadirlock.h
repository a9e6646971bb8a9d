#pragma once

// One pager per data directory: two would both save on exit and the last
// would win. The lock is a file in the directory, held while the object
// lives; a lock left by a pager that died is taken over.

#include <QLockFile>
#include <QString>

class DataDirLock
{
public:
    // `dataDir` ends in "/"; isHeld() says whether the lock was taken.
    explicit DataDirLock(const QString& dataDir);

    bool isHeld() const { return m_held; }
    // The process that holds it when isHeld() is false, 0 when unknown.
    qint64 holderPid() const { return m_holderPid; }

private:
    QLockFile m_file;
    bool m_held = false;
    qint64 m_holderPid = 0;
};
