// The serial port the device is reached through (the class of port): a thin,
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
class CommError : public std::exception
{
public:
    CommError(const QString &baseText, int code);

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

enum class BaudRate {
    Baud110,
    Baud300,
    Baud600,
    Baud1200,
    Baud2400,
    Baud4800,
    Baud9600,
    Baud14400,
    Baud19200,
    Baud38400,
    Baud56000,
    Baud57600,
    Baud115200,
    Baud128000,
    Baud256000,
    Baud1500000,
    Baud3000000,
};
int bitRate(BaudRate rate);

enum class Parity { None, Odd, Even, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };
enum class DataBits { Bits4, Bits5, Bits6, Bits7, Bits8 };
enum class FlowControl { None, Cts, Dtr, Software, Default };

enum class CommOption {
    ParityCheck = 0x01,
    DsrSensitivity = 0x02,
    IgnoreXOff = 0x04,
    ErrorChar = 0x08,
    NullStrip = 0x10,
};
Q_DECLARE_FLAGS(CommOptions, CommOption)

enum class CommEvent {
    Break = 0x001,
    Cts = 0x002,
    Dsr = 0x004,
    Error = 0x008,
    Ring = 0x010,
    Rlsd = 0x020,
    RxChar = 0x040,
    RxFlag = 0x080,
    TxEmpty = 0x100,
};
Q_DECLARE_FLAGS(CommEvents, CommEvent)
inline constexpr CommEvents kAllCommEvents = CommEvents::fromInt(0x1FF);

struct CommEventChars
{
    char xonChar = 17;
    char xoffChar = 19;
    char errorChar = 0;
    char eofChar = 0;
    char evtChar = 0;

    bool operator==(const CommEventChars &) const = default;
};

// Errors are raised as CommError; a transfer that times out is not an error
// (result -1). The object belongs to the thread that created it: QSerialPort
// cannot be shared between threads, so there is no transfer lock. Nothing in
// the program subscribes to line events, so there is no event watcher;
// MonitorEvents, Options, EventChars and WriteBufSize are kept for the
// contract of the port but have no QSerialPort counterpart.
class CommPort
{
public:
    CommPort();
    ~CommPort();
    CommPort(const CommPort &) = delete;
    CommPort &operator=(const CommPort &) = delete;

    // The full device path ("/dev/ttyUSB0"). Changing it while open raises
    // "Port already assigned (open)"; setting the same name is a no-op.
    const QString &deviceName() const { return m_deviceName; }
    void setDeviceName(const QString &name);

    // Stored; applied to the line at once while open.
    BaudRate baudRate() const { return m_baudRate; }
    void setBaudRate(BaudRate rate);
    Parity parity() const { return m_parity; }
    void setParity(Parity parity);
    StopBits stopBits() const { return m_stopbits; }
    void setStopBits(StopBits stopbits);
    DataBits dataBits() const { return m_databits; }
    void setDataBits(DataBits databits);
    FlowControl flowControl() const { return m_flowControl; }
    void setFlowControl(FlowControl flowControl);
    CommOptions options() const { return m_options; }
    void setOptions(CommOptions options);
    const CommEventChars &eventChars() const { return m_eventChars; }
    void setEventChars(const CommEventChars &chars);

    int readTimeout() const { return m_readTimeout; }
    void setReadTimeout(int ms) { m_readTimeout = ms; }
    int writeTimeout() const { return m_writeTimeout; }
    void setWriteTimeout(int ms) { m_writeTimeout = ms; }

    // Like DeviceName: a change while open raises "Port already assigned (open)".
    int readBufSize() const { return m_readBufSize; }
    void setReadBufSize(int bytes);
    int writeBufSize() const { return m_writeBufSize; }
    void setWriteBufSize(int bytes);
    CommEvents monitorEvents() const { return m_monitorEvents; }
    void setMonitorEvents(CommEvents events);

    // Opens DeviceName and applies all settings. A failure while applying the
    // line settings or the buffer size leaves the port open.
    void open();
    void close();
    bool isOpen() const;

    // Bytes written, or -1 when the write did not complete within WriteTimeout
    // (the unsent rest is discarded). Raises "Write error" on a closed or broken
    // port.
    int write(const char *buffer, int count);
    int write(const QByteArray &bytes) { return write(bytes.constData(), int(bytes.size())); }
    // Copies what has arrived, up to capacity, without waiting (0 when nothing
    // has). Raises "Read error" on a closed port.
    int read(char *buffer, int capacity);
    // Bytes received and waiting; -1 when closed.
    int inputCount();
    void purgeInput();
    void purgeOutput();

    // Waits at most maxMs for input, returning early as soon as complete()
    // says the bytes received so far (not yet read) form a whole reply. Never
    // raises; a broken port ends the wait at once.
    // What has arrived and not been read yet, left in place; empty when closed.
    QByteArray peekInput();
    using ReplyComplete = std::function<bool(const QByteArray &received)>;
    void waitForInput(int maxMs, const ReplyComplete &complete);

private:
    void requireClosedForChange();
    void applyLineSettings();
    void pullInput();

    QString m_deviceName = QStringLiteral("Com2");
    BaudRate m_baudRate = BaudRate::Baud9600;
    Parity m_parity = Parity::None;
    StopBits m_stopbits = StopBits::One;
    DataBits m_databits = DataBits::Bits8;
    FlowControl m_flowControl = FlowControl::Default;
    CommOptions m_options;
    CommEventChars m_eventChars;
    int m_readTimeout = 1000;
    int m_writeTimeout = 1000;
    int m_readBufSize = 4096;
    int m_writeBufSize = 2048;
    CommEvents m_monitorEvents = kAllCommEvents;

    QSerialPort m_port;
};

} // namespace devlink

Q_DECLARE_OPERATORS_FOR_FLAGS(devlink::CommOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(devlink::CommEvents)
