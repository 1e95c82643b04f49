// The configuration record: start values, new-configuration values, tables,
// the 8-bit code page and integer texts.
#include "config/Configuration.h"
#include "config/Numbers.h"
#include "config/TextCodec.h"

#include <QTest>

using namespace config;

class TestConfigurationModel : public QObject
{
    Q_OBJECT

private slots:
    void freshRecordHoldsTheStartValues()
    {
        const Configuration c;
        const QStringList texts = {c.digitalOutputs[0].sms.setText,     c.digitalOutputs[0].sms.resetText,
                                   c.digitalOutputs[0].sms.impulseText, c.digitalOutputs[1].sms.setText,
                                   c.digitalOutputs[1].sms.resetText,   c.digitalOutputs[1].sms.impulseText};
        QCOMPARE(texts, (QStringList{"Turn On DO1", "Turn Off DO1", "Impulse DO1", "Turn On DO2",
                                     "Turn Off DO2", "Impulse DO2"}));
        QCOMPARE(c.digitalOutputs[0].sms.password.size(), 3);
        QVERIFY(parseInteger(c.digitalOutputs[0].sms.password).has_value());
        QCOMPARE(c.digitalOutputs[1].sms.password, QString());
        QCOMPARE(c.digitalOutputs[0].call.hangUpRing, QStringLiteral("1"));
        QCOMPARE(c.digitalOutputs[1].call.hangUpRing, QStringLiteral("1"));
        QCOMPARE(c.dst, false);
        QCOMPARE(c.analogInput.high.value, QStringLiteral("7,5"));
        QCOMPARE(c.digitalOutputs[1].call.ringNumber, QStringLiteral("3"));
    }

    void newDefaultsKeepTheKeptFieldsAndResetTheRest()
    {
        Configuration c;
        c.dst = true;
        c.digitalOutputs[0].sms.setText = QStringLiteral("Open gate");
        c.digitalOutputs[1].sms.password = QStringLiteral("99");
        c.digitalOutputs[1].call.hangUpRing = QStringLiteral("7");
        c.pin = QStringLiteral("1234");
        c.digitalInputs[1].f1t0.enSms = true;
        c.digitalInputs[1].f1t0.list.setRows({{"a", "1", ""}, {"b", "2", ""}});
        c.analogInput.low.value = QStringLiteral("4");
        c.digitalOutputs[0].call.above.operation = Operation::Impulse;
        c.weeklyProfiles[2].enabled = true;
        c.weeklyProfiles[2].days[6][3] = true;
        c.dailyProfiles[0].timeSlots[0] = true;

        c.setNewDefaults();

        Configuration expected;
        expected.dst = true;
        expected.digitalOutputs[0].sms.setText = QStringLiteral("Open gate");
        expected.digitalOutputs[1].sms.password = QStringLiteral("99");
        expected.digitalOutputs[1].call.hangUpRing = QStringLiteral("7");
        QVERIFY(c == expected);
        QCOMPARE(c.digitalInputs[1].f1t0.list.rowCount(), 1);
    }

    void tableKeepsAtLeastOneRow()
    {
        SmsTable t;
        QCOMPARE(t.rowCount(), 1);
        t.setRows({});
        QCOMPARE(t.rowCount(), 1);
        t.setRows({{"a", "b", "c"}, {"d", "e", "f"}});
        t.blankCells();
        QCOMPARE(t.rowCount(), 2);
        QVERIFY(SmsTable::isBlank(t.row(1)));
        t.removeRow(0);
        t.setCell(0, 1, QStringLiteral("x"));
        t.removeRow(0);
        QCOMPARE(t.rows(), (QList<TableRow>{{"", "", ""}}));
    }

    void windows1252Encoding_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("ASCII digits and plus") << QStringLiteral("+39 012") << QByteArray("+39 012");
        QTest::newRow("Latin-1 letters")
            << QStringLiteral("\u00e9\u00ff\u00a0") << QByteArray("\xe9\xff\xa0");
        QTest::newRow("the 0x80-0x9F characters")
            << QStringLiteral("\u20ac\u201a\u0160\u2122\u0178") << QByteArray("\x80\x82\x8a\x99\x9f");
        QTest::newRow("outside the code page") << QStringLiteral("\u0100\u4e2d") << QByteArray("??");
        QTest::newRow("C1 control without a character") << QStringLiteral("\u0081") << QByteArray("?");
        QTest::newRow("surrogate pair is one character")
            << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
        QTest::newRow("control characters kept") << QStringLiteral("\t\u0001") << QByteArray("\t\x01");
    }
    void windows1252Encoding()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(config::textcodec::toWindows1252(text), bytes);
        if (!bytes.contains('?'))
            QCOMPARE(config::textcodec::fromWindows1252(bytes), text);
    }

    void integerTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -999 marks "not an integer"
        QTest::newRow("plain") << QStringLiteral("100") << 100;
        QTest::newRow("leading zeros") << QStringLiteral("0100") << 100;
        QTest::newRow("signs") << QStringLiteral("-5") << -5;
        QTest::newRow("plus sign") << QStringLiteral("+7") << 7;
        QTest::newRow("largest") << QStringLiteral("2147483647") << 2147483647;
        QTest::newRow("too large") << QStringLiteral("2147483648") << -999;
        QTest::newRow("many digits") << QStringLiteral("99999999999999999999999") << -999;
        QTest::newRow("empty") << QString() << -999;
        QTest::newRow("sign only") << QStringLiteral("-") << -999;
        QTest::newRow("blank around") << QStringLiteral(" 5") << -999;
        QTest::newRow("decimal") << QStringLiteral("1.5") << -999;
        QTest::newRow("hex") << QStringLiteral("0x10") << -999;
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("\u0661\u0662") << -999;
    }
    void integerTexts()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        const std::optional<qint32> parsed = parseInteger(text);
        if (value == -999)
            QVERIFY(!parsed);
        else
            QCOMPARE(parsed, std::optional<qint32>(value));
    }
};

QTEST_GUILESS_MAIN(TestConfigurationModel)
#include "tst_configuration_model.moc"
