// A Windows update program through wine, with stand-in wine and winepath
// scripts on the PATH that record what they were given: the COM link in the
// prefix's dosdevices/ folder (made, reused, others left alone), the Windows
// paths, and the update flow against the simulated modem stopping before any
// probe when wine is missing.
#include "app/UpdateService.h"
#include "app/UpdaterLaunch.h"
#include "config/ConfigurationFile.h"
#include "helper_devsim.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const app::UpdateTimings kFast{10, 10, 3, 10, 5000};

const char kWine[] = R"(#!/bin/sh
here=$(dirname "$0")
printf '%s\n' "$@" > "$here/wine_args.txt"
printf '%s\n' "$WINEPREFIX" > "$here/wine_prefix.txt"
code=$(cat "$here/exit_code" 2>/dev/null || echo 0)
# A written device starts its application again.
if [ "$code" = 0 ] && [ -n "$TRENOV5X_TEST_DEVICE_PID" ]; then kill -USR2 "$TRENOV5X_TEST_DEVICE_PID"; fi
exit $code
)";

const char kWinepath[] = R"(#!/bin/sh
[ "$1" = "-w" ] && shift
for p in "$@"; do printf 'Z:%s\n' "$p" | tr / '\\'; done
)";

void write(const QString &path, const QByteArray &bytes, bool executable = false)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
}

QStringList lines(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                       : QStringList();
}

QString windowsForm(const QString &path)
{
    return QStringLiteral("Z:") + QString(path).replace(u'/', u'\\');
}

// A folder with the stand-in wine tools, a wine prefix whose dosdevices/
// holds com1 -> /dev/ttyS0 as a new prefix does, and a kit whose updater is a
// Windows program without execute permission, in a program folder with a blank.
struct WineKit
{
    WineKit()
    {
        tools = dir.filePath(QStringLiteral("tools"));
        prefix = dir.filePath(QStringLiteral("prefix"));
        program = dir.filePath(QStringLiteral("Program Folder")) + QLatin1Char('/');
        configuration = program + QStringLiteral("Projects/Plant A/");
        write(tools + QStringLiteral("/wine"), kWine, true);
        write(tools + QStringLiteral("/winepath"), kWinepath, true);
        QDir().mkpath(dosdevices());
        QFile::link(QStringLiteral("/dev/ttyS0"), dosdevices() + QStringLiteral("/com1"));
        updater = program + QLatin1String(app::kUpdaterFileName);
        write(updater, QByteArray("MZ\x90\x00", 4) + QByteArray(60, '\0'));
        write(program + QStringLiteral("Master/Sim58193.sim"), "firmware");
        QDir().mkpath(configuration);
        config::writeConfigurationFile(config::Configuration(),
                                       configuration + QStringLiteral("Configuration.xml"));
    }
    QString dosdevices() const { return prefix + QStringLiteral("/dosdevices"); }
    QString link(int n) const { return dosdevices() + QStringLiteral("/com%1").arg(n); }
    QProcessEnvironment environment(bool withWine = true) const
    {
        QProcessEnvironment e;
        e.insert(QStringLiteral("PATH"),
                 withWine ? tools + QStringLiteral(":/usr/bin:/bin") : dir.filePath(QStringLiteral("empty")));
        e.insert(QStringLiteral("WINEPREFIX"), prefix);
        e.insert(QStringLiteral("HOME"), dir.path());
        return e;
    }
    QStringList wineArguments() const { return lines(tools + QStringLiteral("/wine_args.txt")); }

    QTemporaryDir dir;
    QString tools;
    QString prefix;
    QString program;
    QString configuration;
    QString updater;
};

int bootProbes(const DevSim &sim)
{
    int n = 0;
    for (const QString &line : sim.log().split(u'\n'))
        n += line.startsWith(QLatin1String("rx")) && line.contains(QLatin1String("00000000500000"));
    return n;
}

