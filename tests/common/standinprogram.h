#pragma once

// A shell script standing in for an outside program (mailer, browser): each
// run records its arguments and its standard input in numbered files beside
// it, then runs `tail` (an exit status, a sleep, ...).

#include "tests/common/testfiles.h"

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

class StandInProgram
{
public:
    explicit StandInProgram(const QByteArray& tail = QByteArray())
    {
        QFile script(path());
        if (script.open(QIODevice::WriteOnly)) {
            script.write("#!/bin/sh\n"
                         "d=$(dirname \"$0\")\n"
                         "n=$(ls \"$d\" | grep -c '^argv\\.')\n"
                         "n=$((n+1))\n"
                         "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$d/argv.tmp\"\n"
                         "mv \"$d/argv.tmp\" \"$d/argv.$n\"\n"
                         "cat > \"$d/stdin.tmp\"; mv \"$d/stdin.tmp\" \"$d/stdin.$n\"\n");
            script.write(tail);
            script.write("\n");
        }
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString path() const { return m_dir.path() + QStringLiteral("/standin"); }
    QString dir() const { return m_dir.path(); }
    // Runs that have recorded their arguments so far.
    int runs() const
    {
        return int(QDir(m_dir.path()).entryList({QStringLiteral("argv.*")}, QDir::Files).size()) -
               (QFile::exists(m_dir.path() + QStringLiteral("/argv.tmp")) ? 1 : 0);
    }
    // Arguments of run `n` (from 1), one per line as recorded.
    QStringList arguments(int n) const
    {
        QString text = QString::fromUtf8(read(QStringLiteral("argv.") + QString::number(n)));
        if (text.endsWith(u'\n'))
            text.chop(1);
        return text.isEmpty() ? QStringList() : text.split(u'\n');
    }
    // Standard input of run `n`, once it has been read to its end.
    QByteArray input(int n) const { return read(QStringLiteral("stdin.") + QString::number(n)); }
    bool hasInput(int n) const
    {
        return QFile::exists(m_dir.path() + QStringLiteral("/stdin.") + QString::number(n));
    }

private:
    QByteArray read(const QString& name) const { return testfiles::readAll(m_dir.filePath(name)); }

    QTemporaryDir m_dir;
};
