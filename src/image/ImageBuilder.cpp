#include "image/ImageBuilder.h"

#include "config/Numbers.h"
#include "config/TextCodec.h"
#include "image/ImageLayout.h"
#include "image/InternTable.h"
#include "image/NumberText.h"

#include <array>
#include <limits>
#include <utility>

namespace image {

namespace {

constexpr int kDigitalInputs = 2;
constexpr int kDigitalOutputs = 2;
constexpr int kWeeklyProfiles = 3;
constexpr int kDailyProfiles = 3;
constexpr int kSlotsPerDay = 48;
constexpr std::array<const char *, 7> kDayNames = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                                   "Friday", "Saturday", "Sunday"};
constexpr int kFirstWeeklyWord = 2;
constexpr int kWordsPerWeek = 14;
constexpr int kFirstDailyWord = 44;
constexpr int kFirstSpareWord = 50;

// Stops the build; caught at the module's edge and turned into the result.
struct BuildFailure
{
    QString text;
};

[[noreturn]] void fail(const QString &text)
{
    throw BuildFailure{text};
}
[[noreturn]] void failRange()
{
    fail(QStringLiteral("Range check error"));
}

// The document being compiled, for the element paths of error texts; set for
// the length of one compile (the builder is not re-entrant).
thread_local const XmlElement *t_document = nullptr;

// Finds target below from and collects the names on the way, with [n] where
// siblings share a name (the rows of a table, the slots of a day).
bool collectPath(const XmlElement &from, const XmlElement *target, QStringList &names)
{
    if (&from == target)
        return true;
    for (qsizetype i = 0; i < from.children.size(); ++i) {
        const XmlElement &child = from.children[i];
        if (!collectPath(child, target, names))
            continue;
        int position = 0;
        int sameName = 0;
        for (qsizetype j = 0; j < from.children.size(); ++j) {
            if (from.children[j].name == child.name) {
                ++sameName;
                if (j <= i)
                    ++position;
            }
        }
        names.prepend(sameName > 1 ? QStringLiteral("%1[%2]").arg(child.name).arg(position) : child.name);
        return true;
    }
    return false;
}

// Paths are only needed for an error, so they are found then, not carried.
QString pathOf(const XmlElement *element)
{
    QStringList names;
    if (t_document && collectPath(*t_document, element, names))
        names.prepend(t_document->name);
    return names.join(u'/');
}

using Node = const XmlElement *;

Node require(Node parent, const QString &name)
{
    const XmlElement *child = parent->child(name);
    if (!child)
        fail(QStringLiteral("Element '%1' is missing").arg(pathOf(parent) + u'/' + name));
    return child;
}

const QString &leafText(Node node)
{
    if (node->hasChildren())
        fail(QStringLiteral("Element '%1' (line %2) holds elements instead of a value")
                 .arg(pathOf(node))
                 .arg(node->line));
    return node->text;
}

QString text(Node parent, const QString &name)
{
    return leafText(require(parent, name));
}

// Only the text "1" is on.
bool flag(Node node)
{
    return leafText(node) == u"1";
}
bool flag(Node parent, const QString &name)
{
    return flag(require(parent, name));
}

qint32 integerOf(const QString &value)
{
    const std::optional<qint32> number = config::parseInteger(value);
    if (!number)
        fail(QStringLiteral("'%1' is not a valid integer value").arg(value));
    return *number;
}

quint32 integer(Node parent, const QString &name, qint32 min, qint32 max)
{
    const qint32 value = integerOf(text(parent, name));
    if (value < min || value > max)
        failRange();
    return quint32(value);
}

quint16 counts(const QString &value)
{
    const std::optional<double> volts = numbers::parseVolts(value);
    if (!volts)
        fail(QStringLiteral("'%1' is not a valid floating point value").arg(value));
    const long double result = numbers::voltCounts(*volts);
    if (!(result >= 0 && result <= 65535))
        failRange();
    return quint16(result);
}

// The rows of a list element: every child, whatever its name, in order.
const QList<XmlElement> &rows(Node list)
{
    return list->children;
}

QString numbered(const char *prefix, int n)
{
    return QLatin1String(prefix) + QString::number(n);
}

// One input event with its switch, delay and SMS list, and for the analog
// sides the threshold and return level.
struct InputSide
{
    const char *suffix;   // "F0T1", "High", ...
    int event;            // index of its record
    int returnEvent = -1; // analog only: the record of the return to rest
};

struct InputGroup
{
    QString path; // below Configuration/Input
    QList<InputSide> sides;
    bool analog;
};

QList<InputGroup> inputGroups()
{
    QList<InputGroup> groups;
    for (int n = 1; n <= kDigitalInputs; ++n) {
        const int first = 2 * (n - 1);
        groups.append({QStringLiteral("Digital/") + numbered("Digital_Input_", n),
                       {{"F0T1", first}, {"F1T0", first + 1}},
                       false});
    }
    groups.append({QStringLiteral("Analog/Analog_Input_1"),
                   {{"High", kAnalogHigh, kAnalogHighReturn}, {"Low", kAnalogLow, kAnalogLowReturn}},
                   true});
    return groups;
}

QString sideName(const char *prefix, const InputSide &side)
{
    return QLatin1String(prefix) + QLatin1String(side.suffix);
}

// The three SMS commands of an output, in record order.
struct Command
{
    const char *enable;
    const char *text;
};
constexpr std::array<Command, 3> kCommands = {{
    {"Set_from_SMS", "Set_from_SMS_Text"},
    {"Reset_from_SMS", "Reset_from_SMS_Text"},
    {"Impulse_from_SMS", "Impulse_from_SMS_Text"},
}};
enum CommandKind { kSet, kReset, kImpulse };

quint32 outputBit(CommandKind kind, int output)
{
    switch (kind) {
    case kSet:
        return output == 1 ? action::kSetOutput1 : action::kSetOutput2;
    case kReset:
        return output == 1 ? action::kResetOutput1 : action::kResetOutput2;
    case kImpulse:
        break;
    }
    return output == 1 ? action::kImpulseOutput1 : action::kImpulseOutput2;
}

class Compiler
{
public:
    explicit Compiler(const XmlElement &root) : m_root(&root)
    {
        if (root.name != u"Configuration")
            fail(QStringLiteral("Element 'Configuration' is missing: the document element is '%1'")
                     .arg(root.name));
    }

