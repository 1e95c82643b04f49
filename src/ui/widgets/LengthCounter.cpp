#include "LengthCounter.h"

#include "ui/widgets/Theme.h"

#include <QEvent>
#include <QLineEdit>
#include <QPainter>

namespace ui {

LengthCounter::LengthCounter(QLineEdit *edit, qsizetype limit) : QLabel(edit), m_edit(edit), m_limit(limit)
{
    setObjectName(edit->objectName() + QStringLiteral("_Count"));
    setFont(theme::baseFont(7));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Inside an edit a label would draw in the edit's text colour.
    setForegroundRole(QPalette::WindowText);
    // Clicks go to the edit below.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // Room for the widest count the edit is likely to hold.
    const int width = fontMetrics().horizontalAdvance(countText(limit * 10, limit)) + 4;
    setFixedWidth(width);
    QMargins margins = edit->textMargins();
    margins.setRight(width + 2);
    edit->setTextMargins(margins);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::textChanged, this, &LengthCounter::update);
    update(edit->text());
    place();
}

QString LengthCounter::countText(qsizetype length, qsizetype limit)
{
    return QStringLiteral("%1/%2").arg(length).arg(limit);
}

void LengthCounter::update(const QString &text)
{
    setText(countText(text.size(), m_limit));
    QPalette p = palette();
    p.setColor(QPalette::WindowText, text.size() > m_limit ? theme::kError : QColor(Qt::darkGray));
    setPalette(p);
}

void LengthCounter::place()
{
    setGeometry(m_edit->width() - width() - 3, 0, width(), m_edit->height());
}

bool LengthCounter::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::Resize)
        place();
    return QLabel::eventFilter(watched, event);
}

LimitedCellDelegate::LimitedCellDelegate(qsizetype limit, QObject *parent)
    : QStyledItemDelegate(parent), m_limit(limit)
{
}

QWidget *LimitedCellDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                           const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *edit = qobject_cast<QLineEdit *>(editor)) {
        edit->setObjectName(QStringLiteral("CellEditor"));
        new LengthCounter(edit, m_limit);
    }
    return editor;
}

void LimitedCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const qsizetype length = index.data(Qt::DisplayRole).toString().size();
    if (length <= m_limit)
        return;
    painter->save();
    painter->setFont(theme::baseFont(7));
    painter->setPen(theme::kError);
    const QString count = LengthCounter::countText(length, m_limit);
    const QRect box = option.rect.adjusted(0, 0, -4, 0);
    const QRect back = painter->fontMetrics().boundingRect(box, Qt::AlignRight | Qt::AlignVCenter, count);
    // Over the cell's own background: a refused cell is marked in its colour.
    const QVariant background = index.data(Qt::BackgroundRole);
    painter->fillRect(back.adjusted(-3, 0, 0, 0),
                      background.isValid() ? background.value<QColor>() : option.palette.base().color());
    painter->drawText(box, Qt::AlignRight | Qt::AlignVCenter, count);
    painter->restore();
}

} // namespace ui
