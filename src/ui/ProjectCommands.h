// The project commands of the window: New, Load, Save and Save As of named
// configurations, the one save operation with its checks, and the question
// asked when the window closes.
#pragma once

#include "config/ConfigurationChecks.h"

#include <QObject>

namespace ui {

class PageContext;

class ProjectCommands : public QObject
{
    Q_OBJECT
public:
    explicit ProjectCommands(PageContext &context, QObject *parent = nullptr);

    // The one save operation: checks, write, clean point, "saved" box. False
    // when nothing is open, a check refused or the file could not be written
    // (each told in a box, but the first).
    // quiet: no "saved" box, for callers that show the save their own way.
    bool saveConfiguration(bool quiet = false);

    // Saves the open configuration; with none open, asks for a name (the
    // Save page with its Save As field) and answers false.
    bool saveOrAskForName();
    // Nothing is open to save into: the user is asked for a name.
    void askForName() { emit nameNeeded(); }

    void newConfiguration(const QString &name);
    void load(const QString &name);
    void save();
    void saveAs(const QString &name);

    // True when the window may close.
    bool closeQuery();

signals:
    // The record was replaced by a new or loaded configuration: show it.
    void configurationReplaced();
    // The open configuration's name changed.
    void titleChanged();
    // The record was written to its file.
    void saved();
    // A name is needed before the configuration can be saved.
    void nameNeeded();
    // A check refused the save and its box was closed: the refused value is
    // to be shown.
    void refused(const config::CheckFailure &failure);

private:
    bool acceptNewName(const QString &name);
    bool saveOldQuestion();
    bool createFolder(const QString &name);
    void openName(const QString &name);

    PageContext &m_context;
};

} // namespace ui
