#include "language_option.h"

#include <QTextStream>

namespace cli {

std::optional<lang::LanguageTexts> languageTexts(const QString &language, const QString &languageFolder,
                                                 const QString &command)
{
    lang::LanguageTexts texts;
    if (language.isEmpty())
        return texts;
    if (const int code = lang::languageCodeByName(language)) {
        const QString missing = texts.applyLanguage(code, languageFolder);
        if (!missing.isEmpty())
            QTextStream(stderr) << "trenov5x-cli " << command << ": warning: " << missing
                                << " is missing; the texts are English\n";
        return texts;
    }
    QTextStream(stderr) << "trenov5x-cli " << command << ": unknown language '" << language
                        << "'; use eng, ita, ger or spa\n";
    return std::nullopt;
}

} // namespace cli
