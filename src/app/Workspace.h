// The folders beside the program: Language/ and Master/ are delivered with it,
// Projects/ and Setting/ are created at start.
#pragma once

#include <QString>

namespace app {

class Workspace
{
public:
    // `programFolder` is the folder of the program file.
    explicit Workspace(const QString &programFolder);

    QString programFolder() const { return m_program; }
    QString languageFolder() const { return m_program + QLatin1String("Language/"); }
    QString firmwareFolder() const { return m_program + QLatin1String("Master/"); }
    QString projectsFolder() const { return m_program + QLatin1String("Projects/"); }
    QString settingsFolder() const { return m_program + QLatin1String("Setting/"); }
    QString settingsFile() const { return settingsFolder() + QLatin1String("setting.xml"); }
    QString configurationFolder(const QString &name) const
    {
        return projectsFolder() + name + QLatin1Char('/');
    }
    QString configurationFile(const QString &name) const;

    // Creates Projects/ and Setting/ with their parents. Returns the folder
    // that could not be created, or an empty text.
    QString createFolders() const;

private:
    QString m_program; // always ends in '/'
};

} // namespace app
