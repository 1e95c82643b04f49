// trenov5x-cli build and inspect, run as the real executable: exit codes,
// error texts, and a configuration that comes back whole from inspect --json.
#include "common/cli_run.h"
#include "common/hostile_files.h"
#include "config/ConfigurationFile.h"
#include "helper_config_xml.h"
#include "helper_image.h"
#include "image/ImageBuilder.h"
#include "image/ImageWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

using Run = CliRun;

// The content of a rich configuration, from which both the file and the
// expected decoding are made.
struct InputRow
{
    const char *list; // edit path of the table
    int event;
    QString message;
    QString phone;
};

struct NumberRow
{
    QString phone;
    int profile;
};

const QList<InputRow> kInputRows = {
    {"DI1/List_SMS_F0T1", 0, QStringLiteral("Door 1 open"), QStringLiteral("+391111")},
    {"DI1/List_SMS_F0T1", 0, QStringLiteral("Door 1 open"), QStringLiteral("+392222")},
    {"DI1/List_SMS_F1T0", 1, QStringLiteral("Door 1 closed"), QStringLiteral("+391111")},
    {"DI2/List_SMS_F0T1", 2, QString::fromUtf8("Fen\u00eatre \u20ac \U0001F6A8"), QStringLiteral("+393333")},
    {"DI2/List_SMS_F1T0", 3, QStringLiteral("Window closed"), QStringLiteral("+394444")},
    {"AI/List_SMS_High", 4, QStringLiteral("Level high"), QStringLiteral("+391111")},
    {"AI/List_SMS_Low", 5, QString(), QStringLiteral("+395555")},
    {"AI/List_SMS_Low", 5, QStringLiteral("Level low, exactly sixty-four characters long, no more, no less."),
     QStringLiteral("+396666")},
};
const QList<NumberRow> kAllowed1 = {{QStringLiteral("+397777"), 1}, {QStringLiteral("+391111"), 0}};
const QList<NumberRow> kAllowed2 = {{QStringLiteral("+398888"), 9}};
const QList<NumberRow> kCallers1 = {{QStringLiteral("+399999"), 2}, {QStringLiteral("+397777"), 3}};
const QList<NumberRow> kCallers2 = {{QStringLiteral("+390000"), 4}};

ConfigXml richConfiguration()
{
    ConfigXml xml;
    xml.apply({"PS/PIN=4321", "PS/DST=1"});
    xml.apply({"DI1/En_SMS_F0T1=1", "DI1/Time_Delay_F0T1=10", "DI1/En_SMS_F1T0=1", "DI1/Time_Delay_F1T0=20",
               "DI2/En_SMS_F0T1=1", "DI2/Time_Delay_F0T1=30", "DI2/En_SMS_F1T0=1", "DI2/Time_Delay_F1T0=40",
               "AI/En_SMS_High=1", "AI/Value_High=8", "AI/Value_High_Hys=7,5", "AI/Time_Delay_High=50",
               "AI/En_SMS_Low=1", "AI/Value_Low=1.5", "AI/Value_Low_Hys=2", "AI/Time_Delay_Low=60"});
    for (const InputRow &row : kInputRows)
        xml.addInputRow(ConfigXml::expandPath(QLatin1String(row.list)), row.message, row.phone);
    xml.apply({"DO1.SMS/Enable_from_SMS=1", "DO1.SMS/Set_from_SMS=1", "DO1.SMS/Reset_from_SMS=1",
               "DO1.SMS/Impulse_from_SMS=1", "DO1.SMS/Delay_Impulse_from_SMS=1500",
               "DO1.SMS/Check_Password_from_SMS=1", "DO1.SMS/Password_from_SMS_Text=s3cret",
               "DO1.SMS/Check_Phone_Number_from_SMS=1", "DO1.SMS/Send_Back_SMS_from_SMS=1",
               "DO2.SMS/Enable_from_SMS=1", "DO2.SMS/Reset_from_SMS=1",
               "DO2.SMS/Reset_from_SMS_Text=Stop pump", "DO2.SMS/Check_Phone_Number_from_SMS=1"});
    for (const NumberRow &row : kAllowed1)
        xml.addOutputRow(ConfigXml::outputSms(1) + "List_SMS", row.phone, QString::number(row.profile));
    for (const NumberRow &row : kAllowed2)
        xml.addOutputRow(ConfigXml::outputSms(2) + "List_SMS", row.phone, QString::number(row.profile));
    xml.apply({"DO1.CALL/Enable_from_CALL=1", "DO1.CALL/Ring_Number_from_CALL=2",
               "DO1.CALL/Hang_Up_Ring_from_CALL=6", "DO1.CALL/Enable_Under_Ring_from_CALL=1",
               "DO1.CALL/Operation_Under_Ring_from_CALL=1", "DO1.CALL/Enable_Above_Ring_from_CALL=1",
               "DO1.CALL/Operation_Above_Ring_from_CALL=2", "DO1.CALL/Delay_Time_Imp_Above_from_CALL=750",
               "DO2.CALL/Enable_from_CALL=1", "DO2.CALL/Enable_Hang_Up_from_CALL=1",
               "DO2.CALL/Operation_Hang_Up_from_CALL=0"});
    for (const NumberRow &row : kCallers1)
        xml.addOutputRow(ConfigXml::outputCall(1) + "List_SMS", row.phone, QString::number(row.profile));
    for (const NumberRow &row : kCallers2)
        xml.addOutputRow(ConfigXml::outputCall(2) + "List_SMS", row.phone, QString::number(row.profile));
    xml.apply({"W1/Enable_Week=1", "slots:W1/Time_Slots/Monday=16,17,18,19,20,21,22,23,24",
               "slots:W1/Time_Slots/Friday=0,47", "W2/Enable_Week=1", "slots:W2/Time_Slots/Wednesday=31,32",
               "slots:W3/Time_Slots/Sunday=5", "D1/Enable_Day=1", "slots:D1/Time_Slots=10,11,40",
               "D3/Enable_Day=1", "slots:D3/Time_Slots=47"});
    return xml;
}

