#include "image/ImageText.h"

#include "image/ImageModel.h"

namespace image::text {

const char *const kDayAbbreviations[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

ActionParts actionParts(quint32 code)
{
    struct Bit
    {
        quint32 bit;
        int output;
        const char *operation;
    };
    static const Bit kBits[] = {
        {action::kSetOutput1, 1, "set"},         {action::kResetOutput1, 1, "reset"},
        {action::kSetOutput2, 2, "set"},         {action::kResetOutput2, 2, "reset"},
        {action::kImpulseOutput1, 1, "impulse"}, {action::kImpulseOutput2, 2, "impulse"},
    };
    ActionParts parts;
    const quint32 outputBits = code & action::kOutputBits;
    const quint32 duration = code >> action::kDurationShift;
    const quint32 unknownBits = code & 0xFF80u;
    for (const Bit &bit : kBits) {
        if (outputBits == bit.bit) {
            parts.output = bit.output;
            parts.operation = QLatin1String(bit.operation);
        }
    }
    const bool impulse = parts.operation == u"impulse";
    parts.valid = parts.output != 0 && unknownBits == 0 && (impulse || duration == 0);
    parts.durationMs = impulse ? int(duration) : 0;
    parts.echo = code & action::kEcho;
    return parts;
}

QString describeAction(quint32 code)
{
    if (code == 0)
        return QStringLiteral("none");
    const ActionParts parts = actionParts(code);
    if (!parts.valid)
        return QStringLiteral("unknown action 0x%1")
            .arg(QString::number(code, 16).toUpper().rightJustified(8, u'0'));
    QString words = QStringLiteral("%1 output %2").arg(parts.operation).arg(parts.output);
    if (parts.operation == u"impulse")
        words += QStringLiteral(" for %1 ms").arg(parts.durationMs);
    if (parts.echo)
        words += QStringLiteral(", echo to sender");
    return words;
}

namespace {

QString slotTime(int slot) // start of a slot; slot 48 is the end of the day
{
    return QStringLiteral("%1.%2")
        .arg(slot / 2, 2, 10, QLatin1Char('0'))
        .arg(slot % 2 ? 30 : 0, 2, 10, QLatin1Char('0'));
}

} // namespace

QString SlotRange::text() const
{
    return slotTime(first) + u'-' + slotTime(last + 1);
}

QList<SlotRange> slotRanges(quint32 lowWord, quint32 highWord)
{
    const quint64 mask = quint64(lowWord) | quint64(highWord & 0xFFFF) << 32;
    QList<SlotRange> ranges;
    for (int slot = 0; slot < 48; ++slot) {
        if (!(mask >> slot & 1))
            continue;
        if (!ranges.isEmpty() && ranges.last().last == slot - 1)
            ranges.last().last = slot;
        else
            ranges.append({slot, slot});
    }
    return ranges;
}

QString describeRanges(const QList<SlotRange> &ranges)
{
    if (ranges.isEmpty())
        return QStringLiteral("no slots");
    QStringList parts;
    for (const SlotRange &range : ranges)
        parts.append(range.text());
    return parts.join(u' ');
}

QString describeWeek(const quint32 *words)
{
    QStringList days;
    for (int d = 0; d < 7; ++d) {
        const QList<SlotRange> ranges = slotRanges(words[2 * d], words[2 * d + 1]);
        if (!ranges.isEmpty())
            days.append(QLatin1String(kDayAbbreviations[d]) + u' ' + describeRanges(ranges));
    }
    return days.isEmpty() ? QStringLiteral("no slots") : days.join(QStringLiteral(", "));
}

QString quoted(const QString &text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'"') {
            out += u'\\';
            out += c;
        } else if (u == u'\n') {
            out += QLatin1String("\\n");
        } else if (u == u'\r') {
            out += QLatin1String("\\r");
        } else if (u == u'\t') {
            out += QLatin1String("\\t");
        } else if (u < 0x20 || (u >= 0x7F && u < 0xA0)) {
            out += QLatin1String("\\x") + QString::number(u, 16).toUpper().rightJustified(2, u'0');
        } else {
            out += c;
        }
    }
    out += u'"';
    return out;
}

} // namespace image::text
