#include "UpdateService.h"

#include "app/UpdateHistory.h"
#include "app/Workspace.h"
#include "config/ConfigurationChecks.h"
#include "config/ConfigurationFile.h"
#include "image/DeviceImageBuild.h"
#include "link/PortList.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QMetaMethod>
#include <QProcess>
#include <utility>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace app {

namespace {

using Status = UpdateOutcome::Status;

// The probe's answer is looked for this often, within two pauses of 150 ms:
// after the first, a device that sent nothing is taken as not in its boot
// loader; after the second, what has arrived is judged.
constexpr int kProbePollMs = 10;
constexpr int kProbePauseMs = 150;
// The status reply of the read-back is looked for as the probe's is, for up to this long.
constexpr int kStatusPauseMs = 150;

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

QString imageFolderOf(const UpdateRequest &request)
{
    return request.configurationFolder + QStringLiteral("bin/");
}

QStringList actionPieces(const UpdateRequest &request)
{
    QStringList pieces;
    pieces << (request.firmware ? QStringList{QStringLiteral("FW"), QStringLiteral("FR")}
                                : QStringList{QStringLiteral("NO"), QStringLiteral("NO")});
    pieces << (request.configuration ? QStringList{QStringLiteral("PW"), QStringLiteral("PR")}
                                     : QStringList{QStringLiteral("NO"), QStringLiteral("NO")});
    return pieces;
}

// What keeps the updater from running, checked before the device is touched.
std::optional<UpdateOutcome> updaterFault(const UpdateRequest &request)
{
    const QFileInfo updater(updaterOf(request));
    const QString shown = QDir::toNativeSeparators(updater.filePath());
    if (!updater.exists() && !updater.isSymLink())
        return outcome(Status::UpdaterMissing, QStringLiteral("Error_Updater_Missing"),
                       request.updaterPath.isEmpty() ? placesOf(request, QLatin1String(kUpdaterFileName))
                                                     : shown);
    if (!updater.isFile())
        return outcome(Status::UpdaterNotAFile, QStringLiteral("Error_Updater_Not_File"), shown);
    // A Windows updater runs through wine and needs no execute permission
    // (a kit unpacked from an archive often has none).
    if (!updater.isExecutable() && !isWindowsProgram(updater.filePath()))
        return outcome(Status::UpdaterNotExecutable, QStringLiteral("Error_Updater_Not_Executable"), shown);
    return std::nullopt;
}

// The saved configuration as the window would load it, refused as its save
// would be; `configuration` gets what was loaded.
std::optional<UpdateOutcome> configurationFault(const UpdateRequest &request,
                                                config::Configuration &configuration,
                                                config::XmlParseResult &document)
{
    config::FileCheck check = config::checkConfigurationFile(
        request.configurationFolder + QLatin1String(image::kConfigurationFileName), &document);
    configuration = std::move(check.configuration);
    if (check.failure) {
        UpdateOutcome o = outcome(Status::ConfigurationRefused, check.failure->key);
        o.row = check.failure->row;
        return o;
    }
    if (check.status != config::FileCheck::Status::Accepted)
        return outcome(Status::BuildFailed, {}, check.error);
    return std::nullopt;
}

// The word of the history's log for how an update that reached the updater ended.
QString outcomeWord(Status status)
{
    switch (status) {
    case Status::Updated:
        return QStringLiteral("updated");
    case Status::UpdatedNoReadBack:
        return QStringLiteral("updated-no-answer");
    case Status::PortFailed:
        return QStringLiteral("port-lost");
    case Status::UpdaterStillRunning:
        return QStringLiteral("updater-still-running");
    case Status::Cancelled:
        return QStringLiteral("cancelled");
    default:
        return QStringLiteral("updater-failed");
    }
}

} // namespace

