// Numbers as the configuration file holds them: integer texts and volt texts,
// read the same way on every computer whatever its regional settings.
#pragma once

#include "config/Numbers.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace image::numbers {

// Volt texts are read as the save-time checks read them.
using config::parseVolts;

// v x 720 / 10 rounded to the nearest integer, ties to even (0.0625 V gives
// 4), computed in extended precision so that ties stay exact.
long double voltCounts(double volts);

} // namespace image::numbers
