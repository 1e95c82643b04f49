#include "RowChecks.h"

#include "config/Numbers.h"

namespace config {
namespace {

// The two message keys of a table: its own refusal (a message too long for an
// input table, a bad profile for an output table), and a wrong phone number.
struct RowKeys
{
    QStringView own;
    QStringView phone;
};

// Where the checked cells sit: an input row is message, phone number,
// description; an output row phone number, profile, description.
constexpr int kInputMessageColumn = 0;
constexpr int kInputPhoneColumn = 1;
constexpr int kOutputPhoneColumn = 0;
constexpr int kOutputProfileColumn = 1;

constexpr RowKeys kInputRowKeys[kInputTables] = {
    {u"Error_DI1_F0T1_SMS_Too_Long", u"Error_DI1_F0T1_Num_Phone"},
    {u"Error_DI1_F1T0_SMS_Too_Long", u"Error_DI1_F1T0_Num_Phone"},
    {u"Error_DI2_F0T1_SMS_Too_Long", u"Error_DI2_F0T1_Num_Phone"},
    {u"Error_DI2_F1T0_SMS_Too_Long", u"Error_DI2_F1T0_Num_Phone"},
    {u"Error_AI1_High_SMS_Too_Long", u"Error_AI1_High_Num_Phone"},
    {u"Error_AI1_Low_SMS_Too_Long", u"Error_AI1_Low_Num_Phone"},
};

constexpr RowKeys kOutputRowKeys[kOutputTables] = {
    {u"Error_DO1_SMS_Profile", u"Error_DO1_SMS_Num_Phone"},
    {u"Error_DO1_CALL_Profile", u"Error_DO1_CALL_Num_Phone"},
    {u"Error_DO2_SMS_Profile", u"Error_DO2_SMS_Num_Phone"},
    {u"Error_DO2_CALL_Profile", u"Error_DO2_CALL_Num_Phone"},
};

} // namespace

QString withoutPhoneSeparators(QStringView typed)
{
    QString kept;
    kept.reserve(typed.size());
    for (QChar c : typed) {
        if (c.isSpace() || c == u'-' || c == u'.' || c == u'/' || c == u'(' || c == u')')
            continue;
        kept.append(c);
    }
    return kept;
}

bool isPhoneNumberText(QStringView phone)
{
    for (QChar c : phone) {
        if (c != u'+' && (c < u'0' || c > u'9'))
            return false;
    }
    return true;
}

RowRefusal checkInputRow(QStringView message, QStringView phone, int event)
{
    const RowKeys &keys = kInputRowKeys[event];
    if (message.size() > kMaxMessageLength)
        return {keys.own, kInputMessageColumn};
    if (!isPhoneNumberText(phone))
        return {keys.phone, kInputPhoneColumn};
    return {};
}

RowRefusal checkOutputRow(QStringView phone, QStringView profile, int list)
{
    const RowKeys &keys = kOutputRowKeys[list];
    if (!isPhoneNumberText(phone))
        return {keys.phone, kOutputPhoneColumn};
    if (!profile.isEmpty()) {
        const qint32 value = parseInteger(profile).value_or(-1);
        if (value < 0 || value > 9)
            return {keys.own, kOutputProfileColumn};
    }
    return {};
}

} // namespace config
