// Builds the frame every page shares: a white panel that starts with a title
// bar and groups its content under sub-title bars.
#pragma once

#include <QString>

class QBoxLayout;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace ui {

struct PageFrame
{
    QWidget *panel = nullptr;
    QVBoxLayout *content = nullptr; // below the title bar, with the page's margins
};

PageFrame makePage(const QString &panelName, const QString &titleName, const QString &title);

// A sub-title bar; with a link name, a sky-blue link ("Profile...") sits at
// its right end and is returned through *link.
QWidget *makeSubTitle(const QString &captionName, const QString &caption, QWidget *parent,
                      const QString &linkPanelName = {}, const QString &linkName = {},
                      const QString &linkText = {}, QLabel **link = nullptr);

// A label in the window's font.
QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent);

} // namespace ui
