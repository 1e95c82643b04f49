#include "UpdaterLaunch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace app {

namespace {

// Wine maps COM1 ... COM256.
constexpr int kComPorts = 256;
constexpr int kWinepathTimeoutMs = 120000;

QString findProgram(const QString &name, const QProcessEnvironment &environment)
{
    const QStringList folders = environment.value(QStringLiteral("PATH")).split(u':', Qt::SkipEmptyParts);
    return folders.isEmpty() ? QString() : QStandardPaths::findExecutable(name, folders);
}

QString winePrefix(const QProcessEnvironment &environment)
{
    const QString prefix = environment.value(QStringLiteral("WINEPREFIX"));
    if (!prefix.isEmpty())
        return prefix;
    return environment.value(QStringLiteral("HOME"), QDir::homePath()) + QStringLiteral("/.wine");
}

// What winepath gives for a path outside the drive_c tree, for when it cannot run.
QString driveZ(const QString &path)
{
    return QStringLiteral("Z:") + QString(path).replace(u'/', u'\\');
}

// winepath -w for every path at once, one line each. It also creates the
// prefix when there is none yet, before any link goes into it: wine makes
// the drive links of a new prefix only when it creates dosdevices/ itself.
QStringList windowsPaths(const QString &winepath, const QStringList &paths,
                         const QProcessEnvironment &environment)
{
    QStringList converted;
    if (!winepath.isEmpty()) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(winepath, QStringList{QStringLiteral("-w")} + paths);
        if (process.waitForFinished(kWinepathTimeoutMs) && process.exitStatus() == QProcess::NormalExit &&
            process.exitCode() == 0) {
            converted = QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n');
            for (QString &line : converted)
                line.remove(u'\r');
            converted.removeAll(QString());
        } else {
            process.kill();
            process.waitForFinished(1000);
        }
    }
    if (converted.size() != paths.size()) {
        converted.clear();
        for (const QString &path : paths)
            converted << driveZ(path);
    }
    return converted;
}

QString devicePath(const QString &port)
{
    return port.startsWith(u'/') ? port : QStringLiteral("/dev/") + port;
}

QString canonical(const QString &path)
{
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(path) : resolved;
}

struct ComLink
{
    int number = 0; // 0: no free name
    QString path;
    bool made = false;
};

// The comN link that already points to the device, else a new one under the
// first free name. A name in use, even by a dangling link, is never touched.
ComLink comLinkFor(const QString &dosdevices, const QString &device)
{
    const QString wanted = canonical(device);
    int firstFree = 0;
    for (int n = 1; n <= kComPorts; ++n) {
        const QString path = dosdevices + QStringLiteral("/com%1").arg(n);
        const QFileInfo entry(path);
        if (entry.isSymLink()) {
            if (canonical(entry.symLinkTarget()) == wanted)
                return {n, path, false};
        } else if (!entry.exists() && firstFree == 0) {
            firstFree = n;
        }
    }
    if (firstFree == 0)
        return {};
    const QString path = dosdevices + QStringLiteral("/com%1").arg(firstFree);
    if (!QFile::link(device, path))
        return {};
    return {firstFree, path, true};
}

QString quoted(const QString &argument)
{
    return argument.contains(u' ') || argument.isEmpty() ? u'"' + argument + u'"' : argument;
}

} // namespace

bool isWindowsProgram(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "MZ";
}

UpdaterLaunch planUpdaterLaunch(const QString &updater, const QString &port, const QStringList &pieces,
                                const QStringList &paths, const QProcessEnvironment &environment)
{
    UpdaterLaunch launch;
    launch.environment = environment;
#ifndef Q_OS_WIN
    if (isWindowsProgram(updater)) {
        launch.throughWine = true;
        const QString wine = findProgram(QStringLiteral("wine"), environment);
        if (wine.isEmpty()) {
            launch.errorKey = QStringLiteral("Error_Wine_Missing");
            launch.errorDetail = QDir::toNativeSeparators(updater);
            return launch;
        }
        // Wine's own notes would bury the updater's last lines.
        if (!launch.environment.contains(QStringLiteral("WINEDEBUG")))
            launch.environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
        const QStringList converted =
            windowsPaths(findProgram(QStringLiteral("winepath"), environment), paths, launch.environment);
        const QString dosdevices = winePrefix(environment) + QStringLiteral("/dosdevices");
        QDir().mkpath(dosdevices);
        const QString device = devicePath(port);
        const ComLink link = comLinkFor(dosdevices, device);
        launch.portLink = link.path;
        launch.portLinkMade = link.made;
        launch.program = wine;
        // Without a free COM name the port goes by its own name; the updater
        // then reports that it cannot open it.
        launch.arguments << updater << (link.number ? QStringLiteral("COM%1").arg(link.number) : port)
                         << pieces << converted;
        return launch;
    }
#endif
    launch.program = updater;
    launch.arguments << port << pieces << paths;
    return launch;
}

QString launchCommandLine(const UpdaterLaunch &launch)
{
    QStringList parts{quoted(launch.program)};
    for (const QString &argument : launch.arguments)
        parts << quoted(argument);
    return parts.join(u' ');
}

} // namespace app
