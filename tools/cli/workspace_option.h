// The --workspace option of the commands that read or write configurations:
// which workspace a run uses, and what a FOLDER argument names in it.
#pragma once

#include "app/Workspace.h"

#include <QCommandLineOption>
#include <QStringList>
#include <QTextStream>

namespace cli {

// --workspace DIR of check, build and update.
inline const QCommandLineOption kWorkspaceOption(QStringLiteral("workspace"),
                                                 QStringLiteral("the workspace DIR"), QStringLiteral("DIR"));

// The workspace of a run: DIR when given, else the one the window would use.
app::Workspace runWorkspace(const QString &explicitFolder);

// The configuration folder a FOLDER argument names. With --workspace a
// configuration name is a folder of its Projects/; without it an existing
// folder is taken as given, and a name that is none is looked up in the
// default workspace. Anything else comes back unchanged.
QString configurationFolderArgument(const QString &argument, const QString &explicitWorkspace);

} // namespace cli
