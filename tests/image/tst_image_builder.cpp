// Compiling the element tree of Configuration.xml into the image model: the
// string tables and their order, the input events, the profile masks, the
// SMS and CALL records, and every error that stops a build.
#include "helper_config_xml.h"
#include "helper_image.h"
#include "image/ImageBuilder.h"

#include <QTest>

using namespace image;

namespace {

QString hex(quint32 value)
{
    return QStringLiteral("0x%1").arg(value, 8, 16, QLatin1Char('0'));
}

QString describe(const InputEvent &event)
{
    QStringList list;
    for (const SmsTarget &target : event.smsList)
        list.append(QStringLiteral("%1:%2").arg(target.phoneIndex).arg(target.messageIndex));
    return QStringLiteral("%1/%2/%3 [%4]")
        .arg(event.timeDelay)
        .arg(event.threshold)
        .arg(hex(event.flags), list.join(u' '));
}

QString describe(const SmsEvent &event)
{
    QStringList echo, allowed;
    for (const SmsTarget &target : event.echoList)
        echo.append(QStringLiteral("%1:%2").arg(target.phoneIndex).arg(target.messageIndex));
    for (const PhoneProfile &number : event.allowedNumbers)
        allowed.append(QStringLiteral("%1:%2").arg(number.phoneIndex).arg(number.profile));
    return QStringLiteral("text=%1 pw=%2 checks=%3 action=%4 echo=[%5] allowed=[%6]")
        .arg(event.textIndex)
        .arg(event.passwordIndex)
        .arg(event.checks)
        .arg(hex(event.action), echo.join(u' '), allowed.join(u' '));
}

QString describe(const CallEvent &event)
{
    return QStringLiteral("phone=%1 profile=%2 rings=%3/%4 under=%5 above=%6 hangup=%7")
        .arg(event.phoneIndex)
        .arg(event.profile)
        .arg(event.ringNumber)
        .arg(event.hangUpRings)
        .arg(hex(event.underRingAction), hex(event.aboveRingAction), hex(event.hangUpAction));
}

template <typename T> QStringList describeAll(const QList<T> &records)
{
    QStringList out;
    for (const T &record : records)
        out.append(describe(record));
    return out;
}

CompileResult compile(const QStringList &edits)
{
    return compileConfiguration(*ConfigXml().apply(edits).parsed().root);
}

} // namespace

class TestImageBuilder : public QObject
{
    Q_OBJECT

private slots:
    void newConfigurationGivesEmptyModel();
    void stringTables_data();
    void stringTables();
    void inputEvents_data();
    void inputEvents();
    void voltThresholds_data();
    void voltThresholds();
    void profileWords_data();
    void profileWords();
    void phoneSettings_data();
    void phoneSettings();
    void smsEvents_data();
    void smsEvents();
    void callEvents_data();
    void callEvents();
    void errors_data();
    void errors();
    void offSwitchSkipsElementsBelowIt();
    void compilingTwiceGivesTheSameModel();
};

void TestImageBuilder::newConfigurationGivesEmptyModel()
{
    const CompileResult result = compile({});
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.model, testimage::newConfigurationModel());
}

