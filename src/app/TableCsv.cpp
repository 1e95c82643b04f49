#include "TableCsv.h"

#include "config/XmlText.h"
#include "lang/LanguageTexts.h"

#include <QStringDecoder>

namespace app {
namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

QString quotedField(const QString &text)
{
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = text.startsWith(u' ') || text.endsWith(u' ');
    for (QChar c : text)
        if (special.contains(c)) {
            quote = true;
            break;
        }
    if (!quote)
        return text;
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

void appendRecord(QString &out, const QStringList &fields)
{
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i)
            out += u',';
        out += quotedField(fields[i]);
    }
    out += QStringLiteral("\r\n");
}

// Spreadsheet programs write UTF-8 (with or without a byte order mark),
// UTF-16 for "Unicode text", or the system's Windows code page.
QString decode(const QByteArray &bytes)
{
    if (bytes.startsWith(kBom))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                             QStringDecoder::Flag::Stateless);
        return utf16.decode(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder windows("windows-1252");
    if (windows.isValid())
        return windows.decode(bytes);
    return QString::fromLatin1(bytes);
}

// Splits CSV text into records; each record notes the line it starts on.
struct Record
{
    int line;
    QStringList fields;
};

class Reader
{
public:
    Reader(const QString &text, QChar separator) : m_text(text), m_sep(separator) {}

    bool atEnd() const { return m_pos >= m_text.size(); }
    bool unclosed() const { return m_unclosed; }
    int line() const { return m_line; }

    Record next()
    {
        Record record{m_line, {}};
        QString field;
        bool quoted = false;
        bool inQuotes = false;
        while (m_pos < m_text.size()) {
            const QChar c = m_text[m_pos++];
            if (inQuotes) {
                if (c == u'"') {
                    if (m_pos < m_text.size() && m_text[m_pos] == u'"') {
                        field += u'"';
                        ++m_pos;
                    } else {
                        inQuotes = false;
                    }
                } else {
                    if (c == u'\n' || (c == u'\r' && !(m_pos < m_text.size() && m_text[m_pos] == u'\n')))
                        ++m_line;
                    field += c;
                }
                continue;
            }
            if (c == u'"' && field.isEmpty() && !quoted) {
                quoted = inQuotes = true;
                continue;
            }
            if (c == m_sep) {
                record.fields << field;
                field.clear();
                quoted = false;
                continue;
            }
            if (c == u'\r' || c == u'\n') {
                if (c == u'\r' && m_pos < m_text.size() && m_text[m_pos] == u'\n')
                    ++m_pos;
                ++m_line;
                record.fields << field;
                return record;
            }
            field += c;
        }
        m_unclosed = inQuotes;
        record.fields << field;
        return record;
    }

private:
    const QString &m_text;
    QChar m_sep;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_unclosed = false;
};

// The separator of the header line: the one of comma, semicolon (written by
// spreadsheet programs where the comma is the decimal mark) and tab that
// occurs most outside quotes.
QChar separatorOf(const QString &text)
{
    int counts[3] = {0, 0, 0};
    const QChar seps[3] = {u',', u';', u'\t'};
    bool inQuotes = false;
    for (QChar c : text) {
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (!inQuotes && (c == u'\n' || c == u'\r'))
            break;
        else if (!inQuotes)
            for (int i = 0; i < 3; ++i)
                counts[i] += c == seps[i];
    }
    int best = 0;
    for (int i = 1; i < 3; ++i)
        if (counts[i] > counts[best])
            best = i;
    return seps[best];
}

QString normalized(const QString &caption)
{
    return caption.trimmed().toCaseFolded();
}

bool isEmptyRecord(const QStringList &fields)
{
    for (const QString &f : fields)
        if (!f.isEmpty())
            return false;
    return true;
}

} // namespace

