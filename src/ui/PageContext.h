// What every page of the main window works with: the session (record, changed
// flag, workspace), the device link, the texts of the current language, the
// message boxes, and the one funnel through which every edit of the
// configuration passes.
#pragma once

#include "app/Session.h"
#include "link/DeviceLink.h"
#include "ui/MessageBoxes.h"

#include <QObject>

namespace lang {
class LanguageTexts;
}

namespace ui {

class PageContext : public QObject
{
    Q_OBJECT
public:
    PageContext(Session &session, devlink::DeviceLink &link, const lang::LanguageTexts &texts,
                MessagePresenter &messages, QWidget *dialogParent);

    Session &session() const { return m_session; }
    config::Configuration &configuration() const { return m_session.configuration(); }
    devlink::DeviceLink &link() const { return m_link; }
    const lang::LanguageTexts &texts() const { return m_texts; }

    // A message text by key, with an optional detail on a line of its own.
    MessageAnswer showMessage(MessageKind kind, const QString &key, MessageButtons buttons = MessageButtons::Ok,
                              const QString &detail = {}) const;
    MessageAnswer showText(MessageKind kind, const QString &text,
                           MessageButtons buttons = MessageButtons::Ok) const;

    // The one funnel of user edits: the record has just been written by a
    // control; mark the configuration changed and tell whoever listens.
    void recordEdited();

signals:
    void configurationEdited();

private:
    Session &m_session;
    devlink::DeviceLink &m_link;
    const lang::LanguageTexts &m_texts;
    MessagePresenter &m_messages;
    QWidget *m_dialogParent;
};

} // namespace ui
