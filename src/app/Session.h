// What the main window holds besides its widgets: the workspace, the settings,
// the open configuration with its record. The start
// sequence and the settings file live here, free of widgets.
#pragma once

#include "app/FolderLock.h"
#include "app/Settings.h"
#include "app/Workspace.h"
#include "config/Configuration.h"
#include "config/ConfigurationFile.h"

namespace app {

class Session
{
public:
    // An empty `workspaceFolder` makes the program folder the workspace.
    explicit Session(const QString &programFolder, const QString &workspaceFolder = {});
    explicit Session(const Workspace &workspace);

    const Workspace &workspace() const { return m_workspace; }

    // First half of the start: create Projects/ and Setting/ and read
    // setting.xml. Returns the folder that could not be created, or empty.
    QString prepare();
    // Claims the program folder for this window, after prepare(): the
    // session holds the lock until it ends. HeldElsewhere: another window
    // runs on this folder and this one must not start.
    FolderLock::Result lockFolder() { return m_lock.lock(); }
    const FolderLock &folderLock() const { return m_lock; }
    // Second half, after the language is applied: new-configuration values,
    // then the last configuration's file. A refused file or a name that cannot
    // be a configuration folder leaves no configuration open and returns the
    // reason; setting.xml keeps naming it until another one is opened.
    config::LoadResult openLastConfiguration();

    int languageCode() const { return m_settings.languageCode; }
    void setLanguageCode(int code) { m_settings.languageCode = code; }
    // The open configuration; empty when none is open.
    QString configurationName() const { return m_open; }
    // Opens a configuration by name: it becomes the open one and the one
    // setting.xml names (the caller writes the settings).
    void setConfigurationName(const QString &name);
    QString title() const { return windowTitle(m_open); }
    // Where the last configuration sheet was written (the caller writes the
    // settings).
    QString reportFolder() const { return m_settings.reportFolder; }
    void setReportFolder(const QString &folder) { m_settings.reportFolder = folder; }
    SettingsWriteResult writeSettings() const;

    // The one record of the window. It lives as long as the session and a load
    // or a new configuration assigns into it, so the pages may bind their
    // controls to references into it.
    config::Configuration &configuration() { return m_configuration; }
    const config::Configuration &configuration() const { return m_configuration; }

private:
    Workspace m_workspace;
    FolderLock m_lock;
    AppSettings m_settings;
    QString m_open;
    config::Configuration m_configuration;
};

} // namespace app