void TestImageBuilder::stringTables_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QByteArrayList>("phones");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("passwords");

    QTest::newRow("same number in two events is stored once")
        << QStringList{"DI1/En_SMS_F0T1=1", "+DI1/List_SMS_F0T1=a|111", "DI2/En_SMS_F1T0=1",
                       "+DI2/List_SMS_F1T0=b|111"}
        << QByteArrayList{"111"} << QStringList{"a", "b"} << QStringList{};
    QTest::newRow("blanks and control characters around a number are trimmed")
        << QStringList{"DI1/En_SMS_F0T1=1", "+DI1/List_SMS_F0T1=a|111", "+DI1/List_SMS_F0T1=a| 111\t",
                       "+DI1/List_SMS_F0T1=a|\n111 "}
        << QByteArrayList{"111"} << QStringList{"a"} << QStringList{};
    QTest::newRow("blanks inside a number stay")
        << QStringList{"DI1/En_SMS_F0T1=1", "+DI1/List_SMS_F0T1=a|111 222"} << QByteArrayList{"111 222"}
        << QStringList{"a"} << QStringList{};
    QTest::newRow("messages that differ in case are two entries")
        << QStringList{"DI1/En_SMS_F0T1=1", "+DI1/List_SMS_F0T1=Alarm|1", "+DI1/List_SMS_F0T1=alarm|1",
                       "+DI1/List_SMS_F0T1= Alarm |1"}
        << QByteArrayList{"1"} << QStringList{"Alarm", "alarm"} << QStringList{};
    QTest::newRow("an empty message is an entry like any other")
        << QStringList{"DI1/En_SMS_F0T1=1", "+DI1/List_SMS_F0T1=|1", "+DI1/List_SMS_F0T1=x|2"}
        << QByteArrayList{"1", "2"} << QStringList{"", "x"} << QStringList{};
    QTest::newRow("an event that is off gathers nothing")
        << QStringList{"+DI1/List_SMS_F0T1=a|1", "AI/En_SMS_Low=0", "+AI/List_SMS_Low=b|2"}
        << QByteArrayList{} << QStringList{} << QStringList{};
    QTest::newRow("the collection order, not the document order, gives the index")
        << QStringList{"DO1.CALL/Enable_from_CALL=1",
                       "+DO1.CALL/List_SMS=999|0",
                       "AI/En_SMS_Low=1",
                       "+AI/List_SMS_Low=low|555",
                       "DI1/En_SMS_F0T1=1",
                       "+DI1/List_SMS_F0T1=rise|111",
                       "DI2/En_SMS_F0T1=1",
                       "+DI2/List_SMS_F0T1=rise2|222"}
        << QByteArrayList{"111", "222", "555", "999"} << QStringList{"rise", "rise2", "low"} << QStringList{};
    QTest::newRow("a row gives its number before its message")
        << QStringList{"DI1/En_SMS_F1T0=1", "+DI1/List_SMS_F1T0=m1|1", "+DI1/List_SMS_F1T0=m2|2"}
        << QByteArrayList{"1", "2"} << QStringList{"m1", "m2"} << QStringList{};
    QTest::newRow("command texts only while commands by SMS are on")
        << QStringList{"DO1.SMS/Set_from_SMS=1", "DO1.SMS/Reset_from_SMS=1", "DO2.SMS/Enable_from_SMS=1",
                       "DO2.SMS/Impulse_from_SMS=1", "DO2.SMS/Reset_from_SMS=1"}
        << QByteArrayList{} << QStringList{"Turn Off DO2", "Impulse DO2"} << QStringList{};
    QTest::newRow("password and allowed numbers gathered by their checks alone")
        << QStringList{"DO1.SMS/Check_Password_from_SMS=1", "DO1.SMS/Check_Phone_Number_from_SMS=1",
                       "+DO1.SMS/List_SMS=333|1"}
        << QByteArrayList{"333"} << QStringList{} << QStringList{"7839"};
    QTest::newRow("passwords are trimmed and kept once")
        << QStringList{"DO1.SMS/Check_Password_from_SMS=1", "DO1.SMS/Password_from_SMS_Text= pw ",
                       "DO2.SMS/Check_Password_from_SMS=1", "DO2.SMS/Password_from_SMS_Text=pw"}
        << QByteArrayList{} << QStringList{} << QStringList{"pw"};
    QTest::newRow("numbers in Windows-1252, unknown characters as ?")
        << QStringList{"DI1/En_SMS_F0T1=1", QString::fromUtf8("+DI1/List_SMS_F0T1=a|\u20ac1\u00e9"),
                       QString::fromUtf8("+DI1/List_SMS_F0T1=a|\u0416")}
        << QByteArrayList{"\x80"
                          "1\xe9",
                          "?"}
        << QStringList{"a"} << QStringList{};
    QTest::newRow("allowed number not gathered is appended in the event pass")
        << QStringList{"DI1/En_SMS_F0T1=1",      "+DI1/List_SMS_F0T1=a|111", "DO1.SMS/Enable_from_SMS=1",
                       "DO1.SMS/Set_from_SMS=1", "+DO1.SMS/List_SMS=777|0",  "+DO1.SMS/List_SMS=111|0"}
        << QByteArrayList{"111", "777"} << QStringList{"a", "Turn On DO1"} << QStringList{};
}

void TestImageBuilder::stringTables()
{
    QFETCH(QStringList, edits);
    QFETCH(QByteArrayList, phones);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, passwords);
    const CompileResult result = compile(edits);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.model.phoneNumbers, QList<QByteArray>(phones));
    QCOMPARE(result.model.messages, QList<QString>(messages));
    QCOMPARE(result.model.passwords, QList<QString>(passwords));
}