QList<int> intList(const QJsonValue &value)
{
    QList<int> out;
    for (const QJsonValue &v : value.toArray())
        out.append(v.toInt());
    return out;
}

QJsonObject action(const char *operation, int output, int durationMs, bool echo)
{
    return {{"operation", QLatin1String(operation)},
            {"output", output},
            {"durationMs", durationMs},
            {"echo", echo}};
}

QJsonObject actionShape(QJsonObject json)
{
    json.remove("code");
    json.remove("text");
    return json;
}

} // namespace

class TestCliImage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void help_data();
    void help();
    void buildExitCodes_data();
    void buildExitCodes();
    void failedBuildKeepsExistingImage();
    void buildWithOutputWritesOnlyThere_data();
    void buildWithOutputWritesOnlyThere();
    void checkExitCodes_data();
    void checkExitCodes();
    void workspaceOptionNamesTheConfiguration_data();
    void workspaceOptionNamesTheConfiguration();
    void inspectListsImage();
    void inspectJsonGivesBackTheConfiguration();
    void inspectRefusesMalformedImage_data();
    void inspectRefusesMalformedImage();
    void failedWriteUnderAFileSizeLimitKeepsTheImage();
    void buildWritesOnlyARegularFileOtherThanItsInput_data();
    void buildWritesOnlyARegularFileOtherThanItsInput();
    void buildOfAConfigurationThatCannotBeReadSaysWhy_data();
    void buildOfAConfigurationThatCannotBeReadSaysWhy();
    void inspectReadsOnlyBoundedRegularFiles_data();
    void inspectReadsOnlyBoundedRegularFiles();
    void inspectEscapesControlCharacters();
    void buildWarnsOfEveryTextTheDeviceCuts_data();
    void buildWarnsOfEveryTextTheDeviceCuts();
    void exampleConfigurationPassesAndBuilds();
};

void TestCliImage::initTestCase()
{
    QVERIFY2(QFileInfo::exists(TRENOV5X_PROGRAM_DIR "/trenov5x-cli"), "build the trenov5x-cli target first");
}

void TestCliImage::help_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("usage");
    QTest::newRow("build --help")
        << QStringList{"build", "--help"}
        << "Usage: trenov5x-cli build [--workspace DIR] FOLDER [--output FILE] [--no-check]";
    QTest::newRow("check --help") << QStringList{"check", "--help"}
                                  << "Usage: trenov5x-cli check [--workspace DIR] FOLDER";
    QTest::newRow("inspect --help") << QStringList{"inspect", "--help"}
                                    << "Usage: trenov5x-cli inspect FILE [--json]";
    QTest::newRow("tool --help") << QStringList{"--help"} << "Usage: trenov5x-cli COMMAND";
}

void TestCliImage::help()
{
    QFETCH(QStringList, args);
    QFETCH(QString, usage);
    const Run run = runCli(args);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(usage), qPrintable(run.out));
}

