// The device commands of the Date & Time page and the update against a
// pseudo-terminal peer: the frames byte for byte, the reply rules, the link
// and polling state, and what the window is told to show.
#include "helper_devsim.h"
#include "helper_pty.h"
#include "link/DeviceLink.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace devlink;

namespace {

const QByteArray kStatusFrame = QByteArrayLiteral("READSTATUS\r\n");
const QByteArray kStatusReply =
    QByteArrayLiteral("ALARM-MODEM VER 1.0.4\r\nDATA E ORA: 07.05.03 09/04/24\r\n");
const QByteArray kClockReply = QByteArrayLiteral("IMPOSTATA DATA E ORA!!\r\n");

// A device that answers the clock frame with clockReply and the status frame
// with statusReply.
PtyPeer::Responder device(const QByteArray &clockReply, const QByteArray &statusReply)
{
    return [=](const QByteArray &frame) {
        if (frame.startsWith("DATORA "))
            return clockReply;
        if (frame.startsWith("READSTATUS"))
            return statusReply;
        return QByteArray();
    };
}

QByteArray noise(int size)
{
    QByteArray bytes(size, '\0');
    quint32 x = 2463534242u;
    for (char &c : bytes) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = char(x);
    }
    return bytes;
}

QStringList keys(const LinkOutcome &outcome)
{
    QStringList list;
    for (const LinkMessage &m : outcome.messages)
        list << m.key;
    return list;
}

// Acts as another user (or, when not root, takes every permission off the
// file) for as long as it lives: a port that exists but may not be opened.
class NoPermission
{
public:
    explicit NoPermission(const QString &path) : m_path(path.toLocal8Bit())
    {
        struct stat info;
        ::stat(m_path.constData(), &info);
        m_mode = info.st_mode & 07777;
        if (::geteuid() == 0)
            m_switched = ::seteuid(kNobody) == 0;
        else
            ::chmod(m_path.constData(), 0);
    }
    ~NoPermission()
    {
        if (m_switched)
            (void)::seteuid(0);
        else
            ::chmod(m_path.constData(), m_mode);
    }

private:
    static constexpr uid_t kNobody = 65534;
    QByteArray m_path;
    mode_t m_mode = 0;
    bool m_switched = false;
};

ClockFields fieldsOf(const QStringList &six)
{
    return {six.at(0), six.at(1), six.at(2), six.at(3), six.at(4), six.at(5)};
}

QDateTime at(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

} // namespace

class TestDeviceLink : public QObject
{
    Q_OBJECT

private slots:
    void customClockFieldsSendTheirFrame_data();
    void customClockFieldsSendTheirFrame();
    void pcClockFillsTheFieldsAndSendsTwoYearDigits_data();
    void pcClockFillsTheFieldsAndSendsTwoYearDigits();
    void pageShowsThePcClock_data();
    void pageShowsThePcClock();
    void clockReplyDecidesTheMessageAndTheLink_data();
    void clockReplyDecidesTheMessageAndTheLink();
    void statusReplyFillsTheLabels_data();
    void statusReplyFillsTheLabels();
    void bootProbeAnswersFromTheFirstLine_data();
    void bootProbeAnswersFromTheFirstLine();
    void bootRequestSendsItsFrameWithoutWaiting();
    void choosingAnotherPortClosesTheFirst();
    void afterAFailedClockSettingReadStatusOpensThePortAgain();
    void portThatDoesNotOpenGivesOpenError();
    void openFailureNamesAReasonTheUserCanMend_data();
    void openFailureNamesAReasonTheUserCanMend();
    void portInUseOrWithoutPermissionSaysSo_data();
    void portInUseOrWithoutPermissionSaysSo();
    void pollingReadsTheStatusUntilTheLinkCloses();
    void pollingWithoutAnswerGoesOnSilently();
    void vanishedDeviceSaysTheConnectionIsLost_data();
    void vanishedDeviceSaysTheConnectionIsLost();
    void openPortForTheUpdateKeepsTheLastPortName();
};

