#include "ConfigurationFile.h"

#include "config/ConfigurationSchema.h"
#include "config/FileAccess.h"
#include "config/XmlText.h"
#include "config/XmlTree.h"

#include <QDir>
#include <QHash>
#include <QXmlStreamWriter>

namespace config {

namespace {

using Kind = SchemaNode::Kind;

const QString kOn = QStringLiteral("1");
const QString kOff = QStringLiteral("0");

// A carriage return goes as a character reference: written as itself, a
// reader would turn it into a line feed.
void writeTextElement(QXmlStreamWriter &w, const QString &name, const QString &text)
{
    w.writeStartElement(name);
    qsizetype start = 0;
    for (qsizetype cr = text.indexOf(u'\r'); cr >= 0; cr = text.indexOf(u'\r', start)) {
        w.writeCharacters(text.mid(start, cr - start));
        w.writeEntityReference(QStringLiteral("#13"));
        start = cr + 1;
    }
    w.writeCharacters(text.mid(start));
    w.writeEndElement();
}

// The path of the first text that an XML file cannot hold, or an empty text.
QString firstUnwritableText(const SchemaNode &node, const QString &parent)
{
    const QString path = parent.isEmpty() ? node.name : parent + QLatin1Char('/') + node.name;
    switch (node.kind) {
    case Kind::Group:
        for (const SchemaNode &child : node.children) {
            if (QString found = firstUnwritableText(child, path); !found.isEmpty())
                return found;
        }
        break;
    case Kind::Text:
        if (!holdsOnlyXmlCharacters(*std::get<QString *>(node.field)))
            return path;
        break;
    case Kind::Table: {
        const QList<TableRow> &rows = std::get<SmsTable *>(node.field)->rows();
        for (qsizetype r = 0; r < rows.size(); ++r) {
            for (const RowCell &cell : rowCells(node.layout)) {
                if (!holdsOnlyXmlCharacters(rows[r][cell.column]))
                    return QStringLiteral("%1, row %2, %3")
                        .arg(path)
                        .arg(r + 1)
                        .arg(QLatin1String(cell.name));
            }
        }
        break;
    }
    default:
        break;
    }
    return {};
}

void writeNode(QXmlStreamWriter &w, const SchemaNode &node)
{
    switch (node.kind) {
    case Kind::Group:
        w.writeStartElement(node.name);
        for (const SchemaNode &child : node.children)
            writeNode(w, child);
        w.writeEndElement();
        break;
    case Kind::Flag:
        w.writeTextElement(node.name, *std::get<bool *>(node.field) ? kOn : kOff);
        break;
    case Kind::Text:
        writeTextElement(w, node.name, *std::get<QString *>(node.field));
        break;
    case Kind::Operation:
        w.writeTextElement(node.name, QString::number(int(*std::get<Operation *>(node.field))));
        break;
    case Kind::AlwaysEmpty:
        w.writeEmptyElement(node.name);
        break;
    case Kind::Table: {
        const SmsTable &table = *std::get<SmsTable *>(node.field);
        w.writeStartElement(node.name);
        for (const TableRow &row : table.rows()) {
            if (SmsTable::isBlank(row))
                continue;
            w.writeStartElement(QStringLiteral("SMS"));
            for (const RowCell &cell : rowCells(node.layout))
                writeTextElement(w, QLatin1String(cell.name), row[cell.column]);
            w.writeEndElement();
        }
        w.writeEndElement();
        break;
    }
    case Kind::TimeSlots: {
        const DaySlots &day = *std::get<DaySlots *>(node.field);
        w.writeStartElement(node.name);
        for (bool on : day)
            w.writeTextElement(QStringLiteral("Time_Slot"), on ? kOn : kOff);
        w.writeEndElement();
        break;
    }
    }
}

class Loader
{
public:
    explicit Loader(const QString &fileName) : m_fileName(fileName) {}

