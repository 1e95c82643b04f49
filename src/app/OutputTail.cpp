#include "OutputTail.h"

namespace app {

namespace {

// Enough bytes for kMaxLineLength characters in any 8-bit or UTF-8 text.
constexpr qsizetype kMaxLineBytes = OutputTail::kMaxLineLength * 4;

bool isLineEnd(char c)
{
    return c == '\n' || c == '\r';
}

bool isBlank(char c)
{
    return static_cast<unsigned char>(c) <= ' ';
}

} // namespace

void OutputTail::endLine(const std::function<void(const QString &)> &onLine)
{
    QString line = QString::fromLocal8Bit(m_partial).trimmed();
    const bool cut = m_partialCut || line.size() > kMaxLineLength;
    m_partial.clear();
    m_partialCut = false;
    if (line.isEmpty())
        return;
    if (cut)
        line = line.left(kMaxLineLength - 1) + QChar(0x2026);
    if (m_lines.size() == kMaxLines)
        m_lines.removeFirst();
    m_lines.append(line);
    if (onLine)
        onLine(line);
}

void OutputTail::append(const QByteArray &bytes, const std::function<void(const QString &)> &onLine)
{
    const char *begin = bytes.constData();
    const char *const end = begin + bytes.size();
    if (!onLine) {
        // Nobody follows the lines: of a large chunk only the lines that can
        // still be in the tail are worth decoding.
        int seen = 0;
        bool content = false;
        for (const char *p = end; p != begin; --p) {
            const char c = p[-1];
            if (isLineEnd(c)) {
                // One more than the tail holds: the bytes after the last line
                // end may be a line in progress.
                if (content && ++seen > kMaxLines + 1) {
                    m_partial.clear();
                    m_partialCut = false;
                    begin = p;
                    break;
                }
                content = false;
            } else if (!isBlank(c)) {
                content = true;
            }
        }
    }
    const char *p = begin;
    while (p != end) {
        const char *stop = p;
        while (stop != end && !isLineEnd(*stop))
            ++stop;
        const qsizetype room = kMaxLineBytes - m_partial.size();
        const qsizetype length = stop - p;
        m_partial.append(p, std::min(room, length));
        if (length > room)
            m_partialCut = true;
        if (stop == end)
            break;
        endLine(onLine);
        p = stop + 1;
    }
}

void OutputTail::finish(const std::function<void(const QString &)> &onLine)
{
    if (!m_partial.isEmpty())
        endLine(onLine);
}

} // namespace app
