#include "Settings.h"

#include "config/Numbers.h"
#include "config/XmlTree.h"

#include <QDir>
#include <QSaveFile>
#include <QXmlStreamWriter>

AppSettings readSettings(const QString &path)
{
    AppSettings settings;
    const XmlParseResult parsed = xmltree::parseFile(path);
    if (!parsed.root)
        return settings;
    if (const XmlElement *language = parsed.root->child(u"Language"); language && !language->hasChildren())
        settings.languageCode = config::parseInteger(language->text).value_or(1);
    if (const XmlElement *name = parsed.root->child(u"Configuration"); name && !name->hasChildren())
        settings.configurationName = name->text;
    return settings;
}

SettingsWriteResult writeSettings(const QString &path, const AppSettings &settings)
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.writeStartElement(QStringLiteral("General_Setting"));
    writer.writeTextElement(QStringLiteral("Language"), QString::number(settings.languageCode));
    writer.writeTextElement(QStringLiteral("Configuration"), settings.configurationName);
    writer.writeEndElement();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return {false, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), file.errorString())};
    return {true, {}};
}

QString windowTitle(const QString &configurationName)
{
    const QString head = QLatin1String(kBrandWord) + QLatin1String(" - ") + QLatin1String(kSoftwareCode);
    return head + QLatin1String(" - ") +
           (configurationName.isEmpty() ? QStringLiteral("#NO_CONF#") : configurationName);
}
