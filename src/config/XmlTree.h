// A small read-only element tree of an XML file: element names, the text of
// leaves and the children in document order. Reads UTF-8, UTF-16 and every
// encoding a declaration names that Qt knows, plus windows-1252 and
// ISO-8859-15 through our own tables (a Qt without ICU lacks them).
#pragma once

#include <QAnyStringView>
#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <optional>

namespace config {

// An element of the tree. Its name and content are views into the
// document's UTF-8 buffer, which the XmlParseResult holding the tree owns:
// a value is decoded only where it is read.
struct XmlElement
{
    QList<XmlElement> children; // child elements in document order
    qint32 line = 0;            // where the start tag is, 1-based (a file is at most 64 MB)
    qint32 column = 0;
    // Whether content() is the text as it stands (no markup, reference or
    // carriage return).
    bool plain = true;

    // The name, UTF-8 as in the file.
    QByteArrayView name() const { return QByteArrayView(m_name, m_nameSize); }
    // What the file holds between the start and the end tag.
    QByteArrayView content() const { return QByteArrayView(m_name + m_contentOffset, m_contentSize); }
    void setName(QByteArrayView name)
    {
        m_name = name.data();
        m_nameSize = quint32(name.size());
    }
    // Content lies after the name, in the same buffer.
    void setContent(QByteArrayView content)
    {
        m_contentOffset = quint32(content.data() - m_name);
        m_contentSize = quint32(content.size());
    }

    // The element's own character data (all of it), with references and
    // CDATA sections resolved and line ends read as LF.
    QString text() const;
    // Whether text() would give exactly this text (UTF-8), without decoding it.
    bool textEquals(QByteArrayView utf8) const;
    QString nameText() const { return QString::fromUtf8(name()); }

    // The first child with this name, or nullptr. Names in Latin-1 (ASCII)
    // or UTF-8 are compared as bytes.
    const XmlElement *child(QAnyStringView childName) const;
    bool hasChildren() const { return !children.isEmpty(); }

private:
    // A large configuration holds some 50,000 elements: a view of the name
    // and the content's place beside it take 20 bytes, two views 32.
    const char *m_name = nullptr;
    quint32 m_nameSize = 0;
    quint32 m_contentOffset = 0;
    quint32 m_contentSize = 0;
};

struct XmlParseResult
{
    std::optional<XmlElement> root; // set when the document is well-formed
    QString error;                  // the parser's message, when not
    qint64 line = 0;
    qint64 column = 0;
    // The UTF-8 text the tree's views point into: the file's own bytes when
    // it is UTF-8, else the decoded document. The tree is valid while this
    // result (or a copy of it) lives.
    QByteArray source;
};

namespace xmltree {

// None of our formats nests deeper than a dozen levels; a deeper document is
// refused instead of being built into a tree that deep.
inline constexpr int kMaxDepth = 32;
// A configuration near the device's capacity holds about 50,000 elements; a
// document with far more is refused before its tree takes memory by the
// hundred megabytes.
inline constexpr qsizetype kMaxElements = 300'000;

// A document type declaration is refused: our files never hold one. The
// tree shares `bytes` (no copy) when they are UTF-8.
XmlParseResult parse(const QByteArray &bytes);
// Reads and parses a regular file of at most 64 MB; a file that cannot be
// read gives an error text with the reason ("does not exist", "is a folder",
// the system's text).
XmlParseResult parseFile(const QString &path);

} // namespace xmltree

} // namespace config
