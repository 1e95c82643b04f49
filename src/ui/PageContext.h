// What every page of the main window works with: the session (record,
// workspace), the changed state, the device link, the texts of the current language, the
// message boxes, the project commands, and the one funnel through which every
// edit of the configuration passes.
#pragma once

#include "app/Session.h"
#include "link/DeviceLink.h"
#include "ui/MessageBoxes.h"
#include "ui/UndoController.h"

#include <QObject>

namespace lang {
class LanguageTexts;
}

namespace ui {

class ProjectCommands;

class PageContext : public QObject
{
    Q_OBJECT
public:
    PageContext(app::Session &session, devlink::DeviceLink &link, const lang::LanguageTexts &texts,
                MessagePresenter &messages, QWidget *dialogParent);
    ~PageContext() override;

    app::Session &session() const { return m_session; }
    config::Configuration &configuration() const { return m_session.configuration(); }
    devlink::DeviceLink &link() const { return m_link; }
    const lang::LanguageTexts &texts() const { return m_texts; }
    // New, Load, Save and Save As, and the one save operation.
    ProjectCommands &commands() const { return *m_commands; }

    // A message text by key, with an optional detail on a line of its own.
    MessageAnswer showMessage(MessageKind kind, const QString &key,
                              MessageButtons buttons = MessageButtons::Ok, const QString &detail = {}) const;
    MessageAnswer showText(MessageKind kind, const QString &text,
                           MessageButtons buttons = MessageButtons::Ok) const;
    // A question with three buttons whose captions are message keys: Yes,
    // No, Cancel in their order.
    MessageAnswer askChoice(MessageKind kind, const QString &text, const QStringList &captionKeys) const;

    // The one funnel of user edits: the record has just been written by a
    // control; keep the step for undo (which makes the configuration
    // changed) and tell whoever listens. Edits with the same merge key that follow each
    // other make one undo step.
    void recordEdited(const EditOrigin &origin = {}, MergeKey key = {});
    // The whole record replaced by a user's choice (a restored copy): one
    // undo step of its own, shown again on every page.
    void replaceRecord(const config::Configuration &record, const EditOrigin &origin = {});
    // The window's undo history, which then gets every edit.
    void setUndo(UndoController *undo) { m_undo = undo; }
    // Something is unsaved: the undo history is away from its clean point.
    bool isChanged() const { return m_undo && m_undo->isChanged(); }

    // The user chose a language: it is shown (languageChosen), then kept in
    // the settings file.
    void chooseLanguage(int code);

signals:
    void configurationEdited();
    void languageChosen(int code);

private:
    app::Session &m_session;
    devlink::DeviceLink &m_link;
    const lang::LanguageTexts &m_texts;
    MessagePresenter &m_messages;
    QWidget *m_dialogParent;
    ProjectCommands *m_commands;
    UndoController *m_undo = nullptr;
};

} // namespace ui
