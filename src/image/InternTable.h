// A string table of the image: each string once, indexed by the order of
// first appearance, with blanks and control characters trimmed at both ends.
#pragma once

#include "image/ImageModel.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

namespace image {

template <typename Text> class InternTable
{
public:
    // The index of the trimmed text when the table holds it already. A new
    // text is appended and gives kNoEntry: the device sees "no entry" for a
    // string that the collection pass did not gather.
    quint16 intern(const Text &text)
    {
        const Text trimmed = trimmedText(text);
        const auto found = m_index.constFind(trimmed);
        if (found != m_index.constEnd())
            return quint16(found.value());
        m_index.insert(trimmed, m_entries.size());
        m_entries.append(trimmed);
        return kNoEntry;
    }

    const QList<Text> &entries() const { return m_entries; }

    // Drops every character whose code is below 33 at both ends.
    static Text trimmedText(const Text &text)
    {
        qsizetype begin = 0;
        qsizetype end = text.size();
        while (begin < end && code(text[begin]) < 33)
            ++begin;
        while (end > begin && code(text[end - 1]) < 33)
            --end;
        return text.mid(begin, end - begin);
    }

private:
    static unsigned code(QChar c) { return c.unicode(); }
    static unsigned code(char c) { return quint8(c); }

    QList<Text> m_entries;
    QHash<Text, qsizetype> m_index;
};

using PhoneTable = InternTable<QByteArray>;
using TextTable = InternTable<QString>;

} // namespace image
