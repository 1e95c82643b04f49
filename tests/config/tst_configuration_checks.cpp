// The checks before a save: each of the 39 refuses its own value with its own
// message, in a fixed order, and the edge values of each kind of rule.
#include "config/ConfigurationChecks.h"

#include <QTest>

using namespace config;

namespace {

using Edit = void (*)(Configuration &);

Configuration fresh()
{
    Configuration c;
    c.setNewDefaults();
    return c;
}

// Three rows, the third refused by a character that is not "+" or a digit.
void badThirdPhone(SmsTable &t, bool output)
{
    QList<TableRow> rows = {{"+39", "", ""}, {"", "", "d"}, {"+3 9", "", ""}};
    if (!output) {
        for (TableRow &r : rows)
            std::swap(r[0], r[1]);
    }
    t.setRows(rows);
}

struct Case
{
    const char *name;
    Edit edit;
    int check;
    const char *key;
    int row;
    int column = 0; // of the refused cell, for a row
};

// clang-format off
const Case kOneRefusalEach[] = {
    {"PIN", [](Configuration &c) { c.pin = "12a"; }, 1, "Error_in_Pin", 0},
    {"DI1 rising duration", [](Configuration &c) { c.digitalInputs[0].f0t1.timeDelay = "0"; }, 2, "Error_DI1_F0T1_DelayTime", 0},
    {"DI1 rising rows", [](Configuration &c) { badThirdPhone(c.digitalInputs[0].f0t1.list, false); }, 3, "Error_DI1_F0T1_Num_Phone", 3, 1},
    {"DI1 falling duration", [](Configuration &c) { c.digitalInputs[0].f1t0.timeDelay = "60001"; }, 4, "Error_DI1_F1T0_DelayTime", 0},
    {"DI1 falling rows", [](Configuration &c) { c.digitalInputs[0].f1t0.list.setRows({{QString(65, u'm'), "", ""}}); }, 5, "Error_DI1_F1T0_SMS_Too_Long", 1},
    {"DI2 rising duration", [](Configuration &c) { c.digitalInputs[1].f0t1.timeDelay = ""; }, 6, "Error_DI2_F0T1_DelayTime", 0},
    {"DI2 rising rows", [](Configuration &c) { badThirdPhone(c.digitalInputs[1].f0t1.list, false); }, 7, "Error_DI2_F0T1_Num_Phone", 3, 1},
    {"DI2 falling duration", [](Configuration &c) { c.digitalInputs[1].f1t0.timeDelay = "1.5"; }, 8, "Error_DI2_F1T0_DelayTime", 0},
    {"DI2 falling rows", [](Configuration &c) { badThirdPhone(c.digitalInputs[1].f1t0.list, false); }, 9, "Error_DI2_F1T0_Num_Phone", 3, 1},
    {"high level", [](Configuration &c) { c.analogInput.high.value = "10,5"; c.analogInput.high.valueHys = "1"; }, 10, "Error_AI1_Val_High", 0},
    {"high duration", [](Configuration &c) { c.analogInput.high.timeDelay = "x"; }, 11, "Error_AI1_Val_High_DelayTime", 0},
    {"high return", [](Configuration &c) { c.analogInput.high.valueHys = "7.5"; }, 12, "Error_AI1_Val_High_Hys", 0},
    {"high rows", [](Configuration &c) { badThirdPhone(c.analogInput.high.list, false); }, 13, "Error_AI1_High_Num_Phone", 3, 1},
    {"low level", [](Configuration &c) { c.analogInput.low.value = "-1"; }, 14, "Error_AI1_Val_Low", 0},
    {"low duration", [](Configuration &c) { c.analogInput.low.timeDelay = "-5"; }, 15, "Error_AI1_Val_Low_DelayTime", 0},
    {"low return", [](Configuration &c) { c.analogInput.low.valueHys = "2,0"; }, 16, "Error_AI1_Val_Low_Hys", 0},
    {"low rows", [](Configuration &c) { c.analogInput.low.list.setRows({{"", "", ""}, {QString(65, u'm'), "", ""}}); }, 17, "Error_AI1_Low_SMS_Too_Long", 2},
    {"DO1 set text", [](Configuration &c) { c.digitalOutputs[0].sms.set = true; c.digitalOutputs[0].sms.setText = QString(65, u's'); }, 18, "Error_DO1_SMS_Set_Out_SMS_Too_Long", 0},
    {"DO1 reset text", [](Configuration &c) { c.digitalOutputs[0].sms.reset = true; c.digitalOutputs[0].sms.resetText = QString(65, u's'); }, 19, "Error_DO1_SMS_Reset_Out_SMS_Too_Long", 0},
    {"DO1 impulse text", [](Configuration &c) { c.digitalOutputs[0].sms.impulse = true; c.digitalOutputs[0].sms.impulseText = QString(65, u's'); }, 20, "Error_DO1_SMS_Impulse_Out_SMS_Too_Long", 0},
    {"DO1 SMS pulse", [](Configuration &c) { c.digitalOutputs[0].sms.delayImpulse = "0"; }, 21, "Error_DO1_SMS_DelayTime", 0},
    {"DO1 SMS rows", [](Configuration &c) { c.digitalOutputs[0].sms.list.setRows({{"+1", "10", ""}}); }, 22, "Error_DO1_SMS_Profile", 1, 1},
    {"DO1 rings", [](Configuration &c) { c.digitalOutputs[0].call.ringNumber = "21"; }, 23, "Error_DO1_CALL_NumRing", 0},
    {"DO1 hang-up rings", [](Configuration &c) { c.digitalOutputs[0].call.hangUpRing = "0"; }, 24, "Error_DO1_CALL_HangUpRing", 0},
    {"DO1 hang-up pulse", [](Configuration &c) { c.digitalOutputs[0].call.hangUp.delayTime = ""; }, 25, "Error_DO1_CALL_Hang_IMPULSE_DT", 0},
    {"DO1 under pulse", [](Configuration &c) { c.digitalOutputs[0].call.under.delayTime = "60001"; }, 26, "Error_DO1_CALL_Under_IMPULSE_DT", 0},
    {"DO1 above pulse", [](Configuration &c) { c.digitalOutputs[0].call.above.delayTime = "0"; }, 27, "Error_DO1_CALL_Above_IMPULSE_DT", 0},
    {"DO1 CALL rows", [](Configuration &c) { badThirdPhone(c.digitalOutputs[0].call.list, true); }, 28, "Error_DO1_CALL_Num_Phone", 3},
    {"DO2 set text", [](Configuration &c) { c.digitalOutputs[1].sms.set = true; c.digitalOutputs[1].sms.setText = QString(65, u's'); }, 29, "Error_DO2_SMS_Set_Out_SMS_Too_Long", 0},
    {"DO2 reset text", [](Configuration &c) { c.digitalOutputs[1].sms.reset = true; c.digitalOutputs[1].sms.resetText = QString(65, u's'); }, 30, "Error_DO2_SMS_Reset_Out_SMS_Too_Long", 0},
    {"DO2 impulse text", [](Configuration &c) { c.digitalOutputs[1].sms.impulse = true; c.digitalOutputs[1].sms.impulseText = QString(65, u's'); }, 31, "Error_DO2_SMS_Impulse_Out_SMS_Too_Long", 0},
    {"DO2 SMS pulse", [](Configuration &c) { c.digitalOutputs[1].sms.delayImpulse = "abc"; }, 32, "Error_DO2_SMS_DelayTime", 0},
    {"DO2 SMS rows", [](Configuration &c) { c.digitalOutputs[1].sms.list.setRows({{"+1", "a", ""}}); }, 33, "Error_DO2_SMS_Profile", 1, 1},
    {"DO2 rings", [](Configuration &c) { c.digitalOutputs[1].call.ringNumber = "0"; }, 34, "Error_DO2_CALL_NumRing", 0},
    {"DO2 hang-up rings", [](Configuration &c) { c.digitalOutputs[1].call.hangUpRing = "21"; }, 35, "Error_DO2_CALL_HangUpRing", 0},
    {"DO2 hang-up pulse", [](Configuration &c) { c.digitalOutputs[1].call.hangUp.delayTime = "-1"; }, 36, "Error_DO2_CALL_Hang_IMPULSE_DT", 0},
    {"DO2 under pulse", [](Configuration &c) { c.digitalOutputs[1].call.under.delayTime = "0"; }, 37, "Error_DO2_CALL_Under_IMPULSE_DT", 0},
    {"DO2 above pulse", [](Configuration &c) { c.digitalOutputs[1].call.above.delayTime = "1e3"; }, 38, "Error_DO2_CALL_Above_IMPULSE_DT", 0},
    {"DO2 CALL rows", [](Configuration &c) { badThirdPhone(c.digitalOutputs[1].call.list, true); }, 39, "Error_DO2_CALL_Num_Phone", 3},
};

struct Edge
{
    const char *name;
    Edit edit;
    const char *key; // empty: the configuration passes
};

const Edge kEdges[] = {
    {"empty PIN", [](Configuration &c) { c.pin = ""; }, ""},
    {"eight-digit PIN", [](Configuration &c) { c.pin = "12345678"; }, ""},
    {"nine-digit PIN", [](Configuration &c) { c.pin = "123456789"; }, "Error_in_Pin"},
    {"PIN with a blank", [](Configuration &c) { c.pin = "12 34"; }, "Error_in_Pin"},
    {"bad PIN before bad duration", [](Configuration &c) { c.pin = "x"; c.digitalInputs[0].f0t1.timeDelay = "0"; }, "Error_in_Pin"},
    {"duration 1", [](Configuration &c) { c.digitalInputs[0].f0t1.timeDelay = "1"; }, ""},
    {"duration 60000", [](Configuration &c) { c.digitalInputs[0].f0t1.timeDelay = "60000"; }, ""},
    {"duration with a plus", [](Configuration &c) { c.digitalInputs[0].f0t1.timeDelay = "+250"; }, ""},
    {"duration beyond 32 bits", [](Configuration &c) { c.digitalInputs[0].f0t1.timeDelay = "4294967297"; }, "Error_DI1_F0T1_DelayTime"},
    {"high level 10", [](Configuration &c) { c.analogInput.high.value = "10"; }, ""},
    {"high level 10.5", [](Configuration &c) { c.analogInput.high.value = "10.5"; }, "Error_AI1_Val_High"},
    {"high level with an exponent", [](Configuration &c) { c.analogInput.high.value = "0.8e1"; }, ""},
    {"high return 0", [](Configuration &c) { c.analogInput.high.valueHys = "0"; }, ""},
    {"high return equal to its level", [](Configuration &c) { c.analogInput.high.valueHys = "7,5"; }, "Error_AI1_Val_High_Hys"},
    {"low return equal to its level", [](Configuration &c) { c.analogInput.low.valueHys = "2"; }, "Error_AI1_Val_Low_Hys"},
    {"low return 12", [](Configuration &c) { c.analogInput.low.valueHys = "12"; }, ""},
    {"70-character SET text, unchecked", [](Configuration &c) { c.digitalOutputs[0].sms.setText = QString(70, u's'); }, ""},
    {"70-character SET text, checked", [](Configuration &c) { c.digitalOutputs[0].sms.setText = QString(70, u's'); c.digitalOutputs[0].sms.set = true; }, "Error_DO1_SMS_Set_Out_SMS_Too_Long"},
    {"rings 1 and 20", [](Configuration &c) { c.digitalOutputs[0].call.ringNumber = "1"; c.digitalOutputs[0].call.hangUpRing = "20"; }, ""},
    {"long password is never checked", [](Configuration &c) { c.digitalOutputs[0].sms.password = QString(99, u'p'); }, ""},
    {"empty rows pass", [](Configuration &c) { c.digitalOutputs[1].call.list.setRows({{"", "", ""}, {"", "", ""}}); }, ""},
    {"row not stored is still checked", [](Configuration &c) { c.digitalOutputs[1].call.list.setRows({{"", "x", ""}}); }, "Error_DO2_CALL_Profile"},
};
// clang-format on

} // namespace

