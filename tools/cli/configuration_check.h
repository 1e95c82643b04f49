// Loads a Configuration.xml as the window does and runs the save-time checks
// on it: what check and build tell about a configuration before compiling.
#pragma once

#include "config/ConfigurationChecks.h"

#include <QString>
#include <QStringList>

namespace cli {

struct ConfigurationCheck
{
    enum class Status { Accepted, Refused, Missing, Unreadable };
    Status status = Status::Missing;
    // Refused: the first refusal's built-in English text with its row number.
    // Missing, Unreadable: the reason.
    QString text;
    // Elements the file lacks that the window's next save adds.
    QStringList filledIn;
};

ConfigurationCheck checkConfigurationFile(const QString &path);
// The same for a check already made.
ConfigurationCheck configurationCheckOf(const config::FileCheck &check);

} // namespace cli
