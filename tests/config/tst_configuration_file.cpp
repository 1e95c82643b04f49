// Configuration.xml: the written tree, loading with fallbacks, refused files
// and the encodings a file may come in.
#include "common/hostile_files.h"
#include "config/ConfigurationFile.h"
#include "config/TextCodec.h"
#include "config/XmlTree.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QTest>

using namespace config;

namespace {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

// Compares two element trees; returns the path of the first difference.
QString firstDifference(const config::XmlElement &a, const config::XmlElement &b, const QString &path = {})
{
    const QString here = path + QLatin1Char('/') + a.nameText();
    if (a.name() != b.name())
        return here + QStringLiteral(" vs ") + b.nameText();
    if (a.children.size() != b.children.size())
        return here + QStringLiteral(": %1 vs %2 children").arg(a.children.size()).arg(b.children.size());
    if (a.children.isEmpty() && a.text() != b.text())
        return here + QStringLiteral(": '%1' vs '%2'").arg(a.text(), b.text());
    for (qsizetype i = 0; i < a.children.size(); ++i) {
        QString d = firstDifference(a.children[i], b.children[i], here);
        if (!d.isEmpty())
            return d;
    }
    return {};
}

// A configuration with a distinct value in every field.
Configuration everyFieldSet()
{
    Configuration c;
    c.pin = QStringLiteral("0123");
    c.dst = true;
    int k = 0;
    auto next = [&k](const QString &stem) { return stem + QString::number(++k); };
    for (DigitalInput &in : c.digitalInputs) {
        for (InputEvent *e : {&in.f0t1, &in.f1t0}) {
            e->enSms = true;
            e->timeDelay = next(QStringLiteral("0"));
            e->list.setRows({{next(QStringLiteral("Alarm <&> \"é€\" ")), QStringLiteral("+39 0"),
                              next(QStringLiteral("d"))},
                             {QString(), QStringLiteral("+1"), next(QStringLiteral("only description"))}});
        }
    }
    for (AnalogThreshold *t : {&c.analogInput.high, &c.analogInput.low}) {
        t->enSms = true;
        t->value = next(QStringLiteral("1,"));
        t->valueHys = next(QStringLiteral("0."));
        t->timeDelay = next(QString());
        t->list.setRows({{next(QStringLiteral("m")), QStringLiteral("123"), QString()}});
    }
    for (DigitalOutput &out : c.digitalOutputs) {
        OutputSms &s = out.sms;
        s.enable = s.set = s.reset = s.impulse = s.checkPhoneNumber = s.checkPassword = s.sendBack = true;
        s.setText = next(QStringLiteral("on "));
        s.resetText = next(QStringLiteral("off "));
        s.impulseText = next(QStringLiteral("pulse "));
        s.delayImpulse = next(QString());
        s.password = next(QStringLiteral("pw"));
        s.list.setRows({{QStringLiteral("+4900"), QStringLiteral("7"), QString()}});
        OutputCall &call = out.call;
        call.enable = true;
        call.ringNumber = next(QString());
        call.hangUpRing = next(QString());
        call.hangUp = {true, Operation::Reset, next(QString())};
        call.under = {true, Operation::Impulse, next(QString())};
        call.above = {false, Operation::Set, next(QString())};
        call.list.setRows({{QStringLiteral("+4911"), QString(), next(QStringLiteral("call "))}});
    }
    for (int n = 0; n < kWeeklyProfiles; ++n) {
        c.weeklyProfiles[n].enabled = n != 1;
        for (int d = 0; d < kDaysPerWeek; ++d)
            c.weeklyProfiles[n].days[d][(n * 7 + d * 5) % kSlotsPerDay] = true;
    }
    for (int n = 0; n < kDailyProfiles; ++n) {
        c.dailyProfiles[n].enabled = n == 2;
        c.dailyProfiles[n].timeSlots[47 - n] = true;
    }
    return c;
}

// The smallest file that holds every required element: a new configuration
// written by this program with the optional elements taken out.
QByteArray olderFile()
{
    QByteArray bytes = serializeConfiguration(Configuration());
    for (const char *name :
         {"DST", "Value_High_Hys", "Value_Low_Hys", "Set_from_SMS_Text", "Reset_from_SMS_Text",
          "Impulse_from_SMS_Text", "Password_from_SMS_Text", "Hang_Up_Ring_from_CALL"}) {
        const QString n = QLatin1String(name);
        bytes = QString::fromUtf8(bytes)
                    .remove(QRegularExpression(QStringLiteral("<%1>[^<]*</%1>|<%1/>").arg(n)))
                    .toUtf8();
    }
    return bytes;
}

// A file that a program may leave partial: not at the new-configuration
// value in a few fields, so that a field taken from the file shows.
Configuration partlyWritten()
{
    Configuration c;
    c.pin = QStringLiteral("4321");
    c.digitalOutputs[1].sms.set = true;
    c.digitalOutputs[0].call.ringNumber = QStringLiteral("6");
    c.weeklyProfiles[2].enabled = true;
    return c;
}

QByteArray without(QByteArray bytes, const QString &pattern)
{
    return QString::fromUtf8(bytes).remove(QRegularExpression(pattern)).toUtf8();
}

QByteArray replaced(QByteArray bytes, const char *from, const char *to)
{
    const qsizetype at = bytes.indexOf(from);
    if (at < 0)
        qFatal("fixture text '%s' not found", from);
    return bytes.replace(at, qstrlen(from), to);
}

} // namespace

