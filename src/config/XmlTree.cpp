#include "XmlTree.h"

#include "FileAccess.h"
#include "TextCodec.h"
#include "config/XmlText.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <array>
#include <cstring>
#include <vector>

namespace config {

namespace {

// An ASCII name given as UTF-16 against a UTF-8 name.
bool equalsAscii(QByteArrayView utf8, QStringView ascii)
{
    if (utf8.size() != ascii.size())
        return false;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        if (char16_t(uchar(utf8[i])) != ascii[i].unicode())
            return false;
    }
    return true;
}

bool isAscii(QByteArrayView bytes)
{
    for (const char c : bytes) {
        if (uchar(c) >= 0x80)
            return false;
    }
    return true;
}

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

constexpr bool isSpace(char32_t c)
{
    return c == u' ' || c == u'\n' || c == u'\t' || c == u'\r';
}

const char *find(const char *from, const char *end, const char *what)
{
    const qsizetype n = qsizetype(std::strlen(what));
    const QByteArrayView rest(from, end - from);
    const qsizetype at = rest.indexOf(QByteArrayView(what, n));
    return at < 0 ? end : from + at;
}

// The character of a reference that the reader accepted, at p ('&');
// p moves past its ';'.
char32_t referencedCharacter(const char *&p)
{
    ++p;
    if (*p == '#') {
        ++p;
        const int base = *p == 'x' ? 16 : 10;
        if (base == 16)
            ++p;
        char32_t code = 0;
        for (; *p != ';'; ++p) {
            const char c = *p;
            const int value = c >= '0' && c <= '9'   ? c - '0'
                              : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                     : c - 'A' + 10;
            code = code * base + char32_t(value);
        }
        ++p;
        return code;
    }
    const char *name = p;
    while (*p != ';')
        ++p;
    const QByteArrayView entity(name, p - name);
    ++p;
    if (entity == "amp")
        return u'&';
    if (entity == "lt")
        return u'<';
    if (entity == "gt")
        return u'>';
    if (entity == "apos")
        return u'\'';
    return u'"';
}

// Character data as the reader accepted it: references resolved, line ends
// read as LF.
void appendCharacters(QString &out, const char *from, const char *to)
{
    const char *run = from;
    auto flush = [&](const char *at) {
        if (at > run)
            out += QString::fromUtf8(run, at - run);
    };
    for (const char *p = from; p < to;) {
        if (*p == '&') {
            flush(p);
            const char32_t code = referencedCharacter(p);
            out += QChar::fromUcs4(code);
            run = p;
        } else if (*p == '\r') {
            flush(p);
            out += u'\n';
            ++p;
            if (p < to && *p == '\n')
                ++p;
            run = p;
        } else {
            ++p;
        }
    }
    flush(to);
}

void appendCdata(QString &out, const char *from, const char *to)
{
    QString data = QString::fromUtf8(from, to - from);
    data.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n")).replace(u'\r', u'\n');
    out += data;
}

// The element's own text from content the reader accepted: child elements,
// comments and processing instructions are stepped over.
QString decodeContent(QByteArrayView content)
{
    QString out;
    const char *p = content.data();
    const char *const end = p + content.size();
    int depth = 0;
    while (p < end) {
        if (*p != '<') {
            const void *lt = std::memchr(p, '<', size_t(end - p));
            const char *runEnd = lt ? static_cast<const char *>(lt) : end;
            if (depth == 0)
                appendCharacters(out, p, runEnd);
            p = runEnd;
            continue;
        }
        const QByteArrayView rest(p, end - p);
        if (rest.startsWith("<!--")) {
            p = find(p + 4, end, "-->") + 3;
        } else if (rest.startsWith("<![CDATA[")) {
            const char *close = find(p + 9, end, "]]>");
            if (depth == 0)
                appendCdata(out, p + 9, close);
            p = close + 3;
        } else if (rest.startsWith("<?")) {
            p = find(p + 2, end, "?>") + 2;
        } else if (rest.startsWith("</")) {
            --depth;
            p = static_cast<const char *>(std::memchr(p, '>', size_t(end - p))) + 1;
        } else {
            // A start tag; '>' may stand in a quoted attribute value.
            char quote = 0;
            const char *q = p + 1;
            for (; q < end; ++q) {
                if (quote) {
                    if (*q == quote)
                        quote = 0;
                } else if (*q == '"' || *q == '\'') {
                    quote = *q;
                } else if (*q == '>') {
                    break;
                }
            }
            if (q[-1] != '/')
                ++depth;
            p = q + 1;
        }
    }
    return out;
}

} // namespace

