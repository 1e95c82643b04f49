#include "image/ImageReader.h"

#include "image/ImageWriter.h"

#include <QtEndian>
#include <algorithm>

namespace image {

namespace {

using namespace layout;

struct Malformed
{
    qint64 offset;
    QString text;
};

[[noreturn]] void malformed(qint64 offset, const QString &text)
{
    throw Malformed{offset, text};
}

QString hex32(quint32 value)
{
    return QStringLiteral("0x") + QString::number(value, 16).toUpper().rightJustified(8, u'0');
}

// The device's hex text uses the digits 0-9 and A-F only.
int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

const std::array<const char *, kAreaCount> kAreaNames = {
    "password table",  "phone table",      "message table",    "profile table",       "input event table",
    "SMS event table", "CALL event table", "event text table", "phone settings area",
};

class Reader
{
public:
    explicit Reader(const QByteArray &bytes) : m_bytes(bytes) {}

    DecodedImage read()
    {
        DecodedImage image;
        image.size = m_bytes.size();
        need(0, kHeaderSize, QStringLiteral("header"));
        for (int area = 0; area < kAreaCount; ++area) {
            AreaHeader &header = image.areas[area];
            header.count = u32(8 * area);
            header.address = u32(8 * area + 4);
            header.offset = target(8 * area + 4, header.address);
        }
        m_areas = image.areas;
        expectCount(kProfileTable, kProfileWordCount);
        expectCount(kInputEventTable, kInputEventCount);
        expectCount(kEventTextTable, kEventTextCount);
        expectCount(kPhoneSettingsArea, 1);

        ImageModel &model = image.model;
        model.passwords = readHexTable(kPasswordTable, kPasswordEntrySize, kPasswordDigits);
        model.phoneNumbers = readPhoneTable();
        model.messages = readHexTable(kMessageTable, kMessageEntrySize, kMessageDigits);

        const qint64 profiles = areaStart(kProfileTable, kProfileWordCount * kProfileWordSize);
        for (int w = 0; w < kProfileWordCount; ++w)
            model.profileWords[w] = u32(profiles + 4 * w);

        readInputEvents(model);
        readSmsEvents(model);
        readCallEvents(model);

        const qint64 texts =
            areaStart(kEventTextTable, qint64(m_areas[kEventTextTable].count) * kEventTextSize);
        for (quint32 i = 0; i < m_areas[kEventTextTable].count; ++i) {
            const qint64 at = texts + i * kEventTextSize;
            if (m_bytes[at + kEventTextLength] != '\0')
                malformed(at + kEventTextLength, QStringLiteral("event text %1 is not terminated").arg(i));
            image.eventTexts.append(m_bytes.mid(at, kEventTextLength));
        }

        const qint64 settings = areaStart(kPhoneSettingsArea, kPhoneSettingsSize);
        model.pin = field(settings, kPinFieldSize, QStringLiteral("PIN"));
        model.dstText = field(settings + kPinFieldSize, kDstFieldSize, QStringLiteral("DST text"));
        const qint64 end = settings + kPhoneSettingsSize;
        if (end != m_bytes.size())
            malformed(end, QStringLiteral("%1 bytes follow the phone settings area, which ends the image")
                               .arg(m_bytes.size() - end));
        return image;
    }

private:
    void need(qint64 offset, qint64 size, const QString &what)
    {
        if (offset < 0 || offset + size > m_bytes.size())
            malformed(qMin(offset, qint64(m_bytes.size())),
                      QStringLiteral(
                          "the file ends inside the %1 (%2 bytes needed from offset %3, the file has %4)")
                          .arg(what)
                          .arg(size)
                          .arg(offset)
                          .arg(m_bytes.size()));
    }

    quint32 u32(qint64 offset) const { return qFromLittleEndian<quint32>(m_bytes.constData() + offset); }
    quint16 u16(qint64 offset) const { return qFromLittleEndian<quint16>(m_bytes.constData() + offset); }

    // The file offset an address points at; fieldOffset is where the
    // address is stored.
    qint64 target(qint64 fieldOffset, quint32 address) const
    {
        const qint64 offset = qint64(address) - kImageBaseAddress;
        if (offset < 0 || offset >= m_bytes.size())
            malformed(fieldOffset, QStringLiteral("address %1 points outside the file").arg(hex32(address)));
        return offset;
    }

    void expectCount(Area area, quint32 expected)
    {
        if (m_areas[area].count != expected)
            malformed(8 * area, QStringLiteral("the %1 count is %2, the device expects %3")
                                    .arg(QLatin1String(kAreaNames[area]))
                                    .arg(m_areas[area].count)
                                    .arg(expected));
    }

    qint64 areaStart(Area area, qint64 size)
    {
        need(m_areas[area].offset, size, QLatin1String(kAreaNames[area]));
        return m_areas[area].offset;
    }