class TestConfigurationFile : public QObject
{
    Q_OBJECT

private slots:
    void newConfigurationWritesTheFullDefaultTree()
    {
        const QByteArray written = serializeConfiguration(Configuration());
        QVERIFY2(written.startsWith("<Configuration>"), "no declaration, root first");
        QVERIFY2(!QString::fromUtf8(written).contains(QRegularExpression(QStringLiteral(">\\s+<"))),
                 "no whitespace between elements");
        const config::XmlParseResult actual = config::xmltree::parse(written);
        const config::XmlParseResult expected =
            config::xmltree::parseFile(TRENOV5X_TEST_DATA "/config/new_configuration.xml");
        QVERIFY(actual.root && expected.root);
        QCOMPARE(firstDifference(*actual.root, *expected.root), QString());
    }

    void everyFieldSurvivesSaveAndLoad()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Configuration.xml"));
        const Configuration saved = everyFieldSet();
        QVERIFY(writeConfigurationFile(saved, path).ok);

        Configuration loaded;
        const LoadResult r = loadConfigurationFile(path, loaded);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.status, LoadStatus::Loaded);
        QCOMPARE(loaded, saved);
        QVERIFY2(!readFile(path).contains("<?xml"), "our own files carry no declaration");
    }

    void blankRowsAreNotWritten_data()
    {
        QTest::addColumn<int>("which"); // 0: input table, 1: output table
        QTest::addColumn<QString>("column1");
        QTest::newRow("input row with only a phone number") << 0 << QStringLiteral("+39123");
        QTest::newRow("input row with a letter in the number") << 0 << QStringLiteral("abc");
        QTest::newRow("output row with only a profile") << 1 << QStringLiteral("4");
    }
    void blankRowsAreNotWritten()
    {
        QFETCH(int, which);
        QFETCH(QString, column1);
        Configuration c;
        SmsTable &t = which == 0 ? c.digitalInputs[0].f0t1.list : c.digitalOutputs[1].call.list;
        t.setRows({{QStringLiteral("kept"), QString(), QString()}, {QString(), column1, QString()}});
        const config::XmlParseResult parsed = config::xmltree::parse(serializeConfiguration(c));
        const config::XmlElement *table = which == 0 ? parsed.root->child(u"Input")
                                                           ->child(u"Digital")
                                                           ->child(u"Digital_Input_1")
                                                           ->child(u"List_SMS_F0T1")
                                                     : parsed.root->child(u"Output")
                                                           ->child(u"Digital")
                                                           ->child(u"Digital_Output_2")
                                                           ->child(u"CALL")
                                                           ->child(u"List_SMS");
        QCOMPARE(table->children.size(), 1);
        QCOMPARE(table->children[0].children[0].text(), QStringLiteral("kept"));
    }

    void olderFileTakesTheFallbacksAndSavingAddsThem()
    {
        QByteArray bytes = olderFile();
        bytes = replaced(bytes, "<Ring_Number_from_CALL>3</Ring_Number_from_CALL>",
                         "<Ring_Number_from_CALL>5</Ring_Number_from_CALL>");
        Configuration c;
        c.dst = true;
        c.digitalOutputs[0].sms.setText = QStringLiteral("typed before");
        QCOMPARE(loadConfigurationBytes(bytes, QStringLiteral("old.xml"), c).error, QString());
        QCOMPARE(c.dst, false);
        QCOMPARE(c.analogInput.high.valueHys, QStringLiteral("1"));
        QCOMPARE(c.analogInput.low.valueHys, QStringLiteral("1"));
        for (int n = 0; n < 2; ++n) {
            const DigitalOutput &out = c.digitalOutputs[n];
            QCOMPARE(out.sms.setText, QStringLiteral("Turn On DO%1").arg(n + 1));
            QCOMPARE(out.sms.resetText, QStringLiteral("Turn Off DO%1").arg(n + 1));
            QCOMPARE(out.sms.impulseText, QStringLiteral("Impulse DO%1").arg(n + 1));
            QCOMPARE(out.sms.password, QStringLiteral("7839"));
        }
        QCOMPARE(c.digitalOutputs[0].call.hangUpRing, QStringLiteral("5"));
        QCOMPARE(c.digitalOutputs[1].call.hangUpRing, QStringLiteral("3"));

        const config::XmlParseResult resaved = config::xmltree::parse(serializeConfiguration(c));
        QCOMPARE(resaved.root->child(u"Phone_Setting")->child(u"DST")->text(), QStringLiteral("0"));
        QVERIFY(resaved.root->child(u"Output")
                    ->child(u"Digital")
                    ->child(u"Digital_Output_2")
                    ->child(u"SMS")
                    ->child(u"Password_from_SMS_Text"));
    }

    void valuesAreReadAsTheFileHoldsThem()
    {
        QByteArray bytes = serializeConfiguration(Configuration());
        // Table of 1 row, table of 3 rows with cells in another order, a
        // table row element of any name.
        bytes = replaced(bytes, "<List_SMS_F0T1/>",
                         "<List_SMS_F0T1><SMS><Message>m</Message><Phone_Number>1</Phone_Number>"
                         "<Description>d</Description></SMS></List_SMS_F0T1>");
        bytes = replaced(bytes, "<List_SMS_F1T0/>",
                         "<List_SMS_F1T0><SMS><Description>a</Description><Message>b</Message></SMS>"
                         "<Row><Phone_Number>2</Phone_Number></Row><SMS/></List_SMS_F1T0>");
        bytes = replaced(bytes, "<Operation_Hang_Up_from_CALL>0</Operation_Hang_Up_from_CALL>",
                         "<Operation_Hang_Up_from_CALL>5</Operation_Hang_Up_from_CALL>");
        bytes = replaced(bytes, "<Operation_Under_Ring_from_CALL>0</Operation_Under_Ring_from_CALL>",
                         "<Operation_Under_Ring_from_CALL>1</Operation_Under_Ring_from_CALL>");
        bytes = replaced(bytes, "<Enable_from_SMS>0</Enable_from_SMS>",
                         "<Enable_from_SMS>true</Enable_from_SMS>");
        bytes = replaced(bytes, "<Set_from_SMS>0</Set_from_SMS>", "<Set_from_SMS>1</Set_from_SMS>");
        bytes = replaced(bytes, "<Time_Delay_Low>100</Time_Delay_Low>",
                         "<Time_Delay_Low> 0100x </Time_Delay_Low>");
        // Monday of Week1 with 47 slots, the last one on.
        const QByteArray slot0 = "<Time_Slot>0</Time_Slot>";
        const qsizetype monday = bytes.indexOf("<Monday>") + qstrlen("<Monday>");
        bytes.remove(monday, slot0.size());
        bytes = replaced(bytes, "<Time_Slot>0</Time_Slot></Monday>", "<Time_Slot>1</Time_Slot></Monday>");

        Configuration c;
        c.weeklyProfiles[0].days[0][47] = true; // a slot the file does not reach keeps its value
        QCOMPARE(loadConfigurationBytes(bytes, QStringLiteral("f.xml"), c).error, QString());
        const DigitalInput &in = c.digitalInputs[0];
        QCOMPARE(in.f0t1.list.rows(), (QList<TableRow>{{"m", "1", "d"}}));
        QCOMPARE(in.f1t0.list.rows(), (QList<TableRow>{{"b", "", "a"}, {"", "2", ""}, {"", "", ""}}));
        QCOMPARE(c.digitalOutputs[0].call.hangUp.operation, Operation::Impulse);
        QCOMPARE(c.digitalOutputs[0].call.under.operation, Operation::Reset);
        QCOMPARE(c.digitalOutputs[0].sms.enable, false);
        QCOMPARE(c.digitalOutputs[0].sms.set, true);
        QCOMPARE(c.analogInput.low.timeDelay, QStringLiteral(" 0100x "));
        QCOMPARE(c.weeklyProfiles[0].days[0][45], false);
        QCOMPARE(c.weeklyProfiles[0].days[0][46], true); // the 47th child
        QCOMPARE(c.weeklyProfiles[0].days[0][47], true);

        const QByteArray again = serializeConfiguration(c);
        QVERIFY(again.contains("<Operation_Hang_Up_from_CALL>2</Operation_Hang_Up_from_CALL>"));
        QVERIFY(again.contains("<Enable_from_SMS>0</Enable_from_SMS>"));
    }

    void refusedFileChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("errorPart");
        const QByteArray good = serializeConfiguration(Configuration());
        QTest::newRow("not well-formed")
            << replaced(good, "</PIN>", "</PIM>") << QStringLiteral("line 1, column");
        QTest::newRow("another root")
            << QByteArray("<Config><Phone_Setting/></Config>") << QStringLiteral("root");
        QTest::newRow("required element missing")
            << replaced(good, "<Time_Delay_F1T0>100</Time_Delay_F1T0>", "")
            << QStringLiteral("Configuration/Input/Digital/Digital_Input_1/Time_Delay_F1T0 is missing");
        QTest::newRow("whole output missing")
            << without(good, QStringLiteral("<Digital_Output_2>.*</Digital_Output_2>"))
            << QStringLiteral("Configuration/Output/Digital/Digital_Output_2 is missing");
        QTest::newRow("table missing")
            << replaced(good, "<List_SMS_High/>", "")
            << QStringLiteral("Configuration/Input/Analog/Analog_Input_1/List_SMS_High is missing");
        QTest::newRow("single flag missing")
            << replaced(good, "<Enable_Week>0</Enable_Week>", "")
            << QStringLiteral("Configuration/Date_Time_Profile/Profile/Weekly/Week1/Enable_Week is missing");
        QTest::newRow("leaf holding elements")
            << replaced(good, "<PIN></PIN>", "<PIN><Code>1</Code></PIN>")
            << QStringLiteral("Configuration/Phone_Setting/PIN holds elements");
        QTest::newRow("49th time slot")
            << replaced(good, "</Sunday>", "<Time_Slot>1</Time_Slot></Sunday>")
            << QStringLiteral("Week1/Time_Slots/Sunday holds more than 48 time slots");
        QTest::newRow("empty file") << QByteArray() << QStringLiteral("f.xml");
    }
    void refusedFileChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, errorPart);
        Configuration c = everyFieldSet();
        const Configuration before = c;
        const LoadResult r = loadConfigurationBytes(bytes, QStringLiteral("f.xml"), c);
        QCOMPARE(r.status, LoadStatus::Failed);
        QVERIFY2(r.error.startsWith(QStringLiteral("f.xml")), qPrintable(r.error));
        QVERIFY2(r.error.contains(errorPart), qPrintable(r.error));
        QVERIFY(c == before);
    }

    void openingGivesNewValuesForWhatTheFileLeavesOut_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file at all
        QTest::addColumn<bool>("withFallbacks");
        const QByteArray written = serializeConfiguration(partlyWritten());
        QTest::newRow("tables without rows") << written << false;
        QTest::newRow("days without slots")
            << without(written, QStringLiteral("<Time_Slot>0</Time_Slot>")) << false;
        const QString optional =
            QStringLiteral("<(DST|Value_High_Hys|Value_Low_Hys|Set_from_SMS_Text|Reset_from_SMS_"
                           "Text|Impulse_from_SMS_Text|Password_from_SMS_Text|Hang_Up_Ring_"
                           "from_CALL)>[^<]*</\\1>");
        QTest::newRow("optional elements left out") << without(written, optional) << true;
        QTest::newRow("no file") << QByteArray() << false;
    }

    void openingGivesNewValuesForWhatTheFileLeavesOut()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, withFallbacks);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Configuration.xml"));
        // What was open before: every field away from its new value.
        const Configuration open = everyFieldSet();
        Configuration expected = partlyWritten();
        if (bytes.isNull()) {
            // As New: the kept fields stay, all others take their new values.
            expected = open;
            expected.setNewDefaults();
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        if (withFallbacks) {
            expected.analogInput.high.valueHys = expected.analogInput.low.valueHys = QStringLiteral("1");
            for (DigitalOutput &out : expected.digitalOutputs) {
                out.sms.password = QStringLiteral("7839");
                out.call.hangUpRing = out.call.ringNumber;
            }
        }

        Configuration c = open;
        const LoadResult r = openConfigurationFile(path, c);
        QCOMPARE(r.error, QString());
        QCOMPARE(r.status, bytes.isNull() ? LoadStatus::Missing : LoadStatus::Loaded);
        QCOMPARE(serializeConfiguration(c), serializeConfiguration(expected));
        QVERIFY(c == expected); // blank rows included, which the file does not hold

        // A refused file leaves the open configuration as it was.
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(without(serializeConfiguration(Configuration()), QStringLiteral("<PIN>.*</PIN>")));
        f.close();
        c = open;
        QCOMPARE(openConfigurationFile(path, c).status, LoadStatus::Failed);
        QVERIFY(c == open);
    }

    void missingFileIsNotAnError()
    {
        QTemporaryDir dir;
        Configuration c = everyFieldSet();
        const LoadResult r = loadConfigurationFile(dir.filePath(QStringLiteral("Configuration.xml")), c);
        QCOMPARE(r.status, LoadStatus::Missing);
        QVERIFY(c == everyFieldSet());
    }

    void fileInAnyDeclaredEncodingIsRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString pin = QStringLiteral("<PIN>1234</PIN>");
        const QString description = QString::fromUtf8("Caf\u00e9 \u20ac \u0160 \u00fc");
        QString text = QString::fromUtf8(serializeConfiguration(Configuration()));
        text.replace(QStringLiteral("<List_SMS_F0T1/>"),
                     QStringLiteral("<List_SMS_F0T1><SMS><Message>x</Message><Phone_Number/><Description>%1"
                                    "</Description></SMS></List_SMS_F0T1>")
                         .arg(description));
        auto declared = [&text](const char *encoding) {
            return QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\n").arg(QLatin1String(encoding)) +
                   text;
        };
        QTest::newRow("UTF-8 without declaration") << text.toUtf8();
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + declared("UTF-8").toUtf8();
        QStringEncoder utf16(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        QTest::newRow("UTF-16 LE with BOM") << QByteArray(utf16(declared("UTF-16")));
        QTest::newRow("windows-1252") << config::textcodec::toWindows1252(declared("windows-1252"));
        QTest::newRow("cp1252 spelling") << config::textcodec::toWindows1252(declared("cp1252"));
        // ISO-8859-15: the euro sign at 0xA4 and Š at 0xA6.
        QByteArray latin9 = config::textcodec::toWindows1252(declared("ISO-8859-15"));
        latin9.replace('\x80', '\xA4').replace('\x8A', '\xA6');
        QTest::newRow("ISO-8859-15") << latin9;
    }
    void fileInAnyDeclaredEncodingIsRead()
    {
        QFETCH(QByteArray, bytes);
        Configuration c;
        QCOMPARE(loadConfigurationBytes(bytes, QStringLiteral("f.xml"), c).error, QString());
        QCOMPARE(c.digitalInputs[0].f0t1.list.row(0)[2], QString::fromUtf8("Caf\u00e9 \u20ac \u0160 \u00fc"));
    }

    void latin1FileIsRead()
    {
        QString text = QString::fromUtf8(serializeConfiguration(Configuration()));
        text.replace(QStringLiteral("<PIN></PIN>"), QStringLiteral("<PIN>\u00e9\u00ff</PIN>"));
        const QByteArray bytes = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + text.toLatin1();
        Configuration c;
        QCOMPARE(loadConfigurationBytes(bytes, QStringLiteral("f.xml"), c).error, QString());
        QCOMPARE(c.pin, QStringLiteral("\u00e9\u00ff"));
    }

    void carriageReturnsAndLineBreaksComeBackAsTyped()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Configuration.xml"));
        Configuration saved;
        saved.pin = QStringLiteral("\r");
        saved.digitalOutputs[0].sms.setText = QStringLiteral("On\r\nnow\rplease\n\tend");
        saved.digitalInputs[1].f1t0.list.setRows(
            {{QStringLiteral("a\rb"), QStringLiteral("+1"), QStringLiteral("\r\r")}});
        QVERIFY(writeConfigurationFile(saved, path).ok);
        Configuration loaded;
        QCOMPARE(loadConfigurationFile(path, loaded).status, LoadStatus::Loaded);
        QCOMPARE(loaded, saved);
    }

    void textsAFileCannotHoldAreRefusedNotDropped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("inTable");
        QTest::addColumn<QString>("named");
        QTest::newRow("control character in the PIN")
            << QStringLiteral("12\x01") << false << "Configuration/Phone_Setting/PIN";
        QTest::newRow("escape in a message")
            << QStringLiteral("\x1b[31m") << true
            << "Configuration/Input/Digital/Digital_Input_1/List_SMS_F0T1, row 2, Message";
        QTest::newRow("lone surrogate")
            << QString(QChar(0xD800)) << false << "Configuration/Phone_Setting/PIN";
        QTest::newRow("U+FFFF") << QString(QChar(0xFFFF)) << false << "Configuration/Phone_Setting/PIN";
    }

    void textsAFileCannotHoldAreRefusedNotDropped()
    {
        QFETCH(QString, text);
        QFETCH(bool, inTable);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Configuration.xml"));
        QVERIFY(writeConfigurationFile(Configuration(), path).ok);
        const QByteArray before = readFile(path);
        Configuration c;
        if (inTable)
            c.digitalInputs[0].f0t1.list.setRows({{QStringLiteral("ok"), {}, {}}, {text, {}, {}}});
        else
            c.pin = text;
        const WriteResult r = writeConfigurationFile(c, path);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(named), qPrintable(r.error));
        QCOMPARE(readFile(path), before);
        // An emoji is a surrogate pair, and fine.
        c = Configuration();
        c.pin = QStringLiteral("\U0001F600");
        QVERIFY(writeConfigurationFile(c, path).ok);
    }

    void failedWriteReportsAndKeepsTheEarlierFile()
    {
        QTemporaryDir dir;
        const QString missingFolder = dir.filePath(QStringLiteral("gone/Configuration.xml"));
        WriteResult r = writeConfigurationFile(Configuration(), missingFolder);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(QStringLiteral("gone")), qPrintable(r.error));

        // A folder standing where the file should be: the write fails, the folder stays.
        const QString blocked = dir.filePath(QStringLiteral("blocked"));
        QVERIFY(QDir().mkpath(blocked + QStringLiteral("/inside")));
        r = writeConfigurationFile(Configuration(), blocked);
        QVERIFY(!r.ok);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(QFileInfo(blocked + QStringLiteral("/inside")).isDir());
    }

    void writeOnAFullDiskKeepsTheEarlierFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Configuration.xml"));
        QVERIFY(writeConfigurationFile(everyFieldSet(), path).ok);
        const QByteArray earlier = readFile(path);
        WriteResult r;
        {
            const hostile::FileSizeLimit limit(1024);
            r = writeConfigurationFile(Configuration(), path);
        }
        QVERIFY(!r.ok);
        QCOMPARE(r.error, QDir::toNativeSeparators(path) + QStringLiteral(": File too large"));
        QCOMPARE(readFile(path), earlier);
    }
};

QTEST_GUILESS_MAIN(TestConfigurationFile)
#include "tst_configuration_file.moc"
