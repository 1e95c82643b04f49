// trenov5x-cli diff: the differences between two configurations, in words.
#include "Commands.h"
#include "app/ConfigurationCompare.h"
#include "config/ConfigurationChecks.h"
#include "config/ConfigurationFile.h"
#include "language_option.h"
#include "workspace_option.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace cli {

namespace {

const char kDiffHelp[] = R"(Usage: trenov5x-cli diff [--workspace DIR] [--language LANGUAGE] A B

Compares two configurations and prints one line for each difference, with
its place (page, panel, table and row) and both values, from A to B. Table
rows are matched by their content: a row inserted at the top is one added
row, a row moved elsewhere is one moved row.

A and B are configuration folders (or names of configurations in the
workspace, as for 'trenov5x-cli check'), history entries of a configuration,
or Configuration.xml files. LANGUAGE is eng (the default), ita, ger or spa.

Exit status:
  0  the configurations are the same
  1  they differ; the differences are on standard output
  2  A or B cannot be read (the reason is on standard error), or the
     arguments are wrong
)";

QString configurationFile(const QString &argument, const QString &workspace)
{
    if (QFileInfo(argument).isFile())
        return argument;
    return QDir(configurationFolderArgument(argument, workspace))
        .filePath(QLatin1String(config::kConfigurationFileName));
}

int runDiff(const QCommandLineParser &parser)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 2) {
        err << "trenov5x-cli diff: give two configurations, A and B\n";
        return 2;
    }
    const QString workspace = parser.value(kWorkspaceOption);
    const std::optional<lang::LanguageTexts> texts = languageTexts(
        parser.value(kLanguageOption), runWorkspace(workspace).languageFolder(), QStringLiteral("diff"));
    if (!texts)
        return 2;
    config::Configuration sides[2];
    for (int i = 0; i < 2; ++i) {
        const config::FileCheck read =
            config::checkConfigurationFile(configurationFile(arguments[i], workspace));
        if (read.status == config::FileCheck::Status::Missing ||
            read.status == config::FileCheck::Status::Unreadable) {
            err << "trenov5x-cli diff: " << read.error << '\n';
            return 2;
        }
        sides[i] = read.configuration;
    }
    const QList<app::Difference> differences = app::compareConfigurations(sides[0], sides[1], *texts);
    for (const app::Difference &d : differences)
        out << d.text << '\n';
    return differences.isEmpty() ? 0 : 1;
}

} // namespace

Command diffCommand()
{
    Command command;
    command.name = QStringLiteral("diff");
    command.summary = QStringLiteral("list the differences between two configurations");
    command.help = kDiffHelp;
    command.options = {kWorkspaceOption, kLanguageOption};
    command.arguments = Arguments::CheckedByRun;
    command.argumentName = QStringLiteral("A B");
    command.namedInMessages = true;
    command.run = runDiff;
    return command;
}

} // namespace cli
