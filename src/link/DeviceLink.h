// The device link of the main window: the serial port, the link state of the Date & Time
// page, its clock and status commands with the 5-second status polling, and
// the boot commands of the update. Says what to show; shows nothing itself.
#pragma once

#include "link/Comm.h"
#include "link/DeviceFrames.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

namespace devlink {

enum class MessageKind { Information, Warning, Error };

// One modal box with an OK button.
struct LinkMessage
{
    MessageKind kind = MessageKind::Error;
    QString key;    // the message text to show ("Error_No_Answer")
    QString detail; // the system's text of a port error, on a line below it; or empty

    bool operator==(const LinkMessage &) const = default;
};

// What the window does after a command: show the boxes in order and put the
// texts that are set into their controls.
struct LinkOutcome
{
    QList<LinkMessage> messages;
    std::optional<QString> firmwareVersion; // TntL_DT_RSD_FW_Readed
    std::optional<QString> dateTime;        // TntL_DT_RSD_DT_Readed
    std::optional<ClockFields> fields;      // the six TntE_DT_SDT_* fields
    // What the page showed of the device is no longer known (a status reply
    // not recognised, a clock setting that failed after the port opened, a
    // port that failed or did not open): both result labels go back to their
    // blank form before the texts above, if any, are shown.
    bool statusUnknown = false;
    // The port error behind a port that did not open or failed, for callers
    // that report the reason their own way (the command line).
    std::optional<CommError> portError;

    // The command did what was asked (the clock set, the status read).
    bool succeeded = false;
};

enum class ClockSource { PcClock, Fields };

// The message for a port that did not open, by the system code of its error:
// in use by another program, no permission (on Linux: not in the group that
// owns the device), or the general one.
QString openFailureKey(int systemCode);

struct BootAnswer
{
    bool inBootLoader = false;
    QString portError; // the port error's text, empty when the probe went out
};

struct StatusAnswer
{
    StatusReply status;
    QString portError; // the port error's text, empty when the read went well
};

class DeviceLink : public QObject
{
    Q_OBJECT

public:
    explicit DeviceLink(QObject *parent = nullptr);
    ~DeviceLink() override;

    CommPort &port() { return m_comm; }

    bool linkOpen() const { return m_linkOpen; }
    bool polling() const { return m_polling; }
    const QString &linkPortName() const { return m_linkPortName; }
    const QString &lastPortName() const { return m_lastPortName; }
    bool pollTimerActive() const { return m_pollTimer.isActive(); }

    // The fields to show when the Date & Time page appears (call it after
    // filling the port list).
    ClockFields pcClockFields() const;

    // "Set PC Date & Time" (PcClock; fields is ignored) and "Set Custom Date &
    // Time" (Fields). port is the text selected in CB_COMPort_List_DateTime.
    // Blocks for up to 150 ms for the reply and, on success, up to 150 ms more
    // for the status that follows.
    LinkOutcome setClock(const QString &port, ClockSource source, const ClockFields &fields = {});
    // "Read Status Device". Blocks for up to 150 ms.
    LinkOutcome readStatus(const QString &port);

    // What every menu click does: close port, end polling, clear the link
    // open flag. The link port name and last port name remain.
    void closeLink();

    // For the update: close the link, open portName and, on success, make it
    // the last port name. Returns the port error, nothing on success.
    std::optional<CommError> openPort(const QString &portName);
    // The boot exchanges of the update, in pieces that never wait: the caller
    // keeps the pauses with its own timer. Each send returns the port error's
    // text, empty when the frame went out. The device does not answer the
    // request; it restarts into its boot loader.
    QString sendBootRequest();
    QString sendBootProbe();
    // Something has arrived since the probe went out.
    bool bootAnswerStarted();
    // The first line of the answer is in (or the read would be full).
    bool bootAnswerComplete();
    // Reads what arrived, up to 200 bytes, and judges its first line.
    BootAnswer readBootAnswer();
    // The status exchange of the Date & Time page in pieces that never wait,
    // for the read-back after an update: send, look whether the whole reply is
    // in, read it.
    QString sendStatusRequest();
    bool statusAnswerComplete();
    StatusAnswer readStatusAnswer();

    // The computer's clock; tests put a fixed one in.
    void setPcClock(std::function<QDateTime()> clock) { m_pcClock = std::move(clock); }
    // The poll timer's interval, 5000 ms.
    void setPollInterval(int ms) { m_pollTimer.setInterval(ms); }

signals:
    // After each status exchange of the poll timer: new label texts, or a port error
    // to show (polling has then stopped).
    void polled(const devlink::LinkOutcome &outcome);
    // closeLink() has run: nothing shown of the device is current any more.
    void linkClosed();

private:
    bool ensureLinkOpen(const QString &port, std::optional<CommError> *failure);
    StatusReply exchangeStatus();
    void pollTimeout();
    void startPolling();
    void stopPolling();
    void dropLink();
    void sendFrame(const QByteArray &frame);
    QByteArray readReply(int capacity);

    CommPort m_comm;
    QTimer m_pollTimer;
    bool m_linkOpen = false;
    bool m_polling = false;
    QString m_linkPortName;
    QString m_lastPortName;
    std::function<QDateTime()> m_pcClock;
};

} // namespace devlink

Q_DECLARE_METATYPE(devlink::LinkOutcome)
