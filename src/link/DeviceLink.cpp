#include "link/DeviceLink.h"

#include "link/PortList.h"

#include <cerrno>

namespace devlink {

namespace {

// Upper bounds: the wait ends as soon as the whole reply is in.
constexpr int kReplyPauseMs = 150;
constexpr int kPollIntervalMs = 5000;

LinkMessage message(MessageKind kind, const QString &key)
{
    return {kind, key, {}};
}

// A port that failed in the middle of an exchange: the device is most likely
// unplugged or switched off, which the system's text alone does not say.
LinkMessage portLostMessage(const CommError &error)
{
    return {MessageKind::Error, QStringLiteral("Error_Port_Lost"), error.text().trimmed()};
}

LinkMessage openFailureMessage(const CommError &error)
{
    return {MessageKind::Error, openFailureKey(error.code()), error.text().trimmed()};
}

// The labels show the lines that were recognised; a status that failed
// leaves neither label showing an earlier reading.
void takeStatus(const StatusReply &status, LinkOutcome &outcome)
{
    outcome.firmwareVersion = status.firmwareVersion;
    outcome.dateTime = status.dateTime;
    outcome.statusUnknown = !status.recognised();
}

} // namespace

QString openFailureKey(int systemCode)
{
    switch (systemCode) {
    case EBUSY:
        return QStringLiteral("Error_Port_Busy");
#ifdef Q_OS_LINUX
    case EACCES:
    case EPERM:
        return QStringLiteral("Error_Port_Permission");
#elif defined(Q_OS_WIN)
    case EACCES: // Windows refuses a port another program holds with "access denied"
        return QStringLiteral("Error_Port_Busy");
#endif
    default:
        return QStringLiteral("Error_Open_Com");
    }
}

DeviceLink::DeviceLink(QObject *parent)
    : QObject(parent), m_pcClock([] { return QDateTime::currentDateTime(); })
{
    qRegisterMetaType<devlink::LinkOutcome>();
    m_comm.setBaudRate(BaudRate::Baud115200);
    m_comm.setFlowControl(FlowControl::None);
    // Disabled between ticks: the next tick is one interval after the previous
    // exchange has ended, however long it took.
    m_pollTimer.setSingleShot(true);
    m_pollTimer.setInterval(kPollIntervalMs);
    connect(&m_pollTimer, &QTimer::timeout, this, &DeviceLink::pollTimeout);
}

DeviceLink::~DeviceLink()
{
    m_pollTimer.stop();
    m_comm.close();
}

ClockFields DeviceLink::pcClockFields() const
{
    return clockFieldsFor(m_pcClock(), false);
}

void DeviceLink::startPolling()
{
    m_polling = true;
    m_pollTimer.start();
}

void DeviceLink::stopPolling()
{
    m_polling = false;
    m_pollTimer.stop();
}

void DeviceLink::dropLink()
{
    m_comm.close();
    m_linkOpen = false;
}

void DeviceLink::closeLink()
{
    stopPolling();
    dropLink();
    emit linkClosed();
}

bool DeviceLink::ensureLinkOpen(const QString &port, std::optional<CommError> *failure)
{
    if (m_linkOpen && m_linkPortName == port)
        return true;
    if (m_linkOpen) {
        m_comm.close();
        m_linkOpen = false;
        m_linkPortName.clear();
    }
    // Closed whatever left it open, so the name can change.
    m_comm.close();
    try {
        m_comm.setDeviceName(devicePath(port));
        m_comm.open();
    } catch (const CommError &error) {
        // A port that opened but refused its settings must not stay open behind
        // a clear link flag: the next attempt could never open it again.
        m_comm.close();
        if (failure)
            *failure = error;
        return false;
    }
    m_linkOpen = true;
    m_linkPortName = port;
    m_lastPortName = port;
    return true;
}

void DeviceLink::sendFrame(const QByteArray &frame)
{
    m_comm.purgeOutput();
    m_comm.purgeInput();
    m_comm.write(frame);
}

QByteArray DeviceLink::readReply(int capacity)
{
    QByteArray reply(capacity, '\0');
    const int n = m_comm.read(reply.data(), capacity);
    reply.resize(qMax(0, n));
    return reply;
}

StatusReply DeviceLink::exchangeStatus()
{
    sendFrame(readStatusFrame());
    m_comm.waitForInput(kReplyPauseMs, statusReplyComplete);
    if (m_comm.inputCount() <= 0)
        return {};
    const QByteArray reply = readReply(kStatusReplyCapacity);
    StatusReply status = parseStatusReply(reply);
    status.longerThanRead = reply.size() >= kStatusReplyCapacity;
    return status;
}

LinkOutcome DeviceLink::setClock(const QString &port, ClockSource source, const ClockFields &typed)
{
    LinkOutcome outcome;
    stopPolling();

    ClockFields fields = typed;
    if (source == ClockSource::PcClock) {
        fields = clockFieldsFor(m_pcClock(), true);
        outcome.fields = fields;
    }
    if (!clockFieldsDateTime(fields)) {
        outcome.messages.append(message(MessageKind::Error, QStringLiteral("Error_Date_Not_Valid")));
        return outcome;
    }

    // From here on every way out but success closes the link, and the labels
    // no longer describe a device that answers.
    outcome.statusUnknown = true;
    if (!ensureLinkOpen(port, &outcome.portError)) {
        outcome.messages.append(openFailureMessage(*outcome.portError));
        return outcome;
    }
    try {
        sendFrame(setClockFrame(fields));
        m_comm.waitForInput(kReplyPauseMs, clockReplyComplete);
        if (m_comm.inputCount() <= 0) {
            outcome.messages.append(message(MessageKind::Error, QStringLiteral("Error_No_Answer")));
            dropLink();
            return outcome;
        }
        if (!isClockSetConfirmation(readReply(kClockReplyCapacity))) {
            outcome.messages.append(message(MessageKind::Error, QStringLiteral("Error_Answer_Wrong")));
            dropLink();
            return outcome;
        }
        outcome.succeeded = true;
        outcome.messages.append(
            message(MessageKind::Information, QStringLiteral("DateTime_Correctly_Setted")));
        takeStatus(exchangeStatus(), outcome);
        startPolling();
    } catch (const CommError &error) {
        // A port that failed is closed so that the next command opens it afresh.
        outcome.messages.append(portLostMessage(error));
        outcome.portError = error;
        stopPolling();
        dropLink();
    }
    return outcome;
}

LinkOutcome DeviceLink::readStatus(const QString &port)
{
    LinkOutcome outcome;
    stopPolling();
    if (!ensureLinkOpen(port, &outcome.portError)) {
        outcome.statusUnknown = true;
        outcome.messages.append(openFailureMessage(*outcome.portError));
        return outcome;
    }
    try {
        const StatusReply status = exchangeStatus();
        takeStatus(status, outcome);
        if (status.recognised()) {
            outcome.succeeded = true;
            startPolling();
        } else {
            dropLink();
            // A device that filled the whole read did answer, just not as expected.
            outcome.messages.append(message(MessageKind::Error, status.longerThanRead
                                                                    ? QStringLiteral("Error_Answer_Wrong")
                                                                    : QStringLiteral("Error_No_Answer")));
        }
    } catch (const CommError &error) {
        outcome.statusUnknown = true;
        outcome.messages.append(portLostMessage(error));
        outcome.portError = error;
        dropLink();
    }
    return outcome;
}

void DeviceLink::pollTimeout()
{
    m_pollTimer.stop();
    if (!m_polling)
        return;
    LinkOutcome outcome;
    try {
        const StatusReply status = exchangeStatus();
        takeStatus(status, outcome);
        outcome.succeeded = status.recognised();
        m_pollTimer.start();
    } catch (const CommError &error) {
        outcome.statusUnknown = true;
        outcome.messages.append(portLostMessage(error));
        outcome.portError = error;
        m_polling = false;
        dropLink();
    }
    emit polled(outcome);
}

std::optional<CommError> DeviceLink::openPort(const QString &portName)
{
    closeLink();
    try {
        m_comm.setDeviceName(devicePath(portName));
        m_comm.open();
    } catch (const CommError &error) {
        m_comm.close();
        return error;
    }
    m_lastPortName = portName;
    return std::nullopt;
}

QString DeviceLink::sendBootRequest()
{
    try {
        sendFrame(bootRequestFrame());
    } catch (const CommError &error) {
        return error.text();
    }
    return {};
}

QString DeviceLink::sendBootProbe()
{
    try {
        sendFrame(bootProbeFrame());
    } catch (const CommError &error) {
        return error.text();
    }
    return {};
}

bool DeviceLink::bootAnswerStarted()
{
    return m_comm.inputCount() > 0;
}

bool DeviceLink::bootAnswerComplete()
{
    return m_comm.isOpen() && firstLineComplete(m_comm.peekInput());
}

BootAnswer DeviceLink::readBootAnswer()
{
    BootAnswer answer;
    try {
        if (m_comm.inputCount() > 0)
            answer.inBootLoader = isBootLoaderAnswer(readReply(kBootReplyCapacity));
    } catch (const CommError &error) {
        answer.portError = error.text();
    }
    return answer;
}

QString DeviceLink::sendStatusRequest()
{
    try {
        sendFrame(readStatusFrame());
    } catch (const CommError &error) {
        return error.text();
    }
    return {};
}

bool DeviceLink::statusAnswerComplete()
{
    return m_comm.isOpen() && statusReplyComplete(m_comm.peekInput());
}

StatusAnswer DeviceLink::readStatusAnswer()
{
    StatusAnswer answer;
    try {
        if (m_comm.inputCount() > 0) {
            const QByteArray reply = readReply(kStatusReplyCapacity);
            answer.status = parseStatusReply(reply);
            answer.status.longerThanRead = reply.size() >= kStatusReplyCapacity;
        }
    } catch (const CommError &error) {
        answer.portError = error.text();
    }
    return answer;
}

} // namespace devlink