QByteArray writeTableCsv(const QStringList &header, const QList<config::TableRow> &rows)
{
    QString out;
    appendRecord(out, header);
    for (const config::TableRow &row : rows) {
        if (row[0].isEmpty() && row[1].isEmpty() && row[2].isEmpty())
            continue;
        appendRecord(out, {row[0], row[1], row[2]});
    }
    return QByteArray(kBom) + out.toUtf8();
}

CsvTable readTableCsv(const QByteArray &bytes, const QList<QStringList> &headers)
{
    CsvTable result;
    const QString text = decode(bytes);
    Reader reader(text, separatorOf(text));
    if (reader.atEnd()) {
        result.error = CsvTable::Error::Empty;
        result.line = 1;
        return result;
    }
    const Record header = reader.next();
    // Which table column each field of the file fills; -1 for an empty caption.
    QList<int> columnOf;
    bool found[3] = {false, false, false};
    for (const QString &caption : header.fields) {
        const QString wanted = normalized(caption);
        int column = -1;
        for (const QStringList &language : headers)
            for (int c = 0; c < 3 && column < 0; ++c)
                if (c < language.size() && normalized(language[c]) == wanted)
                    column = c;
        if (column < 0 && !wanted.isEmpty()) {
            result.error = CsvTable::Error::UnknownColumn;
            result.line = header.line;
            result.text = caption;
            return result;
        }
        if (column >= 0 && found[column]) {
            result.error = CsvTable::Error::RepeatedColumn;
            result.line = header.line;
            result.text = caption;
            return result;
        }
        if (column >= 0)
            found[column] = true;
        columnOf << column;
    }
    if (reader.unclosed()) {
        result.error = CsvTable::Error::UnclosedQuote;
        result.line = header.line;
        return result;
    }
    for (int c = 0; c < 3; ++c) {
        if (!found[c]) {
            result.error = CsvTable::Error::MissingColumn;
            result.line = header.line;
            result.column = c;
            return result;
        }
    }
    while (!reader.atEnd()) {
        Record record = reader.next();
        if (reader.unclosed()) {
            result.error = CsvTable::Error::UnclosedQuote;
            result.line = record.line;
            result.rows.clear();
            return result;
        }
        if (isEmptyRecord(record.fields))
            continue;
        // Trailing empty fields, as spreadsheet programs add for empty
        // columns, do not count.
        while (record.fields.size() > columnOf.size() && record.fields.constLast().isEmpty())
            record.fields.removeLast();
        if (record.fields.size() != columnOf.size()) {
            result.error = CsvTable::Error::FieldCount;
            result.line = record.line;
            result.rows.clear();
            return result;
        }
        config::TableRow row;
        for (qsizetype i = 0; i < record.fields.size(); ++i)
            if (columnOf[i] >= 0)
                row[columnOf[i]] = record.fields[i];
        if (result.rows.size() >= kMaxCsvRows) {
            result.error = CsvTable::Error::TooLarge;
            result.line = record.line;
            result.rows.clear();
            return result;
        }
        result.rows << row;
    }
    return result;
}

QString csvErrorText(const CsvTable &result, const lang::LanguageTexts &texts, const QStringList &header)
{
    using Error = CsvTable::Error;
    const QString line = QString::number(result.line);
    switch (result.error) {
    case Error::None:
        return {};
    case Error::Empty:
        return texts.messageText(u"Error_Csv_Empty");
    case Error::UnknownColumn:
        return texts.messageText(u"Error_Csv_Unknown_Column").arg(line, config::quoted(result.text));
    case Error::MissingColumn:
        return texts.messageText(u"Error_Csv_Missing_Column").arg(line, header.value(result.column));
    case Error::RepeatedColumn:
        return texts.messageText(u"Error_Csv_Repeated_Column").arg(line, config::quoted(result.text));
    case Error::FieldCount:
        return texts.messageText(u"Error_Csv_Field_Count").arg(line);
    case Error::UnclosedQuote:
        return texts.messageText(u"Error_Csv_Unclosed_Quote").arg(line);
    case Error::TooLarge:
        return texts.messageText(u"Error_Csv_Too_Large").arg(line);
    }
    return {};
}

} // namespace app
