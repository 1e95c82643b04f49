#include "link/PortList.h"

#include <QDir>
#include <QSerialPortInfo>
#include <algorithm>

namespace devlink {

QStringList listSerialPorts()
{
    QStringList names;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        if (!names.contains(info.portName()))
            names.append(info.portName());
    }
#ifdef Q_OS_LINUX
    // Virtual serial ports: /dev/tty* links to a pseudo-terminal, as made by
    // `trenov5x-devsim --link /dev/ttyV0` or socat, for demonstrations.
    const QFileInfoList links =
        QDir(QStringLiteral("/dev"))
            .entryInfoList({QStringLiteral("tty*")}, QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &link : links) {
        if (link.isSymLink() && link.exists() &&
            link.symLinkTarget().startsWith(QLatin1String("/dev/pts/")) && !names.contains(link.fileName()))
            names.append(link.fileName());
    }
#endif
    std::sort(names.begin(), names.end(), portNameLess);
    return names;
}

bool portNameLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitA = a.at(i).isDigit() && a.at(i).unicode() < 128;
        const bool digitB = b.at(j).isDigit() && b.at(j).unicode() < 128;
        if (digitA && digitB) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && a.at(endA).isDigit() && a.at(endA).unicode() < 128)
                ++endA;
            while (endB < b.size() && b.at(endB).isDigit() && b.at(endB).unicode() < 128)
                ++endB;
            // Compare as numbers without converting: skip leading zeros, then
            // the longer run is larger, then digit by digit.
            qsizetype startA = i;
            qsizetype startB = j;
            while (startA + 1 < endA && a.at(startA) == u'0')
                ++startA;
            while (startB + 1 < endB && b.at(startB) == u'0')
                ++startB;
            const qsizetype lengthA = endA - startA;
            const qsizetype lengthB = endB - startB;
            if (lengthA != lengthB)
                return lengthA < lengthB;
            const int order =
                QStringView(a).mid(startA, lengthA).compare(QStringView(b).mid(startB, lengthB));
            if (order != 0)
                return order < 0;
            if (endA - i != endB - j)
                return endA - i < endB - j; // "ttyS02" after "ttyS2"
            i = endA;
            j = endB;
            continue;
        }
        if (a.at(i) != b.at(j))
            return a.at(i) < b.at(j);
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

PortList fillPortList(const QStringList &ports, const QString &lastPortName)
{
    PortList list;
    list.items = ports;
    if (!list.items.isEmpty())
        list.current = 0;
    if (!lastPortName.isEmpty()) {
        const qsizetype at = list.items.indexOf(lastPortName);
        if (at >= 0)
            list.current = int(at);
    }
    return list;
}

QString devicePath(const QString &portName)
{
#ifdef Q_OS_WIN
    if (portName.startsWith(QLatin1String("\\\\.\\")))
        return portName;
    return QStringLiteral("\\\\.\\") + portName;
#else
    if (portName.startsWith(u'/'))
        return portName;
    return QStringLiteral("/dev/") + portName;
#endif
}

} // namespace devlink