void TestCliImage::buildExitCodes_data()
{
    QTest::addColumn<QStringList>("edits"); // empty list with writeFile false: no Configuration.xml
    QTest::addColumn<bool>("writeFile");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stderrStart");
    QTest::addColumn<bool>("check");
    QTest::newRow("built") << QStringList{} << true << 0 << QString() << true;
    // The builder's own errors, on values the checks would have refused first.
    const QString delay =
        QStringLiteral(" (Configuration/Input/Digital/Digital_Input_1/Time_Delay_F0T1, line 1)\n");
    QTest::newRow("range error") << QStringList{"DI1/En_SMS_F0T1=1", "DI1/Time_Delay_F0T1=70000"} << true << 1
                                 << "Range check error" + delay << false;
    QTest::newRow("integer error") << QStringList{"DI1/En_SMS_F0T1=1", "DI1/Time_Delay_F0T1=1.5"} << true << 1
                                   << "'1.5' is not a valid integer value" + delay << false;
    QTest::newRow("volt error") << QStringList{"AI/En_SMS_Low=1", "AI/Value_Low=low"} << true << 1
                                << "'low' is not a valid floating point value "
                                   "(Configuration/Input/Analog/Analog_Input_1/Value_Low, line 1)\n"
                                << false;
    QTest::newRow("missing element") << QStringList{"-Phone_Setting"} << true << 1
                                     << "Element 'Configuration/Phone_Setting' is missing\n"
                                     << true;
    QTest::newRow("no Configuration.xml") << QStringList{} << false << 2 << "trenov5x-cli build: " << true;
    // What the window would refuse to save is not compiled either.
    QTest::newRow("checks refuse a PIN")
        << QStringList{"PS/PIN=12ab!"} << true << 1 << "Error! PIN is not correct.\nNothing built;" << true;
    QTest::newRow("checks refuse a long SMS")
        << QStringList{"+DI1/List_SMS_F0T1=" + QString(400, u'x') + "|+39"} << true << 1
        << "Error! DI1 Form 0 to 1, Message too long. Maximum 64 characters. Row 1\n"
        << true;
    QTest::newRow("checks refuse 75 V") << QStringList{"AI/Value_High=75"} << true << 1
                                        << "Error! AI1 High Value should be between 0 and 10 V.\n"
                                        << true;
}

void TestCliImage::buildExitCodes()
{
    QFETCH(QStringList, edits);
    QFETCH(bool, writeFile);
    QFETCH(int, exitCode);
    QFETCH(QString, stderrStart);
    QFETCH(bool, check);
    QTemporaryDir dir;
    if (writeFile)
        ConfigXml().apply(edits).writeTo(dir.path());
    QStringList args{"build", dir.path()};
    if (!check)
        args << "--no-check";
    const Run run = runCli(args);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.startsWith(stderrStart), qPrintable(run.err));
    if (exitCode == 0)
        QCOMPARE(readFileBytes(dir.filePath("bin/bank.bin")), testimage::golden("empty.bin"));
    else
        QVERIFY(!QFileInfo::exists(dir.filePath("bin")));
}

void TestCliImage::failedBuildKeepsExistingImage()
{
    QTemporaryDir dir;
    ConfigXml().writeTo(dir.path());
    QCOMPARE(runCli({"build", dir.path()}).exitCode, 0);
    ConfigXml()
        .apply(
            {"DO1.SMS/Enable_from_SMS=1", "DO1.SMS/Impulse_from_SMS=1", "DO1.SMS/Delay_Impulse_from_SMS=-1"})
        .writeTo(dir.path());
    const Run run = runCli({"build", dir.path(), "--no-check"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QStringLiteral("Range check error (Configuration/Output/Digital/Digital_Output_1/SMS/"
                                     "Delay_Impulse_from_SMS, line 1)\n"));
    QCOMPARE(runCli({"build", dir.path()}).exitCode, 1); // refused by the checks
    QCOMPARE(readFileBytes(dir.filePath("bin/bank.bin")), testimage::golden("empty.bin"));
}

void TestCliImage::buildWithOutputWritesOnlyThere_data()
{
    QTest::addColumn<QStringList>("args"); // FOLDER and FILE stand for the project and the image

    QTest::newRow("--output FILE") << QStringList{"build", "FOLDER", "--output", "FILE", "--no-check"};
    QTest::newRow("--output=FILE") << QStringList{"build", "FOLDER", "--output=FILE", "--no-check"};
    QTest::newRow("-o FILE before FOLDER") << QStringList{"build", "--no-check", "-o", "FILE", "FOLDER"};
}

void TestCliImage::buildWithOutputWritesOnlyThere()
{
    QFETCH(QStringList, args);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath("project")));
    QVERIFY(QFile::copy(testimage::goldenPath("rich/Configuration.xml"),
                        dir.filePath("project/Configuration.xml")));
    const QString output = dir.filePath("images/device7.bin");
    args.replaceInStrings(QRegularExpression(QStringLiteral("^FOLDER$")), dir.filePath("project"));
    args.replaceInStrings(QRegularExpression(QStringLiteral("FILE$")), output);
    const Run run = runCli(args);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(readFileBytes(output), testimage::golden("rich.bin"));
    QVERIFY(!QFileInfo::exists(dir.filePath("project/bin")));
}

