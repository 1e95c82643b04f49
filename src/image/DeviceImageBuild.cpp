#include "image/DeviceImageBuild.h"

#include "config/XmlTree.h"
#include "image/ImageBuilder.h"
#include "image/ImageWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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
    if (!QFileInfo(configurationPath).isFile()) {
        result.status = BuildStatus::NoConfiguration;
        return result;
    }
    const XmlParseResult parsed = xmltree::parseFile(configurationPath);
    if (!parsed.root) {
        result.error =
            parsed.line > 0
                ? QStringLiteral("%1:%2:%3: %4")
                      .arg(QDir::toNativeSeparators(configurationPath))
                      .arg(parsed.line)
                      .arg(parsed.column)
                      .arg(parsed.error)
                : QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(configurationPath), parsed.error);
        return result;
    }
    const CompileResult compiled = compileConfiguration(*parsed.root);
    if (!compiled.ok()) {
        result.error = compiled.error;
        return result;
    }
    const WriteResult written = writeImage(compiled.model);
    if (!written.ok()) {
        result.error = written.error;
        return result;
    }
    // A failed mkpath leaves the reason to the open below, which carries the
    // system's own text.
    QDir().mkpath(QFileInfo(imagePath).absolutePath());
    QSaveFile file(imagePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(written.bytes) != written.bytes.size() ||
        !file.commit()) {
        result.error = QStringLiteral("Cannot write %1: %2")
                           .arg(QDir::toNativeSeparators(imagePath), file.errorString());
        return result;
    }
    result.status = BuildStatus::Built;
    result.imageSize = written.bytes.size();
    return result;
}

} // namespace image
