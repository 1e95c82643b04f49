#include "Numbers.h"

namespace config {

std::optional<qint32> parseInteger(const QString &text)
{
    qsizetype i = 0;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        ++i;
    if (i == text.size())
        return std::nullopt;
    for (qsizetype k = i; k < text.size(); ++k) {
        if (text[k] < QLatin1Char('0') || text[k] > QLatin1Char('9'))
            return std::nullopt;
    }
    bool ok = false;
    const qint64 value = text.toLongLong(&ok); // long digit runs fail here, not wrap
    if (!ok || value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return qint32(value);
}

} // namespace config