void TestCliImage::workspaceOptionNamesTheConfiguration_data()
{
    QTest::addColumn<QStringList>("arguments"); // WS: the workspace, FOLDER: the configuration's folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::newRow("check --workspace DIR NAME")
        << QStringList{"check", "--workspace", "WS", "Plant_A"} << 0 << "OK\n";
    QTest::newRow("check NAME --workspace=DIR")
        << QStringList{"check", "Plant_A", "--workspace=WS"} << 0 << "OK\n";
    QTest::newRow("check --workspace DIR FOLDER")
        << QStringList{"check", "--workspace", "WS", "FOLDER"} << 0 << "OK\n";
    QTest::newRow("a name not in the workspace")
        << QStringList{"check", "--workspace", "WS", "Plant_B"} << 2 << "";
    QTest::newRow("--workspace without DIR") << QStringList{"check", "Plant_A", "--workspace"} << 2 << "";
    QTest::newRow("--workspace twice")
        << QStringList{"check", "--workspace", "WS", "--workspace", "WS", "Plant_A"} << 2 << "";
    QTest::newRow("build --workspace DIR NAME")
        << QStringList{"build", "--workspace", "WS", "Plant_A"} << 0 << "Wrote FOLDER/bin/bank.bin (";
}

void TestCliImage::workspaceOptionNamesTheConfiguration()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QTemporaryDir dir;
    const QString workspace = dir.filePath(QStringLiteral("work space"));
    const QString folder = workspace + QStringLiteral("/Projects/Plant_A");
    QVERIFY(QDir().mkpath(folder));
    ConfigXml().writeTo(folder);
    for (QString &argument : arguments)
        argument.replace(QLatin1String("WS"), workspace).replace(QLatin1String("FOLDER"), folder);
    const Run run = runCli(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (out.isEmpty())
        QVERIFY2(run.out.isEmpty() && !run.err.isEmpty(), qPrintable(run.out));
    else
        QVERIFY2(run.out.startsWith(QString(out).replace(QLatin1String("FOLDER"), folder)),
                 qPrintable(run.out));
    // The workspace is only read.
    QCOMPARE(QDir(workspace).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"Projects"});
}

void TestCliImage::checkExitCodes_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("file"); // "xml", "none" or "folder"
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("errStart");
    QTest::newRow("passes") << QStringList{} << "xml" << 0 << "OK\n"
                            << "";
    QTest::newRow("bad phone in row 2 of the DO1 CALL table")
        << QStringList{"+DO1.CALL/List_SMS=+39|", "+DO1.CALL/List_SMS=39 0|"} << "xml" << 1
        << "Error! DO1 CALL, Phone Number wrong. Row 2\n"
        << "";
    QTest::newRow("long SET text, enabled")
        << QStringList{"DO2.SMS/Set_from_SMS=1", "DO2.SMS/Set_from_SMS_Text=" + QString(65, u's')} << "xml"
        << 1 << "Error! DO2 SMS, Set Out Message too long. Maximum 64 characters. Row \n"
        << "";
    QTest::newRow("no Configuration.xml") << QStringList{} << "none" << 2 << ""
                                          << "trenov5x-cli check: ";
    QTest::newRow("Configuration.xml is a folder") << QStringList{} << "folder" << 2 << ""
                                                   << "trenov5x-cli check: ";
    QTest::newRow("unreadable file") << QStringList{"-Phone_Setting"} << "xml" << 2 << ""
                                     << "trenov5x-cli check: ";
}

void TestCliImage::checkExitCodes()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, file);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, errStart);
    QTemporaryDir dir;
    if (file == u"xml")
        ConfigXml().apply(edits).writeTo(dir.path());
    else if (file == u"folder")
        QVERIFY(QDir().mkpath(dir.filePath("Configuration.xml")));
    const Run run = runCli({"check", dir.path()});
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, out);
    QVERIFY2(errStart.isEmpty() ? run.err.isEmpty() : run.err.startsWith(errStart), qPrintable(run.err));
}

void TestCliImage::inspectListsImage()
{
    const Run run = runCli({"inspect", testimage::goldenPath("rich.bin")});
    QCOMPARE(run.exitCode, 0);
    for (const char *line :
         {"rich.bin: 3774 bytes", "  message table            8  at 0x00124124 (offset 292)",
          "Mon 08.00-12.30, Tue 23.30-24.00", "  #1 \"abc12345\"",
          "\"Pulse DO2\": impulse output 2 for 500 ms, echo to sender",
          "above ring: impulse output 1 for 100 ms; hang-up: set output 1", "  DST \"ORA-LEGALE_ON\""}) {
        QVERIFY2(run.out.contains(QString::fromUtf8(line)), line);
    }
    QVERIFY(run.out.contains(QString::fromUtf8("#3 \"High \u00e9\U0001F600\"")));
}

