// trenov5x-cli update: the device update of the window, without a window.
#include "Commands.h"
#include "app/DeviceUpdate.h"
#include "configuration_check.h"
#include "lang/KeyTable.h"
#include "link_cli.h"
#include "workspace_option.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const char kUpdateHelp[] = R"(Usage: trenov5x-cli update --port PORT [--firmware] [--configuration] FOLDER
                          [--updater PATH] [--workspace DIR]

Updates a device as the window's Update Device page does: runs the checks of
a save on FOLDER/Configuration.xml, builds FOLDER/bin/bank.bin, brings the
device on PORT into its boot loader (at most 7 attempts, about 45 seconds),
releases the port and runs the update program with the port, the chosen
actions, the firmware file and the image folder, waiting up to 150 seconds.

  --firmware        write the firmware (Master/Sim58193.sim of the workspace,
                    else of the program folder)
  --configuration   write the configuration image
  --updater PATH    the update program; its folder is the program folder.
                    Default: USB_SW58193_Update.exe of the workspace, else
                    beside trenov5x-cli.
  --workspace DIR   the workspace (default: the window's, see 'check --help');
                    FOLDER may be the name of a configuration in it.

A Windows update program runs through wine (the port as a COM name linked
in the wine prefix's dosdevices/ folder, the paths as Z:\... paths).

At least one of --firmware and --configuration is needed. Progress lines
(stage, attempt n of 7, elapsed time) go to standard error.

Exit status:
  0  the update program ended with exit code 0
  1  the update did not happen or failed; the reason is on standard error
  2  the arguments are wrong
)";

QString stageText(const app::UpdateProgress &p)
{
    switch (p.stage) {
    case app::UpdateStage::Building:
        return QStringLiteral("building the image");
    case app::UpdateStage::OpeningPort:
        return QStringLiteral("opening the port");
    case app::UpdateStage::WaitingForBootLoader:
        return QStringLiteral("waiting for the boot loader, attempt %1 of %2")
            .arg(p.attempt)
            .arg(app::kBootAttempts);
    case app::UpdateStage::ReleasingPort:
        return QStringLiteral("releasing the port");
    case app::UpdateStage::StartingUpdater:
        return QStringLiteral("starting the update program: ") + p.commandLine;
    case app::UpdateStage::UpdaterRunning:
        return QStringLiteral("update program running");
    }
    return {};
}

} // namespace

int cli::runUpdate(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QStringList args = arguments;
    QString workspace;
    if (!takeWorkspaceOption(args, &workspace, err))
        return 2;
    QString port;
    if (const std::optional<int> done = takeHelpAndPort(args, &port, kUpdateHelp, out, err))
        return *done;
    app::UpdateRequest request;
    request.portName = port;
    QString folder;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (arg == u"--firmware") {
            request.firmware = true;
        } else if (arg == u"--configuration") {
            request.configuration = true;
        } else if (arg == u"--updater" && i + 1 < args.size()) {
            request.updaterPath = args[++i];
        } else if (arg.startsWith(u"--updater=")) {
            request.updaterPath = arg.mid(10);
        } else if (arg.startsWith(u'-') || !folder.isNull()) {
            err << "trenov5x-cli update: unexpected argument '" << arg << "'\n" << kUpdateHelp;
            return 2;
        } else {
            folder = arg;
        }
    }
    if (folder.isEmpty()) {
        err << kUpdateHelp;
        return 2;
    }
    if (request.updaterPath.isEmpty()) {
        request.programFolder = QCoreApplication::applicationDirPath() + QLatin1Char('/');
        request.workspaceFolder = runWorkspace(workspace).folder();
    } else {
        request.updaterPath = QFileInfo(request.updaterPath).absoluteFilePath();
        request.programFolder = QFileInfo(request.updaterPath).absolutePath() + QLatin1Char('/');
        if (!workspace.isEmpty())
            request.workspaceFolder = runWorkspace(workspace).folder();
    }
    request.configurationFolder =
        QDir(configurationFolderArgument(folder, workspace)).absolutePath() + QLatin1Char('/');

    // As in the window, only a configuration that its checks accept is sent.
    const ConfigurationCheck checked =
        checkConfigurationFile(request.configurationFolder + QStringLiteral("Configuration.xml"));
    if (checked.status != ConfigurationCheck::Status::Accepted) {
        err << "trenov5x-cli update: " << checked.text << "\nThe device was not touched.\n";
        return 1;
    }

    devlink::DeviceLink link;
    app::DeviceUpdate update(link);
    QString lastLine;
    qint64 lastPrinted = 0;
    const app::UpdateOutcome outcome = update.run(request, [&](const app::UpdateProgress &p) {
        const QString line = stageText(p);
        // A new stage at once; the same one again every ten seconds.
        if (line == lastLine && p.elapsedMs - lastPrinted < 10000)
            return;
        lastLine = line;
        lastPrinted = p.elapsedMs;
        err << QStringLiteral("[%1 s] ").arg(p.elapsedMs / 1000.0, 0, 'f', 1) << line << '\n';
        err.flush();
    });
    QString text = outcome.key.isEmpty() ? QString() : lang::builtinText(outcome.key);
    if (!outcome.detail.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + outcome.detail;
    if (outcome.updated()) {
        out << text << '\n';
        return 0;
    }
    err << text << '\n';
    return 1;
}
