// Comparing two configurations: one line per difference, in words, with its
// place; table rows matched by content; equal configurations give no line.
#include "app/ConfigurationCompare.h"
#include "app/TableCatalog.h"
#include "lang/LanguageTexts.h"

#include <QtTest>
#include <functional>

using config::Configuration;
using Edit = std::function<void(Configuration &)>;
Q_DECLARE_METATYPE(Edit)

namespace {

config::TableRow inRow(const char *message, const char *phone)
{
    return {QString::fromUtf8(message), QString::fromUtf8(phone), QString()};
}

Configuration withTable(int table, QList<config::TableRow> rows)
{
    Configuration c;
    c.setNewDefaults();
    app::tableOf(c, table).setRows(std::move(rows));
    return c;
}

QStringList texts(const QList<app::Difference> &differences)
{
    QStringList lines;
    for (const app::Difference &d : differences)
        lines << d.text;
    return lines;
}

} // namespace

class TstConfigurationCompare : public QObject
{
    Q_OBJECT
private slots:
    void fieldsAndSlots_data()
    {
        QTest::addColumn<Edit>("edit");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("PIN") << Edit([](Configuration &c) { c.pin = QStringLiteral("1234"); })
                             << QStringList{QStringLiteral("Phone settings: PIN (empty) → '1234'")};
        QTest::newRow("event flag and delay")
            << Edit([](Configuration &c) {
                   c.digitalInputs[1].f1t0.enSms = true;
                   c.digitalInputs[1].f1t0.timeDelay = QStringLiteral("900");
               })
            << QStringList{QStringLiteral("Digital input 2, 1 → 0: enabled off → on"),
                           QStringLiteral("Digital input 2, 1 → 0: delay (ms) '100' → '900'")};
        QTest::newRow("return level")
            << Edit([](Configuration &c) { c.analogInput.low.valueHys = QStringLiteral("3.5"); })
            << QStringList{QStringLiteral("Analog input, low value: return level (V) '3' → '3.5'")};
        QTest::newRow("command text")
            << Edit([](Configuration &c) { c.digitalOutputs[0].sms.setText = QStringLiteral("Open gate"); })
            << QStringList{QStringLiteral("Output 1, SMS: set command 'Turn On DO1' → 'Open gate'")};
        QTest::newRow("call action")
            << Edit([](Configuration &c) {
                   c.digitalOutputs[1].call.above.operation = config::Operation::Impulse;
               })
            << QStringList{
                   QStringLiteral("Output 2, call: above the number of rings, set output → pulse output")};
        QTest::newRow("weekly slots") << Edit([](Configuration &c) {
            for (int s = 16; s < 24; ++s)
                c.weeklyProfiles[1].days[0][s] = true;
            c.weeklyProfiles[1].days[6][47] = true;
        })
                                      << QStringList{QStringLiteral("Weekly 2: Monday: 08.00-12.00 added"),
                                                     QStringLiteral("Weekly 2: Sunday: 23.30-24.00 added")};
        QTest::newRow("daily slot removed")
            << Edit([](Configuration &c) { c.dailyProfiles[2].timeSlots[0] = false; })
            << QStringList{QStringLiteral("Daily 3: 00.00-00.30 removed")};
    }
    void fieldsAndSlots()
    {
        QFETCH(Edit, edit);
        QFETCH(QStringList, expected);
        Configuration before;
        before.setNewDefaults();
        before.dailyProfiles[2].timeSlots[0] = true;
        Configuration after = before;
        edit(after);
        const lang::LanguageTexts english;
        QCOMPARE(texts(app::compareConfigurations(before, after, english)), expected);
        QVERIFY(app::compareConfigurations(after, after, english).isEmpty());
    }

    void tableRows_data()
    {
        QTest::addColumn<QList<config::TableRow>>("before");
        QTest::addColumn<QList<config::TableRow>>("after");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QList<int>>("rows");
        const QList<config::TableRow> abc = {inRow("Alarm", "+111"), inRow("Alarm", "+222"),
                                             inRow("Gate", "+333")};
        QTest::newRow("added at the top")
            << abc << QList<config::TableRow>{inRow("New", "+999"), abc[0], abc[1], abc[2]}
            << QStringList{QStringLiteral("Digital input 1, 0 → 1: row 1 added: New · +999")}
            << QList<int>{0};
        QTest::newRow("removed in the middle")
            << abc << QList<config::TableRow>{abc[0], abc[2]}
            << QStringList{QStringLiteral("Digital input 1, 0 → 1: row 2 removed: Alarm · +222")}
            << QList<int>{1};
        QTest::newRow("number changed")
            << abc << QList<config::TableRow>{abc[0], inRow("Alarm", "+223"), abc[2]}
            << QStringList{QStringLiteral("Digital input 1, 0 → 1: row 2, Phone Number '+222' → '+223'")}
            << QList<int>{1};
        QTest::newRow("reordered") << abc << QList<config::TableRow>{abc[2], abc[0], abc[1]}
                                   << QStringList{QStringLiteral(
                                          "Digital input 1, 0 → 1: row 3 moved to row 1: Gate · +333")}
                                   << QList<int>{0};
        QTest::newRow("blank rows are not stored, so not compared")
            << abc << QList<config::TableRow>{abc[0], {}, abc[1], abc[2], {}} << QStringList{}
            << QList<int>{};
    }
    void tableRows()
    {
        QFETCH(QList<config::TableRow>, before);
        QFETCH(QList<config::TableRow>, after);
        QFETCH(QStringList, expected);
        QFETCH(QList<int>, rows);
        const QList<app::Difference> found =
            app::compareConfigurations(withTable(0, before), withTable(0, after), lang::LanguageTexts());
        QCOMPARE(texts(found), expected);
        for (qsizetype i = 0; i < found.size(); ++i) {
            QCOMPARE(found[i].place, app::Difference::Place::InputEvent);
            QCOMPARE(found[i].table, 0);
            QCOMPARE(found[i].row, rows[i]);
        }
    }

    void largeTablesStayQuick()
    {
        // Two near-full tables with one row changed: the common start and
        // end are set aside before rows are matched.
        QList<config::TableRow> rows;
        for (int r = 0; r < 2100; ++r)
            rows << config::TableRow{QStringLiteral("m"), QStringLiteral("+%1").arg(r), QString()};
        QList<config::TableRow> changed = rows;
        changed[1000][1] = QStringLiteral("+x");
        const QList<app::Difference> found =
            app::compareConfigurations(withTable(5, rows), withTable(5, changed), lang::LanguageTexts());
        QCOMPARE(texts(found), QStringList{QStringLiteral(
                                   "Analog input, low value: row 1001, Phone Number '+1000' → '+x'")});
    }

    void inTheWindowsLanguage()
    {
        lang::LanguageTexts german;
        QVERIFY(german.loadLanguageFile(QStringLiteral(TRENOV5X_SOURCE_DIR "/Language/Lang_GER.xml")));
        Configuration before;
        before.setNewDefaults();
        Configuration after = before;
        after.digitalOutputs[0].call.enable = true;
        QCOMPARE(texts(app::compareConfigurations(before, after, german)),
                 QStringList{QStringLiteral("Ausgang 1, Anruf: aktiviert aus → ein")});
    }
};

QTEST_GUILESS_MAIN(TstConfigurationCompare)
#include "tst_configuration_compare.moc"