void TestDeviceLink::customClockFieldsSendTheirFrame_data()
{
    QTest::addColumn<QStringList>("fields"); // hh mi ss dd mo yy
    QTest::addColumn<QByteArray>("frame");   // empty: nothing is sent
    QTest::addColumn<QString>("key");

    const QString ok = QStringLiteral("DateTime_Correctly_Setted");
    const QString invalid = QStringLiteral("Error_Date_Not_Valid");
    auto fields = [](const char *text) { return QString::fromLatin1(text).split(u' '); };

    QTest::newRow("single digits") << fields("7 5 3 9 4 24")
                                   << QByteArrayLiteral("DATORA 07.05.03 09/04/24\r\n") << ok;
    QTest::newRow("year 2024") << fields("7 5 3 9 4 2024")
                               << QByteArrayLiteral("DATORA 07.05.03 09/04/24\r\n") << ok;
    QTest::newRow("year 5") << fields("23 59 59 31 12 5") << QByteArrayLiteral("DATORA 23.59.59 31/12/05\r\n")
                            << ok;
    QTest::newRow("year 2000") << fields("0 0 0 1 1 2000")
                               << QByteArrayLiteral("DATORA 00.00.00 01/01/00\r\n") << ok;
    QTest::newRow("year 2099") << fields("12 0 0 1 1 2099")
                               << QByteArrayLiteral("DATORA 12.00.00 01/01/99\r\n") << ok;
    QTest::newRow("hour 007 sends 00")
        << fields("007 5 3 9 4 24") << QByteArrayLiteral("DATORA 00.05.03 09/04/24\r\n") << ok;
    QTest::newRow("29 February of a leap year")
        << fields("10 20 30 29 2 24") << QByteArrayLiteral("DATORA 10.20.30 29/02/24\r\n") << ok;
    QTest::newRow("hour 24") << fields("24 0 0 1 1 24") << QByteArray() << invalid;
    QTest::newRow("31 April") << fields("7 5 3 31 4 24") << QByteArray() << invalid;
    QTest::newRow("29 February 2023") << fields("7 5 3 29 2 23") << QByteArray() << invalid;
    QTest::newRow("letters") << fields("7 ab 3 9 4 24") << QByteArray() << invalid;
    QTest::newRow("empty day") << QStringList{"7", "5", "3", "", "4", "24"} << QByteArray() << invalid;
    QTest::newRow("empty year") << QStringList{"7", "5", "3", "9", "4", ""} << QByteArray() << invalid;
    QTest::newRow("negative minute") << fields("7 -5 3 9 4 24") << QByteArray() << invalid;
    QTest::newRow("blank around a number")
        << fields("7 5 3 9 4 24").replaceInStrings("9", " 9") << QByteArray() << invalid;
    QTest::newRow("second 60") << fields("7 5 60 9 4 24") << QByteArray() << invalid;
    QTest::newRow("month 13") << fields("7 5 3 9 13 24") << QByteArray() << invalid;
    // Two year digits cannot carry these: the device would get another year.
    QTest::newRow("year 1999") << fields("7 5 3 9 4 1999") << QByteArray() << invalid;
    QTest::newRow("year 2100") << fields("7 5 3 9 4 2100") << QByteArray() << invalid;
    QTest::newRow("year 150") << fields("7 5 3 9 4 150") << QByteArray() << invalid;
    QTest::newRow("year beyond 32 bits") << fields("7 5 3 9 4 99999999999") << QByteArray() << invalid;
}

void TestDeviceLink::customClockFieldsSendTheirFrame()
{
    QFETCH(QStringList, fields);
    QFETCH(QByteArray, frame);
    QFETCH(QString, key);

    PtyPeer peer;
    peer.setResponder(device(kClockReply, kStatusReply));
    DeviceLink link;
    const LinkOutcome outcome = link.setClock(peer.path(), ClockSource::Fields, fieldsOf(fields));

    QCOMPARE(keys(outcome), QStringList{key});
    if (frame.isEmpty()) {
        QVERIFY(!link.linkOpen());
        QVERIFY(!peer.waitForReceived(1, 50));
        return;
    }
    QCOMPARE(frame.size(), qsizetype(kSetClockFrameSize));
    // The clock frame, then the status reading that follows a success.
    QVERIFY(peer.waitForReceived(frame.size() + kStatusFrame.size(), 1000));
    QCOMPARE(peer.received(), frame + kStatusFrame);
    QCOMPARE(outcome.firmwareVersion, std::optional<QString>(QStringLiteral("1.0.4")));
    QCOMPARE(outcome.dateTime, std::optional<QString>(QStringLiteral("07.05.03 09/04/24")));
    QVERIFY(outcome.succeeded);
    QVERIFY(link.linkOpen());
    QVERIFY(link.polling());
    QVERIFY(link.pollTimerActive());
}

