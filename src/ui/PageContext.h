// What every page of the main window works with: the session (record, changed
// flag, workspace), the device link, the texts of the current language, the
// message boxes, and the one funnel through which every edit of the
// configuration passes.
#pragma once

#include "app/EditHistory.h"
#include "app/Session.h"
#include "link/DeviceLink.h"
#include "ui/MessageBoxes.h"

#include <QObject>
#include <QPointer>

namespace lang {
class LanguageTexts;
}

namespace ui {

// Where an edit was made: the control, and which of the records it can show
// it showed (the weekly profile on the grid; -1 when it shows only one).
struct EditOrigin
{
    QPointer<QWidget> control;
    int variant = -1;
};

using ConfigurationHistory = app::EditHistory<EditOrigin>;

class PageContext : public QObject
{
    Q_OBJECT
public:
    PageContext(app::Session &session, devlink::DeviceLink &link, const lang::LanguageTexts &texts,
                MessagePresenter &messages, QWidget *dialogParent);

    app::Session &session() const { return m_session; }
    config::Configuration &configuration() const { return m_session.configuration(); }
    devlink::DeviceLink &link() const { return m_link; }
    const lang::LanguageTexts &texts() const { return m_texts; }

    // A message text by key, with an optional detail on a line of its own.
    MessageAnswer showMessage(MessageKind kind, const QString &key,
                              MessageButtons buttons = MessageButtons::Ok, const QString &detail = {}) const;
    MessageAnswer showText(MessageKind kind, const QString &text,
                           MessageButtons buttons = MessageButtons::Ok) const;

    // The one funnel of user edits: the record has just been written by a
    // control; mark the configuration changed, keep the step for undo and
    // tell whoever listens. Edits with the same merge key (not 0) that follow
    // each other make one undo step.
    void recordEdited(const EditOrigin &origin = {}, quint64 mergeKey = 0);

    ConfigurationHistory &history() { return m_history; }

signals:
    void configurationEdited();

private:
    app::Session &m_session;
    devlink::DeviceLink &m_link;
    const lang::LanguageTexts &m_texts;
    MessagePresenter &m_messages;
    QWidget *m_dialogParent;
    ConfigurationHistory m_history;
};

} // namespace ui
