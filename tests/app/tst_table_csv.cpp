// Tables as CSV files: what the program writes reads back exactly, files
// saved by spreadsheet programs in each language read, and a file that does
// not fit the table is refused with its line and brings in nothing.
#include "app/TableCatalog.h"
#include "app/TableCsv.h"
#include "lang/LanguageTexts.h"

#include <QRandomGenerator>
#include <QtTest>

using app::CsvTable;

namespace {

QString languageFolder()
{
    return QStringLiteral(TRENOV5X_SOURCE_DIR "/Language");
}

QList<QStringList> headersOf(const char *table)
{
    return app::tableHeadersOfAllLanguages(*app::tableByName(QLatin1String(table)), languageFolder());
}

// As spreadsheet programs save "Unicode text".
QByteArray utf16WithBom(const QString &text)
{
    return QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

} // namespace

class TstTableCsv : public QObject
{
    Q_OBJECT
private slots:
    void roundTripOfTenThousandRows()
    {
        // Commas, quotes, line breaks of every kind, blanks at the ends,
        // letters of the four languages and the device's code page.
        const QStringList pieces = {QStringLiteral("a,b"),
                                    QStringLiteral("\"quoted\""),
                                    QStringLiteral("line\nbreak"),
                                    QStringLiteral("cr\r\nlf"),
                                    QStringLiteral(" lead"),
                                    QStringLiteral("trail "),
                                    QStringLiteral("àèéìòù"),
                                    QStringLiteral("äöüß ÄÖÜ"),
                                    QStringLiteral("ñ ¿¡ ç"),
                                    QStringLiteral("€ £ ¥ § ° ±"),
                                    QStringLiteral(";semi;"),
                                    QStringLiteral("\ttab"),
                                    QString()};
        QList<config::TableRow> rows;
        QRandomGenerator random(7);
        for (int r = 0; r < 10000; ++r) {
            config::TableRow row;
            for (QString &cell : row)
                cell = pieces[random.bounded(int(pieces.size()))] + QString::number(r);
            rows << row;
        }
        const int table = *app::tableByName(QStringLiteral("DI1_F0T1"));
        const QByteArray file = app::writeTableCsv(app::tableHeader(table, lang::LanguageTexts()), rows);
        QVERIFY(file.startsWith("\xEF\xBB\xBF"));
        const CsvTable read = app::readTableCsv(file, headersOf("DI1_F0T1"));
        QVERIFY2(read.ok(), qPrintable(read.text));
        QCOMPARE(read.rows.size(), rows.size());
        QVERIFY(read.rows == rows);
    }

    // Files as spreadsheet programs save them: the header in the window's
    // language, a semicolon where the comma is the decimal mark, no byte order
    // mark, the code page of the system, columns in another order.
    void spreadsheetFilesRead_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("table");
        QTest::addColumn<QList<QStringList>>("rows");
        QTest::newRow("English, comma, CRLF")
            << QByteArray("SMS Message,Phone Number,Description\r\nAlarm on,+39333,front door\r\n")
            << "DI1_F0T1" << QList<QStringList>{{"Alarm on", "+39333", "front door"}};
        QTest::newRow("Italian, semicolon, no BOM")
            << QByteArray("Messaggio SMS;Numero di telefono;Descrizione\n\"Allarme; porta\";+39333;\n")
            << "DI1_F0T1" << QList<QStringList>{{"Allarme; porta", "+39333", ""}};
        QTest::newRow("German, semicolon, Windows code page, reordered")
            << QByteArray("Beschreibung;Rufnummer;Profil\r\nT\xfcr;+49170;2\r\n") << "DO1_CALL"
            << QList<QStringList>{{"+49170", "2", QString::fromUtf8("Tür")}};
        QTest::newRow("Spanish, tab, UTF-16")
            << utf16WithBom(
                   QStringLiteral("Número de teléfono\tPerfil\tDescripción\r\n+34600\t0\tpuerta\r\n"))
            << "DO2_SMS" << QList<QStringList>{{"+34600", "0", "puerta"}};
        QTest::newRow("empty lines and trailing separators skipped")
            << QByteArray("SMS Message,Phone Number,Description,\n\n,,,\nHi,+1,,\n") << "AI1_Low"
            << QList<QStringList>{{"Hi", "+1", ""}};
    }
    void spreadsheetFilesRead()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, table);
        QFETCH(QList<QStringList>, rows);
        const CsvTable read = app::readTableCsv(file, headersOf(qPrintable(table)));
        QVERIFY2(
            read.ok(),
            qPrintable(
                QStringLiteral("error %1 line %2 %3").arg(int(read.error)).arg(read.line).arg(read.text)));
        QCOMPARE(read.rows.size(), rows.size());
        for (qsizetype r = 0; r < rows.size(); ++r)
            for (int c = 0; c < 3; ++c)
                QCOMPARE(read.rows[r][c], rows[r][c]);
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("line");
        QTest::newRow("empty") << QByteArray() << int(CsvTable::Error::Empty) << 1;
        QTest::newRow("missing column")
            << QByteArray("SMS Message,Description\nHi,x\n") << int(CsvTable::Error::MissingColumn) << 1;
        QTest::newRow("another table's column")
            << QByteArray("SMS Message,Phone Number,Profile\n") << int(CsvTable::Error::UnknownColumn) << 1;
        QTest::newRow("column twice") << QByteArray("SMS Message,Phone Number,Description,Phone Number\n")
                                      << int(CsvTable::Error::RepeatedColumn) << 1;
        QTest::newRow("short row after a multi-line field")
            << QByteArray("SMS Message,Phone Number,Description\n\"two\nlines\",+1,d\nonly,two\n")
            << int(CsvTable::Error::FieldCount) << 4;
        QTest::newRow("long row") << QByteArray("SMS Message,Phone Number,Description\na,b,c,d\n")
                                  << int(CsvTable::Error::FieldCount) << 2;
        QTest::newRow("unclosed quote")
            << QByteArray("SMS Message,Phone Number,Description\na,+1,c\n\"open,+2,x\n")
            << int(CsvTable::Error::UnclosedQuote) << 3;
    }
    void refusedFiles()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, error);
        QFETCH(int, line);
        const CsvTable read = app::readTableCsv(file, headersOf("DI1_F0T1"));
        QCOMPARE(int(read.error), error);
        QCOMPARE(read.line, line);
        QVERIFY(read.rows.isEmpty()); // nothing half read
    }
};

QTEST_GUILESS_MAIN(TstTableCsv)
#include "tst_table_csv.moc"