void TestDeviceLink::pcClockFillsTheFieldsAndSendsTwoYearDigits_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QStringList>("shown");
    QTest::addColumn<QByteArray>("frame");

    QTest::newRow("2024") << at(2024, 4, 9, 7, 5, 3) << QStringList{"7", "5", "3", "9", "4", "2024"}
                          << QByteArrayLiteral("DATORA 07.05.03 09/04/24\r\n");
    QTest::newRow("2000") << at(2000, 1, 1, 0, 0, 0) << QStringList{"0", "0", "0", "1", "1", "2000"}
                          << QByteArrayLiteral("DATORA 00.00.00 01/01/00\r\n");
    QTest::newRow("2031, two-digit fields")
        << at(2031, 12, 31, 23, 59, 58) << QStringList{"23", "59", "58", "31", "12", "2031"}
        << QByteArrayLiteral("DATORA 23.59.58 31/12/31\r\n");
}

void TestDeviceLink::pcClockFillsTheFieldsAndSendsTwoYearDigits()
{
    QFETCH(QDateTime, now);
    QFETCH(QStringList, shown);
    QFETCH(QByteArray, frame);

    PtyPeer peer;
    peer.setResponder(device(kClockReply, kStatusReply));
    DeviceLink link;
    link.setPcClock([now] { return now; });
    const LinkOutcome outcome =
        link.setClock(peer.path(), ClockSource::PcClock, fieldsOf({"1", "1", "1", "1", "1", "1"}));

    QCOMPARE(keys(outcome), QStringList{QStringLiteral("DateTime_Correctly_Setted")});
    QCOMPARE(outcome.fields, std::optional<ClockFields>(fieldsOf(shown)));
    QVERIFY(peer.waitForReceived(frame.size(), 1000));
    QCOMPARE(peer.received().left(frame.size()), frame);
}

void TestDeviceLink::pageShowsThePcClock_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QStringList>("shown");

    QTest::newRow("2024 shows 24") << at(2024, 4, 9, 7, 5, 3) << QStringList{"7", "5", "3", "9", "4", "24"};
    QTest::newRow("2000 shows 2000") << at(2000, 1, 1, 0, 0, 0)
                                     << QStringList{"0", "0", "0", "1", "1", "2000"};
    QTest::newRow("2001 shows 1") << at(2001, 10, 11, 12, 13, 14)
                                  << QStringList{"12", "13", "14", "11", "10", "1"};
}

void TestDeviceLink::pageShowsThePcClock()
{
    QFETCH(QDateTime, now);
    QFETCH(QStringList, shown);
    DeviceLink link;
    link.setPcClock([now] { return now; });
    QCOMPARE(link.pcClockFields(), fieldsOf(shown));
}

void TestDeviceLink::clockReplyDecidesTheMessageAndTheLink_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("linkOpenAfter");

    QTest::newRow("exact, CR LF") << kClockReply << QStringLiteral("DateTime_Correctly_Setted") << true;
    QTest::newRow("any two trailing bytes") << QByteArrayLiteral("IMPOSTATA DATA E ORA!!XY")
                                            << QStringLiteral("DateTime_Correctly_Setted") << true;
    QTest::newRow("one trailing byte")
        << QByteArrayLiteral("IMPOSTATA DATA E ORA!!\r") << QStringLiteral("Error_Answer_Wrong") << false;
    QTest::newRow("lower case") << QByteArrayLiteral("impostata data e ora!!\r\n")
                                << QStringLiteral("Error_Answer_Wrong") << false;
    QTest::newRow("two bytes") << QByteArrayLiteral("\r\n") << QStringLiteral("Error_Answer_Wrong") << false;
    QTest::newRow("1000 bytes of noise") << noise(1000) << QStringLiteral("Error_Answer_Wrong") << false;
    QTest::newRow("silence") << QByteArray() << QStringLiteral("Error_No_Answer") << false;
}

