// trenov5x-cli table: one message or number table to and from a CSV file.
#include "Commands.h"
#include "app/TableCatalog.h"
#include "app/TableCsv.h"
#include "config/ConfigurationChecks.h"
#include "config/ConfigurationFile.h"
#include "config/FileAccess.h"
#include "language_option.h"
#include "workspace_option.h"

#include <QDir>
#include <QTextStream>

namespace cli {

namespace {

const char kTableHelp[] =
    R"(Usage: trenov5x-cli table export [--workspace DIR] [--language LANGUAGE] FOLDER TABLE FILE
       trenov5x-cli table import [--workspace DIR] FOLDER TABLE FILE [--append]

export writes the rows of one table of FOLDER/Configuration.xml to FILE as
CSV: UTF-8 with a byte order mark, a header row of the table's column
captions in LANGUAGE (eng, the default, ita, ger or spa), fields with
commas, quotes or line breaks in quotes.

import replaces the rows of the table with the rows of FILE (after them
with --append) and saves FOLDER/Configuration.xml. The columns are found
by their captions in any of the four languages, in any order; commas,
semicolons and tabs separate fields. A file whose columns do not fit the
table is refused with its line, and nothing changes. Rows the window's
save-time checks would refuse are imported and named on standard error.

TABLE is one of DI1_F0T1, DI1_F1T0, DI2_F0T1, DI2_F1T0, AI1_High, AI1_Low,
DO1_SMS, DO1_CALL, DO2_SMS, DO2_CALL. FOLDER is a configuration folder or
the name of a configuration in the workspace, as for 'trenov5x-cli check'.

Exit status:
  0  the file or the configuration was written
  1  the CSV file was refused or a file could not be written; the reason
     is on standard error
  2  FOLDER holds no readable Configuration.xml, or the arguments are wrong
)";

const QCommandLineOption kAppendOption(QStringLiteral("append"),
                                       QStringLiteral("add the rows after the table's"));

// A table file is a few megabytes at most; a larger one is not a table.
constexpr qint64 kMaxCsvBytes = 64 * 1024 * 1024;

int runTable(const QCommandLineParser &parser)
{
    QTextStream err(stderr);
    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 4 ||
        (arguments[0] != QLatin1String("export") && arguments[0] != QLatin1String("import"))) {
        err << "trenov5x-cli table: give export or import, then FOLDER, TABLE and FILE\n";
        return 2;
    }
    const bool exporting = arguments[0] == QLatin1String("export");
    if (exporting && parser.isSet(kAppendOption)) {
        err << "trenov5x-cli table: --append is for import\n";
        return 2;
    }
    const std::optional<int> table = app::tableByName(arguments[2]);
    if (!table) {
        err << "trenov5x-cli table: unknown table '" << arguments[2] << "'; use one of "
            << app::tableNames().join(QStringLiteral(", ")) << '\n';
        return 2;
    }
    const QString workspace = parser.value(kWorkspaceOption);
    const QString languageFolder = runWorkspace(workspace).languageFolder();
    const std::optional<lang::LanguageTexts> texts =
        languageTexts(parser.value(kLanguageOption), languageFolder, QStringLiteral("table"));
    if (!texts)
        return 2;
    const QString path = QDir(configurationFolderArgument(arguments[1], workspace))
                             .filePath(QLatin1String(config::kConfigurationFileName));
    config::FileCheck read = config::checkConfigurationFile(path);
    if (read.status == config::FileCheck::Status::Missing ||
        read.status == config::FileCheck::Status::Unreadable) {
        err << "trenov5x-cli table: " << read.error << '\n';
        return 2;
    }
    const QString file = arguments[3];
    if (exporting) {
        const QByteArray csv = app::writeTableCsv(app::tableHeader(*table, *texts),
                                                  app::tableOf(read.configuration, *table).rows());
        const config::fileaccess::WriteResult written = config::fileaccess::writeFileAtomically(file, csv);
        if (!written.ok) {
            err << "trenov5x-cli table: " << QDir::toNativeSeparators(file) << ": " << written.error << '\n';
            return 1;
        }
        return 0;
    }

    const config::fileaccess::ReadResult bytes = config::fileaccess::readRegularFile(file, kMaxCsvBytes);
    if (bytes.status != config::fileaccess::ReadStatus::Read) {
        err << "trenov5x-cli table: " << QDir::toNativeSeparators(file) << ": " << bytes.reason() << '\n';
        return 1;
    }
    const app::CsvTable csv =
        app::readTableCsv(bytes.bytes, app::tableHeadersOfAllLanguages(*table, languageFolder));
    if (!csv.ok()) {
        err << "trenov5x-cli table: " << QDir::toNativeSeparators(file) << ": "
            << app::csvErrorText(csv, *texts, app::tableHeader(*table, *texts)) << '\n';
        return 1;
    }
    config::SmsTable &target = app::tableOf(read.configuration, *table);
    QList<config::TableRow> rows;
    if (parser.isSet(kAppendOption))
        for (const config::TableRow &row : target.rows())
            if (!config::SmsTable::isBlank(row))
                rows << row;
    const qsizetype first = rows.size();
    for (const config::TableRow &row : csv.rows)
        rows << app::asStored(*table, row);
    target.setRows(rows);
    const config::WriteResult written = config::writeConfigurationFile(read.configuration, path);
    if (!written.ok) {
        err << "trenov5x-cli table: " << QDir::toNativeSeparators(path) << ": " << written.error << '\n';
        return 1;
    }
    for (qsizetype r = first; r < rows.size(); ++r) {
        const config::RowRefusal refusal = app::checkTableRow(*table, rows[r]);
        if (refusal.refused())
            err << "trenov5x-cli table: warning: "
                << config::failureText({0, refusal.key.toString(), int(r + 1)},
                                       texts->messageText(refusal.key))
                << '\n';
    }
    return 0;
}

} // namespace

Command tableCommand()
{
    Command command;
    command.name = QStringLiteral("table");
    command.summary = QStringLiteral("export or import a table as a CSV file");
    command.help = kTableHelp;
    command.options = {kWorkspaceOption, kLanguageOption, kAppendOption};
    command.arguments = Arguments::CheckedByRun;
    command.argumentName = QStringLiteral("FOLDER");
    command.namedInMessages = true;
    command.run = runTable;
    return command;
}

} // namespace cli
