#include "config/core/runnablefile.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

bool isRunnableFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    return !name.isEmpty() && ::stat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(name.constData(), X_OK) == 0;
}

QString firstRunnableFile(const QStringList& candidates)
{
    for (const QString& path : candidates)
        if (isRunnableFile(path))
            return path;
    return QString();
}

QString commandProgram(const QString& commandLine)
{
    const qsizetype blank = commandLine.indexOf(u' ');
    return blank < 0 ? commandLine : commandLine.left(blank);
}
