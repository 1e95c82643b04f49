// The program's two places: the program folder, which holds what is delivered
// (the executables, Language/), and the workspace, where Projects/, Setting/
// and the images are written. The kit (the update program and Master/) is
// looked for in the workspace first, then in the program folder.
#pragma once

#include <QString>
#include <QStringList>

namespace app {

class Workspace
{
public:
    // `programFolder` is the folder of the program file; an empty `folder`
    // makes the program folder the workspace.
    explicit Workspace(const QString &programFolder, const QString &folder = {});

    // The workspace of a start. An explicit folder (--workspace) wins. Else
    // the program folder stays the workspace when it holds Language/ (a build
    // folder or a portable copy) and can be written; otherwise it is the
    // user's data folder ($XDG_DATA_HOME/trenov5x, ~/.local/share/trenov5x).
    static Workspace choose(const QString &programFolder, const QString &explicitFolder = {});
    // The user's data folder that choose() falls back to, ending in '/'.
    static QString userDataFolder();

    QString programFolder() const { return m_program; }
    // Where Projects/ and Setting/ live; ends in '/'.
    QString folder() const { return m_folder; }
    bool isProgramFolder() const { return m_folder == m_program; }

    // Language/ beside the program, or in ../share/trenov5x/ of an installed
    // program; the first when neither exists.
    QString languageFolder() const;
    QString projectsFolder() const { return m_folder + QLatin1String("Projects/"); }
    QString settingsFolder() const { return m_folder + QLatin1String("Setting/"); }
    QString settingsFile() const { return settingsFolder() + QLatin1String("setting.xml"); }
    QString configurationFolder(const QString &name) const
    {
        return projectsFolder() + name + QLatin1Char('/');
    }
    QString configurationFile(const QString &name) const;

    // The folders a kit file is looked for in: the workspace, then the
    // program folder (once when they are the same).
    QStringList kitFolders() const;

    // Creates Projects/ and Setting/ with their parents. Returns the folder
    // that could not be created, or an empty text.
    QString createFolders() const;

private:
    QString m_program; // always ends in '/'
    QString m_folder;  // always ends in '/'
};

// The first of `folders` (each ending in '/') that holds `relativePath`; the
// path in the first folder when none does.
QString findKitFile(const QStringList &folders, const QString &relativePath);

} // namespace app
