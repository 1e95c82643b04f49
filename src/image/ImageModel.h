// The device image as values: the three string tables, the profile words and
// the event records that the image writer lays out as bank.bin.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

namespace image {

// The device keeps the image at this address; every address in the file is
// this base plus a file offset.
constexpr quint32 kImageBaseAddress = 0x124000;
// Offsets 0 to 100,000: the device reserves 100,001 bytes for the image.
constexpr int kImageCapacity = 100001;

constexpr quint16 kNoEntry = 0xFFFF; // an index field without an entry
constexpr quint16 kSender = 0xFFFE;  // phone index: the sender of the command
constexpr quint32 kSendsSms = 0x40;  // input event flags: send the SMS of the list
constexpr int kProfileWordCount = 60;
constexpr int kInputEventCount = 8;

// Action codes: one output bit, the echo bit where it applies and, for an
// impulse, its duration in milliseconds in the high 16 bits.
namespace action {
constexpr quint32 kSetOutput1 = 0x01;
constexpr quint32 kResetOutput1 = 0x02;
constexpr quint32 kSetOutput2 = 0x04;
constexpr quint32 kResetOutput2 = 0x08;
constexpr quint32 kImpulseOutput1 = 0x10;
constexpr quint32 kImpulseOutput2 = 0x20;
constexpr quint32 kEcho = 0x40;
constexpr quint32 kOutputBits = 0x3F;
constexpr int kDurationShift = 16;
} // namespace action

struct SmsTarget
{
    quint16 phoneIndex = kNoEntry;
    quint16 messageIndex = kNoEntry;
    bool operator==(const SmsTarget &) const = default;
};

struct PhoneProfile
{
    quint16 phoneIndex = kNoEntry;
    quint16 profile = 0;
    bool operator==(const PhoneProfile &) const = default;
};

struct InputEvent
{
    quint16 timeDelay = 0; // ms the condition must hold
    quint16 threshold = 0; // ADC counts, 72 per volt; 0 for digital inputs
    quint32 flags = 0;     // kSendsSms or 0
    QList<SmsTarget> smsList;
    bool operator==(const InputEvent &) const = default;
};

struct SmsEvent
{
    quint16 textIndex = 0;
    quint16 passwordIndex = kNoEntry;
    quint16 checks = 0; // bit 0 password check, bit 1 phone-number check
    quint32 action = 0;
    QList<SmsTarget> echoList;
    QList<PhoneProfile> allowedNumbers;
    bool operator==(const SmsEvent &) const = default;
};

constexpr quint16 kCheckPassword = 0x1;
constexpr quint16 kCheckPhoneNumber = 0x2;

// The three lists of a call record are always empty, so the model has none.
struct CallEvent
{
    quint16 phoneIndex = kNoEntry;
    quint16 profile = 0;
    quint8 ringNumber = 0;
    quint8 hangUpRings = 0;
    quint32 underRingAction = 0;
    quint32 aboveRingAction = 0;
    quint32 hangUpAction = 0;
    bool operator==(const CallEvent &) const = default;
};

// Input events in the order the device expects them.
enum InputEventIndex {
    kDigitalInput1Rise = 0,
    kDigitalInput1Fall = 1,
    kDigitalInput2Rise = 2,
    kDigitalInput2Fall = 3,
    kAnalogHigh = 4,
    kAnalogLow = 5,
    kAnalogHighReturn = 6,
    kAnalogLowReturn = 7,
};

struct ImageModel
{
    QList<QByteArray> phoneNumbers; // Windows-1252 bytes
    QList<QString> messages;
    QList<QString> passwords;
    // 30 masks of two words: slots 0-31 in the first, 32-47 in the second.
    std::array<quint32, kProfileWordCount> profileWords{};
    std::array<InputEvent, kInputEventCount> inputEvents{};
    QList<SmsEvent> smsEvents;
    QList<CallEvent> callEvents;
    QByteArray pin;
    QByteArray dstText;
    bool operator==(const ImageModel &) const = default;
};

} // namespace image
