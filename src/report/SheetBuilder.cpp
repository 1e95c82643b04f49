#include "SheetBuilder.h"

#include "config/Numbers.h"
#include "lang/LanguageTexts.h"
#include "report/ImageDigest.h"

#include <functional>
#include <tuple>

namespace report {

namespace {

const char16_t *const kDayKeys[config::kDaysPerWeek] = {
    u"TntL_Pro_Week_Mon", u"TntL_Pro_Week_Tue", u"TntL_Pro_Week_Wed", u"TntL_Pro_Week_Thu",
    u"TntL_Pro_Week_Fri", u"TntL_Pro_Week_Sat", u"TntL_Pro_Week_Sun"};

// Numbers as the device reads them ("007" is 7); a text that is no number
// stays as typed, and the image digest line then says why it does not build.
QString integer(const QString &text)
{
    const std::optional<qint32> n = config::parseInteger(text);
    return n ? QString::number(*n) : text;
}

// The device counts a volt text that is no number as 0 V.
QString volts(const QString &text)
{
    return QString::number(config::parseVolts(text).value_or(0.0));
}

QString languageTag(int code)
{
    switch (code) {
    case 2:
        return QStringLiteral("it");
    case 3:
        return QStringLiteral("de");
    case 4:
        return QStringLiteral("es");
    default:
        return QStringLiteral("en");
    }
}

class SheetWriter
{
public:
    SheetWriter(const lang::LanguageTexts &texts, bool secrets) : m_texts(texts), m_secrets(secrets) {}

    // A caption as a printed text shows it: "&&" is one "&", no blanks
    // around it.
    QString caption(const QString &key) const
    {
        return m_texts.text(key).replace(QStringLiteral("&&"), QStringLiteral("&")).trimmed();
    }
    QString onOff(bool on) const
    {
        return caption(on ? QStringLiteral("Rep_On") : QStringLiteral("Rep_Off"));
    }
    QString secret(const QString &text) const { return m_secrets ? text : QString::fromUtf16(kMask); }

    Section &section(const QString &titleKey)
    {
        m_report.sections.append({caption(titleKey), {}});
        return m_report.sections.last();
    }
    void heading(const QString &text)
    {
        Block b;
        b.kind = Block::Kind::Heading;
        b.heading = text;
        current().blocks.append(b);
    }
    void fields(QList<Field> lines)
    {
        Block b;
        b.kind = Block::Kind::Fields;
        b.fields = std::move(lines);
        current().blocks.append(b);
    }
    // One row per stored row of the table: a row that the file does not keep
    // does not reach the device either.
    void table(const QString &headerPrefix, const QList<int> &weights, const config::SmsTable &rows,
               const std::function<QStringList(const config::TableRow &)> &cells)
    {
        Block b;
        b.kind = Block::Kind::Table;
        for (int i = 1; i <= 3; ++i)
            b.table.header.append(caption(headerPrefix + QString::number(i)));
        b.table.weights = weights;
        for (const config::TableRow &row : rows.rows()) {
            if (!config::SmsTable::isBlank(row))
                b.table.rows.append(cells(row));
        }
        current().blocks.append(b);
    }
    void grid(SlotGrid g)
    {
        Block b;
        b.kind = Block::Kind::Grid;
        b.grid = std::move(g);
        current().blocks.append(b);
    }

    Report &report() { return m_report; }
    const lang::LanguageTexts &texts() const { return m_texts; }

private:
    Section &current() { return m_report.sections.last(); }

