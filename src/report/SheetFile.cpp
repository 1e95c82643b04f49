#include "SheetFile.h"

#include "config/ConfigurationFile.h"
#include "config/FileAccess.h"
#include "report/HtmlSheet.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace report {

QByteArray renderSheet(const Report &report, Format format, Paper paper, PdfRenderer pdf)
{
    if (format == Format::Html)
        return renderHtml(report);
    return pdf ? pdf(report, paper) : QByteArray();
}

SheetFileResult writeSheetFile(const QString &configurationPath, const QString &outputPath,
                               const lang::LanguageTexts &texts, SheetOptions options, Format format,
                               Paper paper, PdfRenderer pdf)
{
    namespace fa = config::fileaccess;
    const QString shownConfiguration = QDir::toNativeSeparators(configurationPath);
    const QString shownOutput = QDir::toNativeSeparators(outputPath);
    const fa::ReadResult read = fa::readRegularFile(configurationPath, fa::kMaxTextFileBytes);
    if (read.status == fa::ReadStatus::Missing)
        return {SheetFileResult::Status::NoConfiguration,
                shownConfiguration + QStringLiteral(": does not exist")};
    if (!read.ok())
        return {SheetFileResult::Status::Failed, shownConfiguration + QStringLiteral(": ") + read.reason()};
    config::Configuration configuration;
    configuration.setNewDefaults();
    const config::LoadResult loaded =
        config::loadConfigurationBytes(read.bytes, shownConfiguration, configuration);
    if (loaded.status != config::LoadStatus::Loaded)
        return {SheetFileResult::Status::Failed, loaded.error};
    const QFileInfo output(outputPath);
    if (output.exists() && output.canonicalFilePath() == QFileInfo(configurationPath).canonicalFilePath())
        return {SheetFileResult::Status::Failed,
                shownOutput + QStringLiteral(": is the configuration itself; choose another file")};

    if (format == Format::Pdf && !pdf)
        return {SheetFileResult::Status::Failed,
                shownOutput + QStringLiteral(": PDF output is not available")};
    options.configurationXml = read.bytes;
    const QByteArray bytes = renderSheet(buildSheet(configuration, texts, options), format, paper, pdf);
    if (bytes.isEmpty())
        return {SheetFileResult::Status::Failed,
                shownOutput + QStringLiteral(": the sheet could not be made")};
    if (const fa::WriteResult written = fa::writeFileAtomically(outputPath, bytes); !written.ok)
        return {SheetFileResult::Status::Failed, shownOutput + QStringLiteral(": ") + written.error};
    return {SheetFileResult::Status::Written, {}};
}

Paper systemPaper()
{
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? Paper::Letter : Paper::A4;
}

} // namespace report
