// The byte layout of bank.bin as the device reads it: header, tables, lists,
// padding and capacity.
#include "helper_image.h"
#include "image/ImageLayout.h"
#include "image/ImageWriter.h"

#include <QTest>

using namespace image;
using namespace testimage;

class TestImageWriter : public QObject
{
    Q_OBJECT

private slots:
    void emptyImageMatchesHandDerivedGolden();
    void emptyImageHeaderFields_data();
    void emptyImageHeaderFields();
    void emptyImageFills_data();
    void emptyImageFills();
    void hexText_data();
    void hexText();
    void tableEntries_data();
    void tableEntries();
    void messageHiTakesTwoEntries();
    void firstInputListFollowsEndRecord();
    void listAddressesPointAtTheirOwnLists();
    void callRecordLayout();
    void capacity_data();
    void capacity();
    void secondWriteGivesSameBytes();
};

void TestImageWriter::emptyImageMatchesHandDerivedGolden()
{
    const WriteResult result = writeImage(newConfigurationModel());
    QVERIFY(result.ok());
    QCOMPARE(result.bytes.size(), 1350);
    QCOMPARE(result.bytes, golden("empty.bin"));
}

void TestImageWriter::emptyImageHeaderFields_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<quint32>("value");
    const quint32 base = kImageBaseAddress;
    const struct
    {
        const char *area;
        quint32 count;
        quint32 offset;
    } areas[] = {{"passwords", 0, 72},    {"phones", 0, 108},       {"messages", 0, 128},
                 {"profiles", 60, 388},   {"input events", 8, 628}, {"SMS events", 0, 736},
                 {"CALL events", 0, 756}, {"event texts", 16, 788}, {"phone settings", 1, 1316}};
    for (int i = 0; i < 9; ++i) {
        QTest::addRow("%s count", areas[i].area) << 8 * i << areas[i].count;
        QTest::addRow("%s address", areas[i].area) << 8 * i + 4 << base + areas[i].offset;
    }
    QTest::newRow("first profile word") << 388 << 0xFFFFFFFFu;
    QTest::newRow("word 2, week 1 Monday") << 388 + 8 << 0u;
    QTest::newRow("word 49, day 3") << 388 + 4 * 49 << 0u;
    QTest::newRow("word 50") << 388 + 4 * 50 << 0xFFFFFFFFu;
    QTest::newRow("word 59") << 388 + 4 * 59 << 0xFFFFFFFFu;
    QTest::newRow("input event 0 delay and threshold") << 628 << 0u;
    QTest::newRow("input event 0 flags") << 632 << 0u;
    QTest::newRow("input event 0 list address: none") << 636 << 0xFFFFFFFFu;
    QTest::newRow("input event 7 list address: none") << 628 + 7 * 12 + 8 << 0xFFFFFFFFu;
}

void TestImageWriter::emptyImageHeaderFields()
{
    QFETCH(int, offset);
    QFETCH(quint32, value);
    const QByteArray bytes = writeImage(newConfigurationModel()).bytes;
    QCOMPARE(u32At(bytes, offset), value);
}

void TestImageWriter::emptyImageFills_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to"); // exclusive
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("blank password entry") << 72 << 105 << QByteArray(33, '\0');
    QTest::newRow("padding after passwords") << 105 << 108 << QByteArray(3, '\0');
    QTest::newRow("blank phone entry") << 108 << 125 << QByteArray(17, '\0');
    QTest::newRow("padding after phones") << 125 << 128 << QByteArray(3, '\0');
    QTest::newRow("blank message entry") << 128 << 385 << QByteArray(257, '\0');
    QTest::newRow("padding after messages") << 385 << 388 << QByteArray(3, '\0');
    QTest::newRow("input end record") << 724 << 736 << QByteArray(12, char(0xFF));
    QTest::newRow("SMS end record") << 736 << 756 << QByteArray(20, char(0xFF));
    QTest::newRow("CALL end record") << 756 << 788 << QByteArray(32, char(0xFF));
    QTest::newRow("event text 0") << 788 << 821 << QByteArray("chiamata inferiore a soglia da: \0", 33);
    QTest::newRow("event text 15") << 788 + 15 * 33 << 1316
                                   << QByteArray("Ritorno a riposo da basso       \0", 33);
    QTest::newRow("empty PIN field") << 1316 << 1333 << QByteArray(17, '\0');
    QTest::newRow("DST field") << 1333 << 1350 << QByteArray("ORA-LEGALE_OFF\0\0\0", 17);
}

void TestImageWriter::emptyImageFills()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QByteArray, expected);
    const QByteArray bytes = writeImage(newConfigurationModel()).bytes;
    QCOMPARE(bytes.mid(from, to - from), expected);
}

