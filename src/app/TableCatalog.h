// The ten message and number tables of a configuration by the names the
// window and the command line give them (DI1_F0T1 ... DO2_CALL), with the
// language keys of their column captions and where each lives in the record.
#pragma once

#include "config/Configuration.h"
#include "config/RowChecks.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace lang {
class LanguageTexts;
}

namespace app {

constexpr int kTableCount = 10;

struct TableInfo
{
    const char *name;          // DI1_F0T1, ..., DO2_CALL
    const char16_t *header[3]; // the column captions' keys
    bool output;               // phone, profile, description; else message, phone, description
};

// In the order of the row checks: the six input tables, then DO1 SMS, DO1
// CALL, DO2 SMS, DO2 CALL.
const TableInfo &tableInfo(int table);
// The table of that name (case-insensitive), if there is one.
std::optional<int> tableByName(const QString &name);
QStringList tableNames();

config::SmsTable &tableOf(config::Configuration &configuration, int table);
const config::SmsTable &tableOf(const config::Configuration &configuration, int table);

// A row as the table keeps it: the phone number without the blanks and
// separators people write it with.
config::TableRow asStored(int table, config::TableRow row);

// The save-time check of one row of the table.
config::RowRefusal checkTableRow(int table, const config::TableRow &row);

// The column captions in the texts' current language, as the window shows them.
QStringList tableHeader(int table, const lang::LanguageTexts &texts);
// The column captions of the table in the built-in English and in every
// language file found in the folder: a header written in any of them is read.
QList<QStringList> tableHeadersOfAllLanguages(int table, const QString &languageFolder);

} // namespace app