    ImageModel compile()
    {
        collectStrings();
        collectProfiles();
        fillSettings();
        fillInputEvents();
        fillOutputEvents();
        m_model.phoneNumbers = m_phones.entries();
        m_model.messages = m_messages.entries();
        m_model.passwords = m_passwords.entries();
        return std::move(m_model);
    }

private:
    // Collection pass: every string the event pass looks up, in the order
    // that gives the device's indexes.
    void collectStrings()
    {
        const Node input = require(m_root, QStringLiteral("Input"));
        for (const InputGroup &group : inputGroups()) {
            const Node node = requirePath(input, group.path);
            for (const InputSide &side : group.sides) {
                if (!flag(node, sideName("En_SMS_", side)))
                    continue;
                for (const XmlElement &row : rows(require(node, sideName("List_SMS_", side)))) {
                    internPhone(text(&row, QStringLiteral("Phone_Number")));
                    m_messages.intern(text(&row, QStringLiteral("Message")));
                }
            }
        }
        for (int n = 1; n <= kDigitalOutputs; ++n) {
            const Node output = outputNode(n);
            const Node sms = require(output, QStringLiteral("SMS"));
            if (flag(sms, QStringLiteral("Enable_from_SMS"))) {
                for (const Command &command : kCommands) {
                    if (flag(sms, QLatin1String(command.enable)))
                        m_messages.intern(text(sms, QLatin1String(command.text)));
                }
            }
            if (flag(sms, QStringLiteral("Check_Phone_Number_from_SMS"))) {
                for (const XmlElement &row : rows(require(sms, QStringLiteral("List_SMS"))))
                    internPhone(text(&row, QStringLiteral("Phone_Number")));
            }
            if (flag(sms, QStringLiteral("Check_Password_from_SMS")))
                m_passwords.intern(text(sms, QStringLiteral("Password_from_SMS_Text")));
            const Node call = require(output, QStringLiteral("CALL"));
            if (flag(call, QStringLiteral("Enable_from_CALL"))) {
                for (const XmlElement &row : rows(require(call, QStringLiteral("List_SMS"))))
                    internPhone(text(&row, QStringLiteral("Phone_Number")));
            }
        }
    }

