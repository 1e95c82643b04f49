// The current text of every language key (captions, table headers, messages),
// filled from the built-in English and from the language files.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

namespace config {
struct XmlParseResult;
}

namespace lang {

// The language file of a language code (1 English, 2 Italian, 3 German,
// 4 Spanish); empty for any other code.
QString languageFileName(int code);
// The code of a language named as on the command line (eng, ita, ger, spa;
// any case); 0 for any other name.
int languageCodeByName(QStringView name);

class LanguageTexts
{
public:
    // Starts with the built-in English texts, so no text is ever empty before
    // the first language file is applied, even when that file is unreadable.
    LanguageTexts();

    // The file of the code from the language folder when it exists (an
    // unreadable one changes nothing), otherwise the built-in English texts.
    // Returns the path of the language file when it is missing.
    QString applyLanguage(int code, const QString &languageFolder);

    // Applies one language file, key by key: a key the file lacks (or holds
    // child elements) gets its built-in English text. Returns false and
    // changes nothing when the file cannot be read, is not well-formed XML or
    // lacks Language/FMain.
    bool loadLanguageFile(const QString &path);
    // The same for the bytes of a language file.
    bool loadLanguageBytes(const QByteArray &bytes);

    void applyBuiltinTexts();

    // The current text of a key; empty for an unknown key.
    QString text(QStringView key) const;
    // The current text of a message key; an unknown key gives the key itself,
    // so a message box never shows up empty.
    QString messageText(QStringView key) const;

private:
    bool applyLanguageTree(const config::XmlParseResult &parsed);

    QList<QString> m_texts; // parallel to lang::keys()
};

} // namespace lang
