// Integer and volt texts read the same on every computer, whatever its
// regional settings.
#include "config/Numbers.h"
#include "image/NumberText.h"

#include <QLocale>
#include <QTest>

using namespace image::numbers;
using config::parseInteger;

class TestNumberText : public QObject
{
    Q_OBJECT

private slots:
    void integers_data();
    void integers();
    void volts_data();
    void volts();
    void voltsIgnoreTheLocale();
};

void TestNumberText::integers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");
    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("plus sign") << "+5" << true << 5;
    QTest::newRow("minus sign") << "-1" << true << -1;
    QTest::newRow("leading zeros") << "0100" << true << 100;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483648LL);
    QTest::newRow("one past largest") << "2147483648" << false << 0;
    QTest::newRow("one past smallest") << "-2147483649" << false << 0;
    QTest::newRow("many digits") << "99999999999999999999" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("two signs") << "+-1" << false << 0;
    QTest::newRow("leading blank") << " 1" << false << 0;
    QTest::newRow("trailing blank") << "1 " << false << 0;
    QTest::newRow("decimal") << "1.5" << false << 0;
    QTest::newRow("hex") << "0x10" << false << 0;
    QTest::newRow("other script digits") << QString::fromUtf8("\u0661") << false << 0;
}

void TestNumberText::integers()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);
    const std::optional<qint32> parsed = parseInteger(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestNumberText::volts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");
    QTest::newRow("integer") << "10" << true << 10.0;
    QTest::newRow("point") << "7.5" << true << 7.5;
    QTest::newRow("comma") << "7,5" << true << 7.5;
    QTest::newRow("no integer part") << ".25" << true << 0.25;
    QTest::newRow("no fraction digits") << "3." << true << 3.0;
    QTest::newRow("signs") << "-0,5" << true << -0.5;
    QTest::newRow("exponent") << "25e-1" << true << 2.5;
    QTest::newRow("blanks around") << "\t 2 " << true << 2.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("separator alone") << "," << false << 0.0;
    QTest::newRow("two separators") << "1.000,5" << false << 0.0;
    QTest::newRow("thousands separator") << "1,000.5" << false << 0.0;
    QTest::newRow("unit") << "7.5V" << false << 0.0;
    QTest::newRow("blank inside") << "7 .5" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("inf") << "inf" << false << 0.0;
    QTest::newRow("exponent without digits") << "1e" << false << 0.0;
}

void TestNumberText::volts()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = parseVolts(text);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestNumberText::voltsIgnoreTheLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Italian, QLocale::Italy));
    const bool point = parseVolts(u"7.5") == 7.5;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const bool comma = parseVolts(u"7,5") == 7.5;
    QLocale::setDefault(before);
    QVERIFY(point);
    QVERIFY(comma);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_number_text.moc"
