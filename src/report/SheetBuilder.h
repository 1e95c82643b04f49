// Turns a configuration into the report model of its configuration sheet,
// with every caption from the language texts. Widget-free.
#pragma once

#include "config/Configuration.h"
#include "report/Report.h"

#include <QDateTime>
#include <QString>

namespace lang {
class LanguageTexts;
}

namespace report {

// What the sheet prints in place of the SIM PIN and the output passwords
// when they are not to be shown; always four, whatever their length.
inline constexpr char16_t kMask[] = u"\u2022\u2022\u2022\u2022";

struct SheetOptions
{
    QString configurationName;
    QDateTime date;
    QString programVersion;
    bool includeSecrets = false;
    int languageCode = 1; // 1 English, 2 Italian, 3 German, 4 Spanish
    // The Configuration.xml the device image is built from; its digest is
    // printed on the sheet.
    QByteArray configurationXml;
};

Report buildSheet(const config::Configuration &configuration, const lang::LanguageTexts &texts,
                  const SheetOptions &options);

// A profile number as the sheet names it: "1 - Weekly 1"; an empty cell is
// the profile 0 the device gets.
QString profileName(const QString &cell, const lang::LanguageTexts &texts);

// A moment as the sheet and the window show it: yyyy-MM-dd HH:mm in every
// language, so that no one reads the day for the month.
QString shownDateTime(const QDateTime &moment);

} // namespace report
