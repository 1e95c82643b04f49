// The update service against the simulated modem on a pseudo-terminal and a
// fake update program that records its arguments: what reaches the device,
// the updater's arguments, how the updater is treated, and every way the
// update can end.
#include "app/UpdateHistory.h"
#include "app/UpdateService.h"
#include "common/cli_run.h"
#include "config/ConfigurationFile.h"
#include "helper_devsim.h"
#include "image/DeviceImageBuild.h"
#include "lang/KeyTable.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <unistd.h>

namespace {

const app::UpdateTimings kFast{10, 10, 3, 10, 5000, 10, 10};

// Records its arguments and the image it was given (got-bank.bin); "block"
// holds it until "release" appears, a port gone by then fails it, and unless
// told "norestart" it restarts the simulated device at its end, as a real
// update does.
const char kUpdaterScript[] = R"(#!/bin/sh
here=$(dirname "$0")
printf '%s\n' "$@" > "$here/args.txt"
cp "$7/bank.bin" "$here/got-bank.bin" 2>/dev/null
echo "updater: port $1"
echo "updater: done with $2 $3 $4 $5"
if [ -f "$here/hang" ]; then echo $$ > "$here/pid"; sleep 30; fi
if [ -f "$here/block" ]; then
  touch "$here/running"
  while [ ! -f "$here/release" ]; do sleep 0.02; done
fi
if [ ! -e "$1" ]; then echo "updater: the port is gone"; exit 4; fi
if [ ! -f "$here/norestart" ] && [ -n "$TRENOV5X_TEST_DEVICE_PID" ]; then kill -USR2 "$TRENOV5X_TEST_DEVICE_PID"; fi
exit $(cat "$here/exit_code" 2>/dev/null || echo 0)
)";

// Restarts the simulated device first, for updaters a test writes itself.
const char kRestartDevice[] =
    "[ -n \"$TRENOV5X_TEST_DEVICE_PID\" ] && kill -USR2 \"$TRENOV5X_TEST_DEVICE_PID\"\n";

// A program folder with a blank in its path, the fake updater, the firmware
// file and one saved configuration.
struct Kit
{
    explicit Kit(const QString &programName = QStringLiteral("Program Folder"),
                 const QString &configurationName = QStringLiteral("Plant A"))
    {
        program = dir.filePath(programName) + QLatin1Char('/');
        configuration = program + QStringLiteral("Projects/") + configurationName + QLatin1Char('/');
        QDir().mkpath(configuration);
        QDir().mkpath(program + QStringLiteral("Master"));
        write(program + QStringLiteral("Master/Sim58193.sim"), "firmware");
        write(program + QLatin1String(app::kUpdaterFileName), kUpdaterScript);
        QFile::setPermissions(program + QLatin1String(app::kUpdaterFileName),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        config::writeConfigurationFile(config::Configuration(),
                                       configuration + QStringLiteral("Configuration.xml"));
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }
    app::UpdateRequest request(const QString &port, bool firmware, bool configurationToo) const
    {
        return {port, firmware, configurationToo, program, configuration, {}};
    }
    QStringList updaterArguments() const
    {
        QFile f(program + QStringLiteral("args.txt"));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    void setUpdater(const QByteArray &script) const
    {
        write(program + QLatin1String(app::kUpdaterFileName), script);
    }
    bool imageBuilt() const { return QFileInfo(configuration + QStringLiteral("bin/bank.bin")).isFile(); }

    QTemporaryDir dir;
    QString program;
    QString configuration;
};

int count(const QString &log, const QString &frame)
{
    int n = 0;
    for (const QString &line : log.split(u'\n')) {
        if (line.startsWith(QLatin1String("rx")) && line.contains(frame))
            ++n;
    }
    return n;
}

// Runs one update to its end, recording the stages and attempts it reported.
struct Run
{
    Run(devlink::DeviceLink &link, const app::UpdateTimings &timings) : service(link)
    {
        service.setTimings(timings);
        QObject::connect(&service, &app::UpdateService::stageStarted,
                         [this](app::UpdateStage stage) { stages.append(stage); });
        QObject::connect(&service, &app::UpdateService::attemptStarted, [this](int attempt, int of) {
            attempts.append(attempt);
            QCOMPARE(of, app::kBootAttempts);
        });
    }
    app::UpdateOutcome operator()(const app::UpdateRequest &request) { return service.runBlocking(request); }

    app::UpdateService service;
    QList<app::UpdateStage> stages;
    QList<int> attempts;
};

app::UpdateOutcome runUpdate(devlink::DeviceLink &link, const app::UpdateRequest &request,
                             const app::UpdateTimings &timings = kFast)
{
    return Run(link, timings)(request);
}

// The peak resident memory of this process, in kB.
qint64 peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

int bootRequests(const DevSim &sim)
{
    return count(sim.log(), QStringLiteral("GO_TO_BOOT"));
}

int bootProbes(const DevSim &sim)
{
    return count(sim.log(), QStringLiteral("00000000500000"));
}

} // namespace

class TestUpdateService : public QObject
{
    Q_OBJECT

private slots:
    void noOptionTouchesNothing()
    {
        Kit kit;
        DevSim sim;
        devlink::DeviceLink link;
        const app::UpdateOutcome o = runUpdate(link, kit.request(sim.path(), false, false));
        QCOMPARE(o.status, app::UpdateOutcome::Status::NoOption);
        QCOMPARE(o.key, QStringLiteral("Error_Firm_Conf"));
        QVERIFY(!kit.imageBuilt());
        QCOMPARE(link.lastPortName(), QString());
        QCOMPARE(bootProbes(sim), 0);
    }

