#include "link/DeviceLink.h"

#include "link/PortList.h"

#include <QCoreApplication>
#include <QThread>
#include <cerrno>

namespace devlink {

namespace {

// Upper bounds: the wait ends as soon as the whole reply is in.
constexpr int kReplyPauseMs = 150;
constexpr int kBootRequestPauseMs = 200;
constexpr int kPollIntervalMs = 5000;

void processPendingEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

LinkMessage message(MessageKind kind, const QString &key)
{
    return {kind, key, {}};
}

// A port that failed in the middle of an exchange: the device is most likely
// unplugged or switched off, which the system's text alone does not say.
LinkMessage portLostMessage(const ECommError &error)
{
    return {MessageKind::Error, QStringLiteral("Error_Port_Lost"), error.text().trimmed()};
}

LinkMessage openFailureMessage(const ECommError &error)
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
    : QObject(parent), m_pcClock([] { return QDateTime::currentDateTime(); }),
      m_bootRequestPauseMs(kBootRequestPauseMs)
{
    qRegisterMetaType<devlink::LinkOutcome>();
    m_comm.setBaudRate(TBaudrate::br115200);
    m_comm.setFlowControl(TFlowControl::fcNone);
    // Disabled between ticks: the next tick is one interval after the previous
    // exchange has ended, however long it took.
    m_timer1.setSingleShot(true);
    m_timer1.setInterval(kPollIntervalMs);
    connect(&m_timer1, &QTimer::timeout, this, &DeviceLink::Timer1Tick);
}

DeviceLink::~DeviceLink()
{
    m_timer1.stop();
    m_comm.Close();
}

ClockFields DeviceLink::ShowPcClock() const
{
    return clockFieldsFor(m_pcClock(), false);
}

void DeviceLink::startPolling()
{
    m_polling = true;
    m_timer1.start();
}

void DeviceLink::stopPolling()
{
    m_polling = false;
    m_timer1.stop();
}

void DeviceLink::dropLink()
{
    m_comm.Close();
    m_linkOpen = false;
}

void DeviceLink::closeLink()
{
    stopPolling();
    dropLink();
    emit linkClosed();
}

bool DeviceLink::EnsureLinkOpen(const QString &port, std::optional<ECommError> *failure)
{
    if (m_linkOpen && m_linkPortName == port)
        return true;
    if (m_linkOpen) {
        m_comm.Close();
        m_linkOpen = false;
        m_linkPortName.clear();
    }
    // Closed whatever left it open, so the name can change.
    m_comm.Close();
    try {
        m_comm.setDeviceName(devicePath(port));
        m_comm.Open();
    } catch (const ECommError &error) {
        // A port that opened but refused its settings must not stay open behind
        // a clear link flag: the next attempt could never open it again.
        m_comm.Close();
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
    m_comm.PurgeOutput();
    m_comm.PurgeInput();
    m_comm.Write(frame);
}

QByteArray DeviceLink::readReply(int capacity)
{
    QByteArray reply(capacity, '\0');
    const int n = m_comm.Read(reply.data(), capacity);
    reply.resize(qMax(0, n));
    return reply;
}

StatusReply DeviceLink::ReadStatus()
{
    sendFrame(readStatusFrame());
    m_comm.waitForInput(kReplyPauseMs, statusReplyComplete);
    if (m_comm.InputCount() <= 0)
        return {};
    const QByteArray reply = readReply(kStatusReplyCapacity);
    StatusReply status = parseStatusReply(reply);
    status.longerThanRead = reply.size() >= kStatusReplyCapacity;
    return status;
}

LinkOutcome DeviceLink::SetClock(const QString &port, ClockSource source, const ClockFields &typed)
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
    if (!EnsureLinkOpen(port, &outcome.portError)) {
        outcome.messages.append(openFailureMessage(*outcome.portError));
        return outcome;
    }
    try {
        sendFrame(setClockFrame(fields));
        m_comm.waitForInput(kReplyPauseMs, clockReplyComplete);
        if (m_comm.InputCount() <= 0) {
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
        takeStatus(ReadStatus(), outcome);
        startPolling();
    } catch (const ECommError &error) {
        // A port that failed is closed so that the next command opens it afresh.
        outcome.messages.append(portLostMessage(error));
        outcome.portError = error;
        stopPolling();
        dropLink();
    }
    return outcome;
}

LinkOutcome DeviceLink::ReadStatusClick(const QString &port)
{
    LinkOutcome outcome;
    stopPolling();
    if (!EnsureLinkOpen(port, &outcome.portError)) {
        outcome.statusUnknown = true;
        outcome.messages.append(openFailureMessage(*outcome.portError));
        return outcome;
    }
    try {
        const StatusReply status = ReadStatus();
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
    } catch (const ECommError &error) {
        outcome.statusUnknown = true;
        outcome.messages.append(portLostMessage(error));
        outcome.portError = error;
        dropLink();
    }
    return outcome;
}

void DeviceLink::Timer1Tick()
{
    m_timer1.stop();
    if (!m_polling)
        return;
    LinkOutcome outcome;
    try {
        const StatusReply status = ReadStatus();
        takeStatus(status, outcome);
        outcome.succeeded = status.recognised();
        m_timer1.start();
    } catch (const ECommError &error) {
        outcome.statusUnknown = true;
        outcome.messages.append(portLostMessage(error));
        outcome.portError = error;
        m_polling = false;
        dropLink();
    }
    emit polled(outcome);
}

std::optional<ECommError> DeviceLink::openPort(const QString &portName)
{
    closeLink();
    try {
        m_comm.setDeviceName(devicePath(portName));
        m_comm.Open();
    } catch (const ECommError &error) {
        m_comm.Close();
        return error;
    }
    m_lastPortName = portName;
    return std::nullopt;
}

QString DeviceLink::RequestBootMode()
{
    try {
        sendFrame(bootRequestFrame());
    } catch (const ECommError &error) {
        return error.text();
    }
    // The device needs the time to restart into its boot loader; no reply.
    QThread::msleep(m_bootRequestPauseMs);
    processPendingEvents();
    return {};
}

BootAnswer DeviceLink::CheckBootMode()
{
    BootAnswer answer;
    try {
        sendFrame(bootProbeFrame());
        m_comm.waitForInput(kReplyPauseMs, firstLineComplete);
        processPendingEvents();
        if (m_comm.InputCount() <= 0)
            return answer;
        m_comm.waitForInput(kReplyPauseMs, firstLineComplete);
        processPendingEvents();
        answer.inBootLoader = isBootLoaderAnswer(readReply(kBootReplyCapacity));
    } catch (const ECommError &error) {
        answer.portError = error.text();
    }
    return answer;
}

} // namespace devlink
