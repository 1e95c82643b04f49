// What the main window holds besides its widgets: the workspace, the settings,
// the open configuration with its record and the changed flag. The start
// sequence and the settings file live here, free of widgets.
#pragma once

#include "app/Settings.h"
#include "app/Workspace.h"
#include "config/Configuration.h"
#include "config/ConfigurationFile.h"

class Session
{
public:
    explicit Session(const QString &programFolder);

    const Workspace &workspace() const { return m_workspace; }

    // First half of the start: create Projects/ and Setting/ and read
    // setting.xml. Returns the folder that could not be created, or empty.
    QString prepare();
    // Second half, after the language is applied: new-configuration values,
    // then the last configuration's file. A refused file leaves no
    // configuration open (setting.xml stays as it is) and returns its error.
    config::LoadResult openLastConfiguration();

    int languageCode() const { return m_settings.languageCode; }
    void setLanguageCode(int code) { m_settings.languageCode = code; }
    QString configurationName() const { return m_settings.configurationName; }
    void setConfigurationName(const QString &name) { m_settings.configurationName = name; }
    QString title() const { return windowTitle(m_settings.configurationName); }
    SettingsWriteResult writeSettings() const;

    // The one record of the window. It lives as long as the session and a load
    // or a new configuration assigns into it, so the pages may bind their
    // controls to references into it.
    config::Configuration &configuration() { return m_configuration; }
    const config::Configuration &configuration() const { return m_configuration; }

    bool isChanged() const { return m_changed; }
    void setChanged() { m_changed = true; }
    void clearChanged() { m_changed = false; }

private:
    Workspace m_workspace;
    AppSettings m_settings;
    config::Configuration m_configuration;
    bool m_changed = false;
};
