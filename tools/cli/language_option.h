// --language of the commands that print or write the window's words: the
// texts of a language from the workspace's language files.
#pragma once

#include "lang/LanguageTexts.h"

#include <QCommandLineOption>
#include <optional>

namespace cli {

inline const QCommandLineOption kLanguageOption(QStringLiteral("language"), QStringLiteral("a LANGUAGE"),
                                                QStringLiteral("LANGUAGE"));

// The texts of eng, ita, ger or spa (English when the option is not given);
// nothing for another name, with the message on standard error.
std::optional<lang::LanguageTexts> languageTexts(const QString &language, const QString &languageFolder,
                                                 const QString &command);

} // namespace cli
