#include "configuration_check.h"

#include "config/ConfigurationChecks.h"
#include "config/ConfigurationFile.h"
#include "lang/KeyTable.h"

#include <QDir>
#include <QFileInfo>

namespace cli {

ConfigurationCheck checkConfigurationFile(const QString &path)
{
    using Status = ConfigurationCheck::Status;
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists())
        return {Status::Missing, QStringLiteral("%1 does not exist").arg(shown), {}};
    if (info.isDir())
        return {Status::Unreadable, QStringLiteral("%1 is a folder, not a file").arg(shown), {}};
    config::Configuration configuration;
    configuration.setNewDefaults();
    const config::LoadResult loaded = config::loadConfigurationFile(path, configuration);
    if (loaded.status != config::LoadStatus::Loaded)
        return {Status::Unreadable, loaded.error.isEmpty() ? shown : loaded.error, {}};
    if (const std::optional<config::CheckFailure> failure = config::firstFailure(configuration))
        return {Status::Refused, config::failureText(*failure, lang::builtinText(failure->key)),
                loaded.filledIn};
    return {Status::Accepted, {}, loaded.filledIn};
}

} // namespace cli
