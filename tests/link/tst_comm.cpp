// The serial port object against a real pseudo-terminal: open errors, closed
// port behaviour, transfers, purges and the line settings the device needs.
#include "helper_pty.h"
#include "link/Comm.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <termios.h>

using namespace devlink;

namespace {

QString openError(TComm &comm)
{
    try {
        comm.Open();
    } catch (const ECommError &error) {
        return error.text();
    }
    return {};
}

template <typename F> QString raised(F &&operation)
{
    try {
        operation();
    } catch (const ECommError &error) {
        return error.text();
    }
    return {};
}

// The port settings the device link uses.
void useDeviceSettings(TComm &comm, const QString &path)
{
    comm.setDeviceName(path);
    comm.setBaudRate(TBaudrate::br115200);
    comm.setFlowControl(TFlowControl::fcNone);
}

} // namespace

class TestComm : public QObject
{
    Q_OBJECT

private slots:
    void newObjectHasClassDefaults();
    void openFailsWithDeviceErrorText_data();
    void openFailsWithDeviceErrorText();
    void deviceHeldOpenElsewhereDoesNotOpen();
    void afterFailedOpenAnotherNameOpens();
    void changesWhileOpenAreRefused_data();
    void changesWhileOpenAreRefused();
    void closedPortCountsMinusOneAndRefusesTransfers();
    void readWithNothingReceivedReturnsZero();
    void lineIs115200EightNoneOneWithoutHandshake();
    void baudRateChangeWhileOpenAppliesAtOnce();
    void framesGoOutWholeAndRepliesComeBackUpToCapacity();
    void purgeInputDiscardsWhatArrived();
    void writeThatCannotCompleteInTimeReturnsMinusOne();
    void waitEndsAsSoonAsTheReplyIsComplete();
};

void TestComm::newObjectHasClassDefaults()
{
    TComm comm;
    QCOMPARE(comm.DeviceName(), QStringLiteral("Com2"));
    QCOMPARE(comm.BaudRate(), TBaudrate::br9600);
    QCOMPARE(comm.Parity(), TParity::paNone);
    QCOMPARE(comm.Stopbits(), TStopbits::sb10);
    QCOMPARE(comm.Databits(), TDatabits::da8);
    QCOMPARE(comm.FlowControl(), TFlowControl::fcDefault);
    QCOMPARE(comm.Options(), TCommOptions());
    QCOMPARE(comm.ReadTimeout(), 1000);
    QCOMPARE(comm.WriteTimeout(), 1000);
    QCOMPARE(comm.ReadBufSize(), 4096);
    QCOMPARE(comm.WriteBufSize(), 2048);
    QCOMPARE(comm.EventChars(), (TCommEventChars{17, 19, 0, 0, 0}));
    QCOMPARE(comm.MonitorEvents(), kAllCommEvents);
    QVERIFY(!comm.IsOpen());
    QCOMPARE(bitRate(TBaudrate::br115200), 115200);
    QCOMPARE(bitRate(TBaudrate::br3000000), 3000000);
}

void TestComm::openFailsWithDeviceErrorText_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("text");

    QTest::newRow("absent device") << QStringLiteral("/dev/ttyTRENOV5X-absent")
                                   << QStringLiteral("Error accessing specified device (Error: 2) ");
    QTest::newRow("empty port name") << QStringLiteral("/dev/")
                                     << QStringLiteral("Error accessing specified device (Error: 21) ");
    QTest::newRow("regular file") << QStringLiteral("FILE")
                                  << QStringLiteral("Invalid device handle, access denied (Error: -1) ");
    // The system's own code (ELOOP), not the EIO the serial port would report.
    QTest::newRow("link loop") << QStringLiteral("LOOP")
                               << QStringLiteral("Error accessing specified device (Error: 40) ");
}

