// Shared pieces of the sheet tests: a configuration that uses every setting,
// the language texts of a code, and the text a reader sees in an HTML or PDF
// sheet.
#pragma once

#include "config/Configuration.h"
#include "lang/LanguageTexts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace testsheet {

// Every switch on, several rows in every table, texts with markup
// characters and accents, a few slots in every profile.
config::Configuration richConfiguration();

// The texts of a language code from the program folder's Language/.
lang::LanguageTexts texts(int code);

// The text nodes of a page, entities resolved, the head left out.
QStringList htmlTexts(const QByteArray &html);
// What pdftotext reads, in drawing order; page 0 means every page.
QString pdfText(const QByteArray &pdf, int page = 0);
int pdfPageCount(const QByteArray &pdf);
// A text without any white space, to compare texts that a page wraps.
QString squeezed(const QString &text);

} // namespace testsheet