void TestImageBuilder::inputEvents_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("events"); // all eight, in record order

    const QString off = QStringLiteral("0/0/0x00000000 []");
    QTest::newRow("every event off") << QStringList{} << QStringList(8, off);
    QTest::newRow("digital input 1 rise with two rows")
        << QStringList{"DI1/En_SMS_F0T1=1", "DI1/Time_Delay_F0T1=250", "+DI1/List_SMS_F0T1=a|1",
                       "+DI1/List_SMS_F0T1=b|2"}
        << QStringList{"250/0/0x00000040 [0:0 1:1]", off, off, off, off, off, off, off};
    QTest::newRow("an event that is off is zero whatever it holds")
        << QStringList{"DI1/Time_Delay_F1T0=abc", "+DI1/List_SMS_F1T0=a|1", "DI2/En_SMS_F1T0=1",
                       "DI2/Time_Delay_F1T0=60000", "+DI2/List_SMS_F1T0=b|2"}
        << QStringList{off, off, off, "60000/0/0x00000040 [0:0]", off, off, off, off};
    QTest::newRow("switched on with an empty list")
        << QStringList{"DI2/En_SMS_F0T1=1", "DI2/Time_Delay_F0T1=0"}
        << QStringList{off, off, "0/0/0x00000040 []", off, off, off, off, off};
    QTest::newRow("delay of 65535 and leading zeros")
        << QStringList{"DI1/En_SMS_F1T0=1", "DI1/Time_Delay_F1T0=065535"}
        << QStringList{off, "65535/0/0x00000040 []", off, off, off, off, off, off};
    QTest::newRow("analog high side: trigger and return to rest")
        << QStringList{"AI/En_SMS_High=1", "AI/Time_Delay_High=1000", "+AI/List_SMS_High=hi|9"}
        << QStringList{off, off, off, off, "1000/540/0x00000040 [0:0]", off, "100/468/0x00000000 []", off};
    QTest::newRow("analog low side: trigger and return to rest")
        << QStringList{"AI/En_SMS_Low=1", "AI/Value_Low=2", "AI/Value_Low_Hys=3"}
        << QStringList{off, off, off, off, off, "100/144/0x00000040 []", off, "100/216/0x00000000 []"};
    QTest::newRow("analog high off: 4 and 6 zero whatever the return level holds")
        << QStringList{"AI/Value_High_Hys=abc", "AI/Value_High=?"} << QStringList(8, off);
    QTest::newRow("missing return level means 1.0 V")
        << QStringList{"AI/En_SMS_High=1", "-AI/Value_High_Hys"}
        << QStringList{off, off, off, off, "100/540/0x00000040 []", off, "100/72/0x00000000 []", off};
}

void TestImageBuilder::inputEvents()
{
    QFETCH(QStringList, edits);
    QFETCH(QStringList, events);
    const CompileResult result = compile(edits);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QStringList actual;
    for (const InputEvent &event : result.model.inputEvents)
        actual.append(describe(event));
    QCOMPARE(actual, events);
}

// Counts are volts x 72, rounded half to even, with "." or "," whatever the
// locale (the test runs under the C locale).
void TestImageBuilder::voltThresholds_data()
{
    QTest::addColumn<QString>("volts");
    QTest::addColumn<int>("counts");
    QTest::newRow("10 V") << "10" << 720;
    QTest::newRow("8 V") << "8" << 576;
    QTest::newRow("1 V") << "1" << 72;
    QTest::newRow("0 V") << "0" << 0;
    QTest::newRow("comma separator") << "7,5" << 540;
    QTest::newRow("point separator") << "7.5" << 540;
    QTest::newRow("0.0625 V ties to even: 4") << "0.0625" << 4;
    QTest::newRow("0,1875 V ties to even: 14") << "0,1875" << 14;
    QTest::newRow("0.3125 V ties to even: 22") << "0.3125" << 22;
    QTest::newRow("rounded down") << "0.02" << 1;
    QTest::newRow("blanks around the number") << " 2.5 " << 180;
    QTest::newRow("leading point") << ",5" << 36;
    QTest::newRow("exponent") << "1e1" << 720;
    QTest::newRow("slightly negative rounds to 0") << "-0.006" << 0;
    QTest::newRow("largest that fits") << "910.21" << 65535;
}