void TestDeviceLink::clockReplyDecidesTheMessageAndTheLink()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, key);
    QFETCH(bool, linkOpenAfter);

    PtyPeer peer;
    peer.setResponder(device(reply, kStatusReply));
    DeviceLink link;
    QElapsedTimer timer;
    timer.start();
    const LinkOutcome outcome =
        link.setClock(peer.path(), ClockSource::Fields, fieldsOf({"7", "5", "3", "9", "4", "24"}));
    const qint64 elapsed = timer.elapsed();

    QCOMPARE(keys(outcome), QStringList{key});
    QCOMPARE(outcome.messages.first().kind, linkOpenAfter ? MessageKind::Information : MessageKind::Error);
    QCOMPARE(link.linkOpen(), linkOpenAfter);
    QCOMPARE(link.port().isOpen(), linkOpenAfter);
    QCOMPARE(link.polling(), linkOpenAfter);
    QCOMPARE(outcome.statusUnknown, !linkOpenAfter);
    QCOMPARE(link.lastPortName(), peer.path());
    // The pause is an upper bound: two exchanges of 150 ms at most.
    QVERIFY2(elapsed < 600, qPrintable(QString::number(elapsed)));
}

void TestDeviceLink::statusReplyFillsTheLabels_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("recognised");
    QTest::addColumn<QString>("firmware"); // null: label blank when not recognised
    QTest::addColumn<QString>("dateTime");

    QTest::newRow("both lines") << kStatusReply << true << QStringLiteral("1.0.4")
                                << QStringLiteral("07.05.03 09/04/24");
    QTest::newRow("blanks and control characters trimmed")
        << QByteArrayLiteral("ALARM-MODEM VER \t 2.3b \x01\r\nDATA E ORA:  12.00.00 01/01/25 \r\n") << true
        << QStringLiteral("2.3b") << QStringLiteral("12.00.00 01/01/25");
    QTest::newRow("bytes after the second line")
        << kStatusReply + "EXTRA" << true << QStringLiteral("1.0.4") << QStringLiteral("07.05.03 09/04/24");
    QTest::newRow("first line of another form")
        << QByteArrayLiteral("ALARM MODEM VER 1.0.4\r\nDATA E ORA: 07.05.03 09/04/24\r\n") << false
        << QString() << QStringLiteral("07.05.03 09/04/24");
    QTest::newRow("second line missing")
        << QByteArrayLiteral("ALARM-MODEM VER 1.0.4\r\n") << false << QStringLiteral("1.0.4") << QString();
    // The second line is taken two bytes after the first ends.
    QTest::newRow("lines ended by LF alone")
        << QByteArrayLiteral("ALARM-MODEM VER 1.0.4\nDATA E ORA: 07.05.03 09/04/24\n") << false
        << QStringLiteral("1.0.4") << QString();
    QTest::newRow("1000 bytes of noise") << noise(1000) << false << QString() << QString();
    QTest::newRow("silence") << QByteArray() << false << QString() << QString();
    // The second line lies beyond the read: the device answered, so the
    // message must not say it did not.
    QTest::newRow("reply longer than the read")
        << QByteArray("ALARM-MODEM VER " + QByteArray(200, 'v') + "\r\nDATA E ORA: 07.05.03 09/04/24\r\n")
        << false << QString(200 - 16, u'v') << QString();
}

void TestDeviceLink::statusReplyFillsTheLabels()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, recognised);
    QFETCH(QString, firmware);
    QFETCH(QString, dateTime);

    PtyPeer peer;
    peer.setResponder(device(kClockReply, reply));
    DeviceLink link;
    const LinkOutcome outcome = link.readStatus(peer.path());

    QVERIFY(peer.waitForReceived(kStatusFrame.size(), 1000));
    QCOMPARE(peer.received(), kStatusFrame);
    QCOMPARE(outcome.succeeded, recognised);
    QCOMPARE(outcome.statusUnknown, !recognised);
    QCOMPARE(outcome.firmwareVersion, firmware.isNull() ? std::nullopt : std::optional<QString>(firmware));
    QCOMPARE(outcome.dateTime, dateTime.isNull() ? std::nullopt : std::optional<QString>(dateTime));
    const QString failure = reply.size() >= kStatusReplyCapacity ? QStringLiteral("Error_Answer_Wrong")
                                                                 : QStringLiteral("Error_No_Answer");
    QCOMPARE(keys(outcome), recognised ? QStringList() : QStringList{failure});
    QCOMPARE(link.linkOpen(), recognised);
    QCOMPARE(link.polling(), recognised);
    QCOMPARE(link.pollTimerActive(), recognised);
}

