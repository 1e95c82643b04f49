#include "ConfigurationSchema.h"

namespace config {

namespace {

using Kind = SchemaNode::Kind;

SchemaNode group(const QString &name, QList<SchemaNode> children)
{
    SchemaNode n;
    n.name = name;
    n.children = std::move(children);
    return n;
}

// A leaf element bound to one field.
template <typename T> SchemaNode leaf(const QString &name, Kind kind, T &field)
{
    SchemaNode n;
    n.name = name;
    n.kind = kind;
    n.field = &field;
    return n;
}

SchemaNode flag(const QString &name, bool &value)
{
    return leaf(name, Kind::Flag, value);
}
SchemaNode text(const QString &name, QString &value)
{
    return leaf(name, Kind::Text, value);
}
SchemaNode operation(const QString &name, Operation &value)
{
    return leaf(name, Kind::Operation, value);
}
SchemaNode timeSlots(const QString &name, DaySlots &value)
{
    return leaf(name, Kind::TimeSlots, value);
}

SchemaNode optionalText(const QString &name, QString &value, const QString &fallback)
{
    SchemaNode n = text(name, value);
    n.optional = true;
    n.fallback = fallback;
    return n;
}

SchemaNode table(const QString &name, SmsTable &value, TableLayout layout)
{
    SchemaNode n = leaf(name, Kind::Table, value);
    n.layout = layout;
    return n;
}

const char *const kDayNames[kDaysPerWeek] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                             "Friday", "Saturday", "Sunday"};

SchemaNode digitalInput(int n, DigitalInput &in)
{
    QList<SchemaNode> children;
    for (auto [suffix, e] : {std::pair{"F0T1", &in.f0t1}, std::pair{"F1T0", &in.f1t0}}) {
        const QString s = QLatin1String(suffix);
        children << flag("En_SMS_" + s, e->enSms) << text("Time_Delay_" + s, e->timeDelay)
                 << table("List_SMS_" + s, e->list, TableLayout::Input);
    }
    return group(QStringLiteral("Digital_Input_%1").arg(n), children);
}

SchemaNode analogInput(int n, AnalogInput &in)
{
    QList<SchemaNode> children;
    for (auto [side, t] : {std::pair{"High", &in.high}, std::pair{"Low", &in.low}}) {
        const QString s = QLatin1String(side);
        children << flag("En_SMS_" + s, t->enSms) << text("Value_" + s, t->value)
                 << text("Time_Delay_" + s, t->timeDelay)
                 << optionalText("Value_" + s + "_Hys", t->valueHys, QStringLiteral("1"))
                 << table("List_SMS_" + s, t->list, TableLayout::Input);
    }
    return group(QStringLiteral("Analog_Input_%1").arg(n), children);
}

// A CALL action: its switch, its operation and its pulse duration. The hang-up
// action is "Hang_Up" in the first two names and "Hang" in the third.
void appendCallAction(QList<SchemaNode> &into, const QString &which, const QString &delayWhich, CallAction &a)
{
    into << flag("Enable_" + which + "_from_CALL", a.enable)
         << operation("Operation_" + which + "_from_CALL", a.operation)
         << text("Delay_Time_Imp_" + delayWhich + "_from_CALL", a.delayTime);
}

SchemaNode digitalOutput(int n, DigitalOutput &out)
{
    OutputSms &s = out.sms;
    const QList<SchemaNode> sms = {
        flag("Enable_from_SMS", s.enable),
        flag("Set_from_SMS", s.set),
        optionalText("Set_from_SMS_Text", s.setText, defaultSetText(n)),
        flag("Reset_from_SMS", s.reset),
        optionalText("Reset_from_SMS_Text", s.resetText, defaultResetText(n)),
        flag("Impulse_from_SMS", s.impulse),
        optionalText("Impulse_from_SMS_Text", s.impulseText, defaultImpulseText(n)),
        text("Delay_Impulse_from_SMS", s.delayImpulse),
        flag("Check_Phone_Number_from_SMS", s.checkPhoneNumber),
        flag("Check_Password_from_SMS", s.checkPassword),
        // Older files lack the password; the device's factory password stands in.
        optionalText("Password_from_SMS_Text", s.password, QStringLiteral("7839")),
        flag("Send_Back_SMS_from_SMS", s.sendBack),
        table("List_SMS", s.list, TableLayout::Output),
    };
    OutputCall &c = out.call;
    SchemaNode hangUpRing = text("Hang_Up_Ring_from_CALL", c.hangUpRing);
    hangUpRing.optional = true;
    hangUpRing.fallbackFrom = &c.ringNumber;
    QList<SchemaNode> call = {flag("Enable_from_CALL", c.enable), text("Ring_Number_from_CALL", c.ringNumber),
                              hangUpRing};
    appendCallAction(call, QStringLiteral("Hang_Up"), QStringLiteral("Hang"), c.hangUp);
    appendCallAction(call, QStringLiteral("Under_Ring"), QStringLiteral("Under"), c.under);
    appendCallAction(call, QStringLiteral("Above_Ring"), QStringLiteral("Above"), c.above);
    call << table("List_SMS", c.list, TableLayout::Output);
    return group(QStringLiteral("Digital_Output_%1").arg(n),
                 {group(QStringLiteral("SMS"), sms), group(QStringLiteral("CALL"), call)});
}

} // namespace