QString XmlElement::text() const
{
    return plain ? QString::fromUtf8(content()) : decodeContent(content());
}

bool XmlElement::textEquals(QByteArrayView utf8) const
{
    return plain ? content() == utf8 : text() == QString::fromUtf8(utf8);
}

const XmlElement *XmlElement::child(QAnyStringView childName) const
{
    return childName.visit([this](auto wanted) -> const XmlElement * {
        using View = decltype(wanted);
        if constexpr (std::is_same_v<View, QStringView>) {
            if (isAscii(wanted)) {
                for (const XmlElement &c : children) {
                    if (equalsAscii(c.name(), wanted))
                        return &c;
                }
                return nullptr;
            }
        } else {
            const QByteArrayView bytes(wanted.data(), wanted.size());
            // UTF-8, or Latin-1 that is ASCII: the same bytes.
            if (std::is_same_v<View, QUtf8StringView> || isAscii(bytes)) {
                for (const XmlElement &c : children) {
                    if (c.name() == bytes)
                        return &c;
                }
                return nullptr;
            }
        }
        for (const XmlElement &c : children) {
            if (QAnyStringView::equal(QUtf8StringView(c.name().data(), c.name().size()), wanted))
                return &c;
        }
        return nullptr;
    });
}

namespace {

// The encoding named by the XML declaration, lower case; empty when the file
// starts with a byte-order mark or has no declaration with an encoding.
QByteArray declaredEncoding(QByteArrayView bytes)
{
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression re(QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(bytes.first(end)));
    return m.hasMatch() ? m.captured(1).toLatin1().toLower() : QByteArray();
}

// A byte-order mark or the first bytes decide UTF-8 or UTF-16; otherwise
// the declaration names the encoding, and none means UTF-8.
enum class Form { Utf8, Utf16LE, Utf16BE, Declared };

Form formOf(const QByteArray &bytes, qsizetype *bodyStart)
{
    *bodyStart = 0;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        *bodyStart = 3;
        return Form::Utf8;
    }
    if (bytes.startsWith("\xFF\xFE")) {
        *bodyStart = 2;
        return Form::Utf16LE;
    }
    if (bytes.startsWith("\xFE\xFF")) {
        *bodyStart = 2;
        return Form::Utf16BE;
    }
    if (bytes.startsWith(QByteArrayView("<\0", 2)))
        return Form::Utf16LE;
    if (bytes.startsWith(QByteArrayView("\0<", 2)))
        return Form::Utf16BE;
    const QByteArray enc = declaredEncoding(bytes);
    return enc.isEmpty() || enc == "utf-8" || enc == "utf8" ? Form::Utf8 : Form::Declared;
}

// The document as text where it is not UTF-8: Windows-1252 and ISO-8859-15
// through our own tables (a Qt without ICU lacks them), any other encoding
// through Qt's decoder, as its own XML reader would.
std::optional<QString> decodeOther(Form form, QByteArrayView body, QString *error)
{
    QStringDecoder decoder;
    if (form == Form::Utf16LE) {
        decoder = QStringDecoder(QStringDecoder::Utf16LE);
    } else if (form == Form::Utf16BE) {
        decoder = QStringDecoder(QStringDecoder::Utf16BE);
    } else {
        const QByteArray bytes = body.toByteArray();
        const QByteArray enc = declaredEncoding(bytes);
        if (enc == "windows-1252" || enc == "cp1252" || enc == "x-cp1252")
            return textcodec::fromWindows1252(bytes);
        if (enc == "iso-8859-15" || enc == "iso8859-15" || enc == "latin-9" || enc == "latin9")
            return textcodec::fromIso885915(bytes);
        decoder = QStringDecoder(enc.constData());
        if (!decoder.isValid()) {
            *error = QStringLiteral("Encoding %1 is unsupported").arg(QString::fromLatin1(enc));
            return std::nullopt;
        }
    }
    QString text = decoder.decode(body);
    if (decoder.hasError()) {
        *error = QStringLiteral("Encountered incorrectly encoded content.");
        return std::nullopt;
    }
    return text;
}

