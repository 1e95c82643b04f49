#include "OutputPanels.h"

#include "config/RowChecks.h"
#include "ui/Binder.h"
#include "ui/widgets/LengthCounter.h"
#include "ui/widgets/PageParts.h"
#include "ui/widgets/SmsTableEditor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace ui {
namespace {

constexpr CallActionDef kHangUpAction = {"Hang", "Hang_Up"};
constexpr CallActionDef kUnderAction = {"Under", "Under"};
constexpr CallActionDef kAboveAction = {"Above", "Above"};

// The radio buttons of a group: their names end in these, their ids are the operations.
struct OperationRadio
{
    const char *suffix;
    const char *icon;
};
constexpr OperationRadio kOperations[3] = {
    {"SET", ":/outputs/set.svg"}, {"RESET", ":/outputs/reset.svg"}, {"IMPULSE", ":/outputs/impulse.svg"}};

QString named(const char *pattern, int output)
{
    return QString::fromLatin1(pattern).arg(output + 1);
}

// The heading of a sub-page: its picture and its caption in the main colour.
QHBoxLayout *makeHeading(const QString &name, const char *icon, QWidget *parent)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(makeIcon(QLatin1String(icon), 20, parent));
    row->addWidget(makeHeadingLabel(name, parent), 1);
    return row;
}

} // namespace

