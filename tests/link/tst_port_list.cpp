// The port lists: natural order of port names, the preselected port, and the
// device path of a name.
#include "helper_devsim.h"
#include "link/PortList.h"

#include <QFileInfo>
#include <QTest>
#include <algorithm>

using namespace devlink;

class TestPortList : public QObject
{
    Q_OBJECT

private slots:
    void namesSortInNaturalOrder_data();
    void namesSortInNaturalOrder();
    void lastPortIsPreselectedWhenListed_data();
    void lastPortIsPreselectedWhenListed();
    void devicePathOfAName_data();
    void devicePathOfAName();
    void systemPortsAreListedOnceInOrder();
    void simulatorLinkedIntoDevIsListed();
};

void TestPortList::namesSortInNaturalOrder_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("sorted");

    QTest::newRow("numbers as numbers") << QStringList{"ttyS10", "ttyS2", "ttyS0", "ttyS1"}
                                        << QStringList{"ttyS0", "ttyS1", "ttyS2", "ttyS10"};
    QTest::newRow("families by name") << QStringList{"ttyUSB0", "ttyS3", "ttyACM1", "ttyACM0"}
                                      << QStringList{"ttyACM0", "ttyACM1", "ttyS3", "ttyUSB0"};
    QTest::newRow("windows names") << QStringList{"COM10", "COM3", "COM1"}
                                   << QStringList{"COM1", "COM3", "COM10"};
    QTest::newRow("leading zeros after the plain number")
        << QStringList{"ttyS02", "ttyS2", "ttyS1"} << QStringList{"ttyS1", "ttyS2", "ttyS02"};
    QTest::newRow("prefix first") << QStringList{"ttyS1", "ttyS"} << QStringList{"ttyS", "ttyS1"};
}

void TestPortList::namesSortInNaturalOrder()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, sorted);
    std::sort(names.begin(), names.end(), portNameLess);
    QCOMPARE(names, sorted);
}

void TestPortList::lastPortIsPreselectedWhenListed_data()
{
    QTest::addColumn<QStringList>("ports");
    QTest::addColumn<QString>("lastPort");
    QTest::addColumn<int>("current");

    const QStringList ports{"ttyS0", "ttyUSB0", "ttyUSB1"};
    QTest::newRow("no ports") << QStringList{} << QStringLiteral("ttyUSB0") << -1;
    QTest::newRow("no last port") << ports << QString() << 0;
    QTest::newRow("last port listed") << ports << QStringLiteral("ttyUSB1") << 2;
    QTest::newRow("last port gone") << ports << QStringLiteral("ttyACM0") << 0;
    QTest::newRow("exact text only") << ports << QStringLiteral("TTYUSB1") << 0;
    QTest::newRow("windows name") << QStringList{"COM1", "COM4"} << QStringLiteral("COM4") << 1;
}

void TestPortList::lastPortIsPreselectedWhenListed()
{
    QFETCH(QStringList, ports);
    QFETCH(QString, lastPort);
    QFETCH(int, current);
    const PortList list = fillPortList(ports, lastPort);
    QCOMPARE(list.items, ports);
    QCOMPARE(list.current, current);
}

void TestPortList::devicePathOfAName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("path");

    QTest::newRow("port name") << QStringLiteral("ttyUSB0") << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("device path") << QStringLiteral("/dev/pts/3") << QStringLiteral("/dev/pts/3");
    QTest::newRow("empty name") << QString() << QStringLiteral("/dev/");
}

void TestPortList::devicePathOfAName()
{
    QFETCH(QString, name);
    QFETCH(QString, path);
    QCOMPARE(devicePath(name), path);
}

void TestPortList::systemPortsAreListedOnceInOrder()
{
    const QStringList ports = listSerialPorts();
    QStringList sorted = ports;
    std::sort(sorted.begin(), sorted.end(), portNameLess);
    QCOMPARE(ports, sorted);
    QCOMPARE(QSet<QString>(ports.begin(), ports.end()).size(), ports.size());
    for (const QString &port : ports)
        QVERIFY2(!port.contains(u'/'), qPrintable(port));
}

// A demonstration modem linked as /dev/ttyV... appears in the port lists.
void TestPortList::simulatorLinkedIntoDevIsListed()
{
    const QString name = QStringLiteral("ttyVtest%1").arg(QCoreApplication::applicationPid());
    const QString link = QStringLiteral("/dev/") + name;
    if (!QFileInfo(QStringLiteral("/dev")).isWritable())
        QSKIP("/dev is not writable here");
    QVERIFY(!listSerialPorts().contains(name));
    {
        DevSim sim({QStringLiteral("--link"), link});
        QVERIFY(sim.isRunning());
        QTRY_VERIFY(QFileInfo(link).isSymLink());
        QVERIFY(listSerialPorts().contains(name));
        QCOMPARE(devicePath(name), link);
    }
    QTRY_VERIFY(!QFileInfo::exists(link)); // gone, or left dangling by a killed simulator
    QVERIFY(!listSerialPorts().contains(name));
    QFile::remove(link);
}

QTEST_GUILESS_MAIN(TestPortList)
#include "tst_port_list.moc"
