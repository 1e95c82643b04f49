#include "PageContext.h"

#include "lang/LanguageTexts.h"

namespace ui {

PageContext::PageContext(app::Session &session, devlink::DeviceLink &link, const lang::LanguageTexts &texts,
                         MessagePresenter &messages, QWidget *dialogParent)
    : m_session(session), m_link(link), m_texts(texts), m_messages(messages), m_dialogParent(dialogParent)
{
}

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

void PageContext::recordEdited(const EditOrigin &origin, quint64 mergeKey)
{
    m_session.setChanged();
    m_history.record(m_session.configuration(), origin, mergeKey);
    emit configurationEdited();
}

} // namespace ui
