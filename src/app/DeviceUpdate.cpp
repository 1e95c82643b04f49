#include "DeviceUpdate.h"

#include "app/UpdaterLaunch.h"
#include "app/Workspace.h"
#include "image/DeviceImageBuild.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

namespace app {

namespace {

using Status = UpdateOutcome::Status;

UpdateOutcome outcome(Status status, const QString &key, const QString &detail = {})
{
    UpdateOutcome o;
    o.status = status;
    o.key = key;
    o.detail = detail;
    return o;
}

// The folders that may hold the kit: the workspace, then the program folder.
QStringList kitFolders(const UpdateRequest &request)
{
    QStringList folders;
    if (!request.workspaceFolder.isEmpty())
        folders << request.workspaceFolder;
    if (!folders.contains(request.programFolder))
        folders << request.programFolder;
    return folders;
}

QString firmwareName()
{
    return QStringLiteral("Master/") + QLatin1String(kFirmwareFileName);
}

QString updaterOf(const UpdateRequest &request)
{
    return request.updaterPath.isEmpty() ? findKitFile(kitFolders(request), QLatin1String(kUpdaterFileName))
                                         : request.updaterPath;
}

QString firmwareOf(const UpdateRequest &request)
{
    return findKitFile(kitFolders(request), firmwareName());
}

// Every place a missing kit file was looked for, one per line.
QString placesOf(const UpdateRequest &request, const QString &name)
{
    QStringList places;
    for (const QString &folder : kitFolders(request))
        places << QDir::toNativeSeparators(folder + name);
    return places.join(u'\n');
}

// The last lines an updater printed, for the box that reports its failure.
QString lastLines(const QByteArray &output, int count)
{
    QStringList lines = QString::fromLocal8Bit(output).split(u'\n', Qt::SkipEmptyParts);
    for (QString &line : lines)
        line = line.trimmed();
    lines.removeAll(QString());
    return lines.mid(std::max<qsizetype>(0, lines.size() - count)).join(u'\n');
}

// Updaters left running when the wait ended. A destroyed QProcess kills its
// child, so these are kept for the life of the program and never destroyed.
void keepRunning(QProcess *process)
{
    static auto *const leftRunning = new QList<QProcess *>;
    leftRunning->append(process);
}

} // namespace

QStringList updaterPieces(const UpdateRequest &request)
{
    return {request.firmware ? QStringLiteral("FW") : QStringLiteral("NO"),
            request.firmware ? QStringLiteral("FR") : QStringLiteral("NO"),
            request.configuration ? QStringLiteral("PW") : QStringLiteral("NO"),
            request.configuration ? QStringLiteral("PR") : QStringLiteral("NO")};
}

QString updaterCommandLine(const UpdateRequest &request)
{
    return request.portName + QLatin1Char(' ') +
           (request.firmware ? QStringLiteral("FW FR ") : QStringLiteral("NO NO ")) +
           (request.configuration ? QStringLiteral("PW PR ") : QStringLiteral("NO NO ")) + QLatin1Char('"') +
           firmwareOf(request) + QStringLiteral("\" \"") + request.configurationFolder +
           QStringLiteral("bin/\"");
}

DeviceUpdate::DeviceUpdate(devlink::DeviceLink &link, UpdateTimings timings)
    : m_link(link), m_timings(timings)
{
    m_link.setBootRequestPause(m_timings.bootRequestPauseMs);
}

bool DeviceUpdate::pause(int ms, const std::function<void()> &tick)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QThread::msleep(std::min<qint64>(20, ms - clock.elapsed()));
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        if (tick)
            tick();
        if (m_cancelled)
            return false;
    }
    return true;
}

