#include "XmlText.h"

namespace config {
namespace {

// The length of the character at i when it can stand in an XML file, 0 otherwise.
qsizetype xmlCharacterAt(QStringView text, qsizetype i)
{
    const char16_t c = text[i].unicode();
    if (QChar::isHighSurrogate(c))
        return i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()) ? 2 : 0;
    if (QChar::isLowSurrogate(c))
        return 0;
    if (c < 0x20)
        return c == u'\t' || c == u'\n' || c == u'\r' ? 1 : 0;
    return c == 0xFFFE || c == 0xFFFF ? 0 : 1;
}

} // namespace

bool holdsOnlyXmlCharacters(QStringView text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = xmlCharacterAt(text, i);
        if (n == 0)
            return false;
        i += n;
    }
    return true;
}

QString xmlCharactersOnly(QStringView text)
{
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n = xmlCharacterAt(text, i);
        if (n > 0)
            kept.append(text.mid(i, n));
        i += n > 0 ? n : 1;
    }
    return kept;
}

QString quoted(QStringView text)
{
    if (text.size() <= kQuotedLength)
        return text.toString();
    qsizetype cut = kQuotedLength - 1;
    // Never between the two halves of a surrogate pair.
    if (text[cut - 1].isHighSurrogate())
        --cut;
    return text.first(cut).toString() + QChar(0x2026);
}

} // namespace config