const std::array<RowCell, 3> &rowCells(TableLayout layout)
{
    static const std::array<RowCell, 3> input = {{{"Message", 0}, {"Phone_Number", 1}, {"Description", 2}}};
    static const std::array<RowCell, 3> output = {{{"Phone_Number", 0}, {"Profile", 1}, {"Description", 2}}};
    return layout == TableLayout::Input ? input : output;
}

SchemaNode configurationSchema(Configuration &c)
{
    SchemaNode dst = flag(QStringLiteral("DST"), c.dst);
    dst.optional = true;

    QList<SchemaNode> digitalIn;
    for (int n = 0; n < kDigitalInputs; ++n)
        digitalIn << digitalInput(n + 1, c.digitalInputs[n]);
    QList<SchemaNode> digitalOut;
    for (int n = 0; n < kDigitalOutputs; ++n)
        digitalOut << digitalOutput(n + 1, c.digitalOutputs[n]);

    QList<SchemaNode> weekly;
    for (int n = 0; n < kWeeklyProfiles; ++n) {
        WeeklyProfile &w = c.weeklyProfiles[n];
        QList<SchemaNode> days;
        for (int d = 0; d < kDaysPerWeek; ++d)
            days << timeSlots(QLatin1String(kDayNames[d]), w.days[d]);
        weekly << group(QStringLiteral("Week%1").arg(n + 1), {flag(QStringLiteral("Enable_Week"), w.enabled),
                                                              group(QStringLiteral("Time_Slots"), days)});
    }
    QList<SchemaNode> daily;
    for (int n = 0; n < kDailyProfiles; ++n) {
        DailyProfile &d = c.dailyProfiles[n];
        daily << group(QStringLiteral("Day%1").arg(n + 1),
                       {flag(QStringLiteral("Enable_Day"), d.enabled),
                        timeSlots(QStringLiteral("Time_Slots"), d.timeSlots)});
    }
    SchemaNode dateTime;
    dateTime.name = QStringLiteral("Date_Time");
    dateTime.kind = Kind::AlwaysEmpty;

    return group(
        QStringLiteral("Configuration"),
        {
            group(QStringLiteral("Phone_Setting"), {text(QStringLiteral("PIN"), c.pin), dst}),
            group(QStringLiteral("Input"),
                  {group(QStringLiteral("Digital"), digitalIn),
                   group(QStringLiteral("Analog"), {analogInput(1, c.analogInput)})}),
            group(QStringLiteral("Output"), {group(QStringLiteral("Digital"), digitalOut)}),
            group(QStringLiteral("Date_Time_Profile"),
                  {dateTime, group(QStringLiteral("Profile"), {group(QStringLiteral("Weekly"), weekly),
                                                               group(QStringLiteral("Daily"), daily)})}),
        });
}

} // namespace config
