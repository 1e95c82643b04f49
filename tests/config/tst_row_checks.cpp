// The row checks run before a save: message length and phone number of an
// input row, phone number and profile of an output row, each answered with
// the message key of its table.
#include "config/RowChecks.h"

#include <QTest>

using namespace config;

class TestRowChecks : public QObject
{
    Q_OBJECT

private slots:
    void inputRow_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<int>("event");
        QTest::addColumn<QString>("key");
        const QString max(64, u'x');
        QTest::newRow("empty row passes") << ""
                                          << "" << 0 << "";
        QTest::newRow("64 characters pass") << max << "+39" << 0 << "";
        QTest::newRow("65 characters fail") << max + "y"
                                            << "+39" << 0 << "Error_DI1_F0T1_SMS_Too_Long";
        // Counted in UTF-16 code units: 32 emoji are 64 units, 33 are 66.
        QTest::newRow("32 emoji pass") << QString("\U0001F600").repeated(32) << "" << 4 << "";
        QTest::newRow("33 emoji fail")
            << QString("\U0001F600").repeated(33) << "" << 4 << "Error_AI1_High_SMS_Too_Long";
        QTest::newRow("plus anywhere") << "m"
                                       << "+12+34" << 1 << "";
        QTest::newRow("blank between digits") << "m"
                                              << "12 34" << 1 << "Error_DI1_F1T0_Num_Phone";
        QTest::newRow("letter") << ""
                                << "3a" << 2 << "Error_DI2_F0T1_Num_Phone";
        QTest::newRow("full-width digit")
            << "" << QString::fromUtf8("\xef\xbc\x91") << 3 << "Error_DI2_F1T0_Num_Phone";
        QTest::newRow("too long wins over phone") << max + "y"
                                                  << "x" << 5 << "Error_AI1_Low_SMS_Too_Long";
        QTest::newRow("low table phone") << ""
                                         << "-1" << 5 << "Error_AI1_Low_Num_Phone";
    }

    void inputRow()
    {
        QFETCH(QString, message);
        QFETCH(QString, phone);
        QFETCH(int, event);
        QFETCH(QString, key);
        QCOMPARE(checkInputRow(message, phone, event).key.toString(), key);
    }

    void outputRow_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("profile");
        QTest::addColumn<int>("list");
        QTest::addColumn<QString>("key");
        QTest::newRow("empty profile passes") << "+39"
                                              << "" << 0 << "";
        QTest::newRow("0 and 9 pass") << ""
                                      << "9" << 1 << "";
        QTest::newRow("signed zero passes") << ""
                                            << "+0" << 1 << "";
        QTest::newRow("10 fails") << ""
                                  << "10" << 0 << "Error_DO1_SMS_Profile";
        QTest::newRow("-1 fails") << ""
                                  << "-1" << 1 << "Error_DO1_CALL_Profile";
        QTest::newRow("letter fails") << ""
                                      << "a" << 2 << "Error_DO2_SMS_Profile";
        QTest::newRow("blank around digit fails") << ""
                                                  << " 3" << 3 << "Error_DO2_CALL_Profile";
        QTest::newRow("huge number fails") << ""
                                           << "99999999999" << 3 << "Error_DO2_CALL_Profile";
        QTest::newRow("phone checked first") << "1 2"
                                             << "a" << 3 << "Error_DO2_CALL_Num_Phone";
    }

    void outputRow()
    {
        QFETCH(QString, phone);
        QFETCH(QString, profile);
        QFETCH(int, list);
        QFETCH(QString, key);
        QCOMPARE(checkOutputRow(phone, profile, list).key.toString(), key);
    }

    // The refused cell's column, as the tables show it: an input row's
    // message then phone number, an output row's phone number then profile.
    void refusalNamesTheRefusedCell_data()
    {
        QTest::addColumn<bool>("output");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<int>("column");
        QTest::newRow("input message") << false << QString(65, u'm') << "+1" << 0;
        QTest::newRow("input phone") << false << "m"
                                     << "1 2" << 1;
        QTest::newRow("output phone") << true << "1-2"
                                      << "3" << 0;
        QTest::newRow("output profile") << true << "+1"
                                        << "12" << 1;
    }

    void refusalNamesTheRefusedCell()
    {
        QFETCH(bool, output);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(int, column);
        const RowRefusal refusal =
            output ? checkOutputRow(first, second, 1) : checkInputRow(first, second, 2);
        QVERIFY(refusal.refused());
        QCOMPARE(refusal.column, column);
    }
};

QTEST_APPLESS_MAIN(TestRowChecks)
#include "tst_row_checks.moc"