void TestDeviceLink::bootProbeAnswersFromTheFirstLine_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("bootLoader");

    QTest::newRow("BOOT VER and a version") << QByteArrayLiteral("BOOT VER 1.2\r\n") << true;
    QTest::newRow("BOOT VER without line end") << QByteArrayLiteral("BOOT VER") << true;
    QTest::newRow("BOOT VER then anything") << QByteArrayLiteral("BOOT VERSION X\r\nmore") << true;
    QTest::newRow("BOOT alone") << QByteArrayLiteral("BOOT\r\n") << false;
    QTest::newRow("BOOT VER on the second line") << QByteArrayLiteral("READY\r\nBOOT VER 1.2\r\n") << false;
    QTest::newRow("1000 bytes of noise") << noise(1000) << false;
    QTest::newRow("silence") << QByteArray() << false;
}

void TestDeviceLink::bootProbeAnswersFromTheFirstLine()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, bootLoader);

    PtyPeer peer;
    peer.setReply(reply);
    DeviceLink link;
    QVERIFY(!link.openPort(peer.path()));
    QElapsedTimer timer;
    timer.start();
    const BootAnswer answer = probeBootLoader(link);
    QVERIFY2(timer.elapsed() < 400, qPrintable(QString::number(timer.elapsed())));

    QCOMPARE(answer.inBootLoader, bootLoader);
    QCOMPARE(answer.portError, QString());
    QVERIFY(peer.waitForReceived(15, 1000));
    QCOMPARE(peer.received(), QByteArrayLiteral("00000000500000\r"));
}

void TestDeviceLink::bootRequestSendsItsFrameWithoutWaiting()
{
    PtyPeer peer;
    DeviceLink link;
    QVERIFY(!link.openPort(peer.path()));
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(link.sendBootRequest(), QString());
    // The pause after it is the update's, kept by its timer.
    QVERIFY2(timer.elapsed() < 100, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(peer.waitForReceived(11, 1000));
    QCOMPARE(peer.received(), QByteArrayLiteral("GO_TO_BOOT\r"));

    link.closeLink();
    QCOMPARE(link.sendBootRequest(), QStringLiteral("Write error (Error: 9) "));
    QCOMPARE(probeBootLoader(link).portError, QStringLiteral("Write error (Error: 9) "));
}

void TestDeviceLink::choosingAnotherPortClosesTheFirst()
{
    PtyPeer first;
    PtyPeer second;
    first.setReply(kStatusReply);
    second.setReply(kStatusReply);
    DeviceLink link;
    QVERIFY(link.readStatus(first.path()).succeeded);
    QCOMPARE(link.linkPortName(), first.path());

    // Same port: it stays open, no new open.
    QVERIFY(link.readStatus(first.path()).succeeded);
    CommPort other;
    other.setDeviceName(first.path());
    QVERIFY_THROWS_EXCEPTION(CommError, other.open());

    QVERIFY(link.readStatus(second.path()).succeeded);
    QCOMPARE(link.linkPortName(), second.path());
    QCOMPARE(link.lastPortName(), second.path());
    other.open(); // the first port is free again
    QVERIFY(other.isOpen());
}

void TestDeviceLink::afterAFailedClockSettingReadStatusOpensThePortAgain()
{
    PtyPeer peer;
    peer.setResponder(device(QByteArray(), kStatusReply));
    DeviceLink link;
    const LinkOutcome failed =
        link.setClock(peer.path(), ClockSource::Fields, fieldsOf({"7", "5", "3", "9", "4", "24"}));
    QCOMPARE(keys(failed), QStringList{QStringLiteral("Error_No_Answer")});
    QVERIFY(!link.linkOpen());
    QVERIFY(!link.port().isOpen());

    const LinkOutcome status = link.readStatus(peer.path());
    QVERIFY(status.succeeded);
    QVERIFY(link.linkOpen());
}

void TestDeviceLink::portThatDoesNotOpenGivesOpenError()
{
    DeviceLink link;
    const QString absent = QStringLiteral("/dev/ttyTRENOV5X-absent");
    LinkOutcome outcome = link.readStatus(absent);
    QCOMPARE(keys(outcome), QStringList{QStringLiteral("Error_Open_Com")});
    QCOMPARE(outcome.messages.first().detail, QStringLiteral("Error accessing specified device (Error: 2)"));
    QVERIFY(outcome.statusUnknown);
    QVERIFY(outcome.portError);
    QCOMPARE(outcome.portError->text(), QStringLiteral("Error accessing specified device (Error: 2) "));
    QVERIFY(!link.linkOpen());

    outcome = link.setClock(absent, ClockSource::Fields, fieldsOf({"7", "5", "3", "9", "4", "24"}));
    QCOMPARE(keys(outcome), QStringList{QStringLiteral("Error_Open_Com")});
    QVERIFY(outcome.statusUnknown);
    QVERIFY(link.lastPortName().isEmpty());

    // An invalid date is reported before any port is touched.
    outcome = link.setClock(absent, ClockSource::Fields, fieldsOf({"25", "5", "3", "9", "4", "24"}));
    QCOMPARE(keys(outcome), QStringList{QStringLiteral("Error_Date_Not_Valid")});
    QVERIFY(!outcome.statusUnknown);
}

void TestDeviceLink::openFailureNamesAReasonTheUserCanMend_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("key");

    QTest::newRow("held by another program") << EBUSY << "Error_Port_Busy";
    QTest::newRow("no permission") << EACCES << "Error_Port_Permission";
    QTest::newRow("operation not permitted") << EPERM << "Error_Port_Permission";
    QTest::newRow("no such device") << ENOENT << "Error_Open_Com";
    QTest::newRow("empty port name") << EISDIR << "Error_Open_Com";
    QTest::newRow("device fails") << EIO << "Error_Open_Com";
    QTest::newRow("not a serial device") << -1 << "Error_Open_Com";
}

