#include "image/NumberText.h"

#include <cmath>

namespace image::numbers {

long double voltCounts(double volts)
{
    const long double exact = static_cast<long double>(volts) * 720.0L / 10.0L;
    long double rounded = std::floor(exact);
    const long double fraction = exact - rounded;
    if (fraction > 0.5L || (fraction == 0.5L && std::fmod(rounded, 2.0L) != 0.0L))
        rounded += 1.0L;
    return rounded;
}

} // namespace image::numbers
