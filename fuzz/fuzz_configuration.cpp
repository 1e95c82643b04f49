// Configuration.xml as the window loads it: either the whole record or no
// change at all, never a crash.
#include "config/ConfigurationFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    config::Configuration configuration;
    const config::Configuration before = configuration;
    const config::LoadResult result =
        config::loadConfigurationBytes(bytes, QStringLiteral("f.xml"), configuration);
    if (result.status != config::LoadStatus::Loaded && !(configuration == before))
        __builtin_trap(); // a refused file changed the record
    if (result.status == config::LoadStatus::Loaded) {
        // What was loaded saves and loads back the same.
        config::Configuration again;
        if (config::loadConfigurationBytes(config::serializeConfiguration(configuration),
                                           QStringLiteral("f.xml"), again)
                    .status != config::LoadStatus::Loaded ||
            !(again == configuration))
            __builtin_trap();
    }
    return 0;
}
