// The device link against the simulated modem in its own process: its replies,
// its faults, its boot loader, its log, and a modem killed mid-exchange.
#include "helper_devsim.h"
#include "link/DeviceLink.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTest>
#include <algorithm>
#include <csignal>
#include <thread>

using namespace devlink;

namespace {

const ClockFields kClock{"7", "5", "3", "9", "4", "24"};

QStringList keys(const LinkOutcome &outcome)
{
    QStringList list;
    for (const LinkMessage &m : outcome.messages)
        list << (m.key.isEmpty() ? QStringLiteral("port error") : m.key);
    return list;
}

} // namespace

class TestDevSim : public QObject
{
    Q_OBJECT

private slots:
    void statusCarriesVersionAndItsOwnClock();
    void clockSetByFrameIsReadBack();
    void faultsGiveTheirMessages_data();
    void faultsGiveTheirMessages();
    void silencedMidSessionStopsAnswering();
    void bootLoaderAfterTheNthRequest();
    void logShowsEveryFrameAsHexAndText();
    void linkPathLeadsToTheDeviceAndGoesAtExit();
    void portOpensAgainAfterEveryClose();
    void killedMidExchangeGivesAnErrorWithinThePause();
    void helpDescribesTheOptions();
    void statusExchangeTime();
};

void TestDevSim::statusCarriesVersionAndItsOwnClock()
{
    DevSim sim({QStringLiteral("--fw-version"), QStringLiteral("9.8.7")});
    QVERIFY(sim.isRunning());
    DeviceLink link;
    const LinkOutcome outcome = link.readStatus(sim.path());
    QVERIFY(outcome.succeeded);
    QCOMPARE(outcome.firmwareVersion, std::optional<QString>(QStringLiteral("9.8.7")));
    QVERIFY(outcome.dateTime);
    const QDateTime shown = QDateTime::fromString(*outcome.dateTime, QStringLiteral("hh.mm.ss dd/MM/yy"));
    QVERIFY2(shown.isValid(), qPrintable(*outcome.dateTime));
    // Two-digit years read as 19xx by Qt; only the time of day is compared.
    QVERIFY(qAbs(shown.time().secsTo(QTime::currentTime())) < 5 ||
            qAbs(shown.time().secsTo(QTime::currentTime())) > 86395);
}

void TestDevSim::clockSetByFrameIsReadBack()
{
    DevSim sim;
    DeviceLink link;
    const LinkOutcome outcome = link.setClock(sim.path(), ClockSource::Fields, kClock);
    QCOMPARE(keys(outcome), QStringList{QStringLiteral("DateTime_Correctly_Setted")});
    QVERIFY(outcome.dateTime);
    QVERIFY2(outcome.dateTime->startsWith(QLatin1String("07.05.0")), qPrintable(*outcome.dateTime));
    QVERIFY(outcome.dateTime->endsWith(QLatin1String(" 09/04/24")));
}

void TestDevSim::faultsGiveTheirMessages_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("clock"); // set the clock, otherwise read the status
    QTest::addColumn<QString>("key");

    const QString ok = QStringLiteral("DateTime_Correctly_Setted");
    QTest::newRow("silent, status") << QStringList{"--silent"} << false << QStringLiteral("Error_No_Answer");
    QTest::newRow("silent, clock") << QStringList{"--silent"} << true << QStringLiteral("Error_No_Answer");
    QTest::newRow("garbage, status") << QStringList{"--garbage"} << false
                                     << QStringLiteral("Error_Answer_Wrong");
    QTest::newRow("garbage, clock") << QStringList{"--garbage"} << true
                                    << QStringLiteral("Error_Answer_Wrong");
    QTest::newRow("wrong clock reply")
        << QStringList{"--wrong-clock-reply"} << true << QStringLiteral("Error_Answer_Wrong");
    QTest::newRow("slower than the pause")
        << QStringList{"--slow", "300"} << false << QStringLiteral("Error_No_Answer");
    QTest::newRow("slow within the pause") << QStringList{"--slow", "40"} << true << ok;
    QTest::newRow("split, status") << QStringList{"--split"} << false << QString();
    QTest::newRow("split, clock") << QStringList{"--split"} << true << ok;
    QTest::newRow("in the boot loader")
        << QStringList{"--boot-after", "0"} << false << QStringLiteral("Error_No_Answer");
}

