// The profile half of the Date & Time page: the weekly, daily and date panels,
// each with its strip of five tabs. The enable boxes and the slot grids edit
// the profile store of the record directly, so the record holds every click
// at once; showing a stored profile never marks the configuration changed.
#pragma once

#include "ui/Binder.h"

#include <QWidget>

class QCheckBox;
class QStackedWidget;

namespace ui {

class PageContext;
class SlotGrid;
class TabStrip;

class ProfilePanel : public QWidget
{
    Q_OBJECT
public:
    explicit ProfilePanel(PageContext &context, QWidget *parent = nullptr);

    // Entering the profile half always starts at Weekly 1.
    void enter() { showWeekly(0); }
    // The record was replaced: show it where it is on screen.
    void refresh() { m_binder.refresh(); }
    // The weekly profile's enable box names the profile on show in the
    // current language.
    void showWeekCaption();
    // Shows the panel of a control; the weekly grid and its enable box with
    // the weekly profile `variant`.
    void reveal(QWidget *control, int variant);

signals:
    // The "DateTime..." link.
    void dateTimeRequested();

private:
    QWidget *buildWeekly();
    QWidget *buildDaily();
    QWidget *buildDate();
    TabStrip *addStrip(QWidget *panel, int strip);
    void showWeekly(int profile);
    void showPanel(int index);

    PageContext &m_context;
    Binder m_binder;
    int m_week = 0; // the weekly profile on the weekly panel
    QStackedWidget *m_panels = nullptr;
    TabStrip *m_weekStrip = nullptr;
    QCheckBox *m_weekEnable = nullptr;
    SlotGrid *m_weekGrid = nullptr;
    QList<QWidget *> m_firstControls; // per panel, where the keyboard goes after a tab
};

} // namespace ui