    void commandLinePieces_data()
    {
        QTest::addColumn<bool>("firmware");
        QTest::addColumn<bool>("configuration");
        QTest::addColumn<QString>("pieces");
        QTest::newRow("firmware only") << true << false << "FW FR NO NO ";
        QTest::newRow("configuration only") << false << true << "NO NO PW PR ";
        QTest::newRow("both") << true << true << "FW FR PW PR ";
    }

    void commandLinePieces()
    {
        QFETCH(bool, firmware);
        QFETCH(bool, configuration);
        QFETCH(QString, pieces);
        Kit kit;
        DevSim sim({"--boot-after", "0"}); // already in its boot loader
        devlink::DeviceLink link;
        Run run(link, kFast);
        const app::UpdateOutcome o = run(kit.request(sim.path(), firmware, configuration));
        QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
        QCOMPARE(o.key, QStringLiteral("Mes_Update_Done"));
        const QString firmwarePath = kit.program + QStringLiteral("Master/Sim58193.sim");
        const QString imageFolder = kit.configuration + QStringLiteral("bin/");
        QCOMPARE(o.commandLine, sim.path() + QLatin1Char(' ') + pieces + QLatin1Char('"') + firmwarePath +
                                    QStringLiteral("\" \"") + imageFolder + QLatin1Char('"'));
        QStringList expected{sim.path()};
        expected << pieces.split(u' ', Qt::SkipEmptyParts) << firmwarePath << imageFolder;
        QCOMPARE(kit.updaterArguments(), expected); // paths with blanks stay one argument
        QVERIFY(kit.imageBuilt());
        QCOMPARE(bootProbes(sim), 1);
        QCOMPARE(bootRequests(sim), 0);
        QCOMPARE(run.stages,
                 (QList<app::UpdateStage>{app::UpdateStage::Checking, app::UpdateStage::Building,
                                          app::UpdateStage::History, app::UpdateStage::OpeningPort,
                                          app::UpdateStage::WaitingForBootLoader,
                                          app::UpdateStage::ReleasingPort, app::UpdateStage::StartingUpdater,
                                          app::UpdateStage::UpdaterRunning, app::UpdateStage::ReadingBack}));
        // What the device runs now, read back after the updater.
        QCOMPARE(o.firmwareVersion, QStringLiteral("1.0.4"));
        QVERIFY2(QDateTime::fromString(o.deviceClock, QStringLiteral("HH.mm.ss dd/MM/yy")).isValid(),
                 qPrintable(o.deviceClock));
        QCOMPARE(count(sim.log(), QStringLiteral("READSTATUS")), 1);
    }

    // Whatever the folders and the port are called, the updater gets exactly
    // its seven arguments: nothing is joined into one text and split again.
    void argumentsArriveWhole_data()
    {
        QTest::addColumn<QString>("programName");
        QTest::addColumn<QString>("configurationName");
        QTest::addColumn<QString>("portLink"); // a name for the port, in the temporary folder
        QTest::newRow("quote in the program folder") << "Program \"Q\" Folder"
                                                     << "Plant A"
                                                     << "";
        QTest::newRow("quote in the configuration folder") << "Program"
                                                           << "Plant \"B\" 2"
                                                           << "";
        QTest::newRow("blank in the port path") << "Program"
                                                << "Plant"
                                                << "serial port/ttyX 1";
    }

    void argumentsArriveWhole()
    {
        QFETCH(QString, programName);
        QFETCH(QString, configurationName);
        QFETCH(QString, portLink);
        Kit kit(programName, configurationName);
        QStringList simOptions{"--boot-after", "0"};
        QString port;
        if (!portLink.isEmpty()) {
            port = kit.dir.filePath(portLink);
            QDir().mkpath(QFileInfo(port).absolutePath());
            simOptions << "--link" << port;
        }
        DevSim sim(simOptions);
        if (port.isEmpty())
            port = sim.path();
        devlink::DeviceLink link;
        const app::UpdateOutcome o = runUpdate(link, kit.request(port, true, true));
        QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
        QCOMPARE(kit.updaterArguments(), (QStringList{port, "FW", "FR", "PW", "PR",
                                                      kit.program + QStringLiteral("Master/Sim58193.sim"),
                                                      kit.configuration + QStringLiteral("bin/")}));
        QCOMPARE(bootProbes(sim), 1);
    }

