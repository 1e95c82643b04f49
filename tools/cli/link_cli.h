// What the device commands of trenov5x-cli share: the --port argument and the
// printing of a device exchange's outcome.
#pragma once

#include "link/DeviceLink.h"

#include <QStringList>
#include <QTextStream>
#include <optional>

namespace cli {

// Takes "--port PORT" or "--port=PORT" out of args. False (with a message on
// err) when it is missing or given twice.
bool takePortArgument(QStringList &args, QString *port, QTextStream &err);

// The start of every device command: --help prints the usage (exit 0), a
// missing or doubled --port prints the usage on err (exit 2). Returns the exit
// code when the command ends here, nothing when it goes on with *port set.
std::optional<int> takeHelpAndPort(QStringList &args, QString *port, const char *usage, QTextStream &out,
                                   QTextStream &err);

// Prints the outcome's messages in their built-in English, information on out
// and errors on err, with the reason behind a port that did not open.
void printOutcome(const devlink::LinkOutcome &outcome, const QString &port, QTextStream &out,
                  QTextStream &err);

} // namespace cli
