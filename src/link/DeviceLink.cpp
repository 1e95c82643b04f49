#include "link/DeviceLink.h"

#include "link/PortList.h"

#include <QCoreApplication>
#include <QThread>

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

LinkMessage portErrorMessage(const ECommError &error)
{
    return {MessageKind::Error, {}, error.text()};
}

} // namespace

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

    try {
        if (!EnsureLinkOpen(port, &outcome.portError)) {
            outcome.messages.append(message(MessageKind::Error, QStringLiteral("Error_Open_Com")));
            return outcome;
        }
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
        const StatusReply status = ReadStatus();
        outcome.firmwareVersion = status.firmwareVersion;
        outcome.dateTime = status.dateTime;
        startPolling();
    } catch (const ECommError &error) {
        // The device expects no more of this exchange; the message stays the
        // one for any failure of a clock setting. A port that failed is closed
        // so that the next command opens it afresh.
        outcome.messages.append(message(MessageKind::Error, QStringLiteral("Error_Date_Not_Valid")));
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
        outcome.messages.append(message(MessageKind::Error, QStringLiteral("Error_Open_Com")));
        return outcome;
    }
    try {
        const StatusReply status = ReadStatus();
        outcome.firmwareVersion = status.firmwareVersion;
        outcome.dateTime = status.dateTime;
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
        outcome.messages.append(portErrorMessage(error));
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
        outcome.firmwareVersion = status.firmwareVersion;
        outcome.dateTime = status.dateTime;
        outcome.succeeded = status.recognised();
        m_timer1.start();
    } catch (const ECommError &error) {
        outcome.messages.append(portErrorMessage(error));
        outcome.portError = error;
        m_polling = false;
        dropLink();
    }
    emit polled(outcome);
}

QString DeviceLink::openPort(const QString &portName)
{
    closeLink();
    try {
        m_comm.setDeviceName(devicePath(portName));
        m_comm.Open();
    } catch (const ECommError &error) {
        m_comm.Close();
        return error.text();
    }
    m_lastPortName = portName;
    return {};
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