void TestDeviceLink::openFailureNamesAReasonTheUserCanMend()
{
    QFETCH(int, code);
    QFETCH(QString, key);
    QCOMPARE(openFailureKey(code), key);
}

void TestDeviceLink::portInUseOrWithoutPermissionSaysSo_data()
{
    QTest::addColumn<QString>("hindrance");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("code");

    QTest::newRow("held open by another port object") << "held"
                                                      << "Error_Port_Busy" << EBUSY;
    QTest::newRow("no permission on the device") << "permission"
                                                 << "Error_Port_Permission" << EACCES;
}

void TestDeviceLink::portInUseOrWithoutPermissionSaysSo()
{
    QFETCH(QString, hindrance);
    QFETCH(QString, key);
    QFETCH(int, code);

    PtyPeer peer;
    peer.setReply(kStatusReply);
    DeviceLink link;
    CommPort holder;
    std::optional<LinkOutcome> outcome;
    if (hindrance == u"held") {
        holder.setDeviceName(peer.path());
        holder.open();
        outcome = link.readStatus(peer.path());
    } else {
        NoPermission guard(peer.path());
        outcome = link.readStatus(peer.path());
    }
    QCOMPARE(keys(*outcome), QStringList{key});
    QCOMPARE(outcome->portError->code(), code);
    QCOMPARE(outcome->messages.first().detail,
             QStringLiteral("Error accessing specified device (Error: %1)").arg(code));
    QVERIFY(!link.linkOpen());
    QVERIFY(!link.port().isOpen());

    // Once the port is free the same command reads the device.
    holder.close();
    QVERIFY(link.readStatus(peer.path()).succeeded);
}

