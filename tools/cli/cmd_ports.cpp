// trenov5x-cli ports: the serial ports the window's port lists offer.
#include "Commands.h"
#include "link/PortList.h"

#include <QTextStream>

namespace cli {

namespace {

const char kUsage[] = R"(Usage: trenov5x-cli ports

Lists the serial ports the window's port lists offer, one name per line, in
the same order (ttyS2 before ttyS10); ports in use by another program are
listed too, and so are the links made by 'trenov5x-devsim --link'. Any name
can be given to --port of status, set-clock and update.

Exit status: 0, also when there is no port (a note on stderr says so);
2 for wrong arguments.
)";

int runPorts(const QCommandLineParser &)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const devlink::PortList list = devlink::fillPortList(devlink::listSerialPorts(), QString());
    for (const QString &name : list.items)
        out << name << '\n';
    if (list.items.isEmpty())
        err << "no serial port found\n";
    return 0;
}

} // namespace

Command portsCommand()
{
    Command command;
    command.name = QStringLiteral("ports");
    command.summary = QStringLiteral("list the serial ports the window offers");
    command.help = kUsage;
    command.run = runPorts;
    return command;
}

} // namespace cli
