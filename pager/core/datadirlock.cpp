#include "pager/core/datadirlock.h"

DataDirLock::DataDirLock(const QString& dataDir) : m_file(dataDir + QStringLiteral("ovpager.lock"))
{
    // A pager runs for days: the lock never goes stale by age, only when
    // the process that took it is gone.
    m_file.setStaleLockTime(0);
    m_held = m_file.tryLock(0);
    if (!m_held) {
        QString host, application;
        m_file.getLockInfo(&m_holderPid, &host, &application);
    }
}