QString stageKey(UpdateStage stage)
{
    switch (stage) {
    case UpdateStage::Checking:
        return QStringLiteral("Upd_Step_Check");
    case UpdateStage::Building:
        return QStringLiteral("Upd_Step_Build");
    case UpdateStage::History:
        return QStringLiteral("Upd_Step_History");
    case UpdateStage::OpeningPort:
        return QStringLiteral("Upd_Step_Open");
    case UpdateStage::WaitingForBootLoader:
        return QStringLiteral("Upd_Step_Boot");
    case UpdateStage::ReleasingPort:
        return QStringLiteral("Upd_Step_Release");
    case UpdateStage::StartingUpdater:
    case UpdateStage::UpdaterRunning:
        return QStringLiteral("Upd_Step_Updater");
    case UpdateStage::ReadingBack:
        return QStringLiteral("Upd_Step_Read_Back");
    }
    return {};
}

bool UpdateOutcome::deviceUntouched() const
{
    switch (status) {
    case Status::NoOption:
    case Status::UpdaterMissing:
    case Status::WineMissing:
    case Status::FirmwareMissing:
    case Status::BuildFailed:
    case Status::PortNameRefused:
    case Status::UpdaterNotExecutable:
    case Status::UpdaterNotAFile:
    case Status::ConfigurationRefused:
    case Status::HistoryFailed:
        return true;
    default:
        return false;
    }
}

QString updaterCommandLine(const UpdateRequest &request)
{
    return request.portName + QLatin1Char(' ') + actionPieces(request).join(u' ') + QStringLiteral(" \"") +
           firmwareOf(request) + QStringLiteral("\" \"") + imageFolderOf(request) + QLatin1Char('"');
}

UpdateService::UpdateService(devlink::DeviceLink &link, QObject *parent) : QObject(parent), m_link(link)
{
    qRegisterMetaType<app::UpdateOutcome>();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &UpdateService::advance);
}

UpdateService::~UpdateService()
{
    if (updaterRunning()) {
        // A QProcess destroyed with its child kills the child: let go of it
        // instead, for the rest of the program's life.
        m_process->disconnect(this);
        m_process->setParent(nullptr);
#if defined(__SANITIZE_ADDRESS__)
        __lsan_ignore_object(static_cast<QProcess *>(m_process));
#endif
    }
}

bool UpdateService::updaterRunning() const
{
    return m_process && m_process->state() != QProcess::NotRunning;
}

qint64 UpdateService::updaterElapsedMs() const
{
    return m_updaterClock.isValid() ? m_updaterClock.elapsed() : -1;
}

bool UpdateService::start(const UpdateRequest &request)
{
    if (m_running)
        return false;
    m_request = request;
    ++m_run;
    m_running = true;
    m_updaterLaunched = false;
    m_attempt = 0;
    m_readAttempt = 0;
    m_historyEntry.clear();
    m_commandLine.clear();
    m_updaterClock.invalidate();
    schedule(Step::Preflight, 0);
    return true;
}

void UpdateService::cancel()
{
    if (!canCancel())
        return;
    m_timer.stop();
    // Closed whatever the stage: a port left open would keep the updater of a
    // next attempt out.
    m_link.closeLink();
    finish(outcome(Status::Cancelled, {}));
}

UpdateOutcome UpdateService::runBlocking(const UpdateRequest &request)
{
    QEventLoop loop;
    UpdateOutcome result;
    const QMetaObject::Connection connection =
        connect(this, &UpdateService::finished, &loop, [&](const UpdateOutcome &o) {
            result = o;
            loop.quit();
        });
    if (start(request))
        loop.exec();
    disconnect(connection);
    return result;
}

void UpdateService::schedule(Step step, int ms)
{
    m_next = step;
    m_timer.start(std::max(0, ms));
}

