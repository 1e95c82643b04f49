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

constexpr CallActionDef kCallActions[3] = {{"Hang", "Hang_Up"}, {"Under", "Under"}, {"Above", "Above"}};

// The radio buttons of a group: their names end in these, their ids are the operations.
struct OperationRadio
{
    const char *suffix;
    const char *icon;
};
constexpr OperationRadio kOperations[3] = {
    {"SET", ":/outputs/set.svg"}, {"RESET", ":/outputs/reset.svg"}, {"IMPULSE", ":/outputs/impulse.svg"}};

// Each governing check box and the controls that are enabled while it is
// checked, with %1 for the output's number. The other boxes of the page
// govern nothing.
struct EnablingRule
{
    const char *box;
    std::initializer_list<const char *> controls;
};
const EnablingRule kEnablingRules[] = {
    {"CB_DO%1_SMS_SET", {"TntE_TurnON_DO%1"}},
    {"CB_DO%1_SMS_RESET", {"TntE_TurnOFF_DO%1"}},
    {"CB_DO%1_SMS_IMPULSE", {"TntE_Impulse_DO%1", "E_DO%1_SMS_Delay_Imp"}},
    {"CB_DO%1_SMS_PWD", {"TntE_PWD_DO%1"}},
    {"CB_DO%1_CALL_Hang_Up",
     {"RB_DO%1_CALL_Hang_SET", "RB_DO%1_CALL_Hang_RESET", "RB_DO%1_CALL_Hang_IMPULSE",
      "E_DO%1_CALL_Hang_IMPULSE_DT"}},
    {"CB_DO%1_CALL_Under",
     {"RB_DO%1_CALL_Under_SET", "RB_DO%1_CALL_Under_RESET", "RB_DO%1_CALL_Under_IMPULSE",
      "E_DO%1_CALL_Under_IMPULSE_DT"}},
    {"CB_DO%1_CALL_Above",
     {"RB_DO%1_CALL_Above_SET", "RB_DO%1_CALL_Above_RESET", "RB_DO%1_CALL_Above_IMPULSE",
      "E_DO%1_CALL_Above_IMPULSE_DT"}},
};

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
    column->addWidget(makeCheckBox(named("CB_DO%1_SMS", o), page));

    // The three command lines, indented, each edit on the right of its box.
    auto *commands = new QGridLayout;
    commands->setContentsMargins(20, 0, 0, 0);
    commands->setHorizontalSpacing(6);
    commands->setVerticalSpacing(2);
    const char *boxes[3] = {"CB_DO%1_SMS_SET", "CB_DO%1_SMS_RESET", "CB_DO%1_SMS_IMPULSE"};
    const char *edits[3] = {"TntE_TurnON_DO%1", "TntE_TurnOFF_DO%1", "TntE_Impulse_DO%1"};
    for (int i = 0; i < 3; ++i) {
        commands->addWidget(makeIcon(QLatin1String(kOperations[i].icon), 16, page), i, 0);
        commands->addWidget(makeCheckBox(named(boxes[i], o), page), i, 1);
        QLineEdit *command = makeEdit(named(edits[i], o), 0, page);
        new LengthCounter(command, config::kMaxMessageLength);
        commands->addWidget(command, i, 2);
    }
    commands->setColumnStretch(2, 1);
    commands->addLayout(makeUnitLine(named("TntL_DO%1_SMS_DelayTime", o),
                                     makeEdit(named("E_DO%1_SMS_Delay_Imp", o), 64, page),
                                     named("TntL_DO%1_SMS_DT_UM", o), page),
                        3, 1, 1, 2);
    column->addLayout(commands);

    column->addWidget(makeCheckBox(named("CB_DO%1_SMS_TEL", o), page));
    auto *password = new QHBoxLayout;
    password->setSpacing(6);
    password->addWidget(makeCheckBox(named("CB_DO%1_SMS_PWD", o), page));
    password->addWidget(makeEdit(named("TntE_PWD_DO%1", o), 120, page));
    password->addStretch(1);
    column->addLayout(password);
    column->addWidget(makeCheckBox(named("CB_DO%1_SMS_Send_Back", o), page));
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
    column->addWidget(makeCheckBox(named("CB_DO%1_CALL", o), page));

    auto *rings = new QHBoxLayout;
    rings->setSpacing(6);
    QLineEdit *ringNumber = makeEdit(named("E_DO%1_CALL_NumRing", o), 44, page);
    QLineEdit *hangUpRings = makeEdit(named("E_DO%1_CALL_HangUpRing", o), 44, page);
    QLabel *ringCaption = makeLabel(named("TntL_DO%1_CALL_Ring_Num", o), page);
    ringCaption->setBuddy(ringNumber);
    QLabel *hangUpCaption = makeLabel(named("TntL_DO%1_CALL_HangUp_Ring", o), page);
    hangUpCaption->setBuddy(hangUpRings);
    rings->addWidget(ringCaption);
    rings->addWidget(ringNumber);
    rings->addSpacing(40);
    rings->addWidget(hangUpCaption);
    rings->addWidget(hangUpRings);
    rings->addStretch(1);
    column->addLayout(rings);

    for (int a = 0; a < 3; ++a) {
        m_actions[a] = new CallActionBlock(o, kCallActions[a], page);
        column->addWidget(m_actions[a]);
    }
    column->addSpacing(2);
    m_callTable = new SmsTableEditor(TableId(int(TableId::DO1_CALL) + 2 * o), page);
    column->addWidget(m_callTable);
    column->addStretch(1);
    return page;
}

