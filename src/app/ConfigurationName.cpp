#include "ConfigurationName.h"

#include <QString>

namespace app {

namespace {

bool isDeviceName(QStringView name)
{
    const qsizetype dot = name.indexOf(u'.');
    const QString base = name.left(dot < 0 ? name.size() : dot).toString().toUpper();
    for (const char *device : {"CON", "PRN", "AUX", "NUL"}) {
        if (base == QLatin1String(device))
            return true;
    }
    return base.size() == 4 &&
           (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT"))) &&
           base[3] >= u'1' && base[3] <= u'9';
}

} // namespace

bool isSafeConfigurationName(QStringView name)
{
    if (name.isEmpty() || name.size() > kMaxConfigurationName)
        return false;
    if (name.startsWith(u'.') || name.endsWith(u'.') || name.front().isSpace() || name.back().isSpace())
        return false;
    for (QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"/\\:*?\"<>|").contains(c))
            return false;
    }
    return !isDeviceName(name);
}

} // namespace app