void UpdateService::advance()
{
    switch (m_next) {
    case Step::Preflight:
        preflight();
        break;
    case Step::Build:
        build();
        break;
    case Step::OpenPort:
        openPort();
        break;
    case Step::ProbeAnswer:
        probeAnswer();
        break;
    case Step::BootWaitOver:
        if (m_attempt < kBootAttempts) {
            probe();
        } else {
            m_link.closeLink();
            finish(outcome(Status::NotInBootLoader, QStringLiteral("Error_Dev_Boot")));
        }
        break;
    case Step::ReleaseAgain:
        m_link.closeLink();
        schedule(Step::StartUpdater, m_timings.releasePauseMs);
        break;
    case Step::StartUpdater:
        m_commandLine = m_launch.throughWine ? launchCommandLine(m_launch) : updaterCommandLine(m_request);
        if (!beginStage(UpdateStage::StartingUpdater))
            return;
        schedule(Step::LaunchUpdater, m_timings.releasePauseMs);
        break;
    case Step::LaunchUpdater:
        launchUpdater();
        break;
    case Step::UpdaterTimeout: {
        UpdateOutcome o = outcome(Status::UpdaterStillRunning, QStringLiteral("Mes_Updater_Still_Running"));
        o.commandLine = m_commandLine;
        m_updaterReportedRunning = true;
        finish(o);
        break;
    }
    case Step::ReadBackOpen:
        readBackOpen();
        break;
    case Step::ReadBackAnswer:
        readBackAnswer();
        break;
    }
}

bool UpdateService::beginStage(UpdateStage stage)
{
    const quint64 run = m_run;
    m_stage = stage;
    emit stageStarted(stage);
    return stillCurrent(run);
}

bool UpdateService::stillCurrent(quint64 run) const
{
    return m_running && m_run == run;
}

void UpdateService::finish(UpdateOutcome o)
{
    m_timer.stop();
    m_running = false;
    o.stage = m_stage;
    o.device = m_request.device;
    completeHistory(o);
    emit finished(o);
}

void UpdateService::completeHistory(UpdateOutcome &o)
{
    const QString name = std::exchange(m_historyEntry, QString());
    if (name.isEmpty())
        return;
    UpdateHistory history(m_request.configurationFolder);
    // Only what reached the updater is a write worth keeping.
    if (!m_updaterLaunched) {
        history.discard(name);
        return;
    }
    HistoryEntry entry;
    entry.name = name;
    entry.time = QDateTime::currentDateTime();
    entry.port = m_request.portName;
    entry.firmware = m_request.firmware;
    entry.configuration = m_request.configuration;
    entry.sha256 = m_imageSha256;
    entry.outcome = outcomeWord(o.status);
    entry.firmwareVersion = o.firmwareVersion;
    entry.deviceClock = o.deviceClock;
    entry.device = m_request.device;
    QString error;
    if (history.complete(entry, &error))
        o.historyEntry = name;
    else
        o.detail += (o.detail.isEmpty() ? QString() : QStringLiteral("\n")) + error;
}

void UpdateService::failInBootLoop(UpdateOutcome o)
{
    m_link.closeLink();
    finish(o);
}

void UpdateService::preflight()
{
    if (!beginStage(UpdateStage::Checking))
        return;
    if (updaterRunning()) {
        // The one left running still holds the port and the device.
        UpdateOutcome o = outcome(Status::UpdaterStillRunning, QStringLiteral("Mes_Updater_Still_Running"));
        o.commandLine = m_commandLine;
        finish(o);
        return;
    }
    if (!m_request.firmware && !m_request.configuration)
        return finish(outcome(Status::NoOption, QStringLiteral("Error_Firm_Conf")));
    // The updater would read such a name as one of its options.
    if (m_request.portName.startsWith(u'-'))
        return finish(
            outcome(Status::PortNameRefused, QStringLiteral("Error_Port_Name"), m_request.portName));
    // Nothing touches the device before everything it needs is there.
    if (std::optional<UpdateOutcome> fault = updaterFault(m_request))
        return finish(*fault);
    if (m_request.firmware && !QFileInfo(firmwareOf(m_request)).isFile())
        return finish(outcome(Status::FirmwareMissing, QStringLiteral("Error_Firmware_Missing"),
                              placesOf(m_request, firmwareName())));
    if (!m_request.reuseImage || m_configurationBytes.isEmpty()) {
        m_request.reuseImage = false;
        if (std::optional<UpdateOutcome> fault = configurationFault(m_request, m_configuration, m_document)) {
            m_configurationBytes.clear();
            m_document = {};
            return finish(*fault);
        }
        // What the image is built from, and what the history keeps beside it.
        m_configurationBytes = config::serializeConfiguration(m_configuration);
    }
    // How the updater runs is decided before the device is touched: wine may
    // be missing, and the one place that decides the program and its
    // arguments (never a joined text split again) is here.
    m_launch = planUpdaterLaunch(QFileInfo(updaterOf(m_request)).absoluteFilePath(), m_request.portName,
                                 actionPieces(m_request), {firmwareOf(m_request), imageFolderOf(m_request)});
    if (!m_launch.ok())
        return finish(outcome(Status::WineMissing, m_launch.errorKey, m_launch.errorDetail));
    schedule(Step::Build, 0);
}