    // Fills the fields bound to `node` from `element`; false with m_error set
    // at the first fault.
    bool load(const SchemaNode &node, const XmlElement &element, const QString &path)
    {
        switch (node.kind) {
        case Kind::Group:
            for (const SchemaNode &child : node.children) {
                if (child.kind == Kind::AlwaysEmpty)
                    continue;
                const QString childPath = path + QLatin1Char('/') + child.name;
                const XmlElement *e = element.child(child.name);
                if (!e) {
                    if (!child.optional)
                        return fail(QStringLiteral("the element %1 is missing").arg(childPath));
                    applyFallback(child);
                    m_filledIn << childPath;
                    continue;
                }
                if (child.kind != Kind::Group && child.kind != Kind::Table && child.kind != Kind::TimeSlots &&
                    e->hasChildren()) {
                    if (!child.optional)
                        return failAt(*e, QStringLiteral("the element %1 holds elements instead of a value")
                                              .arg(childPath));
                    applyFallback(child);
                    m_filledIn << childPath;
                    continue;
                }
                if (!load(child, *e, childPath))
                    return false;
            }
            return true;
        case Kind::Flag:
            *std::get<bool *>(node.field) = element.textEquals("1");
            return true;
        case Kind::Text:
            *std::get<QString *>(node.field) = element.text();
            return true;
        case Kind::Operation:
            *std::get<Operation *>(node.field) = element.textEquals("0")   ? Operation::Set
                                                 : element.textEquals("1") ? Operation::Reset
                                                                           : Operation::Impulse;
            return true;
        case Kind::AlwaysEmpty:
            return true;
        case Kind::Table:
            return loadTable(node, element, path);
        case Kind::TimeSlots:
            return loadSlots(node, element, path);
        }
        return true;
    }

    bool fail(const QString &what)
    {
        m_error = QStringLiteral("%1: %2.").arg(m_fileName, what);
        return false;
    }

    bool failAt(const XmlElement &e, const QString &what)
    {
        m_error =
            QStringLiteral("%1, line %2, column %3: %4.").arg(m_fileName).arg(e.line).arg(e.column).arg(what);
        return false;
    }

    QString error() const { return m_error; }
    QStringList filledIn() const { return m_filledIn; }

private:
    static void applyFallback(const SchemaNode &node)
    {
        if (node.kind == Kind::Flag)
            *std::get<bool *>(node.field) = false;
        else if (node.kind == Kind::Text)
            *std::get<QString *>(node.field) = node.fallbackFrom ? *node.fallbackFrom : node.fallback;
    }

    // A cell's text. Tables repeat their texts (one alarm message to many
    // numbers): a text met before is shared, not decoded and stored again.
    QString cellText(const XmlElement &e)
    {
        if (!e.plain)
            return e.text();
        const QByteArrayView bytes = e.content();
        if (bytes.size() > kSharedCellBytes)
            return e.text();
        const auto found = m_cellTexts.constFind(bytes);
        if (found != m_cellTexts.constEnd())
            return found.value();
        const QString text = e.text();
        m_cellTexts.insert(bytes, text);
        return text;
    }

    bool loadTable(const SchemaNode &node, const XmlElement &element, const QString &path)
    {
        SmsTable &table = *std::get<SmsTable *>(node.field);
        if (element.children.isEmpty())
            return true; // the single row keeps what it held
        QList<TableRow> rows;
        rows.reserve(element.children.size());
        for (const XmlElement &rowElement : element.children) {
            TableRow row;
            for (const RowCell &cell : rowCells(node.layout)) {
                const XmlElement *e = rowElement.child(QLatin1String(cell.name));
                if (!e)
                    continue;
                if (e->hasChildren())
                    return failAt(*e,
                                  QStringLiteral("the element %1/%2/%3 holds elements instead of a value")
                                      .arg(path, quoted(rowElement.nameText()), QLatin1String(cell.name)));
                row[cell.column] = cellText(*e);
            }
            rows.append(row);
        }
        table.setRows(std::move(rows));
        return true;
    }

