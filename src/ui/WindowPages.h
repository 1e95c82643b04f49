// The pages of the main window, one row each: the menu entry that opens it
// (caption, icon, group) and how the page is built. The window adds them in
// this order; Alt+1 ... Alt+9 follow it.
#pragma once

#include "ui/Page.h"

#include <QKeySequence>
#include <span>

namespace ui {

enum class MenuGroup {
    Projects, // under "Main Functions"
    Device,   // under "Main Functions" too, after a line
    Alarm,    // under "Alarm Setting"
};

struct MenuEntry
{
    PageId page;
    const char *caption;     // the caption control, a language key
    const char *captionText; // its built-in English
    const char *icon;        // the icon control
    const char *resource;
    MenuGroup group;
    // Builds the page inside its parent, so it takes the window's font as
    // it is built instead of measuring every caption again when moved in.
    Page *(*make)(PageContext &context, QWidget *parent);
    bool portLed = false; // a port LED sits beside the caption
};

std::span<const MenuEntry> menuEntries();

// The shortcut that opens the entry at this position of menuEntries():
// Alt+1 for the first.
QKeySequence menuShortcut(std::size_t position);

// The heading and spacing a group starts with.
struct MenuGroupDef
{
    MenuGroup group;
    const char *panel;   // the heading's panel, or nullptr for no heading
    const char *caption; // its caption control, a language key
    const char *captionText;
    int spaceBefore;
    bool lineBefore;
};

const MenuGroupDef &menuGroup(MenuGroup group);

} // namespace ui
