// The update of a device as a service of stages: check what it needs, build
// the image of a saved configuration, keep both in the configuration's
// history, bring the device into its boot loader over the serial port, release
// the port, run the external update program and read the device back.
// Driven by timers and the program's signals; the window listens, the command
// line waits for it.
#pragma once

#include "app/OutputTail.h"
#include "app/UpdaterLaunch.h"
#include "config/Configuration.h"
#include "config/XmlTree.h"
#include "link/DeviceLink.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <optional>

class QProcess;

namespace app {

// The updater's file in the program folder, under the name installers' kits carry.
inline constexpr char kUpdaterFileName[] = "USB_SW58193_Update.exe";
inline constexpr char kFirmwareFileName[] = "Sim58193.sim";
inline constexpr int kBootAttempts = 7;
// Status reads after the updater, a pause apart: the device restarts meanwhile.
inline constexpr int kReadBackAttempts = 3;

struct UpdateTimings
{
    int bootRequestPauseMs = 200; // after each boot request
    int bootWaitStepMs = 200;     // the wait after a boot request, in steps
    int bootWaitSteps = 30;
    int releasePauseMs = 500; // after each close of the port, and before the updater starts
    int updaterTimeoutMs = 150000;
    int readBackDelayMs = 2000; // after the updater, before the port is opened again
    int readBackRetryMs = 1000; // between the status reads of the read-back
};

struct UpdateRequest
{
    QString portName; // as the port list shows it; the first argument of the updater
    bool firmware = false;
    bool configuration = false;
    QString programFolder;        // ends in '/': holds Master/ and, by default, the updater
    QString configurationFolder;  // ends in '/': holds Configuration.xml; the image goes to bin/
    QString updaterPath;          // empty: the updater of the workspace or the program folder
    QString workspaceFolder = {}; // ends in '/'; searched for the kit before the program folder
    // The next device of a series: the image the last update built and kept,
    // without loading or building again (the checks of the kit still run).
    bool reuseImage = false;
    int device = 0; // the running number of the device in its series, for the log; 0 for none
};

enum class UpdateStage {
    Checking,
    Building,
    History,
    OpeningPort,
    WaitingForBootLoader,
    ReleasingPort,
    StartingUpdater,
    UpdaterRunning,
    ReadingBack
};

// The message key that names a stage, in the step list and after "Stage:".
QString stageKey(UpdateStage stage);

struct UpdateOutcome
{
    enum class Status {
        Updated,         // the updater ended with exit code 0
        NoOption,        // neither firmware nor configuration chosen
        UpdaterMissing,  // nothing at the updater's path
        WineMissing,     // the updater is a Windows program and wine is not installed
        FirmwareMissing, // Master/Sim58193.sim is not there
        BuildFailed,     // the configuration could not be read, or the image not built or written
        PortNotOpened,
        NotInBootLoader, // no answer from the boot loader after every attempt
        PortFailed,      // the port failed or went away: key Error_Port_Lost, in `stage`
        Cancelled,
        UpdaterFailed,        // it did not start, or ended with another code
        UpdaterStillRunning,  // still running when the wait ended; the service keeps it
        PortNameRefused,      // a port name the updater would take for an option
        UpdaterNotExecutable, // the updater's file may not be run
        UpdaterNotAFile,      // a folder or a special file stands at the updater's path
        ConfigurationRefused, // the checks of a save refuse the saved configuration
        UpdatedNoReadBack,    // the updater ended with exit code 0, the device did not answer afterwards
        HistoryFailed,        // the history could not be written: nothing was sent
    };
    Status status = Status::Updated;
    QString key;    // the message text to show
    QString detail; // the builder's or the port's error, the exit code and the updater's last lines
    int row = 0;    // ConfigurationRefused: the refused table row, from 1; 0 for none
    int exitCode = -1;
    QString commandLine;
    UpdateStage stage = UpdateStage::Checking; // the stage the update ended in
    QString reasonKey;                         // UpdatedNoReadBack: why the read-back failed (a message key)
    QString firmwareVersion;                   // read back after the update
    QString deviceClock;                       // read back with it
    QString historyEntry;                      // the entry kept in the history; empty when none was kept
    int device = 0;                            // as requested
    bool updated() const { return status == Status::Updated; }
    // Nothing was sent to the device and the port was not opened.
    bool deviceUntouched() const;
};

// The command line of the updater as one text, for display only: port, the
// firmware and the configuration pieces, the quoted firmware path and the
// quoted image folder.
QString updaterCommandLine(const UpdateRequest &request);

class UpdateService : public QObject
{
    Q_OBJECT
public:
    explicit UpdateService(devlink::DeviceLink &link, QObject *parent = nullptr);
    // An updater still running is left running: stopping it while it writes
    // could leave the device without a working firmware.
    ~UpdateService() override;

