// Reading bank.bin back: every well-formed image decodes to the model it was
// written from, and a malformed one is refused with the offset of the fault.
#include "helper_image.h"
#include "image/ImageLayout.h"
#include "image/ImageReader.h"
#include "image/ImageText.h"
#include "image/ImageWriter.h"

#include <QRandomGenerator>
#include <QTest>
#include <QtEndian>

using namespace image;
using namespace testimage;

namespace {

// A change to a golden image: bytes put at an offset, or the file cut.
struct Damage
{
    qsizetype offset = 0;
    QByteArray bytes;
    qsizetype truncateTo = -1;
};

QByteArray damaged(QByteArray bytes, const Damage &damage)
{
    if (damage.truncateTo >= 0)
        bytes.truncate(damage.truncateTo);
    else
        bytes.replace(damage.offset, damage.bytes.size(), damage.bytes);
    return bytes;
}

QByteArray le32(quint32 value)
{
    QByteArray out(4, '\0');
    qToLittleEndian(value, out.data());
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Damage)

class TestImageReader : public QObject
{
    Q_OBJECT

private slots:
    void goldenImagesReadBackToTheirBytes_data();
    void goldenImagesReadBackToTheirBytes();
    void richImageDecodes();
    void malformedImages_data();
    void malformedImages();
    void damagedImagesNeverDecodeWrongly();
    void actionWords_data();
    void actionWords();
    void slotRanges_data();
    void slotRanges();
};

void TestImageReader::goldenImagesReadBackToTheirBytes_data()
{
    QTest::addColumn<QString>("golden");
    QTest::newRow("empty") << "empty.bin";
    QTest::newRow("rich") << "rich.bin";
}

void TestImageReader::goldenImagesReadBackToTheirBytes()
{
    QFETCH(QString, golden);
    const QByteArray bytes = testimage::golden(golden);
    const ReadResult result = readImage(bytes);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.image.size, bytes.size());
    QCOMPARE(writeImage(result.image.model).bytes, bytes);
}

void TestImageReader::richImageDecodes()
{
    const ReadResult result = readImage(golden("rich.bin"));
    QVERIFY(result.ok());
    const ImageModel &model = result.image.model;
    QCOMPARE(model.passwords, (QList<QString>{"7839", "abc12345"}));
    QCOMPARE(model.messages.at(3), QString::fromUtf8("High \u00e9\U0001F600"));
    QCOMPARE(model.phoneNumbers.size(), 6);
    QCOMPARE(model.smsEvents.at(2).echoList, (QList<SmsTarget>{{kSender, 7}}));
    QCOMPARE(model.smsEvents.at(2).allowedNumbers, (QList<PhoneProfile>{{kNoEntry, 3}}));
    QCOMPARE(model.callEvents.at(0).aboveRingAction, 0x00640010u);
    QCOMPARE(model.pin, QByteArray("1234"));
    QCOMPARE(model.dstText, QByteArray("ORA-LEGALE_ON"));
    QCOMPARE(result.image.eventTexts.at(14), QByteArray("Ritorno a riposo da alto        "));
    QCOMPARE(result.image.areas[layout::kCallEventTable].offset, 3116);
}

void TestImageReader::malformedImages_data()
{
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<qsizetype>("offset");
    QTest::addColumn<QString>("error");

    // Offsets of the rich golden image, as its header gives them.
    const QByteArray rich = golden("rich.bin");
    const qsizetype phones = areaOffset(rich, layout::kPhoneTable);
    const qsizetype messages = areaOffset(rich, layout::kMessageTable);
    const qsizetype inputs = areaOffset(rich, layout::kInputEventTable);
    const qsizetype sms = areaOffset(rich, layout::kSmsEventTable);
    const qsizetype calls = areaOffset(rich, layout::kCallEventTable);
    const qsizetype firstList = u32At(rich, inputs + 8) - kImageBaseAddress;

    QTest::newRow("file shorter than the header")
        << Damage{0, {}, 40} << qsizetype(0) << "the file ends inside the header";
    QTest::newRow("address beyond the file") << Damage{20, le32(kImageBaseAddress + 5000)} << qsizetype(20)
                                             << "address 0x00125388 points outside the file";
    QTest::newRow("address below the image base")
        << Damage{4, le32(0x1000)} << qsizetype(4) << "address 0x00001000 points outside the file";
    QTest::newRow("table running past the end")
        << Damage{16, le32(400)} << messages << "the file ends inside the message table";
    QTest::newRow("missing end record of the input events")
        << Damage{inputs + 8 * 12 + 5, QByteArray(1, '\0')} << inputs + 8 * 12
        << "the end record of the input event table is missing";
    QTest::newRow("missing end record of the SMS events")
        << Damage{sms + 3 * 20, QByteArray(1, '\x7F')} << sms + 3 * 20
        << "the end record of the SMS event table is missing";
    QTest::newRow("missing end record of the CALL events")
        << Damage{calls + 2 * 32 + 31, QByteArray(1, '\0')} << calls + 2 * 32
        << "the end record of the CALL event table is missing";
    QTest::newRow("list without its end") << Damage{firstList, QByteArray(40, '\0')} << firstList
                                          << "the list at this offset has no list end before offset";
    QTest::newRow("list address outside the file")
        << Damage{inputs + 8, le32(kImageBaseAddress + 99999)} << inputs + 8 << "points outside the file";
    QTest::newRow("blank phone entry missing") << Damage{phones + 6 * 17 + 3, "7"} << phones + 6 * 17 + 3
                                               << "the blank entry that ends the phone table is missing";
    QTest::newRow("message holding a byte that is not a hex digit")
        << Damage{messages + 2, "g"} << messages + 2
        << "entry 0 of the message table holds a byte that is not a hex digit";
    QTest::newRow("message with a broken code unit")
        << Damage{messages + 6, QByteArray(1, '\0')} << messages + 6
        << "entry 0 of the message table has 6 hex digits, not a multiple of 4";
    QTest::newRow("input event count other than 8")
        << Damage{32, le32(9)} << qsizetype(32) << "the input event table count is 9, the device expects 8";
    QTest::newRow("bytes after the phone settings")
        << Damage{rich.size(), QByteArray(4, '\0')} << rich.size()
        << "4 bytes follow the phone settings area, which ends the image";
    QTest::newRow("non-zero padding")
        << Damage{phones - 1, "x"} << phones - 1 << "the byte at this offset is not where";
    QTest::newRow("changed event text")
        << Damage{areaOffset(rich, layout::kEventTextTable) + 40, "X"}
        << areaOffset(rich, layout::kEventTextTable) + 40 << "the byte at this offset is not where";
    // Lists follow one another: a shared list would be decoded once per
    // record that points at it.
    QTest::newRow("list address pointing at another list")
        << Damage{inputs + 8, le32(u32At(rich, inputs + 3 * 12 + 8))} << inputs + 8
        << "is not where the previous list ends";
    QTest::newRow("second SMS record sharing the first one's list")
        << Damage{sms + 20 + 16, le32(u32At(rich, sms + 16))} << sms + 20 + 16
        << "is not where the previous list ends";
    QTest::newRow("longer than the device's capacity")
        << Damage{rich.size(), QByteArray(kImageCapacity + 1 - rich.size(), '\0')}
        << qsizetype(kImageCapacity) << "the image is longer than the device's 100001 bytes";
    QTest::newRow("CALL record with a list") << Damage{calls + 12, le32(kImageBaseAddress)} << calls + 12
                                             << "a CALL record's list address is not 0xFFFFFFFF";
}