    const lang::LanguageTexts &m_texts;
    bool m_secrets;
    Report m_report;
};

void phoneSection(SheetWriter &w, const config::Configuration &c)
{
    w.section(QStringLiteral("TntL_Title_PhoneSet"));
    w.fields({{w.caption(QStringLiteral("TntL_SubTitle_PhoneSet_Pin")), w.secret(c.pin)},
              {w.caption(QStringLiteral("CB_PS_DST")), w.onOff(c.dst)}});
}

void inputTable(SheetWriter &w, const QString &headerPrefix, const config::SmsTable &list)
{
    w.table(headerPrefix, {5, 3, 3}, list, [](const config::TableRow &row) {
        return QStringList{row[0], row[1], row[2]};
    });
}

void inputSection(SheetWriter &w, const config::Configuration &c)
{
    w.section(QStringLiteral("TntL_Title_Input"));
    const QString delay = w.caption(QStringLiteral("Rep_Delay_Ms"));
    for (int n = 1; n <= config::kDigitalInputs; ++n) {
        const QString di = QStringLiteral("DI%1").arg(n);
        w.heading(w.caption(QStringLiteral("TntL_") + di));
        const config::DigitalInput &input = c.digitalInputs[n - 1];
        for (const auto &[edge, event] : {std::pair{QStringLiteral("F0T1"), &input.f0t1},
                                          std::pair{QStringLiteral("F1T0"), &input.f1t0}}) {
            const QString name = di + u'_' + edge;
            QList<Field> lines{{w.caption(QStringLiteral("CB_") + name), w.onOff(event->enSms)}};
            if (event->enSms)
                lines.append({delay, integer(event->timeDelay)});
            w.fields(lines);
            if (event->enSms)
                inputTable(w, QStringLiteral("SG_SMS_%1_T").arg(name), event->list);
        }
    }
    w.heading(w.caption(QStringLiteral("TntL_AI1")));
    for (const auto &[side, level] : {std::pair{QStringLiteral("High"), &c.analogInput.high},
                                      std::pair{QStringLiteral("Low"), &c.analogInput.low}}) {
        QList<Field> lines{{w.caption(QStringLiteral("CB_AI1_") + side), w.onOff(level->enSms)}};
        if (level->enSms) {
            lines.append({w.caption(QStringLiteral("Rep_Level")), volts(level->value)});
            lines.append({w.caption(QStringLiteral("Rep_Return_Level")), volts(level->valueHys)});
            lines.append({delay, integer(level->timeDelay)});
        }
        w.fields(lines);
        if (level->enSms)
            inputTable(w, QStringLiteral("SG_SMS_AI1_%1_T").arg(side), level->list);
    }
}

QString actionWords(SheetWriter &w, const QString &prefix, const config::CallAction &action)
{
    if (!action.enable)
        return w.onOff(false);
    switch (action.operation) {
    case config::Operation::Set:
        return w.caption(prefix + QStringLiteral("SET"));
    case config::Operation::Reset:
        return w.caption(prefix + QStringLiteral("RESET"));
    case config::Operation::Impulse:
        break;
    }
    return w.caption(prefix + QStringLiteral("IMPULSE")) + QStringLiteral(", ") + integer(action.delayTime) +
           QStringLiteral(" ms");
}

void outputSection(SheetWriter &w, const config::Configuration &c)
{
    w.section(QStringLiteral("TntL_Title_Output"));
    for (int n = 1; n <= config::kDigitalOutputs; ++n) {
        const QString d = QStringLiteral("DO%1").arg(n);
        const config::OutputSms &sms = c.digitalOutputs[n - 1].sms;
        const config::OutputCall &call = c.digitalOutputs[n - 1].call;
        auto numberRow = [&w](const config::TableRow &row) {
            return QStringList{row[0], profileName(row[1], w.texts()), row[2]};
        };

        w.heading(w.caption(QStringLiteral("TntL_%1_SMS").arg(d)));
        QList<Field> lines{{w.caption(QStringLiteral("CB_%1_SMS").arg(d)), w.onOff(sms.enable)}};
        if (sms.enable) {
            for (const auto &[key, on, text] :
                 {std::tuple{QStringLiteral("SET"), sms.set, sms.setText},
                  std::tuple{QStringLiteral("RESET"), sms.reset, sms.resetText},
                  std::tuple{QStringLiteral("IMPULSE"), sms.impulse, sms.impulseText}}) {
                lines.append({w.caption(QStringLiteral("CB_%1_SMS_%2").arg(d, key)),
                              on ? w.onOff(true) + QStringLiteral(": ") + text : w.onOff(false)});
            }
            if (sms.impulse)
                lines.append({w.caption(QStringLiteral("Rep_Pulse_Ms")), integer(sms.delayImpulse)});
        }
        // The device keeps the password and the allowed numbers whenever
        // their check is on, even with the commands by SMS off.
        if (sms.enable || sms.checkPassword) {
            lines.append({w.caption(QStringLiteral("CB_%1_SMS_PWD").arg(d)), w.onOff(sms.checkPassword)});
            if (sms.checkPassword)
                lines.append({w.caption(QStringLiteral("Rep_Password")), w.secret(sms.password)});
        }
        if (sms.enable || sms.checkPhoneNumber)
            lines.append({w.caption(QStringLiteral("CB_%1_SMS_TEL").arg(d)), w.onOff(sms.checkPhoneNumber)});
        if (sms.enable)
            lines.append({w.caption(QStringLiteral("CB_%1_SMS_Send_Back").arg(d)), w.onOff(sms.sendBack)});
        w.fields(lines);
        if (sms.enable || sms.checkPhoneNumber) {
            w.heading(w.caption(QStringLiteral("TntL_%1_SMS_UserList").arg(d)));
            w.table(QStringLiteral("SG_%1_SMS_T").arg(d), {4, 4, 4}, sms.list, numberRow);
        }

        w.heading(w.caption(QStringLiteral("TntL_%1_CALL").arg(d)));
        lines = {{w.caption(QStringLiteral("CB_%1_CALL").arg(d)), w.onOff(call.enable)}};
        if (call.enable) {
            const QString rb = QStringLiteral("RB_%1_CALL_").arg(d);
            lines.append(
                {w.caption(QStringLiteral("TntL_%1_CALL_Ring_Num").arg(d)), integer(call.ringNumber)});
            lines.append(
                {w.caption(QStringLiteral("TntL_%1_CALL_HangUp_Ring").arg(d)), integer(call.hangUpRing)});
            lines.append({w.caption(QStringLiteral("CB_%1_CALL_Under").arg(d)),
                          actionWords(w, rb + QStringLiteral("Under_"), call.under)});
            lines.append({w.caption(QStringLiteral("CB_%1_CALL_Above").arg(d)),
                          actionWords(w, rb + QStringLiteral("Above_"), call.above)});
            lines.append({w.caption(QStringLiteral("CB_%1_CALL_Hang_Up").arg(d)),
                          actionWords(w, rb + QStringLiteral("Hang_"), call.hangUp)});
        }
        w.fields(lines);
        if (call.enable) {
            w.heading(w.caption(QStringLiteral("Rep_Calling_Numbers")));
            w.table(QStringLiteral("SG_%1_CALL_T").arg(d), {4, 4, 4}, call.list, numberRow);
        }
    }
}

void profileSection(SheetWriter &w, const config::Configuration &c)
{
    w.section(QStringLiteral("Rep_Profiles"));
    const QString enabled = w.caption(QStringLiteral("Rep_Enabled"));
    QStringList days;
    for (const char16_t *key : kDayKeys)
        days.append(w.caption(QString::fromUtf16(key)));
    for (int n = 1; n <= config::kWeeklyProfiles; ++n) {
        const config::WeeklyProfile &week = c.weeklyProfiles[n - 1];
        w.heading(w.caption(QStringLiteral("TntL_Pro_Week1_Week%1").arg(n)));
        w.fields({{enabled, w.onOff(week.enabled)}});
        // A profile that is off gives the device no slot at all.
        if (week.enabled)
            w.grid({days, {week.days.begin(), week.days.end()}});
    }
    for (int n = 1; n <= config::kDailyProfiles; ++n) {
        const config::DailyProfile &day = c.dailyProfiles[n - 1];
        const QString name = w.caption(QStringLiteral("Rep_Profile_Daily")).arg(n);
        w.heading(name);
        w.fields({{enabled, w.onOff(day.enabled)}});
        if (day.enabled)
            w.grid({{name}, {day.timeSlots}});
    }
}

} // namespace

QString profileName(const QString &cell, const lang::LanguageTexts &texts)
{
    const std::optional<qint32> number = cell.trimmed().isEmpty() ? 0 : config::parseInteger(cell);
    if (!number)
        return cell;
    QString name;
    if (*number == 0)
        name = texts.text(u"Rep_Profile_Always");
    else if (*number >= 1 && *number <= config::kWeeklyProfiles)
        name = texts.text(QStringLiteral("TntL_Pro_Week1_Week%1").arg(*number));
    else if (*number > config::kWeeklyProfiles && *number <= config::kWeeklyProfiles + config::kDailyProfiles)
        name = texts.text(u"Rep_Profile_Daily").arg(*number - config::kWeeklyProfiles);
    const QString shown = QString::number(*number);
    return name.isEmpty() ? shown : shown + QStringLiteral(" - ") + name.trimmed();
}

QString shownDateTime(const QDateTime &moment)
{
    return moment.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

Report buildSheet(const config::Configuration &configuration, const lang::LanguageTexts &texts,
                  const SheetOptions &options)
{
    SheetWriter w(texts, options.includeSecrets);
    Report &r = w.report();
    r.title = w.caption(QStringLiteral("Rep_Title"));
    r.configurationName = options.configurationName;
    r.languageTag = languageTag(options.languageCode);

    QString digest;
    if (const ImageDigest d = imageDigest(options.configurationXml); !d.ok())
        digest = w.caption(QStringLiteral("Rep_Image_Not_Built")) + u' ' + d.error;
    else if (options.includeSecrets)
        digest = d.sha256;
    else
        // The rest of the sheet and the digest together would give away a
        // masked PIN of a few digits by trying each one.
        digest = w.caption(QStringLiteral("Rep_Digest_Needs_Secrets"));
    r.summary = {
        {w.caption(QStringLiteral("Rep_Configuration")), options.configurationName},
        {w.caption(QStringLiteral("Rep_Date")), shownDateTime(options.date)},
        {w.caption(QStringLiteral("Rep_Program_Version")), options.programVersion},
        {w.caption(QStringLiteral("Rep_Image_Sha256")), digest},
        {w.caption(QStringLiteral("Rep_Secrets")),
         w.caption(options.includeSecrets ? QStringLiteral("Rep_Secrets_Shown")
                                          : QStringLiteral("Rep_Secrets_Masked"))},
    };
    phoneSection(w, configuration);
    inputSection(w, configuration);
    outputSection(w, configuration);
    profileSection(w, configuration);
    return r;
}

} // namespace report
