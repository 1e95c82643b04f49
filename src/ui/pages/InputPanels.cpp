#include "InputPanels.h"

#include "ui/Binder.h"
#include "ui/widgets/PageParts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace ui {
namespace {

constexpr EventDef kDigitalEvents[2][2] = {
    {{"DI1", "F0T1", ":/inputs/rising_edge.svg", TableId::DI1_F0T1},
     {"DI1", "F1T0", ":/inputs/falling_edge.svg", TableId::DI1_F1T0}},
    {{"DI2", "F0T1", ":/inputs/rising_edge.svg", TableId::DI2_F0T1},
     {"DI2", "F1T0", ":/inputs/falling_edge.svg", TableId::DI2_F1T0}},
};

constexpr EventDef kAnalogEvents[2] = {
    {"AI1", "High", ":/inputs/level_high.svg", TableId::AI1_High},
    {"AI1", "Low", ":/inputs/level_low.svg", TableId::AI1_Low},
};

QString name(const char *pattern, const EventDef &def)
{
    return QString::fromLatin1(pattern).arg(QLatin1String(def.input), QLatin1String(def.event));
}

} // namespace

EventBlock::EventBlock(const EventDef &def, bool analog, QWidget *parent) : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(3);

    grid->addWidget(makeIcon(QLatin1String(def.icon), 32, this), 0, 0, 2, 1, Qt::AlignTop);

    auto *first = new QHBoxLayout;
    first->setSpacing(6);
    m_box = makeCheckBox(name("CB_%1_%2", def), this);
    first->addWidget(m_box);
    if (analog) {
        m_level = makeEdit(name("E_%1_Val_%2", def), 44, this);
        m_returnLevel = makeEdit(name("E_%1_Val_%2_Hys", def), 44, this);
        first->addWidget(m_level);
        first->addWidget(makeLabel(name("TNTL_%1_%2_UM", def), this));
        first->addSpacing(6);
        QLabel *rtn = makeLabel(name("TntL_%1_%2_RTN", def), this);
        rtn->setBuddy(m_returnLevel);
        first->addWidget(rtn);
        first->addWidget(m_returnLevel);
        first->addWidget(makeLabel(name("TNTL_%1_%2_UM_Hys", def), this));
    }
    first->addStretch(1);
    grid->addLayout(first, 0, 1);

    m_duration = makeEdit(name("E_TimeDelay_%1_%2", def), 64, this);
    grid->addLayout(
        makeUnitLine(name("TntL_%1_TimeDelay_%2", def), m_duration, name("TntL_%1_TD_Unit_%2", def), this), 1,
        1);

    m_table = new SmsTableEditor(def.table, this);
    grid->addWidget(m_table, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
}

void EventBlock::bind(Binder &binder, config::InputEvent &event)
{
    binder.flag(m_box, event.enSms);
    binder.text(m_duration, event.timeDelay);
    binder.table(m_table, event.list);
}

void EventBlock::bind(Binder &binder, config::AnalogThreshold &threshold)
{
    binder.flag(m_box, threshold.enSms);
    binder.text(m_level, threshold.value);
    binder.text(m_returnLevel, threshold.valueHys);
    binder.text(m_duration, threshold.timeDelay);
    binder.table(m_table, threshold.list);
}

DigitalInputPanel::DigitalInputPanel(int input, QWidget *parent) : QWidget(parent)
{
    const int n = input + 1;
    setObjectName(QStringLiteral("P_DigIn_%1").arg(n));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);

    TabStrip *strip = makeTabPair(
        QStringLiteral("P_DigIn%1_Input1").arg(n), QStringLiteral("TntL_DigIn%1_Input1").arg(n),
        QStringLiteral("P_DigIn%1_Input2").arg(n), QStringLiteral("TntL_DigIn%1_Input2").arg(n), input, this);
    m_otherTab = strip->tab(1 - input);
    column->addWidget(strip);
    column->addWidget(makeHeadingLabel(QStringLiteral("TntL_DI%1").arg(n), this));

    m_rising = new EventBlock(kDigitalEvents[input][0], false, this);
    m_falling = new EventBlock(kDigitalEvents[input][1], false, this);
    column->addWidget(m_rising);
    column->addSpacing(4);
    column->addWidget(m_falling);
    column->addStretch(1);
}

void DigitalInputPanel::bind(Binder &binder, config::DigitalInput &input)
{
    m_rising->bind(binder, input.f0t1);
    m_falling->bind(binder, input.f1t0);
}

AnalogInputPanel::AnalogInputPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("P_AnaIn_1"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    // The one tab has nothing to switch to.
    const TabDef tabs[] = {{"P_AnaIn1_Input1", "TntL_AnaIn1_Input1", TabLook::Selected}};
    column->addWidget(new TabStrip(tabs, this));
    column->addWidget(makeHeadingLabel(QStringLiteral("TntL_AI1"), this));
    m_high = new EventBlock(kAnalogEvents[0], true, this);
    m_low = new EventBlock(kAnalogEvents[1], true, this);
    column->addWidget(m_high);
    column->addSpacing(4);
    column->addWidget(m_low);
    column->addStretch(1);
}

void AnalogInputPanel::bind(Binder &binder, config::AnalogInput &input)
{
    m_high->bind(binder, input.high);
    m_low->bind(binder, input.low);
}

} // namespace ui