    void silentDeviceGetsSevenProbesAndSevenRequests()
    {
        Kit kit;
        DevSim sim({"--silent"});
        devlink::DeviceLink link;
        Run run(link, kFast);
        const app::UpdateOutcome o = run(kit.request(sim.path(), true, false));
        QCOMPARE(o.status, app::UpdateOutcome::Status::NotInBootLoader);
        QCOMPARE(o.key, QStringLiteral("Error_Dev_Boot"));
        QTRY_COMPARE(bootRequests(sim), 7);
        QCOMPARE(bootProbes(sim), 7);
        QCOMPARE(run.attempts, (QList<int>{1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(link.lastPortName(), sim.path()); // stored on the open, though the loop failed
        QVERIFY(!link.port().isOpen());
        QVERIFY(kit.updaterArguments().isEmpty());
    }

    void deviceEntersItsBootLoaderOnTheThirdRequest()
    {
        Kit kit;
        DevSim sim({"--boot-after", "3"});
        devlink::DeviceLink link;
        // The device gets the pause after each request, however short the wait after it.
        const app::UpdateTimings timings{200, 10, 3, 10, 5000, 10, 10};
        QElapsedTimer clock;
        clock.start();
        const app::UpdateOutcome o = runUpdate(link, kit.request(sim.path(), false, true), timings);
        QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
        QCOMPARE(bootRequests(sim), 3);
        QCOMPARE(bootProbes(sim), 4);
        QVERIFY2(clock.elapsed() >= 3 * 230, qPrintable(QString::number(clock.elapsed())));
    }

    void stopsBeforeTheDevice_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("imageBuilt");
        using Status = app::UpdateOutcome::Status;
        QTest::newRow("no updater") << "updater" << int(Status::UpdaterMissing) << "Error_Updater_Missing"
                                    << false;
        QTest::newRow("updater not executable") << "not executable" << int(Status::UpdaterNotExecutable)
                                                << "Error_Updater_Not_Executable" << false;
        QTest::newRow("updater is a folder")
            << "folder" << int(Status::UpdaterNotAFile) << "Error_Updater_Not_File" << false;
        QTest::newRow("no firmware") << "firmware" << int(Status::FirmwareMissing) << "Error_Firmware_Missing"
                                     << false;
        QTest::newRow("checks refuse the saved configuration")
            << "pin" << int(Status::ConfigurationRefused) << "Error_in_Pin" << false;
        QTest::newRow("port name taken for an option")
            << "dash" << int(Status::PortNameRefused) << "Error_Port_Name" << false;
        QTest::newRow("image cannot be written") << "image" << int(Status::BuildFailed) << "" << false;
        QTest::newRow("port absent") << "port" << int(Status::PortNotOpened) << "Error_Open_Com" << true;
    }

    void stopsBeforeTheDevice()
    {
        QFETCH(QString, fault);
        QFETCH(int, status);
        QFETCH(QString, key);
        QFETCH(bool, imageBuilt);
        Kit kit;
        DevSim sim({"--boot-after", "0"});
        QString port = sim.path();
        const QString updater = kit.program + QLatin1String(app::kUpdaterFileName);
        if (fault == u"updater") {
            QFile::remove(updater);
        } else if (fault == u"not executable") {
            QFile::setPermissions(updater, QFileDevice::ReadOwner);
        } else if (fault == u"folder") {
            QFile::remove(updater);
            QDir().mkpath(updater);
        } else if (fault == u"firmware") {
            QFile::remove(kit.program + QStringLiteral("Master/Sim58193.sim"));
        } else if (fault == u"pin") {
            config::Configuration c;
            c.pin = QStringLiteral("12ab!");
            config::writeConfigurationFile(c, kit.configuration + QStringLiteral("Configuration.xml"));
        } else if (fault == u"dash") {
            port = QStringLiteral("-oProxyCommand=x");
        } else if (fault == u"image") {
            QDir().mkpath(kit.configuration + QStringLiteral("bin/bank.bin/held")); // a folder in its place
        } else if (fault == u"port") {
            port = QStringLiteral("/dev/ttyTRENOV5X-absent");
        }
        devlink::DeviceLink link;
        const app::UpdateOutcome o = runUpdate(link, kit.request(port, true, true));
        QCOMPARE(int(o.status), status);
        QCOMPARE(o.key, key);
        QCOMPARE(kit.imageBuilt(), imageBuilt);
        QCOMPARE(bootProbes(sim), 0);
        QVERIFY(kit.updaterArguments().isEmpty());
        QCOMPARE(o.deviceUntouched(), fault != u"port");
        if (fault == u"image")
            QVERIFY(!o.detail.isEmpty());
    }

    void updaterOutcomes_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("detail");
        QTest::newRow("exit 0") << "" << int(app::UpdateOutcome::Status::Updated) << 0 << "";
        QTest::newRow("exit 3") << "3" << int(app::UpdateOutcome::Status::UpdaterFailed) << 3
                                << "Exit code 3\nupdater: port ";
        QTest::newRow("still running")
            << "hang" << int(app::UpdateOutcome::Status::UpdaterStillRunning) << -1 << "";
    }

    void updaterOutcomes()
    {
        QFETCH(QString, setup);
        QFETCH(int, status);
        QFETCH(int, exitCode);
        QFETCH(QString, detail);
        Kit kit;
        if (setup == u"hang")
            Kit::write(kit.program + QStringLiteral("hang"), "");
        else if (!setup.isEmpty())
            Kit::write(kit.program + QStringLiteral("exit_code"), setup.toLatin1());
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        app::UpdateTimings timings = kFast;
        timings.updaterTimeoutMs = 700;
        Run run(link, timings);
        const app::UpdateOutcome o = run(kit.request(sim.path(), true, true));
        QCOMPARE(int(o.status), status);
        QCOMPARE(o.exitCode, exitCode);
        QVERIFY2(detail.isEmpty() ? o.detail.isEmpty() : o.detail.startsWith(detail), qPrintable(o.detail));
        QCOMPARE(run.service.updaterRunning(), setup == u"hang");
        if (setup == u"hang") {
            QCOMPARE(o.key, QStringLiteral("Mes_Updater_Still_Running"));
            // Still owned: not killed, and its end is reported.
            QTRY_VERIFY(QFileInfo::exists(kit.program + QStringLiteral("pid")));
            QFile pidFile(kit.program + QStringLiteral("pid"));
            QVERIFY(pidFile.open(QIODevice::ReadOnly));
            const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
            QCOMPARE(::kill(pid, 0), 0);
            // Another update waits for it: the device is still its.
            QCOMPARE(run(kit.request(sim.path(), true, true)).status,
                     app::UpdateOutcome::Status::UpdaterStillRunning);
            QSignalSpy ended(&run.service, &app::UpdateService::updaterEnded);
            ::kill(pid, SIGKILL); // the script's sleep; the script itself then ends
            QVERIFY(ended.wait(5000));
            const auto end = ended.first().first().value<app::UpdateOutcome>();
            QCOMPARE(end.status, app::UpdateOutcome::Status::UpdaterFailed);
            QVERIFY2(end.detail.contains(QLatin1String("updater: done with")), qPrintable(end.detail));
            QVERIFY(!run.service.updaterRunning());
        }
    }

    // The update program is a guest: whatever it prints, reads or takes, the
    // outcome is right and what is kept of its output stays small.
    void updaterIsAGuest_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("lastLine");
        QTest::addColumn<int>("linesSeen"); // updaterOutput signals; -1: not followed
        QTest::newRow("720 KB of carriage-return progress, then exit 1")
            << QByteArray("awk 'BEGIN { for (i = 0; i < 60000; i++) printf \"block %05d\\r\", i }'\n"
                          "echo 'write failed'\nexit 1\n")
            << int(app::UpdateOutcome::Status::UpdaterFailed) << "write failed" << 60001;
        QTest::newRow("one 20 MB line, then exit 1")
            << QByteArray("head -c 20000000 /dev/zero | tr '\\0' x\necho\necho 'bad block'\nexit 1\n")
            << int(app::UpdateOutcome::Status::UpdaterFailed) << "bad block" << 2;
        QTest::newRow("300 MB of output, then exit 0")
            << QByteArray("yes | head -c 300000000\nexit 0\n") << int(app::UpdateOutcome::Status::Updated)
            << "y" << -1;
        QTest::newRow("reads its standard input")
            << QByteArray("read answer\necho \"got [$answer]\"\nexit 0\n")
            << int(app::UpdateOutcome::Status::Updated) << "got []" << 1;
    }

