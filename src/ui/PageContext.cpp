#include "PageContext.h"

#include "lang/LanguageTexts.h"
#include "ui/ProjectCommands.h"

namespace ui {

PageContext::PageContext(app::Session &session, devlink::DeviceLink &link, const lang::LanguageTexts &texts,
                         MessagePresenter &messages, QWidget *dialogParent)
    : m_session(session), m_link(link), m_texts(texts), m_messages(messages), m_dialogParent(dialogParent),
      m_commands(new ProjectCommands(*this, this))
{
}

PageContext::~PageContext() = default;

MessageAnswer PageContext::showMessage(MessageKind kind, const QString &key, MessageButtons buttons,
                                       const QString &detail) const
{
    QString text = m_texts.messageText(key);
    if (!detail.isEmpty())
        text += QLatin1Char('\n') + detail;
    return showText(kind, text, buttons);
}

MessageAnswer PageContext::showText(MessageKind kind, const QString &text, MessageButtons buttons) const
{
    return m_messages.show(m_dialogParent, kind, text, buttons);
}

MessageAnswer PageContext::askChoice(MessageKind kind, const QString &text,
                                     const QStringList &captionKeys) const
{
    QStringList captions;
    for (const QString &key : captionKeys)
        captions.append(m_texts.messageText(key));
    return m_messages.choose(m_dialogParent, kind, text, captions);
}

void PageContext::recordEdited(const EditOrigin &origin, MergeKey key)
{
    if (m_undo)
        m_undo->recordEdited(origin, key);
    emit configurationEdited();
}

void PageContext::replaceRecord(const config::Configuration &record, const EditOrigin &origin)
{
    m_session.configuration() = record;
    // A key without a source never merges with the edit before it.
    recordEdited(origin, MergeKey{});
    if (m_undo)
        m_undo->showRecord();
}

void PageContext::chooseLanguage(int code)
{
    m_session.setLanguageCode(code);
    emit languageChosen(m_session.languageCode());
    if (const app::SettingsWriteResult r = m_session.writeSettings(); !r.ok)
        showMessage(MessageKind::Error, QStringLiteral("Error_Write_File"), MessageButtons::Ok, r.error);
}

} // namespace ui
