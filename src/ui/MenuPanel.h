// The menu column of the main window: a heading per group and, per entry,
// its icon and caption, both clickable and the caption a keyboard stop.
// The window wires each row to its page.
#pragma once

#include "ui/WindowPages.h"

#include <QHash>
#include <QWidget>
#include <optional>

class QVBoxLayout;

namespace ui {
class ClickLabel;
}

namespace ui {

class MenuPanel : public QWidget
{
    Q_OBJECT
public:
    // A row per entry in the order given, each group's heading where the
    // group starts; the entries' tooltips name their menuShortcut(). The rows come before the pages in the
    // focus chain, so Tab reaches the menu before the page.
    MenuPanel(std::span<const MenuEntry> entries, QWidget *parent = nullptr);

    struct Row
    {
        ClickLabel *icon = nullptr;
        ClickLabel *caption = nullptr;
    };
    // The entry's clickable icon and caption; the caption has the focus only
    // when Tab gave it.
    Row row(PageId page) const { return m_rows.value(page); }

private:
    void addHeading(const MenuGroupDef &group);
    void addEntry(const MenuEntry &entry, const QKeySequence &shortcut);

    QVBoxLayout *m_column = nullptr;
    std::optional<MenuGroup> m_group;
    QHash<PageId, Row> m_rows;
};

} // namespace ui