    void updaterIsAGuest()
    {
        QFETCH(QByteArray, script);
        QFETCH(int, status);
        QFETCH(QString, lastLine);
        QFETCH(int, linesSeen);
        Kit kit;
        kit.setUpdater("#!/bin/sh\n" + QByteArray(kRestartDevice) + script);
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        app::UpdateTimings timings = kFast;
        timings.updaterTimeoutMs = 60000;
        Run run(link, timings);
        int seen = 0;
        qsizetype longest = 0;
        if (linesSeen >= 0) {
            QObject::connect(&run.service, &app::UpdateService::updaterOutput, [&](const QString &line) {
                ++seen;
                longest = std::max(longest, line.size());
            });
        }
        const qint64 peakBefore = peakResidentKb();
        const app::UpdateOutcome o = run(kit.request(sim.path(), true, true));
        QCOMPARE(int(o.status), status);
        // An updater that reads its input gets none at once instead of waiting for the timeout.
        QVERIFY2(run.service.updaterElapsedMs() < 30000,
                 qPrintable(QString::number(run.service.updaterElapsedMs())));
        const app::OutputTail &tail = run.service.updaterOutputTail();
        QCOMPARE(tail.lastLine(), lastLine);
        QVERIFY(tail.lines().size() <= app::OutputTail::kMaxLines);
        for (const QString &line : tail.lines())
            QVERIFY(line.size() <= app::OutputTail::kMaxLineLength);
        if (linesSeen >= 0) {
            QCOMPARE(seen, linesSeen);
            QVERIFY(longest <= app::OutputTail::kMaxLineLength);
        }
        if (o.status == app::UpdateOutcome::Status::UpdaterFailed) {
            QVERIFY(o.detail.startsWith(QLatin1String("Exit code 1\n")));
            QVERIFY(o.detail.endsWith(lastLine));
            QVERIFY(o.detail.size() < 20 * 202 + 20);
        }
        // Nothing of the output is held beyond the tail. (AddressSanitizer
        // holds freed memory back in its quarantine: the peak says nothing there.)
#if !defined(__SANITIZE_ADDRESS__)
        QVERIFY2(peakResidentKb() - peakBefore < 64 * 1024,
                 qPrintable(QStringLiteral("%1 kB more").arg(peakResidentKb() - peakBefore)));
#endif
    }

    void longLineIsCutWithAnEllipsis()
    {
        app::OutputTail tail;
        tail.append(QByteArray(5000, 'x') + "\r\n\r\nshort\n");
        for (int i = 0; i < 30; ++i)
            tail.append("line " + QByteArray::number(i) + '\r');
        tail.append("unfinished");
        tail.finish();
        QCOMPARE(tail.lines().size(), app::OutputTail::kMaxLines);
        QCOMPARE(tail.lines().first(), QStringLiteral("line 11"));
        QCOMPARE(tail.lastLine(), QStringLiteral("unfinished"));

        app::OutputTail one;
        one.append(QByteArray(5000, 'x') + '\n');
        QCOMPARE(one.lastLine(), QString(app::OutputTail::kMaxLineLength - 1, u'x') + QChar(0x2026));
    }

