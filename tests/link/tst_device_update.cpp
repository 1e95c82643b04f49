// The device update against the simulated modem on a pseudo-terminal and a
// fake update program that records its arguments: what reaches the device,
// the updater's command line, and every way the update can end.
#include "app/DeviceUpdate.h"
#include "common/cli_run.h"
#include "config/ConfigurationFile.h"
#include "helper_devsim.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

namespace {

const app::UpdateTimings kFast{10, 10, 3, 10, 5000};

const char kUpdaterScript[] = R"(#!/bin/sh
here=$(dirname "$0")
printf '%s\n' "$@" > "$here/args.txt"
echo "updater: port $1"
echo "updater: done with $2 $3 $4 $5"
if [ -f "$here/hang" ]; then echo $$ > "$here/pid"; sleep 30; fi
exit $(cat "$here/exit_code" 2>/dev/null || echo 0)
)";

// A program folder with a blank in its path, the fake updater, the firmware
// file and one saved configuration.
struct Kit
{
    Kit()
    {
        program = dir.filePath(QStringLiteral("Program Folder")) + QLatin1Char('/');
        configuration = program + QStringLiteral("Projects/Plant A/");
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

int bootRequests(const DevSim &sim)
{
    return count(sim.log(), QStringLiteral("GO_TO_BOOT"));
}

int bootProbes(const DevSim &sim)
{
    return count(sim.log(), QStringLiteral("00000000500000"));
}

} // namespace

class TestDeviceUpdate : public QObject
{
    Q_OBJECT

private slots:
    void noOptionTouchesNothing()
    {
        Kit kit;
        DevSim sim;
        devlink::DeviceLink link;
        const app::UpdateOutcome o =
            app::DeviceUpdate(link, kFast).run(kit.request(sim.path(), false, false));
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
        QList<app::UpdateStage> stages;
        const app::UpdateOutcome o =
            app::DeviceUpdate(link, kFast)
                .run(kit.request(sim.path(), firmware, configuration), [&](const app::UpdateProgress &p) {
                    if (stages.isEmpty() || stages.last() != p.stage)
                        stages.append(p.stage);
                });
        QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
        QCOMPARE(o.key, QStringLiteral("Mes_Update_Done"));
        const QString firmwarePath = kit.program + QStringLiteral("Master/Sim58193.sim");
        const QString imageFolder = kit.configuration + QStringLiteral("bin/");
        QCOMPARE(o.commandLine, sim.path() + QLatin1Char(' ') + pieces + QLatin1Char('"') + firmwarePath +
                                    QStringLiteral("\" \"") + imageFolder + QLatin1Char('"'));
        QStringList expected{sim.path()};
        expected << pieces.split(u' ', Qt::SkipEmptyParts) << firmwarePath << imageFolder;
        QCOMPARE(kit.updaterArguments(), expected); // quoted paths with blanks stay one argument
        QVERIFY(kit.imageBuilt());
        QCOMPARE(bootProbes(sim), 1);
        QCOMPARE(bootRequests(sim), 0);
        QCOMPARE(stages.first(), app::UpdateStage::Building);
        QVERIFY(stages.contains(app::UpdateStage::ReleasingPort));
        QCOMPARE(stages.last(), app::UpdateStage::UpdaterRunning);
    }

