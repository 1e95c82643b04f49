// trenov5x-devsim started for one test: its device path, its log, signals.
#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class DevSim
{
public:
    explicit DevSim(const QStringList &arguments = {});
    ~DevSim();

    bool isRunning() const { return !m_path.isEmpty() && m_process.state() == QProcess::Running; }
    const QString &path() const { return m_path; }
    QString log() const;
    qint64 pid() const { return m_process.processId(); }
    // Waits until the log holds `count` received frames.
    bool waitForFrames(int count, int ms) const;
    void sendSignal(int signal);
    void kill();

    static QString program();

private:
    QProcess m_process;
    QTemporaryDir m_dir;
    QString m_path;
};