void TestImageBuilder::voltThresholds()
{
    QFETCH(QString, volts);
    QFETCH(int, counts);
    const CompileResult result =
        compile({"AI/En_SMS_High=1", "AI/Value_High=" + volts, "AI/Value_High_Hys=" + volts});
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(int(result.model.inputEvents[kAnalogHigh].threshold), counts);
    QCOMPARE(int(result.model.inputEvents[kAnalogHighReturn].threshold), counts);
}

void TestImageBuilder::profileWords_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QList<int>>("words"); // words that differ from a new configuration
    QTest::addColumn<QList<quint32>>("values");

    QTest::newRow("48th slot of Monday in Week2 sets bit 15 of word 17")
        << QStringList{"W2/Enable_Week=1", "slots:W2/Time_Slots/Monday=47"} << QList<int>{17}
        << QList<quint32>{0x8000};
    QTest::newRow("slots 0 and 31 in the first word, 32 in the second")
        << QStringList{"W1/Enable_Week=1", "slots:W1/Time_Slots/Tuesday=0,31,32"} << QList<int>{4, 5}
        << QList<quint32>{0x80000001, 0x1};
    QTest::newRow("a whole Sunday of Week3")
        << QStringList{"W3/Enable_Week=1",
                       "slots:W3/Time_Slots/"
                       "Sunday=0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,"
                       "29,30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47"}
        << QList<int>{42, 43} << QList<quint32>{0xFFFFFFFF, 0xFFFF};
    QTest::newRow("a weekly profile that is off stays 0")
        << QStringList{"slots:W1/Time_Slots/Monday=1,2,3", "W1/Enable_Week=true"} << QList<int>{}
        << QList<quint32>{};
    QTest::newRow("daily profile 3") << QStringList{"D3/Enable_Day=1", "slots:D3/Time_Slots=8,40"}
                                     << QList<int>{48, 49} << QList<quint32>{0x100, 0x100};
    QTest::newRow("a daily profile that is off stays 0")
        << QStringList{"slots:D2/Time_Slots=8"} << QList<int>{} << QList<quint32>{};
    QTest::newRow("only the first 48 children of a day are read")
        << QStringList{"D1/Enable_Day=1", "append:D1/Time_Slots=Time_Slot|1",
                       "append:D1/Time_Slots=Time_Slot|1", "slots:D1/Time_Slots=47"}
        << QList<int>{45} << QList<quint32>{0x8000};
    QTest::newRow("a slot is on only for the text 1")
        << QStringList{"W1/Enable_Week=1", "W1/Time_Slots/Monday/Time_Slot= 1"} << QList<int>{}
        << QList<quint32>{};
}

void TestImageBuilder::profileWords()
{
    QFETCH(QStringList, edits);
    QFETCH(QList<int>, words);
    QFETCH(QList<quint32>, values);
    const CompileResult result = compile(edits);
    QVERIFY2(result.ok(), qPrintable(result.error));
    auto expected = testimage::newConfigurationModel().profileWords;
    for (qsizetype i = 0; i < words.size(); ++i)
        expected[words[i]] = values[i];
    QCOMPARE(result.model.profileWords, expected);
}

void TestImageBuilder::phoneSettings_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QByteArray>("pin");
    QTest::addColumn<QByteArray>("dst");
    QTest::newRow("DST 1 is on") << QStringList{"PS/DST=1", "PS/PIN=1234"} << QByteArray("1234")
                                 << QByteArray("ORA-LEGALE_ON");
    QTest::newRow("DST 0 is off") << QStringList{"PS/DST=0"} << QByteArray() << QByteArray("ORA-LEGALE_OFF");
    QTest::newRow("DST true is off") << QStringList{"PS/DST=true"} << QByteArray()
                                     << QByteArray("ORA-LEGALE_OFF");
    QTest::newRow("missing DST is off")
        << QStringList{"-PS/DST"} << QByteArray() << QByteArray("ORA-LEGALE_OFF");
    QTest::newRow("DST holding elements is off")
        << QStringList{"-PS/DST", "append:PS/DST=x|1"} << QByteArray() << QByteArray("ORA-LEGALE_OFF");
    QTest::newRow("PIN in Windows-1252, kept as typed")
        << QStringList{QString::fromUtf8("PS/PIN= 12\u00e9\u20ac\u0416")} << QByteArray(" 12\xe9\x80?")
        << QByteArray("ORA-LEGALE_OFF");
}

