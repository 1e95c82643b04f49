#include "Configuration.h"

namespace config {

void SmsTable::setRows(QList<TableRow> rows)
{
    m_rows = std::move(rows);
    if (m_rows.isEmpty())
        m_rows.append(TableRow{});
}

void SmsTable::removeRow(qsizetype i)
{
    if (i < 0 || i >= m_rows.size())
        return;
    if (m_rows.size() == 1)
        m_rows[0] = TableRow{};
    else
        m_rows.removeAt(i);
}

void SmsTable::blankCells()
{
    for (TableRow &row : m_rows)
        row = TableRow{};
}

QString defaultSetText(int output)
{
    return QStringLiteral("Turn On DO%1").arg(output);
}
QString defaultResetText(int output)
{
    return QStringLiteral("Turn Off DO%1").arg(output);
}
QString defaultImpulseText(int output)
{
    return QStringLiteral("Impulse DO%1").arg(output);
}

Configuration::Configuration()
{
    for (int n = 0; n < kDigitalOutputs; ++n) {
        OutputSms &sms = digitalOutputs[n].sms;
        sms.setText = defaultSetText(n + 1);
        sms.resetText = defaultResetText(n + 1);
        sms.impulseText = defaultImpulseText(n + 1);
        digitalOutputs[n].call.hangUpRing = QStringLiteral("1");
    }
    digitalOutputs[0].sms.password = QString::fromUtf16(kStartPasswordOutput1);
    setNewDefaults();
}

void Configuration::setNewDefaults()
{
    const QString ms100 = QStringLiteral("100");
    for (WeeklyProfile &w : weeklyProfiles)
        w = WeeklyProfile{};
    for (DailyProfile &d : dailyProfiles)
        d = DailyProfile{};

    for (DigitalInput &in : digitalInputs) {
        for (InputEvent *e : {&in.f0t1, &in.f1t0}) {
            e->enSms = false;
            e->timeDelay = ms100;
            e->list.reset();
        }
    }

    struct AnalogDefaults
    {
        AnalogThreshold *side;
        const char *value;
        const char *returnLevel;
    };
    for (const AnalogDefaults &d :
         {AnalogDefaults{&analogInput.high, "7,5", "6,5"}, AnalogDefaults{&analogInput.low, "2", "3"}}) {
        d.side->enSms = false;
        d.side->value = QLatin1String(d.value);
        d.side->valueHys = QLatin1String(d.returnLevel);
        d.side->timeDelay = ms100;
        d.side->list.reset();
    }

    for (DigitalOutput &out : digitalOutputs) {
        OutputSms &sms = out.sms;
        sms.enable = sms.set = sms.reset = sms.impulse = false;
        sms.delayImpulse = ms100;
        sms.checkPhoneNumber = sms.checkPassword = sms.sendBack = false;
        sms.list.reset();
        OutputCall &call = out.call;
        call.enable = false;
        call.ringNumber = QStringLiteral("3");
        for (CallAction *a : {&call.hangUp, &call.under, &call.above}) {
            a->enable = false;
            a->operation = Operation::Set;
            a->delayTime = ms100;
        }
        call.list.reset();
    }
    pin.clear();
}

} // namespace config