class TestConfigurationChecks : public QObject
{
    Q_OBJECT

private slots:
    void newConfigurationPasses()
    {
        QCOMPARE(firstFailure(fresh()), std::nullopt);
        QCOMPARE(firstFailure(Configuration()), std::nullopt);
    }

    void eachCheckRefusesItsOwnValue_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kOneRefusalEach)); ++i)
            QTest::newRow(kOneRefusalEach[i].name) << i;
    }

    void eachCheckRefusesItsOwnValue()
    {
        QFETCH(int, index);
        const Case &k = kOneRefusalEach[index];
        QCOMPARE(k.check, index + 1);
        Configuration c = fresh();
        k.edit(c);
        const std::optional<CheckFailure> failure = firstFailure(c);
        QVERIFY(failure);
        QCOMPARE(*failure, (CheckFailure{k.check, QString::fromLatin1(k.key), k.row, k.column}));
        // Judged alone, the check answers the same; the checks of one value
        // are the ones the window marks as the user types.
        QCOMPARE(judgeCheck(k.check, c), failure);
        QCOMPARE(isRowCheck(k.check), k.row > 0);
        const QList<CheckFailure> marked = fieldFailures(c);
        QCOMPARE(marked, k.row > 0 ? QList<CheckFailure>{} : QList<CheckFailure>{*failure});
    }

    // Every refused value is marked, not only the first; the row checks are
    // left to the tables.
    void fieldFailuresListsEveryRefusedValue()
    {
        // The refused trigger levels are left out: a return level is judged
        // against its trigger level, and a refused one could let it pass.
        auto isTrigger = [](const Case &k) { return k.check == 10 || k.check == 14; };
        Configuration c = fresh();
        QList<int> expected;
        for (const Case &k : kOneRefusalEach) {
            if (isTrigger(k))
                continue;
            k.edit(c);
            if (k.row == 0)
                expected.append(k.check);
        }
        QList<int> checks;
        for (const CheckFailure &f : fieldFailures(c))
            checks.append(f.check);
        QCOMPARE(checks, expected);
        QCOMPARE(fieldFailures(fresh()), QList<CheckFailure>{});
        QCOMPARE(judgeCheck(0, c), std::nullopt);
        QCOMPARE(judgeCheck(kCheckCount + 1, c), std::nullopt);
    }

    void checksRunInTheirOrder()
    {
        // With the values of check k and of every later check refused, check k answers.
        for (const Case &k : kOneRefusalEach) {
            Configuration c = fresh();
            for (const Case &later : kOneRefusalEach) {
                if (later.check >= k.check)
                    later.edit(c);
            }
            const std::optional<CheckFailure> failure = firstFailure(c);
            QVERIFY(failure);
            QCOMPARE(failure->check, k.check);
        }
    }

    void edgeValues_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kEdges)); ++i)
            QTest::newRow(kEdges[i].name) << i;
    }

    void edgeValues()
    {
        QFETCH(int, index);
        Configuration c = fresh();
        kEdges[index].edit(c);
        const std::optional<CheckFailure> failure = firstFailure(c);
        QCOMPARE(failure ? failure->key : QString(), QString::fromLatin1(kEdges[index].key));
    }

    void refusalTextEndsWithTheRowNumber()
    {
        QCOMPARE(
            failureText({28, "Error_DO1_CALL_Num_Phone", 3}, "Error! DO1 CALL, Phone Number wrong. Row "),
            QStringLiteral("Error! DO1 CALL, Phone Number wrong. Row 3"));
        // The command-text checks show their text as it stands.
        QCOMPARE(failureText({18, "Error_DO1_SMS_Set_Out_SMS_Too_Long", 0}, "Too long. Row "),
                 QStringLiteral("Too long. Row "));
    }
};

QTEST_APPLESS_MAIN(TestConfigurationChecks)
#include "tst_configuration_checks.moc"