    bool loadSlots(const SchemaNode &node, const XmlElement &element, const QString &path)
    {
        DaySlots &day = *std::get<DaySlots *>(node.field);
        if (element.children.size() > kSlotsPerDay)
            return failAt(
                element.children.at(kSlotsPerDay),
                QStringLiteral("the element %1 holds more than %2 time slots").arg(path).arg(kSlotsPerDay));
        for (qsizetype i = 0; i < element.children.size(); ++i) {
            const XmlElement &slot = element.children.at(i);
            if (slot.hasChildren())
                return failAt(slot, QStringLiteral("time slot %1 of %2 holds elements instead of a value")
                                        .arg(i + 1)
                                        .arg(path));
            day[i] = slot.textEquals("1");
        }
        return true;
    }

    // Longer texts are rarely repeated; they are not looked up.
    static constexpr qsizetype kSharedCellBytes = 256;

    QString m_fileName;
    QString m_error;
    QStringList m_filledIn;
    QHash<QByteArrayView, QString> m_cellTexts; // views into the parsed file
};

} // namespace

QByteArray serializeConfiguration(const Configuration &configuration)
{
    // The schema binds mutable fields; the writer only reads them.
    const SchemaNode schema = configurationSchema(const_cast<Configuration &>(configuration));
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(false);
    writeNode(writer, schema);
    return bytes;
}

WriteResult writeConfigurationFile(const Configuration &configuration, const QString &path)
{
    const SchemaNode schema = configurationSchema(const_cast<Configuration &>(configuration));
    if (const QString field = firstUnwritableText(schema, {}); !field.isEmpty()) {
        return {false, QStringLiteral("%1: %2 holds a control character that the file cannot store")
                           .arg(QDir::toNativeSeparators(path), field)};
    }
    const fileaccess::WriteResult written =
        fileaccess::writeFileAtomically(path, serializeConfiguration(configuration));
    if (!written.ok)
        return {false, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), written.error)};
    return {true, {}};
}

LoadResult loadConfigurationBytes(const QByteArray &bytes, const QString &fileName,
                                  Configuration &configuration)
{
    return loadConfigurationTree(xmltree::parse(bytes), fileName, configuration);
}

LoadResult loadConfigurationTree(const XmlParseResult &parsed, const QString &fileName,
                                 Configuration &configuration)
{
    if (!parsed.root) {
        return {LoadStatus::Failed,
                QStringLiteral("%1, line %2, column %3: %4")
                    .arg(fileName)
                    .arg(parsed.line)
                    .arg(parsed.column)
                    .arg(parsed.error),
                {}};
    }
    if (parsed.root->name() != "Configuration") {
        return {LoadStatus::Failed,
                QStringLiteral("%1: the root element is %2, not Configuration.")
                    .arg(fileName, quoted(parsed.root->nameText())),
                {}};
    }
    Configuration loaded = configuration;
    Loader loader(fileName);
    if (!loader.load(configurationSchema(loaded), *parsed.root, QStringLiteral("Configuration")))
        return {LoadStatus::Failed, loader.error(), {}};
    configuration = std::move(loaded);
    return {LoadStatus::Loaded, {}, loader.filledIn()};
}

LoadResult loadConfigurationFile(const QString &path, Configuration &configuration)
{
    const fileaccess::ReadResult read = fileaccess::readRegularFile(path, fileaccess::kMaxTextFileBytes);
    if (read.status == fileaccess::ReadStatus::Missing)
        return {LoadStatus::Missing, {}, {}};
    const QString shown = QDir::toNativeSeparators(path);
    if (!read.ok())
        return {LoadStatus::Failed, QStringLiteral("%1: %2").arg(shown, read.error), {}};
    return loadConfigurationBytes(read.bytes, shown, configuration);
}

LoadResult openConfigurationFile(const QString &path, Configuration &configuration)
{
    Configuration opened = configuration;
    opened.setNewDefaults();
    const LoadResult r = loadConfigurationFile(path, opened);
    if (r.status != LoadStatus::Failed)
        configuration = std::move(opened);
    return r;
}

} // namespace config
