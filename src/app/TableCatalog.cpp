#include "TableCatalog.h"

#include "lang/LanguageTexts.h"

#include <QDir>
#include <QFileInfo>

namespace app {
namespace {

constexpr TableInfo kTables[kTableCount] = {
    {"DI1_F0T1", {u"SG_SMS_DI1_F0T1_T1", u"SG_SMS_DI1_F0T1_T2", u"SG_SMS_DI1_F0T1_T3"}, false},
    {"DI1_F1T0", {u"SG_SMS_DI1_F1T0_T1", u"SG_SMS_DI1_F1T0_T2", u"SG_SMS_DI1_F1T0_T3"}, false},
    {"DI2_F0T1", {u"SG_SMS_DI2_F0T1_T1", u"SG_SMS_DI2_F0T1_T2", u"SG_SMS_DI2_F0T1_T3"}, false},
    {"DI2_F1T0", {u"SG_SMS_DI2_F1T0_T1", u"SG_SMS_DI2_F1T0_T2", u"SG_SMS_DI2_F1T0_T3"}, false},
    {"AI1_High", {u"SG_SMS_AI1_High_T1", u"SG_SMS_AI1_High_T2", u"SG_SMS_AI1_High_T3"}, false},
    {"AI1_Low", {u"SG_SMS_AI1_Low_T1", u"SG_SMS_AI1_Low_T2", u"SG_SMS_AI1_Low_T3"}, false},
    {"DO1_SMS", {u"SG_DO1_SMS_T1", u"SG_DO1_SMS_T2", u"SG_DO1_SMS_T3"}, true},
    {"DO1_CALL", {u"SG_DO1_CALL_T1", u"SG_DO1_CALL_T2", u"SG_DO1_CALL_T3"}, true},
    {"DO2_SMS", {u"SG_DO2_SMS_T1", u"SG_DO2_SMS_T2", u"SG_DO2_SMS_T3"}, true},
    {"DO2_CALL", {u"SG_DO2_CALL_T1", u"SG_DO2_CALL_T2", u"SG_DO2_CALL_T3"}, true},
};

template <typename C, typename T> T &tableIn(C &c, int table)
{
    switch (table) {
    case 0:
        return c.digitalInputs[0].f0t1.list;
    case 1:
        return c.digitalInputs[0].f1t0.list;
    case 2:
        return c.digitalInputs[1].f0t1.list;
    case 3:
        return c.digitalInputs[1].f1t0.list;
    case 4:
        return c.analogInput.high.list;
    case 5:
        return c.analogInput.low.list;
    case 6:
        return c.digitalOutputs[0].sms.list;
    case 7:
        return c.digitalOutputs[0].call.list;
    case 8:
        return c.digitalOutputs[1].sms.list;
    default:
        return c.digitalOutputs[1].call.list;
    }
}

// Captions may hold "&&" for a shown "&".
QString caption(const lang::LanguageTexts &texts, const char16_t *key)
{
    QString text = texts.text(QStringView(key));
    text.replace(QLatin1String("&&"), QLatin1String("&"));
    return text;
}

} // namespace

const TableInfo &tableInfo(int table)
{
    return kTables[table];
}

std::optional<int> tableByName(const QString &name)
{
    for (int t = 0; t < kTableCount; ++t)
        if (name.compare(QLatin1String(kTables[t].name), Qt::CaseInsensitive) == 0)
            return t;
    return std::nullopt;
}

QStringList tableNames()
{
    QStringList names;
    for (const TableInfo &t : kTables)
        names << QLatin1String(t.name);
    return names;
}

config::SmsTable &tableOf(config::Configuration &configuration, int table)
{
    return tableIn<config::Configuration, config::SmsTable>(configuration, table);
}

const config::SmsTable &tableOf(const config::Configuration &configuration, int table)
{
    return tableIn<const config::Configuration, const config::SmsTable>(configuration, table);
}

config::TableRow asStored(int table, config::TableRow row)
{
    QString &phone = row[kTables[table].output ? 0 : 1];
    phone = config::withoutPhoneSeparators(phone);
    return row;
}

config::RowRefusal checkTableRow(int table, const config::TableRow &row)
{
    if (kTables[table].output)
        return config::checkOutputRow(row[0], row[1], table - config::kInputTables);
    return config::checkInputRow(row[0], row[1], table);
}

QStringList tableHeader(int table, const lang::LanguageTexts &texts)
{
    QStringList header;
    for (const char16_t *key : kTables[table].header)
        header << caption(texts, key);
    return header;
}

QList<QStringList> tableHeadersOfAllLanguages(int table, const QString &languageFolder)
{
    QList<QStringList> headers;
    lang::LanguageTexts texts;
    headers << tableHeader(table, texts);
    for (int code = 1; code <= 4; ++code) {
        const QString file = QDir(languageFolder).filePath(lang::languageFileName(code));
        if (QFileInfo(file).isFile() && texts.loadLanguageFile(file))
            headers << tableHeader(table, texts);
    }
    return headers;
}

} // namespace app
