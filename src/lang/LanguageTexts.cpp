#include "LanguageTexts.h"

#include "KeyTable.h"
#include "config/XmlTree.h"

#include <QDir>
#include <QFileInfo>

namespace lang {

int languageCodeByName(QStringView name)
{
    static const char *const names[] = {"eng", "ita", "ger", "spa"};
    for (int i = 0; i < 4; ++i)
        if (name.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
}

QString languageFileName(int code)
{
    switch (code) {
    case 1:
        return QStringLiteral("Lang_ENG.xml");
    case 2:
        return QStringLiteral("Lang_ITA.xml");
    case 3:
        return QStringLiteral("Lang_GER.xml");
    case 4:
        return QStringLiteral("Lang_SPA.xml");
    default:
        return {};
    }
}

LanguageTexts::LanguageTexts()
{
    applyBuiltinTexts();
}

QString LanguageTexts::applyLanguage(int code, const QString &languageFolder)
{
    const QString fileName = languageFileName(code);
    if (fileName.isEmpty()) {
        applyBuiltinTexts();
        return {};
    }
    const QString path = QDir(languageFolder).filePath(fileName);
    // A file that is there but unreadable changes nothing, like loading it directly.
    if (QFileInfo(path).isFile()) {
        loadLanguageFile(path);
        return {};
    }
    applyBuiltinTexts();
    return path;
}

bool LanguageTexts::loadLanguageFile(const QString &path)
{
    return applyLanguageTree(config::xmltree::parseFile(path));
}

bool LanguageTexts::loadLanguageBytes(const QByteArray &bytes)
{
    return applyLanguageTree(config::xmltree::parse(bytes));
}

bool LanguageTexts::applyLanguageTree(const config::XmlParseResult &parsed)
{
    if (!parsed.root || parsed.root->name() != "Language")
        return false;
    const config::XmlElement *fmain = parsed.root->child(u"FMain");
    if (!fmain)
        return false;

    // Groups come before their children in the group table, so a child's
    // parent element is already resolved. A missing group leaves its child
    // groups missing too: all their keys fall back to the built-in texts.
    const std::span<const GroupDef> groupDefs = groups();
    QList<const config::XmlElement *> groupElements(groupDefs.size(), nullptr);
    for (qsizetype g = 0; g < qsizetype(groupDefs.size()); ++g) {
        const GroupDef &def = groupDefs[g];
        const config::XmlElement *parent =
            def.parent == Group::FMain ? fmain : groupElements[static_cast<int>(def.parent)];
        groupElements[g] = parent ? parent->child(def.name) : nullptr;
    }

    const std::span<const KeyDef> keyDefs = keys();
    for (qsizetype i = 0; i < qsizetype(keyDefs.size()); ++i) {
        const KeyDef &def = keyDefs[i];
        const config::XmlElement *group = groupElements[static_cast<int>(def.group)];
        const config::XmlElement *key = group ? group->child(def.key) : nullptr;
        m_texts[i] = key && !key->hasChildren() ? key->text() : def.text.toString();
    }
    return true;
}

void LanguageTexts::applyBuiltinTexts()
{
    const std::span<const KeyDef> keyDefs = keys();
    m_texts.resize(keyDefs.size());
    for (qsizetype i = 0; i < qsizetype(keyDefs.size()); ++i)
        m_texts[i] = keyDefs[i].text.toString();
    // The whole-language English differs from a single missing entry here.
    m_texts[keyIndex(u"CB_DO2_SMS_IMPULSE")] = QStringLiteral("IMPULSE output by SMS");
}

QString LanguageTexts::text(QStringView key) const
{
    const int i = keyIndex(key);
    return i < 0 ? QString() : m_texts[i];
}

QString LanguageTexts::messageText(QStringView key) const
{
    const int i = keyIndex(key);
    return i < 0 ? key.toString() : m_texts[i];
}

} // namespace lang
