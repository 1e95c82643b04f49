// The element-tree reader against documents our files never are: nesting
// deeper than any format, document types with entities, and paths that are
// not regular files. Each must give an error, quickly and without a crash.
#include "common/hostile_files.h"
#include "config/XmlTree.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

class TestXmlTree : public QObject
{
    Q_OBJECT

private slots:
    void refusesWhatOurFilesNeverHold_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QString deep = QStringLiteral("elements are nested deeper than 32 levels");
        const QString doctype = QStringLiteral("the document has a document type declaration");
        QTest::newRow("60,000 levels, once a stack overflow")
            << hostile::deeplyNested("Configuration", 60000) << deep;
        QTest::newRow("one level too deep") << hostile::deeplyNested("Configuration", 32) << deep;
        QTest::newRow("entity referenced 100,000 times")
            << hostile::entityAmplification("Configuration") << doctype;
        QTest::newRow("external entity, once silently empty")
            << hostile::externalEntity("Configuration") << doctype;
        QTest::newRow("one element too many")
            << QByteArray("<Configuration>" + QByteArray("<a/>").repeated(config::xmltree::kMaxElements) +
                          "</Configuration>")
            << QStringLiteral("the document holds more than 300000 elements");
        QTest::newRow("60 MB of empty elements")
            << QByteArray("<Configuration>" + QByteArray("<a/>").repeated(15'000'000) + "</Configuration>")
            << QStringLiteral("the document holds more than 300000 elements");
        QTest::newRow("document type without entities")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE Configuration><Configuration/>") << doctype;
    }
    void refusesWhatOurFilesNeverHold()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const config::XmlParseResult result = config::xmltree::parse(bytes);
        QVERIFY(!result.root);
        QVERIFY2(result.error.startsWith(error), qPrintable(result.error));
        QVERIFY(result.line > 0);
    }

    void mostElementsOfTheLimitAreRead()
    {
        const config::XmlParseResult result = config::xmltree::parse(
            "<Configuration>" + QByteArray("<a/>").repeated(config::xmltree::kMaxElements - 1) +
            "</Configuration>");
        QVERIFY2(result.root, qPrintable(result.error));
        QCOMPARE(result.root->children.size(), config::xmltree::kMaxElements - 1);
    }

    void deepestNestingOfTheLimitIsRead()
    {
        // The root and 31 levels below it: 32 in all.
        const config::XmlParseResult result =
            config::xmltree::parse(hostile::deeplyNested("Configuration", 31));
        QVERIFY2(result.root, qPrintable(result.error));
        const config::XmlElement *e = &*result.root;
        int depth = 1;
        while (e->hasChildren()) {
            e = &e->children.first();
            ++depth;
        }
        QCOMPARE(depth, config::xmltree::kMaxDepth);
    }

    void treeKeepsNamesTextsAndPlaces()
    {
        const config::XmlParseResult result =
            config::xmltree::parse("<R>\n <A>one</A>\n <B><C>t&amp;u</C><C/></B>x<![CDATA[<y>]]></R>");
        QVERIFY2(result.root, qPrintable(result.error));
        const config::XmlElement &root = *result.root;
        QCOMPARE(root.children.size(), 2);
        QCOMPARE(root.child(u"A")->text(), QStringLiteral("one"));
        QCOMPARE(root.child(u"A")->line, 2);
        QCOMPARE(root.child(u"B")->children.size(), 2);
        QCOMPARE(root.child(u"B")->children.first().text(), QStringLiteral("t&u"));
        QCOMPARE(root.text(), QStringLiteral("\n \n x<y>"));
    }

    // The reader replaced Qt's stream reader: every form that one read must
    // still give the same tree.
    void readsEveryFormOfTheDocument_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString doc = QString::fromUtf8("<R><T>Caf\u00e9 \u20ac \U0001F6A8</T></R>");
        QStringEncoder le(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
        QStringEncoder be(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom);
        QStringEncoder leBare(QStringEncoder::Utf16LE);
        QStringEncoder beBare(QStringEncoder::Utf16BE);
        QTest::newRow("UTF-8") << doc.toUtf8();
        QTest::newRow("UTF-8 with BOM and declaration")
            << "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + doc.toUtf8();
        QTest::newRow("UTF-16 LE with BOM") << QByteArray(le(doc));
        QTest::newRow("UTF-16 BE with BOM") << QByteArray(be(doc));
        QTest::newRow("UTF-16 LE without BOM") << QByteArray(leBare(doc));
        QTest::newRow("UTF-16 BE without BOM") << QByteArray(beBare(doc));
        QTest::newRow("references") << QByteArray("<R><T>Caf&#233; &#x20AC; &#128680;</T></R>");
        QTest::newRow("CDATA and a comment between") << QByteArray(
            "<R><T><![CDATA[Caf\xC3\xA9 ]]><!-- - -->\xE2\x82\xAC <?pi x?>\xF0\x9F\x9A\xA8</T></R>");
    }
    void readsEveryFormOfTheDocument()
    {
        QFETCH(QByteArray, bytes);
        const config::XmlParseResult result = config::xmltree::parse(bytes);
        QVERIFY2(result.root, qPrintable(result.error));
        QCOMPARE(result.root->child(u"T")->text(), QString::fromUtf8("Caf\u00e9 \u20ac \U0001F6A8"));
    }

    void lineEndsAreReadAsLineFeeds()
    {
        const config::XmlParseResult result = config::xmltree::parse("<R>a\r\nb\rc\n<![CDATA[d\r\ne]]></R>");
        QVERIFY(result.root);
        QCOMPARE(result.root->text(), QStringLiteral("a\nb\nc\nd\ne"));
    }

    void refusesWhatIsNotWellFormed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("blanks only") << QByteArray(" \n");
        QTest::newRow("unclosed root") << QByteArray("<R><A>x</A>");
        QTest::newRow("mismatched end tag") << QByteArray("<R><A>x</B></R>");
        QTest::newRow("two roots") << QByteArray("<R/><S/>");
        QTest::newRow("text after the root") << QByteArray("<R/>x");
        QTest::newRow("text before the root") << QByteArray("x<R/>");
        QTest::newRow("undeclared entity") << QByteArray("<R>&x;</R>");
        QTest::newRow("reference to NUL") << QByteArray("<R>&#0;</R>");
        QTest::newRow("reference to a surrogate") << QByteArray("<R>&#xD800;</R>");
        QTest::newRow("reference past Unicode") << QByteArray("<R>&#x110000;</R>");
        QTest::newRow("ampersand alone") << QByteArray("<R>a & b</R>");
        QTest::newRow("control character") << QByteArray("<R>\x01</R>");
        QTest::newRow("]]> in content") << QByteArray("<R>]]></R>");
        QTest::newRow("attribute without quotes") << QByteArray("<R a=1/>");
        QTest::newRow("attribute twice") << QByteArray("<R a='1' a='2'/>");
        QTest::newRow("attributes without a blank") << QByteArray("<R a='1'b='2'/>");
        QTest::newRow("< in an attribute") << QByteArray("<R a='<'/>");
        QTest::newRow("declaration not at the start") << QByteArray(" <?xml version=\"1.0\"?><R/>");
        QTest::newRow("-- in a comment") << QByteArray("<R><!-- a -- b --></R>");
        QTest::newRow("bad UTF-8") << QByteArray("<R>\xC3\x28</R>");
        QTest::newRow("unknown encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"x-none\"?><R/>");
        QTest::newRow("name starting with a digit") << QByteArray("<1R/>");
    }
    void refusesWhatIsNotWellFormed()
    {
        QFETCH(QByteArray, bytes);
        const config::XmlParseResult result = config::xmltree::parse(bytes);
        QVERIFY(!result.root);
        QVERIFY(!result.error.isEmpty());
    }

    void fileThatCannotBeReadGivesItsReason_data()
    {
        QTest::addColumn<QString>("kind"); // empty: nothing there
        QTest::newRow("missing") << QString();
        for (const char *kind : {"folder", "FIFO", "link to /dev/zero", "link loop"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void fileThatCannotBeReadGivesItsReason()
    {
        QFETCH(QString, kind);
        const QString error = kind.isEmpty() ? QStringLiteral("does not exist") : hostile::reason(kind);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("setting.xml"));
        if (!kind.isEmpty())
            QVERIFY(hostile::plant(kind, path, "General_Setting"));
        const config::XmlParseResult result = config::xmltree::parseFile(path);
        QVERIFY(!result.root);
        QCOMPARE(result.error, error);
    }
};

QTEST_GUILESS_MAIN(TestXmlTree)
#include "tst_xml_tree.moc"
