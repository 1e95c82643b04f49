// A port drop-down list that lists the ports again each time it opens, so a
// device plugged in after the page appeared can be chosen.
#pragma once

#include <QComboBox>

namespace devlink {
class DeviceLink;
}

namespace ui {

class PortComboBox : public QComboBox
{
    Q_OBJECT
public:
    PortComboBox(const QString &name, devlink::DeviceLink &link, QWidget *parent = nullptr);

    // Lists the ports with the last port used chosen (the page appears).
    void fill();
    // Lists the ports again; the choice stays when its port is still there.
    void showPopup() override;

signals:
    // The user chose another port, or the chosen one went away on a refill.
    // A refill that keeps the choice says nothing.
    void portChanged(const QString &port);

private:
    void refill(const QString &preferred);

    devlink::DeviceLink &m_link;
    bool m_refilling = false;
};

} // namespace ui
