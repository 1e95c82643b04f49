#include "PortComboBox.h"

#include "link/DeviceLink.h"
#include "link/PortList.h"

namespace ui {

PortComboBox::PortComboBox(const QString &name, devlink::DeviceLink &link, QWidget *parent)
    : QComboBox(parent), m_link(link)
{
    setObjectName(name);
    setMinimumWidth(160);
    connect(this, &QComboBox::currentTextChanged, this, [this](const QString &port) {
        if (!m_refilling)
            emit portChanged(port);
    });
}

void PortComboBox::fill()
{
    refill(m_link.lastPortName());
}

void PortComboBox::showPopup()
{
    const QString before = currentText();
    refill(before);
    if (currentText() != before)
        emit portChanged(currentText());
    QComboBox::showPopup();
}

void PortComboBox::refill(const QString &preferred)
{
    const QStringList ports = devlink::listSerialPorts();
    // A preferred port that is gone gives way to the last one used, then the first.
    const devlink::PortList list =
        devlink::fillPortList(ports, ports.contains(preferred) ? preferred : m_link.lastPortName());
    m_refilling = true;
    clear();
    addItems(list.items);
    setCurrentIndex(list.current);
    m_refilling = false;
}

} // namespace ui