    void silentDeviceGetsSevenProbesAndSevenRequests()
    {
        Kit kit;
        DevSim sim({"--silent"});
        devlink::DeviceLink link;
        QList<int> attempts;
        const app::UpdateOutcome o =
            app::DeviceUpdate(link, kFast)
                .run(kit.request(sim.path(), true, false), [&](const app::UpdateProgress &p) {
                    if (p.stage == app::UpdateStage::WaitingForBootLoader && !attempts.contains(p.attempt))
                        attempts.append(p.attempt);
                });
        QCOMPARE(o.status, app::UpdateOutcome::Status::NotInBootLoader);
        QCOMPARE(o.key, QStringLiteral("Error_Dev_Boot"));
        QTRY_COMPARE(bootRequests(sim), 7);
        QCOMPARE(bootProbes(sim), 7);
        QCOMPARE(attempts, (QList<int>{1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(link.lastPortName(), sim.path()); // stored on the open, though the loop failed
        QVERIFY(!link.port().isOpen());
        QVERIFY(kit.updaterArguments().isEmpty());
    }

    void deviceEntersItsBootLoaderOnTheThirdRequest()
    {
        Kit kit;
        DevSim sim({"--boot-after", "3"});
        devlink::DeviceLink link;
        const app::UpdateOutcome o = app::DeviceUpdate(link, kFast).run(kit.request(sim.path(), false, true));
        QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
        QCOMPARE(bootRequests(sim), 3);
        QCOMPARE(bootProbes(sim), 4);
    }

    void stopsBeforeTheDevice_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("imageBuilt");
        QTest::newRow("no updater") << "updater" << int(app::UpdateOutcome::Status::UpdaterMissing)
                                    << "Error_Updater_Missing" << false;
        QTest::newRow("updater not executable")
            << "not executable" << int(app::UpdateOutcome::Status::UpdaterMissing) << "Error_Updater_Missing"
            << false;
        QTest::newRow("no firmware") << "firmware" << int(app::UpdateOutcome::Status::FirmwareMissing)
                                     << "Error_Firmware_Missing" << false;
        QTest::newRow("image cannot be written")
            << "image" << int(app::UpdateOutcome::Status::BuildFailed) << "" << false;
        QTest::newRow("port absent") << "port" << int(app::UpdateOutcome::Status::PortNotOpened)
                                     << "Error_Open_Com" << true;
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
        if (fault == u"updater")
            QFile::remove(kit.program + QLatin1String(app::kUpdaterFileName));
        else if (fault == u"not executable")
            QFile::setPermissions(kit.program + QLatin1String(app::kUpdaterFileName), QFileDevice::ReadOwner);
        else if (fault == u"firmware")
            QFile::remove(kit.program + QStringLiteral("Master/Sim58193.sim"));
        else if (fault == u"image")
            QDir().mkpath(kit.configuration + QStringLiteral("bin/bank.bin/held")); // a folder in its place
        else if (fault == u"port")
            port = QStringLiteral("/dev/ttyTRENOV5X-absent");
        devlink::DeviceLink link;
        const app::UpdateOutcome o = app::DeviceUpdate(link, kFast).run(kit.request(port, true, true));
        QCOMPARE(int(o.status), status);
        QCOMPARE(o.key, key);
        QCOMPARE(kit.imageBuilt(), imageBuilt);
        QCOMPARE(bootProbes(sim), 0);
        QVERIFY(kit.updaterArguments().isEmpty());
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
        const app::UpdateOutcome o =
            app::DeviceUpdate(link, timings).run(kit.request(sim.path(), true, true));
        QCOMPARE(int(o.status), status);
        QCOMPARE(o.exitCode, exitCode);
        QVERIFY2(detail.isEmpty() ? o.detail.isEmpty() : o.detail.startsWith(detail), qPrintable(o.detail));
        if (setup == u"hang") {
            QCOMPARE(o.key, QStringLiteral("Mes_Updater_Still_Running"));
            // Left running, not killed: it is still there to be ended here.
            QTRY_VERIFY(QFileInfo::exists(kit.program + QStringLiteral("pid")));
            QFile pidFile(kit.program + QStringLiteral("pid"));
            QVERIFY(pidFile.open(QIODevice::ReadOnly));
            const pid_t pid = pid_t(pidFile.readAll().trimmed().toInt());
            QCOMPARE(::kill(pid, 0), 0);
            ::kill(pid, SIGKILL);
        }
    }

    void cancelDuringTheBootLoopClosesThePort()
    {
        Kit kit;
        DevSim sim({"--silent"});
        devlink::DeviceLink link;
        app::DeviceUpdate update(link, {10, 50, 30, 10, 5000});
        const app::UpdateOutcome o =
            update.run(kit.request(sim.path(), true, false), [&](const app::UpdateProgress &p) {
                if (p.stage == app::UpdateStage::WaitingForBootLoader && p.attempt == 2)
                    update.cancel();
            });
        QCOMPARE(o.status, app::UpdateOutcome::Status::Cancelled);
        QVERIFY(!link.port().isOpen());
        QVERIFY(bootRequests(sim) <= 2);
        QVERIFY(kit.updaterArguments().isEmpty());
        // The port is free again.
        QVERIFY(!link.openPort(sim.path()));
        link.closeLink();
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
        QCOMPARE(run.out, QStringLiteral("The device has been updated.\n"));
        for (const char *line : {"building the image", "opening the port", "attempt 1 of 7", "attempt 2 of 7",
                                 "releasing the port", "starting the update program: "})
            QVERIFY2(run.err.contains(QLatin1String(line)), qPrintable(run.err));
        QCOMPARE(bootRequests(sim), 1);
        QCOMPARE(kit.updaterArguments().mid(1, 4), (QStringList{"FW", "FR", "PW", "PR"}));
        QVERIFY(kit.imageBuilt());
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
};

QTEST_GUILESS_MAIN(TestDeviceUpdate)
#include "tst_device_update.moc"
