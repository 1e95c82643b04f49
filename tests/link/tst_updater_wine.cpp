// The kit's updater as a real Windows program (built with the MinGW cross
// compiler) run through the real wine against the simulated modem: the
// arguments arrive intact, the COM name opens the port, and the exit code
// decides the outcome. Skipped where wine or the program is missing, unless
// TRENOV5X_REQUIRE_WINE is set (CI).
#include "app/UpdateService.h"
#include "config/ConfigurationFile.h"
#include "helper_devsim.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <csignal>

namespace {

const app::UpdateTimings kFast{10, 10, 3, 10, 120000};

#ifdef TRENOV5X_WINDOWS_UPDATER
const char kWindowsUpdater[] = TRENOV5X_WINDOWS_UPDATER;
#else
const char kWindowsUpdater[] = "";
#endif

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class TestUpdaterWine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        const bool available = !QStandardPaths::findExecutable(QStringLiteral("wine")).isEmpty() &&
                               QFileInfo(QLatin1String(kWindowsUpdater)).isFile();
        if (!available) {
            if (qEnvironmentVariableIsSet("TRENOV5X_REQUIRE_WINE"))
                QFAIL("wine or the MinGW-built stand-in updater is missing");
            QSKIP("wine or the MinGW cross compiler is not installed");
        }
        QVERIFY(m_prefix.isValid());
        // A new prefix, made by the first winepath of the update.
        m_prefixPath = m_prefix.filePath(QStringLiteral("wine"));
        qputenv("WINEPREFIX", m_prefixPath.toLocal8Bit());
    }

    void cleanupTestCase()
    {
        if (m_prefixPath.isEmpty())
            return;
        // The wine server outlives the program for a while; it goes before its prefix.
        QProcess::execute(QStringLiteral("wineserver"), {QStringLiteral("-k")});
        QProcess::execute(QStringLiteral("wineserver"), {QStringLiteral("-w")});
    }

    void windowsUpdaterRunsThroughWine_data()
    {
        QTest::addColumn<QByteArray>("exitCode");
        QTest::addColumn<int>("status");
        QTest::newRow("exit 0") << QByteArray("0") << int(app::UpdateOutcome::Status::Updated);
        QTest::newRow("exit 5") << QByteArray("5") << int(app::UpdateOutcome::Status::UpdaterFailed);
    }

    void windowsUpdaterRunsThroughWine()
    {
        QFETCH(QByteArray, exitCode);
        QFETCH(int, status);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("Program Folder")) + QLatin1Char('/');
        const QString configuration = program + QStringLiteral("Projects/Plant A/");
        QDir().mkpath(configuration);
        const QString updater = program + QLatin1String(app::kUpdaterFileName);
        QVERIFY(QFile::copy(QLatin1String(kWindowsUpdater), updater));
        write(program + QStringLiteral("exit_code.txt"), exitCode);
        write(program + QStringLiteral("Master/Sim58193.sim"), "firmware");
        config::writeConfigurationFile(config::Configuration(),
                                       configuration + QStringLiteral("Configuration.xml"));

        DevSim sim({"--boot-after", "0"});
        // A written device starts its application again; the Windows stand-in
        // cannot signal the simulator, so the test does once it has started.
        QTimer restart;
        connect(&restart, &QTimer::timeout, this, [&] {
            if (QFile::exists(program + QStringLiteral("args.txt"))) {
                restart.stop();
                sim.sendSignal(SIGUSR2);
            }
        });
        restart.start(20);
        devlink::DeviceLink link;
        const app::UpdateOutcome o =
            runUpdate(link, kFast, {sim.path(), true, true, program, configuration, {}, {}});
        QVERIFY2(int(o.status) == status, qPrintable(o.detail + u'\n' + o.commandLine));
        QCOMPARE(o.exitCode, exitCode.toInt());

        QFile args(program + QStringLiteral("args.txt"));
        QVERIFY(args.open(QIODevice::ReadOnly));
        const QStringList got =
            QString::fromLocal8Bit(args.readAll()).remove(u'\r').split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(got.size(), 8);
        QVERIFY2(got[0].startsWith(QLatin1String("COM")), qPrintable(got[0]));
        QCOMPARE(got.mid(1, 4), (QStringList{"FW", "FR", "PW", "PR"}));
        const auto windowsForm = [](QString path) {
            return QStringLiteral("Z:") + path.replace(u'/', u'\\');
        };
        QCOMPARE(got[5], windowsForm(program + QStringLiteral("Master/Sim58193.sim")));
        QCOMPARE(got[6], windowsForm(configuration + QStringLiteral("bin/")));
        // The COM name reaches the simulated modem's port.
        QCOMPARE(got[7], QStringLiteral("open %1: ok").arg(got[0]));
        const QString linkPath = m_prefixPath + QStringLiteral("/dosdevices/") + got[0].toLower();
        QCOMPARE(QFileInfo(linkPath).symLinkTarget(), sim.path());
    }

private:
    QTemporaryDir m_prefix;
    QString m_prefixPath;
};

QTEST_GUILESS_MAIN(TestUpdaterWine)
#include "tst_updater_wine.moc"
