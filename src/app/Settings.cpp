#include "Settings.h"

#include "config/FileAccess.h"
#include "config/Numbers.h"
#include "config/XmlTree.h"

#include <QDir>
#include <QXmlStreamWriter>

namespace app {

namespace {

AppSettings settingsOf(const config::XmlParseResult &parsed)
{
    AppSettings settings;
    if (!parsed.root)
        return settings;
    if (const config::XmlElement *language = parsed.root->child(u"Language");
        language && !language->hasChildren())
        settings.languageCode = config::parseInteger(language->text()).value_or(1);
    if (const config::XmlElement *name = parsed.root->child(u"Configuration"); name && !name->hasChildren())
        settings.configurationName = name->text();
    if (const config::XmlElement *folder = parsed.root->child(u"Report_Folder");
        folder && !folder->hasChildren())
        settings.reportFolder = folder->text();
    return settings;
}

} // namespace

AppSettings readSettings(const QString &path)
{
    return settingsOf(config::xmltree::parseFile(path));
}

AppSettings settingsFromBytes(const QByteArray &bytes)
{
    return settingsOf(config::xmltree::parse(bytes));
}

SettingsWriteResult writeSettings(const QString &path, const AppSettings &settings)
{
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.writeStartElement(QStringLiteral("General_Setting"));
    writer.writeTextElement(QStringLiteral("Language"), QString::number(settings.languageCode));
    writer.writeTextElement(QStringLiteral("Configuration"), settings.configurationName);
    if (!settings.reportFolder.isEmpty())
        writer.writeTextElement(QStringLiteral("Report_Folder"), settings.reportFolder);
    writer.writeEndElement();

    const config::fileaccess::WriteResult written = config::fileaccess::writeFileAtomically(path, bytes);
    if (!written.ok)
        return {false, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), written.error)};
    return {true, {}};
}

QString windowTitle(const QString &configurationName)
{
    const QString head = QLatin1String(kBrandWord) + QLatin1String(" - ") + QLatin1String(kSoftwareCode);
    return head + QLatin1String(" - ") +
           (configurationName.isEmpty() ? QStringLiteral("#NO_CONF#") : configurationName);
}

} // namespace app
