#include "image_listing.h"

#include "config/TextCodec.h"
#include "image/ImageText.h"

#include <QJsonArray>
#include <QStringList>
#include <QTextStream>

namespace cli {

namespace {

using namespace image;

const char *const kAreaNames[layout::kAreaCount] = {
    "password table",  "phone table",      "message table",    "profile table",       "input event table",
    "SMS event table", "CALL event table", "event text table", "phone settings area",
};
const char *const kAreaKeys[layout::kAreaCount] = {
    "passwords", "phoneNumbers", "messages",   "profileWords",  "inputEvents",
    "smsEvents", "callEvents",   "eventTexts", "phoneSettings",
};

QString hex32(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(8, u'0');
}

using text::quoted;

// A table entry by index; kNoEntry and indexes past the table have none.
template <typename List> std::optional<QString> entry(const List &list, quint16 index)
{
    if (index >= list.size())
        return std::nullopt;
    if constexpr (std::is_same_v<typename List::value_type, QByteArray>)
        return config::textcodec::fromWindows1252(list.at(index));
    else
        return list.at(index);
}

QString phoneText(const ImageModel &model, quint16 index)
{
    if (index == kSender)
        return QStringLiteral("the sender");
    if (index == kNoEntry)
        return QStringLiteral("no entry");
    const auto number = entry(model.phoneNumbers, index);
    return QStringLiteral("#%1 %2").arg(index).arg(number ? quoted(*number) : QStringLiteral("(missing)"));
}

QString indexedText(const QList<QString> &list, quint16 index)
{
    if (index == kNoEntry)
        return QStringLiteral("no entry");
    const auto text = entry(list, index);
    return QStringLiteral("#%1 %2").arg(index).arg(text ? quoted(*text) : QStringLiteral("(missing)"));
}

QJsonValue phoneJson(const ImageModel &model, quint16 index)
{
    if (index == kSender)
        return QStringLiteral("sender");
    const auto number = entry(model.phoneNumbers, index);
    return number ? QJsonValue(*number) : QJsonValue(QJsonValue::Null);
}

QJsonValue textJson(const QList<QString> &list, quint16 index)
{
    const auto text = entry(list, index);
    return text ? QJsonValue(*text) : QJsonValue(QJsonValue::Null);
}

QString volts(quint16 counts)
{
    return QString::number(counts / 72.0, 'f', 2) + QStringLiteral(" V");
}

QString eventName(const DecodedImage &image, int event)
{
    const int entryIndex = layout::kFirstInputEventText + event;
    const QByteArray text = entryIndex < image.eventTexts.size()
                                ? image.eventTexts.at(entryIndex)
                                : QByteArray(layout::kEventTexts[entryIndex]);
    return QString::fromLatin1(text).trimmed();
}

QJsonObject actionJson(quint32 code)
{
    const text::ActionParts parts = text::actionParts(code);
    QJsonObject json{{"code", qint64(code)}, {"text", text::describeAction(code)}};
    if (code != 0 && parts.valid) {
        json.insert("output", parts.output);
        json.insert("operation", parts.operation);
        json.insert("durationMs", parts.durationMs);
        json.insert("echo", parts.echo);
    }
    return json;
}

QJsonArray slotsJson(quint32 low, quint32 high)
{
    QJsonArray slotList;
    for (const text::SlotRange &range : text::slotRanges(low, high)) {
        for (int slot = range.first; slot <= range.last; ++slot)
            slotList.append(slot);
    }
    return slotList;
}

QJsonArray rangesJson(quint32 low, quint32 high)
{
    QJsonArray ranges;
    for (const text::SlotRange &range : text::slotRanges(low, high))
        ranges.append(range.text());
    return ranges;
}

QJsonObject maskJson(const ImageModel &model, int word)
{
    const quint32 low = model.profileWords[word];
    const quint32 high = model.profileWords[word + 1];
    return {{"firstWord", word},
            {"slots", slotsJson(low, high)},
            {"ranges", rangesJson(low, high)},
            {"text", text::describeRanges(text::slotRanges(low, high))}};
}

constexpr int kWeekWords = 14;

} // namespace

QString imageListing(const DecodedImage &image, const QString &fileName)
{
    const ImageModel &model = image.model;
    QString out;
    QTextStream s(&out);
    s << fileName << ": " << image.size << " bytes\n\nHeader\n";
    for (int area = 0; area < layout::kAreaCount; ++area) {
        const AreaHeader &header = image.areas[area];
        s << "  " << QString::fromLatin1(kAreaNames[area]).leftJustified(20)
          << QString::number(header.count).rightJustified(6) << "  at " << hex32(header.address)
          << " (offset " << header.offset << ")\n";
    }

    s << "\nPasswords (" << model.passwords.size() << ")\n";
    for (int i = 0; i < model.passwords.size(); ++i)
        s << "  #" << i << ' ' << quoted(model.passwords[i]) << '\n';
    s << "\nPhone numbers (" << model.phoneNumbers.size() << ")\n";
    for (int i = 0; i < model.phoneNumbers.size(); ++i)
        s << "  #" << i << ' ' << quoted(config::textcodec::fromWindows1252(model.phoneNumbers[i])) << '\n';
    s << "\nMessages (" << model.messages.size() << ")\n";
    for (int i = 0; i < model.messages.size(); ++i)
        s << "  #" << i << ' ' << quoted(model.messages[i]) << '\n';

    const auto &words = model.profileWords;
    s << "\nProfiles\n";
    auto mask = [&](const QString &label, int first, int words, const QString &text) {
        s << "  "
          << (label + QStringLiteral(" (words %1-%2):").arg(first).arg(first + words - 1)).leftJustified(26)
          << ' ' << text << '\n';
    };
    mask(QStringLiteral("always"), 0, 2, text::describeRanges(text::slotRanges(words[0], words[1])));
    for (int w = 0; w < 3; ++w) {
        const int first = 2 + kWeekWords * w;
        mask(QStringLiteral("week %1").arg(w + 1), first, kWeekWords, text::describeWeek(&words[first]));
    }
    for (int d = 0; d < 3; ++d) {
        const int first = 44 + 2 * d;
        mask(QStringLiteral("day %1").arg(d + 1), first, 2,
             text::describeRanges(text::slotRanges(words[first], words[first + 1])));
    }
    for (int m = 0; m < 5; ++m) {
        const int first = 50 + 2 * m;
        mask(QStringLiteral("spare"), first, 2,
             text::describeRanges(text::slotRanges(words[first], words[first + 1])));
    }

    s << "\nInput events\n";
    for (int e = 0; e < kInputEventCount; ++e) {
        const InputEvent &event = model.inputEvents[e];
        s << "  " << e << ' ' << eventName(image, e) << ": delay " << event.timeDelay << " ms, threshold "
          << event.threshold;
        if (e >= kAnalogHigh)
            s << " (" << volts(event.threshold) << ')';
        s << ", "
          << (event.flags == kSendsSms ? QStringLiteral("sends SMS")
                                       : QStringLiteral("flags ") + hex32(event.flags))
          << '\n';
        for (const SmsTarget &target : event.smsList)
            s << "      to " << phoneText(model, target.phoneIndex) << ": message "
              << indexedText(model.messages, target.messageIndex) << '\n';
    }

    s << "\nSMS events (" << model.smsEvents.size() << ")\n";
    for (int i = 0; i < model.smsEvents.size(); ++i) {
        const SmsEvent &event = model.smsEvents[i];
        s << "  #" << i << " command " << indexedText(model.messages, event.textIndex) << ": "
          << text::describeAction(event.action) << '\n';
        s << "      password check " << (event.checks & kCheckPassword ? "on" : "off") << ", password "
          << indexedText(model.passwords, event.passwordIndex) << "; phone check "
          << (event.checks & kCheckPhoneNumber ? "on" : "off") << '\n';
        for (const SmsTarget &target : event.echoList)
            s << "      echo message " << indexedText(model.messages, target.messageIndex) << " to "
              << phoneText(model, target.phoneIndex) << '\n';
        for (const PhoneProfile &allowed : event.allowedNumbers)
            s << "      allowed " << phoneText(model, allowed.phoneIndex) << ", profile " << allowed.profile
              << '\n';
    }

    s << "\nCALL events (" << model.callEvents.size() << ")\n";
    for (int i = 0; i < model.callEvents.size(); ++i) {
        const CallEvent &event = model.callEvents[i];
        s << "  #" << i << " from " << phoneText(model, event.phoneIndex) << ", profile " << event.profile
          << ", ring number " << event.ringNumber << ", hang-up rings " << event.hangUpRings << '\n';
        s << "      under ring: " << text::describeAction(event.underRingAction)
          << "; above ring: " << text::describeAction(event.aboveRingAction)
          << "; hang-up: " << text::describeAction(event.hangUpAction) << '\n';
    }

    s << "\nEvent texts\n";
    for (int i = 0; i < image.eventTexts.size(); ++i)
        s << "  " << QString::number(i).rightJustified(2) << ' '
          << quoted(QString::fromLatin1(image.eventTexts[i])) << '\n';

    s << "\nPhone settings\n  PIN " << quoted(config::textcodec::fromWindows1252(model.pin)) << "\n  DST "
      << quoted(QString::fromLatin1(model.dstText)) << '\n';
    s.flush();
    return out;
}

QJsonObject imageJson(const DecodedImage &image, const QString &fileName)
{
    const ImageModel &model = image.model;
    QJsonObject json{{"file", fileName}, {"size", image.size}};

    QJsonArray header;
    for (int area = 0; area < layout::kAreaCount; ++area) {
        const AreaHeader &h = image.areas[area];
        header.append(QJsonObject{{"area", QLatin1String(kAreaKeys[area])},
                                  {"count", qint64(h.count)},
                                  {"address", hex32(h.address)},
                                  {"offset", h.offset}});
    }
    json.insert("header", header);

    QJsonArray passwords, phones, messages;
    for (const QString &password : model.passwords)
        passwords.append(password);
    for (const QByteArray &number : model.phoneNumbers)
        phones.append(config::textcodec::fromWindows1252(number));
    for (const QString &message : model.messages)
        messages.append(message);
    json.insert("passwords", passwords);
    json.insert("phoneNumbers", phones);
    json.insert("messages", messages);

    QJsonArray words;
    for (quint32 word : model.profileWords)
        words.append(qint64(word));
    QJsonArray weekly, daily, spare;
    for (int w = 0; w < 3; ++w) {
        const int first = 2 + kWeekWords * w;
        QJsonArray days;
        for (int d = 0; d < 7; ++d) {
            QJsonObject day = maskJson(model, first + 2 * d);
            day.insert("day", QLatin1String(text::kDayAbbreviations[d]));
            days.append(day);
        }
        weekly.append(QJsonObject{{"profile", w + 1},
                                  {"firstWord", first},
                                  {"days", days},
                                  {"text", text::describeWeek(&model.profileWords[first])}});
    }
    for (int d = 0; d < 3; ++d) {
        QJsonObject day = maskJson(model, 44 + 2 * d);
        day.insert("profile", d + 1);
        daily.append(day);
    }
    for (int m = 0; m < 5; ++m)
        spare.append(maskJson(model, 50 + 2 * m));
    json.insert("profiles", QJsonObject{{"words", words},
                                        {"always", maskJson(model, 0)},
                                        {"weekly", weekly},
                                        {"daily", daily},
                                        {"spare", spare}});

    QJsonArray inputs;
    for (int e = 0; e < kInputEventCount; ++e) {
        const InputEvent &event = model.inputEvents[e];
        QJsonArray sms;
        for (const SmsTarget &target : event.smsList)
            sms.append(QJsonObject{{"phoneIndex", target.phoneIndex},
                                   {"phone", phoneJson(model, target.phoneIndex)},
                                   {"messageIndex", target.messageIndex},
                                   {"message", textJson(model.messages, target.messageIndex)}});
        inputs.append(QJsonObject{{"event", e},
                                  {"name", eventName(image, e)},
                                  {"timeDelay", event.timeDelay},
                                  {"threshold", event.threshold},
                                  {"flags", qint64(event.flags)},
                                  {"sendsSms", event.flags == kSendsSms},
                                  {"sms", sms}});
    }
    json.insert("inputEvents", inputs);

    QJsonArray smsEvents;
    for (const SmsEvent &event : model.smsEvents) {
        QJsonArray echo, allowed;
        for (const SmsTarget &target : event.echoList)
            echo.append(QJsonObject{{"phoneIndex", target.phoneIndex},
                                    {"phone", phoneJson(model, target.phoneIndex)},
                                    {"messageIndex", target.messageIndex},
                                    {"message", textJson(model.messages, target.messageIndex)}});
        for (const PhoneProfile &number : event.allowedNumbers)
            allowed.append(QJsonObject{{"phoneIndex", number.phoneIndex},
                                       {"phone", phoneJson(model, number.phoneIndex)},
                                       {"profile", number.profile}});
        smsEvents.append(QJsonObject{{"textIndex", event.textIndex},
                                     {"text", textJson(model.messages, event.textIndex)},
                                     {"passwordIndex", event.passwordIndex},
                                     {"password", textJson(model.passwords, event.passwordIndex)},
                                     {"passwordCheck", bool(event.checks & kCheckPassword)},
                                     {"phoneCheck", bool(event.checks & kCheckPhoneNumber)},
                                     {"checks", event.checks},
                                     {"action", actionJson(event.action)},
                                     {"echoList", echo},
                                     {"allowedNumbers", allowed}});
    }
    json.insert("smsEvents", smsEvents);

    QJsonArray calls;
    for (const CallEvent &event : model.callEvents)
        calls.append(QJsonObject{{"phoneIndex", event.phoneIndex},
                                 {"phone", phoneJson(model, event.phoneIndex)},
                                 {"profile", event.profile},
                                 {"ringNumber", event.ringNumber},
                                 {"hangUpRings", event.hangUpRings},
                                 {"underRing", actionJson(event.underRingAction)},
                                 {"aboveRing", actionJson(event.aboveRingAction)},
                                 {"hangUp", actionJson(event.hangUpAction)}});
    json.insert("callEvents", calls);

    QJsonArray texts;
    for (const QByteArray &text : image.eventTexts)
        texts.append(QString::fromLatin1(text));
    json.insert("eventTexts", texts);
    json.insert("pin", config::textcodec::fromWindows1252(model.pin));
    json.insert("dst", QString::fromLatin1(model.dstText));
    return json;
}

} // namespace cli
