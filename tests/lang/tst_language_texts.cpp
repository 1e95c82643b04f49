// Which text every language key gets from the built-in English and from a
// language file: fallbacks per key and per group, and files that are refused.
#include "common/hostile_files.h"
#include "lang/KeyTable.h"
#include "lang/LanguageTexts.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamWriter>
#include <functional>

using Expectations = QList<QPair<QString, QString>>;

namespace {

// A language file holding every key of the table with the text prefix + key,
// without the groups and keys named; `extra` adds keys to a group afterwards.
QByteArray completeFile(const QString &prefix, const QStringList &omitGroups = {})
{
    QByteArray bytes;
    QXmlStreamWriter w(&bytes);
    w.setAutoFormatting(true);
    w.writeStartDocument();
    w.writeStartElement(QStringLiteral("Language"));
    w.writeStartElement(QStringLiteral("FMain"));
    const auto groupDefs = lang::groups();
    std::function<void(lang::Group)> writeGroup = [&](lang::Group g) {
        const lang::GroupDef &def = lang::groupDef(g);
        if (omitGroups.contains(def.name.toString()))
            return;
        w.writeStartElement(def.name.toString());
        for (const lang::KeyDef &key : lang::keys()) {
            if (key.group == g)
                w.writeTextElement(key.key.toString(), prefix + key.key.toString());
        }
        for (int c = 0; c < int(groupDefs.size()); ++c) {
            if (groupDefs[c].parent == g)
                writeGroup(lang::Group(c));
        }
        w.writeEndElement();
    };
    for (int g = 0; g < int(groupDefs.size()); ++g) {
        if (groupDefs[g].parent == lang::Group::FMain)
            writeGroup(lang::Group(g));
    }
    w.writeEndDocument();
    return bytes;
}

QByteArray menuFile(const QByteArray &menuContent, const QByteArray &declaration = "UTF-8")
{
    return "<?xml version=\"1.0\" encoding=\"" + declaration + "\"?>\n<Language><FMain><Pan_Menu>" +
           menuContent + "</Pan_Menu></FMain></Language>\n";
}

Expectations keysOfGroups(const QStringList &groupNames,
                          const std::function<QString(const lang::KeyDef &)> &text)
{
    Expectations out;
    for (const lang::KeyDef &key : lang::keys()) {
        if (groupNames.contains(lang::groupDef(key.group).name.toString()))
            out.append({key.key.toString(), text(key)});
    }
    return out;
}

QString fallback(const lang::KeyDef &key)
{
    return key.text.toString();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

} // namespace

class TestLanguageTexts : public QObject
{
    Q_OBJECT

private slots:
    void keyTable_holdsEveryKeyOnce();
    void applyLanguage_data();
    void applyLanguage();
    void englishFile_setsEveryKey();
    void messageText_ofUnknownKeyIsTheKey();
    void badLanguageFileChangesNothing_data();
    void badLanguageFileChangesNothing();
};

void TestLanguageTexts::keyTable_holdsEveryKeyOnce()
{
    int captions = 0, headers = 0, messages = 0, messagesOutside = 0;
    QSet<QString> seen;
    for (const lang::KeyDef &key : lang::keys()) {
        QVERIFY2(!seen.contains(key.key.toString()), qPrintable(key.key.toString()));
        seen.insert(key.key.toString());
        QCOMPARE(lang::keyIndex(key.key), int(seen.size()) - 1);
        switch (key.kind) {
        case lang::KeyKind::Caption:
            ++captions;
            break;
        case lang::KeyKind::Header:
            ++headers;
            QVERIFY(key.key.startsWith(u"SG_"));
            break;
        case lang::KeyKind::Message:
            ++messages;
            messagesOutside += key.group != lang::Group::Messages_Errors;
            break;
        }
    }
    QCOMPARE(captions + headers, 307);
    QCOMPARE(headers, 30);
    // 74 messages of the device's own texts, 9 for the workspace, file,
    // updater (wine included) and language files, 2 for a second window on the
    // folder, 7 for the outcome and the progress of a device update, 3 for a
    // port that is lost, not permitted or in use, 3 for an update program that
    // is a folder or may not run and a port name the update program would take
    // for an option, 1 for closing the window during an update, 3 hints (the
    // About icon, the two return levels), 30 for the update's step list, its
    // read-back and the history of what was written, 9 for the tables (the
    // Duplicate Row caption, seven profile names, the line that says which
    // profile numbers select which profiles), 28 for the configuration sheet
    // and its button, check box and file dialog, 43 for the words of a
    // comparison of two configurations, 7 for a table file that cannot be read,
    // 13 for comparing in the window and the tables' CSV button and menu, file
    // dialogs, import question and unreadable file, 2 for the history on the
    // Load page.
    QCOMPARE(messages, 74 + 9 + 2 + 7 + 3 + 3 + 1 + 3 + 30 + 9 + 28 + 43 + 7 + 13 + 2);
    QCOMPARE(messagesOutside, 8);
    QCOMPARE(lang::keyIndex(u"No_Such_Key"), -1);
    QCOMPARE(lang::builtinText(u"Error_No_Answer"), QStringLiteral("Error! No Answer from Device."));
    QCOMPARE(lang::builtinText(u"No_Such_Key"), QString());
}

void TestLanguageTexts::applyLanguage_data()
{
    // prior: the texts before the language is applied: "builtin" (a fresh
    // object) or "prior" (a complete file with the texts "prior:" + key).
    // others: what every key not listed in `expected` must show afterwards:
    // "allBuiltin" (as after applyBuiltinTexts), "fallback" (each key's own
    // built-in text), "prior" or "file" (the text "file:" + key).
    QTest::addColumn<QString>("prior");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("fileBytes");
    QTest::addColumn<QString>("others");
    QTest::addColumn<Expectations>("expected");

    QTest::newRow("code 2 without Lang_ITA.xml: built-in English everywhere")
        << "prior" << 2 << QString() << QByteArray() << "allBuiltin"
        << Expectations{{"Error_No_Answer", "Error! No Answer from Device."},
                        {"Mes_Configuration_Saved", "Configuration Saved!"},
                        {"COMPort_Connected", "Connected"},
                        {"CB_DO2_SMS_IMPULSE", "IMPULSE output by SMS"}};
    QTest::newRow("code outside 1 to 4: built-in English")
        << "prior" << 7 << "Lang_ITA.xml" << completeFile("file:") << "allBuiltin" << Expectations{};
    QTest::newRow("file with only TntL_New_Menu: that label from the file, the rest built-in")
        << "prior" << 2 << "Lang_ITA.xml" << menuFile("<TntL_New_Menu>Nuova configurazione</TntL_New_Menu>")
        << "fallback"
        << Expectations{{"TntL_New_Menu", "Nuova configurazione"},
                        {"TntL_Load_Menu", "Load Configuration"},
                        {"CB_DO2_SMS_IMPULSE", "IMPULSE Output by SMS"},
                        {"Error_Dev_Boot", "Error! Device is not in Boot"}};
    QTest::newRow("P_Output missing: its keys and all keys of its child groups built-in, the walk goes on")
        << "prior" << 2 << "Lang_ITA.xml" << completeFile("file:", {"P_Output"}) << "file"
        << keysOfGroups({"P_Output", "P_Dig_Out_Set", "P_DigOut_1", "P_DO1_SMS", "P_DO1_CALL", "P_DigOut_2",
                         "P_DO2_SMS", "P_DO2_CALL"},
                        fallback);
    QTest::newRow("P_DigOut_1 missing: only its own subtree falls back")
        << "prior" << 2 << "Lang_ITA.xml" << completeFile("file:", {"P_DigOut_1"}) << "file"
        << keysOfGroups({"P_DigOut_1", "P_DO1_SMS", "P_DO1_CALL"}, fallback);
    QTest::newRow("switching to a file without Messages_Errors: every message built-in")
        << "prior" << 3 << "Lang_GER.xml" << completeFile("file:", {"Messages_Errors"}) << "file"
        << keysOfGroups({"Messages_Errors"}, fallback);
    QTest::newRow("built-in Spanish caption is Unicode")
        << "prior" << 1 << QString() << QByteArray() << "allBuiltin"
        << Expectations{{"TntRB_Leng_Spanish", QStringLiteral("Espa\u00F1ol")}};
    QTest::newRow("windows-1252 file is read right")
        << "builtin" << 4 << "Lang_SPA.xml"
        << menuFile("<TntL_New_Menu>Nueva configuraci\xF3n \x80 \x93OK\x94</TntL_New_Menu>", "windows-1252")
        << "fallback"
        << Expectations{{"TntL_New_Menu", QStringLiteral("Nueva configuraci\u00F3n \u20AC \u201COK\u201D")}};
    QTest::newRow("daily profile tab labels")
        << "prior" << 1 << QString() << QByteArray() << "allBuiltin"
        << Expectations{{"TntL_Pro_Day_Week1", "Weekly 1"}, {"TntL_Pro_Day_Week2", "Weekly 2"},
                        {"TntL_Pro_Day_Week3", "Weekly 3"}, {"TntL_Pro_Day_Day", "Daily"},
                        {"TntL_Pro_Day_Date", "Date"},      {"TntL_Pro_Day2_1130", "11.30"}};
    QTest::newRow("key holding child elements gets its built-in text")
        << "prior" << 2 << "Lang_ITA.xml" << menuFile("<TntL_New_Menu>Nuova <b>x</b></TntL_New_Menu>")
        << "fallback" << Expectations{{"TntL_New_Menu", "New Configuration"}};
    QTest::newRow("empty key gives an empty text")
        << "prior" << 2 << "Lang_ITA.xml" << menuFile("<TntL_New_Menu/><TntL_Load_Menu></TntL_Load_Menu>")
        << "fallback" << Expectations{{"TntL_New_Menu", ""}, {"TntL_Load_Menu", ""}};
    QTest::newRow("escaped ampersands, CDATA, attributes and unknown elements")
        << "prior" << 2 << "Lang_ITA.xml"
        << menuFile("<Extra>x</Extra><TntL_Date_Menu lang=\"it\">Data &amp;&amp; ora</TntL_Date_Menu>"
                    "<TntL_Save_Menu><![CDATA[<Salva>]]></TntL_Save_Menu>")
        << "fallback" << Expectations{{"TntL_Date_Menu", "Data && ora"}, {"TntL_Save_Menu", "<Salva>"}};
    QTest::newRow("first of two elements of one name wins")
        << "prior" << 2 << "Lang_ITA.xml"
        << menuFile("<TntL_New_Menu>Primo</TntL_New_Menu><TntL_New_Menu>Secondo</TntL_New_Menu>")
        << "fallback" << Expectations{{"TntL_New_Menu", "Primo"}};
    QTest::newRow("names are case-sensitive") << "prior" << 2 << "Lang_ITA.xml"
                                              << QByteArray("<Language><FMain><pan_menu><TntL_New_Menu>Nuova<"
                                                            "/TntL_New_Menu></pan_menu></FMain></Language>")
                                              << "fallback" << Expectations{};
    QTest::newRow("file that is not well-formed changes nothing")
        << "prior" << 2 << "Lang_ITA.xml" << QByteArray("<Language><FMain><Pan_Menu>") << "prior"
        << Expectations{};
    QTest::newRow("first file not well-formed: built-in English stays")
        << "builtin" << 2 << "Lang_ITA.xml" << QByteArray("<Language><FMain></Language>") << "allBuiltin"
        << Expectations{{"Error_Open_Com", "Error! When open COM Port"}};
    QTest::newRow("empty file changes nothing")
        << "prior" << 2 << "Lang_ITA.xml" << QByteArray() << "prior" << Expectations{};
    QTest::newRow("FMain missing changes nothing")
        << "prior" << 2 << "Lang_ITA.xml" << QByteArray("<Language><Pan_Menu/></Language>") << "prior"
        << Expectations{};
    QTest::newRow("document element not Language changes nothing")
        << "prior" << 2 << "Lang_ITA.xml" << QByteArray("<Lingua><FMain><Pan_Menu/></FMain></Lingua>")
        << "prior" << Expectations{};
}

void TestLanguageTexts::applyLanguage()
{
    QFETCH(QString, prior);
    QFETCH(int, code);
    QFETCH(QString, fileName);
    QFETCH(QByteArray, fileBytes);
    QFETCH(QString, others);
    QFETCH(Expectations, expected);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    lang::LanguageTexts texts;
    if (prior == u"prior") {
        writeFile(dir.filePath("prior.xml"), completeFile("prior:"));
        QVERIFY(texts.loadLanguageFile(dir.filePath("prior.xml")));
    }
    const QString folder = dir.filePath("Language");
    QVERIFY(QDir().mkpath(folder));
    if (!fileName.isEmpty())
        writeFile(folder + '/' + fileName, fileBytes);

    texts.applyLanguage(code, folder);

    lang::LanguageTexts builtin;
    QHash<QString, QString> want;
    for (const lang::KeyDef &key : lang::keys()) {
        const QString k = key.key.toString();
        if (others == u"allBuiltin")
            want[k] = builtin.text(k);
        else if (others == u"fallback")
            want[k] = key.text.toString();
        else if (others == u"prior")
            want[k] = "prior:" + k;
        else
            want[k] = "file:" + k;
    }
    for (const auto &[key, text] : expected) {
        QVERIFY2(lang::keyIndex(key) >= 0, qPrintable(key));
        want[key] = text;
    }
    for (const lang::KeyDef &key : lang::keys()) {
        const QString k = key.key.toString();
        QCOMPARE(texts.text(k), want[k]);
        if (key.kind == lang::KeyKind::Message)
            QCOMPARE(texts.messageText(k), want[k]);
    }
}

// The shipped English file is proofread and so differs from the built-in
// texts, which stay as the fallback; it must still set every key itself.
void TestLanguageTexts::englishFile_setsEveryKey()
{
    lang::LanguageTexts fromFile;
    // Start from other texts so that every key must come from the file.
    QTemporaryDir dir;
    writeFile(dir.filePath("prior.xml"), completeFile("prior:"));
    QVERIFY(fromFile.loadLanguageFile(dir.filePath("prior.xml")));
    QVERIFY(fromFile.loadLanguageFile(QStringLiteral(TRENOV5X_SOURCE_DIR "/Language/Lang_ENG.xml")));

    for (const lang::KeyDef &key : lang::keys())
        QVERIFY2(!fromFile.text(key.key).startsWith(u"prior:"), qPrintable(key.key.toString()));
    lang::LanguageTexts builtin;
    QCOMPARE(builtin.text(u"CB_DO2_SMS_IMPULSE"), QStringLiteral("IMPULSE output by SMS"));
    QCOMPARE(lang::builtinText(u"CB_DO2_SMS_IMPULSE"), QStringLiteral("IMPULSE Output by SMS"));
}

void TestLanguageTexts::messageText_ofUnknownKeyIsTheKey()
{
    const lang::LanguageTexts texts;
    QCOMPARE(texts.messageText(u"Error_Not_In_Table"), QStringLiteral("Error_Not_In_Table"));
    QCOMPARE(texts.text(u"Error_Not_In_Table"), QString());
}

void TestLanguageTexts::badLanguageFileChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    for (const QString &kind : hostile::kinds())
        QTest::newRow(qPrintable(kind)) << kind;
}

// Refused like any unreadable language file: the texts stay as they were.
void TestLanguageTexts::badLanguageFileChangesNothing()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString prior = dir.filePath(QStringLiteral("Lang_ITA.xml"));
    QFile file(prior);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(completeFile(QStringLiteral("prior:")));
    file.close();
    lang::LanguageTexts texts;
    QVERIFY(texts.loadLanguageFile(prior));

    const QString bad = dir.filePath(QStringLiteral("Lang_GER.xml"));
    QVERIFY(hostile::plant(kind, bad, "Language"));
    QVERIFY(!texts.loadLanguageFile(bad));
    for (const lang::KeyDef &key : lang::keys())
        QCOMPARE(texts.text(key.key), QStringLiteral("prior:") + key.key.toString());
}

QTEST_GUILESS_MAIN(TestLanguageTexts)
#include "tst_language_texts.moc"
