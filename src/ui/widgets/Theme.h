// The window's colours and the small styled pieces every page is built from:
// coloured bars, themed buttons and clickable labels.
#pragma once

#include <QColor>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>

namespace ui::theme {

inline const QColor kMain(1, 92, 173);
inline const QColor kPressed(0, 0, 128);
inline const QColor kPressedFont(255, 255, 0);
inline const QColor kHeader(166, 202, 240); // table headers and the sky-blue tabs and links
inline const QColor kUnselected(192, 192, 192);
inline const QColor kHover(0, 0, 255);
inline const QColor kDisabledFace(226, 234, 243);
// The keyboard focus mark: a two-pixel frame that shows on white, silver, sky
// blue and the main colour alike.
inline const QColor kFocus(255, 140, 0);
// Texts and counts that the device will refuse or cut.
inline const QColor kError(204, 0, 0);
// The frame of a field whose value a save would refuse.
inline const QColor kRefused(0xc6, 0x28, 0x28);
// The dynamic property that is true on a control marked as refused, and the
// style sheet rule that draws the mark: fields and table cell editors alike.
inline constexpr char kRefusedProperty[] = "invalid";
QString refusedStyleSheet();
// The background of a table cell whose value a save would refuse.
inline const QColor kRefusedCell(0xff, 0xcd, 0xd2);

// The window's font: Verdana 8 point, or the closest installed family.
QFont baseFont(int pointSize = 8, bool bold = false);

} // namespace ui::theme

namespace ui {

// A label that reports a click; the menu entries, tabs, links and flags.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(const QString &objectName, QWidget *parent = nullptr);

    // Takes the focus with Tab, shows the focus mark and reports Space or
    // Enter as a click: the menu entries and the About icon.
    void setKeyboardClickable(bool on);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};

// Draws the focus mark on a widget that has the keyboard focus.
void drawFocusMark(QWidget *widget);
// True for the keys that click a focused control: Space, Return, Enter.
bool isClickKey(const QKeyEvent *event);

// Marks a control whose value a save would refuse: the red frame, and the
// reason as its tooltip. An empty reason clears the mark and gives the
// control its own tooltip back.
void setRefusalMark(QWidget *control, const QString &reason);
bool hasRefusalMark(const QWidget *control);

// A tooltip that shows the text as it stands, even when it looks like
// markup (a caption or name from a file).
QString plainToolTip(const QString &text);

// A control that shows only a picture or a short caption (menu icons, flags,
// tabs, links) takes its tooltip and accessible name from the caption it
// stands for: a label or a button. refreshHints() copies them again after the
// language changed. A control a shortcut also reaches names the shortcut in
// its tooltip.
void setHintSource(QWidget *control, QWidget *caption, const QKeySequence &shortcut = {});
void refreshHints(QWidget *root);

// "New Configuration (Alt+1)": the text with the shortcut as this platform
// writes it; the text alone without a shortcut.
QString withShortcut(const QString &text, const QKeySequence &shortcut);
// Names a control that shows only a picture: its accessible name and its
// tooltip, which names the shortcut too.
void setNamedHint(QWidget *control, const QString &name, const QKeySequence &shortcut = {});

// A menu caption: underlined in pure blue while the mouse is over it.
class MenuCaption : public ClickLabel
{
    Q_OBJECT
public:
    using ClickLabel::ClickLabel;

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void setHovered(bool hovered);
};

// A bar of one colour with a white bold caption: the title panel's title,
// page titles, sub-titles and menu group headers.
QLabel *makeBar(const QString &captionName, const QString &caption, int pointSize, QWidget *parent,
                const QColor &colour = theme::kMain);

// A push button in the theme's five colours: face, face while pressed,
// border, caption while pressed, caption while disabled.
class ThemedButton : public QPushButton
{
    Q_OBJECT
public:
    ThemedButton(const QString &objectName, const QString &caption, QWidget *parent = nullptr);
};

// Paints a widget's own background in a colour instead of its parent's.
void paintBackground(QWidget *widget, const QColor &colour);

} // namespace ui