void TestImageWriter::hexText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<bool>("terminated");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("Hi") << QStringLiteral("Hi") << 8 << false << QByteArray("00480069");
    QTest::newRow("Hi padded and terminated")
        << QStringLiteral("Hi") << 12 << true << QByteArray("00480069\0\0\0\0\0", 13);
    QTest::newRow("uppercase digits")
        << QStringLiteral("\u00e9\u20ac") << 8 << false << QByteArray("00E920AC");
    QTest::newRow("outside the basic plane takes eight digits")
        << QString::fromUtf8("\xF0\x9F\x98\x80") << 8 << false << QByteArray("D83DDE00");
    QTest::newRow("cut to the width") << QStringLiteral("abc") << 8 << true << QByteArray("00610062\0", 9);
    QTest::newRow("empty text is all zero") << QString() << 4 << true << QByteArray(5, '\0');
}

void TestImageWriter::hexText()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(bool, terminated);
    QFETCH(QByteArray, expected);
    QByteArray out("x");
    appendHexText(out, text, width, terminated);
    QCOMPARE(out, QByteArray("x") + expected);
}

// One string in one table: the entry's bytes and the header count.
void TestImageWriter::tableEntries_data()
{
    QTest::addColumn<int>("area");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("entry");

    QByteArray message64;
    for (int i = 0; i < 64; ++i)
        message64 += "0041";
    QTest::newRow("65-character message keeps 64")
        << int(layout::kMessageTable) << QString(64, u'A') + u'B' << message64 + QByteArray(1, '\0');
    QTest::newRow("20-digit number keeps 16 bytes and one 0x00")
        << int(layout::kPhoneTable) << QStringLiteral("12345678901234567890")
        << QByteArray("1234567890123456\0", 17);
    QTest::newRow("16-digit number still ends with 0x00")
        << int(layout::kPhoneTable) << QStringLiteral("1234567890123456")
        << QByteArray("1234567890123456\0", 17);
    QByteArray password8;
    for (char c : QByteArray("abcdefgh"))
        password8 += "00" + QByteArray::number(c, 16).toUpper();
    QTest::newRow("9-character password keeps 8")
        << int(layout::kPasswordTable) << QStringLiteral("abcdefghi") << password8 + QByteArray(1, '\0');
    QTest::newRow("empty message is an all-zero entry that counts")
        << int(layout::kMessageTable) << QString() << QByteArray(257, '\0');
    QTest::newRow("empty number is an all-zero entry that counts")
        << int(layout::kPhoneTable) << QString() << QByteArray(17, '\0');
    QTest::newRow("empty password is an all-zero entry that counts")
        << int(layout::kPasswordTable) << QString() << QByteArray(33, '\0');
}

void TestImageWriter::tableEntries()
{
    QFETCH(int, area);
    QFETCH(QString, text);
    QFETCH(QByteArray, entry);
    ImageModel model = newConfigurationModel();
    if (area == layout::kMessageTable)
        model.messages = {text};
    else if (area == layout::kPhoneTable)
        model.phoneNumbers = {text.toLatin1()};
    else
        model.passwords = {text};
    const QByteArray bytes = writeImage(model).bytes;
    QCOMPARE(u32At(bytes, 8 * area), 1u);
    const qsizetype start = areaOffset(bytes, area);
    QCOMPARE(bytes.mid(start, entry.size()), entry);
    QCOMPARE(bytes.mid(start + entry.size(), entry.size()), QByteArray(entry.size(), '\0')); // blank entry
}

void TestImageWriter::messageHiTakesTwoEntries()
{
    ImageModel model = newConfigurationModel();
    model.messages = {QStringLiteral("Hi")};
    const QByteArray bytes = writeImage(model).bytes;
    QCOMPARE(areaOffset(bytes, layout::kMessageTable), 128);
    const QByteArray expected = QByteArray("\x30\x30\x34\x38\x30\x30\x36\x39") + QByteArray(248, '\0') +
                                QByteArray(1, '\0') + QByteArray(257, '\0');
    QCOMPARE(bytes.mid(128, 514), expected);
    QCOMPARE(areaOffset(bytes, layout::kProfileTable), 128 + 516); // 514 rounded up to 4
}

void TestImageWriter::firstInputListFollowsEndRecord()
{
    ImageModel model = newConfigurationModel();
    model.inputEvents[kDigitalInput2Rise] = {100, 0, kSendsSms, {{1, 2}, {3, 4}}};
    const QByteArray bytes = writeImage(model).bytes;
    const qsizetype table = areaOffset(bytes, layout::kInputEventTable);
    QCOMPARE(table, 628);
    QCOMPARE(u32At(bytes, table + 2 * 12 + 8), kImageBaseAddress + quint32(table) + 108);
    QCOMPARE(bytes.mid(table + 108, 12), QByteArray("\x01\x00\x02\x00\x03\x00\x04\x00\xFF\xFF\xFF\xFF", 12));
    QCOMPARE(areaOffset(bytes, layout::kSmsEventTable), table + 108 + 12);
}