void UpdateService::build()
{
    if (m_request.reuseImage) {
        // The image the last update built stays as it is, its time included.
        emit stageSkipped(UpdateStage::Building);
        return schedule(Step::OpenPort, 0);
    }
    if (!beginStage(UpdateStage::Building))
        return;
    // The image of the configuration as it was loaded and checked, written
    // as the window writes it: an older file that lacks elements builds as
    // the window would build it after its next save, and the file on disk is
    // read only once and never changed. A file the window has just saved is
    // already in that form, and its parsed tree is compiled as it is.
    const QString shown = QDir::toNativeSeparators(m_request.configurationFolder +
                                                   QLatin1String(image::kConfigurationFileName));
    const QString imagePath = image::imagePathFor(m_request.configurationFolder);
    const image::BuildResult built = m_document.root && m_document.source == m_configurationBytes
                                         ? image::buildImageFromTree(m_document, shown, imagePath)
                                         : image::buildImageFromXml(m_configurationBytes, shown, imagePath);
    m_document = {};
    if (!built.built()) {
        m_configurationBytes.clear(); // nothing to repeat
        return finish(outcome(Status::BuildFailed, {}, built.error));
    }
    schedule(Step::OpenPort, 0);
}

void UpdateService::keepHistory()
{
    if (!beginStage(UpdateStage::History))
        return;
    // Exactly the bytes the updater will read.
    QFile image(image::imagePathFor(m_request.configurationFolder));
    if (!image.open(QIODevice::ReadOnly))
        return finish(outcome(Status::BuildFailed, {},
                              QDir::toNativeSeparators(image.fileName()) + u'\n' + image.errorString()));
    const QByteArray bytes = image.readAll();
    image.close();
    m_imageSha256 = UpdateHistory::sha256Hex(bytes);
    QString error;
    const std::optional<QString> name =
        UpdateHistory(m_request.configurationFolder)
            .begin(QDateTime::currentDateTime(), m_configurationBytes, bytes, &error);
    // Nothing goes to the device that the history cannot show afterwards.
    if (!name)
        return finish(outcome(Status::HistoryFailed, QStringLiteral("Error_History_Write"), error));
    m_historyEntry = *name;
}

void UpdateService::openPort()
{
    keepHistory();
    if (!m_running)
        return;
    if (!beginStage(UpdateStage::OpeningPort))
        return;
    if (const auto error = m_link.openPort(m_request.portName))
        return finish(outcome(Status::PortNotOpened, devlink::openFailureKey(error->code()), error->text()));
    if (!beginStage(UpdateStage::WaitingForBootLoader))
        return;
    probe();
}

void UpdateService::probe()
{
    ++m_attempt;
    const quint64 run = m_run;
    emit attemptStarted(m_attempt, kBootAttempts);
    if (!stillCurrent(run))
        return;
    if (const QString error = m_link.sendBootProbe(); !error.isEmpty())
        return failInBootLoop(outcome(Status::PortFailed, QStringLiteral("Error_Port_Lost"), error));
    m_probeClock.start();
    schedule(Step::ProbeAnswer, kProbePollMs);
}

