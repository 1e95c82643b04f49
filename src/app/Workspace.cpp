#include "Workspace.h"

#include "config/ConfigurationFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace app {

namespace {

QString asFolder(const QString &path)
{
    QString folder = QDir::fromNativeSeparators(path);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// True when Projects/ and Setting/ exist or can be made in `folder` and a file
// can be written into Setting/. Only what the workspace would hold anyway is
// created.
bool canHoldWorkspace(const QString &folder)
{
    const Workspace probe(folder);
    if (!probe.createFolders().isEmpty())
        return false;
    QTemporaryFile file(probe.settingsFolder() + QStringLiteral("probe-XXXXXX"));
    return file.open();
}

} // namespace

Workspace::Workspace(const QString &programFolder, const QString &folder)
    : m_program(asFolder(programFolder)), m_folder(folder.isEmpty() ? m_program : asFolder(folder))
{
}

Workspace Workspace::choose(const QString &programFolder, const QString &explicitFolder)
{
    if (!explicitFolder.isEmpty())
        return Workspace(programFolder, QDir(explicitFolder).absolutePath());
    const QString program = asFolder(programFolder);
    // An installed program's folder (/usr/bin) holds no Language/: it is
    // never the workspace, not even for root.
    if (QFileInfo(program + QLatin1String("Language")).isDir() && canHoldWorkspace(program))
        return Workspace(program);
    return Workspace(program, userDataFolder());
}

QString Workspace::userDataFolder()
{
    // GenericDataLocation follows $XDG_DATA_HOME, else ~/.local/share.
    return asFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                    QStringLiteral("/trenov5x"));
}

QString Workspace::languageFolder() const
{
    const QString beside = m_program + QLatin1String("Language/");
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed =
        QDir::cleanPath(m_program + QLatin1String("../share/trenov5x/Language")) + QLatin1Char('/');
    return QFileInfo(installed).isDir() ? installed : beside;
}

QString Workspace::configurationFile(const QString &name) const
{
    return configurationFolder(name) + QLatin1String(config::kConfigurationFileName);
}

QStringList Workspace::kitFolders() const
{
    return isProgramFolder() ? QStringList{m_folder} : QStringList{m_folder, m_program};
}

QString Workspace::createFolders() const
{
    for (const QString &folder : {projectsFolder(), settingsFolder()}) {
        if (!QDir().mkpath(folder))
            return folder;
    }
    return {};
}

QString findKitFile(const QStringList &folders, const QString &relativePath)
{
    for (const QString &folder : folders) {
        if (QFileInfo::exists(folder + relativePath))
            return folder + relativePath;
    }
    return folders.isEmpty() ? relativePath : folders.first() + relativePath;
}

} // namespace app
