#include "language_option.h"

#include <QTextStream>

namespace cli {

std::optional<lang::LanguageTexts> languageTexts(const QString &language, const QString &languageFolder,
                                                 const QString &command)
{
    static const char *const codes[] = {"eng", "ita", "ger", "spa"};
    lang::LanguageTexts texts;
    if (language.isEmpty())
        return texts;
    for (int i = 0; i < 4; ++i) {
        if (language.compare(QLatin1String(codes[i]), Qt::CaseInsensitive) == 0) {
            const QString missing = texts.applyLanguage(i + 1, languageFolder);
            if (!missing.isEmpty())
                QTextStream(stderr) << "trenov5x-cli " << command << ": warning: " << missing
                                    << " is missing; the texts are English\n";
            return texts;
        }
    }
    QTextStream(stderr) << "trenov5x-cli " << command << ": unknown language '" << language
                        << "'; use eng, ita, ger or spa\n";
    return std::nullopt;
}

} // namespace cli
