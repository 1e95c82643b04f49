// Reading numbers the user typed. An integer is an optional sign and decimal
// digits, nothing else, in the signed 32-bit range.
#pragma once

#include <QStringView>
#include <optional>

namespace config {

std::optional<qint32> parseInteger(QStringView text);

} // namespace config
