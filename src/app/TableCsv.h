// One message or number table as a CSV file for spreadsheet programs: quoted
// fields with commas, quotes and line breaks inside, UTF-8 with a byte order
// mark, a header row of the table's column captions. Reading recognises the
// columns from their captions in any of the program's languages, in any
// order, and the separator spreadsheet programs use in each of them.
#pragma once

#include "config/Configuration.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace lang {
class LanguageTexts;
}

namespace app {

QByteArray writeTableCsv(const QStringList &header, const QList<config::TableRow> &rows);

struct CsvTable
{
    enum class Error {
        None,
        Empty,          // no header row
        UnknownColumn,  // a header caption no language gives this table; `text` holds it
        MissingColumn,  // a column of the table has no caption in the header; `column` is it
        RepeatedColumn, // a column named twice; `text` holds the caption
        FieldCount,     // a row with more or fewer fields than the header
        UnclosedQuote,  // the file ends inside a quoted field
        TooLarge,       // more rows than a table holds
    };
    Error error = Error::None;
    int line = 0;    // where the refused row starts, from 1 (the header is line 1)
    int column = -1; // MissingColumn: the table's column
    QString text;
    QList<config::TableRow> rows; // the rows with any text, in file order
    bool ok() const { return error == Error::None; }
};

// The most rows a table file may bring in.
constexpr qsizetype kMaxCsvRows = 100000;

// `headers` holds the table's three column captions in each language known.
CsvTable readTableCsv(const QByteArray &bytes, const QList<QStringList> &headers);

// Why a file was refused, in the texts' language; `header` is the table's
// column captions in it.
QString csvErrorText(const CsvTable &result, const lang::LanguageTexts &texts, const QStringList &header);

} // namespace app
