#include "Theme.h"

#include <QEnterEvent>
#include <QFontDatabase>
#include <QMouseEvent>

QFont theme::baseFont(int pointSize, bool bold)
{
    static const QString family = QFontDatabase::hasFamily(QStringLiteral("Verdana"))
                                      ? QStringLiteral("Verdana")
                                      : QStringLiteral("DejaVu Sans");
    QFont font(family, pointSize);
    font.setBold(bold);
    return font;
}

namespace ui {

ClickLabel::ClickLabel(const QString &objectName, QWidget *parent) : QLabel(parent)
{
    setObjectName(objectName);
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
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
    setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border: 1px solid %2;"
                                 " border-radius: 2px; padding: 3px 14px; }"
                                 "QPushButton:focus { border: 1px solid %3; }"
                                 "QPushButton:pressed { background: %3; color: %4; }"
                                 "QPushButton:disabled { background: %5; color: %1; }")
                      .arg(theme::kMain.name(), theme::kMain.darker(130).name(), theme::kPressed.name(),
                           theme::kPressedFont.name(), theme::kDisabledFace.name()));
}

} // namespace ui
