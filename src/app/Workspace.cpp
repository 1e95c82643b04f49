#include "Workspace.h"

#include "config/ConfigurationFile.h"

#include <QDir>

namespace app {

Workspace::Workspace(const QString &programFolder) : m_program(QDir::fromNativeSeparators(programFolder))
{
    if (!m_program.endsWith(QLatin1Char('/')))
        m_program += QLatin1Char('/');
}

QString Workspace::configurationFile(const QString &name) const
{
    return configurationFolder(name) + QLatin1String(config::kConfigurationFileName);
}

QString Workspace::createFolders() const
{
    for (const QString &folder : {projectsFolder(), settingsFolder()}) {
        if (!QDir().mkpath(folder))
            return folder;
    }
    return {};
}

} // namespace app
