#pragma once

#include <QByteArray>
#include <QString>

// This program's own absolute path, as the kernel knows it (so a relative or
// bare name in argv[0] does not matter); the application file path when
// /proc is not there.
QByteArray runningProgramPath();

// Starts `program` as a child whose whole command line is `argv0`, and waits
// only until the child has replaced itself by it. True when the new run is
// under way; false, with `error` saying why, when the fork or the exec
// failed, in which case nothing else has changed and the caller goes on. A
// child whose exec fails also says so on standard error.
bool startFreshRun(const QByteArray& program, const QByteArray& argv0, QString* error);
