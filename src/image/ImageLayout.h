// Byte layout of bank.bin shared by the writer and the reader: area order,
// entry and record sizes, and the fixed event texts.
#pragma once

#include <QtGlobal>
#include <array>

namespace image::layout {

// The header holds one {u32 count, u32 address} pair per area, in area order.
enum Area {
    kPasswordTable,
    kPhoneTable,
    kMessageTable,
    kProfileTable,
    kInputEventTable,
    kSmsEventTable,
    kCallEventTable,
    kEventTextTable,
    kPhoneSettingsArea,
    kAreaCount
};

constexpr int kHeaderSize = 8 * kAreaCount;
constexpr int kAreaAlignment = 4;

constexpr int kPasswordEntrySize = 33; // 32 hex digits (8 characters) + 0x00
constexpr int kPasswordDigits = 32;
constexpr int kPhoneEntrySize = 17; // 16 bytes + at least one 0x00
constexpr int kPhoneBytes = 16;
constexpr int kMessageEntrySize = 257; // 256 hex digits (64 characters) + 0x00
constexpr int kMessageDigits = 256;
constexpr int kProfileWordSize = 4;
constexpr int kInputRecordSize = 12;
constexpr int kSmsRecordSize = 20;
constexpr int kCallRecordSize = 32;
constexpr int kListElementSize = 4;
constexpr int kEventTextSize = 33;
constexpr int kEventTextLength = 32;
constexpr int kPinFieldSize = 17;
constexpr int kPinBytes = 8;
constexpr int kDstFieldSize = 17;
constexpr int kDstBytes = 16;
constexpr int kPhoneSettingsSize = kPinFieldSize + kDstFieldSize;

constexpr quint32 kNoList = 0xFFFFFFFF;
constexpr quint32 kListEnd = 0xFFFFFFFF;

constexpr int kEventTextCount = 16;
// Texts the device shows in its log: call outcomes, received SMS and the eight
// input events (entry 8 + input event index). Exactly 32 characters each.
constexpr std::array<const char *, kEventTextCount> kEventTexts = {
    "chiamata inferiore a soglia da: ", "chiamata superiore a soglia da: ",
    "chiamata con chiusura da:       ", "............................... ",
    "sms ricevuto ..:                ", "sms ricevuto da:                ",
    "............................... ", "............................... ",
    "ingresso digitale 1 alto        ", "ingresso digitale 1 basso       ",
    "ingresso digitale 2 alto        ", "ingresso digitale 2 basso       ",
    "ingresso analogico alto         ", "ingresso analogico basso        ",
    "Ritorno a riposo da alto        ", "Ritorno a riposo da basso       ",
};
constexpr int kFirstInputEventText = 8;

constexpr const char *kDstOn = "ORA-LEGALE_ON";
constexpr const char *kDstOff = "ORA-LEGALE_OFF";

} // namespace image::layout