void TestImageBuilder::phoneSettings()
{
    QFETCH(QStringList, edits);
    QFETCH(QByteArray, pin);
    QFETCH(QByteArray, dst);
    const CompileResult result = compile(edits);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.model.pin, pin);
    QCOMPARE(result.model.dstText, dst);
}

void TestImageBuilder::smsEvents_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("records");

    const QStringList on1 = {"DO1.SMS/Enable_from_SMS=1"};
    QTest::newRow("set and reset with the password check")
        << on1 + QStringList{"DO1.SMS/Set_from_SMS=1", "DO1.SMS/Reset_from_SMS=1",
                             "DO1.SMS/Check_Password_from_SMS=1"}
        << QStringList{"text=0 pw=0 checks=1 action=0x00000001 echo=[] allowed=[]",
                       "text=1 pw=0 checks=1 action=0x00000002 echo=[] allowed=[]"};
    QTest::newRow("impulse on output 2, 500 ms, echoed")
        << QStringList{"DO2.SMS/Enable_from_SMS=1", "DO2.SMS/Impulse_from_SMS=1",
                       "DO2.SMS/Delay_Impulse_from_SMS=500", "DO2.SMS/Send_Back_SMS_from_SMS=1"}
        << QStringList{"text=0 pw=65535 checks=0 action=0x01f40060 echo=[65534:0] allowed=[]"};
    QTest::newRow("set and reset of output 2")
        << QStringList{"DO2.SMS/Enable_from_SMS=1", "DO2.SMS/Set_from_SMS=1", "DO2.SMS/Reset_from_SMS=1"}
        << QStringList{"text=0 pw=65535 checks=0 action=0x00000004 echo=[] allowed=[]",
                       "text=1 pw=65535 checks=0 action=0x00000008 echo=[] allowed=[]"};
    QTest::newRow("commands by SMS off: no record")
        << QStringList{"DO1.SMS/Set_from_SMS=1", "DO1.SMS/Reset_from_SMS=1", "DO1.SMS/Impulse_from_SMS=1"}
        << QStringList{};
    QTest::newRow("each command carries the allowed numbers and profiles")
        << on1 + QStringList{"DO1.SMS/Set_from_SMS=1",
                             "DO1.SMS/Impulse_from_SMS=1",
                             "DO1.SMS/Delay_Impulse_from_SMS=65535",
                             "DO1.SMS/Check_Phone_Number_from_SMS=1",
                             "+DO1.SMS/List_SMS=111|7",
                             "+DO1.SMS/List_SMS=222|",
                             "+DO1.SMS/List_SMS= 111|65535"}
        << QStringList{"text=0 pw=65535 checks=2 action=0x00000001 echo=[] allowed=[0:7 1:0 0:65535]",
                       "text=1 pw=65535 checks=2 action=0xffff0010 echo=[] allowed=[0:7 1:0 0:65535]"};
    QTest::newRow("phone check off: a number gathered nowhere else is no entry the first time")
        << on1 + QStringList{"DO1.SMS/Set_from_SMS=1", "DO1.SMS/Reset_from_SMS=1", "+DO1.SMS/List_SMS=777|1"}
        << QStringList{"text=0 pw=65535 checks=0 action=0x00000001 echo=[] allowed=[65535:1]",
                       "text=1 pw=65535 checks=0 action=0x00000002 echo=[] allowed=[0:1]"};
    QTest::newRow("output 1 before output 2, set reset impulse order")
        << QStringList{"DO2.SMS/Enable_from_SMS=1", "DO2.SMS/Set_from_SMS=1",
                       "DO1.SMS/Enable_from_SMS=1", "DO1.SMS/Impulse_from_SMS=1",
                       "DO1.SMS/Set_from_SMS=1",    "DO1.SMS/Send_Back_SMS_from_SMS=1"}
        << QStringList{"text=0 pw=65535 checks=0 action=0x00000041 echo=[65534:0] allowed=[]",
                       "text=1 pw=65535 checks=0 action=0x00640050 echo=[65534:1] allowed=[]",
                       "text=2 pw=65535 checks=0 action=0x00000004 echo=[] allowed=[]"};
}

void TestImageBuilder::smsEvents()
{
    QFETCH(QStringList, edits);
    QFETCH(QStringList, records);
    const CompileResult result = compile(edits);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(describeAll(result.model.smsEvents), records);
}