void UpdateService::probeAnswer()
{
    const qint64 waited = m_probeClock.elapsed();
    if (!m_link.bootAnswerComplete()) {
        if (waited < kProbePauseMs)
            return schedule(Step::ProbeAnswer, kProbePollMs);
        if (!m_link.bootAnswerStarted())
            return notInBootLoader();
        if (waited < 2 * kProbePauseMs)
            return schedule(Step::ProbeAnswer, kProbePollMs);
    }
    const devlink::BootAnswer answer = m_link.readBootAnswer();
    if (!answer.portError.isEmpty())
        return failInBootLoop(
            outcome(Status::PortFailed, QStringLiteral("Error_Port_Lost"), answer.portError));
    if (!answer.inBootLoader)
        return notInBootLoader();
    release();
}

void UpdateService::notInBootLoader()
{
    if (const QString error = m_link.sendBootRequest(); !error.isEmpty())
        return failInBootLoop(outcome(Status::PortFailed, QStringLiteral("Error_Port_Lost"), error));
    // The device restarts into its boot loader meanwhile.
    schedule(Step::BootWaitOver,
             m_timings.bootRequestPauseMs + m_timings.bootWaitSteps * m_timings.bootWaitStepMs);
}

void UpdateService::release()
{
    // The updater opens the port itself: it must be free first.
    m_link.closeLink();
    if (!beginStage(UpdateStage::ReleasingPort))
        return;
    schedule(Step::ReleaseAgain, m_timings.releasePauseMs);
}

void UpdateService::launchUpdater()
{
    m_updaterLaunched = true;
    m_tail = OutputTail();
    auto *process = new QProcess(this);
    m_process = process;
    m_updaterReportedRunning = false;
    process->setProcessChannelMode(QProcess::MergedChannels);
    // An updater that asks for input gets none at once instead of waiting.
    process->setStandardInputFile(QProcess::nullDevice());
    connect(process, &QProcess::readyReadStandardOutput, this, &UpdateService::readUpdaterOutput);
    connect(process, &QProcess::started, this, [this] {
        m_updaterClock.start();
        // The timeout first: a listener may not stop this stage.
        schedule(Step::UpdaterTimeout, m_timings.updaterTimeoutMs);
        (void)beginStage(UpdateStage::UpdaterRunning);
    });
    connect(process, &QProcess::errorOccurred, this, [this, process](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && process == m_process)
            updaterStartFailed();
    });
    connect(process, &QProcess::finished, this, [this, process] {
        if (process == m_process)
            updaterFinished();
    });
    process->setProcessEnvironment(m_launch.environment);
    process->start(m_launch.program, m_launch.arguments);
}

void UpdateService::updaterStartFailed()
{
    UpdateOutcome o =
        outcome(Status::UpdaterFailed, QStringLiteral("Error_Updater_Failed"), m_process->errorString());
    o.commandLine = m_commandLine;
    m_process->deleteLater();
    m_process = nullptr;
    finish(o);
}

void UpdateService::readUpdaterOutput()
{
    if (!m_process)
        return;
    const QByteArray bytes = m_process->readAll();
    if (isSignalConnected(QMetaMethod::fromSignal(&UpdateService::updaterOutput)))
        m_tail.append(bytes, [this](const QString &line) { emit updaterOutput(line); });
    else
        m_tail.append(bytes);
}

