// The serial ports the two port lists offer, the one to preselect, and the
// device path of a port name.
#pragma once

#include <QString>
#include <QStringList>

namespace devlink {

// The system names of the serial ports that exist (ttyUSB0, ttyACM0, ttyS0 on
// Linux; COM3 on Windows), in natural ascending order (ttyS2 before ttyS10).
// Ports in use by another program are listed too.
QStringList listSerialPorts();

// Ascending order of port names that reads runs of digits as numbers.
bool portNameLess(const QString &a, const QString &b);

// What a port drop-down list shows after a refill: the items in order and the
// row to select (-1 only when there are no items).
struct PortList
{
    QStringList items;
    int current = -1;
};

// The first item is selected, or the item equal to lastPortName when listed.
PortList fillPortList(const QStringList &ports, const QString &lastPortName);

// "/dev/" + name on Linux, "\\.\" + name on Windows. A full device path
// ("/dev/pts/3") is taken as it is, so scripts and tests can name a port the
// list does not show.
QString devicePath(const QString &portName);

} // namespace devlink