    void cancelDuringTheBootLoopSendsNothingMoreAndClosesThePort()
    {
        Kit kit;
        DevSim sim({"--silent"});
        devlink::DeviceLink link;
        app::UpdateService update(link);
        update.setTimings({10, 50, 30, 10, 5000});
        bool couldCancel = false;
        QObject::connect(&update, &app::UpdateService::attemptStarted, [&](int attempt) {
            if (attempt == 2) {
                couldCancel = update.canCancel();
                update.cancel();
            }
        });
        const app::UpdateOutcome o = update.runBlocking(kit.request(sim.path(), true, false));
        QVERIFY(couldCancel);
        QCOMPARE(o.status, app::UpdateOutcome::Status::Cancelled);
        QVERIFY(!link.port().isOpen());
        QVERIFY(!update.isRunning());
        // The first attempt's probe and request went out; the second's probe never did.
        QTest::qWait(300);
        QCOMPARE(bootProbes(sim), 1);
        QCOMPARE(bootRequests(sim), 1);
        QVERIFY(kit.updaterArguments().isEmpty());
        // The port is free again.
        QVERIFY(!link.openPort(sim.path()));
        link.closeLink();
    }

    void cancelIsRefusedWhileTheUpdaterWrites()
    {
        Kit kit;
        Kit::write(kit.program + QStringLiteral("hang"), "");
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        app::UpdateService update(link);
        update.setTimings({10, 10, 3, 10, 800});
        QObject::connect(&update, &app::UpdateService::stageStarted, [&](app::UpdateStage stage) {
            if (stage == app::UpdateStage::UpdaterRunning) {
                QVERIFY(!update.canCancel());
                update.cancel();
            }
        });
        const app::UpdateOutcome o = update.runBlocking(kit.request(sim.path(), true, false));
        QCOMPARE(o.status, app::UpdateOutcome::Status::UpdaterStillRunning);
        QTRY_VERIFY(QFileInfo::exists(kit.program + QStringLiteral("pid")));
        QFile pidFile(kit.program + QStringLiteral("pid"));
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        ::kill(pid_t(pidFile.readAll().trimmed().toInt()), SIGKILL);
        QTRY_VERIFY(!update.updaterRunning());
    }

    void commandLineUpdateEndToEnd()
    {
        Kit kit;
        DevSim sim({"--boot-after", "1"}); // enters its boot loader on the first request
        const QString updater = kit.program + QLatin1String(app::kUpdaterFileName);
        const CliRun run = runCli({"update", "--port", sim.path(), "--firmware", "--configuration",
                                   kit.configuration, "--updater", updater},
                                  60000);
        QCOMPARE(run.exitCode, 0);
        // What the device runs now follows on its own line.
        QVERIFY2(run.out.startsWith(
                     QStringLiteral("The device has been updated.\nFirmware version 1.0.4, device clock ")),
                 qPrintable(run.out));
        for (const char *line : {"building the image", "opening the port", "attempt 1 of 7", "attempt 2 of 7",
                                 "releasing the port", "starting the update program: "})
            QVERIFY2(run.err.contains(QLatin1String(line)), qPrintable(run.err));
        QCOMPARE(bootRequests(sim), 1);
        QCOMPARE(kit.updaterArguments().mid(1, 4), (QStringList{"FW", "FR", "PW", "PR"}));
        QVERIFY(kit.imageBuilt());
    }

    // An older file lacks elements that loading fills in: the update builds
    // what the window would after its next save, and leaves the file as it is.
    void olderFileUpdatesAsTheWindowWouldBuildIt()
    {
        Kit kit;
        const QString file = kit.configuration + QStringLiteral("Configuration.xml");
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QString text = QString::fromUtf8(in.readAll());
        in.close();
        for (const char *element : {"Set_from_SMS_Text", "Reset_from_SMS_Text", "Hang_Up_Ring_from_CALL"})
            text.remove(QRegularExpression(QStringLiteral("<%1>[^<]*</%1>").arg(QLatin1String(element))));
        const QByteArray older = text.toUtf8();
        Kit::write(file, older);

        const CliRun checked = runCli({"check", kit.configuration});
        QCOMPARE(checked.exitCode, 0);
        QCOMPARE(checked.out, QStringLiteral("OK\n"));
        QCOMPARE(checked.err.count(QStringLiteral("warning: the element")), 6); // three per output
        QVERIFY2(checked.err.contains(QStringLiteral("Set_from_SMS_Text is missing")),
                 qPrintable(checked.err));

        DevSim sim({"--boot-after", "1"});
        const CliRun run = runCli({"update", "--port", sim.path(), "--configuration", kit.configuration,
                                   "--updater", kit.program + QLatin1String(app::kUpdaterFileName)},
                                  60000);
        QCOMPARE(run.exitCode, 0);
        QFile after(file);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), older);

