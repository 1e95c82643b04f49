// The element-tree reader against documents our files never are: nesting
// deeper than any format, document types with entities, and paths that are
// not regular files. Each must give an error, quickly and without a crash.
#include "common/hostile_files.h"
#include "config/XmlTree.h"

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
        QTest::newRow("document type without entities")
            << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE Configuration><Configuration/>") << doctype;
    }
    void refusesWhatOurFilesNeverHold()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const XmlParseResult result = xmltree::parse(bytes);
        QVERIFY(!result.root);
        QVERIFY2(result.error.startsWith(error), qPrintable(result.error));
        QVERIFY(result.line > 0);
    }

    void deepestNestingOfTheLimitIsRead()
    {
        // The root and 31 levels below it: 32 in all.
        const XmlParseResult result = xmltree::parse(hostile::deeplyNested("Configuration", 31));
        QVERIFY2(result.root, qPrintable(result.error));
        const XmlElement *e = &*result.root;
        int depth = 1;
        while (e->hasChildren()) {
            e = &e->children.first();
            ++depth;
        }
        QCOMPARE(depth, xmltree::kMaxDepth);
    }

    void treeKeepsNamesTextsAndPlaces()
    {
        const XmlParseResult result =
            xmltree::parse("<R>\n <A>one</A>\n <B><C>t&amp;u</C><C/></B>x<![CDATA[<y>]]></R>");
        QVERIFY2(result.root, qPrintable(result.error));
        const XmlElement &root = *result.root;
        QCOMPARE(root.children.size(), 2);
        QCOMPARE(root.child(u"A")->text, QStringLiteral("one"));
        QCOMPARE(root.child(u"A")->line, 2);
        QCOMPARE(root.child(u"B")->children.size(), 2);
        QCOMPARE(root.child(u"B")->children.first().text, QStringLiteral("t&u"));
        QCOMPARE(root.text, QStringLiteral("\n \n x<y>"));
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
        const XmlParseResult result = xmltree::parseFile(path);
        QVERIFY(!result.root);
        QCOMPARE(result.error, error);
    }
};

QTEST_GUILESS_MAIN(TestXmlTree)
#include "tst_xml_tree.moc"
