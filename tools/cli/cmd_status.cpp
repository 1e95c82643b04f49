#include "Commands.h"
#include "lang/KeyTable.h"
#include "link_cli.h"

namespace {

const char kUsage[] = R"(Usage: trenov5x-cli status --port PORT

Reads the firmware version and the clock of the device on PORT, a port name
as the port list shows it (ttyUSB0) or a device path (/dev/pts/3), and prints

  Firmware Version : <version>
  Date Time : <hh.mm.ss dd/mm/yy>

Exit status: 0 when both status lines came; 1 when the port does not open
("Error! When open COM Port" and the reason) or the device does not answer
or answers something else ("Error! No Answer from Device."; a reply longer
than the 200 bytes read gives "Error! The Answer from Device is Wrong."),
messages on stderr; 2 for wrong arguments.
)";

} // namespace

int cli::runStatus(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = arguments;
    QString port;
    if (const std::optional<int> exitCode = takeHelpAndPort(args, &port, kUsage, out, err))
        return *exitCode;
    if (!args.isEmpty()) {
        err << "unexpected argument '" << args.first() << "'\n" << kUsage;
        return 2;
    }

    devlink::DeviceLink link;
    const devlink::LinkOutcome outcome = link.ReadStatusClick(port);
    link.closeLink();
    printOutcome(outcome, port, out, err);
    if (!outcome.succeeded)
        return 1;
    out << lang::builtinText(u"TntL_DT_RSD_FW_Ver") << ' ' << outcome.firmwareVersion.value_or(QString())
        << '\n'
        << lang::builtinText(u"TntL_DT_RSD_DT") << ' ' << outcome.dateTime.value_or(QString()) << '\n';
    return 0;
}
