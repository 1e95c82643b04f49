#include "link_cli.h"

#include "lang/KeyTable.h"
#include "link/PortList.h"

#include <cerrno>

namespace cli {

namespace {

QString openFailureReason(int code)
{
    switch (code) {
    case ENOENT:
    case EISDIR:
        return QStringLiteral("no such device");
    case EBUSY:
        return QStringLiteral("in use by another program");
    case EACCES:
    case EPERM:
        return QStringLiteral("no permission");
    case -1:
        return QStringLiteral("not a serial device");
    case ELOOP:
        return QStringLiteral("a loop of symbolic links");
    case EIO:
        return QStringLiteral("cannot be opened");
    default:
        return qt_error_string(code);
    }
}

} // namespace

const QCommandLineOption kPortOption(QStringLiteral("port"), QStringLiteral("a port name or a device path"),
                                     QStringLiteral("PORT"));

void printOutcome(const devlink::LinkOutcome &outcome, const QString &port, QTextStream &out,
                  QTextStream &err)
{
    for (const devlink::LinkMessage &message : outcome.messages) {
        QTextStream &stream = message.kind == devlink::MessageKind::Information ? out : err;
        stream << lang::builtinText(message.key) << '\n';
        if (outcome.portError && message.key == devlink::openFailureKey(outcome.portError->code())) {
            err << devlink::devicePath(port) << ": " << openFailureReason(outcome.portError->code()) << " ("
                << outcome.portError->text().trimmed() << ")\n";
        } else if (message.kind != devlink::MessageKind::Information && outcome.portError) {
            err << "Port error: " << outcome.portError->text().trimmed() << '\n';
        }
    }
    out.flush();
    err.flush();
}

} // namespace cli
