// The serial port the device is reached through (the class of Comm1): a thin,
// synchronous layer on QSerialPort with fixed line settings and time-outs.
#pragma once

#include <QByteArray>
#include <QFlags>
#include <QSerialPort>
#include <QString>
#include <exception>
#include <functional>

namespace devlink {

// A failed port operation. The text is "<base text> (Error: <code>) ", trailing
// blank included; the code is a system error number, or -1 where none applies.
class ECommError : public std::exception
{
public:
    ECommError(const QString &baseText, int code);

    const QString &text() const { return m_text; }
    const QString &baseText() const { return m_baseText; }
    int code() const { return m_code; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_baseText;
    int m_code;
    QString m_text;
    QByteArray m_what;
};

enum class TBaudrate {
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
    br1500000,
    br3000000,
};
int bitRate(TBaudrate rate);

enum class TParity { paNone, paOdd, paEven, paMark, paSpace };
enum class TStopbits { sb10, sb15, sb20 };
enum class TDatabits { da4, da5, da6, da7, da8 };
enum class TFlowControl { fcNone, fcCTS, fcDTR, fcSoftware, fcDefault };

enum class TCommOption {
    coParityCheck = 0x01,
    coDsrSensitivity = 0x02,
    coIgnoreXOff = 0x04,
    coErrorChar = 0x08,
    coNullStrip = 0x10,
};
Q_DECLARE_FLAGS(TCommOptions, TCommOption)

enum class TCommEventType {
    evBreak = 0x001,
    evCts = 0x002,
    evDsr = 0x004,
    evError = 0x008,
    evRing = 0x010,
    evRlsd = 0x020,
    evRxChar = 0x040,
    evRxFlag = 0x080,
    evTxEmpty = 0x100,
};
Q_DECLARE_FLAGS(TCommEventTypes, TCommEventType)
inline constexpr TCommEventTypes kAllCommEvents = TCommEventTypes::fromInt(0x1FF);

struct TCommEventChars
{
    char XonChar = 17;
    char XoffChar = 19;
    char ErrorChar = 0;
    char EofChar = 0;
    char EvtChar = 0;

    bool operator==(const TCommEventChars &) const = default;
};

// Errors are raised as ECommError; a transfer that times out is not an error
// (result -1). The object belongs to the thread that created it: QSerialPort
// cannot be shared between threads, so there is no transfer lock. Nothing in
// the program subscribes to line events, so there is no event watcher;
// MonitorEvents, Options, EventChars and WriteBufSize are kept for the
// contract of the port but have no QSerialPort counterpart.
class TComm
{
public:
    TComm();
    ~TComm();
    TComm(const TComm &) = delete;
    TComm &operator=(const TComm &) = delete;

    // The full device path ("/dev/ttyUSB0"). Changing it while open raises
    // "Port already assigned (open)"; setting the same name is a no-op.
    const QString &DeviceName() const { return m_deviceName; }
    void setDeviceName(const QString &name);

    // Stored; applied to the line at once while open.
    TBaudrate BaudRate() const { return m_baudRate; }
    void setBaudRate(TBaudrate rate);
    TParity Parity() const { return m_parity; }
    void setParity(TParity parity);
    TStopbits Stopbits() const { return m_stopbits; }
    void setStopbits(TStopbits stopbits);
    TDatabits Databits() const { return m_databits; }
    void setDatabits(TDatabits databits);
    TFlowControl FlowControl() const { return m_flowControl; }
    void setFlowControl(TFlowControl flowControl);
    TCommOptions Options() const { return m_options; }
    void setOptions(TCommOptions options);
    const TCommEventChars &EventChars() const { return m_eventChars; }
    void setEventChars(const TCommEventChars &chars);

    int ReadTimeout() const { return m_readTimeout; }
    void setReadTimeout(int ms) { m_readTimeout = ms; }
    int WriteTimeout() const { return m_writeTimeout; }
    void setWriteTimeout(int ms) { m_writeTimeout = ms; }

    // Like DeviceName: a change while open raises "Port already assigned (open)".
    int ReadBufSize() const { return m_readBufSize; }
    void setReadBufSize(int bytes);
    int WriteBufSize() const { return m_writeBufSize; }
    void setWriteBufSize(int bytes);
    TCommEventTypes MonitorEvents() const { return m_monitorEvents; }
    void setMonitorEvents(TCommEventTypes events);

    // Opens DeviceName and applies all settings. A failure while applying the
    // line settings or the buffer size leaves the port open.
    void Open();
    void Close();
    bool IsOpen() const;

    // Bytes written, or -1 when the write did not complete within WriteTimeout
    // (the unsent rest is discarded). Raises "Write error" on a closed or broken
    // port.
    int Write(const char *buffer, int count);
    int Write(const QByteArray &bytes) { return Write(bytes.constData(), int(bytes.size())); }
    // Copies what has arrived, up to capacity, without waiting (0 when nothing
    // has). Raises "Read error" on a closed port.
    int Read(char *buffer, int capacity);
    // Bytes received and waiting; -1 when closed.
    int InputCount();
    void PurgeInput();
    void PurgeOutput();

    // Waits at most maxMs for input, returning early as soon as complete()
    // says the bytes received so far (not yet read) form a whole reply. Never
    // raises; a broken port ends the wait at once.
    using ReplyComplete = std::function<bool(const QByteArray &received)>;
    void waitForInput(int maxMs, const ReplyComplete &complete);

private:
    void requireClosedForChange();
    void applyLineSettings();
    void pullInput();

    QString m_deviceName = QStringLiteral("Com2");
    TBaudrate m_baudRate = TBaudrate::br9600;
    TParity m_parity = TParity::paNone;
    TStopbits m_stopbits = TStopbits::sb10;
    TDatabits m_databits = TDatabits::da8;
    TFlowControl m_flowControl = TFlowControl::fcDefault;
    TCommOptions m_options;
    TCommEventChars m_eventChars;
    int m_readTimeout = 1000;
    int m_writeTimeout = 1000;
    int m_readBufSize = 4096;
    int m_writeBufSize = 2048;
    TCommEventTypes m_monitorEvents = kAllCommEvents;

    QSerialPort m_port;
};

} // namespace devlink

Q_DECLARE_OPERATORS_FOR_FLAGS(devlink::TCommOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(devlink::TCommEventTypes)
