#include "image/DeviceImageBuild.h"

#include "config/FileAccess.h"
#include "config/XmlTree.h"
#include "image/ImageBuilder.h"
#include "image/ImageWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <filesystem>
#include <optional>
#include <system_error>

namespace image {

QString imagePathFor(const QString &configurationFolder)
{
    return QDir(configurationFolder)
        .filePath(QLatin1String(kImageFolderName) + u'/' + QLatin1String(kImageFileName));
}

BuildResult buildDeviceImage(const QString &configurationFolder)
{
    return buildImageFile(QDir(configurationFolder).filePath(QLatin1String(kConfigurationFileName)),
                          imagePathFor(configurationFolder));
}

namespace {

// What a build may write: refused before any work, so a refused output costs
// nothing and a configuration can never be replaced by its own image.
std::optional<QString> outputFault(const QString &imagePath, const QString &configurationPath)
{
    const QString shownImage = QDir::toNativeSeparators(imagePath);
    if (const QString reason = config::fileaccess::notRegularReason(imagePath); !reason.isEmpty())
        return QStringLiteral("Cannot write %1: %2").arg(shownImage, reason);
    const QFileInfo imageInfo(imagePath);
    if (!configurationPath.isEmpty() && imageInfo.exists() &&
        imageInfo.canonicalFilePath() == QFileInfo(configurationPath).canonicalFilePath())
        return QStringLiteral("Cannot write %1: it is the configuration being compiled").arg(shownImage);
    return std::nullopt;
}

BuildResult compileAndWrite(const config::XmlParseResult &parsed, const QString &shownConfiguration,
                            const QString &imagePath)
{
    BuildResult result;
    result.imagePath = imagePath;
    const QString shownImage = QDir::toNativeSeparators(imagePath);
    if (!parsed.root) {
        result.error = parsed.line > 0 ? QStringLiteral("%1:%2:%3: %4")
                                             .arg(shownConfiguration)
                                             .arg(parsed.line)
                                             .arg(parsed.column)
                                             .arg(parsed.error)
                                       : QStringLiteral("%1: %2").arg(shownConfiguration, parsed.error);
        return result;
    }
    const CompileResult compiled = compileConfiguration(*parsed.root);
    if (!compiled.ok()) {
        result.error = compiled.error;
        return result;
    }
    result.warnings = compiled.warnings;
    const WriteResult written = writeImage(compiled.model);
    if (!written.ok()) {
        result.error = written.error;
        return result;
    }
    // The image's folder, with the system's reason when it cannot be made
    // (a read-only Projects/), not a write error about the file inside it.
    const QString folder = QFileInfo(imagePath).absolutePath();
    std::error_code failed;
    std::filesystem::create_directories(std::filesystem::path(folder.toStdU16String()), failed);
    if (failed) {
        result.error =
            QStringLiteral("Cannot write %1: the folder %2 cannot be created: %3")
                .arg(shownImage, QDir::toNativeSeparators(folder), QString::fromLocal8Bit(failed.message()));
        return result;
    }
    const config::fileaccess::WriteResult saved =
        config::fileaccess::writeFileAtomically(imagePath, written.bytes);
    if (!saved.ok) {
        result.error = QStringLiteral("Cannot write %1: %2").arg(shownImage, saved.error);
        return result;
    }
    result.status = BuildStatus::Built;
    result.imageSize = written.bytes.size();
    return result;
}

} // namespace

BuildResult buildImageFile(const QString &configurationPath, const QString &imagePath)
{
    const QFileInfo configurationInfo(configurationPath);
    if (!configurationInfo.exists() && !configurationInfo.isSymLink()) {
        BuildResult result;
        result.imagePath = imagePath;
        result.status = BuildStatus::NoConfiguration;
        return result;
    }
    if (std::optional<QString> fault = outputFault(imagePath, configurationPath)) {
        BuildResult result;
        result.imagePath = imagePath;
        result.error = *fault;
        return result;
    }
    return compileAndWrite(config::xmltree::parseFile(configurationPath),
                           QDir::toNativeSeparators(configurationPath), imagePath);
}

BuildResult checkAndBuildImageFile(const QString &configurationPath, const QString &imagePath,
                                   config::FileCheck &check)
{
    const QFileInfo configurationInfo(configurationPath);
    if (!configurationInfo.exists() && !configurationInfo.isSymLink()) {
        check = {};
        BuildResult result;
        result.imagePath = imagePath;
        result.status = BuildStatus::NoConfiguration;
        return result;
    }
    config::XmlParseResult parsed;
    check = config::checkConfigurationFile(configurationPath, &parsed);
    if (check.status == config::FileCheck::Status::Refused) {
        BuildResult result;
        result.imagePath = imagePath;
        return result;
    }
    if (std::optional<QString> fault = outputFault(imagePath, configurationPath)) {
        BuildResult result;
        result.imagePath = imagePath;
        result.error = *fault;
        return result;
    }
    // The compile reads the tree only: the record the checks loaded (about
    // as large as the tree for a large configuration) goes first.
    check.configuration = config::Configuration();
    return compileAndWrite(parsed, QDir::toNativeSeparators(configurationPath), imagePath);
}

BuildResult buildImageFromTree(const config::XmlParseResult &parsed, const QString &shownName,
                               const QString &imagePath)
{
    if (std::optional<QString> fault = outputFault(imagePath, {})) {
        BuildResult result;
        result.imagePath = imagePath;
        result.error = *fault;
        return result;
    }
    return compileAndWrite(parsed, shownName, imagePath);
}

BuildResult buildImageFromXml(const QByteArray &xml, const QString &shownName, const QString &imagePath)
{
    if (std::optional<QString> fault = outputFault(imagePath, {})) {
        BuildResult result;
        result.imagePath = imagePath;
        result.error = *fault;
        return result;
    }
    return compileAndWrite(config::xmltree::parse(xml), shownName, imagePath);
}

} // namespace image
