#include "pager/core/globals.h"

#include <cstdio>

bool debugMode = false;
bool vulnTestMode = false;
QString dataDirPath;
QString browserPath;

void debugLine(const QString& line)
{
    if (!debugMode)
        return;
    const QByteArray bytes = line.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString installedDataRoot()
{
    const QString root = qEnvironmentVariable("OVPAGER_LIBDIR");
    return root.isEmpty() ? QStringLiteral(OVPAGER_DEFAULT_LIBDIR) : root;
}
