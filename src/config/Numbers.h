// Reading numbers the user typed, the same way on every computer whatever its
// regional settings. The save-time checks and the image builder both read
// them here, so a configuration the checks accept always builds.
#pragma once

#include <QStringView>
#include <optional>

namespace config {

// An optional sign and decimal digits, nothing else, in the signed 32-bit range.
std::optional<qint32> parseInteger(QStringView text);

// A decimal number of volts with "." or "," as its separator, optionally
// with an exponent; blanks around it are ignored.
std::optional<double> parseVolts(QStringView text);

} // namespace config
