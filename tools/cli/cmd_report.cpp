// trenov5x-cli report: writes the configuration sheet of a configuration
// folder as PDF or HTML.
#include "Commands.h"
#include "app/Settings.h"
#include "lang/LanguageTexts.h"
#include "pdf_module.h"
#include "report/SheetFile.h"
#include "workspace_option.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace cli {

namespace {

const char kReportHelp[] = R"(Usage: trenov5x-cli report [--workspace DIR] FOLDER (--pdf FILE | --html FILE)
                          [--language eng|ita|ger|spa] [--secrets] [--paper a4|letter]

Writes the configuration sheet of FOLDER/Configuration.xml: every setting
the device gets (phone settings, input events with their SMS tables,
analog levels, the outputs' SMS commands and CALL rules, the time
profiles drawn as grids), the date, the program's version and the SHA-256
of the device image the configuration builds.

  --pdf FILE     a PDF document (A4, or Letter with --paper letter)
  --html FILE    one self-contained HTML page, printable from a browser
  --language     the sheet's language; without it the window's language
                 (the workspace's setting.xml), English when it has none
  --secrets      print the SIM PIN and the output passwords, and the
                 image's SHA-256, which would give them away beside masked
                 ones; without it they are masked

FOLDER is a configuration folder, or the name of a configuration in the
workspace, as for 'trenov5x-cli check'. FILE is replaced only by a complete
sheet: a file that cannot be written keeps what it held.

Exit status:
  0  the sheet was written
  1  the configuration could not be read or the sheet could not be written;
     the reason is on standard error
  2  FOLDER holds no Configuration.xml, or the arguments are wrong
)";

const QCommandLineOption kPdfOption(QStringLiteral("pdf"), QStringLiteral("a FILE"), QStringLiteral("FILE"));
const QCommandLineOption kHtmlOption(QStringLiteral("html"), QStringLiteral("a FILE"),
                                     QStringLiteral("FILE"));
const QCommandLineOption kLanguageOption(QStringLiteral("language"), QStringLiteral("eng, ita, ger or spa"),
                                         QStringLiteral("LANG"));
const QCommandLineOption kPaperOption(QStringLiteral("paper"), QStringLiteral("a4 or letter"),
                                      QStringLiteral("SIZE"));
const QCommandLineOption kSecretsOption(QStringLiteral("secrets"), QStringLiteral("show PIN and passwords"));

int wrong(const QString &message)
{
    QTextStream(stderr) << "trenov5x-cli report: " << message << '\n' << kReportHelp;
    return 2;
}

int runReport(const QCommandLineParser &parser)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const bool pdf = parser.isSet(kPdfOption);
    if (pdf == parser.isSet(kHtmlOption))
        return wrong(QStringLiteral("give one of --pdf FILE and --html FILE"));
    const QString output = parser.value(pdf ? kPdfOption : kHtmlOption);

    report::Paper paper = report::Paper::A4;
    if (parser.isSet(kPaperOption)) {
        const QString size = parser.value(kPaperOption).toLower();
        if (size == u"letter")
            paper = report::Paper::Letter;
        else if (size != u"a4")
            return wrong(QStringLiteral("--paper is a4 or letter, not '%1'").arg(parser.value(kPaperOption)));
    }

    const QString workspaceFolder = parser.value(kWorkspaceOption);
    const app::Workspace workspace = runWorkspace(workspaceFolder);
    int code = 0;
    if (parser.isSet(kLanguageOption)) {
        code = lang::languageCodeByName(parser.value(kLanguageOption));
        if (code == 0)
            return wrong(QStringLiteral("--language is eng, ita, ger or spa, not '%1'")
                             .arg(parser.value(kLanguageOption)));
    } else {
        code = app::readSettings(workspace.settingsFile()).languageCode;
        if (lang::languageFileName(code).isEmpty())
            code = 1;
    }
    lang::LanguageTexts texts;
    if (const QString missing = texts.applyLanguage(code, workspace.languageFolder()); !missing.isEmpty()) {
        // A sheet in another language than asked for is not what was asked.
        err << "trenov5x-cli report: the language file " << QDir::toNativeSeparators(missing)
            << " is missing; nothing written\n";
        return 1;
    }

    const QString folder =
        configurationFolderArgument(parser.positionalArguments().constFirst(), workspaceFolder);
    report::SheetOptions options;
    options.configurationName = QFileInfo(QDir::cleanPath(QDir(folder).absolutePath())).fileName();
    options.date = QDateTime::currentDateTime();
    options.programVersion = QStringLiteral(TRENOV5X_VERSION);
    options.includeSecrets = parser.isSet(kSecretsOption);
    options.languageCode = code;
    report::PdfRenderer renderer = nullptr;
    if (pdf) {
        const LoadedPdfModule &module = pdfModule();
        if (!module.module) {
            // Not looked for: --pdf came in a form main() does not see (as
            // the value of -- or of another option's name).
            const QString why = module.error.isEmpty() ? QStringLiteral("not loaded") : module.error;
            err << "trenov5x-cli report: PDF output needs the module " << report::kPdfModuleFile << " ("
                << why << "); nothing written. --html FILE works without it.\n";
            return 1;
        }
        renderer = module.module->render;
    }
    const report::SheetFileResult result =
        report::writeSheetFile(QDir(folder).filePath(QStringLiteral("Configuration.xml")), output, texts,
                               options, pdf ? report::Format::Pdf : report::Format::Html, paper, renderer);
    switch (result.status) {
    case report::SheetFileResult::Status::Written:
        out << "Wrote " << QDir::toNativeSeparators(output) << '\n';
        return 0;
    case report::SheetFileResult::Status::NoConfiguration:
        err << "trenov5x-cli report: " << result.error << "; nothing written\n";
        return 2;
    case report::SheetFileResult::Status::Failed:
        break;
    }
    err << "trenov5x-cli report: " << result.error << '\n';
    return 1;
}

} // namespace

Command reportCommand()
{
    Command command;
    command.name = QStringLiteral("report");
    command.summary = QStringLiteral("write the configuration sheet of FOLDER as PDF or HTML");
    command.help = kReportHelp;
    command.options = {kWorkspaceOption, kPdfOption,   kHtmlOption,
                       kLanguageOption,  kPaperOption, kSecretsOption};
    command.arguments = Arguments::One;
    command.argumentName = QStringLiteral("FOLDER");
    command.wording = Wording::UnknownOption;
    command.namedInMessages = true;
    command.run = runReport;
    return command;
}

} // namespace cli
