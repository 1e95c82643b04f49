// The Input Setting page: the digital settings (Digital Input 1 or 2) and the
// analog settings, switched by the "Analog..." and "Digital..." links and the
// input tabs. It edits the input part of the configuration.
#pragma once

#include "ui/Binder.h"
#include "ui/Page.h"

class QStackedWidget;

namespace ui {

class DigitalInputPanel;

class InputPage : public Page
{
    Q_OBJECT
public:
    InputPage(PageContext &context, QWidget *parent = nullptr);

    // From the menu: the digital settings with Digital Input 1.
    void pageShown() override;
    void configurationShown() override { m_binder.refresh(); }
    void recordRestored() override { m_binder.refresh(); }

private:
    void showAnalog(bool analog);
    void showDigitalInput(int input);

    Binder m_binder;
    QStackedWidget *m_halves = nullptr;
    QStackedWidget *m_digitalInputs = nullptr;
};

} // namespace ui