constexpr bool isNameStart(char32_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u':' ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7 && c != 0xFFFE && c != 0xFFFF);
}

constexpr bool isNameChar(char32_t c)
{
    return isNameStart(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'.' || c == 0xB7;
}

constexpr std::array<bool, 128> kAsciiNameChar = [] {
    std::array<bool, 128> table{};
    for (char32_t c = 0; c < 128; ++c)
        table[c] = isNameChar(c);
    return table;
}();

// Bytes of character data the reader must look at: markup, references,
// carriage returns, the start of "]]>", control characters, and the lead
// byte of U+FFFE and U+FFFF.
constexpr std::array<bool, 256> kSpecialInText = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 0x20; ++c)
        table[c] = !isSpace(char32_t(c)) || c == '\r';
    table['<'] = table['&'] = table[']'] = table[0xEF] = true;
    return table;
}();

// A reader of the part of XML our files use, straight into the tree: the
// declaration, elements with attributes, character data with the predefined
// and numeric references, CDATA, comments and processing instructions. A
// document type is refused, as is anything that is not well-formed. It
// reads validated UTF-8 in one pass without token objects or copies: the
// tree keeps views of names and contents, and text is decoded only where a
// value is read.
class Parser
{
    using View = QByteArrayView;

public:
    Parser(const char *begin, qsizetype size) : m_pos(begin), m_end(begin + size), m_lineScan(begin) {}

    XmlParseResult run()
    {
        XmlParseResult result;
        XmlElement root;
        if (!document(root)) {
            result.error = m_error;
            place(m_errorPos);
            result.line = m_line;
            result.column = m_column + 1;
            return result;
        }
        result.root = std::move(root);
        return result;
    }

private:
    static char32_t unit(char c) { return uchar(c); }

    // The character at p and how many bytes it takes (UTF-8 was validated).
    static char32_t codeAt(const char *p, int *units)
    {
        const char32_t c = unit(*p);
        if (c < 0x80) {
            *units = 1;
            return c;
        }
        const int n = c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        char32_t code = c & (0x7F >> n);
        for (int i = 1; i < n; ++i)
            code = code << 6 | (unit(p[i]) & 0x3F);
        *units = n;
        return code;
    }

    // Characters XML 1.0 forbids anywhere in a document.
    bool forbiddenAt(const char *p) const
    {
        const char32_t c = unit(*p);
        if (c < 0x20)
            return !isSpace(c);
        // U+FFFE and U+FFFF
        return c == 0xEF && p + 2 < m_end && unit(p[1]) == 0xBF && (unit(p[2]) & 0xFE) == 0xBE;
    }

    bool fail(const QString &message, const char *at)
    {
        m_error = message;
        m_errorPos = at;
        return false;
    }
    bool fail(const QString &message) { return fail(message, m_pos); }
    bool premature() { return fail(QStringLiteral("Premature end of document."), m_end); }

    // Line and column (in characters) of a place, counted once up to the
    // furthest place asked for: places are asked for in document order.
    void place(const char *at)
    {
        while (m_lineScan < at) {
            const void *nl = std::memchr(m_lineScan, '\n', size_t(at - m_lineScan));
            if (!nl)
                break;
            ++m_line;
            m_column = 0;
            m_lineScan = static_cast<const char *>(nl) + 1;
        }
        for (; m_lineScan < at; ++m_lineScan) {
            if ((unit(*m_lineScan) & 0xC0) != 0x80)
                ++m_column;
        }
    }

    bool startsWith(const char *ascii) const
    {
        const char *p = m_pos;
        for (; *ascii; ++ascii, ++p) {
            if (p == m_end || *p != *ascii)
                return false;
        }
        return true;
    }

    void skipSpace()
    {
        while (m_pos < m_end && isSpace(unit(*m_pos)))
            ++m_pos;
    }

    bool name(View *out)
    {
        const char *start = m_pos;
        if (m_pos == m_end)
            return premature();
        int units = 1;
        if (!isNameStart(codeAt(m_pos, &units)))
            return fail(QStringLiteral("Expected a name."));
        m_pos += units;
        while (m_pos < m_end) {
            // ASCII, nearly every name, by table.
            const char32_t c = unit(*m_pos);
            if (c < 0x80) {
                if (!kAsciiNameChar[c])
                    break;
                ++m_pos;
            } else if (isNameChar(codeAt(m_pos, &units))) {
                m_pos += units;
            } else {
                break;
            }
        }
        *out = View(start, m_pos - start);
        return true;
    }