CallActionBlock::CallActionBlock(int output, const CallActionDef &def, QWidget *parent) : QWidget(parent)
{
    const QString prefix = QStringLiteral("DO%1_CALL_").arg(output + 1);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_box = makeCheckBox(QStringLiteral("CB_") + prefix + QLatin1String(def.box), this);
    column->addWidget(m_box);

    // The radios sit in a panel of their own, so each group excludes only itself.
    auto *radios = new QWidget(this);
    auto *grid = new QGridLayout(radios);
    grid->setContentsMargins(24, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(0);
    m_group = new QButtonGroup(this);
    const QString part = prefix + QLatin1String(def.part);
    for (int op = 0; op < 3; ++op) {
        grid->addWidget(makeIcon(QLatin1String(kOperations[op].icon), 14, radios), op, 0);
        const QString name =
            QStringLiteral("RB_") + part + QLatin1Char('_') + QLatin1String(kOperations[op].suffix);
        auto *radio = new QRadioButton(builtinCaption(name), radios);
        radio->setObjectName(name);
        m_group->addButton(radio, op);
        grid->addWidget(radio, op, 1);
        m_radios[op] = radio;
    }
    m_duration = makeEdit(QStringLiteral("E_") + part + QStringLiteral("_IMPULSE_DT"), 60, radios);
    grid->addLayout(makeUnitLine(QStringLiteral("TntL_") + part + QStringLiteral("_PULSE_DURATION"),
                                 m_duration, QStringLiteral("TntL_") + part + QStringLiteral("_PD_UM"),
                                 radios),
                    2, 2);
    grid->setColumnMinimumWidth(1, 130);
    grid->setColumnStretch(2, 1);
    column->addWidget(radios);
}

void CallActionBlock::bind(Binder &binder, config::CallAction &action)
{
    binder.flag(m_box, action.enable);
    binder.operation(m_group, action.operation);
    binder.text(m_duration, action.delayTime);
    // Whichever radio is on, the duration follows the box.
    binder.enableWhen({m_radios[0], m_radios[1], m_radios[2], m_duration},
                      [&action] { return action.enable; });
}

OutputPanel::OutputPanel(int output, QWidget *parent) : QWidget(parent), m_output(output)
{
    const int n = output + 1;
    setObjectName(QStringLiteral("P_DigOut_%1").arg(n));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    TabStrip *strip = makeTabPair(QStringLiteral("P_DigOut%1_Output1").arg(n),
                                  QStringLiteral("TntL_DigOut%1_Output1").arg(n),
                                  QStringLiteral("P_DigOut%1_Output2").arg(n),
                                  QStringLiteral("TntL_DigOut%1_Output2").arg(n), output, this);
    m_otherTab = strip->tab(1 - output);
    column->addWidget(strip);

    m_subPages = new QStackedWidget(this);
    m_subPages->addWidget(buildSmsPage());
    m_subPages->addWidget(buildCallPage());
    column->addWidget(m_subPages, 1);
}

QWidget *OutputPanel::buildSmsPage()
{
    const int o = m_output;
    auto *page = new QWidget(this);
    page->setObjectName(named("P_DO%1_SMS", o));
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);

    TabStrip *strip = makeTabPair(named("P_DO%1_STSMS_SMS", o), named("TntL_DO%1_STSMS_SMS", o),
                                  named("P_DO%1_STSMS_CALL", o), named("TntL_DO%1_STSMS_CALL", o), 0, page);
    connect(strip->tab(1), &ClickPanel::clicked, this, [this] { showCall(true); });
    column->addWidget(strip);
    column->addLayout(makeHeading(named("TntL_DO%1_SMS", o), ":/outputs/sms.svg", page));
    m_smsBox = makeCheckBox(named("CB_DO%1_SMS", o), page);
    column->addWidget(m_smsBox);

    // The three command lines, indented, each edit on the right of its box.
    auto *commands = new QGridLayout;
    commands->setContentsMargins(20, 0, 0, 0);
    commands->setHorizontalSpacing(6);
    commands->setVerticalSpacing(2);
    auto commandLine = [&](int row, const char *boxName, const char *editName, QCheckBox *&box,
                           QLineEdit *&edit) {
        commands->addWidget(makeIcon(QLatin1String(kOperations[row].icon), 16, page), row, 0);
        box = makeCheckBox(named(boxName, o), page);
        commands->addWidget(box, row, 1);
        edit = makeEdit(named(editName, o), 0, page);
        new LengthCounter(edit, config::kMaxMessageLength);
        commands->addWidget(edit, row, 2);
    };
    commandLine(0, "CB_DO%1_SMS_SET", "TntE_TurnON_DO%1", m_setBox, m_setText);
    commandLine(1, "CB_DO%1_SMS_RESET", "TntE_TurnOFF_DO%1", m_resetBox, m_resetText);
    commandLine(2, "CB_DO%1_SMS_IMPULSE", "TntE_Impulse_DO%1", m_impulseBox, m_impulseText);
    commands->setColumnStretch(2, 1);
    m_impulseDuration = makeEdit(named("E_DO%1_SMS_Delay_Imp", o), 64, page);
    commands->addLayout(makeUnitLine(named("TntL_DO%1_SMS_DelayTime", o), m_impulseDuration,
                                     named("TntL_DO%1_SMS_DT_UM", o), page),
                        3, 1, 1, 2);
    column->addLayout(commands);

    m_phoneNumberBox = makeCheckBox(named("CB_DO%1_SMS_TEL", o), page);
    column->addWidget(m_phoneNumberBox);
    auto *password = new QHBoxLayout;
    password->setSpacing(6);
    m_passwordBox = makeCheckBox(named("CB_DO%1_SMS_PWD", o), page);
    m_password = makeEdit(named("TntE_PWD_DO%1", o), 120, page);
    password->addWidget(m_passwordBox);
    password->addWidget(m_password);
    password->addStretch(1);
    column->addLayout(password);
    m_sendBackBox = makeCheckBox(named("CB_DO%1_SMS_Send_Back", o), page);
    column->addWidget(m_sendBackBox);
    column->addSpacing(2);
    column->addWidget(makeLabel(named("TntL_DO%1_SMS_UserList", o), page));
    m_smsTable = new SmsTableEditor(TableId(int(TableId::DO1_SMS) + 2 * o), page);
    column->addWidget(m_smsTable);
    column->addStretch(1);
    return page;
}