// Sets PATH and WINEPREFIX for the update flow, which reads the process's
// own environment, and puts them back afterwards.
class ScopedEnvironment
{
public:
    explicit ScopedEnvironment(const QProcessEnvironment &e)
    {
        for (const char *name : {"PATH", "WINEPREFIX"}) {
            m_saved.append({name, qgetenv(name)});
            qputenv(name, e.value(QLatin1String(name)).toLocal8Bit());
        }
    }
    ~ScopedEnvironment()
    {
        for (const auto &[name, value] : m_saved)
            qputenv(name, value);
    }

private:
    QList<std::pair<const char *, QByteArray>> m_saved;
};

} // namespace

class TestUpdaterLaunch : public QObject
{
    Q_OBJECT

private slots:
    void comLinkOfThePort_data()
    {
        QTest::addColumn<QStringList>("existing"); // "N=target" links present before
        QTest::addColumn<int>("expected");         // the COM number handed over
        QTest::addColumn<bool>("made");
        QTest::newRow("first free after com1 of a new prefix") << QStringList{} << 2 << true;
        QTest::newRow("link to the port reused") << QStringList{"2=/dev/ttyS1", "5=PORT"} << 5 << false;
        QTest::newRow("dangling and foreign links left alone")
            << QStringList{"2=/dev/ttyTRENOV5X-gone", "3=/dev/null"} << 4 << true;
        QTest::newRow("a file in the way is a name in use") << QStringList{"2=FILE"} << 3 << true;
    }

    void comLinkOfThePort()
    {
        QFETCH(QStringList, existing);
        QFETCH(int, expected);
        QFETCH(bool, made);
        WineKit kit;
        DevSim sim;
        QMap<QString, QString> before;
        for (const QString &entry : existing) {
            const auto n = entry.section(u'=', 0, 0).toInt();
            const QString target = entry.section(u'=', 1);
            if (target == u"FILE")
                write(kit.link(n), "not a link");
            else
                QVERIFY(QFile::link(target == u"PORT" ? sim.path() : target, kit.link(n)));
        }
        for (const QString &name : QDir(kit.dosdevices()).entryList(QDir::System | QDir::Files))
            before[name] = QFileInfo(kit.dosdevices() + u'/' + name).symLinkTarget();

        const app::UpdaterLaunch launch = app::planUpdaterLaunch(
            kit.updater, sim.path(), {"FW", "FR", "NO", "NO"},
            {kit.program + QStringLiteral("Master/Sim58193.sim"), kit.configuration + QStringLiteral("bin/")},
            kit.environment());
        QVERIFY(launch.ok());
        QVERIFY(launch.throughWine);
        QCOMPARE(launch.program, kit.tools + QStringLiteral("/wine"));
        QCOMPARE(launch.arguments,
                 (QStringList{kit.updater, QStringLiteral("COM%1").arg(expected), "FW", "FR", "NO", "NO",
                              windowsForm(kit.program + QStringLiteral("Master/Sim58193.sim")),
                              windowsForm(kit.configuration + QStringLiteral("bin/"))}));
        QCOMPARE(launch.portLink, kit.link(expected));
        QCOMPARE(launch.portLinkMade, made);
        QCOMPARE(QFileInfo(kit.link(expected)).symLinkTarget(), sim.path());
        // Every link that was there still points where it did.
        for (auto it = before.cbegin(); it != before.cend(); ++it)
            QCOMPARE(QFileInfo(kit.dosdevices() + u'/' + it.key()).symLinkTarget(), it.value());
        QCOMPARE(launch.environment.value(QStringLiteral("WINEPREFIX")), kit.prefix);
    }

    void portListNameIsADevicePath()
    {
        WineKit kit;
        const app::UpdaterLaunch launch =
            app::planUpdaterLaunch(kit.updater, QStringLiteral("ttyTRENOV5X9"), {}, {}, kit.environment());
        QCOMPARE(QFileInfo(launch.portLink).symLinkTarget(), QStringLiteral("/dev/ttyTRENOV5X9"));
    }

