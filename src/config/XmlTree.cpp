#include "XmlTree.h"

#include "FileAccess.h"
#include "TextCodec.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

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
    if (bytes.startsWith("\xEF\xBB\xBF") || bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return {};
    if (!bytes.startsWith("<?xml"))
        return {};
    const qsizetype end = bytes.indexOf("?>");
    if (end < 0)
        return {};
    static const QRegularExpression re(QStringLiteral("encoding\\s*=\\s*[\"']([A-Za-z0-9._:-]+)[\"']"));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(bytes.left(end)));
    return m.hasMatch() ? m.captured(1).toLatin1().toLower() : QByteArray();
}

// Text for the stream reader: the bytes themselves where Qt decodes them
// everywhere, our own decoding for the 8-bit code pages a Qt without ICU lacks.
std::optional<QString> decodeOwn(const QByteArray &bytes)
{
    const QByteArray enc = declaredEncoding(bytes);
    if (enc == "windows-1252" || enc == "cp1252" || enc == "x-cp1252")
        return textcodec::fromWindows1252(bytes);
    if (enc == "iso-8859-15" || enc == "iso8859-15" || enc == "latin-9" || enc == "latin9")
        return textcodec::fromIso885915(bytes);
    return std::nullopt;
}

} // namespace

XmlParseResult xmltree::parse(const QByteArray &bytes)
{
    XmlParseResult result;
    const std::optional<QString> own = decodeOwn(bytes);
    QXmlStreamReader reader;
    if (own)
        reader.addData(*own);
    else
        reader.addData(bytes);

    // Read without recursion: the open elements are a stack of pointers into
    // the tree. Only the innermost element gets children, so the pointers to
    // its ancestors stay valid.
    XmlElement root;
    bool haveRoot = false;
    QList<XmlElement *> open;
    QString refusal;
    while (refusal.isEmpty() && !reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::DTD:
            // Our files never hold one; refusing it also refuses every entity
            // it could declare (and their expansion).
            refusal = QStringLiteral("the document has a document type declaration, which this file never "
                                     "holds");
            break;
        case QXmlStreamReader::StartElement: {
            XmlElement *element = nullptr;
            if (!open.isEmpty()) {
                if (open.size() >= xmltree::kMaxDepth) {
                    refusal =
                        QStringLiteral("elements are nested deeper than %1 levels").arg(xmltree::kMaxDepth);
                    break;
                }
                element = &open.last()->children.emplace_back();
            } else if (!haveRoot) {
                element = &root;
                haveRoot = true;
            }
            if (element) {
                element->name = reader.name().toString();
                element->line = reader.lineNumber();
                element->column = reader.columnNumber();
                open.append(element);
            }
            break;
        }
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            if (!open.isEmpty())
                open.last()->text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            if (!open.isEmpty())
                open.removeLast();
            break;
        default:
            break;
        }
    }
    if (!refusal.isEmpty() || reader.hasError()) {
        result.error = refusal.isEmpty() ? reader.errorString() : refusal;
        result.line = reader.lineNumber();
        result.column = reader.columnNumber();
        return result;
    }
    if (!haveRoot) {
        result.error = QStringLiteral("the document has no root element");
        return result;
    }
    result.root = std::move(root);
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