void TestCliImage::inspectJsonGivesBackTheConfiguration()
{
    QTemporaryDir dir;
    richConfiguration().writeTo(dir.path());
    const Run build = runCli({"build", dir.path()});
    QVERIFY2(build.exitCode == 0, qPrintable(build.err));
    const Run inspect = runCli({"inspect", dir.filePath("bin/bank.bin"), "--json"});
    QCOMPARE(inspect.exitCode, 0);
    QJsonParseError parseError;
    const QJsonObject json = QJsonDocument::fromJson(inspect.out.toUtf8(), &parseError).object();
    QCOMPARE(parseError.error, QJsonParseError::NoError);

    // Input events: delays, thresholds and every (number, message) pair.
    const QJsonArray inputs = json["inputEvents"].toArray();
    QCOMPARE(inputs.size(), 8);
    const QList<int> delays = {10, 20, 30, 40, 50, 60, 100, 100};
    const QList<int> thresholds = {0, 0, 0, 0, 576, 108, 540, 144};
    for (int e = 0; e < 8; ++e) {
        const QJsonObject event = inputs[e].toObject();
        QCOMPARE(event["timeDelay"].toInt(), delays[e]);
        QCOMPARE(event["threshold"].toInt(), thresholds[e]);
        QCOMPARE(event["sendsSms"].toBool(), e < 6);
        QStringList expected, actual;
        for (const InputRow &row : kInputRows) {
            if (row.event == e)
                expected.append(row.phone + u'|' + row.message);
        }
        for (const QJsonValue &target : event["sms"].toArray())
            actual.append(target["phone"].toString() + u'|' + target["message"].toString());
        QCOMPARE(actual, expected);
    }

    // SMS commands: text, password, checks, action and allowed numbers.
    const QJsonArray sms = json["smsEvents"].toArray();
    QCOMPARE(sms.size(), 4);
    const struct
    {
        const char *text;
        QJsonObject action;
        const char *password;
        const QList<NumberRow> *allowed;
    } commands[] = {
        {"Turn On DO1", action("set", 1, 0, true), "s3cret", &kAllowed1},
        {"Turn Off DO1", action("reset", 1, 0, true), "s3cret", &kAllowed1},
        {"Impulse DO1", action("impulse", 1, 1500, true), "s3cret", &kAllowed1},
        {"Stop pump", action("reset", 2, 0, false), nullptr, &kAllowed2},
    };
    for (int i = 0; i < 4; ++i) {
        const QJsonObject event = sms[i].toObject();
        QCOMPARE(event["text"].toString(), QLatin1String(commands[i].text));
        QCOMPARE(actionShape(event["action"].toObject()), commands[i].action);
        QCOMPARE(event["passwordCheck"].toBool(), commands[i].password != nullptr);
        QCOMPARE(event["password"].toString(), QLatin1String(commands[i].password));
        QVERIFY(event["phoneCheck"].toBool());
        QCOMPARE(event["echoList"].toArray().size(), commands[i].action["echo"].toBool() ? 1 : 0);
        QStringList expected, actual;
        for (const NumberRow &row : *commands[i].allowed)
            expected.append(row.phone + u'|' + QString::number(row.profile));
        for (const QJsonValue &number : event["allowedNumbers"].toArray())
            actual.append(number["phone"].toString() + u'|' + QString::number(number["profile"].toInt()));
        QCOMPARE(actual, expected);
    }

    // Calls: one record per calling number, with the output's rings and actions.
    const QJsonArray calls = json["callEvents"].toArray();
    QCOMPARE(calls.size(), 3);
    const QList<NumberRow> callers = kCallers1 + kCallers2;
    for (int i = 0; i < 3; ++i) {
        const QJsonObject call = calls[i].toObject();
        QCOMPARE(call["phone"].toString(), callers[i].phone);
        QCOMPARE(call["profile"].toInt(), callers[i].profile);
        const bool first = i < 2;
        QCOMPARE(call["ringNumber"].toInt(), first ? 2 : 3);
        QCOMPARE(call["hangUpRings"].toInt(), first ? 6 : 3);
        QCOMPARE(actionShape(call["underRing"].toObject()),
                 first ? action("reset", 1, 0, false) : QJsonObject());
        QCOMPARE(actionShape(call["aboveRing"].toObject()),
                 first ? action("impulse", 1, 750, false) : QJsonObject());
        QCOMPARE(actionShape(call["hangUp"].toObject()), first ? QJsonObject() : action("set", 2, 0, false));
    }

    // Profiles: the slots of every day that is on; profiles that are off are empty.
    const QJsonObject profiles = json["profiles"].toObject();
    const QJsonArray weekly = profiles["weekly"].toArray();
    QCOMPARE(intList(weekly[0]["days"][0]["slots"]), (QList<int>{16, 17, 18, 19, 20, 21, 22, 23, 24}));
    QCOMPARE(weekly[0]["days"][0]["ranges"].toArray(), QJsonArray{"08.00-12.30"});
    QCOMPARE(intList(weekly[0]["days"][4]["slots"]), (QList<int>{0, 47}));
    QCOMPARE(intList(weekly[1]["days"][2]["slots"]), (QList<int>{31, 32}));
    QCOMPARE(weekly[2]["text"].toString(), QStringLiteral("no slots"));
    const QJsonArray daily = profiles["daily"].toArray();
    QCOMPARE(intList(daily[0]["slots"]), (QList<int>{10, 11, 40}));
    QCOMPARE(intList(daily[1]["slots"]), QList<int>{});
    QCOMPARE(intList(daily[2]["slots"]), QList<int>{47});

    QCOMPARE(json["pin"].toString(), QStringLiteral("4321"));
    QCOMPARE(json["dst"].toString(), QStringLiteral("ORA-LEGALE_ON"));
    QCOMPARE(json["passwords"].toArray(), QJsonArray{"s3cret"});
}

