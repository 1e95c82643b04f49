// The Phone Setting page: the SIM PIN and the daylight-saving switch.
#pragma once

#include "ui/Binder.h"
#include "ui/Page.h"

namespace ui {

class PhonePage : public Page
{
    Q_OBJECT
public:
    PhonePage(PageContext &context, QWidget *parent = nullptr);
    void configurationShown() override { m_binder.refresh(); }
    void recordRestored() override { m_binder.refresh(); }

private:
    Binder m_binder;
};

} // namespace ui
