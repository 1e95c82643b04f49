// The project commands of the window: New, Load, Save and Save As of named
// configurations, the one save operation with its checks, and the question
// asked when the window closes.
#pragma once

#include <QObject>
#include <functional>

namespace ui {

class PageContext;

class ProjectCommands : public QObject
{
    Q_OBJECT
public:
    struct Hooks
    {
        std::function<void()> storePages;            // before a save asked for at close
        std::function<void()> configurationReplaced; // the record was replaced: show it
        std::function<void()> titleChanged;          // the open configuration's name changed
        std::function<void()> askForName;            // nothing is open to save into
    };

    ProjectCommands(PageContext &context, Hooks hooks, QObject *parent = nullptr);

    // The one save operation: checks, write, changed flag, "saved" box. False
    // when nothing is open, a check refused or the file could not be written
    // (each told in a box, but the first).
    bool saveConfiguration();

    void newConfiguration(const QString &name);
    void load(const QString &name);
    void save();
    void saveAs(const QString &name);

    // True when the window may close.
    bool closeQuery();

private:
    bool acceptNewName(const QString &name);
    bool saveOldQuestion();
    bool createFolder(const QString &name);
    void openName(const QString &name);

    PageContext &m_context;
    Hooks m_hooks;
};

} // namespace ui
