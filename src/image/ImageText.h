// Words for what an image holds: actions, profile masks as time ranges and
// input event names, for listings of an image.
#pragma once

#include <QList>
#include <QString>

namespace image::text {

// "impulse output 2 for 500 ms, echo to sender", "set output 1", "none".
QString describeAction(quint32 action);

// The decoded parts of an action code; valid is false when the code does not
// have exactly one output bit (or has bits the device does not know).
struct ActionParts
{
    bool valid = false;
    int output = 0;     // 1 or 2
    QString operation;  // "set", "reset", "impulse"
    int durationMs = 0; // impulse only
    bool echo = false;
};
ActionParts actionParts(quint32 action);

// A run of consecutive slots [first, last] of a 48-slot day.
struct SlotRange
{
    int first = 0;
    int last = 0;
    QString text() const; // "08.00-12.30": from the start of first to the end of last
};

// The runs of set slots in a mask of two profile words (slots 0-31, 32-47).
QList<SlotRange> slotRanges(quint32 lowWord, quint32 highWord);
QString describeRanges(const QList<SlotRange> &ranges); // "08.00-12.30 14.00-18.00" or "no slots"

// The seven days of a weekly profile from its 14 words:
// "Mon 08.00-12.30, Tue 09.00-10.00"; "no slots" when all are empty.
QString describeWeek(const quint32 *words);

extern const char *const kDayAbbreviations[7];

// The text in double quotes for a terminal: backslash and quote escaped, and
// every control character (C0, DEL, C1) as \n, \r, \t or \xHH, so a text
// from a file can never move the cursor or retitle the terminal.
QString quoted(const QString &text);

} // namespace image::text
