// Configuration.xml: the stored form of a configuration. The writer produces
// the element tree in its fixed order (UTF-8, no declaration, no whitespace);
// the loader finds elements by name and either reads the whole file or
// changes nothing.
#pragma once

#include "config/Configuration.h"
#include "config/XmlTree.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace config {

inline constexpr char kConfigurationFileName[] = "Configuration.xml";

struct WriteResult
{
    bool ok = false;
    QString error; // the system's reason, when not ok
};

enum class LoadStatus { Loaded, Missing, Failed };

struct LoadResult
{
    LoadStatus status = LoadStatus::Missing;
    QString error; // names the file, the element and, for a parse error, line and column
    // Elements an older file lacks, which took their fallbacks (paths such as
    // "Configuration/Output/.../Set_from_SMS_Text"); the next save adds them.
    QStringList filledIn;
};

QByteArray serializeConfiguration(const Configuration &configuration);

// Replaces the file atomically: a failed write leaves the earlier file whole.
WriteResult writeConfigurationFile(const Configuration &configuration, const QString &path);

// Reads the file over `configuration`: what the file leaves out (an empty
// table, a day with fewer slots) keeps what it held. A missing file changes
// nothing and is not an error. A file that cannot be read completely changes
// nothing either.
LoadResult loadConfigurationFile(const QString &path, Configuration &configuration);
LoadResult loadConfigurationBytes(const QByteArray &bytes, const QString &fileName,
                                  Configuration &configuration);
// The same from a document already parsed (which may hold the parse error),
// so a caller that also compiles the tree reads and parses the file once.
LoadResult loadConfigurationTree(const XmlParseResult &parsed, const QString &fileName,
                                 Configuration &configuration);

// Opening a configuration: `configuration` becomes the one the file describes,
// with the new-configuration values wherever the file leaves something out,
// never what was open before; no file at all gives the new-configuration
// values, as New does. A file that cannot be read completely changes nothing.
LoadResult openConfigurationFile(const QString &path, Configuration &configuration);

} // namespace config
