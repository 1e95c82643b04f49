// The small pieces pages are built from: captions from the built-in texts,
// labels, sub-title bars with their links, and the clickable panels and tab
// strips that switch between sub-pages.
#pragma once

#include <QString>
#include <QStringView>
#include <QWidget>
#include <span>

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace ui {

class SvgPicture;

// The built-in English caption of a language key as a control shows it.
QString builtinCaption(QStringView key);
inline QString builtinCaption(QLatin1String key)
{
    return builtinCaption(QStringView(QString(key)));
}

// A label in the window's font; with no text, the built-in caption of its name.
QLabel *makeLabel(const QString &name, QWidget *parent);
QLabel *makeLabel(const QString &name, const QString &text, QWidget *parent);
// A label in bold main colour: the name of an input, the heading of a sub-page.
QLabel *makeHeadingLabel(const QString &name, QWidget *parent);
// A check box with the built-in caption of its name.
QCheckBox *makeCheckBox(const QString &name, QWidget *parent);
// An edit of that name; a width above 0 fixes its width.
QLineEdit *makeEdit(const QString &name, int width, QWidget *parent);
// A picture that is only shown: no click, the cursor of its parent.
QWidget *makeIcon(const QString &resource, int size, QWidget *parent);
// "caption [edit] unit" on one line, the caption the edit's buddy: the
// durations, pulse lengths and levels of the pages.
QHBoxLayout *makeUnitLine(const QString &captionName, QLineEdit *edit, const QString &unitName,
                          QWidget *parent);

// A panel that reacts as one control: a click anywhere on it (its caption and
// picture included), or Space/Enter while it has the focus. Tabs and links.
class ClickPanel : public QWidget
{
    Q_OBJECT
public:
    explicit ClickPanel(const QString &objectName, QWidget *parent = nullptr);

    // A panel that is not clickable shows the arrow, takes no focus and
    // reports nothing (the tab of the sub-page already shown).
    void setClickable(bool clickable);
    bool isClickable() const { return m_clickable; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_clickable = true;
};

// A sub-title bar (main colour). With a link, a sky-blue clickable panel
// ("Profile...", "Analog...") sits at its right end.
struct SubTitle
{
    QWidget *bar = nullptr;
    ClickPanel *link = nullptr;
};
SubTitle makeSubTitle(const QString &captionName, QWidget *parent, const QString &linkPanelName = {},
                      const QString &linkName = {});

enum class TabLook {
    Selected, // the sub-page shown: main colour, white bold caption, marker on its right
    Other,    // leads to another sub-page: sky blue, hand cursor, picture on its left
    Sibling,  // a sibling of the selected tab drawn in silver, hand cursor, picture on its left
};

struct TabDef
{
    const char *panel;   // the tab's panel
    const char *caption; // its caption label, a language key
    TabLook look;
};

// A row of tabs, left-aligned, each a ClickPanel in the order given.
class TabStrip : public QWidget
{
    Q_OBJECT
public:
    TabStrip(std::span<const TabDef> tabs, QWidget *parent = nullptr);
    ClickPanel *tab(int index) const { return m_tabs.at(index).panel; }
    // Redraws a tab, for a strip whose selected tab changes (the weekly profiles).
    void setLook(int index, TabLook look);

private:
    struct Tab
    {
        ClickPanel *panel;
        QLabel *caption;
        SvgPicture *picture;
    };
    QList<Tab> m_tabs;
};

// A strip of two tabs (panel and caption names of each), the tab `selected`
// (0 or 1) drawn as the sub-page shown, the other leading away.
TabStrip *makeTabPair(const QString &panel1, const QString &caption1, const QString &panel2,
                      const QString &caption2, int selected, QWidget *parent);

} // namespace ui
