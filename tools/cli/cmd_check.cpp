// trenov5x-cli check: runs the save-time checks on a configuration folder.
#include "Commands.h"
#include "configuration_check.h"
#include "workspace_option.h"

#include <QDir>
#include <QTextStream>

namespace cli {

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

int runCheck(const QCommandLineParser &parser)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString folder = configurationFolderArgument(parser.positionalArguments().constFirst(),
                                                       parser.value(kWorkspaceOption));
    const ConfigurationCheck check =
        checkConfigurationFile(QDir(folder).filePath(QStringLiteral("Configuration.xml")));
    // An older file is read with fallbacks for what it lacks: the build
    // reads it as it stands, so say what the window's next save adds.
    for (const QString &element : check.filledIn)
        err << "trenov5x-cli check: warning: the element " << element
            << " is missing; it is read as its default, and the window's next save adds it\n";
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

} // namespace

Command checkCommand()
{
    Command command;
    command.name = QStringLiteral("check");
    command.summary = QStringLiteral("run the checks the window runs before a save");
    command.help = kCheckHelp;
    command.options = {kWorkspaceOption};
    command.arguments = Arguments::One;
    command.argumentName = QStringLiteral("FOLDER");
    command.namedInMessages = true;
    command.run = runCheck;
    return command;
}

} // namespace cli