    // The pauses of the update; tests shorten them.
    void setTimings(const UpdateTimings &timings) { m_timings = timings; }
    const UpdateTimings &timings() const { return m_timings; }

    // Starts an update of a configuration already saved; finished() follows,
    // never from inside this call. False, and no signal, while one runs.
    bool start(const UpdateRequest &request);
    // Stops the update where that is safe (everything before the updater
    // starts): the port is closed, nothing more is sent, and finished()
    // reports Cancelled.
    void cancel();
    bool isRunning() const { return m_running; }
    bool canCancel() const { return m_running && !m_updaterLaunched; }
    UpdateStage stage() const { return m_stage; }
    // An updater of this service has not ended yet, even after finished().
    bool updaterRunning() const;

    // The updater's command line as shown, from StartingUpdater on.
    const QString &commandLine() const { return m_commandLine; }
    // Since the updater started; -1 before.
    qint64 updaterElapsedMs() const;
    // The updater's last lines, at most OutputTail::kMaxLines.
    const OutputTail &updaterOutputTail() const { return m_tail; }

    // Runs an update to its end in a local event loop: for the command line.
    UpdateOutcome runBlocking(const UpdateRequest &request);

signals:
    void stageStarted(app::UpdateStage stage);
    void attemptStarted(int attempt, int of);
    // Each line of the updater's output as it ends.
    void updaterOutput(const QString &line);
    void finished(const app::UpdateOutcome &outcome);
    // An updater reported as UpdaterStillRunning has ended: Updated or UpdaterFailed.
    void updaterEnded(const app::UpdateOutcome &outcome);
    // A stage that this run leaves out (the build of a next device).
    void stageSkipped(app::UpdateStage stage);
    // The read-back's status request n of kReadBackAttempts.
    void readBackAttemptStarted(int attempt, int of);

private:
    enum class Step {
        Preflight,
        Build,
        OpenPort,
        ProbeAnswer,
        BootWaitOver,
        ReleaseAgain,
        StartUpdater,
        LaunchUpdater,
        UpdaterTimeout,
        ReadBackOpen,
        ReadBackAnswer
    };

    void schedule(Step step, int ms);
    void advance();
    // Announces a stage; false when a listener cancelled the run meanwhile.
    [[nodiscard]] bool beginStage(UpdateStage stage);
    bool stillCurrent(quint64 run) const;
    void finish(UpdateOutcome outcome);
    void failInBootLoop(UpdateOutcome outcome);

    void preflight();
    void build();
    void openPort();
    void probe();
    void probeAnswer();
    void notInBootLoader();
    void release();
    void launchUpdater();
    void updaterStartFailed();
    void updaterFinished();
    void readUpdaterOutput();
    UpdateOutcome updaterEndOutcome() const;
    void keepHistory();
    void completeHistory(UpdateOutcome &outcome);
    void readBackOpen();
    void readBackAnswer();
    void readBackFailed(const QString &reasonKey, const QString &detail);

    devlink::DeviceLink &m_link;
    UpdateTimings m_timings;
    UpdateRequest m_request;
    config::Configuration m_configuration; // as loaded and checked in the first stage
    QByteArray m_configurationBytes;       // what the image is built from, for the history
    config::XmlParseResult m_document;     // the file that was checked, parsed once
    QString m_historyEntry;                // the entry of this run, until it is completed
    QString m_imageSha256;
    int m_readAttempt = 0;
    UpdaterLaunch m_launch; // how the updater is started, decided in the first stage
    QTimer m_timer;
    Step m_next = Step::Preflight;
    UpdateStage m_stage = UpdateStage::Checking;
    bool m_running = false;
    quint64 m_run = 0; // counts the runs started, so a step can tell it was cancelled under it
    bool m_updaterLaunched = false;
    bool m_updaterReportedRunning = false; // finished() said UpdaterStillRunning; updaterEnded() follows
    int m_attempt = 0;
    QElapsedTimer m_probeClock;
    QString m_commandLine;
    QPointer<QProcess> m_process;
    QElapsedTimer m_updaterClock;
    OutputTail m_tail;
};

} // namespace app

Q_DECLARE_METATYPE(app::UpdateOutcome)
