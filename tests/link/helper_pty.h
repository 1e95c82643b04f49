// A device end inside the test: a pseudo-terminal whose far side answers each
// frame (ended by CR) from a thread, and records every byte it receives.
#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

class PtyPeer
{
public:
    // The reply to one frame (its bytes up to and including the CR); empty for
    // silence.
    using Responder = std::function<QByteArray(const QByteArray &frame)>;

    PtyPeer();
    ~PtyPeer();
    PtyPeer(const PtyPeer &) = delete;
    PtyPeer &operator=(const PtyPeer &) = delete;

    bool isValid() const { return m_master >= 0; }
    // The path a port opens ("/dev/pts/N").
    const QString &path() const { return m_path; }
    // An fd of the device end, to read its line settings.
    int deviceFd() const { return m_slave; }

    void setResponder(Responder responder);
    // Answers every frame with the same bytes.
    void setReply(const QByteArray &reply);

    QByteArray received() const;
    void clearReceived();
    // Waits until at least `bytes` bytes have come, at most ms.
    bool waitForReceived(qsizetype bytes, int ms) const;

    // A peer that stops reading lets the line fill up, as a stalled device.
    void setReading(bool reading) { m_reading = reading; }

    // Hangs the line up for good, as a device that vanished.
    void hangUp();

private:
    void run();

    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    mutable std::mutex m_mutex;
    QByteArray m_received;
    QByteArray m_pending;
    Responder m_responder;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_reading{true};
    std::thread m_thread;
};
