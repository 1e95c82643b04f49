#include "MenuPanel.h"

#include "ui/widgets/SvgPicture.h"
#include "ui/widgets/Theme.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace ui {

MenuPanel::MenuPanel(std::span<const MenuEntry> entries, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Pan_Menu"));
    setFixedWidth(216);
    paintBackground(this, Qt::white);
    m_column = new QVBoxLayout(this);
    m_column->setContentsMargins(7, 0, 8, 0);
    m_column->setSpacing(2);
    for (std::size_t i = 0; i < entries.size(); ++i)
        addEntry(entries[i], menuShortcut(i));
    m_column->addStretch(1);
}

void MenuPanel::addHeading(const MenuGroupDef &group)
{
    if (group.spaceBefore > 0)
        m_column->addSpacing(group.spaceBefore);
    if (group.lineBefore) {
        auto *line = new QFrame(this);
        paintBackground(line, theme::kMain);
        line->setFixedHeight(1);
        m_column->addWidget(line);
    }
    if (!group.panel)
        return;
    auto *header = new QWidget(this);
    header->setObjectName(QLatin1String(group.panel));
    header->setFixedSize(201, 22);
    paintBackground(header, theme::kMain);
    auto *l = new QHBoxLayout(header);
    l->setContentsMargins(0, 0, 0, 0);
    auto *bar = makeBar(QLatin1String(group.caption), QLatin1String(group.captionText), 12, header);
    bar->setContentsMargins(6, 0, 6, 0);
    bar->setMinimumHeight(0);
    l->addWidget(bar);
    m_column->addWidget(header);
    m_column->addSpacing(2);
}

void MenuPanel::addEntry(const MenuEntry &entry, const QKeySequence &shortcut)
{
    if (m_group != entry.group) {
        m_group = entry.group;
        addHeading(menuGroup(entry.group));
    }
    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    auto *icon =
        new SvgPicture(QLatin1String(entry.icon), QLatin1String(entry.resource), QSize(48, 48), this);
    icon->setCursor(Qt::PointingHandCursor);
    auto *caption = new MenuCaption(QLatin1String(entry.caption), this);
    caption->setText(QString::fromUtf8(entry.captionText));
    caption->setWordWrap(true);
    caption->setKeyboardClickable(true);
    // Room between the caption and its focus mark.
    caption->setContentsMargins(4, 2, 4, 2);
    setHintSource(caption, caption, shortcut);
    setHintSource(icon, caption, shortcut);
    row->addWidget(icon);
    row->addWidget(caption, 1);
    if (entry.portLed) {
        auto *led = new QFrame(this);
        led->setObjectName(QStringLiteral("TntS_Led_ComPort"));
        paintBackground(led, Qt::red);
        led->setFixedSize(12, 12);
        led->hide();
        row->addWidget(led);
    }
    m_column->addLayout(row);
    m_rows.insert(entry.page, {icon, caption});
}

} // namespace ui
