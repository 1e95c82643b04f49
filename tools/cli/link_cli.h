// What the device commands of trenov5x-cli share: the --port argument and the
// printing of a device exchange's outcome.
#pragma once

#include "link/DeviceLink.h"

#include <QStringList>
#include <QTextStream>

namespace cli {

// Takes "--port PORT" or "--port=PORT" out of args. False (with a message on
// err) when it is missing or given twice.
bool takePortArgument(QStringList &args, QString *port, QTextStream &err);

// Prints the outcome's messages in their built-in English, information on out
// and errors on err, with the reason behind a port that did not open.
void printOutcome(const devlink::LinkOutcome &outcome, const QString &port, QTextStream &out,
                  QTextStream &err);

} // namespace cli