void TestImageBuilder::callEvents_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("records");

    const QStringList on1 = {"DO1.CALL/Enable_from_CALL=1"};
    QTest::newRow("three numbers share rings and actions")
        << on1 + QStringList{"DO1.CALL/Ring_Number_from_CALL=4",
                             "DO1.CALL/Hang_Up_Ring_from_CALL=255",
                             "DO1.CALL/Enable_Hang_Up_from_CALL=1",
                             "+DO1.CALL/List_SMS=1|0",
                             "+DO1.CALL/List_SMS=2|3",
                             "+DO1.CALL/List_SMS=3|"}
        << QStringList{"phone=0 profile=0 rings=4/255 under=0x00000000 above=0x00000000 hangup=0x00000001",
                       "phone=1 profile=3 rings=4/255 under=0x00000000 above=0x00000000 hangup=0x00000001",
                       "phone=2 profile=0 rings=4/255 under=0x00000000 above=0x00000000 hangup=0x00000001"};
    QTest::newRow("no rows: no record") << on1 << QStringList{};
    QTest::newRow("CALL off: no record") << QStringList{"+DO1.CALL/List_SMS=1|0"} << QStringList{};
    QTest::newRow("impulse of 100 ms on output 1")
        << on1 + QStringList{"DO1.CALL/Enable_Under_Ring_from_CALL=1",
                             "DO1.CALL/Operation_Under_Ring_from_CALL=2", "+DO1.CALL/List_SMS=1|0"}
        << QStringList{"phone=0 profile=0 rings=3/3 under=0x00640010 above=0x00000000 hangup=0x00000000"};
    QTest::newRow("set, reset and impulse of output 2; any other operation is impulse")
        << QStringList{"DO2.CALL/Enable_from_CALL=1",
                       "DO2.CALL/Enable_Under_Ring_from_CALL=1",
                       "DO2.CALL/Enable_Above_Ring_from_CALL=1",
                       "DO2.CALL/Operation_Above_Ring_from_CALL=1",
                       "DO2.CALL/Enable_Hang_Up_from_CALL=1",
                       "DO2.CALL/Operation_Hang_Up_from_CALL=5",
                       "DO2.CALL/Delay_Time_Imp_Hang_from_CALL=0",
                       "+DO2.CALL/List_SMS=1|0"}
        << QStringList{"phone=0 profile=0 rings=3/3 under=0x00000004 above=0x00000008 hangup=0x00000020"};
    QTest::newRow("impulse of 70000 ms keeps the low 16 bits: 4464")
        << on1 + QStringList{"DO1.CALL/Enable_Above_Ring_from_CALL=1",
                             "DO1.CALL/Operation_Above_Ring_from_CALL=2",
                             "DO1.CALL/Delay_Time_Imp_Above_from_CALL=70000", "+DO1.CALL/List_SMS=1|0"}
        << QStringList{"phone=0 profile=0 rings=3/3 under=0x00000000 above=0x11700010 hangup=0x00000000"};
    QTest::newRow("output 1 before output 2")
        << QStringList{"DO2.CALL/Enable_from_CALL=1", "+DO2.CALL/List_SMS=2|2", "DO1.CALL/Enable_from_CALL=1",
                       "+DO1.CALL/List_SMS=1|1"}
        << QStringList{"phone=0 profile=1 rings=3/3 under=0x00000000 above=0x00000000 hangup=0x00000000",
                       "phone=1 profile=2 rings=3/3 under=0x00000000 above=0x00000000 hangup=0x00000000"};
}

void TestImageBuilder::callEvents()
{
    QFETCH(QStringList, edits);
    QFETCH(QStringList, records);
    const CompileResult result = compile(edits);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(describeAll(result.model.callEvents), records);
}