    // Where the area that starts at offset ends: at the next area or at the
    // end of the file. Lists must end before it.
    qint64 areaEnd(Area area) const
    {
        qint64 end = m_bytes.size();
        for (const AreaHeader &other : m_areas) {
            if (other.offset > m_areas[area].offset)
                end = std::min(end, other.offset);
        }
        return end;
    }

    void expectZeros(qint64 from, qint64 to, const QString &what)
    {
        for (qint64 i = from; i < to; ++i) {
            if (m_bytes[i] != '\0')
                malformed(i, QStringLiteral("%1 holds a non-zero byte after its end").arg(what));
        }
    }

    void expectBlank(Area area, qint64 at, int size)
    {
        for (qint64 i = at; i < at + size; ++i) {
            if (m_bytes[i] != '\0')
                malformed(i, QStringLiteral("the blank entry that ends the %1 is missing")
                                 .arg(QLatin1String(kAreaNames[area])));
        }
    }

    QList<QString> readHexTable(Area area, int entrySize, int maxDigits)
    {
        const quint32 count = m_areas[area].count;
        const qint64 start = areaStart(area, (qint64(count) + 1) * entrySize);
        QList<QString> texts;
        for (quint32 i = 0; i < count; ++i) {
            const qint64 at = start + qint64(i) * entrySize;
            const QString what =
                QStringLiteral("entry %1 of the %2").arg(i).arg(QLatin1String(kAreaNames[area]));
            QString text;
            qint64 digit = at;
            while (digit < at + maxDigits && m_bytes[digit] != '\0')
                ++digit;
            if ((digit - at) % 4 != 0)
                malformed(
                    digit,
                    QStringLiteral("%1 has %2 hex digits, not a multiple of 4").arg(what).arg(digit - at));
            for (qint64 unit = at; unit < digit; unit += 4) {
                char16_t code = 0;
                for (qint64 i = unit; i < unit + 4; ++i) {
                    const int value = hexDigit(m_bytes[i]);
                    if (value < 0)
                        malformed(i, QStringLiteral("%1 holds a byte that is not a hex digit").arg(what));
                    code = char16_t(code << 4 | value);
                }
                text.append(QChar(code));
            }
            expectZeros(digit, at + entrySize, what);
            texts.append(text);
        }
        expectBlank(area, start + qint64(count) * entrySize, entrySize);
        return texts;
    }

    QList<QByteArray> readPhoneTable()
    {
        const quint32 count = m_areas[kPhoneTable].count;
        const qint64 start = areaStart(kPhoneTable, (qint64(count) + 1) * kPhoneEntrySize);
        QList<QByteArray> numbers;
        for (quint32 i = 0; i < count; ++i)
            numbers.append(field(start + qint64(i) * kPhoneEntrySize, kPhoneEntrySize,
                                 QStringLiteral("entry %1 of the phone table").arg(i)));
        expectBlank(kPhoneTable, start + qint64(count) * kPhoneEntrySize, kPhoneEntrySize);
        return numbers;
    }

    // Bytes up to the first 0x00; the last byte of the field is always 0x00.
    QByteArray field(qint64 at, int size, const QString &what)
    {
        qint64 end = at;
        while (end < at + size - 1 && m_bytes[end] != '\0')
            ++end;
        expectZeros(end, at + size, what);
        return m_bytes.mid(at, end - at);
    }

    void expectEndRecord(qint64 at, int size, const QString &table)
    {
        for (qint64 i = at; i < at + size; ++i) {
            if (quint8(m_bytes[i]) != 0xFF)
                malformed(at, QStringLiteral("the end record of the %1 is missing").arg(table));
        }
    }

    // Reads the list an address field points at: 4-byte elements up to the
    // list end, all inside the area. The device's lists follow one another
    // in record order, so each must start where the previous one ended; a
    // list shared by many records would otherwise be decoded again for each.
    QList<std::pair<quint16, quint16>> readList(qint64 fieldOffset, Area area)
    {
        const quint32 address = u32(fieldOffset);
        if (address == kNoList)
            return {};
        const qint64 start = target(fieldOffset, address);
        if (start != m_listCursor)
            malformed(fieldOffset, QStringLiteral("the list address %1 is not where the previous list ends "
                                                  "(offset %2)")
                                       .arg(hex32(address))
                                       .arg(m_listCursor));
        const qint64 end = areaEnd(area);
        QList<std::pair<quint16, quint16>> elements;
        for (qint64 at = start;; at += kListElementSize) {
            if (at + kListElementSize > end)
                malformed(
                    start,
                    QStringLiteral("the list at this offset has no list end before offset %1").arg(end));
            if (u32(at) == kListEnd) {
                m_listCursor = at + kListElementSize;
                return elements;
            }
            elements.append({u16(at), u16(at + 2)});
        }
    }

