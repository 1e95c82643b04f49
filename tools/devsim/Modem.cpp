#include "Modem.h"

namespace devsim {

namespace {

// "DATORA hh.mi.ss dd/mo/yy": two decimal digits in every field.
bool twoDigits(const QByteArray &frame, int at, int *value)
{
    const char a = frame.at(at);
    const char b = frame.at(at + 1);
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return false;
    *value = (a - '0') * 10 + (b - '0');
    return true;
}

} // namespace

Modem::Modem(const Settings &settings) : m_settings(settings)
{
    m_bootLoader = settings.bootAfter <= 0;
}

void Modem::restart()
{
    m_bootLoader = false;
    m_bootRequests = 0;
}

QDateTime Modem::clock() const
{
    return QDateTime::currentDateTime().addSecs(m_clockOffsetSecs);
}

QByteArray Modem::statusReply() const
{
    return "ALARM-MODEM VER " + m_settings.firmwareVersion + "\r\n" +
           "DATA E ORA: " + clock().toString(QStringLiteral("hh.mm.ss dd/MM/yy")).toLatin1() + "\r\n";
}

bool Modem::setClock(const QByteArray &frame)
{
    static const QByteArray kLayout = "DATORA 00.00.00 00/00/00";
    if (frame.size() != kLayout.size())
        return false;
    for (int i = 0; i < kLayout.size(); ++i) {
        if (kLayout.at(i) != '0' && frame.at(i) != kLayout.at(i))
            return false;
    }
    int hour, minute, second, day, month, year;
    if (!twoDigits(frame, 7, &hour) || !twoDigits(frame, 10, &minute) || !twoDigits(frame, 13, &second) ||
        !twoDigits(frame, 16, &day) || !twoDigits(frame, 19, &month) || !twoDigits(frame, 22, &year))
        return false;
    const QDateTime when(QDate(2000 + year, month, day), QTime(hour, minute, second));
    if (!when.isValid())
        return false;
    m_clockOffsetSecs = QDateTime::currentDateTime().secsTo(when);
    return true;
}

QByteArray Modem::answer(const QByteArray &frame)
{
    QByteArray reply;
    if (m_bootLoader) {
        // The boot loader knows only its probe.
        if (frame == "00000000500000")
            reply = "BOOT VER " + m_settings.bootVersion + "\r\n";
    } else if (frame == "READSTATUS") {
        reply = statusReply();
    } else if (frame.startsWith("DATORA ")) {
        if (setClock(frame))
            reply = m_settings.wrongClockReply ? QByteArray("impostata data e ora!!\r\n")
                                               : QByteArray("IMPOSTATA DATA E ORA!!\r\n");
    } else if (frame == "GO_TO_BOOT") {
        if (++m_bootRequests >= m_settings.bootAfter)
            m_bootLoader = true;
    }
    if (m_settings.garbage) {
        reply.resize(kGarbageSize);
        for (char &c : reply)
            c = char(m_noise.bounded(256));
    }
    return reply;
}

} // namespace devsim
