// trenov5x-cli history and restore: what was written into devices from a
// configuration, and putting one of those configurations back.
#include "Commands.h"
#include "app/UpdateHistory.h"
#include "workspace_option.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace {

const char kHistoryHelp[] = R"(Usage: trenov5x-cli history FOLDER [--workspace DIR]

Lists the updates kept in FOLDER/history/, oldest first, one line each:
the entry's name, its time, the outcome and the firmware version read back
from the device afterwards (empty when none was read).

Exit status: 0 listed (also when empty), 2 the arguments are wrong.
)";

const char kRestoreHelp[] = R"(Usage: trenov5x-cli restore FOLDER ENTRY [--workspace DIR]

Makes the Configuration.xml of the history entry ENTRY (a name that
'history' lists) the configuration's file FOLDER/Configuration.xml. The file
it replaces is kept first as a new history entry; the file is replaced at
once, never left half written.

Exit status: 0 restored, 1 the entry is missing or a file could not be
written, 2 the arguments are wrong.
)";

QString folderOf(const QCommandLineParser &parser)
{
    return QDir(cli::configurationFolderArgument(parser.positionalArguments().constFirst(),
                                                 parser.value(cli::kWorkspaceOption)))
               .absolutePath() +
           QLatin1Char('/');
}

int runHistory(const QCommandLineParser &parser)
{
    QTextStream out(stdout);
    for (const app::HistoryEntry &e : app::UpdateHistory(folderOf(parser)).entries())
        out << e.name << '\t' << e.time.toString(Qt::ISODate) << '\t' << e.outcome << '\t'
            << e.firmwareVersion << '\n';
    return 0;
}

int runRestore(const QCommandLineParser &parser)
{
    QTextStream err(stderr);
    const QStringList args = parser.positionalArguments();
    if (args.size() != 2) {
        err << "trenov5x-cli restore: give FOLDER and ENTRY\n" << kRestoreHelp;
        return 2;
    }
    const QString folder = folderOf(parser);
    app::UpdateHistory history(folder);
    const QString name = args.at(1);
    QFile source(history.entryFolder(name) + QStringLiteral("Configuration.xml"));
    if (name.contains(u'/') || name.startsWith(u'.') || !source.open(QIODevice::ReadOnly)) {
        err << "trenov5x-cli restore: no history entry '" << name << "' in "
            << QDir::toNativeSeparators(history.folder()) << '\n';
        return 1;
    }
    const QByteArray restored = source.readAll();
    const QString target = folder + QStringLiteral("Configuration.xml");
    QFile current(target);
    if (current.open(QIODevice::ReadOnly)) {
        // The file replaced is kept before anything is replaced.
        QString error;
        const std::optional<QString> kept =
            history.begin(QDateTime::currentDateTime(), current.readAll(), {}, &error);
        app::HistoryEntry entry;
        if (kept) {
            entry.name = *kept;
            entry.time = QDateTime::currentDateTime();
            entry.outcome = QStringLiteral("replaced");
        }
        if (!kept || !history.complete(entry, &error)) {
            err << "trenov5x-cli restore: the history could not be written, nothing was restored:\n"
                << error << '\n';
            return 1;
        }
    }
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(restored) != restored.size() || !file.commit()) {
        err << "trenov5x-cli restore: " << QDir::toNativeSeparators(target) << ": " << file.errorString()
            << '\n';
        return 1;
    }
    return 0;
}

} // namespace

cli::Command cli::historyCommand()
{
    Command command;
    command.name = QStringLiteral("history");
    command.summary = QStringLiteral("list the updates written from a configuration");
    command.help = kHistoryHelp;
    command.options = {kWorkspaceOption};
    command.arguments = Arguments::One;
    command.argumentName = QStringLiteral("FOLDER");
    command.namedInMessages = true;
    command.run = runHistory;
    return command;
}

cli::Command cli::restoreCommand()
{
    Command command;
    command.name = QStringLiteral("restore");
    command.summary = QStringLiteral("make a configuration of the history the configuration's file");
    command.help = kRestoreHelp;
    command.options = {kWorkspaceOption};
    command.arguments = Arguments::CheckedByRun;
    command.argumentName = QStringLiteral("FOLDER");
    command.namedInMessages = true;
    command.run = runRestore;
    return command;
}