void TestComm::openFailsWithDeviceErrorText()
{
    QFETCH(QString, device);
    QFETCH(QString, text);
    QTemporaryDir dir;
    if (device == QLatin1String("FILE")) {
        device = dir.filePath(QStringLiteral("plain"));
        QFile file(device);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (device == QLatin1String("LOOP")) {
        device = dir.filePath(QStringLiteral("ttyLOOP"));
        QVERIFY(QFile::link(device, device));
    }
    TComm comm;
    useDeviceSettings(comm, device);
    QCOMPARE(openError(comm), text);
    QVERIFY(!comm.IsOpen());
}

void TestComm::deviceHeldOpenElsewhereDoesNotOpen()
{
    PtyPeer peer;
    QVERIFY(peer.isValid());
    TComm holder;
    useDeviceSettings(holder, peer.path());
    holder.Open();

    TComm second;
    useDeviceSettings(second, peer.path());
    QCOMPARE(openError(second), QStringLiteral("Error accessing specified device (Error: 16) "));
    QVERIFY(!second.IsOpen());

    holder.Close();
    QCOMPARE(openError(second), QString());
    QVERIFY(second.IsOpen());
}

void TestComm::afterFailedOpenAnotherNameOpens()
{
    PtyPeer peer;
    TComm comm;
    useDeviceSettings(comm, QStringLiteral("/dev/ttyTRENOV5X-absent"));
    QVERIFY(!openError(comm).isEmpty());
    comm.setDeviceName(peer.path());
    QCOMPARE(openError(comm), QString());
    QVERIFY(comm.IsOpen());
}

void TestComm::changesWhileOpenAreRefused_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<QString>("text");
    const QString refused = QStringLiteral("Port already assigned (open) (Error: -1) ");

    QTest::newRow("open again") << 0 << refused;
    QTest::newRow("another device name") << 1 << refused;
    QTest::newRow("same device name") << 2 << QString();
    QTest::newRow("read buffer size") << 3 << refused;
    QTest::newRow("write buffer size") << 4 << refused;
    QTest::newRow("monitored events") << 5 << refused;
    QTest::newRow("same read buffer size") << 6 << QString();
    QTest::newRow("time-outs") << 7 << QString();
}

void TestComm::changesWhileOpenAreRefused()
{
    QFETCH(int, change);
    QFETCH(QString, text);
    PtyPeer peer;
    TComm comm;
    useDeviceSettings(comm, peer.path());
    comm.Open();

    const QString error = raised([&] {
        switch (change) {
        case 0:
            comm.Open();
            break;
        case 1:
            comm.setDeviceName(QStringLiteral("/dev/ttyS0"));
            break;
        case 2:
            comm.setDeviceName(peer.path());
            break;
        case 3:
            comm.setReadBufSize(8192);
            break;
        case 4:
            comm.setWriteBufSize(8192);
            break;
        case 5:
            comm.setMonitorEvents(TCommEventType::evRxChar);
            break;
        case 6:
            comm.setReadBufSize(4096);
            break;
        case 7:
            comm.setReadTimeout(50);
            comm.setWriteTimeout(50);
            break;
        }
    });
    QCOMPARE(error, text);
    QVERIFY(comm.IsOpen());
    QCOMPARE(comm.DeviceName(), peer.path());
}

void TestComm::closedPortCountsMinusOneAndRefusesTransfers()
{
    TComm comm;
    QCOMPARE(comm.InputCount(), -1);
    char buffer[8] = {};
    QCOMPARE(raised([&] { comm.Write("X", 1); }), QStringLiteral("Write error (Error: 9) "));
    QCOMPARE(raised([&] { comm.Read(buffer, 8); }), QStringLiteral("Read error (Error: 9) "));
    // These never fail.
    comm.PurgeInput();
    comm.PurgeOutput();
    comm.Close();
    QVERIFY(!comm.IsOpen());
}

void TestComm::readWithNothingReceivedReturnsZero()
{
    PtyPeer peer;
    TComm comm;
    useDeviceSettings(comm, peer.path());
    comm.Open();
    QCOMPARE(comm.Write(QByteArrayLiteral("READSTATUS\r\n")), 12);
    char buffer[200];
    QCOMPARE(comm.Read(buffer, 200), 0);
    QCOMPARE(comm.InputCount(), 0);
}

void TestComm::lineIs115200EightNoneOneWithoutHandshake()
{
    PtyPeer peer;
    TComm comm;
    useDeviceSettings(comm, peer.path());
    comm.Open();

    termios line{};
    QCOMPARE(tcgetattr(peer.deviceFd(), &line), 0);
    QCOMPARE(cfgetospeed(&line), speed_t(B115200));
    QCOMPARE(cfgetispeed(&line), speed_t(B115200));
    QCOMPARE(line.c_cflag & CSIZE, tcflag_t(CS8));
    QCOMPARE(line.c_cflag & PARENB, tcflag_t(0));
    QCOMPARE(line.c_cflag & CSTOPB, tcflag_t(0));
    QCOMPARE(line.c_cflag & CRTSCTS, tcflag_t(0));
    QCOMPARE(line.c_iflag & (IXON | IXOFF), tcflag_t(0));
    // Raw bytes: no CR/LF translation, no echo.
    QCOMPARE(line.c_iflag & (ICRNL | INLCR | IGNCR), tcflag_t(0));
    QCOMPARE(line.c_oflag & OPOST, tcflag_t(0));
    QCOMPARE(line.c_lflag & (ICANON | ECHO), tcflag_t(0));
}

