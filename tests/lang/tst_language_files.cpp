// The shipped language files: each holds every key of the program in the
// group tree, no unknown element, and keeps what the program relies on in
// its texts (ampersand pairs, placeholders, the space before an appended row
// number).
#include "config/XmlTree.h"
#include "lang/KeyTable.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTest>

namespace {

QString languageFile(const QString &name)
{
    return QStringLiteral(TRENOV5X_SOURCE_DIR "/Language/") + name;
}

// The element names a group must hold: its keys and its child groups.
QStringList expectedChildren(lang::Group group)
{
    QStringList names;
    for (const lang::KeyDef &key : lang::keys()) {
        if (key.group == group)
            names.append(key.key.toString());
    }
    const auto groupDefs = lang::groups();
    for (int g = 0; g < int(groupDefs.size()); ++g) {
        if (groupDefs[g].parent == group)
            names.append(groupDefs[g].name.toString());
    }
    return names;
}

void compareTree(const config::XmlElement &element, lang::Group group, const QString &path,
                 QStringList &problems)
{
    const QStringList expected = expectedChildren(group);
    QStringList seen;
    for (const config::XmlElement &child : element.children) {
        const QString name = child.nameText();
        const QString where = path + '/' + name;
        if (seen.contains(name))
            problems.append("twice: " + where);
        else if (!expected.contains(name))
            problems.append("unknown: " + where);
        seen.append(name);
    }
    for (const QString &name : expected) {
        if (!seen.contains(name))
            problems.append("missing: " + path + '/' + name);
    }
    const auto groupDefs = lang::groups();
    for (int g = 0; g < int(groupDefs.size()); ++g) {
        if (groupDefs[g].parent != group)
            continue;
        if (const config::XmlElement *child = element.child(groupDefs[g].name))
            compareTree(*child, lang::Group(g), path + '/' + child->nameText(), problems);
    }
    for (const lang::KeyDef &key : lang::keys()) {
        const config::XmlElement *child = key.group == group ? element.child(key.key) : nullptr;
        if (child && child->hasChildren())
            problems.append("holds elements: " + path + '/' + child->nameText());
    }
}

// Every key element of the file with its text, found where the tree puts it.
QHash<QString, QString> keyTexts(const config::XmlElement &fmain)
{
    QHash<const lang::GroupDef *, const config::XmlElement *> elements;
    QHash<QString, QString> texts;
    for (const lang::GroupDef &def : lang::groups()) {
        const config::XmlElement *parent =
            def.parent == lang::Group::FMain ? &fmain : elements.value(&lang::groupDef(def.parent));
        elements.insert(&def, parent ? parent->child(def.name) : nullptr);
    }
    for (const lang::KeyDef &key : lang::keys()) {
        const config::XmlElement *group = elements.value(&lang::groupDef(key.group));
        if (const config::XmlElement *element = group ? group->child(key.key) : nullptr)
            texts.insert(key.key.toString(), element->text());
    }
    return texts;
}

bool hasSingleAmpersand(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&')
            continue;
        if (i + 1 >= text.size() || text[i + 1] != u'&')
            return true;
        ++i;
    }
    return false;
}

} // namespace

class TestLanguageFiles : public QObject
{
    Q_OBJECT

private slots:
    void shippedFile_isUtf8WithDeclaration_data() { addShippedFiles(); }
    void shippedFile_isUtf8WithDeclaration();
    void shippedFile_holdsEveryKeyInTheGroupTree_data() { addShippedFiles(); }
    void shippedFile_holdsEveryKeyInTheGroupTree();
    void shippedFile_textsKeepAmpersandsAndTrailingSpaces_data() { addShippedFiles(); }
    void shippedFile_textsKeepAmpersandsAndTrailingSpaces();

    void shippedFile_fixedTexts_data();
    void shippedFile_fixedTexts();
    void shippedFile_checkMessagesStateTheirLimits_data();
    void shippedFile_checkMessagesStateTheirLimits();

private:
    static void addShippedFiles();
};

