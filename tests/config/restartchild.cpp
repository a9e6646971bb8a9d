// Stand-in program for the restart tests: logs each run as
// "<pid>|<own executable>|<arguments>" to $RESTART_LOG and, when given any
// option, starts a fresh run of itself ($RESTART_PROGRAM, if set, instead).
#include "config/core/processrestart.h"

#include <QFile>

#include <unistd.h>

namespace {

void log(const QByteArray& line)
{
    QFile file(qEnvironmentVariable("RESTART_LOG"));
    if (file.open(QIODevice::Append))
        file.write(line + '\n');
}

} // namespace

int main(int argc, char** argv)
{
    QByteArrayList args;
    for (int i = 0; i < argc; ++i)
        args << argv[i];
    log(QByteArray::number(::getpid()) + '|' + runningProgramPath() + '|' + args.join(' '));
    if (argc < 2)
        return 0;
    const QByteArray program = qEnvironmentVariableIsSet("RESTART_PROGRAM")
                                   ? qgetenv("RESTART_PROGRAM")
                                   : runningProgramPath();
    QString error;
    if (startFreshRun(program, args.first(), &error))
        ::_exit(0);
    log("went on: " + error.toLocal8Bit());
    return 0;
}
