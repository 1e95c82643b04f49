#include "ProjectCommands.h"

#include "app/ConfigurationName.h"
#include "config/ConfigurationChecks.h"
#include "config/ConfigurationFile.h"
#include "config/XmlText.h"
#include "lang/LanguageTexts.h"
#include "ui/PageContext.h"

#include <QDir>
#include <QFileInfo>

namespace ui {

ProjectCommands::ProjectCommands(PageContext &context, QObject *parent) : QObject(parent), m_context(context)
{
}

bool ProjectCommands::saveOrAskForName()
{
    if (m_context.session().configurationName().isEmpty()) {
        askForName();
        return false;
    }
    return saveConfiguration();
}

bool ProjectCommands::saveConfiguration(bool quiet)
{
    app::Session &session = m_context.session();
    // Without an open configuration there is no folder to save into.
    if (session.configurationName().isEmpty())
        return false;
    if (const std::optional<config::CheckFailure> failure = config::firstFailure(session.configuration())) {
        m_context.showText(MessageKind::Error,
                           config::failureText(*failure, m_context.texts().messageText(failure->key)));
        emit refused(*failure);
        return false;
    }
    const QString path = session.workspace().configurationFile(session.configurationName());
    if (const config::WriteResult r = config::writeConfigurationFile(session.configuration(), path); !r.ok) {
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Write_File"), MessageButtons::Ok,
                              r.error);
        return false;
    }
    emit saved();
    if (!quiet)
        m_context.showMessage(MessageKind::Information, QStringLiteral("Mes_Configuration_Saved"));
    return true;
}

bool ProjectCommands::acceptNewName(const QString &name)
{
    if (name.isEmpty())
        return false;
    if (!app::isSafeConfigurationName(name)) {
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Conf_Name_Not_Valid"),
                              MessageButtons::Ok, config::quoted(name));
        return false;
    }
    const QString folder = m_context.session().workspace().projectsFolder() + name;
    if (QFileInfo::exists(folder) || QFileInfo(folder).isSymLink()) {
        m_context.showMessage(MessageKind::Error, QStringLiteral("Mes_NewConf_Already_Used"));
        return false;
    }
    return true;
}

bool ProjectCommands::saveOldQuestion()
{
    // Nothing unsaved, or nowhere to save it: nothing to ask.
    if (m_context.session().configurationName().isEmpty() || !m_context.isChanged())
        return true;
    switch (m_context.showMessage(MessageKind::Information, QStringLiteral("Mes_NewConf_Save_OldConf"),
                                  MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        // A refused save stops the command: the open configuration keeps its
        // changes, so the user can correct the value or answer No.
        return saveConfiguration();
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

bool ProjectCommands::createFolder(const QString &name)
{
    const QString folder = m_context.session().workspace().configurationFolder(name);
    if (QDir().mkpath(folder))
        return true;
    m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Create_Folder"), MessageButtons::Ok,
                          QDir::toNativeSeparators(folder));
    return false;
}

void ProjectCommands::openName(const QString &name)
{
    app::Session &session = m_context.session();
    session.setConfigurationName(name);
    if (const app::SettingsWriteResult r = session.writeSettings(); !r.ok)
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Write_File"), MessageButtons::Ok,
                              r.error);
    emit titleChanged();
}

void ProjectCommands::newConfiguration(const QString &name)
{
    if (!acceptNewName(name) || !saveOldQuestion() || !createFolder(name))
        return;
    openName(name);
    m_context.configuration().setNewDefaults();
    emit configurationReplaced();
}

void ProjectCommands::load(const QString &name)
{
    if (name.isEmpty())
        return;
    if (!app::isSafeConfigurationName(name)) {
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Conf_Name_Not_Valid"),
                              MessageButtons::Ok, config::quoted(name));
        return;
    }
    if (!saveOldQuestion())
        return;
    // Read into a copy: a file that cannot be read changes nothing.
    config::Configuration loaded = m_context.configuration();
    const config::LoadResult r =
        config::openConfigurationFile(m_context.session().workspace().configurationFile(name), loaded);
    if (r.status == config::LoadStatus::Failed) {
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Load_Conf"), MessageButtons::Ok,
                              r.error);
        return;
    }
    openName(name);
    m_context.configuration() = loaded;
    emit configurationReplaced();
}

void ProjectCommands::save()
{
    if (!m_context.session().configurationName().isEmpty())
        saveConfiguration();
}

void ProjectCommands::saveAs(const QString &name)
{
    if (!acceptNewName(name) || !saveOldQuestion() || !createFolder(name))
        return;
    openName(name);
    saveConfiguration();
}

bool ProjectCommands::closeQuery()
{
    app::Session &session = m_context.session();
    if (!m_context.isChanged())
        return true;
    switch (m_context.showMessage(MessageKind::Warning, QStringLiteral("On_CLose_Save_Conf"),
                                  MessageButtons::YesNoCancel)) {
    case MessageAnswer::Yes:
        if (session.configurationName().isEmpty()) {
            askForName();
            return false;
        }
        if (saveConfiguration())
            return true;
        m_context.showMessage(MessageKind::Error, QStringLiteral("Error_Save_On_Close"));
        return false;
    case MessageAnswer::No:
        return true;
    default:
        return false;
    }
}

} // namespace ui
