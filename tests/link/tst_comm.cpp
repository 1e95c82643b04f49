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

QString openError(CommPort &comm)
{
    try {
        comm.open();
    } catch (const CommError &error) {
        return error.text();
    }
    return {};
}

template <typename F> QString raised(F &&operation)
{
    try {
        operation();
    } catch (const CommError &error) {
        return error.text();
    }
    return {};
}

// The port settings the device link uses.
void useDeviceSettings(CommPort &comm, const QString &path)
{
    comm.setDeviceName(path);
    comm.setBaudRate(BaudRate::Baud115200);
    comm.setFlowControl(FlowControl::None);
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
    CommPort comm;
    QCOMPARE(comm.deviceName(), QStringLiteral("Com2"));
    QCOMPARE(comm.baudRate(), BaudRate::Baud9600);
    QCOMPARE(comm.parity(), Parity::None);
    QCOMPARE(comm.stopBits(), StopBits::One);
    QCOMPARE(comm.dataBits(), DataBits::Bits8);
    QCOMPARE(comm.flowControl(), FlowControl::Default);
    QCOMPARE(comm.options(), CommOptions());
    QCOMPARE(comm.readTimeout(), 1000);
    QCOMPARE(comm.writeTimeout(), 1000);
    QCOMPARE(comm.readBufSize(), 4096);
    QCOMPARE(comm.writeBufSize(), 2048);
    QCOMPARE(comm.eventChars(), (CommEventChars{17, 19, 0, 0, 0}));
    QCOMPARE(comm.monitorEvents(), kAllCommEvents);
    QVERIFY(!comm.isOpen());
    QCOMPARE(bitRate(BaudRate::Baud115200), 115200);
    QCOMPARE(bitRate(BaudRate::Baud3000000), 3000000);
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
    CommPort comm;
    useDeviceSettings(comm, device);
    QCOMPARE(openError(comm), text);
    QVERIFY(!comm.isOpen());
}

void TestComm::deviceHeldOpenElsewhereDoesNotOpen()
{
    PtyPeer peer;
    QVERIFY(peer.isValid());
    CommPort holder;
    useDeviceSettings(holder, peer.path());
    holder.open();

    CommPort second;
    useDeviceSettings(second, peer.path());
    QCOMPARE(openError(second), QStringLiteral("Error accessing specified device (Error: 16) "));
    QVERIFY(!second.isOpen());

    holder.close();
    QCOMPARE(openError(second), QString());
    QVERIFY(second.isOpen());
}

void TestComm::afterFailedOpenAnotherNameOpens()
{
    PtyPeer peer;
    CommPort comm;
    useDeviceSettings(comm, QStringLiteral("/dev/ttyTRENOV5X-absent"));
    QVERIFY(!openError(comm).isEmpty());
    comm.setDeviceName(peer.path());
    QCOMPARE(openError(comm), QString());
    QVERIFY(comm.isOpen());
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
    CommPort comm;
    useDeviceSettings(comm, peer.path());
    comm.open();

    const QString error = raised([&] {
        switch (change) {
        case 0:
            comm.open();
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
            comm.setMonitorEvents(CommEvent::RxChar);
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
    QVERIFY(comm.isOpen());
    QCOMPARE(comm.deviceName(), peer.path());
}

void TestComm::closedPortCountsMinusOneAndRefusesTransfers()
{
    CommPort comm;
    QCOMPARE(comm.inputCount(), -1);
    char buffer[8] = {};
    QCOMPARE(raised([&] { comm.write("X", 1); }), QStringLiteral("Write error (Error: 9) "));
    QCOMPARE(raised([&] { comm.read(buffer, 8); }), QStringLiteral("Read error (Error: 9) "));
    // These never fail.
    comm.purgeInput();
    comm.purgeOutput();
    comm.close();
    QVERIFY(!comm.isOpen());
}

void TestComm::readWithNothingReceivedReturnsZero()
{
    PtyPeer peer;
    CommPort comm;
    useDeviceSettings(comm, peer.path());
    comm.open();
    QCOMPARE(comm.write(QByteArrayLiteral("READSTATUS\r\n")), 12);
    char buffer[200];
    QCOMPARE(comm.read(buffer, 200), 0);
    QCOMPARE(comm.inputCount(), 0);
}

void TestComm::lineIs115200EightNoneOneWithoutHandshake()
{
    PtyPeer peer;
    CommPort comm;
    useDeviceSettings(comm, peer.path());
    comm.open();

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
    CommPort comm;
    useDeviceSettings(comm, peer.path());
    comm.open();
    comm.setBaudRate(BaudRate::Baud9600);
    comm.setStopBits(StopBits::Two);
    termios line{};
    QCOMPARE(tcgetattr(peer.deviceFd(), &line), 0);
    QCOMPARE(cfgetospeed(&line), speed_t(B9600));
    QCOMPARE(line.c_cflag & CSTOPB, tcflag_t(CSTOPB));
}

void TestComm::framesGoOutWholeAndRepliesComeBackUpToCapacity()
{
    PtyPeer peer;
    peer.setReply(QByteArrayLiteral("0123456789ABCDEF\r\n"));
    CommPort comm;
    useDeviceSettings(comm, peer.path());
    comm.open();

    const QByteArray frame = QByteArrayLiteral("GO_TO_BOOT\r");
    QCOMPARE(comm.write(frame), int(frame.size()));
    QVERIFY(peer.waitForReceived(frame.size(), 1000));
    QCOMPARE(peer.received(), frame);

    comm.waitForInput(1000, [](const QByteArray &received) { return received.endsWith('\n'); });
    QCOMPARE(comm.inputCount(), 18);
    char buffer[10];
    QCOMPARE(comm.read(buffer, 10), 10);
    QCOMPARE(QByteArray(buffer, 10), QByteArrayLiteral("0123456789"));
    QCOMPARE(comm.inputCount(), 8);
}

void TestComm::purgeInputDiscardsWhatArrived()
{
    PtyPeer peer;
    peer.setReply(QByteArrayLiteral("late bytes\r\n"));
    CommPort comm;
    useDeviceSettings(comm, peer.path());
    comm.open();
    comm.write(QByteArrayLiteral("X\r"));
    comm.waitForInput(1000, [](const QByteArray &received) { return received.endsWith('\n'); });
    QVERIFY(comm.inputCount() > 0);
    comm.purgeInput();
    QCOMPARE(comm.inputCount(), 0);
}

void TestComm::writeThatCannotCompleteInTimeReturnsMinusOne()
{
    PtyPeer peer;
    peer.setReading(false);
    CommPort comm;
    useDeviceSettings(comm, peer.path());
    comm.setWriteTimeout(100);
    comm.open();
    const QByteArray flood(1 << 20, 'x');
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(comm.write(flood), -1);
    QVERIFY(timer.elapsed() >= 95);
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(comm.isOpen());

    // Nothing of the abandoned write goes out later.
    comm.purgeOutput();
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
    CommPort comm;
    useDeviceSettings(comm, peer.path());
    comm.open();
    comm.write(QByteArrayLiteral("X\r"));
    QElapsedTimer timer;
    timer.start();
    comm.waitForInput(2000, [](const QByteArray &received) { return received.endsWith('\n'); });
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
    QCOMPARE(comm.inputCount(), 4);

    // Nothing more comes: the wait lasts its full time and no longer.
    timer.restart();
    comm.waitForInput(100, [](const QByteArray &) { return false; });
    QVERIFY(timer.elapsed() >= 95);
    QVERIFY(timer.elapsed() < 1000);
}

QTEST_GUILESS_MAIN(TestComm)
#include "tst_comm.moc"
