#include "Numbers.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace config {
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

std::optional<qint32> parseInteger(QStringView text)
{
    qsizetype i = 0;
    const bool negative = !text.isEmpty() && text[0] == u'-';
    if (!text.isEmpty() && (text[0] == u'-' || text[0] == u'+'))
        ++i;
    if (i == text.size())
        return std::nullopt;
    const qint64 limit =
        negative ? -qint64(std::numeric_limits<qint32>::min()) : qint64(std::numeric_limits<qint32>::max());
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return std::nullopt;
        value = value * 10 + (text[i].unicode() - u'0');
        if (value > limit) // long digit runs stop here instead of wrapping
            return std::nullopt;
    }
    return qint32(negative ? -value : value);
}

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

} // namespace config