    void collectProfiles()
    {
        std::array<quint32, kProfileWordCount> &words = m_model.profileWords;
        words.fill(0);
        words[0] = words[1] = 0xFFFFFFFF;
        const Node profile = requirePath(m_root, QStringLiteral("Date_Time_Profile/Profile"));
        const Node weekly = require(profile, QStringLiteral("Weekly"));
        for (int n = 1; n <= kWeeklyProfiles; ++n) {
            const Node week = require(weekly, numbered("Week", n));
            if (!flag(week, QStringLiteral("Enable_Week")))
                continue;
            const Node timeSlots = require(week, QStringLiteral("Time_Slots"));
            for (int d = 0; d < int(kDayNames.size()); ++d)
                setSlots(require(timeSlots, QLatin1String(kDayNames[d])),
                         kFirstWeeklyWord + kWordsPerWeek * (n - 1) + 2 * d);
        }
        const Node daily = require(profile, QStringLiteral("Daily"));
        for (int n = 1; n <= kDailyProfiles; ++n) {
            const Node day = require(daily, numbered("Day", n));
            if (flag(day, QStringLiteral("Enable_Day")))
                setSlots(require(day, QStringLiteral("Time_Slots")), kFirstDailyWord + 2 * (n - 1));
        }
        for (int w = kFirstSpareWord; w < kProfileWordCount; ++w)
            words[w] = 0xFFFFFFFF;
    }

    // Slots are taken by position; a day holds 48 of them and any further
    // children are not read.
    void setSlots(Node day, int word)
    {
        const QList<XmlElement> &children = rows(day);
        const qsizetype count = qMin(children.size(), qsizetype(kSlotsPerDay));
        for (qsizetype j = 0; j < count; ++j) {
            if (flag(&children[j]))
                m_model.profileWords[word + j / 32] |= 1u << (j % 32);
        }
    }

    void fillSettings()
    {
        const Node phone = require(m_root, QStringLiteral("Phone_Setting"));
        m_model.pin = textcodec::toWindows1252(text(phone, QStringLiteral("PIN")));
        // Files from older versions have no DST element; a DST that cannot
        // be read at all counts as off too.
        const XmlElement *dst = phone->child(u"DST");
        const bool dstOn = dst && !dst->hasChildren() && dst->text == u"1";
        m_model.dstText = dstOn ? layout::kDstOn : layout::kDstOff;
    }

    void fillInputEvents()
    {
        m_model.inputEvents.fill(InputEvent{});
        const Node input = require(m_root, QStringLiteral("Input"));
        for (const InputGroup &group : inputGroups()) {
            const Node node = requirePath(input, group.path);
            for (const InputSide &side : group.sides) {
                if (!flag(node, sideName("En_SMS_", side)))
                    continue;
                InputEvent &event = m_model.inputEvents[side.event];
                event.timeDelay = quint16(integer(node, sideName("Time_Delay_", side), 0, 65535));
                if (group.analog)
                    event.threshold = counts(text(node, sideName("Value_", side)));
                event.flags = kSendsSms;
                for (const XmlElement &row : rows(require(node, sideName("List_SMS_", side)))) {
                    const quint16 phone = internPhone(text(&row, QStringLiteral("Phone_Number")));
                    event.smsList.append({phone, m_messages.intern(text(&row, QStringLiteral("Message")))});
                }
                if (group.analog) {
                    // The return to rest is checked every 100 ms; files from
                    // older versions have no return level and mean 1.0 V.
                    InputEvent &back = m_model.inputEvents[side.returnEvent];
                    back.timeDelay = 100;
                    const XmlElement *hys = node->child(sideName("Value_", side) + QStringLiteral("_Hys"));
                    back.threshold = hys ? counts(leafText(hys)) : counts(QStringLiteral("1"));
                }
            }
        }
    }

    void fillOutputEvents()
    {
        m_model.smsEvents.clear();
        m_model.callEvents.clear();
        for (int n = 1; n <= kDigitalOutputs; ++n) {
            const Node output = outputNode(n);
            const Node sms = require(output, QStringLiteral("SMS"));
            if (flag(sms, QStringLiteral("Enable_from_SMS"))) {
                for (int kind = kSet; kind <= kImpulse; ++kind) {
                    if (flag(sms, QLatin1String(kCommands[kind].enable)))
                        m_model.smsEvents.append(smsEvent(sms, CommandKind(kind), n));
                }
            }
            const Node call = require(output, QStringLiteral("CALL"));
            if (flag(call, QStringLiteral("Enable_from_CALL"))) {
                for (const XmlElement &row : rows(require(call, QStringLiteral("List_SMS"))))
                    m_model.callEvents.append(callEvent(call, &row, n));
            }
        }
    }