QWidget *OutputPanel::buildCallPage()
{
    const int o = m_output;
    auto *page = new QWidget(this);
    page->setObjectName(named("P_DO%1_CALL", o));
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);

    TabStrip *strip = makeTabPair(named("P_DO%1_STCALL_SMS", o), named("TntL_DO%1_STCALL_SMS", o),
                                  named("P_DO%1_STCALL_CALL", o), named("TntL_DO%1_STCALL_CALL", o), 1, page);
    connect(strip->tab(0), &ClickPanel::clicked, this, [this] { showCall(false); });
    column->addWidget(strip);
    column->addLayout(makeHeading(named("TntL_DO%1_CALL", o), ":/outputs/call.svg", page));
    m_callBox = makeCheckBox(named("CB_DO%1_CALL", o), page);
    column->addWidget(m_callBox);

    auto *rings = new QHBoxLayout;
    rings->setSpacing(6);
    m_ringNumber = makeEdit(named("E_DO%1_CALL_NumRing", o), 44, page);
    m_hangUpRings = makeEdit(named("E_DO%1_CALL_HangUpRing", o), 44, page);
    QLabel *ringCaption = makeLabel(named("TntL_DO%1_CALL_Ring_Num", o), page);
    ringCaption->setBuddy(m_ringNumber);
    QLabel *hangUpCaption = makeLabel(named("TntL_DO%1_CALL_HangUp_Ring", o), page);
    hangUpCaption->setBuddy(m_hangUpRings);
    rings->addWidget(ringCaption);
    rings->addWidget(m_ringNumber);
    rings->addSpacing(40);
    rings->addWidget(hangUpCaption);
    rings->addWidget(m_hangUpRings);
    rings->addStretch(1);
    column->addLayout(rings);

    m_hangUp = new CallActionBlock(o, kHangUpAction, page);
    m_under = new CallActionBlock(o, kUnderAction, page);
    m_above = new CallActionBlock(o, kAboveAction, page);
    for (CallActionBlock *block : {m_hangUp, m_under, m_above})
        column->addWidget(block);
    column->addSpacing(2);
    m_callTable = new SmsTableEditor(TableId(int(TableId::DO1_CALL) + 2 * o), page);
    column->addWidget(m_callTable);
    column->addStretch(1);
    return page;
}

void OutputPanel::bind(Binder &b, config::DigitalOutput &out)
{
    config::OutputSms &sms = out.sms;
    b.flag(m_smsBox, sms.enable);
    b.flag(m_setBox, sms.set);
    b.text(m_setText, sms.setText);
    b.enableWhen({m_setText}, [&sms] { return sms.set; });
    b.flag(m_resetBox, sms.reset);
    b.text(m_resetText, sms.resetText);
    b.enableWhen({m_resetText}, [&sms] { return sms.reset; });
    b.flag(m_impulseBox, sms.impulse);
    b.text(m_impulseText, sms.impulseText);
    b.text(m_impulseDuration, sms.delayImpulse);
    b.enableWhen({m_impulseText, m_impulseDuration}, [&sms] { return sms.impulse; });
    b.flag(m_phoneNumberBox, sms.checkPhoneNumber);
    b.flag(m_passwordBox, sms.checkPassword);
    b.text(m_password, sms.password);
    b.enableWhen({m_password}, [&sms] { return sms.checkPassword; });
    b.flag(m_sendBackBox, sms.sendBack);
    b.table(m_smsTable, sms.list);

    config::OutputCall &call = out.call;
    b.flag(m_callBox, call.enable);
    b.text(m_ringNumber, call.ringNumber);
    b.text(m_hangUpRings, call.hangUpRing);
    m_hangUp->bind(b, call.hangUp);
    m_under->bind(b, call.under);
    m_above->bind(b, call.above);
    b.table(m_callTable, call.list);
}

void OutputPanel::showCall(bool call)
{
    m_subPages->setCurrentIndex(call ? 1 : 0);
}

} // namespace ui
