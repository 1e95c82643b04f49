#include "link/Comm.h"

#include <QDeadlineTimer>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace devlink {

namespace {

#ifdef Q_OS_WIN
constexpr int kInvalidHandle = 6; // ERROR_INVALID_HANDLE
#else
constexpr int kInvalidHandle = EBADF;
#endif

const QString kAlreadyOpen = QStringLiteral("Port already assigned (open)");

// QSerialPort reports an enum, not the system's number; the device link's
// texts carry a system code, so map each kind onto the usual errno value.
int systemCode(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::DeviceNotFoundError:
        return ENOENT;
    case QSerialPort::PermissionError:
        return EACCES;
    case QSerialPort::OpenError:
        return EBUSY;
    case QSerialPort::NotOpenError:
        return kInvalidHandle;
    case QSerialPort::UnsupportedOperationError:
        return EINVAL;
    case QSerialPort::TimeoutError:
        return ETIMEDOUT;
    default:
        return EIO;
    }
}

} // namespace

CommError::CommError(const QString &baseText, int code)
    : m_baseText(baseText), m_code(code),
      m_text(QStringLiteral("%1 (Error: %2) ").arg(baseText, QString::number(code))), m_what(m_text.toUtf8())
{
}

int bitRate(BaudRate rate)
{
    static constexpr int kRates[] = {110,   300,   600,   1200,   2400,   4800,   9600,    14400,  19200,
                                     38400, 56000, 57600, 115200, 128000, 256000, 1500000, 3000000};
    return kRates[int(rate)];
}

CommPort::CommPort() = default;

CommPort::~CommPort()
{
    close();
}

void CommPort::requireClosedForChange()
{
    if (isOpen())
        throw CommError(kAlreadyOpen, -1);
}

void CommPort::setDeviceName(const QString &name)
{
    if (name == m_deviceName)
        return;
    requireClosedForChange();
    m_deviceName = name;
}

void CommPort::setReadBufSize(int bytes)
{
    if (bytes == m_readBufSize)
        return;
    requireClosedForChange();
    m_readBufSize = bytes;
}

void CommPort::setWriteBufSize(int bytes)
{
    if (bytes == m_writeBufSize)
        return;
    requireClosedForChange();
    m_writeBufSize = bytes;
}

void CommPort::setMonitorEvents(CommEvents events)
{
    if (events == m_monitorEvents)
        return;
    requireClosedForChange();
    m_monitorEvents = events;
}

void CommPort::setBaudRate(BaudRate rate)
{
    m_baudRate = rate;
    if (isOpen())
        applyLineSettings();
}

void CommPort::setParity(Parity parity)
{
    m_parity = parity;
    if (isOpen())
        applyLineSettings();
}

void CommPort::setStopBits(StopBits stopbits)
{
    m_stopbits = stopbits;
    if (isOpen())
        applyLineSettings();
}

void CommPort::setDataBits(DataBits databits)
{
    m_databits = databits;
    if (isOpen())
        applyLineSettings();
}

void CommPort::setFlowControl(FlowControl flowControl)
{
    m_flowControl = flowControl;
    if (isOpen())
        applyLineSettings();
}

void CommPort::setOptions(CommOptions options)
{
    m_options = options;
    if (isOpen())
        applyLineSettings();
}

void CommPort::setEventChars(const CommEventChars &chars)
{
    m_eventChars = chars;
    if (isOpen())
        applyLineSettings();
}

void CommPort::open()
{
    if (isOpen())
        throw CommError(kAlreadyOpen, -1);

    const QString accessError = QStringLiteral("Error accessing specified device");
#ifdef Q_OS_UNIX
    const QByteArray path = m_deviceName.toLocal8Bit();
    struct stat info;
    if (::stat(path.constData(), &info) == 0) {
        // "/dev/" alone is what an empty port name gives: nothing to open.
        if (S_ISDIR(info.st_mode))
            throw CommError(accessError, EISDIR);
        if (!S_ISCHR(info.st_mode))
            throw CommError(QStringLiteral("Invalid device handle, access denied"), -1);
    } else if (errno != ENOENT) {
        // A loop of links, a path through a file, no permission on a folder:
        // the system's own code, which the port's open would turn into EIO.
        throw CommError(accessError, errno);
    }
#endif

    m_port.setPortName(m_deviceName);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QSerialPort::SerialPortError error = m_port.error();
        m_port.clearError();
        int code = systemCode(error);
#ifdef Q_OS_UNIX
        // Qt reports a device that another program holds (its lock file, or
        // exclusive mode) as a permission error; tell it from a real lack of
        // permission so the user learns the port is busy.
        // The check runs as the identity the open used (the effective one).
        if (error == QSerialPort::PermissionError &&
            ::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) == 0)
            code = EBUSY;
#endif
        throw CommError(accessError, code);
    }

    applyLineSettings();
    if (m_readBufSize < 0)
        throw CommError(QStringLiteral("Error initializing Read/Write Buffers"), EINVAL);
    // The driver's input queue: Qt stops reading from the device once this
    // much is buffered, as a full queue would.
    m_port.setReadBufferSize(m_readBufSize);
}

