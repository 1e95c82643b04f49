// 8-bit code pages that files and the device use, done with our own tables so
// the result is the same with or without ICU.
#pragma once

#include <QByteArray>
#include <QString>

namespace config {

namespace textcodec {

// Windows-1252: 0x00-0x7F and 0xA0-0xFF as Latin-1, 0x80-0x9F the 27
// Windows-1252 characters. Anything else (a surrogate pair counts as one
// character) becomes '?'.
QByteArray toWindows1252(const QString &text);
QString fromWindows1252(const QByteArray &bytes);
QString fromIso885915(const QByteArray &bytes);

} // namespace textcodec

} // namespace config