        config::Configuration loaded;
        loaded.setNewDefaults();
        QCOMPARE(config::loadConfigurationBytes(older, file, loaded).status, config::LoadStatus::Loaded);
        QTemporaryDir saved;
        const QString expected = saved.filePath(QStringLiteral("bank.bin"));
        QVERIFY(image::buildImageFromXml(config::serializeConfiguration(loaded), file, expected).built());
        QFile built(kit.configuration + QStringLiteral("bin/bank.bin")), wanted(expected);
        QVERIFY(built.open(QIODevice::ReadOnly) && wanted.open(QIODevice::ReadOnly));
        QCOMPARE(built.readAll(), wanted.readAll());
    }

    void commandLineUpdateFailures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("errContains");
        QTest::newRow("updater exits 3") << "exit"
                                         << "Exit code 3\nupdater: port ";
        QTest::newRow("checks refuse the PIN") << "pin"
                                               << "Error! PIN is not correct.\nThe device was not touched.";
        QTest::newRow("no option") << "option"
                                   << "Error! At least one option must be selected";
    }

    void commandLineUpdateFailures()
    {
        QFETCH(QString, fault);
        QFETCH(QString, errContains);
        Kit kit;
        DevSim sim({"--boot-after", "0"});
        if (fault == u"exit")
            Kit::write(kit.program + QStringLiteral("exit_code"), "3");
        if (fault == u"pin") {
            config::Configuration c;
            c.pin = QStringLiteral("12ab!");
            config::writeConfigurationFile(c, kit.configuration + QStringLiteral("Configuration.xml"));
        }
        QStringList args{"update",          "--port",    sim.path(),
                         kit.configuration, "--updater", kit.program + QLatin1String(app::kUpdaterFileName)};
        if (fault != u"option")
            args << "--configuration";
        const CliRun run = runCli(args, 60000);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains(errContains), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        if (fault != u"exit")
            QCOMPARE(bootProbes(sim), 0);
    }

    // The updater's lines reach the listener while it still runs.
    void updaterOutputArrivesWhileItRuns()
    {
        Kit kit;
        Kit::write(kit.program + QStringLiteral("block"), "");
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        Run run(link, kFast);
        QStringList whileRunning;
        QObject::connect(&run.service, &app::UpdateService::updaterOutput, [&](const QString &line) {
            if (run.service.updaterRunning() && !QFileInfo::exists(kit.program + QStringLiteral("release")))
                whileRunning << line;
            if (line.startsWith(QLatin1String("updater: done")))
                Kit::write(kit.program + QStringLiteral("release"), "");
        });
        const app::UpdateOutcome o = run(kit.request(sim.path(), true, true));
        QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
        QCOMPARE(whileRunning.size(), 2);
        QVERIFY(whileRunning.first().startsWith(QLatin1String("updater: port ")));
    }

    // A link pulled in any stage gives the lost-connection text and the stage.
    void pulledLinkNamesItsStage_data()
    {
        QTest::addColumn<QString>("when");
        QTest::addColumn<int>("stage");
        QTest::newRow("in the boot loop") << "boot" << int(app::UpdateStage::WaitingForBootLoader);
        QTest::newRow("while the updater runs") << "updater" << int(app::UpdateStage::UpdaterRunning);
    }

    void pulledLinkNamesItsStage()
    {
        QFETCH(QString, when);
        QFETCH(int, stage);
        Kit kit;
        Kit::write(kit.program + QStringLiteral("block"), "");
        DevSim sim(when == u"boot" ? QStringList{"--silent"} : QStringList{"--boot-after", "0"},
                   DevSim::Plug::Pullable);
        devlink::DeviceLink link;
        Run run(link, {10, 50, 10, 10, 5000, 10, 10});
        QObject::connect(&run.service, &app::UpdateService::attemptStarted, [&](int attempt) {
            if (when == u"boot" && attempt == 2)
                sim.kill();
        });
        QObject::connect(&run.service, &app::UpdateService::stageStarted, [&](app::UpdateStage s) {
            if (when == u"updater" && s == app::UpdateStage::UpdaterRunning) {
                QVERIFY(QTest::qWaitFor(
                    [&] { return QFileInfo::exists(kit.program + QStringLiteral("running")); }, 5000));
                sim.kill();
                QTRY_VERIFY(!QFileInfo::exists(sim.path()));
                Kit::write(kit.program + QStringLiteral("release"), "");
            }
        });
        const app::UpdateOutcome o = run(kit.request(sim.path(), true, true));
        QCOMPARE(o.status, app::UpdateOutcome::Status::PortFailed);
        QCOMPARE(o.key, QStringLiteral("Error_Port_Lost"));
        QCOMPARE(int(o.stage), stage);
        QVERIFY(!link.port().isOpen());
    }

    // A device that stays silent after the updater is not reported as updated.
    void silentAfterTheUpdaterIsNotSuccess()
    {
        Kit kit;
        Kit::write(kit.program + QStringLiteral("norestart"), ""); // stays in its boot loader
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        Run run(link, kFast);
        int readBacks = 0;
        QObject::connect(&run.service, &app::UpdateService::readBackAttemptStarted, [&](int, int of) {
            ++readBacks;
            QCOMPARE(of, app::kReadBackAttempts);
        });
        const app::UpdateOutcome o = run(kit.request(sim.path(), true, true));
        QCOMPARE(o.status, app::UpdateOutcome::Status::UpdatedNoReadBack);
        QCOMPARE(o.key, QStringLiteral("Mes_Update_No_Read_Back"));
        QCOMPARE(o.reasonKey, QStringLiteral("Error_No_Answer"));
        QCOMPARE(o.stage, app::UpdateStage::ReadingBack);
        QVERIFY(!o.updated());
        QCOMPARE(readBacks, app::kReadBackAttempts);
        QCOMPARE(count(sim.log(), QStringLiteral("READSTATUS")), app::kReadBackAttempts);
        const QList<app::HistoryEntry> entries = app::UpdateHistory(kit.configuration).entries();
        QCOMPARE(entries.size(), 1);
        QCOMPARE(entries.first().outcome, QStringLiteral("updated-no-answer"));
    }

    // Each update keeps the configuration and exactly the image the updater got.
    void twoUpdatesKeepTwoEntries()
    {
        Kit kit;
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        QByteArrayList given;
        QStringList names;
        for (int i = 0; i < 2; ++i) {
            if (i == 1) { // a changed configuration builds another image
                config::Configuration c;
                c.pin = QStringLiteral("4321");
                config::writeConfigurationFile(c, kit.configuration + QStringLiteral("Configuration.xml"));
            }
            const app::UpdateOutcome o = runUpdate(link, kit.request(sim.path(), i == 0, true));
            QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
            QFile got(kit.program + QStringLiteral("got-bank.bin"));
            QVERIFY(got.open(QIODevice::ReadOnly));
            given << got.readAll();
            names << o.historyEntry;
        }
        QVERIFY(given.at(0) != given.at(1));
        const app::UpdateHistory history(kit.configuration);
        const QList<app::HistoryEntry> entries = history.entries();
        QCOMPARE(entries.size(), 2);
        QCOMPARE((QStringList{entries.at(0).name, entries.at(1).name}), names);
        QVERIFY(names.at(0) != names.at(1));
        for (int i = 0; i < 2; ++i) {
            const app::HistoryEntry &e = entries.at(i);
            QFile bank(history.entryFolder(e.name) + QStringLiteral("bank.bin"));
            QVERIFY(bank.open(QIODevice::ReadOnly));
            const QByteArray bytes = bank.readAll();
            QCOMPARE(bytes, given.at(i));
            QCOMPARE(e.sha256, QString::fromLatin1(
                                   QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()));
            QCOMPARE(e.outcome, QStringLiteral("updated"));
            QCOMPARE(e.firmwareVersion, QStringLiteral("1.0.4"));
            QCOMPARE(e.port, sim.path());
            QCOMPARE(e.firmware, i == 0);
            QVERIFY(e.configuration);
            QVERIFY(QFileInfo(history.entryFolder(e.name) + QStringLiteral("Configuration.xml")).size() > 0);
        }
        // The log names the same values, line by line.
        QFile log(history.logPath());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(1).contains(entries.at(0).sha256.toLatin1()));
        QVERIFY(lines.at(2).contains(entries.at(1).sha256.toLatin1()));
    }

    void historyKeepsTheLastFifty()
    {
        Kit kit;
        app::UpdateHistory history(kit.configuration);
        const QDateTime first(QDate(2025, 1, 1), QTime(8, 0));
        for (int i = 0; i < app::UpdateHistory::kKeep; ++i) {
            QString error;
            const auto name = history.begin(first.addSecs(i * 60), "<x/>", "image", &error);
            QVERIFY2(name, qPrintable(error));
            app::HistoryEntry e;
            e.name = *name;
            e.outcome = QStringLiteral("updated");
            QVERIFY(history.complete(e, &error));
        }
        QCOMPARE(history.entries().size(), app::UpdateHistory::kKeep);
        const QString oldest = history.entries().first().name;
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        const app::UpdateOutcome o = runUpdate(link, kit.request(sim.path(), false, true));
        QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
        const QList<app::HistoryEntry> entries = history.entries();
        QCOMPARE(entries.size(), app::UpdateHistory::kKeep);
        QCOMPARE(entries.last().name, o.historyEntry);
        QVERIFY(entries.first().name != oldest);
        QVERIFY(!QFileInfo::exists(history.entryFolder(oldest)));
        for (const app::HistoryEntry &e : entries)
            QVERIFY2(e.logged, qPrintable(e.name));
    }

    // Nothing is sent that the history cannot show afterwards.
    void unwritableHistoryTouchesNothing_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("a file named history") << "file";
        QTest::newRow("history read-only") << "read-only";
    }

    void unwritableHistoryTouchesNothing()
    {
        QFETCH(QString, fault);
        Kit kit;
        const QString folder = kit.configuration + QStringLiteral("history");
        if (fault == u"file") {
            Kit::write(folder, "not a folder");
        } else {
            if (::geteuid() == 0)
                QSKIP("the superuser writes into a read-only folder");
            QDir().mkpath(folder);
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        const app::UpdateOutcome o = runUpdate(link, kit.request(sim.path(), true, true));
        QFile::setPermissions(folder,
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(o.status, app::UpdateOutcome::Status::HistoryFailed);
        QCOMPARE(o.key, QStringLiteral("Error_History_Write"));
        QVERIFY(o.deviceUntouched());
        QVERIFY(!sim.log().contains(QLatin1String("rx")));
        QVERIFY(kit.updaterArguments().isEmpty());
        QCOMPARE(link.lastPortName(), QString());
    }

    // The next devices of a series: the same image, not built again, each its
    // own numbered entry.
    void nextDevicesReuseTheImage()
    {
        Kit kit;
        devlink::DeviceLink link;
        app::UpdateService service(link);
        service.setTimings(kFast);
        QList<app::UpdateStage> skipped;
        QObject::connect(&service, &app::UpdateService::stageSkipped,
                         [&](app::UpdateStage s) { skipped << s; });
        const QString image = kit.configuration + QStringLiteral("bin/bank.bin");
        QDateTime built;
        for (int device = 1; device <= 3; ++device) {
            DevSim sim({"--boot-after", "1"});
            app::UpdateRequest request = kit.request(sim.path(), true, true);
            request.reuseImage = device > 1;
            request.device = device;
            const app::UpdateOutcome o = service.runBlocking(request);
            QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
            QCOMPARE(o.device, device);
            QCOMPARE(bootRequests(sim), 1);
            if (device == 1)
                built = QFileInfo(image).lastModified();
            QCOMPARE(QFileInfo(image).lastModified(), built);
            QTest::qWait(device == 1 ? 1100 : 0); // a later second for the modification time to differ
        }
        QCOMPARE(skipped, (QList<app::UpdateStage>{app::UpdateStage::Building, app::UpdateStage::Building}));
        const QList<app::HistoryEntry> entries = app::UpdateHistory(kit.configuration).entries();
        QCOMPARE(entries.size(), 3);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(entries.at(i).device, i + 1);
            QCOMPARE(entries.at(i).sha256, entries.at(0).sha256);
        }
    }

    // update --repeat: Enter brings the next device on the same port, with
    // the image not built again; the end of the input ends the series.
    void commandLineRepeat()
    {
        Kit kit;
        DevSim sim({"--boot-after", "1"}); // back in its application after each update
        QProcess cli;
        cli.start(QStringLiteral(TRENOV5X_PROGRAM_DIR "/trenov5x-cli"),
                  {"update", "--repeat", "--port", sim.path(), "--configuration", kit.configuration,
                   "--updater", kit.program + QLatin1String(app::kUpdaterFileName)});
        QVERIFY(cli.waitForStarted());
        QString err;
        QElapsedTimer waited;
        waited.start();
        while (!err.contains(QLatin1String("press Enter")) && cli.state() == QProcess::Running &&
               waited.elapsed() < 60000) {
            QTest::qWait(50);
            err += QString::fromUtf8(cli.readAllStandardError());
        }
        QVERIFY2(err.contains(QLatin1String("Connect the next device")), qPrintable(err));
        const QString image = kit.configuration + QStringLiteral("bin/bank.bin");
        const QDateTime built = QFileInfo(image).lastModified();
        QTest::qWait(1100); // a later second for a new build to show
        cli.write("\n");
        cli.closeWriteChannel();
        QVERIFY(cli.waitForFinished(60000));
        err += QString::fromUtf8(cli.readAllStandardError());
        QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
        QVERIFY2(cli.exitCode() == 0, qPrintable(err));
        QCOMPARE(err.count(QLatin1String("press Enter")), 2); // asked again, then the input ended
        const QString out = QString::fromUtf8(cli.readAllStandardOutput());
        QCOMPARE(out.count(lang::builtinText(u"Mes_Update_Done")), 2);
        QVERIFY2(out.contains(QLatin1String("Firmware version 1.0.4")), qPrintable(out));
        QCOMPARE(QFileInfo(image).lastModified(), built);

        const QList<app::HistoryEntry> entries = app::UpdateHistory(kit.configuration).entries();
        QCOMPARE(entries.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QVERIFY(entries.at(i).logged);
            QCOMPARE(entries.at(i).outcome, QStringLiteral("updated"));
            QCOMPARE(entries.at(i).device, i + 1);
        }
        QCOMPARE(bootRequests(sim), 2);
    }

    // history lists the entries; restore puts one back and keeps the file it replaced.
    void commandLineHistoryAndRestore()
    {
        Kit kit;
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        const app::UpdateOutcome o = runUpdate(link, kit.request(sim.path(), false, true));
        QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
        const QString file = kit.configuration + QStringLiteral("Configuration.xml");
        QFile written(file);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray sent = written.readAll();
        written.close();
        config::Configuration changed;
        changed.pin = QStringLiteral("9876");
        config::writeConfigurationFile(changed, file);
        QFile edited(file);
        QVERIFY(edited.open(QIODevice::ReadOnly));
        const QByteArray replaced = edited.readAll();
        edited.close();

        const CliRun listed = runCli({"history", kit.configuration});
        QCOMPARE(listed.exitCode, 0);
        QVERIFY2(listed.out.startsWith(o.historyEntry + u'\t'), qPrintable(listed.out));
        QVERIFY2(listed.out.endsWith(QStringLiteral("\tupdated\t1.0.4\n")), qPrintable(listed.out));

        const CliRun restored = runCli({"restore", kit.configuration, o.historyEntry});
        QCOMPARE(restored.exitCode, 0);
        QVERIFY(edited.open(QIODevice::ReadOnly));
        QCOMPARE(edited.readAll(), sent);
        const app::UpdateHistory history(kit.configuration);
        const QList<app::HistoryEntry> entries = history.entries();
        QCOMPARE(entries.size(), 2);
        QCOMPARE(entries.last().outcome, QStringLiteral("replaced"));
        QFile kept(history.entryFolder(entries.last().name) + QStringLiteral("Configuration.xml"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), replaced);

        const CliRun missing = runCli({"restore", kit.configuration, QStringLiteral("1999-01-01_00-00-00")});
        QCOMPARE(missing.exitCode, 1);
    }
};

QTEST_GUILESS_MAIN(TestUpdateService)
#include "tst_device_update.moc"
