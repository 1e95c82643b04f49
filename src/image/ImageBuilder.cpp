#include "image/ImageBuilder.h"

#include "config/Numbers.h"
#include "config/TextCodec.h"
#include "config/XmlText.h"
#include "image/ImageLayout.h"
#include "image/ImageText.h"
#include "image/InternTable.h"
#include "image/NumberText.h"

#include <array>
#include <limits>
#include <utility>
#include <vector>

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
thread_local const config::XmlElement *t_document = nullptr;

// The path step to child i of parent: its name, with [n] where siblings
// share the name (the rows of a table, the slots of a day).
QString childStep(const config::XmlElement &parent, qsizetype i)
{
    const QByteArrayView name = parent.children[i].name();
    int position = 0;
    int sameName = 0;
    for (qsizetype j = 0; j < parent.children.size(); ++j) {
        if (parent.children[j].name() == name) {
            ++sameName;
            if (j <= i)
                ++position;
        }
    }
    const QString shown = QString::fromUtf8(name);
    return sameName > 1 ? QStringLiteral("%1[%2]").arg(shown).arg(position) : shown;
}

// Finds target below from and collects the names on the way. The tree is at
// most xmltree::kMaxDepth deep, so the recursion is bounded.
bool collectPath(const config::XmlElement &from, const config::XmlElement *target, QStringList &names)
{
    if (&from == target)
        return true;
    for (qsizetype i = 0; i < from.children.size(); ++i) {
        if (!collectPath(from.children[i], target, names))
            continue;
        names.prepend(childStep(from, i));
        return true;
    }
    return false;
}

// Paths are only needed for an error, so they are found then, not carried.
QString pathOf(const config::XmlElement *element)
{
    QStringList names;
    if (t_document && collectPath(*t_document, element, names))
        names.prepend(t_document->nameText());
    return names.join(u'/');
}

using Node = const config::XmlElement *;

// Where an element is, for a message: its path and line.
QString placeOf(Node element)
{
    return QStringLiteral("%1, line %2").arg(pathOf(element)).arg(element->line);
}

// A fixed error text with the element it is about after it.
[[noreturn]] void failAt(Node element, const QString &text)
{
    fail(QStringLiteral("%1 (%2)").arg(text, placeOf(element)));
}
[[noreturn]] void failRangeAt(Node element)
{
    failAt(element, QStringLiteral("Range check error"));
}

Node require(Node parent, QAnyStringView name)
{
    const config::XmlElement *child = parent->child(name);
    if (!child)
        fail(QStringLiteral("Element '%1' is missing").arg(pathOf(parent) + u'/' + name.toString()));
    return child;
}

void requireLeaf(Node node)
{
    if (node->hasChildren())
        fail(QStringLiteral("Element '%1' (line %2) holds elements instead of a value")
                 .arg(pathOf(node))
                 .arg(node->line));
}

QString leafText(Node node)
{
    requireLeaf(node);
    return node->text();
}

QString text(Node parent, QAnyStringView name)
{
    return leafText(require(parent, name));
}

// Only the text "1" is on.
bool flag(Node node)
{
    requireLeaf(node);
    return node->textEquals("1");
}
bool flag(Node parent, QAnyStringView name)
{
    return flag(require(parent, name));
}

qint32 integerOf(Node node)
{
    const QString &value = leafText(node);
    const std::optional<qint32> number = config::parseInteger(value);
    if (!number)
        failAt(node, QStringLiteral("'%1' is not a valid integer value").arg(config::quoted(value)));
    return *number;
}

quint32 integer(Node parent, QAnyStringView name, qint32 min, qint32 max)
{
    const Node node = require(parent, name);
    const qint32 value = integerOf(node);
    if (value < min || value > max)
        failRangeAt(node);
    return quint32(value);
}

// ADC counts of a volt value; node is where the value came from, or nullptr
// for a built-in one.
quint16 countsOf(double volts, Node node)
{
    const long double result = numbers::voltCounts(volts);
    if (!(result >= 0 && result <= 65535)) {
        if (node)
            failRangeAt(node);
        failRange();
    }
    return quint16(result);
}

quint16 counts(Node node)
{
    const QString &value = leafText(node);
    const std::optional<double> volts = numbers::parseVolts(value);
    if (!volts)
        failAt(node, QStringLiteral("'%1' is not a valid floating point value").arg(config::quoted(value)));
    return countsOf(*volts, node);
}

