#include "CheckedFields.h"

#include "lang/LanguageTexts.h"
#include "ui/PageContext.h"
#include "ui/widgets/Theme.h"

#include <QStringList>
#include <QWidget>

namespace ui {
namespace {

// In check order.
constexpr const char *kControlNames[config::kCheckCount] = {
    "TntE_PIN",
    "E_TimeDelay_DI1_F0T1",
    "SG_SMS_DI1_F0T1",
    "E_TimeDelay_DI1_F1T0",
    "SG_SMS_DI1_F1T0",
    "E_TimeDelay_DI2_F0T1",
    "SG_SMS_DI2_F0T1",
    "E_TimeDelay_DI2_F1T0",
    "SG_SMS_DI2_F1T0",
    "E_AI1_Val_High",
    "E_TimeDelay_AI1_High",
    "E_AI1_Val_High_Hys",
    "SG_SMS_AI1_High",
    "E_AI1_Val_Low",
    "E_TimeDelay_AI1_Low",
    "E_AI1_Val_Low_Hys",
    "SG_SMS_AI1_Low",
    "TntE_TurnON_DO1",
    "TntE_TurnOFF_DO1",
    "TntE_Impulse_DO1",
    "E_DO1_SMS_Delay_Imp",
    "SG_DO1_SMS",
    "E_DO1_CALL_NumRing",
    "E_DO1_CALL_HangUpRing",
    "E_DO1_CALL_Hang_IMPULSE_DT",
    "E_DO1_CALL_Under_IMPULSE_DT",
    "E_DO1_CALL_Above_IMPULSE_DT",
    "SG_DO1_CALL",
    "TntE_TurnON_DO2",
    "TntE_TurnOFF_DO2",
    "TntE_Impulse_DO2",
    "E_DO2_SMS_Delay_Imp",
    "SG_DO2_SMS",
    "E_DO2_CALL_NumRing",
    "E_DO2_CALL_HangUpRing",
    "E_DO2_CALL_Hang_IMPULSE_DT",
    "E_DO2_CALL_Under_IMPULSE_DT",
    "E_DO2_CALL_Above_IMPULSE_DT",
    "SG_DO2_CALL",
};

} // namespace

QLatin1StringView checkControlName(int check)
{
    if (check < 1 || check > config::kCheckCount)
        return {};
    return QLatin1StringView(kControlNames[check - 1]);
}

CheckedFields::CheckedFields(QWidget *window, PageContext &context) : QObject(window), m_context(context)
{
    findControls(window);
}

void CheckedFields::findControls(QWidget *root)
{
    for (int check = 1; check <= config::kCheckCount; ++check) {
        QPointer<QWidget> &control = m_controls[size_t(check - 1)];
        if (!control)
            control = root->findChild<QWidget *>(checkControlName(check));
    }
}

void CheckedFields::pageBuilt(QWidget *page)
{
    findControls(page);
    updateMarks();
}

QStringList CheckedFields::missingControls() const
{
    QStringList missing;
    for (int check = 1; check <= config::kCheckCount; ++check) {
        if (!m_controls[size_t(check - 1)])
            missing << checkControlName(check);
    }
    return missing;
}

QWidget *CheckedFields::control(int check) const
{
    return check >= 1 && check <= config::kCheckCount ? m_controls[size_t(check - 1)].data() : nullptr;
}

void CheckedFields::updateMarks()
{
    std::array<QString, config::kCheckCount> reasons;
    for (const config::CheckFailure &failure : config::fieldFailures(m_context.configuration()))
        reasons[size_t(failure.check - 1)] =
            config::failureText(failure, m_context.texts().messageText(failure.key));
    for (int check = 1; check <= config::kCheckCount; ++check) {
        QWidget *control = m_controls[size_t(check - 1)];
        if (control && !config::isRowCheck(check))
            setRefusalMark(control, reasons[size_t(check - 1)]);
    }
}

} // namespace ui
