#include "XmlTree.h"

#include "TextCodec.h"

#include <QFile>
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

bool readElement(QXmlStreamReader &reader, XmlElement &element)
{
    element.name = reader.name().toString();
    element.line = reader.lineNumber();
    element.column = reader.columnNumber();
    while (reader.readNext() != QXmlStreamReader::Invalid) {
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartElement: {
            XmlElement child;
            if (!readElement(reader, child))
                return false;
            element.children.append(std::move(child));
            break;
        }
        case QXmlStreamReader::Characters:
        case QXmlStreamReader::EntityReference:
            element.text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            return true;
        default:
            break;
        }
    }
    return false;
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

    XmlElement root;
    bool haveRoot = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.tokenType() == QXmlStreamReader::StartElement && !haveRoot) {
            if (!readElement(reader, root))
                break;
            haveRoot = true;
        }
    }
    if (reader.hasError()) {
        result.error = reader.errorString();
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        XmlParseResult result;
        result.error = file.errorString();
        return result;
    }
    return parse(file.readAll());
}