void TestCliImage::inspectRefusesMalformedImage_data()
{
    QTest::addColumn<int>("truncateTo");
    QTest::addColumn<QString>("stderrPart");
    QTest::newRow("cut inside the header")
        << 50 << "not a well-formed image: offset 0 (0x0): the file ends inside the header";
    QTest::newRow("cut inside the event texts") << 3300 << "address 0x00124E9C points outside the file";
    QTest::newRow("no file at all") << -1 << "cannot read";
}

void TestCliImage::inspectRefusesMalformedImage()
{
    QFETCH(int, truncateTo);
    QFETCH(QString, stderrPart);
    QTemporaryDir dir;
    const QString path = dir.filePath("bank.bin");
    if (truncateTo >= 0) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(testimage::golden("rich.bin").left(truncateTo));
    }
    const Run run = runCli({"inspect", path});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(stderrPart), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

// The write error of an image under 16 KB only shows at the commit's flush;
// it once went unseen: "Wrote", exit 0, and an empty bank.bin.
void TestCliImage::failedWriteUnderAFileSizeLimitKeepsTheImage()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(testimage::goldenPath("rich/Configuration.xml"), dir.filePath("Configuration.xml")));
    ConfigXml().writeTo(dir.path() + "/empty");
    QCOMPARE(runCli({"build", dir.path() + "/empty", "--output", dir.filePath("bin/bank.bin")}).exitCode, 0);
    const QByteArray earlier = readFileBytes(dir.filePath("bin/bank.bin"));

    QProcess shell;
    shell.start("sh", {"-c", "trap '' XFSZ; ulimit -f 2; exec \"$0\" build \"$1\" --no-check",
                       TRENOV5X_PROGRAM_DIR "/trenov5x-cli", dir.path()});
    QVERIFY(shell.waitForFinished(30000));
    const QString err = QString::fromUtf8(shell.readAllStandardError());
    QCOMPARE(shell.exitCode(), 1);
    QVERIFY2(err.endsWith(QStringLiteral("Cannot write %1: File too large\n")
                              .arg(QDir::toNativeSeparators(dir.filePath("bin/bank.bin")))),
             qPrintable(err));
    QCOMPARE(shell.readAllStandardOutput(), QByteArray());
    QCOMPARE(readFileBytes(dir.filePath("bin/bank.bin")), earlier);
    QCOMPARE(QDir(dir.filePath("bin")).entryList(QDir::Files), QStringList{"bank.bin"});
}

void TestCliImage::buildWritesOnlyARegularFileOtherThanItsInput_data()
{
    QTest::addColumn<QString>("output"); // a hostile kind, or a path below the folder
    QTest::addColumn<QString>("reason");
    QTest::newRow("FIFO") << "FIFO"
                          << "is not a regular file";
    QTest::newRow("folder") << "folder"
                            << "is a folder";
    QTest::newRow("link to a device node") << "link to /dev/zero"
                                           << "is not a regular file";
    QTest::newRow("the configuration being compiled") << "Configuration.xml"
                                                      << "it is the configuration being compiled";
    QTest::newRow("the configuration by another spelling") << "bin/../Configuration.xml"
                                                           << "it is the configuration being compiled";
}

void TestCliImage::buildWritesOnlyARegularFileOtherThanItsInput()
{
    QFETCH(QString, output);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath("bin")));
    const QString configuration = ConfigXml().writeTo(dir.path());
    const QByteArray before = readFileBytes(configuration);
    QString path = dir.filePath(output);
    if (hostile::kinds().contains(output)) {
        path = dir.filePath("out");
        QVERIFY(hostile::plant(output, path, "Configuration"));
    }
    const Run run = runCli({"build", dir.path(), "--output", path});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QStringLiteral("Cannot write %1: %2\n").arg(QDir::toNativeSeparators(path), reason));
    QVERIFY(run.out.isEmpty());
    QCOMPARE(readFileBytes(configuration), before);
    if (!output.contains("Configuration"))
        QVERIFY(!QFileInfo(path).isFile());
}

