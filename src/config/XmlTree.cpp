#include "XmlTree.h"

#include "FileAccess.h"
#include "TextCodec.h"
#include "config/XmlText.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QVarLengthArray>
#include <array>
#include <vector>

namespace config {

const XmlElement *XmlElement::child(QAnyStringView childName) const
{
    for (const XmlElement &c : children) {
        if (QAnyStringView::equal(c.name, childName))
            return &c;
    }
    return nullptr;
}

namespace {

// The encoding named by the XML declaration, lower case; empty when the file
// starts with a byte-order mark or has no declaration with an encoding.
QByteArray declaredEncoding(const QByteArray &bytes)
{
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression re(QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(bytes.left(end)));
    return m.hasMatch() ? m.captured(1).toLatin1().toLower() : QByteArray();
}

// A byte-order mark or the first bytes decide UTF-8 or UTF-16; otherwise
// the declaration names the encoding, and none means UTF-8.
enum class Form { Utf8, Utf16LE, Utf16BE, Declared };

Form formOf(const QByteArray &bytes, QByteArrayView *body)
{
    *body = bytes;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        *body = body->sliced(3);
        return Form::Utf8;
    }
    if (bytes.startsWith("\xFF\xFE")) {
        *body = body->sliced(2);
        return Form::Utf16LE;
    }
    if (bytes.startsWith("\xFE\xFF")) {
        *body = body->sliced(2);
        return Form::Utf16BE;
    }
    if (bytes.startsWith(QByteArrayView("<\0", 2)))
        return Form::Utf16LE;
    if (bytes.startsWith(QByteArrayView("\0<", 2)))
        return Form::Utf16BE;
    const QByteArray enc = declaredEncoding(bytes);
    return enc.isEmpty() || enc == "utf-8" || enc == "utf8" ? Form::Utf8 : Form::Declared;
}

// The document as UTF-16 text where it is not UTF-8: Windows-1252 and
// ISO-8859-15 through our own tables (a Qt without ICU lacks them), any
// other encoding through Qt's decoder, as its own XML reader would.
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

bool isSpace(char32_t c)
{
    return c == u' ' || c == u'\n' || c == u'\t' || c == u'\r';
}

// A reader of the part of XML our files use, straight into the tree: the
// declaration, elements with attributes, character data with the predefined
// and numeric references, CDATA, comments and processing instructions. A
// document type is refused, as is anything that is not well-formed. It makes
// one pass over the text without token objects or per-character copies (the
// stream reader spent two thirds of a build in those); UTF-8, by far the
// most common form, is read as it stands, without a decoded copy.
template <typename Char> class Parser
{
    static constexpr bool kUtf8 = std::is_same_v<Char, char>;
    using View = std::conditional_t<kUtf8, QByteArrayView, QStringView>;

public:
    Parser(const Char *begin, qsizetype size)
        : m_begin(begin), m_pos(begin), m_end(begin + size), m_lineScan(begin)
    {
    }

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
    static char32_t unit(Char c) { return std::make_unsigned_t<Char>(c); }

    static const Char *dataOf(View view)
    {
        if constexpr (kUtf8)
            return view.data();
        else
            return view.utf16();
    }
    static QString viewText(View view) { return toText(dataOf(view), view.size()); }
    static char32_t unitOf(View view, qsizetype i) { return unit(dataOf(view)[i]); }

    static QString toText(const Char *from, qsizetype size)
    {
        if constexpr (kUtf8)
            return QString::fromUtf8(from, size);
        else
            return QString(reinterpret_cast<const QChar *>(from), size);
    }

    static void appendText(QString &text, const Char *from, qsizetype size)
    {
        if constexpr (kUtf8) {
            if (text.isEmpty())
                text = QString::fromUtf8(from, size);
            else
                text += QString::fromUtf8(from, size);
        } else {
            text.append(reinterpret_cast<const QChar *>(from), size);
        }
    }

    // The character at p and how many units it takes; UTF-8 was validated
    // before, UTF-16 may hold a lone surrogate, which stays one unit.
    char32_t codeAt(const Char *p, int *units) const
    {
        const char32_t c = unit(*p);
        if constexpr (kUtf8) {
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
        } else {
            *units = 1;
            if (QChar::isHighSurrogate(c) && p + 1 < m_end && QChar::isLowSurrogate(p[1])) {
                *units = 2;
                return QChar::surrogateToUcs4(c, p[1]);
            }
            return c;
        }
    }

    // Characters XML 1.0 forbids anywhere in a document.
    bool forbiddenAt(const Char *p) const
    {
        const char32_t c = unit(*p);
        if (c < 0x20)
            return !isSpace(c);
        if constexpr (kUtf8) // U+FFFE and U+FFFF
            return c == 0xEF && p + 2 < m_end && unit(p[1]) == 0xBF && (unit(p[2]) & 0xFE) == 0xBE;
        else
            return c >= 0xFFFE;
    }

    bool fail(const QString &message, const Char *at)
    {
        m_error = message;
        m_errorPos = at;
        return false;
    }
    bool fail(const QString &message) { return fail(message, m_pos); }
    bool premature() { return fail(QStringLiteral("Premature end of document."), m_end); }

    // Line and column (in characters) of a place, counted once up to the
    // furthest place asked for: places are asked for in document order.
    void place(const Char *at)
    {
        for (; m_lineScan < at; ++m_lineScan) {
            const char32_t c = unit(*m_lineScan);
            if (c == u'\n') {
                ++m_line;
                m_column = 0;
            } else if (!kUtf8 || (c & 0xC0) != 0x80) {
                ++m_column;
            }
        }
    }

    bool startsWith(const char *ascii) const
    {
        const Char *p = m_pos;
        for (; *ascii; ++ascii, ++p) {
            if (p == m_end || unit(*p) != char32_t(uchar(*ascii)))
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
        const Char *start = m_pos;
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

    // Element names repeat a few dozen times over: one shared string each.
    QString internName(View name)
    {
        const auto found = m_names.constFind(name);
        if (found != m_names.constEnd())
            return found.value();
        const QString stored = viewText(name);
        m_names.insert(name, stored);
        return stored;
    }

    // Appends the character a reference at m_pos ('&') stands for.
    bool reference(QString &out)
    {
        const Char *start = m_pos++;
        if (m_pos < m_end && *m_pos == '#') {
            ++m_pos;
            int base = 10;
            if (m_pos < m_end && *m_pos == 'x') {
                base = 16;
                ++m_pos;
            }
            char32_t code = 0;
            const Char *digits = m_pos;
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
            out += QChar::fromUcs4(code);
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
        static constexpr std::array<std::pair<const char *, char16_t>, 5> kPredefined = {{
            {"amp", u'&'},
            {"lt", u'<'},
            {"gt", u'>'},
            {"apos", u'\''},
            {"quot", u'"'},
        }};
        for (const auto &[known, character] : kPredefined) {
            if (equalsAscii(entity, known)) {
                out += QChar(character);
                return true;
            }
        }
        return fail(QStringLiteral("Entity '%1' not declared.").arg(quoted(viewText(entity))), start);
    }

    static bool equalsAscii(View view, const char *ascii)
    {
        qsizetype i = 0;
        for (; ascii[i]; ++i) {
            if (i == view.size() || unitOf(view, i) != char32_t(uchar(ascii[i])))
                return false;
        }
        return i == view.size();
    }

    bool attributes(const Char **tagEnd, bool *empty)
    {
        QVarLengthArray<View, 4> seen;
        for (;;) {
            const Char *before = m_pos;
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
                return fail(QStringLiteral("Attribute '%1' redefined.").arg(quoted(viewText(attribute))));
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
            const Char quote = *m_pos;
            if (quote != '"' && quote != '\'')
                return fail(QStringLiteral("Expected a quoted attribute value."));
            // The value is checked, not kept: no file of ours has attributes.
            QString ignored;
            for (++m_pos;;) {
                if (m_pos == m_end)
                    return premature();
                if (*m_pos == quote)
                    break;
                if (*m_pos == '<' || forbiddenAt(m_pos))
                    return fail(QStringLiteral("Invalid character in an attribute value."));
                if (*m_pos == '&') {
                    if (!reference(ignored))
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
        const Char *start = m_pos;
        m_pos += 2; // "<?"
        View target;
        if (!name(&target))
            return false;
        const bool declaration = target.size() == 3 && (unitOf(target, 0) | 0x20) == u'x' &&
                                 (unitOf(target, 1) | 0x20) == u'm' && (unitOf(target, 2) | 0x20) == u'l';
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

    // Reads the root element and everything in it without recursion. The
    // children of the open element at depth d gather in m_levels[d + 1] and
    // move into a list of their exact size when it closes: the buffers are
    // reused, so a large tree costs one allocation per list, not a growing
    // list per parent. Only the innermost level grows, so the pointers to the
    // open elements stay valid.
    bool elementTree(XmlElement &root)
    {
        QVarLengthArray<std::pair<XmlElement *, View>, xmltree::kMaxDepth> open;
        m_levels.resize(xmltree::kMaxDepth + 1);
        for (;;) {
            // m_pos is at the '<' of a start tag.
            const Char *tagStart = m_pos;
            ++m_pos;
            View tagName;
            if (!name(&tagName))
                return false;
            const Char *tagEnd = nullptr;
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
            XmlElement *element = &m_levels[open.size()].emplace_back();
            element->name = internName(tagName);
            place(tagEnd);
            element->line = m_line;
            element->column = m_column;
            if (!empty)
                open.append({element, tagName});

            // Content up to the next start tag, or end tags until the root closes.
            for (;;) {
                if (open.isEmpty()) {
                    root = std::move(m_levels[0].front());
                    return true;
                }
                if (!characters(open.last().first->text))
                    return false;
                if (m_pos == m_end)
                    return premature();
                if (startsWith("</")) {
                    const Char *endStart = m_pos;
                    m_pos += 2;
                    View endName;
                    if (!name(&endName))
                        return false;
                    skipSpace();
                    if (m_pos == m_end)
                        return premature();
                    if (*m_pos != '>')
                        return fail(QStringLiteral("Expected '>'."));
                    if (endName != open.last().second)
                        return fail(QStringLiteral("Opening and ending tag mismatch."), endStart);
                    ++m_pos;
                    std::vector<XmlElement> &children = m_levels[open.size()];
                    if (!children.empty()) {
                        QList<XmlElement> &list = open.last().first->children;
                        list.reserve(qsizetype(children.size()));
                        for (XmlElement &child : children)
                            list.append(std::move(child));
                        children.clear();
                    }
                    open.removeLast();
                } else if (startsWith("<!--")) {
                    if (!comment())
                        return false;
                } else if (startsWith("<![CDATA[")) {
                    if (!cdata(open.last().first->text))
                        return false;
                } else if (startsWith("<?")) {
                    if (!processingInstruction(false))
                        return false;
                } else {
                    break; // a start tag
                }
            }
        }
    }

    // Character data up to the next '<', appended to text. Runs without
    // references or carriage returns are appended whole.
    bool characters(QString &text)
    {
        const Char *run = m_pos;
        auto flush = [&] {
            if (m_pos > run)
                appendText(text, run, m_pos - run);
        };
        while (m_pos < m_end) {
            const Char c = *m_pos;
            if (c == '<')
                break;
            if (c == '&' || c == '\r') {
                flush();
                if (c == '&') {
                    if (!reference(text))
                        return false;
                } else {
                    // Line ends are read as LF, whatever the file used.
                    text += u'\n';
                    ++m_pos;
                    if (m_pos < m_end && *m_pos == '\n')
                        ++m_pos;
                }
                run = m_pos;
                continue;
            }
            if (c == ']' && m_end - m_pos >= 3 && m_pos[1] == ']' && m_pos[2] == '>')
                return fail(QStringLiteral("Sequence ']]>' not allowed in content."));
            if (forbiddenAt(m_pos))
                return fail(QStringLiteral("Invalid XML character."));
            ++m_pos;
        }
        flush();
        return true;
    }

    bool cdata(QString &text)
    {
        m_pos += 9; // "<![CDATA["
        for (const Char *start = m_pos; m_pos + 2 < m_end; ++m_pos) {
            if (m_pos[0] == ']' && m_pos[1] == ']' && m_pos[2] == '>') {
                QString data = toText(start, m_pos - start);
                data.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n")).replace(u'\r', u'\n');
                text += data;
                m_pos += 3;
                return true;
            }
            if (forbiddenAt(m_pos))
                return fail(QStringLiteral("Invalid XML character."));
        }
        return premature();
    }

    const Char *m_begin;
    const Char *m_pos;
    const Char *m_end;
    const Char *m_lineScan;
    qint64 m_line = 1;
    qint64 m_column = 0;
    QString m_error;
    const Char *m_errorPos = nullptr;
    QHash<View, QString> m_names;
    std::vector<std::vector<XmlElement>> m_levels;
    qsizetype m_elementCount = 0;
};

} // namespace

XmlParseResult xmltree::parse(const QByteArray &bytes)
{
    XmlParseResult result;
    result.line = 1;
    result.column = 1;
    QByteArrayView body;
    const Form form = formOf(bytes, &body);
    if (form == Form::Utf8) {
        if (!body.isValidUtf8()) {
            result.error = QStringLiteral("Encountered incorrectly encoded content.");
            return result;
        }
        return Parser<char>(body.data(), body.size()).run();
    }
    const std::optional<QString> text = decodeOther(form, body, &result.error);
    if (!text)
        return result;
    return Parser<char16_t>(reinterpret_cast<const char16_t *>(text->utf16()), text->size()).run();
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