    void programsThatAreNotWindowsOnesRunDirectly()
    {
        WineKit kit;
        const QString script = kit.program + QStringLiteral("update.sh");
        write(script, "#!/bin/sh\nexit 0\n", true);
        const app::UpdaterLaunch launch =
            app::planUpdaterLaunch(script, QStringLiteral("ttyUSB0"), {"NO", "NO", "PW", "PR"},
                                   {"/a b/f.sim", "/a b/bin/"}, kit.environment());
        QVERIFY(launch.ok());
        QVERIFY(!launch.throughWine);
        QCOMPARE(launch.program, script);
        QCOMPARE(launch.arguments,
                 (QStringList{"ttyUSB0", "NO", "NO", "PW", "PR", "/a b/f.sim", "/a b/bin/"}));
        QCOMPARE(QDir(kit.dosdevices()).entryList(QDir::System | QDir::Files), QStringList{"com1"});
    }

    void winepathThatFailsGivesDriveZ()
    {
        WineKit kit;
        write(kit.tools + QStringLiteral("/winepath"), "#!/bin/sh\nexit 1\n", true);
        const app::UpdaterLaunch launch = app::planUpdaterLaunch(kit.updater, QStringLiteral("ttyUSB0"), {},
                                                                 {"/x y/f.sim"}, kit.environment());
        QCOMPARE(launch.arguments.last(), QStringLiteral("Z:\\x y\\f.sim"));
    }

    void updateRunsTheWindowsUpdaterThroughWine_data()
    {
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<int>("status");
        QTest::newRow("exit 0") << QByteArray("0") << int(app::UpdateOutcome::Status::Updated);
        QTest::newRow("exit 4") << QByteArray("4") << int(app::UpdateOutcome::Status::UpdaterFailed);
    }

    void updateRunsTheWindowsUpdaterThroughWine()
    {
        QFETCH(QByteArray, exitCode);
        QFETCH(int, status);
        WineKit kit;
        write(kit.tools + QStringLiteral("/exit_code"), exitCode);
        DevSim sim({"--boot-after", "0"});
        const ScopedEnvironment environment(kit.environment());
        devlink::DeviceLink link;
        const app::UpdateRequest request{sim.path(), true, true, kit.program, kit.configuration, {}, {}};
        int probes = 0;
        for (int run = 1; run <= 2; ++run) {
            const app::UpdateOutcome o = runUpdate(link, kFast, request);
            QCOMPARE(int(o.status), status);
            // A written device runs its application again: the next update
            // probes, asks for the boot loader and probes once more.
            probes += run > 1 && status == int(app::UpdateOutcome::Status::Updated) ? 2 : 1;
            QCOMPARE(o.exitCode, exitCode.toInt());
            // The second run finds com2 pointing to the port and makes no other.
            QCOMPARE(kit.wineArguments(),
                     (QStringList{kit.updater, "COM2", "FW", "FR", "PW", "PR",
                                  windowsForm(kit.program + QStringLiteral("Master/Sim58193.sim")),
                                  windowsForm(kit.configuration + QStringLiteral("bin/"))}));
            QVERIFY2(o.commandLine.contains(QStringLiteral("COM2 FW FR PW PR")), qPrintable(o.commandLine));
            QCOMPARE(QDir(kit.dosdevices()).entryList(QDir::System | QDir::Files),
                     (QStringList{"com1", "com2"}));
            QCOMPARE(QFileInfo(kit.link(2)).symLinkTarget(), sim.path());
            QCOMPARE(QFileInfo(kit.link(1)).symLinkTarget(), QStringLiteral("/dev/ttyS0"));
            QCOMPARE(bootProbes(sim), probes);
            QFile::remove(kit.tools + QStringLiteral("/wine_args.txt"));
        }
    }

