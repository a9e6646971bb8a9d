// The controller's hold on its data directory.
#include "pager/cpager.h"

#include "pager/core/datadirlock.h"
#include "pager/core/globals.h"

#include <cstdio>
#include <cstdlib>

void CPager::takeDataDirLock()
{
    m_dirLock = std::make_unique<DataDirLock>(dataDirPath);
    if (m_dirLock->isHeld())
        return;
    // Before anything is read or written: the running pager owns the files.
    std::fprintf(stderr, "An Orvelle Pager is already running on %s (process %lld)\n",
                 qPrintable(dataDirPath), static_cast<long long>(m_dirLock->holderPid()));
    std::exit(1);
}
