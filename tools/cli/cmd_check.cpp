// trenov5x-cli check: runs the save-time checks on a configuration folder.
#include "Commands.h"
#include "configuration_check.h"
#include "workspace_option.h"

#include <QDir>
#include <QTextStream>

namespace {

const char kCheckHelp[] = R"(Usage: trenov5x-cli check [--workspace DIR] FOLDER

Loads FOLDER/Configuration.xml as the window does and runs the checks the
window runs before every save: the PIN, durations, volt levels, ring counts,
SMS command texts and every table row, in their fixed order.

Prints OK, or the first refused value's message (with the table row number
where the window shows one).

FOLDER is a configuration folder, or the name of a configuration in the
workspace (DIR with --workspace; else the window's own: the program folder
when it can be written, else ~/.local/share/trenov5x).

Exit status:
  0  the configuration passes every check
  1  a check refused it; its message is on standard output
  2  FOLDER holds no readable Configuration.xml (the reason is on standard
     error), or the arguments are wrong
)";

} // namespace

int cli::runCheck(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = arguments;
    QString workspace;
    if (!takeWorkspaceOption(args, &workspace, err))
        return 2;
    QString folder;
    for (const QString &arg : args) {
        if (arg == u"--help" || arg == u"-h") {
            out << kCheckHelp;
            return 0;
        }
        if ((arg.startsWith(u'-') && arg.size() > 1) || !folder.isNull()) {
            err << "trenov5x-cli check: unexpected argument '" << arg << "'\n" << kCheckHelp;
            return 2;
        }
        folder = arg;
    }
    if (folder.isEmpty()) {
        err << kCheckHelp;
        return 2;
    }
    const ConfigurationCheck check = checkConfigurationFile(
        QDir(configurationFolderArgument(folder, workspace)).filePath(QStringLiteral("Configuration.xml")));
    switch (check.status) {
    case ConfigurationCheck::Status::Accepted:
        out << "OK\n";
        return 0;
    case ConfigurationCheck::Status::Refused:
        out << check.text << '\n';
        return 1;
    default:
        err << "trenov5x-cli check: " << check.text << '\n';
        return 2;
    }
}