    // Checks the reference at m_pos ('&'); its character is read when the
    // text is.
    bool reference()
    {
        const char *start = m_pos++;
        if (m_pos < m_end && *m_pos == '#') {
            ++m_pos;
            int base = 10;
            if (m_pos < m_end && *m_pos == 'x') {
                base = 16;
                ++m_pos;
            }
            char32_t code = 0;
            const char *digits = m_pos;
            for (; m_pos < m_end && *m_pos != ';'; ++m_pos) {
                const char32_t c = unit(*m_pos);
                int value = -1;
                if (c >= u'0' && c <= u'9')
                    value = int(c - u'0');
                else if (base == 16 && c >= u'a' && c <= u'f')
                    value = int(c - u'a' + 10);
                else if (base == 16 && c >= u'A' && c <= u'F')
                    value = int(c - u'A' + 10);
                if (value < 0)
                    return fail(QStringLiteral("Invalid character reference."), start);
                code = code * base + value;
                if (code > 0x10FFFF)
                    return fail(QStringLiteral("Invalid character reference."), start);
            }
            if (m_pos == m_end)
                return premature();
            if (m_pos == digits || code == 0 || (code < 0x20 && !isSpace(code)) ||
                (code >= 0xD800 && code <= 0xDFFF) || code == 0xFFFE || code == 0xFFFF)
                return fail(QStringLiteral("Invalid character reference."), start);
            ++m_pos;
            return true;
        }
        View entity;
        if (!name(&entity))
            return false;
        if (m_pos == m_end)
            return premature();
        if (*m_pos != ';')
            return fail(QStringLiteral("Expected ';' after an entity name."));
        ++m_pos;
        for (const char *known : {"amp", "lt", "gt", "apos", "quot"}) {
            if (entity == known)
                return true;
        }
        return fail(QStringLiteral("Entity '%1' not declared.").arg(quoted(QString::fromUtf8(entity))),
                    start);
    }

    bool attributes(const char **tagEnd, bool *empty)
    {
        QVarLengthArray<View, 4> seen;
        for (;;) {
            const char *before = m_pos;
            skipSpace();
            if (m_pos == m_end)
                return premature();
            if (*m_pos == '>' || *m_pos == '/') {
                *empty = *m_pos == '/';
                if (*empty && (++m_pos == m_end || *m_pos != '>'))
                    return m_pos == m_end ? premature() : fail(QStringLiteral("Expected '>'."));
                *tagEnd = ++m_pos;
                return true;
            }
            if (m_pos == before)
                return fail(QStringLiteral("Expected whitespace before an attribute."));
            View attribute;
            if (!name(&attribute))
                return false;
            if (seen.contains(attribute))
                return fail(
                    QStringLiteral("Attribute '%1' redefined.").arg(quoted(QString::fromUtf8(attribute))));
            seen.append(attribute);
            skipSpace();
            if (m_pos == m_end)
                return premature();
            if (*m_pos != '=')
                return fail(QStringLiteral("Expected '=' after an attribute name."));
            ++m_pos;
            skipSpace();
            if (m_pos == m_end)
                return premature();
            const char quote = *m_pos;
            if (quote != '"' && quote != '\'')
                return fail(QStringLiteral("Expected a quoted attribute value."));
            // The value is checked, not kept: no file of ours has attributes.
            for (++m_pos;;) {
                if (m_pos == m_end)
                    return premature();
                if (*m_pos == quote)
                    break;
                if (*m_pos == '<' || forbiddenAt(m_pos))
                    return fail(QStringLiteral("Invalid character in an attribute value."));
                if (*m_pos == '&') {
                    if (!reference())
                        return false;
                } else {
                    ++m_pos;
                }
            }
            ++m_pos;
        }
    }

    bool comment()
    {
        m_pos += 4; // "<!--"
        for (; m_pos + 1 < m_end; ++m_pos) {
            if (m_pos[0] == '-' && m_pos[1] == '-') {
                if (m_pos + 2 < m_end && m_pos[2] == '>') {
                    m_pos += 3;
                    return true;
                }
                return fail(QStringLiteral("'--' is not allowed in a comment."));
            }
            if (forbiddenAt(m_pos))
                return fail(QStringLiteral("Invalid XML character."));
        }
        return premature();
    }