void TestDeviceLink::pollingReadsTheStatusUntilTheLinkCloses()
{
    PtyPeer peer;
    peer.setReply(kStatusReply);
    DeviceLink link;
    link.setPollInterval(30);
    QSignalSpy polled(&link, &DeviceLink::polled);
    QVERIFY(link.readStatus(peer.path()).succeeded);

    QTRY_VERIFY_WITH_TIMEOUT(polled.count() >= 2, 3000);
    const auto outcome = polled.first().first().value<LinkOutcome>();
    QVERIFY(outcome.messages.isEmpty());
    QCOMPARE(outcome.firmwareVersion, std::optional<QString>(QStringLiteral("1.0.4")));
    QVERIFY(peer.received().startsWith(kStatusFrame + kStatusFrame + kStatusFrame));

    link.closeLink();
    QVERIFY(!link.polling());
    QVERIFY(!link.linkOpen());
    QVERIFY(!link.pollTimerActive());
    QCOMPARE(link.linkPortName(), peer.path());
    const int count = polled.count();
    QTest::qWait(100);
    QCOMPARE(polled.count(), count);
}

void TestDeviceLink::pollingWithoutAnswerGoesOnSilently()
{
    PtyPeer peer;
    peer.setReply(kStatusReply);
    DeviceLink link;
    link.setPollInterval(20);
    QSignalSpy polled(&link, &DeviceLink::polled);
    QVERIFY(link.readStatus(peer.path()).succeeded);
    peer.setReply(QByteArray());

    QTRY_VERIFY_WITH_TIMEOUT(polled.count() >= 2, 3000);
    const auto outcome = polled.last().first().value<LinkOutcome>();
    QVERIFY(outcome.messages.isEmpty());
    QVERIFY(!outcome.firmwareVersion);
    QVERIFY(outcome.statusUnknown);
    QVERIFY(link.linkOpen());
    QVERIFY(link.polling());
}

void TestDeviceLink::vanishedDeviceSaysTheConnectionIsLost_data()
{
    QTest::addColumn<QString>("command");
    QTest::newRow("status polling") << "poll";
    QTest::newRow("Read Status Device") << "read";
    QTest::newRow("clock setting") << "clock";
}

void TestDeviceLink::vanishedDeviceSaysTheConnectionIsLost()
{
    QFETCH(QString, command);
    PtyPeer peer;
    peer.setResponder(device(kClockReply, kStatusReply));
    DeviceLink link;
    link.setPollInterval(20);
    QSignalSpy polled(&link, &DeviceLink::polled);
    QVERIFY(link.readStatus(peer.path()).succeeded);
    peer.hangUp();

    QElapsedTimer timer;
    timer.start();
    LinkOutcome outcome;
    if (command == u"poll") {
        QTRY_VERIFY_WITH_TIMEOUT(!polled.isEmpty(), 3000);
        outcome = polled.last().first().value<LinkOutcome>();
    } else if (command == u"read") {
        outcome = link.readStatus(peer.path());
    } else {
        outcome = link.setClock(peer.path(), ClockSource::Fields, fieldsOf({"7", "5", "3", "9", "4", "24"}));
        QVERIFY2(timer.elapsed() < 300, qPrintable(QString::number(timer.elapsed())));
    }
    QCOMPARE(keys(outcome), QStringList{QStringLiteral("Error_Port_Lost")});
    QVERIFY2(outcome.messages.first().detail.startsWith(QLatin1String("Write error (Error: ")),
             qPrintable(outcome.messages.first().detail));
    QVERIFY(outcome.portError);
    QVERIFY(outcome.statusUnknown);
    QVERIFY(!outcome.succeeded);
    QVERIFY(!link.polling());
    QVERIFY(!link.pollTimerActive());
    QVERIFY(!link.linkOpen());
    const int count = polled.count();
    QTest::qWait(100);
    QCOMPARE(polled.count(), count);
}

void TestDeviceLink::openPortForTheUpdateKeepsTheLastPortName()
{
    PtyPeer peer;
    peer.setReply(kStatusReply);
    DeviceLink link;
    QVERIFY(link.readStatus(peer.path()).succeeded);

    QVERIFY(link.openPort(QStringLiteral("/dev/ttyTRENOV5X-absent"))
                ->text()
                .startsWith(QLatin1String("Error accessing")));
    QVERIFY(!link.linkOpen());
    QVERIFY(!link.polling());
    QCOMPARE(link.lastPortName(), peer.path());

    QVERIFY(!link.openPort(peer.path()));
    QVERIFY(link.port().isOpen());
    QVERIFY(!link.linkOpen());
    QCOMPARE(link.lastPortName(), peer.path());
}

QTEST_GUILESS_MAIN(TestDeviceLink)
#include "tst_device_link.moc"
