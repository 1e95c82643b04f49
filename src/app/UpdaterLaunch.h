// How the kit's update program is started. Outside Windows a Windows program
// (its file starts with "MZ") runs through wine: the port is handed over as a
// COM name that a link in the wine prefix's dosdevices/ folder maps to it, and
// the file arguments in their Windows form (winepath -w, Z:\...).
#pragma once

#include <QProcessEnvironment>
#include <QStringList>

namespace app {

struct UpdaterLaunch
{
    QString program;
    QStringList arguments;
    QProcessEnvironment environment;
    QString errorKey;    // not empty: the updater cannot be started (wine missing)
    QString errorDetail; // the updater's path
    bool throughWine = false;
    QString portLink;          // through wine: the dosdevices link that reaches the port
    bool portLinkMade = false; // made now, rather than found pointing to the port
    bool ok() const { return errorKey.isEmpty(); }
};

// True when the file starts as a Windows executable does.
bool isWindowsProgram(const QString &path);

// The program and arguments that run `updater` with `port` (a port list name
// such as ttyUSB0, or a device path), then `pieces`, then `paths` (files and
// folders, in the updater's own form). `environment` gives PATH, where wine and
// winepath are looked for, and WINEPREFIX or HOME, the prefix; the process
// gets it too. Through wine the link is made here, so this runs before the
// device is touched; winepath may take seconds the first time, while it
// creates the prefix.
UpdaterLaunch
planUpdaterLaunch(const QString &updater, const QString &port, const QStringList &pieces,
                  const QStringList &paths,
                  const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// The command line of a launch as a person would type it, for progress lines
// and messages.
QString launchCommandLine(const UpdaterLaunch &launch);

} // namespace app
