#include "Numbers.h"

#include <limits>

namespace config {

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

} // namespace config