void TestDevSim::faultsGiveTheirMessages()
{
    QFETCH(QStringList, options);
    QFETCH(bool, clock);
    QFETCH(QString, key);

    DevSim sim(options);
    QVERIFY(sim.isRunning());
    DeviceLink link;
    QElapsedTimer timer;
    timer.start();
    const LinkOutcome outcome =
        clock ? link.setClock(sim.path(), ClockSource::Fields, kClock) : link.readStatus(sim.path());
    const qint64 elapsed = timer.elapsed();
    QCOMPARE(keys(outcome), key.isEmpty() ? QStringList() : QStringList{key});
    QCOMPARE(outcome.succeeded, key.isEmpty() || key == QLatin1String("DateTime_Correctly_Setted"));
    QVERIFY2(elapsed < 500, qPrintable(QString::number(elapsed)));
}

void TestDevSim::silencedMidSessionStopsAnswering()
{
    DevSim sim;
    DeviceLink link;
    QVERIFY(link.readStatus(sim.path()).succeeded);
    sim.sendSignal(SIGUSR1);
    QTest::qWait(50);
    QCOMPARE(keys(link.readStatus(sim.path())), QStringList{QStringLiteral("Error_No_Answer")});
    QVERIFY(!link.linkOpen());
    sim.sendSignal(SIGUSR1);
    QTest::qWait(50);
    QVERIFY(link.readStatus(sim.path()).succeeded);
}

void TestDevSim::bootLoaderAfterTheNthRequest()
{
    DevSim sim({QStringLiteral("--boot-after"), QStringLiteral("2")});
    DeviceLink link;
    QVERIFY(!link.openPort(sim.path()));

    // The update's loop: probe, and request boot mode while it fails.
    int probes = 0;
    int requests = 0;
    bool booted = false;
    while (!booted && probes < 7) {
        ++probes;
        booted = probeBootLoader(link).inBootLoader;
        if (!booted) {
            QCOMPARE(link.sendBootRequest(), QString());
            QTest::qWait(200); // the update's pause while the device restarts
            ++requests;
        }
    }
    QVERIFY(booted);
    QCOMPARE(probes, 3);
    QCOMPARE(requests, 2);
    QVERIFY(sim.log().contains(QLatin1String("\"BOOT VER 1.2\\r\\n\"")));

    // The application runs again after an update: no boot loader answer.
    sim.sendSignal(SIGUSR2);
    QTest::qWait(50);
    QVERIFY(!probeBootLoader(link).inBootLoader);
}

void TestDevSim::logShowsEveryFrameAsHexAndText()
{
    DevSim sim;
    DeviceLink link;
    link.setClock(sim.path(), ClockSource::Fields, kClock);
    QVERIFY(!link.openPort(sim.path()));
    link.sendBootRequest();
    QVERIFY(sim.waitForFrames(3, 2000));
    const QString log = sim.log();
    QVERIFY2(
        log.contains(QLatin1String("rx 44 41 54 4F 52 41 20 30 37 2E 30 35 2E 30 33 20 30 39 2F 30 34 2F 32 "
                                   "34 0D 0A \"DATORA 07.05.03 09/04/24\\r\\n\"\n")),
        qPrintable(log));
    QVERIFY(log.contains(QLatin1String("rx 52 45 41 44 53 54 41 54 55 53 0D 0A \"READSTATUS\\r\\n\"\n")));
    QVERIFY(log.contains(QLatin1String("rx 47 4F 5F 54 4F 5F 42 4F 4F 54 0D \"GO_TO_BOOT\\r\"\n")));
    QVERIFY(log.contains(QLatin1String("tx 49 4D 50 4F")));
}

