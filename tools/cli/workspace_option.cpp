#include "workspace_option.h"

#include "app/ConfigurationName.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace cli {

app::Workspace runWorkspace(const QString &explicitFolder)
{
    return app::Workspace::choose(QCoreApplication::applicationDirPath(), explicitFolder);
}

QString configurationFolderArgument(const QString &argument, const QString &explicitWorkspace)
{
    const bool isName = app::isSafeConfigurationName(argument);
    if (!explicitWorkspace.isEmpty() && isName)
        return runWorkspace(explicitWorkspace).configurationFolder(argument);
    if (QFileInfo(argument).isDir() || !isName)
        return argument;
    const QString inWorkspace = runWorkspace({}).configurationFolder(argument);
    return QFileInfo(inWorkspace).isDir() ? inWorkspace : argument;
}

} // namespace cli
