// The Date & Time page: the device clock half (port list, six clock fields,
// set and read commands, the two result labels) and the profile half.
#pragma once

#include "link/DeviceLink.h"
#include "ui/Page.h"

class QLabel;
class QLineEdit;

namespace ui {

class PortComboBox;
class ProfilePanel;

class DateTimePage : public Page
{
    Q_OBJECT
public:
    DateTimePage(PageContext &context, QWidget *parent = nullptr);

    // The page appears from the menu: clock half shown, ports listed, PC clock in the fields.
    void pageShown() override;
    void configurationShown() override;
    void recordRestored() override { configurationShown(); }
    void languageApplied() override;
    void reveal(QWidget *control, int variant) override;
    // Puts the results of a command or a status poll on the page and shows its messages.
    void showOutcome(const devlink::LinkOutcome &outcome);

private:
    QWidget *buildClockHalf();
    devlink::ClockFields fields() const;
    void showHalf(bool profile);
    void blankStatus();

    devlink::DeviceLink &m_link;
    QWidget *m_clockHalf = nullptr;
    ProfilePanel *m_profileHalf = nullptr;
    PortComboBox *m_ports = nullptr;
    QLineEdit *m_hh = nullptr, *m_mi = nullptr, *m_ss = nullptr, *m_dd = nullptr, *m_mo = nullptr,
              *m_yy = nullptr;
    QLabel *m_firmware = nullptr;
    QLabel *m_dateTime = nullptr;
};

} // namespace ui
