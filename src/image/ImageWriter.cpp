#include "image/ImageWriter.h"

#include "image/ImageLayout.h"

#include <QtEndian>

namespace image {

namespace {

using namespace layout;

class Writer
{
public:
    explicit Writer(const ImageModel &model) : m_model(model) {}

    QByteArray write()
    {
        const std::array<quint32, kAreaCount> counts = {
            quint32(m_model.passwords.size()),
            quint32(m_model.phoneNumbers.size()),
            quint32(m_model.messages.size()),
            quint32(kProfileWordCount),
            quint32(kInputEventCount),
            quint32(m_model.smsEvents.size()),
            quint32(m_model.callEvents.size()),
            quint32(kEventTextCount),
            1,
        };
        m_out.fill('\0', kHeaderSize);
        for (int area = 0; area < kAreaCount; ++area)
            putU32(8 * area, counts[area]);

        beginArea(kPasswordTable);
        for (const QString &password : m_model.passwords)
            appendHexText(m_out, password, kPasswordDigits, true);
        appendZeros(kPasswordEntrySize);

        beginArea(kPhoneTable);
        for (const QByteArray &number : m_model.phoneNumbers)
            appendField(number, kPhoneBytes, kPhoneEntrySize);
        appendZeros(kPhoneEntrySize);

        beginArea(kMessageTable);
        for (const QString &message : m_model.messages)
            appendHexText(m_out, message, kMessageDigits, true);
        appendZeros(kMessageEntrySize);

        beginArea(kProfileTable);
        for (quint32 word : m_model.profileWords)
            appendU32(word);

        writeInputEvents();
        writeSmsEvents();
        writeCallEvents();

        beginArea(kEventTextTable);
        for (const char *text : kEventTexts) {
            m_out.append(text, kEventTextLength);
            m_out.append('\0');
        }

        beginArea(kPhoneSettingsArea);
        appendField(m_model.pin, kPinBytes, kPinFieldSize);
        appendField(m_model.dstText, kDstBytes, kDstFieldSize);
        return m_out;
    }

private:
    void writeInputEvents()
    {
        const int start = beginArea(kInputEventTable);
        int cursor = start + (kInputEventCount + 1) * kInputRecordSize;
        for (const InputEvent &event : m_model.inputEvents) {
            appendU16(event.timeDelay);
            appendU16(event.threshold);
            appendU32(event.flags);
            appendListAddress(event.smsList.size(), cursor);
        }
        appendEndRecord(kInputRecordSize);
        for (const InputEvent &event : m_model.inputEvents)
            appendTargets(event.smsList);
    }

    void writeSmsEvents()
    {
        const int start = beginArea(kSmsEventTable);
        int cursor = start + int(m_model.smsEvents.size() + 1) * kSmsRecordSize;
        for (const SmsEvent &event : m_model.smsEvents) {
            appendU32(event.textIndex);
            appendU16(event.passwordIndex);
            appendU16(event.checks);
            appendU32(event.action);
            appendListAddress(event.echoList.size(), cursor);
            appendListAddress(event.allowedNumbers.size(), cursor);
        }
        appendEndRecord(kSmsRecordSize);
        for (const SmsEvent &event : m_model.smsEvents) {
            appendTargets(event.echoList);
            if (!event.allowedNumbers.isEmpty()) {
                for (const PhoneProfile &element : event.allowedNumbers) {
                    appendU16(element.phoneIndex);
                    appendU16(element.profile);
                }
                appendU32(kListEnd);
            }
        }
    }

    void writeCallEvents()
    {
        beginArea(kCallEventTable);
        for (const CallEvent &event : m_model.callEvents) {
            appendU32(event.phoneIndex);
            appendU16(event.profile);
            m_out.append(char(event.ringNumber));
            m_out.append(char(event.hangUpRings));
            for (quint32 action : {event.underRingAction, event.aboveRingAction, event.hangUpAction}) {
                appendU32(action);
                appendU32(kNoList);
            }
        }
        appendEndRecord(kCallRecordSize);
    }

    // Aligns the position and records the area's address in the header.
    int beginArea(Area area)
    {
        while (m_out.size() % kAreaAlignment != 0)
            m_out.append('\0');
        const int start = int(m_out.size());
        putU32(8 * area + 4, kImageBaseAddress + quint32(start));
        return start;
    }

    // A list's address comes from a cursor that walks the lists in the order
    // they are written after the end record.
    void appendListAddress(qsizetype elements, int &cursor)
    {
        if (elements == 0) {
            appendU32(kNoList);
            return;
        }
        appendU32(kImageBaseAddress + quint32(cursor));
        cursor += int(elements + 1) * kListElementSize;
    }

    void appendTargets(const QList<SmsTarget> &list)
    {
        if (list.isEmpty())
            return;
        for (const SmsTarget &target : list) {
            appendU16(target.phoneIndex);
            appendU16(target.messageIndex);
        }
        appendU32(kListEnd);
    }

    void appendField(const QByteArray &bytes, int maxBytes, int size)
    {
        const QByteArray kept = bytes.left(maxBytes);
        m_out.append(kept);
        appendZeros(size - int(kept.size()));
    }

    void appendEndRecord(int size) { m_out.append(size, char(0xFF)); }
    void appendZeros(int count) { m_out.append(count, '\0'); }

    void appendU16(quint16 value)
    {
        char bytes[2];
        qToLittleEndian(value, bytes);
        m_out.append(bytes, 2);
    }

    void appendU32(quint32 value)
    {
        char bytes[4];
        qToLittleEndian(value, bytes);
        m_out.append(bytes, 4);
    }

    void putU32(int offset, quint32 value) { qToLittleEndian(value, m_out.data() + offset); }

    const ImageModel &m_model;
    QByteArray m_out;
};

} // namespace

void appendHexText(QByteArray &out, QStringView text, int width, bool terminated)
{
    static const char kDigits[] = "0123456789ABCDEF";
    const qsizetype units = qMin(text.size(), qsizetype(width / 4));
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t unit = text[i].unicode();
        for (int shift = 12; shift >= 0; shift -= 4)
            out.append(kDigits[(unit >> shift) & 0xF]);
    }
    out.append(width - int(units) * 4 + (terminated ? 1 : 0), '\0');
}

WriteResult writeImage(const ImageModel &model)
{
    WriteResult result;
    QByteArray bytes = Writer(model).write();
    // The device's buffer ends at offset 100,000; every image is 2 bytes
    // longer than a multiple of 4, so 99,998 fits and 100,002 does not.
    if (bytes.size() > kImageCapacity)
        result.error = QStringLiteral("Range check error");
    else
        result.bytes = std::move(bytes);
    return result;
}

} // namespace image