    void missingWineStopsBeforeTheDevice()
    {
        WineKit kit;
        DevSim sim({"--boot-after", "0"});
        const ScopedEnvironment environment(kit.environment(false));
        devlink::DeviceLink link;
        const app::UpdateOutcome o =
            runUpdate(link, kFast, {sim.path(), false, true, kit.program, kit.configuration, {}, {}});
        QCOMPARE(o.status, app::UpdateOutcome::Status::WineMissing);
        QCOMPARE(o.key, QStringLiteral("Error_Wine_Missing"));
        QCOMPARE(o.detail, kit.updater);
        QCOMPARE(bootProbes(sim), 0);
        QCOMPARE(link.lastPortName(), QString());
        QVERIFY(!QFileInfo::exists(kit.configuration + QStringLiteral("bin/bank.bin")));
        QCOMPARE(QDir(kit.dosdevices()).entryList(QDir::System | QDir::Files), QStringList{"com1"});
    }

    void kitInTheWorkspaceComesFirst_data()
    {
        QTest::addColumn<bool>("inWorkspace");
        QTest::addColumn<bool>("inProgramFolder");
        QTest::newRow("workspace only") << true << false;
        QTest::newRow("both: the workspace's") << true << true;
        QTest::newRow("program folder only") << false << true;
        QTest::newRow("neither") << false << false;
    }

    void kitInTheWorkspaceComesFirst()
    {
        QFETCH(bool, inWorkspace);
        QFETCH(bool, inProgramFolder);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("program/"));
        const QString workspace = dir.filePath(QStringLiteral("workspace/"));
        const QString configuration = workspace + QStringLiteral("Projects/A/");
        QDir().mkpath(configuration);
        QDir().mkpath(program);
        config::writeConfigurationFile(config::Configuration(),
                                       configuration + QStringLiteral("Configuration.xml"));
        const char script[] = "#!/bin/sh\nprintf '%s\\n' \"$0\" \"$6\" > \"$(dirname \"$0\")/ran.txt\"\n"
                              "kill -USR2 \"$TRENOV5X_TEST_DEVICE_PID\"\n";
        for (const auto &[present, folder] :
             {std::pair{inWorkspace, workspace}, std::pair{inProgramFolder, program}}) {
            if (!present)
                continue;
            write(folder + QLatin1String(app::kUpdaterFileName), script, true);
            write(folder + QStringLiteral("Master/Sim58193.sim"), "firmware");
        }
        DevSim sim({"--boot-after", "0"});
        devlink::DeviceLink link;
        const app::UpdateOutcome o =
            runUpdate(link, kFast, {sim.path(), true, false, program, configuration, {}, workspace});
        if (!inWorkspace && !inProgramFolder) {
            QCOMPARE(o.status, app::UpdateOutcome::Status::UpdaterMissing);
            // Both places are named.
            QCOMPARE(o.detail, workspace + QLatin1String(app::kUpdaterFileName) + u'\n' + program +
                                   QLatin1String(app::kUpdaterFileName));
            QCOMPARE(bootProbes(sim), 0);
            return;
        }
        QCOMPARE(o.status, app::UpdateOutcome::Status::Updated);
        const QString used = inWorkspace ? workspace : program;
        QCOMPARE(lines(used + QStringLiteral("ran.txt")),
                 (QStringList{used + QLatin1String(app::kUpdaterFileName),
                              used + QStringLiteral("Master/Sim58193.sim")}));
    }

    void firmwareMissingNamesBothPlaces()
    {
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("program/"));
        const QString workspace = dir.filePath(QStringLiteral("workspace/"));
        write(program + QLatin1String(app::kUpdaterFileName), "#!/bin/sh\n", true);
        devlink::DeviceLink link;
        const app::UpdateOutcome o =
            runUpdate(link, kFast, {"ttyS0", true, false, program, workspace, {}, workspace});
        QCOMPARE(o.status, app::UpdateOutcome::Status::FirmwareMissing);
        QCOMPARE(o.detail, workspace + QStringLiteral("Master/Sim58193.sim\n") + program +
                               QStringLiteral("Master/Sim58193.sim"));
    }
};

QTEST_GUILESS_MAIN(TestUpdaterLaunch)
#include "tst_updater_launch.moc"