UpdateOutcome DeviceUpdate::run(const UpdateRequest &request,
                                const std::function<void(const UpdateProgress &)> &progress)
{
    m_cancelled = false;
    QElapsedTimer clock;
    clock.start();
    auto report = [&](UpdateStage stage, int attempt = 0, const QString &commandLine = {}) {
        if (progress)
            progress({stage, attempt, clock.elapsed(), commandLine});
    };

    if (!request.firmware && !request.configuration)
        return outcome(Status::NoOption, QStringLiteral("Error_Firm_Conf"));
    // Nothing touches the device before everything it needs is there.
    const QFileInfo updater(updaterOf(request));
    // A Windows updater runs through wine and needs no execute permission
    // (a kit unpacked from an archive often has none).
    if (!updater.isFile() || (!updater.isExecutable() && !isWindowsProgram(updater.filePath())))
        return outcome(Status::UpdaterMissing, QStringLiteral("Error_Updater_Missing"),
                       request.updaterPath.isEmpty() ? placesOf(request, QLatin1String(kUpdaterFileName))
                                                     : QDir::toNativeSeparators(updater.filePath()));
    if (request.firmware && !QFileInfo(firmwareOf(request)).isFile())
        return outcome(Status::FirmwareMissing, QStringLiteral("Error_Firmware_Missing"),
                       placesOf(request, firmwareName()));

    report(UpdateStage::Building);
    // Decided before the device is touched: wine may be missing, and wine
    // creates its prefix (seconds) when there is none yet.
    const UpdaterLaunch launch =
        planUpdaterLaunch(updater.absoluteFilePath(), request.portName, updaterPieces(request),
                          {firmwareOf(request), request.configurationFolder + QStringLiteral("bin/")});
    if (!launch.ok())
        return outcome(Status::WineMissing, launch.errorKey, launch.errorDetail);
    const image::BuildResult built = image::buildDeviceImage(request.configurationFolder);
    if (!built.built()) {
        const QString why = built.status == image::BuildStatus::NoConfiguration
                                ? QDir::toNativeSeparators(request.configurationFolder +
                                                           QLatin1String(image::kConfigurationFileName)) +
                                      QStringLiteral(" does not exist")
                                : built.error;
        return outcome(Status::BuildFailed, {}, why);
    }

    report(UpdateStage::OpeningPort);
    if (const auto error = m_link.openPort(request.portName))
        return outcome(Status::PortNotOpened, devlink::openFailureKey(error->code()), error->text());

    bool inBootLoader = false;
    for (int attempt = 1; attempt <= kBootAttempts && !inBootLoader; ++attempt) {
        report(UpdateStage::WaitingForBootLoader, attempt);
        const devlink::BootAnswer answer = m_link.checkBootMode();
        if (!answer.portError.isEmpty()) {
            m_link.closeLink();
            return outcome(Status::PortFailed, {}, answer.portError);
        }
        if (answer.inBootLoader) {
            inBootLoader = true;
            break;
        }
        if (const QString error = m_link.requestBootMode(); !error.isEmpty()) {
            m_link.closeLink();
            return outcome(Status::PortFailed, {}, error);
        }
        // The device restarts into its boot loader meanwhile.
        for (int step = 0; step < m_timings.bootWaitSteps; ++step) {
            if (!pause(m_timings.bootWaitStepMs,
                       [&] { report(UpdateStage::WaitingForBootLoader, attempt); })) {
                m_link.closeLink();
                return outcome(Status::Cancelled, {});
            }
        }
    }
    if (m_cancelled) {
        m_link.closeLink();
        return outcome(Status::Cancelled, {});
    }
    if (!inBootLoader) {
        m_link.closeLink();
        return outcome(Status::NotInBootLoader, QStringLiteral("Error_Dev_Boot"));
    }

    // The updater opens the port itself: it must be free first.
    report(UpdateStage::ReleasingPort);
    m_link.closeLink();
    pause(m_timings.releasePauseMs);
    m_link.closeLink();
    pause(m_timings.releasePauseMs);

    const QString commandLine = launch.throughWine ? launchCommandLine(launch) : updaterCommandLine(request);
    report(UpdateStage::StartingUpdater, 0, commandLine);
    pause(m_timings.releasePauseMs);

    // Heap-held: a process left running after the wait must outlive this run,
    // and a QProcess that is destroyed kills its child.
    auto *process = new QProcess;
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setProcessEnvironment(launch.environment);
    process->start(launch.program, launch.arguments);
    if (!process->waitForStarted(5000)) {
        UpdateOutcome o =
            outcome(Status::UpdaterFailed, QStringLiteral("Error_Updater_Failed"), process->errorString());
        o.commandLine = commandLine;
        delete process;
        return o;
    }
    QElapsedTimer running;
    running.start();
    report(UpdateStage::UpdaterRunning, 0, commandLine);
    QByteArray output;
    while (!process->waitForFinished(200)) {
        output += process->readAll();
        report(UpdateStage::UpdaterRunning, 0, commandLine);
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        if (process->state() == QProcess::NotRunning)
            break;
        if (running.elapsed() >= m_timings.updaterTimeoutMs) {
            UpdateOutcome o =
                outcome(Status::UpdaterStillRunning, QStringLiteral("Mes_Updater_Still_Running"));
            o.commandLine = commandLine;
            process->closeReadChannel(QProcess::StandardOutput);
            keepRunning(process);
            return o;
        }
    }
    output += process->readAll();
    UpdateOutcome o;
    o.commandLine = commandLine;
    if (process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0) {
        o.status = Status::Updated;
        o.key = QStringLiteral("Mes_Update_Done");
        o.exitCode = 0;
    } else {
        o.status = Status::UpdaterFailed;
        o.key = QStringLiteral("Error_Updater_Failed");
        o.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
        o.detail = o.exitCode >= 0 ? QStringLiteral("Exit code %1").arg(o.exitCode)
                                   : QStringLiteral("The update program crashed");
        if (const QString tail = lastLines(output, 5); !tail.isEmpty())
            o.detail += QLatin1Char('\n') + tail;
    }
    delete process;
    return o;
}

} // namespace app