// The rows of a list element: every child, whatever its name, in order.
const QList<config::XmlElement> &rows(Node list)
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

// A field of the image that keeps only the start of a longer text.
struct CutField
{
    const char *what;
    int limit;
    const char *unit;
};
constexpr CutField kPhone = {"phone number", layout::kPhoneBytes, "bytes"};
constexpr CutField kPin = {"PIN", layout::kPinBytes, "bytes"};
constexpr CutField kPassword = {"password", layout::kPasswordDigits / 4, "characters"};
constexpr CutField kMessage = {"message", layout::kMessageDigits / 4, "characters"};

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
    explicit Compiler(const config::XmlElement &root) : m_root(&root)
    {
        if (root.name() != "Configuration")
            fail(QStringLiteral("Element 'Configuration' is missing: the document element is '%1'")
                     .arg(config::quoted(root.nameText())));
    }

    QStringList warnings() const { return m_warnings; }

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
        const Node input = require(m_root, "Input");
        for (const InputGroup &group : inputGroups()) {
            const Node node = requirePath(input, group.path);
            for (const InputSide &side : group.sides) {
                if (!flag(node, sideName("En_SMS_", side)))
                    continue;
                for (const config::XmlElement &row : rows(require(node, sideName("List_SMS_", side)))) {
                    const quint16 phone = collectPhone(require(&row, "Phone_Number"));
                    m_inputRowStrings.push_back(
                        {phone, collectText(m_messages, require(&row, "Message"), kMessage)});
                }
            }
        }
        for (int n = 1; n <= kDigitalOutputs; ++n) {
            const Node output = outputNode(n);
            const Node sms = require(output, "SMS");
            if (flag(sms, "Enable_from_SMS")) {
                for (const Command &command : kCommands) {
                    if (flag(sms, QLatin1String(command.enable)))
                        collectText(m_messages, require(sms, QLatin1String(command.text)), kMessage);
                }
            }
            if (flag(sms, "Check_Phone_Number_from_SMS")) {
                for (const config::XmlElement &row : rows(require(sms, "List_SMS")))
                    collectPhone(require(&row, "Phone_Number"));
            }
            if (flag(sms, "Check_Password_from_SMS"))
                collectText(m_passwords, require(sms, "Password_from_SMS_Text"), kPassword);
            const Node call = require(output, "CALL");
            if (flag(call, "Enable_from_CALL")) {
                for (const config::XmlElement &row : rows(require(call, "List_SMS")))
                    collectPhone(require(&row, "Phone_Number"));
            }
        }
    }

    // The index interning gave, or the new entry's (the index the event pass
    // gets for the same text).
    template <typename Table>
    static quint16 indexAfter(const Table &table, qsizetype before, quint16 interned)
    {
        return table.entries().size() == before ? interned : quint16(table.entries().size() - 1);
    }

    // The collection pass meets every string first: a new one that is longer
    // than its field gets a warning, once, saying what the device keeps.
    // Returns the string's index.
    quint16 collectText(TextTable &table, Node node, const CutField &field)
    {
        const qsizetype before = table.entries().size();
        const quint16 index = indexAfter(table, before, table.intern(leafText(node)));
        if (table.entries().size() != before) {
            const QString &text = table.entries().last();
            if (text.size() > field.limit)
                warnCut(node, field, text.size(), text, text.left(field.limit));
        }
        return index;
    }

    quint16 collectPhone(Node node)
    {
        const qsizetype before = m_phones.entries().size();
        const quint16 index =
            indexAfter(m_phones, before, m_phones.intern(config::textcodec::toWindows1252(leafText(node))));
        if (m_phones.entries().size() != before)
            warnIfCut(node);
        return index;
    }

    void warnIfCut(Node node)
    {
        const QByteArray &number = m_phones.entries().last();
        // Only a number of the field's full length can read as a cut one.
        if (number.size() < kPhone.limit)
            return;
        const QByteArray kept = number.left(kPhone.limit);
        const auto earlier = m_keptPhones.constFind(kept);
        if (earlier == m_keptPhones.constEnd())
            m_keptPhones.insert(kept, node);
        if (number.size() == kPhone.limit)
            return;
        warnCut(node, kPhone, number.size(), config::textcodec::fromWindows1252(number),
                config::textcodec::fromWindows1252(kept));
        // Two numbers that differ only past the cut reach the device as one.
        if (earlier != m_keptPhones.constEnd())
            m_warnings.last() +=
                QStringLiteral("; the device sees the same number as at %1").arg(placeOf(*earlier));
    }

    void warnCut(Node node, const CutField &field, qsizetype length, const QString &whole,
                 const QString &kept)
    {
        m_warnings.append(QStringLiteral("%1: the device keeps %2 of the %3 %4 of the %5 %6: %7")
                              .arg(placeOf(node))
                              .arg(field.limit)
                              .arg(length)
                              .arg(QLatin1String(field.unit), QLatin1String(field.what), text::quoted(whole),
                                   text::quoted(kept)));
    }

    void collectProfiles()
    {
        std::array<quint32, kProfileWordCount> &words = m_model.profileWords;
        words.fill(0);
        words[0] = words[1] = 0xFFFFFFFF;
        const Node profile = requirePath(m_root, QStringLiteral("Date_Time_Profile/Profile"));
        const Node weekly = require(profile, "Weekly");
        for (int n = 1; n <= kWeeklyProfiles; ++n) {
            const Node week = require(weekly, numbered("Week", n));
            if (!flag(week, "Enable_Week"))
                continue;
            const Node timeSlots = require(week, "Time_Slots");
            for (int d = 0; d < int(kDayNames.size()); ++d)
                setSlots(require(timeSlots, QLatin1String(kDayNames[d])),
                         kFirstWeeklyWord + kWordsPerWeek * (n - 1) + 2 * d);
        }
        const Node daily = require(profile, "Daily");
        for (int n = 1; n <= kDailyProfiles; ++n) {
            const Node day = require(daily, numbered("Day", n));
            if (flag(day, "Enable_Day"))
                setSlots(require(day, "Time_Slots"), kFirstDailyWord + 2 * (n - 1));
        }
        for (int w = kFirstSpareWord; w < kProfileWordCount; ++w)
            words[w] = 0xFFFFFFFF;
    }

    // Slots are taken by position; a day holds 48 of them and any further
    // children are not read.
    void setSlots(Node day, int word)
    {
        const QList<config::XmlElement> &children = rows(day);
        const qsizetype count = qMin(children.size(), qsizetype(kSlotsPerDay));
        for (qsizetype j = 0; j < count; ++j) {
            if (flag(&children[j]))
                m_model.profileWords[word + j / 32] |= 1u << (j % 32);
        }
    }

    void fillSettings()
    {
        const Node phone = require(m_root, "Phone_Setting");
        const Node pin = require(phone, "PIN");
        m_model.pin = config::textcodec::toWindows1252(leafText(pin));
        if (m_model.pin.size() > kPin.limit)
            warnCut(pin, kPin, m_model.pin.size(), config::textcodec::fromWindows1252(m_model.pin),
                    config::textcodec::fromWindows1252(m_model.pin.left(kPin.limit)));
        // Files from older versions have no DST element; a DST that cannot
        // be read at all counts as off too.
        const config::XmlElement *dst = phone->child(u"DST");
        const bool dstOn = dst && !dst->hasChildren() && dst->textEquals("1");
        m_model.dstText = dstOn ? layout::kDstOn : layout::kDstOff;
    }

    void fillInputEvents()
    {
        m_model.inputEvents.fill(InputEvent{});
        const Node input = require(m_root, "Input");
        for (const InputGroup &group : inputGroups()) {
            const Node node = requirePath(input, group.path);
            for (const InputSide &side : group.sides) {
                if (!flag(node, sideName("En_SMS_", side)))
                    continue;
                InputEvent &event = m_model.inputEvents[side.event];
                event.timeDelay = quint16(integer(node, sideName("Time_Delay_", side), 0, 65535));
                if (group.analog)
                    event.threshold = counts(require(node, sideName("Value_", side)));
                event.flags = kSendsSms;
                // The collection pass walked the same rows in the same order
                // and kept their indexes: no text is decoded twice.
                const qsizetype count = rows(require(node, sideName("List_SMS_", side))).size();
                for (qsizetype i = 0; i < count; ++i) {
                    const auto [phone, message] = m_inputRowStrings.at(m_nextInputRow++);
                    event.smsList.append({phone, message});
                }
                if (group.analog) {
                    // The return to rest is checked every 100 ms; files from
                    // older versions have no return level and mean 1.0 V.
                    InputEvent &back = m_model.inputEvents[side.returnEvent];
                    back.timeDelay = 100;
                    const config::XmlElement *hys =
                        node->child(sideName("Value_", side) + QStringLiteral("_Hys"));
                    back.threshold = hys ? counts(hys) : countsOf(1.0, nullptr);
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
            const Node sms = require(output, "SMS");
            if (flag(sms, "Enable_from_SMS")) {
                for (int kind = kSet; kind <= kImpulse; ++kind) {
                    if (flag(sms, QLatin1String(kCommands[kind].enable)))
                        m_model.smsEvents.append(smsEvent(sms, CommandKind(kind), n));
                }
            }
            const Node call = require(output, "CALL");
            if (flag(call, "Enable_from_CALL")) {
                for (const config::XmlElement &row : rows(require(call, "List_SMS")))
                    m_model.callEvents.append(callEvent(call, &row, n));
            }
        }
    }

    SmsEvent smsEvent(Node sms, CommandKind kind, int output)
    {
        SmsEvent event;
        event.textIndex = m_messages.intern(text(sms, QLatin1String(kCommands[kind].text)));
        if (flag(sms, "Check_Password_from_SMS")) {
            event.checks |= kCheckPassword;
            event.passwordIndex = m_passwords.intern(text(sms, "Password_from_SMS_Text"));
        }
        if (flag(sms, "Check_Phone_Number_from_SMS"))
            event.checks |= kCheckPhoneNumber;
        event.action = outputBit(kind, output);
        if (kind == kImpulse)
            event.action |= integer(sms, "Delay_Impulse_from_SMS", 0, 65535) << action::kDurationShift;
        if (flag(sms, "Send_Back_SMS_from_SMS")) {
            event.action |= action::kEcho;
            event.echoList.append({kSender, event.textIndex});
        }
        // Each command carries its own copy of the list, read whether the
        // phone check is on or not.
        for (const config::XmlElement &row : rows(require(sms, "List_SMS"))) {
            const quint16 phone = internPhone(text(&row, "Phone_Number"));
            event.allowedNumbers.append({phone, profileOf(&row)});
        }
        return event;
    }

    CallEvent callEvent(Node call, Node row, int output)
    {
        CallEvent event;
        event.phoneIndex = internPhone(text(row, "Phone_Number"));
        event.profile = profileOf(row);
        event.ringNumber = quint8(integer(call, "Ring_Number_from_CALL", 0, 255));
        event.hangUpRings = quint8(integer(call, "Hang_Up_Ring_from_CALL", 0, 255));
        event.underRingAction = callAction(call, "Under_Ring", "Under", output);
        event.aboveRingAction = callAction(call, "Above_Ring", "Above", output);
        event.hangUpAction = callAction(call, "Hang_Up", "Hang", output);
        return event;
    }

    quint32 callAction(Node call, const char *outcome, const char *delayName, int output)
    {
        const QString name = QLatin1String(outcome) + QStringLiteral("_from_CALL");
        if (!flag(call, "Enable_" + name))
            return 0;
        const QString operation = text(call, "Operation_" + name);
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
        const Node node = require(row, "Profile");
        if (leafText(node).isEmpty())
            return 0;
        const qint32 profile = integerOf(node);
        if (profile < 0 || profile > 65535)
            failRangeAt(node);
        return quint16(profile);
    }

    quint16 internPhone(const QString &number)
    {
        return m_phones.intern(config::textcodec::toWindows1252(number));
    }

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
    // The phone and message index of every input row, in the collection order.
    std::vector<std::pair<quint16, quint16>> m_inputRowStrings;
    std::size_t m_nextInputRow = 0;
    TextTable m_passwords;
    QHash<QByteArray, Node> m_keptPhones; // numbers of 16 bytes or more as the device keeps them
    QStringList m_warnings;
};

} // namespace

CompileResult compileConfiguration(const config::XmlElement &root)
{
    CompileResult result;
    const config::XmlElement *const outer = std::exchange(t_document, &root);
    try {
        Compiler compiler(root);
        result.model = compiler.compile();
        result.warnings = compiler.warnings();
    } catch (const BuildFailure &failure) {
        result.error = failure.text;
    }
    t_document = outer;
    return result;
}

} // namespace image
