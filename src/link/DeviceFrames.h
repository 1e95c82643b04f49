// The device's four command frames, byte for byte, and how its replies are
// recognised. Pure functions: no port, no clock.
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

namespace devlink {

// The texts of the six clock fields of the Date & Time page, as typed.
struct ClockFields
{
    QString hh, mi, ss, dd, mo, yy;

    bool operator==(const ClockFields &) const = default;
};

// "READSTATUS" CR LF
QByteArray readStatusFrame();
// "GO_TO_BOOT" CR
QByteArray bootRequestFrame();
// "00000000500000" CR
QByteArray bootProbeFrame();

inline constexpr int kSetClockFrameSize = 26;
inline constexpr int kClockReplyCapacity = 100;
inline constexpr int kStatusReplyCapacity = 200;
inline constexpr int kBootReplyCapacity = 200;

// An optional sign and decimal digits in the 32-bit range, nothing else.
std::optional<int> parseWholeNumber(const QString &text);

// The date and time the fields stand for, or nothing when they do not form a
// valid one. A year below 200 counts from 2000. Only 2000 to 2099 are
// accepted: the device keeps two year digits, and any other year would reach
// it as a different one (1999 as "-1", 2150 as "15").
std::optional<QDateTime> clockFieldsDateTime(const ClockFields &fields);

// "DATORA hh.mi.ss dd/mo/yy" CR LF from the field texts: a one-character text
// gets a leading "0", a longer one gives its first two characters. The year
// field's text is used as typed when its value is below 200, otherwise the
// value minus 2000. Meant for fields that clockFieldsDateTime() accepts.
QByteArray setClockFrame(const ClockFields &fields);

// The fields for a local date and time, as plain numbers without leading
// zeros. With fullYear the year is written whole (what "Set PC Date & Time"
// sends from); otherwise a year above 2000 is reduced by 2000 (what the page
// shows on arrival).
ClockFields clockFieldsFor(const QDateTime &when, bool fullYear);

// The run of bytes from `from` up to, not including, the next CR or LF (or the
// end of the bytes).
QByteArray replyLine(const QByteArray &reply, qsizetype from = 0);

// The text after a recognised prefix: Latin-1, leading and trailing blanks and
// control characters removed.
QString trimmedReplyText(const QByteArray &bytes);

struct StatusReply
{
    std::optional<QString> firmwareVersion; // set when line 1 is recognised
    std::optional<QString> dateTime;        // set when line 2 is recognised
    bool longerThanRead = false;            // the reply filled the whole read
    bool recognised() const { return firmwareVersion && dateTime; }
};
// Line 1 "ALARM-MODEM VER <version>", line 2 (two bytes after the end of line
// 1) "DATA E ORA: <time>".
StatusReply parseStatusReply(const QByteArray &reply);

// The bytes read after a set-clock frame, except the last two, equal
// "IMPOSTATA DATA E ORA!!".
bool isClockSetConfirmation(const QByteArray &reply);

// The first line starts with "BOOT VER".
bool isBootLoaderAnswer(const QByteArray &reply);

// Whether the bytes received so far form a whole reply, so waiting can stop.
bool statusReplyComplete(const QByteArray &received);
bool clockReplyComplete(const QByteArray &received);
bool firstLineComplete(const QByteArray &received);

} // namespace devlink
