// Loads a Configuration.xml as the window does and runs the save-time checks
// on it: what check and build tell about a configuration before compiling.
#pragma once

#include <QString>

namespace cli {

struct ConfigurationCheck
{
    enum class Status { Accepted, Refused, Missing, Unreadable };
    Status status = Status::Missing;
    // Refused: the first refusal's built-in English text with its row number.
    // Missing, Unreadable: the reason.
    QString text;
};

ConfigurationCheck checkConfigurationFile(const QString &path);

} // namespace cli
