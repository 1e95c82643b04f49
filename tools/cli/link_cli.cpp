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

std::optional<int> takeHelpAndPort(QStringList &args, QString *port, const char *usage, QTextStream &out,
                                   QTextStream &err)
{
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        out << usage;
        return 0;
    }
    if (!takePortArgument(args, port, err)) {
        err << usage;
        return 2;
    }
    return std::nullopt;
}

bool takePortArgument(QStringList &args, QString *port, QTextStream &err)
{
    bool found = false;
    for (qsizetype i = 0; i < args.size();) {
        QString value;
        if (args.at(i) == QLatin1String("--port")) {
            if (i + 1 >= args.size()) {
                err << "--port needs a port name or a device path\n";
                return false;
            }
            value = args.at(i + 1);
            args.remove(i, 2);
        } else if (args.at(i).startsWith(QLatin1String("--port="))) {
            value = args.at(i).mid(7);
            args.remove(i);
        } else {
            ++i;
            continue;
        }
        if (found) {
            err << "--port given twice\n";
            return false;
        }
        found = true;
        *port = value;
    }
    if (!found || port->isEmpty()) {
        err << "--port PORT is required\n";
        return false;
    }
    return true;
}

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