// Lists are written after the end record in record order, echo list before
// the allowed numbers; each address must land on its own list.
void TestImageWriter::listAddressesPointAtTheirOwnLists()
{
    ImageModel model = newConfigurationModel();
    model.inputEvents[kDigitalInput1Rise].smsList = {{0x11, 0x12}};
    model.inputEvents[kAnalogLow].smsList = {{0x51, 0x52}, {0x53, 0x54}, {0x55, 0x56}};
    SmsEvent withBoth{1, kNoEntry, 0, 0x41, {{kSender, 1}}, {{0xA1, 0xA2}, {0xA3, 0xA4}}};
    SmsEvent allowedOnly{2, 0, 1, 0x02, {}, {{0xB1, 0xB2}}};
    SmsEvent neither{3, 0, 1, 0x04, {}, {}};
    model.smsEvents = {withBoth, neither, allowedOnly};
    const QByteArray bytes = writeImage(model).bytes;

    auto listAt = [&](qsizetype field) {
        const quint32 address = u32At(bytes, field);
        if (address == 0xFFFFFFFF)
            return QList<quint32>();
        QList<quint32> elements;
        for (qsizetype at = address - kImageBaseAddress; u32At(bytes, at) != 0xFFFFFFFF; at += 4)
            elements.append(u32At(bytes, at));
        return elements;
    };
    const qsizetype inputs = areaOffset(bytes, layout::kInputEventTable);
    QCOMPARE(listAt(inputs + 8), QList<quint32>({0x00120011}));
    QCOMPARE(listAt(inputs + 12 + 8), QList<quint32>());
    QCOMPARE(listAt(inputs + 5 * 12 + 8), QList<quint32>({0x00520051, 0x00540053, 0x00560055}));
    const qsizetype sms = areaOffset(bytes, layout::kSmsEventTable);
    QCOMPARE(listAt(sms + 12), QList<quint32>({0x0001FFFE}));
    QCOMPARE(listAt(sms + 16), QList<quint32>({0x00A200A1, 0x00A400A3}));
    QCOMPARE(listAt(sms + 20 + 12), QList<quint32>());
    QCOMPARE(listAt(sms + 20 + 16), QList<quint32>());
    QCOMPARE(listAt(sms + 40 + 12), QList<quint32>());
    QCOMPARE(listAt(sms + 40 + 16), QList<quint32>({0x00B200B1}));
    QCOMPARE(bytes.mid(sms + 60, 20), QByteArray(20, char(0xFF)));
    QCOMPARE(u32At(bytes, sms), 1u);
    QCOMPARE(u16At(bytes, sms + 4), kNoEntry);
    QCOMPARE(u32At(bytes, sms + 8), 0x41u);
    // the lists take 8 + 12 + 8 bytes after the end record
    QCOMPARE(areaOffset(bytes, layout::kCallEventTable), sms + 80 + 28);
}

void TestImageWriter::callRecordLayout()
{
    ImageModel model = newConfigurationModel();
    model.callEvents = {{0x0102, 0x0304, 5, 6, 0, 0x00640010, 0x00000001}};
    const QByteArray bytes = writeImage(model).bytes;
    const qsizetype calls = areaOffset(bytes, layout::kCallEventTable);
    QCOMPARE(bytes.mid(calls, 32).toHex(), QByteArray("02010000"
                                                      "0403"
                                                      "05"
                                                      "06"
                                                      "00000000"
                                                      "ffffffff"
                                                      "10006400"
                                                      "ffffffff"
                                                      "01000000"
                                                      "ffffffff"));
    QCOMPARE(bytes.mid(calls + 32, 32), QByteArray(32, char(0xFF)));
}

// An image fits while its last byte is at offset 100,000 at most. Every image
// is 2 bytes longer than a multiple of 4, so 99,998 is the largest.
void TestImageWriter::capacity_data()
{
    QTest::addColumn<int>("listElements");
    QTest::addColumn<int>("expectedSize");
    QTest::addColumn<QString>("error");
    // 1,350 + 3,082 CALL records x 32 + a list of n elements (n + 1) x 4
    QTest::newRow("99,998 bytes fit") << 5 << 99998 << QString();
    QTest::newRow("100,002 bytes do not") << 6 << 100002 << QStringLiteral("Range check error");
}

void TestImageWriter::capacity()
{
    QFETCH(int, listElements);
    QFETCH(int, expectedSize);
    QFETCH(QString, error);
    ImageModel model = newConfigurationModel();
    model.callEvents = QList<CallEvent>(3082);
    model.inputEvents[0].smsList = QList<SmsTarget>(listElements);
    QCOMPARE(1350 + 3082 * 32 + (listElements + 1) * 4, expectedSize);
    const WriteResult result = writeImage(model);
    QCOMPARE(result.error, error);
    QCOMPARE(result.bytes.size(), error.isEmpty() ? expectedSize : 0);
}

void TestImageWriter::secondWriteGivesSameBytes()
{
    ImageModel model = newConfigurationModel();
    model.passwords = {QStringLiteral("1")};
    model.phoneNumbers = {"12", "345"};
    model.messages = {QStringLiteral("x"), QStringLiteral("y")};
    const QByteArray first = writeImage(model).bytes;
    const QByteArray second = writeImage(model).bytes;
    QCOMPARE(second, first);
    // one password and the blank entry end at 138; the padding up to 140 is 0x00
    QCOMPARE(first.mid(138, 2), QByteArray(2, '\0'));
    QCOMPARE(areaOffset(first, layout::kPhoneTable), 140);
}

QTEST_GUILESS_MAIN(TestImageWriter)
#include "tst_image_writer.moc"
