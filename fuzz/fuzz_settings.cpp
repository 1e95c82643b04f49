// setting.xml at start: any bytes give settings (the defaults where they
// cannot be read), never a crash or a flood of memory.
#include "app/Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const app::AppSettings settings = app::settingsFromBytes(bytes);
    (void)app::windowTitle(settings.configurationName);
    return 0;
}
