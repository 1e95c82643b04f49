#include "TextCodec.h"

namespace config {

namespace {

// Unicode of the bytes 0x80-0x9F in Windows-1252; 0 marks the five unused bytes.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

struct Iso885915Difference
{
    unsigned char byte;
    char16_t unicode;
};
constexpr Iso885915Difference kIso885915[] = {
    {0xA4, 0x20AC}, {0xA6, 0x0160}, {0xA8, 0x0161}, {0xB4, 0x017D},
    {0xB8, 0x017E}, {0xBC, 0x0152}, {0xBD, 0x0153}, {0xBE, 0x0178},
};

} // namespace

QByteArray textcodec::toWindows1252(const QString &text)
{
    // Written in place: a build encodes every phone number twice.
    QByteArray out(text.size(), Qt::Uninitialized);
    char *to = out.data();
    const char16_t *from = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *const end = from + text.size();
    for (; from < end; ++from) {
        const char16_t u = *from;
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            *to++ = char(u);
            continue;
        }
        if (QChar::isHighSurrogate(u) && from + 1 < end && QChar::isLowSurrogate(from[1])) {
            *to++ = '?';
            ++from;
            continue;
        }
        char byte = '?';
        for (int k = 0; k < 32; ++k) {
            if (kCp1252High[k] != 0 && kCp1252High[k] == u) {
                byte = char(0x80 + k);
                break;
            }
        }
        *to++ = byte;
    }
    out.truncate(to - out.data());
    return out;
}

QString textcodec::fromWindows1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0)
            out.append(QChar(kCp1252High[b - 0x80]));
        else
            out.append(QChar(char16_t(b))); // the five unused bytes map to C1 controls, as Windows does
    }
    return out;
}

QString textcodec::fromIso885915(const QByteArray &bytes)
{
    QString out = QString::fromLatin1(bytes);
    for (QChar &ch : out) {
        for (const auto &d : kIso885915) {
            if (ch.unicode() == d.byte) {
                ch = QChar(d.unicode);
                break;
            }
        }
    }
    return out;
}

} // namespace config