void TestCliImage::buildOfAConfigurationThatCannotBeReadSaysWhy_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    const QString doctype = "the document has a document type declaration, which this file never holds";
    QTest::newRow("folder, once \"does not exist\"") << "folder"
                                                     << ": is a folder";
    QTest::newRow("FIFO, once \"does not exist\"") << "FIFO"
                                                   << ": is not a regular file";
    QTest::newRow("link to /dev/zero") << "link to /dev/zero"
                                       << ": is not a regular file";
    QTest::newRow("link loop") << "link loop"
                               << ": Too many levels of symbolic links";
    QTest::newRow("deep nesting, once a crash") << "deep nesting"
                                                << ":1:109: elements are nested deeper "
                                                   "than 32 levels";
    QTest::newRow("entity amplification, once 1.5 GB") << "entity amplification"
                                                       << ":1:1: " + doctype;
    QTest::newRow("external entity, once an empty PIN") << "external entity"
                                                        << ":1:1: " + doctype;
}

void TestCliImage::buildOfAConfigurationThatCannotBeReadSaysWhy()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString configuration = dir.filePath("Configuration.xml");
    QVERIFY(hostile::plant(kind, configuration, "Configuration"));
    const Run run = runCli({"build", dir.path()});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QDir::toNativeSeparators(configuration) + reason + '\n');
    QVERIFY(!QFileInfo::exists(dir.filePath("bin")));
}

void TestCliImage::inspectReadsOnlyBoundedRegularFiles_data()
{
    QTest::addColumn<QString>("kind"); // a hostile kind, or "large"
    QTest::addColumn<QString>("reason");
    QTest::newRow("/dev/zero, once until memory ran out") << "link to /dev/zero"
                                                          << "is not a regular file";
    QTest::newRow("FIFO") << "FIFO"
                          << "is not a regular file";
    QTest::newRow("folder") << "folder"
                            << "is a folder";
    QTest::newRow("241 KB, once 12 s and 3.4 GB") << "large"
                                                  << "is larger than 100001 bytes";
}

void TestCliImage::inspectReadsOnlyBoundedRegularFiles()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath("bank.bin");
    if (kind == "large")
        QVERIFY(hostile::writeBytes(path, QByteArray(241 * 1024, '\xFF')));
    else
        QVERIFY(hostile::plant(kind, path, "Configuration"));
    const Run run = runCli({"inspect", path}, 10000);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QStringLiteral("trenov5x-cli inspect: cannot read %1: %2\n").arg(path, reason));
}

// A message holding an escape sequence once retitled the terminal.
void TestCliImage::inspectEscapesControlCharacters()
{
    image::ImageModel model = testimage::newConfigurationModel();
    model.messages = {QStringLiteral("\x1B]0;owned\x07 tab\there\r\nend \u0085 \u00E9")};
    model.passwords = {QStringLiteral("p\x1B[2J")};
    model.phoneNumbers = {QByteArray("+39\x1B[1m\x9B")};
    QTemporaryDir dir;
    const QString path = dir.filePath("bank.bin");
    QVERIFY(hostile::writeBytes(path, image::writeImage(model).bytes));

    const Run run = runCli({"inspect", path});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QStringLiteral(R"("\x1B]0;owned\x07 tab\there\r\nend \x85 é")")),
             qPrintable(run.out));
    QVERIFY2(run.out.contains(QStringLiteral(R"("p\x1B[2J")")), qPrintable(run.out));
    // 0x9B is a printable character in Windows-1252 (a closing angle quote).
    QVERIFY2(run.out.contains(QStringLiteral("\"+39\\x1B[1m\u203A\"")), qPrintable(run.out));
    for (const QChar c : run.out)
        QVERIFY2(c >= u' ' || c == u'\n', qPrintable(QString::number(c.unicode())));

    // JSON escapes them by its own rules: the text comes back whole.
    const Run json = runCli({"inspect", path, "--json"});
    const QJsonObject decoded = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(decoded["messages"].toArray().first().toString(), model.messages.first());
}