void TestImageReader::malformedImages()
{
    QFETCH(Damage, damage);
    QFETCH(qsizetype, offset);
    QFETCH(QString, error);
    const ReadResult result = readImage(damaged(golden("rich.bin"), damage));
    QVERIFY(!result.ok());
    QVERIFY2(result.error.contains(error), qPrintable(result.error));
    QCOMPARE(result.errorOffset, offset);
}

// Every cut and a few thousand random byte changes: the reader refuses the
// image or gives a model that writes the very same bytes, and never reads
// outside the file.
void TestImageReader::damagedImagesNeverDecodeWrongly()
{
    const QByteArray rich = golden("rich.bin");
    for (qsizetype size = 0; size < rich.size(); ++size)
        QVERIFY(!readImage(rich.left(size)).ok());
    QRandomGenerator random(1350);
    int refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bytes = rich;
        const int changes = 1 + random.bounded(3);
        for (int i = 0; i < changes; ++i)
            bytes[random.bounded(int(bytes.size()))] = char(random.bounded(256));
        const ReadResult result = readImage(bytes);
        if (!result.ok()) {
            ++refused;
            QVERIFY(result.errorOffset >= 0 && result.errorOffset <= bytes.size());
            continue;
        }
        QCOMPARE(writeImage(result.image.model).bytes, bytes);
    }
    QVERIFY(refused > 0);
}

void TestImageReader::actionWords_data()
{
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QString>("words");
    QTest::newRow("none") << 0u << "none";
    QTest::newRow("set output 1") << 0x01u << "set output 1";
    QTest::newRow("reset output 2") << 0x08u << "reset output 2";
    QTest::newRow("impulse with echo") << 0x01F40060u << "impulse output 2 for 500 ms, echo to sender";
    QTest::newRow("set with echo") << 0x41u << "set output 1, echo to sender";
    QTest::newRow("two output bits") << 0x03u << "unknown action 0x00000003";
    QTest::newRow("duration on a set") << 0x00640001u << "unknown action 0x00640001";
    QTest::newRow("echo alone") << 0x40u << "unknown action 0x00000040";
}

void TestImageReader::actionWords()
{
    QFETCH(quint32, code);
    QFETCH(QString, words);
    QCOMPARE(text::describeAction(code), words);
}

void TestImageReader::slotRanges_data()
{
    QTest::addColumn<quint32>("low");
    QTest::addColumn<quint32>("high");
    QTest::addColumn<QString>("ranges");
    QTest::newRow("no slots") << 0u << 0u << "no slots";
    QTest::newRow("morning") << 0x01FF0000u << 0u << "08.00-12.30";
    QTest::newRow("across the two words") << 0x80000000u << 0x1u << "15.30-16.30";
    QTest::newRow("two runs") << 0x00000003u << 0x8000u << "00.00-01.00 23.30-24.00";
    QTest::newRow("whole day") << 0xFFFFFFFFu << 0xFFFFFFFFu << "00.00-24.00";
}

void TestImageReader::slotRanges()
{
    QFETCH(quint32, low);
    QFETCH(quint32, high);
    QFETCH(QString, ranges);
    QCOMPARE(text::describeRanges(text::slotRanges(low, high)), ranges);
}

QTEST_GUILESS_MAIN(TestImageReader)
#include "tst_image_reader.moc"