void TestImageBuilder::errors_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("error");

    const QStringList rise = {"DI1/En_SMS_F0T1=1"};
    const QString range = QStringLiteral("Range check error");
    // A value error names the element after the fixed text.
    const auto at = [](const QString &text, const char *path) {
        return QStringLiteral("%1 (Configuration/%2, line 1)").arg(text, QLatin1String(path));
    };
    QTest::newRow("delay 70000") << rise + QStringList{"DI1/Time_Delay_F0T1=70000"}
                                 << at(range, "Input/Digital/Digital_Input_1/Time_Delay_F0T1");
    QTest::newRow("delay -1") << rise + QStringList{"DI1/Time_Delay_F0T1=-1"}
                              << at(range, "Input/Digital/Digital_Input_1/Time_Delay_F0T1");
    QTest::newRow("delay 1.5") << rise + QStringList{"DI1/Time_Delay_F0T1=1.5"}
                               << at("'1.5' is not a valid integer value",
                                     "Input/Digital/Digital_Input_1/Time_Delay_F0T1");
    QTest::newRow("empty delay") << rise + QStringList{"DI1/Time_Delay_F0T1="}
                                 << at("'' is not a valid integer value",
                                       "Input/Digital/Digital_Input_1/Time_Delay_F0T1");
    QTest::newRow("delay with a blank")
        << rise + QStringList{"DI1/Time_Delay_F0T1= 100"}
        << at("' 100' is not a valid integer value", "Input/Digital/Digital_Input_1/Time_Delay_F0T1");
    QTest::newRow("delay beyond 32 bits")
        << rise + QStringList{"DI1/Time_Delay_F0T1=2147483648"}
        << at("'2147483648' is not a valid integer value", "Input/Digital/Digital_Input_1/Time_Delay_F0T1");
    QTest::newRow("delay in hex") << rise + QStringList{"DI1/Time_Delay_F0T1=0x10"}
                                  << at("'0x10' is not a valid integer value",
                                        "Input/Digital/Digital_Input_1/Time_Delay_F0T1");
    QTest::newRow("not a volt text") << QStringList{"AI/En_SMS_High=1", "AI/Value_High=7;5"}
                                     << at("'7;5' is not a valid floating point value",
                                           "Input/Analog/Analog_Input_1/Value_High");
    QTest::newRow("two separators") << QStringList{"AI/En_SMS_Low=1", "AI/Value_Low=1.000,5"}
                                    << at("'1.000,5' is not a valid floating point value",
                                          "Input/Analog/Analog_Input_1/Value_Low");
    QTest::newRow("empty return level")
        << QStringList{"AI/En_SMS_Low=1", "AI/Value_Low_Hys="}
        << at("'' is not a valid floating point value", "Input/Analog/Analog_Input_1/Value_Low_Hys");
    QTest::newRow("nan is not a number")
        << QStringList{"AI/En_SMS_High=1", "AI/Value_High=nan"}
        << at("'nan' is not a valid floating point value", "Input/Analog/Analog_Input_1/Value_High");
    QTest::newRow("volts below 0") << QStringList{"AI/En_SMS_High=1", "AI/Value_High=-0.007"}
                                   << at(range, "Input/Analog/Analog_Input_1/Value_High");
    QTest::newRow("volts above 910.2") << QStringList{"AI/En_SMS_High=1", "AI/Value_High=910.22"}
                                       << at(range, "Input/Analog/Analog_Input_1/Value_High");
    QTest::newRow("huge exponent") << QStringList{"AI/En_SMS_High=1", "AI/Value_High=1e999"}
                                   << at(range, "Input/Analog/Analog_Input_1/Value_High");
    QTest::newRow("SMS impulse of 70000 ms")
        << QStringList{"DO1.SMS/Enable_from_SMS=1", "DO1.SMS/Impulse_from_SMS=1",
                       "DO1.SMS/Delay_Impulse_from_SMS=70000"}
        << at(range, "Output/Digital/Digital_Output_1/SMS/Delay_Impulse_from_SMS");
    QTest::newRow("CALL impulse of -1 ms")
        << QStringList{"DO1.CALL/Enable_from_CALL=1", "+DO1.CALL/List_SMS=1|0",
                       "DO1.CALL/Enable_Hang_Up_from_CALL=1", "DO1.CALL/Operation_Hang_Up_from_CALL=2",
                       "DO1.CALL/Delay_Time_Imp_Hang_from_CALL=-1"}
        << at(range, "Output/Digital/Digital_Output_1/CALL/Delay_Time_Imp_Hang_from_CALL");
    QTest::newRow("ring number 256") << QStringList{"DO2.CALL/Enable_from_CALL=1", "+DO2.CALL/List_SMS=1|0",
                                                    "DO2.CALL/Ring_Number_from_CALL=256"}
                                     << at(range,
                                           "Output/Digital/Digital_Output_2/CALL/Ring_Number_from_CALL");
    QTest::newRow("hang-up rings not a number")
        << QStringList{"DO2.CALL/Enable_from_CALL=1", "+DO2.CALL/List_SMS=1|0",
                       "DO2.CALL/Hang_Up_Ring_from_CALL=x"}
        << at("'x' is not a valid integer value",
              "Output/Digital/Digital_Output_2/CALL/Hang_Up_Ring_from_CALL");
    QTest::newRow("profile 65536") << QStringList{"DO1.CALL/Enable_from_CALL=1", "+DO1.CALL/List_SMS=1|65536"}
                                   << at(range, "Output/Digital/Digital_Output_1/CALL/List_SMS/SMS/Profile");
    QTest::newRow("profile -1") << QStringList{"DO1.CALL/Enable_from_CALL=1", "+DO1.CALL/List_SMS=1|-1"}
                                << at(range, "Output/Digital/Digital_Output_1/CALL/List_SMS/SMS/Profile");
    QTest::newRow("profile 1.5 in an allowed number")
        << QStringList{"DO1.SMS/Enable_from_SMS=1", "DO1.SMS/Set_from_SMS=1", "+DO1.SMS/List_SMS=1|1.5"}
        << at("'1.5' is not a valid integer value",
              "Output/Digital/Digital_Output_1/SMS/List_SMS/SMS/Profile");
    QTest::newRow("missing switch")
        << QStringList{"-DI2/En_SMS_F1T0"}
        << "Element 'Configuration/Input/Digital/Digital_Input_2/En_SMS_F1T0' is missing";
    QTest::newRow("missing delay of an event that is on")
        << rise + QStringList{"-DI1/Time_Delay_F0T1"}
        << "Element 'Configuration/Input/Digital/Digital_Input_1/Time_Delay_F0T1' is missing";
    QTest::newRow("missing number in a row")
        << QStringList{"DO1.CALL/Enable_from_CALL=1", "+DO1.CALL/List_SMS=1|0", "+DO1.CALL/List_SMS=2|0",
                       "append:DO1.CALL/List_SMS=SMS|"}
        << "Element 'Configuration/Output/Digital/Digital_Output_1/CALL/List_SMS/SMS[3]/Phone_Number' is "
           "missing";
    QTest::newRow("missing weekly profile")
        << QStringList{"-Date_Time_Profile/Profile/Weekly/Week3"}
        << "Element 'Configuration/Date_Time_Profile/Profile/Weekly/Week3' is missing";
    QTest::newRow("missing day of an enabled week")
        << QStringList{"W1/Enable_Week=1", "-W1/Time_Slots/Friday"}
        << "Element 'Configuration/Date_Time_Profile/Profile/Weekly/Week1/Time_Slots/Friday' is missing";
    QTest::newRow("missing PIN") << QStringList{"-PS/PIN"}
                                 << "Element 'Configuration/Phone_Setting/PIN' is missing";
    QTest::newRow("a value holding elements")
        << QStringList{"-PS/PIN", "append:PS/PIN=Digit|1"}
        << "Element 'Configuration/Phone_Setting/PIN' (line 1) holds elements instead of a value";
}