    SmsEvent smsEvent(Node sms, CommandKind kind, int output)
    {
        SmsEvent event;
        event.textIndex = m_messages.intern(text(sms, QLatin1String(kCommands[kind].text)));
        if (flag(sms, QStringLiteral("Check_Password_from_SMS"))) {
            event.checks |= kCheckPassword;
            event.passwordIndex = m_passwords.intern(text(sms, QStringLiteral("Password_from_SMS_Text")));
        }
        if (flag(sms, QStringLiteral("Check_Phone_Number_from_SMS")))
            event.checks |= kCheckPhoneNumber;
        event.action = outputBit(kind, output);
        if (kind == kImpulse)
            event.action |= integer(sms, QStringLiteral("Delay_Impulse_from_SMS"), 0, 65535)
                            << action::kDurationShift;
        if (flag(sms, QStringLiteral("Send_Back_SMS_from_SMS"))) {
            event.action |= action::kEcho;
            event.echoList.append({kSender, event.textIndex});
        }
        // Each command carries its own copy of the list, read whether the
        // phone check is on or not.
        for (const XmlElement &row : rows(require(sms, QStringLiteral("List_SMS")))) {
            const quint16 phone = internPhone(text(&row, QStringLiteral("Phone_Number")));
            event.allowedNumbers.append({phone, profileOf(&row)});
        }
        return event;
    }

    CallEvent callEvent(Node call, Node row, int output)
    {
        CallEvent event;
        event.phoneIndex = internPhone(text(row, QStringLiteral("Phone_Number")));
        event.profile = profileOf(row);
        event.ringNumber = quint8(integer(call, QStringLiteral("Ring_Number_from_CALL"), 0, 255));
        event.hangUpRings = quint8(integer(call, QStringLiteral("Hang_Up_Ring_from_CALL"), 0, 255));
        event.underRingAction = callAction(call, "Under_Ring", "Under", output);
        event.aboveRingAction = callAction(call, "Above_Ring", "Above", output);
        event.hangUpAction = callAction(call, "Hang_Up", "Hang", output);
        return event;
    }

    quint32 callAction(Node call, const char *outcome, const char *delayName, int output)
    {
        const QString name = QLatin1String(outcome) + QStringLiteral("_from_CALL");
        if (!flag(call, QStringLiteral("Enable_") + name))
            return 0;
        const QString operation = text(call, QStringLiteral("Operation_") + name);
        if (operation == u"0")
            return outputBit(kSet, output);
        if (operation == u"1")
            return outputBit(kReset, output);
        const QString delayElement =
            QStringLiteral("Delay_Time_Imp_%1_from_CALL").arg(QLatin1String(delayName));
        // The device's field holds 16 bits: a longer duration keeps its low
        // 16 bits, but a negative one is refused.
        const quint32 duration = integer(call, delayElement, 0, std::numeric_limits<qint32>::max());
        return ((duration & 0xFFFF) << action::kDurationShift) | outputBit(kImpulse, output);
    }

    // An empty profile cell is profile 0: the save-time checks accept it.
    quint16 profileOf(Node row)
    {
        const QString value = text(row, QStringLiteral("Profile"));
        if (value.isEmpty())
            return 0;
        const qint32 profile = integerOf(value);
        if (profile < 0 || profile > 65535)
            failRange();
        return quint16(profile);
    }

    quint16 internPhone(const QString &number) { return m_phones.intern(textcodec::toWindows1252(number)); }

    Node outputNode(int n)
    {
        return requirePath(m_root, QStringLiteral("Output/Digital/") + numbered("Digital_Output_", n));
    }

    Node requirePath(Node from, const QString &path)
    {
        Node node = from;
        for (const QString &name : path.split(u'/'))
            node = require(node, name);
        return node;
    }

    const Node m_root;
    ImageModel m_model;
    PhoneTable m_phones;
    TextTable m_messages;
    TextTable m_passwords;
};

} // namespace

CompileResult compileConfiguration(const XmlElement &root)
{
    CompileResult result;
    const XmlElement *const outer = std::exchange(t_document, &root);
    try {
        result.model = Compiler(root).compile();
    } catch (const BuildFailure &failure) {
        result.error = failure.text;
    }
    t_document = outer;
    return result;
}

} // namespace image
