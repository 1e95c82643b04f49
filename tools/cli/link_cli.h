// What the device commands of trenov5x-cli share: the --port option and the
// printing of a device exchange's outcome.
#pragma once

#include "link/DeviceLink.h"

#include <QCommandLineOption>
#include <QTextStream>

namespace cli {

// The --port option every device command requires: a port name as the port
// list shows it or a device path.
extern const QCommandLineOption kPortOption;

// Prints the outcome's messages in their built-in English, information on out
// and errors on err, with the reason behind a port that did not open.
void printOutcome(const devlink::LinkOutcome &outcome, const QString &port, QTextStream &out,
                  QTextStream &err);

} // namespace cli
