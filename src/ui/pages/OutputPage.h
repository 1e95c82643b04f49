// The Output Setting page: the two digital outputs, each with its SMS and
// CALL sub-pages, switched by the output tabs and the SMS/CALL tabs. It edits
// the output part of the configuration; several controls are enabled only
// while the check box that governs them is checked.
#pragma once

#include "ui/Binder.h"
#include "ui/Page.h"

class QStackedWidget;

namespace ui {

class OutputPanel;

class OutputPage : public Page
{
    Q_OBJECT
public:
    OutputPage(PageContext &context, QWidget *parent = nullptr);

    // From the menu: output 1, both outputs on their SMS sub-pages.
    void pageShown() override;
    void configurationShown() override { m_binder.refresh(); }
    void recordRestored() override { m_binder.refresh(); }

private:
    Binder m_binder;
    QStackedWidget *m_outputs = nullptr;
    OutputPanel *m_panels[2] = {};
};

} // namespace ui
