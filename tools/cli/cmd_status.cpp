// trenov5x-cli status: reads the firmware version and the clock of a device.
#include "Commands.h"
#include "lang/KeyTable.h"
#include "link_cli.h"

#include <QDate>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTime>

namespace cli {

namespace {

const char kUsage[] = R"(Usage: trenov5x-cli status --port PORT [--json]

Reads the firmware version and the clock of the device on PORT, a port name
as 'trenov5x-cli ports' lists it (ttyUSB0) or a device path (/dev/pts/3),
and prints

  Firmware Version : <version>
  Date Time : <hh.mm.ss dd/mm/yy>

--json prints one JSON object instead:

  {"port": "<PORT>", "firmwareVersion": "<version>",
   "dateTime": "<hh.mm.ss dd/mm/yy>", "dateTimeIso": "<yyyy-mm-ddThh:mm:ss>"}

dateTimeIso is null when the device's clock is not a valid date and time.

Exit status: 0 when both status lines came; 1 when the port does not open
("Error! When open COM Port" and the reason) or the device does not answer
or answers something else ("Error! No Answer from Device."; a reply longer
than the 200 bytes read gives "Error! The Answer from Device is Wrong."),
messages on stderr; 2 for wrong arguments.
)";

// The device's clock "hh.mm.ss dd/mm/yy" as an ISO 8601 local time (years
// 2000-2099); null when it is not a valid date and time.
QJsonValue isoDateTime(const QString &deviceClock)
{
    static const QRegularExpression kClock(
        QStringLiteral("^(\\d\\d)\\.(\\d\\d)\\.(\\d\\d) (\\d\\d)/(\\d\\d)/(\\d\\d)$"));
    const QRegularExpressionMatch m = kClock.match(deviceClock);
    if (!m.hasMatch())
        return QJsonValue::Null;
    const auto field = [&m](int i) { return m.captured(i).toInt(); };
    const QDate date(2000 + field(6), field(5), field(4));
    const QTime time(field(1), field(2), field(3));
    if (!date.isValid() || !time.isValid())
        return QJsonValue::Null;
    // Written from its parts: the device knows no time zone, and a local
    // QDateTime would move a time inside a daylight-saving gap.
    return date.toString(Qt::ISODate) + u'T' + time.toString(Qt::ISODate);
}

const QCommandLineOption kJsonOption(QStringLiteral("json"), QStringLiteral("print JSON"));

int runStatus(const QCommandLineParser &parser)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString port = parser.value(kPortOption);
    const bool json = parser.isSet(kJsonOption);

    devlink::DeviceLink link;
    const devlink::LinkOutcome outcome = link.readStatus(port);
    link.closeLink();
    printOutcome(outcome, port, out, err);
    if (!outcome.succeeded)
        return 1;
    if (json) {
        const QString clock = outcome.dateTime.value_or(QString());
        const QJsonObject object{{"port", port},
                                 {"firmwareVersion", outcome.firmwareVersion.value_or(QString())},
                                 {"dateTime", clock},
                                 {"dateTimeIso", isoDateTime(clock)}};
        out << QJsonDocument(object).toJson(QJsonDocument::Indented);
        return 0;
    }
    out << lang::builtinText(u"TntL_DT_RSD_FW_Ver") << ' ' << outcome.firmwareVersion.value_or(QString())
        << '\n'
        << lang::builtinText(u"TntL_DT_RSD_DT") << ' ' << outcome.dateTime.value_or(QString()) << '\n';
    return 0;
}

} // namespace

Command statusCommand()
{
    Command command;
    command.name = QStringLiteral("status");
    command.summary = QStringLiteral("read the firmware version and clock of a device");
    command.help = kUsage;
    command.options = {kPortOption, kJsonOption};
    command.requiredOptions = kPortOption.names();
    command.run = runStatus;
    return command;
}

} // namespace cli
