// The Output Setting page: the two digital outputs.
#pragma once

#include "ui/Binder.h"
#include "ui/Page.h"

namespace ui {

class OutputPage : public Page
{
    Q_OBJECT
public:
    OutputPage(PageContext &context, QWidget *parent = nullptr);
    void configurationShown() override { m_binder.refresh(); }

private:
    Binder m_binder;
};

} // namespace ui