    bool processingInstruction(bool atStart)
    {
        const char *start = m_pos;
        m_pos += 2; // "<?"
        View target;
        if (!name(&target))
            return false;
        const bool declaration = target.size() == 3 && (unit(target[0]) | 0x20) == u'x' &&
                                 (unit(target[1]) | 0x20) == u'm' && (unit(target[2]) | 0x20) == u'l';
        if (declaration && !atStart)
            return fail(QStringLiteral("XML declaration not at start of document."), start);
        for (; m_pos + 1 < m_end; ++m_pos) {
            if (m_pos[0] == '?' && m_pos[1] == '>') {
                m_pos += 2;
                return true;
            }
            if (forbiddenAt(m_pos))
                return fail(QStringLiteral("Invalid XML character."));
        }
        return premature();
    }

    // Comments, processing instructions and blanks before or after the root.
    bool misc(bool prolog)
    {
        for (;;) {
            skipSpace();
            if (m_pos == m_end || *m_pos != '<')
                return true;
            if (startsWith("<!--")) {
                if (!comment())
                    return false;
            } else if (startsWith("<?")) {
                if (!processingInstruction(false))
                    return false;
            } else if (prolog && startsWith("<!DOCTYPE")) {
                // Our files never hold one; refusing it also refuses every
                // entity it could declare (and their expansion).
                return fail(QStringLiteral(
                    "the document has a document type declaration, which this file never holds"));
            } else {
                return true;
            }
        }
    }

    bool document(XmlElement &root)
    {
        if (startsWith("<?xml") && m_end - m_pos > 5 && isSpace(unit(m_pos[5]))) {
            if (!processingInstruction(true))
                return false;
        }
        if (!misc(true))
            return false;
        if (m_pos == m_end)
            return fail(QStringLiteral("the document has no root element"));
        int units = 1;
        if (*m_pos != '<' || m_pos + 1 == m_end || !isNameStart(codeAt(m_pos + 1, &units)))
            return fail(QStringLiteral("Start tag expected."));
        if (!elementTree(root))
            return false;
        if (!misc(false))
            return false;
        if (m_pos != m_end)
            return fail(QStringLiteral("Extra content at end of document."));
        return true;
    }

    struct Open
    {
        XmlElement *element;
        const char *contentStart;
        bool plain;
    };

    // Reads the root element and everything in it without recursion. The
    // children of the open element at depth d gather in m_levels[d + 1] and
    // move into a list of their exact size when it closes: the buffers are
    // reused, so a large tree costs one allocation per list, not a growing
    // list per parent. Only the innermost level grows, so the pointers to the
    // open elements stay valid.
    bool elementTree(XmlElement &root)
    {
        QVarLengthArray<Open, xmltree::kMaxDepth> open;
        m_levels.resize(xmltree::kMaxDepth + 1);
        for (;;) {
            // m_pos is at the '<' of a start tag.
            const char *tagStart = m_pos;
            ++m_pos;
            View tagName;
            if (!name(&tagName))
                return false;
            const char *tagEnd = nullptr;
            bool empty = false;
            if (!attributes(&tagEnd, &empty))
                return false;
            if (open.size() >= xmltree::kMaxDepth)
                return fail(
                    QStringLiteral("elements are nested deeper than %1 levels").arg(xmltree::kMaxDepth),
                    tagStart);
            if (++m_elementCount > xmltree::kMaxElements)
                return fail(
                    QStringLiteral("the document holds more than %1 elements").arg(xmltree::kMaxElements),
                    tagStart);
            if (!open.isEmpty())
                open.last().plain = false;
            XmlElement *element = &m_levels[open.size()].emplace_back();
            element->setName(tagName);
            place(tagEnd);
            element->line = qint32(m_line);
            element->column = qint32(m_column);
            if (!empty)
                open.append({element, tagEnd, true});

            // Content up to the next start tag, or end tags until the root closes.
            for (;;) {
                if (open.isEmpty()) {
                    root = std::move(m_levels[0].front());
                    return true;
                }
                if (!characters(open.last().plain))
                    return false;
                if (m_pos == m_end)
                    return premature();
                if (startsWith("</")) {
                    const char *endStart = m_pos;
                    m_pos += 2;
                    View endName;
                    if (!name(&endName))
                        return false;
                    skipSpace();
                    if (m_pos == m_end)
                        return premature();
                    if (*m_pos != '>')
                        return fail(QStringLiteral("Expected '>'."));
                    const Open &closing = open.last();
                    if (endName != closing.element->name())
                        return fail(QStringLiteral("Opening and ending tag mismatch."), endStart);
                    ++m_pos;
                    closing.element->setContent(View(closing.contentStart, endStart - closing.contentStart));
                    closing.element->plain = closing.plain;
                    std::vector<XmlElement> &children = m_levels[open.size()];
                    if (!children.empty()) {
                        QList<XmlElement> &list = closing.element->children;
                        list.reserve(qsizetype(children.size()));
                        for (XmlElement &child : children)
                            list.append(std::move(child));
                        children.clear();
                    }
                    open.removeLast();
                } else if (startsWith("<!--")) {
                    open.last().plain = false;
                    if (!comment())
                        return false;
                } else if (startsWith("<![CDATA[")) {
                    open.last().plain = false;
                    if (!cdata())
                        return false;
                } else if (startsWith("<?")) {
                    open.last().plain = false;
                    if (!processingInstruction(false))
                        return false;
                } else {
                    break; // a start tag
                }
            }
        }
    }

