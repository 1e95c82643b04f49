#include "workspace_option.h"

#include "app/ConfigurationName.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace cli {

bool takeWorkspaceOption(QStringList &args, QString *folder, QTextStream &err)
{
    bool given = false;
    for (qsizetype i = 0; i < args.size();) {
        QString value;
        if (args[i] == u"--workspace") {
            if (i + 1 == args.size() || args[i + 1].isEmpty()) {
                err << "trenov5x-cli: --workspace needs a DIR\n";
                return false;
            }
            value = args[i + 1];
            args.remove(i, 2);
        } else if (args[i].startsWith(u"--workspace=")) {
            value = args[i].mid(12);
            args.remove(i);
            if (value.isEmpty()) {
                err << "trenov5x-cli: --workspace needs a DIR\n";
                return false;
            }
        } else {
            ++i;
            continue;
        }
        if (given) {
            err << "trenov5x-cli: --workspace given twice\n";
            return false;
        }
        given = true;
        *folder = value;
    }
    return true;
}

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
