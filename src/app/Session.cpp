#include "Session.h"

#include "app/ConfigurationName.h"
#include "config/XmlText.h"

namespace app {

Session::Session(const QString &programFolder, const QString &workspaceFolder)
    : Session(Workspace(programFolder, workspaceFolder))
{
}

Session::Session(const Workspace &workspace) : m_workspace(workspace), m_lock(m_workspace) {}

QString Session::prepare()
{
    if (QString failed = m_workspace.createFolders(); !failed.isEmpty())
        return failed;
    m_settings = readSettings(m_workspace.settingsFile());
    return {};
}

config::LoadResult Session::openLastConfiguration()
{
    m_configuration.setNewDefaults();
    m_open.clear();
    const QString &name = m_settings.configurationName;
    if (name.isEmpty())
        return {config::LoadStatus::Missing, {}, {}};
    if (!isSafeConfigurationName(name)) {
        return {
            config::LoadStatus::Failed,
            QStringLiteral("\"%1\" cannot be the name of a configuration folder.").arg(config::quoted(name)),
            {}};
    }
    config::LoadResult result =
        config::openConfigurationFile(m_workspace.configurationFile(name), m_configuration);
    if (result.status != config::LoadStatus::Failed)
        m_open = name;
    return result;
}

void Session::setConfigurationName(const QString &name)
{
    m_open = name;
    m_settings.configurationName = name;
}

SettingsWriteResult Session::writeSettings() const
{
    return app::writeSettings(m_workspace.settingsFile(), m_settings);
}

} // namespace app
