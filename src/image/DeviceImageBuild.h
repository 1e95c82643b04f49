// Builds bank.bin from a saved Configuration.xml: parse, compile, lay out and
// write the file atomically, with one result the window and the CLI report.
#pragma once

#include "config/ConfigurationChecks.h"
#include "config/XmlTree.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace image {

inline constexpr const char *kConfigurationFileName = "Configuration.xml";
inline constexpr const char *kImageFolderName = "bin";
inline constexpr const char *kImageFileName = "bank.bin";

enum class BuildStatus {
    Built,
    NoConfiguration, // no Configuration.xml: nothing built, nothing to show
    Failed,          // error holds the text to show; no file was written
};

struct BuildResult
{
    BuildStatus status = BuildStatus::Failed;
    QString error;
    QString imagePath; // the file written, or that would have been
    qint64 imageSize = 0;
    // One line per text the device will cut (where, what it keeps); the
    // image is built as the layout says all the same.
    QStringList warnings;
    bool built() const { return status == BuildStatus::Built; }
};

// <folder>/bin/bank.bin for a configuration folder.
QString imagePathFor(const QString &configurationFolder);

// Compiles <folder>/Configuration.xml into <folder>/bin/bank.bin, creating
// bin/ only once the image is complete.
BuildResult buildDeviceImage(const QString &configurationFolder);

// Compiles the given Configuration.xml into the given image file. A missing
// configuration file gives NoConfiguration; an existing image file is only
// replaced by a complete new one, and an image path that is not a regular
// file, or is the configuration itself, is refused.
BuildResult buildImageFile(const QString &configurationPath, const QString &imagePath);

// As buildImageFile, after the save-time checks on the same read and parse
// of the file: what was checked is what is built. `check` gets the check's
// answer; a configuration the checks refuse is not compiled (Failed, with
// an empty error: the refusal is in `check`). An accepted check's record
// (check.configuration) is let go before the compile, which needs only the
// tree.
BuildResult checkAndBuildImageFile(const QString &configurationPath, const QString &imagePath,
                                   config::FileCheck &check);

// Compiles a document already parsed (`shownName` names it in errors) into
// the given image file, as above.
BuildResult buildImageFromTree(const config::XmlParseResult &parsed, const QString &shownName,
                               const QString &imagePath);

// Compiles a configuration held in memory (the bytes of a Configuration.xml;
// `shownName` names it in errors) into the given image file, as above.
BuildResult buildImageFromXml(const QByteArray &xml, const QString &shownName, const QString &imagePath);

} // namespace image
