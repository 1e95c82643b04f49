// trenov5x-cli update: the device update of the window, without a window.
#include "Commands.h"
#include "app/UpdateService.h"
#include "config/ConfigurationChecks.h"
#include "lang/KeyTable.h"
#include "link_cli.h"
#include "workspace_option.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

namespace {

const char kUpdateHelp[] = R"(Usage: trenov5x-cli update --port PORT [--firmware] [--configuration] FOLDER
                          [--updater PATH] [--workspace DIR] [--repeat]

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
  --repeat          after each successful update, ask for the next device on
                    the same port and wait for Enter; the same image and
                    options, not saved or built again. End of input, or an
                    update that fails, ends the series. Each device gets its own history entry with its
                    number in the series.

A Windows update program runs through wine (the port as a COM name linked
in the wine prefix's dosdevices/ folder, the paths as Z:\... paths).

At least one of --firmware and --configuration is needed. Progress lines
(stage, attempt n of 7, elapsed time) go to standard error.

Exit status (with --repeat, of the last update):
  0  the update program ended with exit code 0
  1  the update did not happen or failed; the reason is on standard error
  2  the arguments are wrong
)";

QString stageText(app::UpdateStage stage, int attempt, const QString &commandLine)
{
    switch (stage) {
    case app::UpdateStage::Checking:
        return QStringLiteral("checking the configuration and the update kit");
    case app::UpdateStage::Building:
        return QStringLiteral("building the image");
    case app::UpdateStage::History:
        return QStringLiteral("keeping the configuration and the image in the history");
    case app::UpdateStage::OpeningPort:
        return QStringLiteral("opening the port");
    case app::UpdateStage::WaitingForBootLoader:
        return QStringLiteral("waiting for the boot loader, attempt %1 of %2")
            .arg(attempt)
            .arg(app::kBootAttempts);
    case app::UpdateStage::ReleasingPort:
        return QStringLiteral("releasing the port");
    case app::UpdateStage::StartingUpdater:
        return QStringLiteral("starting the update program: ") + commandLine;
    case app::UpdateStage::UpdaterRunning:
        return QStringLiteral("update program running");
    case app::UpdateStage::ReadingBack:
        return QStringLiteral("reading the device back");
    }
    return {};
}

} // namespace

namespace cli {
int runUpdate(const QCommandLineParser &parser);
} // namespace cli

namespace {

const QCommandLineOption kFirmwareOption(QStringLiteral("firmware"), QStringLiteral("write the firmware"));
const QCommandLineOption kConfigurationOption(QStringLiteral("configuration"),
                                              QStringLiteral("write the image"));
const QCommandLineOption kUpdaterOption(QStringLiteral("updater"), QStringLiteral("a PATH"),
                                        QStringLiteral("PATH"));
const QCommandLineOption kRepeatOption(QStringLiteral("repeat"),
                                       QStringLiteral("update one device after another"));

// The outcome as the window says it: the stage of a lost connection, why a
// device did not answer after the updater, what an updated device runs.
QString outcomeText(const app::UpdateOutcome &outcome)
{
    using Status = app::UpdateOutcome::Status;
    QString text = outcome.key.isEmpty() ? QString() : lang::builtinText(outcome.key);
    if (outcome.status == Status::ConfigurationRefused)
        text = config::failureText({0, outcome.key, outcome.row}, text);
    const auto addLine = [&text](const QString &line) {
        if (!line.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + line;
    };
    if (outcome.status == Status::PortFailed)
        addLine(lang::builtinText(u"Mes_Update_Stage").arg(lang::builtinText(app::stageKey(outcome.stage))));
    if (outcome.status == Status::UpdatedNoReadBack && !outcome.reasonKey.isEmpty())
        addLine(lang::builtinText(outcome.reasonKey));
    if (outcome.updated() && !outcome.firmwareVersion.isEmpty())
        addLine(lang::builtinText(u"Mes_Update_Read_Back").arg(outcome.firmwareVersion, outcome.deviceClock));
    if (outcome.device > 0)
        addLine(lang::builtinText(u"Mes_Update_Device_Number").arg(outcome.device));
    addLine(outcome.detail);
    return text;
}

} // namespace

cli::Command cli::updateCommand()
{
    Command command;
    command.name = QStringLiteral("update");
    command.summary = QStringLiteral("write firmware and/or the configuration image into a device");
    command.help = kUpdateHelp;
    command.options = {kPortOption,    kFirmwareOption,  kConfigurationOption,
                       kUpdaterOption, kWorkspaceOption, kRepeatOption};
    command.requiredOptions = kPortOption.names();
    command.arguments = Arguments::One;
    command.argumentName = QStringLiteral("FOLDER");
    command.namedInMessages = true;
    command.run = runUpdate;
    return command;
}

int cli::runUpdate(const QCommandLineParser &parser)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    app::UpdateRequest request;
    request.portName = parser.value(kPortOption);
    request.firmware = parser.isSet(kFirmwareOption);
    request.configuration = parser.isSet(kConfigurationOption);
    request.updaterPath = parser.value(kUpdaterOption);
    const QString folder = parser.positionalArguments().constFirst();
    const QString workspace = parser.value(kWorkspaceOption);
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

    devlink::DeviceLink link;
    app::UpdateService update(link);
    QElapsedTimer clock;
    clock.start();
    QString lastLine;
    const auto print = [&](const QString &line) {
        lastLine = line;
        err << QStringLiteral("[%1 s] ").arg(clock.elapsed() / 1000.0, 0, 'f', 1) << line << '\n';
        err.flush();
    };
    // A new stage at once; the same one again every ten seconds.
    QTimer repeat;
    repeat.setInterval(10000);
    QObject::connect(&repeat, &QTimer::timeout, [&] { print(lastLine); });
    QObject::connect(&update, &app::UpdateService::stageStarted, [&](app::UpdateStage stage) {
        if (stage == app::UpdateStage::WaitingForBootLoader)
            return; // each attempt has its own line
        print(stageText(stage, 0, update.commandLine()));
        repeat.start();
    });
    QObject::connect(&update, &app::UpdateService::attemptStarted, [&](int attempt, int) {
        print(stageText(app::UpdateStage::WaitingForBootLoader, attempt, {}));
        repeat.start();
    });
    const bool series = parser.isSet(kRepeatOption);
    if (series)
        request.device = 1;
    QTextStream in(stdin);
    for (;;) {
        const app::UpdateOutcome outcome = update.runBlocking(request);
        repeat.stop();
        const QString text = outcomeText(outcome);
        if (!outcome.updated()) {
            if (outcome.deviceUntouched())
                err << "trenov5x-cli update: " << text << "\nThe device was not touched.\n";
            else
                err << text << '\n';
            return 1;
        }
        out << text << '\n';
        out.flush();
        if (!series)
            return 0;
        err << "Connect the next device to " << request.portName
            << " and press Enter (end of input ends the series).\n";
        err.flush();
        QString line;
        if (!in.readLineInto(&line))
            return 0;
        request.reuseImage = true;
        ++request.device;
        clock.restart();
    }
}