UpdateOutcome UpdateService::updaterEndOutcome() const
{
    UpdateOutcome o;
    o.commandLine = m_commandLine;
    if (m_process->exitStatus() == QProcess::NormalExit && m_process->exitCode() == 0) {
        o.status = Status::Updated;
        o.key = QStringLiteral("Mes_Update_Done");
        o.exitCode = 0;
        return o;
    }
    o.status = Status::UpdaterFailed;
    o.key = QStringLiteral("Error_Updater_Failed");
    o.exitCode = m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
    o.detail = o.exitCode >= 0 ? QStringLiteral("Exit code %1").arg(o.exitCode)
                               : QStringLiteral("The update program crashed");
    if (const QString tail = m_tail.text(); !tail.isEmpty())
        o.detail += QLatin1Char('\n') + tail;
    return o;
}

void UpdateService::updaterFinished()
{
    readUpdaterOutput();
    if (isSignalConnected(QMetaMethod::fromSignal(&UpdateService::updaterOutput)))
        m_tail.finish([this](const QString &line) { emit updaterOutput(line); });
    else
        m_tail.finish();
    UpdateOutcome o = updaterEndOutcome();
    m_process->deleteLater();
    m_process = nullptr;
    if (std::exchange(m_updaterReportedRunning, false)) {
        emit updaterEnded(o);
        return;
    }
    if (o.status == Status::Updated) {
        m_timer.stop();
        if (!beginStage(UpdateStage::ReadingBack))
            return;
        m_readAttempt = 0;
        return schedule(Step::ReadBackOpen, m_timings.readBackDelayMs);
    }
    // A port that went away under the updater: the cable, not the updater.
    if (!QFileInfo::exists(devlink::devicePath(m_request.portName))) {
        o.status = Status::PortFailed;
        o.key = QStringLiteral("Error_Port_Lost");
    }
    finish(o);
}

void UpdateService::readBackOpen()
{
    ++m_readAttempt;
    const quint64 run = m_run;
    emit readBackAttemptStarted(m_readAttempt, kReadBackAttempts);
    if (!stillCurrent(run))
        return;
    if (const auto error = m_link.openPort(m_request.portName)) {
        const bool gone = !QFileInfo::exists(devlink::devicePath(m_request.portName));
        return readBackFailed(gone ? QStringLiteral("Error_Port_Lost")
                                   : devlink::openFailureKey(error->code()),
                              error->text().trimmed());
    }
    if (const QString error = m_link.sendStatusRequest(); !error.isEmpty())
        return readBackFailed(QStringLiteral("Error_Port_Lost"), error.trimmed());
    m_probeClock.start();
    schedule(Step::ReadBackAnswer, kProbePollMs);
}

void UpdateService::readBackAnswer()
{
    if (!m_link.statusAnswerComplete() && m_probeClock.elapsed() < kStatusPauseMs)
        return schedule(Step::ReadBackAnswer, kProbePollMs);
    const devlink::StatusAnswer answer = m_link.readStatusAnswer();
    if (!answer.portError.isEmpty())
        return readBackFailed(QStringLiteral("Error_Port_Lost"), answer.portError.trimmed());
    if (!answer.status.recognised()) {
        const bool answered =
            answer.status.firmwareVersion || answer.status.dateTime || answer.status.longerThanRead;
        return readBackFailed(
            answered ? QStringLiteral("Error_Answer_Wrong") : QStringLiteral("Error_No_Answer"), {});
    }
    m_link.closeLink();
    UpdateOutcome o = outcome(Status::Updated, QStringLiteral("Mes_Update_Done"));
    o.exitCode = 0;
    o.commandLine = m_commandLine;
    o.firmwareVersion = *answer.status.firmwareVersion;
    o.deviceClock = *answer.status.dateTime;
    finish(o);
}

void UpdateService::readBackFailed(const QString &reasonKey, const QString &detail)
{
    m_link.closeLink();
    if (m_readAttempt < kReadBackAttempts)
        return schedule(Step::ReadBackOpen, m_timings.readBackRetryMs);
    UpdateOutcome o = outcome(Status::UpdatedNoReadBack, QStringLiteral("Mes_Update_No_Read_Back"), detail);
    o.reasonKey = reasonKey;
    o.exitCode = 0;
    o.commandLine = m_commandLine;
    finish(o);
}

} // namespace app