void TestDevSim::linkPathLeadsToTheDeviceAndGoesAtExit()
{
    QTemporaryDir dir;
    const QString linkPath = dir.filePath(QStringLiteral("ttyMODEM"));
    {
        DevSim sim({QStringLiteral("--link"), linkPath});
        QVERIFY(sim.isRunning());
        QCOMPARE(QFileInfo(linkPath).symLinkTarget(), sim.path());
        DeviceLink link;
        QVERIFY(link.readStatus(linkPath).succeeded);
        link.closeLink();
        sim.sendSignal(SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo(linkPath).isSymLink(), 3000);
    }
}

void TestDevSim::portOpensAgainAfterEveryClose()
{
    DevSim sim;
    DeviceLink link;
    for (int round = 0; round < 5; ++round) {
        QVERIFY2(link.readStatus(sim.path()).succeeded, qPrintable(QString::number(round)));
        link.closeLink();
    }
}

void TestDevSim::killedMidExchangeGivesAnErrorWithinThePause()
{
    DevSim sim({QStringLiteral("--slow"), QStringLiteral("100")});
    DeviceLink link;
    QVERIFY(!link.openPort(sim.path()));
    link.closeLink();

    const pid_t pid = pid_t(sim.pid());
    std::thread killer([pid] {
        std::this_thread::sleep_for(std::chrono::milliseconds(40));
        ::kill(pid, SIGKILL);
    });
    QElapsedTimer timer;
    timer.start();
    const LinkOutcome outcome = link.readStatus(sim.path());
    const qint64 elapsed = timer.elapsed();
    killer.join();

    QVERIFY(!outcome.succeeded);
    QVERIFY(!outcome.messages.isEmpty());
    QCOMPARE(outcome.messages.first().kind, MessageKind::Error);
    QVERIFY(!link.linkOpen());
    QVERIFY2(elapsed < 250, qPrintable(QString::number(elapsed)));

    // The device end went with the modem: the port no longer opens.
    QCOMPARE(keys(link.readStatus(sim.path())), QStringList{QStringLiteral("Error_Open_Com")});
}

void TestDevSim::helpDescribesTheOptions()
{
    QProcess process;
    process.start(DevSim::program(), {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 0);
    const QString help = QString::fromUtf8(process.readAllStandardOutput());
    for (const char *option : {"--link", "--log", "--silent", "--garbage", "--slow", "--split",
                               "--wrong-clock-reply", "--boot-after", "SIGUSR1"})
        QVERIFY2(help.contains(QLatin1String(option)), option);

    process.start(DevSim::program(), {QStringLiteral("--slow"), QStringLiteral("soon")});
    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitCode(), 2);
}

// Not a pass/fail limit beyond the pause: prints the time of one status
// exchange, next to the 150 ms the device is given at most.
void TestDevSim::statusExchangeTime()
{
    DevSim sim;
    DeviceLink link;
    QVERIFY(link.readStatus(sim.path()).succeeded);
    QList<qint64> times;
    for (int i = 0; i < 20; ++i) {
        QElapsedTimer timer;
        timer.nsecsElapsed();
        timer.start();
        const LinkOutcome outcome = link.readStatus(sim.path());
        times << timer.nsecsElapsed() / 1000;
        QVERIFY(outcome.succeeded);
    }
    std::sort(times.begin(), times.end());
    qInfo("status exchange against the simulator: median %lld us, max %lld us (pause bound 150000 us)",
          times.at(times.size() / 2), times.last());
    QVERIFY(times.at(times.size() / 2) < 150000);
}

QTEST_GUILESS_MAIN(TestDevSim)
#include "tst_devsim.moc"