    QList<SmsTarget> targets(qint64 fieldOffset, Area area)
    {
        QList<SmsTarget> list;
        for (const auto &[phone, message] : readList(fieldOffset, area))
            list.append({phone, message});
        return list;
    }

    void readInputEvents(ImageModel &model)
    {
        const qint64 start = areaStart(kInputEventTable, (kInputEventCount + 1) * kInputRecordSize);
        m_listCursor = start + (kInputEventCount + 1) * kInputRecordSize;
        for (int e = 0; e < kInputEventCount; ++e) {
            const qint64 at = start + e * kInputRecordSize;
            InputEvent &event = model.inputEvents[e];
            event.timeDelay = u16(at);
            event.threshold = u16(at + 2);
            event.flags = u32(at + 4);
            event.smsList = targets(at + 8, kInputEventTable);
        }
        expectEndRecord(start + kInputEventCount * kInputRecordSize, kInputRecordSize,
                        QLatin1String(kAreaNames[kInputEventTable]));
    }

    void readSmsEvents(ImageModel &model)
    {
        const quint32 count = m_areas[kSmsEventTable].count;
        const qint64 start = areaStart(kSmsEventTable, (qint64(count) + 1) * kSmsRecordSize);
        m_listCursor = start + (qint64(count) + 1) * kSmsRecordSize;
        for (quint32 i = 0; i < count; ++i) {
            const qint64 at = start + qint64(i) * kSmsRecordSize;
            SmsEvent event;
            event.textIndex = u16(at);
            if (u16(at + 2) != 0)
                malformed(at + 2, QStringLiteral("the high half of a text index is not 0"));
            event.passwordIndex = u16(at + 4);
            event.checks = u16(at + 6);
            event.action = u32(at + 8);
            event.echoList = targets(at + 12, kSmsEventTable);
            for (const auto &[phone, profile] : readList(at + 16, kSmsEventTable))
                event.allowedNumbers.append({phone, profile});
            model.smsEvents.append(event);
        }
        expectEndRecord(start + qint64(count) * kSmsRecordSize, kSmsRecordSize,
                        QLatin1String(kAreaNames[kSmsEventTable]));
    }

    void readCallEvents(ImageModel &model)
    {
        const quint32 count = m_areas[kCallEventTable].count;
        const qint64 start = areaStart(kCallEventTable, (qint64(count) + 1) * kCallRecordSize);
        for (quint32 i = 0; i < count; ++i) {
            const qint64 at = start + qint64(i) * kCallRecordSize;
            CallEvent event;
            event.phoneIndex = u16(at);
            if (u16(at + 2) != 0)
                malformed(at + 2, QStringLiteral("the high half of a phone index is not 0"));
            event.profile = u16(at + 4);
            event.ringNumber = quint8(m_bytes[at + 6]);
            event.hangUpRings = quint8(m_bytes[at + 7]);
            event.underRingAction = u32(at + 8);
            event.aboveRingAction = u32(at + 16);
            event.hangUpAction = u32(at + 24);
            for (int list = 12; list <= 28; list += 8) {
                if (u32(at + list) != kNoList)
                    malformed(
                        at + list,
                        QStringLiteral(
                            "a CALL record's list address is not 0xFFFFFFFF (its lists are always empty)"));
            }
            model.callEvents.append(event);
        }
        expectEndRecord(start + qint64(count) * kCallRecordSize, kCallRecordSize,
                        QLatin1String(kAreaNames[kCallEventTable]));
    }

    const QByteArray &m_bytes;
    std::array<AreaHeader, kAreaCount> m_areas{};
    qint64 m_listCursor = 0; // where the next list of the current table must start
};

} // namespace

ReadResult readImage(const QByteArray &bytes)
{
    ReadResult result;
    try {
        // Beyond the capacity nothing is decoded: the device would not take it.
        if (bytes.size() > kImageCapacity)
            malformed(kImageCapacity,
                      QStringLiteral("the image is longer than the device's %1 bytes").arg(kImageCapacity));
        result.image = Reader(bytes).read();
        // Whatever the checks above let through (padding, the order of areas
        // and lists, the event texts) must still be exactly where the device
        // looks for it: the image must be the one its model writes.
        const WriteResult canonical = writeImage(result.image.model);
        if (!canonical.ok())
            malformed(kImageCapacity,
                      QStringLiteral("the image is longer than the device's %1 bytes").arg(kImageCapacity));
        const auto mismatch =
            std::mismatch(bytes.begin(), bytes.end(), canonical.bytes.begin(), canonical.bytes.end());
        if (mismatch.first != bytes.end() || mismatch.second != canonical.bytes.end())
            malformed(
                mismatch.first - bytes.begin(),
                QStringLiteral("the byte at this offset is not where the device expects it (padding, event "
                               "text, or the order of areas and lists)"));
    } catch (const Malformed &failure) {
        result.error = failure.text;
        result.errorOffset = failure.offset;
    }
    return result;
}

} // namespace image
