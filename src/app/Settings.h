// setting.xml: the language code and the name of the last configuration.
#pragma once

#include <QByteArray>
#include <QString>

namespace app {

struct AppSettings
{
    int languageCode = 1; // 1 English, 2 Italian, 3 German, 4 Spanish; any other value is kept as it is
    QString configurationName;
    // The folder the last configuration sheet was written to; empty until then.
    QString reportFolder;

    bool operator==(const AppSettings &) const = default;
};

// A missing file or one that is not well-formed gives the defaults; a missing
// or unreadable item gives its own default.
AppSettings readSettings(const QString &path);
// The same for the bytes of a settings file.
AppSettings settingsFromBytes(const QByteArray &bytes);

struct SettingsWriteResult
{
    bool ok = false;
    QString error;
};
// Writes the whole file atomically: root General_Setting, no declaration,
// UTF-8, no whitespace between elements. Report_Folder is written only once
// a sheet has been written somewhere.
SettingsWriteResult writeSettings(const QString &path, const AppSettings &settings);

// "Corvantis - TRENOV5x - <name>", or "... - #NO_CONF#" with no configuration open.
QString windowTitle(const QString &configurationName);

inline constexpr char kBrandWord[] = "Corvantis";
inline constexpr char kSoftwareCode[] = "TRENOV5x";

} // namespace app