void OutputPanel::bind(Binder &binder, config::DigitalOutput &out)
{
    const int o = m_output;
    auto box = [&](const char *pattern) { return findChild<QCheckBox *>(named(pattern, o)); };
    auto edit = [&](const char *pattern) { return findChild<QLineEdit *>(named(pattern, o)); };

    config::OutputSms &sms = out.sms;
    binder.flag(box("CB_DO%1_SMS"), sms.enable);
    binder.flag(box("CB_DO%1_SMS_SET"), sms.set);
    binder.text(edit("TntE_TurnON_DO%1"), sms.setText);
    binder.flag(box("CB_DO%1_SMS_RESET"), sms.reset);
    binder.text(edit("TntE_TurnOFF_DO%1"), sms.resetText);
    binder.flag(box("CB_DO%1_SMS_IMPULSE"), sms.impulse);
    binder.text(edit("TntE_Impulse_DO%1"), sms.impulseText);
    binder.text(edit("E_DO%1_SMS_Delay_Imp"), sms.delayImpulse);
    binder.flag(box("CB_DO%1_SMS_TEL"), sms.checkPhoneNumber);
    binder.flag(box("CB_DO%1_SMS_PWD"), sms.checkPassword);
    binder.text(edit("TntE_PWD_DO%1"), sms.password);
    binder.flag(box("CB_DO%1_SMS_Send_Back"), sms.sendBack);
    binder.table(m_smsTable, sms.list);

    config::OutputCall &call = out.call;
    binder.flag(box("CB_DO%1_CALL"), call.enable);
    binder.text(edit("E_DO%1_CALL_NumRing"), call.ringNumber);
    binder.text(edit("E_DO%1_CALL_HangUpRing"), call.hangUpRing);
    m_actions[0]->bind(binder, call.hangUp);
    m_actions[1]->bind(binder, call.under);
    m_actions[2]->bind(binder, call.above);
    binder.table(m_callTable, call.list);

    for (const EnablingRule &rule : kEnablingRules) {
        QCheckBox *governing = box(rule.box);
        QList<QWidget *> controls;
        for (const char *name : rule.controls)
            controls.append(findChild<QWidget *>(named(name, o)));
        // The box shows its field at every refresh and edit, so it stands for it.
        binder.enableWhen(controls, [governing] { return governing->isChecked(); });
    }
}

void OutputPanel::showCall(bool call)
{
    m_subPages->setCurrentIndex(call ? 1 : 0);
}

} // namespace ui
