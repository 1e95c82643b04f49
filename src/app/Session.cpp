#include "Session.h"

Session::Session(const QString &programFolder) : m_workspace(programFolder) {}

QString Session::prepare()
{
    m_changed = false;
    if (QString failed = m_workspace.createFolders(); !failed.isEmpty())
        return failed;
    m_settings = readSettings(m_workspace.settingsFile());
    return {};
}

config::LoadResult Session::openLastConfiguration()
{
    m_configuration.setNewDefaults();
    if (m_settings.configurationName.isEmpty())
        return {config::LoadStatus::Missing, {}};
    config::LoadResult result = config::loadConfigurationFile(
        m_workspace.configurationFile(m_settings.configurationName), m_configuration);
    if (result.status == config::LoadStatus::Failed)
        m_settings.configurationName.clear();
    return result;
}

SettingsWriteResult Session::writeSettings() const
{
    return ::writeSettings(m_workspace.settingsFile(), m_settings);
}
