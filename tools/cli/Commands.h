// The commands of trenov5x-cli. Each takes the arguments after its own name
// and returns the process exit code.
#pragma once

#include <QStringList>

namespace cli {

int runBuild(const QStringList &args);
int runCheck(const QStringList &args);
int runInspect(const QStringList &args);
int runPorts(const QStringList &args);
int runStatus(const QStringList &args);
int runSetClock(const QStringList &args);
int runUpdate(const QStringList &args);

} // namespace cli
