#include "image/NumberText.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace image::numbers {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

qsizetype skipDigits(QStringView text, qsizetype i)
{
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

bool isSign(QChar c)
{
    return c == u'+' || c == u'-';
}

} // namespace

std::optional<double> parseVolts(QStringView text)
{
    const QStringView number = text.trimmed();
    qsizetype i = 0;
    if (i < number.size() && isSign(number[i]))
        ++i;
    const qsizetype intStart = i;
    i = skipDigits(number, i);
    qsizetype digits = i - intStart;
    if (i < number.size() && (number[i] == u'.' || number[i] == u',')) {
        const qsizetype fracStart = ++i;
        i = skipDigits(number, i);
        digits += i - fracStart;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < number.size() && (number[i] == u'e' || number[i] == u'E')) {
        ++i;
        if (i < number.size() && isSign(number[i]))
            ++i;
        const qsizetype expStart = i;
        i = skipDigits(number, i);
        if (i == expStart)
            return std::nullopt;
    }
    if (i != number.size())
        return std::nullopt;
    QString normalised = number.toString();
    normalised.replace(u',', u'.');
    bool ok = false;
    const double value = QLocale::c().toDouble(normalised, &ok);
    // An exponent too large for a double still names a number: it is simply
    // out of every range.
    if (!ok)
        return std::isinf(value) ? std::optional<double>(value) : std::nullopt;
    return value;
}

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
