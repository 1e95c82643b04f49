#include "configuration_check.h"

#include "config/ConfigurationChecks.h"
#include "lang/KeyTable.h"

namespace cli {

ConfigurationCheck checkConfigurationFile(const QString &path)
{
    return configurationCheckOf(config::checkConfigurationFile(path));
}

ConfigurationCheck configurationCheckOf(const config::FileCheck &check)
{
    switch (check.status) {
    case config::FileCheck::Status::Accepted:
        return {ConfigurationCheck::Status::Accepted, {}, check.filledIn};
    case config::FileCheck::Status::Refused:
        return {ConfigurationCheck::Status::Refused,
                config::failureText(*check.failure, lang::builtinText(check.failure->key)), check.filledIn};
    case config::FileCheck::Status::Missing:
        return {ConfigurationCheck::Status::Missing, check.error, {}};
    case config::FileCheck::Status::Unreadable:
        break;
    }
    return {ConfigurationCheck::Status::Unreadable, check.error, {}};
}

} // namespace cli
