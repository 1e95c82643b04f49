// trenov5x-cli ports: the serial ports the window's port lists offer.
#include "Commands.h"
#include "link/PortList.h"

#include <QTextStream>

namespace {

const char kUsage[] = R"(Usage: trenov5x-cli ports

Lists the serial ports the window's port lists offer, one name per line, in
the same order (ttyS2 before ttyS10); ports in use by another program are
listed too, and so are the links made by 'trenov5x-devsim --link'. Any name
can be given to --port of status, set-clock and update.

Exit status: 0, also when there is no port (a note on stderr says so);
2 for wrong arguments.
)";

} // namespace

int cli::runPorts(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << kUsage;
        return 0;
    }
    if (!args.isEmpty()) {
        err << "unexpected argument '" << args.first() << "'\n" << kUsage;
        return 2;
    }
    const devlink::PortList list = devlink::fillPortList(devlink::listSerialPorts(), QString());
    for (const QString &name : list.items)
        out << name << '\n';
    if (list.items.isEmpty())
        err << "no serial port found\n";
    return 0;
}
