// trenov5x-cli set-clock: sets the clock of a device.
#include "Commands.h"
#include "link_cli.h"

namespace cli {

namespace {

const char kUsage[] = R"(Usage: trenov5x-cli set-clock --port PORT (--now | HH MI SS DD MO YY)

Sets the clock of the device on PORT, a port name as the port list shows it
(ttyUSB0) or a device path (/dev/pts/3), from the computer's clock (--now) or
from six fields typed as on the Date & Time page: hour, minute, second, day,
month, year (2024 or 24). The frame is built as the page builds it: a field of
one character gets a leading 0, a longer one sends its first two characters.

Exit status: 0 after "Date Time correctly setted!"; 1 with the message the
page would show ("Error! Date or Time Not Valid", "Error! When open COM Port"
and the reason, "Error! No Answer from Device.", "Error! The Answer from
Device is Wrong.") on stderr; 2 for wrong arguments.
)";

const QCommandLineOption kNowOption(QStringLiteral("now"), QStringLiteral("the computer's clock"));

int runSetClock(const QCommandLineParser &parser)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString port = parser.value(kPortOption);
    const bool now = parser.isSet(kNowOption);
    const QStringList args = parser.positionalArguments();
    if (now ? !args.isEmpty() : args.size() != 6) {
        err << (now ? "--now takes no fields\n" : "give --now or the six fields HH MI SS DD MO YY\n")
            << kUsage;
        return 2;
    }

    devlink::DeviceLink link;
    devlink::LinkOutcome outcome;
    if (now)
        outcome = link.setClock(port, devlink::ClockSource::PcClock);
    else
        outcome = link.setClock(port, devlink::ClockSource::Fields,
                                {args.at(0), args.at(1), args.at(2), args.at(3), args.at(4), args.at(5)});
    link.closeLink();
    printOutcome(outcome, port, out, err);
    return outcome.succeeded ? 0 : 1;
}

} // namespace

Command setClockCommand()
{
    Command command;
    command.name = QStringLiteral("set-clock");
    command.summary = QStringLiteral("set the clock of a device");
    command.help = kUsage;
    command.options = {kPortOption, kNowOption};
    command.requiredOptions = kPortOption.names();
    command.arguments = Arguments::CheckedByRun;
    command.wording = Wording::UnknownOption;
    command.run = runSetClock;
    return command;
}

} // namespace cli
