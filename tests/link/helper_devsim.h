// trenov5x-devsim started for one test: its device path, its log, signals;
// and the device exchanges the tests drive against it.
#pragma once

#include "app/UpdateService.h"
#include "link/DeviceLink.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class DevSim
{
public:
    // A device the test pulls is reached through a link of its own: once
    // pulled the path is gone for good, where a pseudo-terminal number can
    // come back at once for a device another test starts.
    enum class Plug { Fixed, Pullable };

    explicit DevSim(const QStringList &arguments = {}, Plug plug = Plug::Fixed);
    ~DevSim();

    bool isRunning() const { return !m_path.isEmpty() && m_process.state() == QProcess::Running; }
    const QString &path() const { return m_path; }
    QString log() const;
    qint64 pid() const { return m_process.processId(); }
    // Waits until the log holds `count` received frames.
    bool waitForFrames(int count, int ms) const;
    void sendSignal(int signal);
    // Ends the simulator at once (the line hangs up) and, for a pullable
    // device, removes its path.
    void kill();

    static QString program();

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    QString m_path;
    QString m_pulledPath; // removed by kill()
};

// The update's probe, waited for here as the update's timer does: the first
// line or 300 ms, whichever comes first.
devlink::BootAnswer probeBootLoader(devlink::DeviceLink &link);

// Runs one update to its end.
app::UpdateOutcome runUpdate(devlink::DeviceLink &link, const app::UpdateTimings &timings,
                             const app::UpdateRequest &request);