void TestLanguageFiles::addShippedFiles()
{
    QTest::addColumn<QString>("fileName");
    for (const char *name : {"Lang_ENG.xml", "Lang_ITA.xml", "Lang_GER.xml", "Lang_SPA.xml"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestLanguageFiles::shippedFile_isUtf8WithDeclaration()
{
    QFETCH(QString, fileName);
    QFile file(languageFile(fileName));
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    QVERIFY(!decoder.hasError());
    QVERIFY(!text.isEmpty());
}

void TestLanguageFiles::shippedFile_holdsEveryKeyInTheGroupTree()
{
    QFETCH(QString, fileName);
    const config::XmlParseResult parsed = config::xmltree::parseFile(languageFile(fileName));
    QVERIFY2(parsed.root, qPrintable(QStringLiteral("%1 (line %2)").arg(parsed.error).arg(parsed.line)));
    QCOMPARE(parsed.root->nameText(), QStringLiteral("Language"));
    QCOMPARE(parsed.root->children.size(), 1);
    const config::XmlElement *fmain = parsed.root->child(u"FMain");
    QVERIFY(fmain);

    QStringList problems;
    compareTree(*fmain, lang::Group::FMain, QStringLiteral("FMain"), problems);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void TestLanguageFiles::shippedFile_textsKeepAmpersandsAndTrailingSpaces()
{
    QFETCH(QString, fileName);
    const config::XmlParseResult parsed = config::xmltree::parseFile(languageFile(fileName));
    QVERIFY(parsed.root && parsed.root->child(u"FMain"));
    const QHash<QString, QString> texts = keyTexts(*parsed.root->child(u"FMain"));

    QStringList problems;
    for (const lang::KeyDef &key : lang::keys()) {
        const QString k = key.key.toString();
        if (!texts.contains(k))
            continue; // reported by the tree test
        const QString &text = texts[k];
        const QString english = key.text.toString();
        if (text.trimmed().isEmpty())
            problems.append("empty: " + k);
        // The English file keeps the literal ampersands; a translation may
        // write its own word for "and" instead.
        if (fileName == u"Lang_ENG.xml" && english.contains(u"&&") && !text.contains(u"&&"))
            problems.append("lost &&: " + k);
        static const QRegularExpression placeholder(QStringLiteral("%\\d"));
        for (const QRegularExpressionMatch &m : placeholder.globalMatch(english)) {
            if (!text.contains(m.captured()))
                problems.append("lost " + m.captured() + ": " + k);
        }
        if (hasSingleAmpersand(text))
            problems.append("single & (an accelerator): " + k);
        // A row number or a value is appended right after these texts.
        if (english.endsWith(u' ') && !text.endsWith(u' '))
            problems.append("lost trailing space: " + k);
        if (text != text.trimmed() && !english.endsWith(u' '))
            problems.append("stray blanks: " + k);
    }
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void TestLanguageFiles::shippedFile_fixedTexts_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    const struct
    {
        const char *file;
        const char *high;
        const char *low;
        const char *hangUp;
    } files[] = {
        {"Lang_ENG.xml",
         "Error! AI1 high value: the return level (RTN) must be at least 0 V and below the high value.",
         "Error! AI1 low value: the return level (RTN) must be above the low value.",
         "Hang Up Automatically After the Rings Before Hang-Up"},
        {"Lang_ITA.xml",
         "Errore! AI1 soglia alta: il livello di ritorno (RTN) deve essere almeno 0 V e minore della soglia "
         "alta.",
         "Errore! AI1 soglia bassa: il livello di ritorno (RTN) deve essere maggiore della soglia bassa.",
         "Riaggancio automatico dopo gli «Squilli prima del riaggancio»"},
        {"Lang_GER.xml",
         "Fehler! AI1 oberer Schwellwert: Rückkehrwert (RTN) muss mindestens 0 V und kleiner als der obere "
         "Schwellwert sein.",
         "Fehler! AI1 unterer Schwellwert: Rückkehrwert (RTN) muss größer als der untere Schwellwert sein.",
         "Automatisch auflegen nach „Klingelzeichen bis Auflegen“"},
        {"Lang_SPA.xml",
         "¡Error! AI1 valor alto: el valor de retorno (RET) debe ser como mínimo 0 V y menor que el valor "
         "alto.",
         "¡Error! AI1 valor bajo: el valor de retorno (RET) debe ser mayor que el valor bajo.",
         "Colgar automáticamente tras los «Tonos hasta colgar»"},
    };
    for (const auto &f : files) {
        const QString file = QString::fromLatin1(f.file);
        QTest::addRow("%s high return level", f.file)
            << file << "Error_AI1_Val_High_Hys" << QString::fromUtf8(f.high);
        QTest::addRow("%s low return level", f.file)
            << file << "Error_AI1_Val_Low_Hys" << QString::fromUtf8(f.low);
        QTest::addRow("%s DO1 hang-up", f.file)
            << file << "CB_DO1_CALL_Hang_Up" << QString::fromUtf8(f.hangUp);
        QTest::addRow("%s DO2 hang-up", f.file)
            << file << "CB_DO2_CALL_Hang_Up" << QString::fromUtf8(f.hangUp);
    }
    QTest::newRow("GER PC time to the device")
        << "Lang_GER.xml"
        << "TntB_DT_SDT_GetDT" << QStringLiteral("PC-Zeit an Gerät senden");
    QTest::newRow("GER entry to the device")
        << "Lang_GER.xml"
        << "TntB_DT_SDT_WriteDT" << QStringLiteral("Eingabe an Gerät senden");
    QTest::newRow("ITA PC time to the device")
        << "Lang_ITA.xml"
        << "TntB_DT_SDT_GetDT" << QStringLiteral("Invia al dispositivo data e ora del PC");
    QTest::newRow("ITA entry to the device")
        << "Lang_ITA.xml"
        << "TntB_DT_SDT_WriteDT" << QStringLiteral("Invia al dispositivo data e ora indicate");
}

void TestLanguageFiles::shippedFile_fixedTexts()
{
    QFETCH(QString, fileName);
    QFETCH(QString, key);
    QFETCH(QString, text);
    const config::XmlParseResult parsed = config::xmltree::parseFile(languageFile(fileName));
    QVERIFY(parsed.root && parsed.root->child(u"FMain"));
    const QHash<QString, QString> texts = keyTexts(*parsed.root->child(u"FMain"));
    QCOMPARE(texts.value(key), text);
    // The return level is never called a hysteresis.
    static const QRegularExpression hysteresis(QStringLiteral("hystere|isteresi|histéresis"),
                                               QRegularExpression::CaseInsensitiveOption);
    for (auto it = texts.cbegin(); it != texts.cend(); ++it)
        QVERIFY2(!hysteresis.match(it.value()).hasMatch(), qPrintable(it.key()));
}

// Every message a save-time check shows names the limits the check applies.
void TestLanguageFiles::shippedFile_checkMessagesStateTheirLimits_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("limits");
    for (const char *name : {"Lang_ENG.xml", "Lang_ITA.xml", "Lang_GER.xml", "Lang_SPA.xml"}) {
        const QString file = QString::fromLatin1(name);
        QTest::addRow("%s PIN", name) << file << "^Error_in_Pin$" << 1 << QStringList{" 8 "};
        QTest::addRow("%s durations", name)
            << file << "^Error_.*(DelayTime|IMPULSE_DT)$" << 14 << QStringList{" 1 ", " 60000 ms"};
        QTest::addRow("%s trigger levels", name)
            << file << "^Error_AI1_Val_(High|Low)$" << 2 << QStringList{" 0 ", " 10 V"};
        QTest::addRow("%s return levels", name)
            << file << "^Error_AI1_Val_(High|Low)_Hys$" << 2 << QStringList{"(R"};
        QTest::addRow("%s rings", name)
            << file << "^Error_DO\\d_CALL_(NumRing|HangUpRing)$" << 4 << QStringList{" 1 ", " 20"};
        QTest::addRow("%s message lengths", name)
            << file << "^Error_(?!.*PWD).*_Too_Long$" << 12 << QStringList{"64"};
        QTest::addRow("%s profiles", name)
            << file << "^Error_DO\\d_(SMS|CALL)_Profile$" << 4 << QStringList{" 0 ", " 9"};
        QTest::addRow("%s phone numbers", name) << file << "_Num_Phone$" << 10 << QStringList{"+"};
    }
}

void TestLanguageFiles::shippedFile_checkMessagesStateTheirLimits()
{
    QFETCH(QString, fileName);
    QFETCH(QString, keys);
    QFETCH(int, count);
    QFETCH(QStringList, limits);
    const config::XmlParseResult parsed = config::xmltree::parseFile(languageFile(fileName));
    QVERIFY(parsed.root && parsed.root->child(u"FMain"));
    const QHash<QString, QString> texts = keyTexts(*parsed.root->child(u"FMain"));
    const QRegularExpression pattern(keys);
    int seen = 0;
    for (auto it = texts.cbegin(); it != texts.cend(); ++it) {
        if (!pattern.match(it.key()).hasMatch())
            continue;
        ++seen;
        for (const QString &limit : limits)
            QVERIFY2(it.value().contains(limit), qPrintable(it.key() + ": " + it.value()));
    }
    QCOMPARE(seen, count);
}

QTEST_GUILESS_MAIN(TestLanguageFiles)
#include "tst_language_files.moc"