void TestCliImage::buildWarnsOfEveryTextTheDeviceCuts_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QStringList>("warnings");
    const QString twenty1 = "+3912345678901234567";
    const QString twenty2 = "+3912345678901239999";
    const QString rows = "Configuration/Output/Digital/Digital_Output_1/CALL/List_SMS/SMS";
    QTest::newRow("two 20-digit numbers that become one on the device")
        << QStringList{"DO1.CALL/Enable_from_CALL=1", "+DO1.CALL/List_SMS=" + twenty1 + "|0",
                       "+DO1.CALL/List_SMS=" + twenty2 + "|0"}
        << QStringList{rows +
                           "[1]/Phone_Number, line 1: the device keeps 16 of the 20 bytes of the phone "
                           "number \"" +
                           twenty1 + "\": \"+391234567890123\"",
                       rows +
                           "[2]/Phone_Number, line 1: the device keeps 16 of the 20 bytes of the phone "
                           "number \"" +
                           twenty2 +
                           "\": \"+391234567890123\"; the device sees the same "
                           "number as at " +
                           rows + "[1]/Phone_Number, line 1"};
    QTest::newRow("a number used twice is told once")
        << QStringList{"DO1.CALL/Enable_from_CALL=1", "+DO1.CALL/List_SMS=" + twenty1 + "|0",
                       "DO2.CALL/Enable_from_CALL=1", "+DO2.CALL/List_SMS=" + twenty1 + "|1"}
        << QStringList{rows +
                       "/Phone_Number, line 1: the device keeps 16 of the 20 bytes of the phone "
                       "number \"" +
                       twenty1 + "\": \"+391234567890123\""};
    QTest::newRow("16 bytes, 8 of a PIN, 8 of a password and 64 of a message are kept whole")
        << QStringList{"PS/PIN=12345678", "DI1/En_SMS_F0T1=1",
                       "+DI1/List_SMS_F0T1=" + QString(64, 'm') + "|+391234567890123",
                       "DO1.SMS/Check_Password_from_SMS=1", "DO1.SMS/Password_from_SMS_Text=pass1234"}
        << QStringList{};
    QTest::newRow("PIN, password and message one past their fields")
        << QStringList{"PS/PIN=123456789", "DI1/En_SMS_F0T1=1",
                       "+DI1/List_SMS_F0T1=" + QString(65, 'm') + "|1", "DO1.SMS/Check_Password_from_SMS=1",
                       "DO1.SMS/Password_from_SMS_Text=pass12345"}
        << QStringList{
               "Configuration/Input/Digital/Digital_Input_1/List_SMS_F0T1/SMS/Message, line 1: the "
               "device keeps 64 of the 65 characters of the message \"" +
                   QString(65, 'm') + "\": \"" + QString(64, 'm') + "\"",
               "Configuration/Output/Digital/Digital_Output_1/SMS/Password_from_SMS_Text, line 1: the "
               "device keeps 8 of the 9 characters of the password \"pass12345\": \"pass1234\"",
               "Configuration/Phone_Setting/PIN, line 1: the device keeps 8 of the 9 bytes of the PIN "
               "\"123456789\": \"12345678\""};
}

void TestCliImage::buildWarnsOfEveryTextTheDeviceCuts()
{
    // Texts the window's checks would refuse are compiled with --no-check.
    QFETCH(QStringList, edits);
    QFETCH(QStringList, warnings);
    QTemporaryDir dir;
    const config::XmlParseResult parsed = ConfigXml().apply(edits).parsed();
    ConfigXml().apply(edits).writeTo(dir.path());
    const Run run = runCli({"build", dir.path(), "--no-check"});
    QCOMPARE(run.exitCode, 0);
    QStringList lines = run.err.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, warnings.replaceInStrings(QRegularExpression("^"), "trenov5x-cli build: warning: "));
    QVERIFY(run.out.startsWith("Wrote "));
    // Built as the layout says, cut texts included.
    const image::CompileResult compiled = image::compileConfiguration(*parsed.root);
    QCOMPARE(readFileBytes(dir.filePath("bin/bank.bin")), image::writeImage(compiled.model).bytes);
}

// The starter configuration of the README: the window opens it, check passes
// it and build compiles it.
void TestCliImage::exampleConfigurationPassesAndBuilds()
{
    QTemporaryDir dir;
    QVERIFY(QFile::copy(TRENOV5X_SOURCE_DIR "/docs/examples/Configuration.xml",
                        dir.filePath("Configuration.xml")));
    config::Configuration c;
    const config::LoadResult loaded = config::loadConfigurationFile(dir.filePath("Configuration.xml"), c);
    QVERIFY2(loaded.status == config::LoadStatus::Loaded, qPrintable(loaded.error));

    Run run = runCli({"check", dir.path()});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("OK\n"));
    run = runCli({"build", dir.path()});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    run = runCli({"inspect", dir.filePath("bin/bank.bin"), "--json"});
    QCOMPARE(run.exitCode, 0);
    const QJsonObject image = QJsonDocument::fromJson(run.out.toUtf8()).object();
    QCOMPARE(image.value("phoneNumbers").toArray().size(), 2);
    QCOMPARE(image.value("smsEvents").toArray().size(), 2);
    QCOMPARE(image.value("callEvents").toArray().size(), 2);
}

QTEST_GUILESS_MAIN(TestCliImage)
#include "tst_cli_image.moc"
