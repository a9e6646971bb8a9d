#include "navigate.h"

#include "globals.h"

void navigateTo(const QString& url, bool allowRemote)
{
    Q_UNUSED(allowRemote);
    debugLine(QStringLiteral("navigating to: ") + url);
}

bool netscapeRunning()
{
    return false;
}
