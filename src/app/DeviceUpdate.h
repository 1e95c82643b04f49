// The update of a device: build the image of a saved configuration, bring
// the device into its boot loader over the serial port, release the port and
// hand the image (and optionally the firmware) to the external update
// program. Reports its progress and its outcome as data; the window and the
// command line show them.
#pragma once

#include "link/DeviceLink.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace app {

// The updater's file in the program folder, under the name installers' kits carry.
inline constexpr char kUpdaterFileName[] = "USB_SW58193_Update.exe";
inline constexpr char kFirmwareFileName[] = "Sim58193.sim";
inline constexpr int kBootAttempts = 7;

struct UpdateTimings
{
    int bootRequestPauseMs = 200; // after each boot request
    int bootWaitStepMs = 200;     // the wait after a boot request, in steps
    int bootWaitSteps = 30;
    int releasePauseMs = 500; // after each close of the port, and before the updater starts
    int updaterTimeoutMs = 150000;
};

struct UpdateRequest
{
    QString portName; // as the port list shows it; the first piece of the command line
    bool firmware = false;
    bool configuration = false;
    QString programFolder;        // ends in '/': holds Master/ and, by default, the updater
    QString configurationFolder;  // ends in '/': holds Configuration.xml; the image goes to bin/
    QString updaterPath;          // empty: the updater of the workspace or the program folder
    QString workspaceFolder = {}; // ends in '/'; searched for the kit before the program folder
};

enum class UpdateStage {
    Building,
    OpeningPort,
    WaitingForBootLoader,
    ReleasingPort,
    StartingUpdater,
    UpdaterRunning
};

struct UpdateProgress
{
    UpdateStage stage = UpdateStage::Building;
    int attempt = 0;      // WaitingForBootLoader: 1..kBootAttempts
    qint64 elapsedMs = 0; // since the update started
    QString commandLine;  // from StartingUpdater on
};

struct UpdateOutcome
{
    enum class Status {
        Updated,         // the updater ended with exit code 0
        NoOption,        // neither firmware nor configuration chosen
        UpdaterMissing,  // nothing runnable at the updater's path
        WineMissing,     // the updater is a Windows program and wine is not installed
        FirmwareMissing, // Master/Sim58193.sim is not there
        BuildFailed,     // the image could not be built or written
        PortNotOpened,
        NotInBootLoader, // no answer from the boot loader after every attempt
        PortFailed,      // a port error during the boot loop
        Cancelled,
        UpdaterFailed,       // it did not start, or ended with another code
        UpdaterStillRunning, // still running when the wait ended; left running
    };
    Status status = Status::Updated;
    QString key;    // the message text to show
    QString detail; // the builder's or the port's error, the exit code and the updater's last lines
    int exitCode = -1;
    QString commandLine;
    bool updated() const { return status == Status::Updated; }
};

// The command line handed to the updater: port, the firmware and the
// configuration pieces, the quoted firmware path and the quoted image folder.
QString updaterCommandLine(const UpdateRequest &request);
// The pieces between the port and the paths: FW FR or NO NO, PW PR or NO NO.
QStringList updaterPieces(const UpdateRequest &request);

class DeviceUpdate
{
public:
    explicit DeviceUpdate(devlink::DeviceLink &link, UpdateTimings timings = {});

    // Runs the update of a configuration already saved. Pending events are
    // processed during every pause; progress is called at each stage and
    // every few hundred milliseconds while waiting.
    UpdateOutcome run(const UpdateRequest &request,
                      const std::function<void(const UpdateProgress &)> &progress = {});
    // Asks a running boot loop to stop: the port is closed and the run ends
    // with Cancelled.
    void cancel() { m_cancelled = true; }

private:
    bool pause(int ms, const std::function<void()> &tick = {});

    devlink::DeviceLink &m_link;
    UpdateTimings m_timings;
    bool m_cancelled = false;
};

} // namespace app
