#include "Theme.h"

#include <QAbstractButton>
#include <QEnterEvent>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextDocument>

namespace ui {

QFont theme::baseFont(int pointSize, bool bold)
{
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("Verdana"))
                                      ? QStringLiteral("Verdana")
                                      : QStringLiteral("DejaVu Sans");
    QFont font(family, pointSize);
    font.setBold(bold);
    return font;
}

ClickLabel::ClickLabel(const QString &objectName, QWidget *parent) : QLabel(parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::setKeyboardClickable(bool on)
{
    // Tab only: a mouse click leaves the focus where it was.
    setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    if (focusPolicy() != Qt::NoFocus && isClickKey(event)) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickLabel::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    drawFocusMark(this);
}

void drawFocusMark(QWidget *widget)
{
    if (!widget->hasFocus())
        return;
    QPainter p(widget);
    p.setPen(QPen(theme::kFocus, 2));
    p.drawRect(QRectF(widget->rect()).adjusted(1, 1, -1, -1));
}

bool isClickKey(const QKeyEvent *event)
{
    const int key = event->key();
    return (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && !event->isAutoRepeat();
}

QString theme::refusedStyleSheet()
{
    return QStringLiteral("QLineEdit[%1=\"true\"] { border: 2px solid %2; padding: 0px 1px; }")
        .arg(QLatin1String(kRefusedProperty), kRefused.name());
}

namespace {
// The tooltip a control had before it was marked.
const char kOwnToolTip[] = "ownToolTip";
} // namespace

void setRefusalMark(QWidget *control, const QString &reason)
{
    const bool marked = hasRefusalMark(control);
    if (!reason.isEmpty()) {
        if (!marked) {
            control->setProperty(kOwnToolTip, control->toolTip());
            control->setProperty(theme::kRefusedProperty, true);
            control->setStyleSheet(theme::refusedStyleSheet());
        }
        control->setToolTip(plainToolTip(reason));
    } else if (marked) {
        control->setProperty(theme::kRefusedProperty, false);
        control->setStyleSheet({});
        control->setToolTip(control->property(kOwnToolTip).toString());
    }
}

bool hasRefusalMark(const QWidget *control)
{
    return control->property(theme::kRefusedProperty).toBool();
}

namespace {
const char kHintSource[] = "hintSource";
const char kHintShortcut[] = "hintShortcut";

QString plainCaption(QString text)
{
    return text.replace(QStringLiteral("&&"), QStringLiteral("&")).simplified();
}
} // namespace

QString plainToolTip(const QString &text)
{
    // A tooltip that looks like markup is drawn as rich text, images and all:
    // a caption from a language file must show as the characters it holds.
    if (!Qt::mightBeRichText(text))
        return text;
    return QStringLiteral("<p style='white-space:pre'>") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

void setHintSource(QWidget *control, QWidget *caption, const QKeySequence &shortcut)
{
    control->setProperty(kHintSource, QVariant::fromValue(static_cast<QObject *>(caption)));
    control->setProperty(kHintShortcut, QVariant::fromValue(shortcut));
}

QString withShortcut(const QString &text, const QKeySequence &shortcut)
{
    if (shortcut.isEmpty())
        return text;
    return QStringLiteral("%1 (%2)").arg(text, shortcut.toString(QKeySequence::NativeText));
}

void setNamedHint(QWidget *control, const QString &name, const QKeySequence &shortcut)
{
    control->setToolTip(plainToolTip(withShortcut(name, shortcut)));
    control->setAccessibleName(name);
}

void refreshHints(QWidget *root)
{
    for (QWidget *control : root->findChildren<QWidget *>()) {
        const QVariant source = control->property(kHintSource);
        if (!source.isValid())
            continue;
        QObject *caption = source.value<QObject *>();
        QString text;
        if (const auto *label = qobject_cast<QLabel *>(caption))
            text = label->text();
        else if (const auto *button = qobject_cast<QAbstractButton *>(caption))
            text = button->text();
        setNamedHint(control, plainCaption(text), control->property(kHintShortcut).value<QKeySequence>());
    }
}

void MenuCaption::enterEvent(QEnterEvent *event)
{
    setHovered(true);
    ClickLabel::enterEvent(event);
}

void MenuCaption::leaveEvent(QEvent *event)
{
    setHovered(false);
    ClickLabel::leaveEvent(event);
}

void MenuCaption::setHovered(bool hovered)
{
    QFont f = font();
    f.setUnderline(hovered);
    setFont(f);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, hovered ? theme::kHover : QColor(Qt::black));
    setPalette(p);
}

void paintBackground(QWidget *widget, const QColor &colour)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, colour);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

QLabel *makeBar(const QString &captionName, const QString &caption, int pointSize, QWidget *parent,
                const QColor &colour)
{
    auto *bar = new QLabel(caption, parent);
    bar->setObjectName(captionName);
    bar->setFont(theme::baseFont(pointSize, true));
    paintBackground(bar, colour);
    QPalette p = bar->palette();
    p.setColor(QPalette::WindowText, Qt::white);
    bar->setPalette(p);
    bar->setContentsMargins(8, 3, 8, 3);
    bar->setMinimumHeight(22);
    return bar;
}

ThemedButton::ThemedButton(const QString &objectName, const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
    setMinimumHeight(25);
    // Enter clicks a focused button, as Space does.
    setAutoDefault(true);
    // The focus mark: a thicker frame in the focus colour, the caption kept
    // in place by a smaller padding.
    setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border: 1px solid %2;"
                                 " border-radius: 2px; padding: 3px 14px; }"
                                 "QPushButton:focus { border: 2px solid %6; padding: 2px 13px; }"
                                 "QPushButton:pressed { background: %3; color: %4; }"
                                 "QPushButton:disabled { background: %5; color: %1; }")
                      .arg(theme::kMain.name(), theme::kMain.darker(130).name(), theme::kPressed.name(),
                           theme::kPressedFont.name(), theme::kDisabledFace.name(), theme::kFocus.name()));
}

} // namespace ui
