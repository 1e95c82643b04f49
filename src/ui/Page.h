// A page of the main window's page area. The window stacks the pages, shows
// one at a time by its id, and tells every page when a configuration has been
// loaded or created.
#pragma once

#include "ui/PageContext.h"

#include <QWidget>

class QVBoxLayout;

namespace ui {

// Shows, in every stacked widget between the control and `top`, the page that
// holds the control.
void showInStacks(QWidget *control, const QWidget *top);

enum class PageId { None, New, Load, Save, Update, Preferences, Phone, Input, Output, DateTime };

class Page;

// The page that holds a control, or nullptr.
Page *pageOf(QWidget *control);

class Page : public QWidget
{
    Q_OBJECT
public:
    Page(PageId id, PageContext &context, QWidget *parent = nullptr);

    PageId id() const { return m_id; }

    // The menu has made this the visible page.
    virtual void pageShown() {}
    // The record was replaced (start, load, new configuration): show it.
    // Pages refresh their controls without marking the configuration changed.
    virtual void configurationShown() {}
    // Undo or redo put an earlier record back: show it, staying where the
    // user is on the page.
    virtual void recordRestored() {}
    // The window's language was applied to the page's named controls: texts
    // the page composes itself follow it here.
    virtual void languageApplied() {}
    // Brings a control of the page into view after undo or redo: the
    // sub-pages holding it are shown. `variant` is which of several records
    // the control showed when it was edited (see EditOrigin).
    virtual void reveal(QWidget *control, int variant);

protected:
    // The frame most pages share: the page's object name, a white panel, the
    // title bar, and a content column with the page margins.
    QVBoxLayout *buildFrame(const QString &panelName, const QString &titleName);

    PageContext &m_context;

private:
    PageId m_id;
};

} // namespace ui