void TestComm::baudRateChangeWhileOpenAppliesAtOnce()
{
    PtyPeer peer;
    TComm comm;
    useDeviceSettings(comm, peer.path());
    comm.Open();
    comm.setBaudRate(TBaudrate::br9600);
    comm.setStopbits(TStopbits::sb20);
    termios line{};
    QCOMPARE(tcgetattr(peer.deviceFd(), &line), 0);
    QCOMPARE(cfgetospeed(&line), speed_t(B9600));
    QCOMPARE(line.c_cflag & CSTOPB, tcflag_t(CSTOPB));
}

void TestComm::framesGoOutWholeAndRepliesComeBackUpToCapacity()
{
    PtyPeer peer;
    peer.setReply(QByteArrayLiteral("0123456789ABCDEF\r\n"));
    TComm comm;
    useDeviceSettings(comm, peer.path());
    comm.Open();

    const QByteArray frame = QByteArrayLiteral("GO_TO_BOOT\r");
    QCOMPARE(comm.Write(frame), int(frame.size()));
    QVERIFY(peer.waitForReceived(frame.size(), 1000));
    QCOMPARE(peer.received(), frame);

    comm.waitForInput(1000, [](const QByteArray &received) { return received.endsWith('\n'); });
    QCOMPARE(comm.InputCount(), 18);
    char buffer[10];
    QCOMPARE(comm.Read(buffer, 10), 10);
    QCOMPARE(QByteArray(buffer, 10), QByteArrayLiteral("0123456789"));
    QCOMPARE(comm.InputCount(), 8);
}

void TestComm::purgeInputDiscardsWhatArrived()
{
    PtyPeer peer;
    peer.setReply(QByteArrayLiteral("late bytes\r\n"));
    TComm comm;
    useDeviceSettings(comm, peer.path());
    comm.Open();
    comm.Write(QByteArrayLiteral("X\r"));
    comm.waitForInput(1000, [](const QByteArray &received) { return received.endsWith('\n'); });
    QVERIFY(comm.InputCount() > 0);
    comm.PurgeInput();
    QCOMPARE(comm.InputCount(), 0);
}

void TestComm::writeThatCannotCompleteInTimeReturnsMinusOne()
{
    PtyPeer peer;
    peer.setReading(false);
    TComm comm;
    useDeviceSettings(comm, peer.path());
    comm.setWriteTimeout(100);
    comm.Open();
    const QByteArray flood(1 << 20, 'x');
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(comm.Write(flood), -1);
    QVERIFY(timer.elapsed() >= 95);
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(comm.IsOpen());

    // Nothing of the abandoned write goes out later.
    comm.PurgeOutput();
    peer.setReading(true);
    QVERIFY(peer.waitForReceived(1, 1000));
    QTest::qWait(50);
    const qsizetype drained = peer.received().size();
    QTest::qWait(100);
    QCOMPARE(peer.received().size(), drained);
    QVERIFY(drained < flood.size());
}

void TestComm::waitEndsAsSoonAsTheReplyIsComplete()
{
    PtyPeer peer;
    peer.setReply(QByteArrayLiteral("OK\r\n"));
    TComm comm;
    useDeviceSettings(comm, peer.path());
    comm.Open();
    comm.Write(QByteArrayLiteral("X\r"));
    QElapsedTimer timer;
    timer.start();
    comm.waitForInput(2000, [](const QByteArray &received) { return received.endsWith('\n'); });
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(comm.InputCount(), 4);

    // Nothing more comes: the wait lasts its full time and no longer.
    timer.restart();
    comm.waitForInput(100, [](const QByteArray &) { return false; });
    QVERIFY(timer.elapsed() >= 95);
    QVERIFY(timer.elapsed() < 1000);
}

QTEST_GUILESS_MAIN(TestComm)
#include "tst_comm.moc"
