// The checks of one table row that run before a configuration is saved: an
// input row (message length, phone number) and an output row (phone number,
// profile). They answer the message key of the refusal; the caller appends
// the row number to its text.
#pragma once

#include <QString>
#include <QStringView>

namespace config {

// The six input tables in check order: DI1 rising, DI1 falling, DI2 rising,
// DI2 falling, analog high, analog low.
constexpr int kInputTables = 6;
// The four output tables in check order: DO1 SMS, DO1 CALL, DO2 SMS, DO2 CALL.
constexpr int kOutputTables = 4;

// The longest SMS the device sends, in UTF-16 code units.
constexpr qsizetype kMaxMessageLength = 64;

struct RowRefusal
{
    QStringView key; // empty when the row passes
    int column = -1; // the refused cell's column in its table; -1 when the row passes
    bool refused() const { return !key.isEmpty(); }
};

// A phone number as the device takes it, from the way people write it down:
// blanks and the separators - . / ( ) dropped; anything else is kept for the
// checks to judge.
QString withoutPhoneSeparators(QStringView typed);

// A phone number holds only "+" and the digits 0-9, in any order; empty passes.
bool isPhoneNumberText(QStringView phone);

// event 0..5 as kInputTables. The description is never checked.
RowRefusal checkInputRow(QStringView message, QStringView phone, int event);
// list 0..3 as kOutputTables. An empty profile passes; anything else must be
// a whole number from 0 to 9.
RowRefusal checkOutputRow(QStringView phone, QStringView profile, int list);

} // namespace config
