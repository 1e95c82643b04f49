#include "image/DeviceImageBuild.h"

#include "config/FileAccess.h"
#include "config/XmlTree.h"
#include "image/ImageBuilder.h"
#include "image/ImageWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <filesystem>
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

BuildResult buildImageFile(const QString &configurationPath, const QString &imagePath)
{
    BuildResult result;
    result.imagePath = imagePath;
    const QString shownConfiguration = QDir::toNativeSeparators(configurationPath);
    const QString shownImage = QDir::toNativeSeparators(imagePath);
    const QFileInfo configurationInfo(configurationPath);
    if (!configurationInfo.exists() && !configurationInfo.isSymLink()) {
        result.status = BuildStatus::NoConfiguration;
        return result;
    }
    // Checked before the build, so a refused output costs no work and the
    // configuration can never be replaced by its own image.
    if (const QString reason = config::fileaccess::notRegularReason(imagePath); !reason.isEmpty()) {
        result.error = QStringLiteral("Cannot write %1: %2").arg(shownImage, reason);
        return result;
    }
    const QFileInfo imageInfo(imagePath);
    if (imageInfo.exists() && imageInfo.canonicalFilePath() == configurationInfo.canonicalFilePath()) {
        result.error =
            QStringLiteral("Cannot write %1: it is the configuration being compiled").arg(shownImage);
        return result;
    }
    const config::XmlParseResult parsed = config::xmltree::parseFile(configurationPath);
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
    std::error_code failed;
    std::filesystem::create_directories(std::filesystem::path(imageInfo.absolutePath().toStdU16String()), failed);
    if (failed) {
        result.error = QStringLiteral("Cannot write %1: the folder %2 cannot be created: %3")
                           .arg(shownImage, QDir::toNativeSeparators(imageInfo.absolutePath()),
                                QString::fromLocal8Bit(failed.message()));
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

} // namespace image