void CommPort::applyLineSettings()
{
    const QString baseText = QStringLiteral("Error updating DataControlBlock");
    auto check = [&](bool ok) {
        if (!ok) {
            const int code = systemCode(m_port.error());
            m_port.clearError();
            throw CommError(baseText, code);
        }
    };

    check(m_port.setBaudRate(bitRate(m_baudRate)));

    static constexpr QSerialPort::Parity kParity[] = {QSerialPort::NoParity, QSerialPort::OddParity,
                                                      QSerialPort::EvenParity, QSerialPort::MarkParity,
                                                      QSerialPort::SpaceParity};
    check(m_port.setParity(kParity[int(m_parity)]));

    static constexpr QSerialPort::StopBits kStopBits[] = {QSerialPort::OneStop, QSerialPort::OneAndHalfStop,
                                                          QSerialPort::TwoStop};
    check(m_port.setStopBits(kStopBits[int(m_stopbits)]));

    if (m_databits == DataBits::Bits4)
        throw CommError(baseText, EINVAL); // no UART here sends 4-bit characters
    static constexpr QSerialPort::DataBits kDataBits[] = {
        QSerialPort::Data5, QSerialPort::Data5, QSerialPort::Data6, QSerialPort::Data7, QSerialPort::Data8};
    check(m_port.setDataBits(kDataBits[int(m_databits)]));

    switch (m_flowControl) {
    case FlowControl::None:
        check(m_port.setFlowControl(QSerialPort::NoFlowControl));
        // A pseudo-terminal has no modem lines and refuses these: harmless.
        m_port.setDataTerminalReady(false);
        m_port.setRequestToSend(false);
        m_port.clearError();
        break;
    case FlowControl::Cts:
        check(m_port.setFlowControl(QSerialPort::HardwareControl));
        break;
    case FlowControl::Dtr:
        // Pacing output by DSR has no counterpart in termios or QSerialPort.
        throw CommError(baseText, EINVAL);
    case FlowControl::Software:
        check(m_port.setFlowControl(QSerialPort::SoftwareControl));
        break;
    case FlowControl::Default:
        break;
    }
}

void CommPort::close()
{
    if (m_port.isOpen())
        m_port.close();
    m_port.clearError();
}

bool CommPort::isOpen() const
{
    return m_port.isOpen();
}

int CommPort::write(const char *buffer, int count)
{
    const QString baseText = QStringLiteral("Write error");
    if (!isOpen())
        throw CommError(baseText, kInvalidHandle);
    if (count <= 0)
        return 0;
    if (m_port.write(buffer, count) != count) {
        const int code = systemCode(m_port.error());
        m_port.clearError();
        m_port.clear(QSerialPort::Output);
        throw CommError(baseText, code);
    }
    QDeadlineTimer deadline(m_writeTimeout);
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(int(deadline.remainingTime()))) {
            const QSerialPort::SerialPortError error = m_port.error();
            m_port.clearError();
            if (error != QSerialPort::TimeoutError && error != QSerialPort::NoError) {
                m_port.clear(QSerialPort::Output);
                throw CommError(baseText, systemCode(error));
            }
            if (deadline.hasExpired() || error == QSerialPort::TimeoutError) {
                // Nothing may go out later on its own: drop what is left.
                m_port.clear(QSerialPort::Output);
                m_port.clearError();
                return -1;
            }
        }
    }
    return count;
}

void CommPort::pullInput()
{
    // QSerialPort learns about received bytes only when it is asked to wait.
    m_port.waitForReadyRead(0);
    m_port.clearError();
}

int CommPort::read(char *buffer, int capacity)
{
    if (!isOpen())
        throw CommError(QStringLiteral("Read error"), kInvalidHandle);
    if (capacity <= 0)
        return 0;
    pullInput();
    const qint64 n = m_port.read(buffer, capacity);
    m_port.clearError();
    return n < 0 ? 0 : int(n);
}

int CommPort::inputCount()
{
    if (!isOpen())
        return -1;
    pullInput();
    return int(qMin<qint64>(m_port.bytesAvailable(), INT_MAX));
}

void CommPort::purgeInput()
{
    if (!isOpen())
        return;
    pullInput();
    m_port.clear(QSerialPort::Input);
    m_port.clearError();
}

void CommPort::purgeOutput()
{
    if (!isOpen())
        return;
    m_port.clear(QSerialPort::Output);
    m_port.clearError();
}

QByteArray CommPort::peekInput()
{
    if (!isOpen())
        return {};
    pullInput();
    return m_port.peek(m_port.bytesAvailable());
}

void CommPort::waitForInput(int maxMs, const ReplyComplete &complete)
{
    if (!isOpen())
        return;
    QDeadlineTimer deadline(qMax(0, maxMs));
    for (;;) {
        if (complete && complete(m_port.peek(m_port.bytesAvailable())))
            return;
        const qint64 left = deadline.remainingTime();
        if (left <= 0)
            return;
        if (!m_port.waitForReadyRead(int(left))) {
            const QSerialPort::SerialPortError error = m_port.error();
            m_port.clearError();
            if (error != QSerialPort::TimeoutError)
                return; // the line is gone; waiting would only spin
        }
    }
}

} // namespace devlink
