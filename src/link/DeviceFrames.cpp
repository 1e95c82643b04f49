#include "link/DeviceFrames.h"

namespace devlink {

namespace {

constexpr char kStatusLine1[] = "ALARM-MODEM VER";
constexpr char kStatusLine2[] = "DATA E ORA:";
constexpr char kClockSetReply[] = "IMPOSTATA DATA E ORA!!";
constexpr char kBootAnswer[] = "BOOT VER";

// A text that is not a whole number, or one outside 0..65535, is out of every
// field's range.
int fieldValue(const QString &text, int invalid)
{
    const std::optional<int> value = parseWholeNumber(text);
    if (!value || *value < 0 || *value > 65535)
        return invalid;
    return *value;
}

QByteArray twoCharacters(const QString &text)
{
    const QString two = text.size() == 1 ? QStringLiteral("0") + text : text.left(2);
    return two.toLatin1();
}

qsizetype lineEnd(const QByteArray &bytes, qsizetype from)
{
    for (qsizetype i = from; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\r' || bytes.at(i) == '\n')
            return i;
    }
    return -1;
}

} // namespace

QByteArray readStatusFrame()
{
    return QByteArrayLiteral("READSTATUS\r\n");
}

QByteArray bootRequestFrame()
{
    return QByteArrayLiteral("GO_TO_BOOT\r");
}

QByteArray bootProbeFrame()
{
    return QByteArrayLiteral("00000000500000\r");
}

std::optional<int> parseWholeNumber(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > qint64(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return int(value);
}

std::optional<QDateTime> clockFieldsDateTime(const ClockFields &fields)
{
    const int hour = fieldValue(fields.hh, 200);
    const int minute = fieldValue(fields.mi, 200);
    const int second = fieldValue(fields.ss, 200);
    const int day = fieldValue(fields.dd, 200);
    const int month = fieldValue(fields.mo, 200);
    int year = fieldValue(fields.yy, 60000);
    if (year < 200)
        year += 2000;
    if (year < 2000 || year > 2099)
        return std::nullopt;
    const QDate date(year, month, day);
    const QTime time(hour, minute, second);
    if (!QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return std::nullopt;
    return QDateTime(date, time);
}

QByteArray setClockFrame(const ClockFields &fields)
{
    const std::optional<int> yearValue = parseWholeNumber(fields.yy);
    QString year = fields.yy;
    if (yearValue && *yearValue >= 200)
        year = QString::number(*yearValue - 2000);

    QByteArray frame = QByteArrayLiteral("DATORA ");
    frame += twoCharacters(fields.hh) + '.' + twoCharacters(fields.mi) + '.' + twoCharacters(fields.ss);
    frame += ' ' + twoCharacters(fields.dd) + '/' + twoCharacters(fields.mo) + '/' + twoCharacters(year);
    frame += "\r\n";
    return frame;
}

ClockFields clockFieldsFor(const QDateTime &when, bool fullYear)
{
    const QDate date = when.date();
    const QTime time = when.time();
    int year = date.year();
    if (!fullYear && year > 2000)
        year -= 2000;
    return {QString::number(time.hour()), QString::number(time.minute()), QString::number(time.second()),
            QString::number(date.day()),  QString::number(date.month()),  QString::number(year)};
}

QByteArray replyLine(const QByteArray &reply, qsizetype from)
{
    if (from >= reply.size())
        return {};
    const qsizetype end = lineEnd(reply, from);
    return end < 0 ? reply.mid(from) : reply.mid(from, end - from);
}

QString trimmedReplyText(const QByteArray &bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && quint8(bytes.at(begin)) <= 0x20)
        ++begin;
    while (end > begin && quint8(bytes.at(end - 1)) <= 0x20)
        --end;
    return QString::fromLatin1(bytes.constData() + begin, end - begin);
}

StatusReply parseStatusReply(const QByteArray &reply)
{
    StatusReply status;
    const QByteArray line1 = replyLine(reply);
    if (line1.startsWith(kStatusLine1))
        status.firmwareVersion = trimmedReplyText(line1.mid(qstrlen(kStatusLine1) + 1));
    // The device ends its lines with CR LF.
    const QByteArray line2 = replyLine(reply, line1.size() + 2);
    if (line2.startsWith(kStatusLine2))
        status.dateTime = trimmedReplyText(line2.mid(qstrlen(kStatusLine2) + 1));
    return status;
}

bool isClockSetConfirmation(const QByteArray &reply)
{
    const QByteArray text = reply.size() < 3 ? QByteArray() : reply.left(reply.size() - 2);
    return text == kClockSetReply;
}

bool isBootLoaderAnswer(const QByteArray &reply)
{
    return replyLine(reply).startsWith(kBootAnswer);
}

bool statusReplyComplete(const QByteArray &received)
{
    if (received.size() >= kStatusReplyCapacity)
        return true;
    const qsizetype end1 = lineEnd(received, 0);
    return end1 >= 0 && lineEnd(received, end1 + 2) >= 0;
}

bool clockReplyComplete(const QByteArray &received)
{
    if (received.size() >= kClockReplyCapacity)
        return true;
    return received.size() >= qsizetype(sizeof(kClockSetReply) - 1 + 2) && received.endsWith('\n');
}

bool firstLineComplete(const QByteArray &received)
{
    return received.size() >= kBootReplyCapacity || lineEnd(received, 0) >= 0;
}

} // namespace devlink