    // Checks character data up to the next '<'; a reference or a carriage
    // return makes the content other than the text as it stands.
    bool characters(bool &plain)
    {
        for (;;) {
            while (m_pos < m_end && !kSpecialInText[uchar(*m_pos)])
                ++m_pos;
            if (m_pos == m_end)
                return true;
            const char c = *m_pos;
            if (c == '<')
                return true;
            if (c == '&') {
                plain = false;
                if (!reference())
                    return false;
                continue;
            }
            if (c == '\r') {
                plain = false;
            } else if (c == ']') {
                if (m_end - m_pos >= 3 && m_pos[1] == ']' && m_pos[2] == '>')
                    return fail(QStringLiteral("Sequence ']]>' not allowed in content."));
            } else if (forbiddenAt(m_pos)) {
                return fail(QStringLiteral("Invalid XML character."));
            }
            ++m_pos;
        }
    }

    bool cdata()
    {
        m_pos += 9; // "<![CDATA["
        for (; m_pos + 2 < m_end; ++m_pos) {
            if (m_pos[0] == ']' && m_pos[1] == ']' && m_pos[2] == '>') {
                m_pos += 3;
                return true;
            }
            if (forbiddenAt(m_pos))
                return fail(QStringLiteral("Invalid XML character."));
        }
        return premature();
    }

    const char *m_pos;
    const char *m_end;
    const char *m_lineScan;
    qint64 m_line = 1;
    qint64 m_column = 0;
    QString m_error;
    const char *m_errorPos = nullptr;
    std::vector<std::vector<XmlElement>> m_levels;
    qsizetype m_elementCount = 0;
};

} // namespace

XmlParseResult xmltree::parse(const QByteArray &bytes)
{
    XmlParseResult failed;
    failed.line = 1;
    failed.column = 1;
    qsizetype bodyStart = 0;
    const Form form = formOf(bytes, &bodyStart);
    QByteArray source;
    if (form == Form::Utf8) {
        if (!QByteArrayView(bytes).sliced(bodyStart).isValidUtf8()) {
            failed.error = QStringLiteral("Encountered incorrectly encoded content.");
            return failed;
        }
        source = bytes;
    } else {
        const std::optional<QString> text =
            decodeOther(form, QByteArrayView(bytes).sliced(bodyStart), &failed.error);
        if (!text)
            return failed;
        source = text->toUtf8();
        bodyStart = 0;
    }
    XmlParseResult result = Parser(source.constData() + bodyStart, source.size() - bodyStart).run();
    if (result.root)
        result.source = std::move(source);
    return result;
}

XmlParseResult xmltree::parseFile(const QString &path)
{
    const fileaccess::ReadResult read = fileaccess::readRegularFile(path, fileaccess::kMaxTextFileBytes);
    if (!read.ok()) {
        XmlParseResult result;
        result.error = read.reason();
        return result;
    }
    return parse(read.bytes);
}

} // namespace config
