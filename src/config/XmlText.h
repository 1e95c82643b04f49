// The characters an XML 1.0 file can hold. Every text of a configuration is
// stored in one, so the edits keep the others out and the writer refuses them
// rather than dropping them.
#pragma once

#include <QString>
#include <QStringView>

namespace config {

// Tab, line feed, carriage return, and the characters from U+0020 on except
// U+FFFE, U+FFFF and unpaired surrogates.
bool holdsOnlyXmlCharacters(QStringView text);

// The text without the characters an XML file cannot hold.
QString xmlCharactersOnly(QStringView text);

// How a name, an element name or any text from outside is quoted in a
// message: at most kQuotedLength characters, the rest cut with an ellipsis,
// so a message box stays readable (and quick) whatever a file holds.
inline constexpr qsizetype kQuotedLength = 120;
QString quoted(QStringView text);

} // namespace config
