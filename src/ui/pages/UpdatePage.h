// The Update Device page: the port list and the firmware and configuration
// choices of a device update.
#pragma once

#include "ui/Page.h"

class QComboBox;

namespace ui {

class UpdatePage : public Page
{
    Q_OBJECT
public:
    UpdatePage(PageContext &context, QWidget *parent = nullptr);
    // Lists the ports again, the last one used chosen.
    void pageShown() override;

private:
    QComboBox *m_ports = nullptr;
};

} // namespace ui