void TestImageBuilder::errors()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, error);
    QCOMPARE(compile(edits).error, error);
}

void TestImageBuilder::offSwitchSkipsElementsBelowIt()
{
    const CompileResult result =
        compile({"-DI1/Time_Delay_F0T1", "-DI1/List_SMS_F0T1", "-AI/Value_High", "-DO1.SMS/Set_from_SMS",
                 "-DO1.SMS/Send_Back_SMS_from_SMS", "-DO1.CALL/Ring_Number_from_CALL", "-DO1.CALL/List_SMS",
                 "-W1/Time_Slots", "-D2/Time_Slots", "-Date_Time_Profile/Date_Time"});
    QVERIFY2(result.ok(), qPrintable(result.error));
}

void TestImageBuilder::compilingTwiceGivesTheSameModel()
{
    const config::XmlParseResult parsed =
        ConfigXml()
            .apply({"DI1/En_SMS_F0T1=1", "+DI1/List_SMS_F0T1=a|1", "DO1.SMS/Enable_from_SMS=1",
                    "DO1.SMS/Set_from_SMS=1", "+DO1.SMS/List_SMS=2|0"})
            .parsed();
    const CompileResult first = compileConfiguration(*parsed.root);
    const CompileResult second = compileConfiguration(*parsed.root);
    QVERIFY(first.ok());
    QCOMPARE(second.model, first.model);
}

QTEST_GUILESS_MAIN(TestImageBuilder)
#include "tst_image_builder.moc"
