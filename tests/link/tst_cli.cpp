// trenov5x-cli ports, status and set-clock as a script runs them: real
// processes against the simulated modem, their texts and exit codes; and the
// wrong invocations of every command.
#include "common/cli_run.h"
#include "helper_devsim.h"
#include "link/Comm.h"
#include "link/PortList.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

using Run = CliRun;

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private slots:
    void deviceCommands_data();
    void deviceCommands();
    void statusPrintsVersionAndClock();
    void statusJsonGivesVersionAndClock();
    void portsListsWhatTheWindowOffers();
    void versionIsTheProjectVersion();
    void setClockSendsTheFrameOfTheFields();
    void portInUseIsNamedAsTheReason();
    void helpGoesToStandardOutput_data();
    void helpGoesToStandardOutput();
    void wrongArgumentsGiveTheMessageAndTheUsage_data();
    void wrongArgumentsGiveTheMessageAndTheUsage();
};

void TestCli::deviceCommands_data()
{
    QTest::addColumn<QStringList>("simulator");
    QTest::addColumn<QStringList>("command"); // PORT stands for the device path
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    const QStringList status{"status", "--port", "PORT"};
    const QString noAnswer = QStringLiteral("Error! No Answer from Device.\n");
    QTest::newRow("status") << QStringList{} << status << 0 << QStringLiteral("Firmware Version : 1.0.4\n")
                            << QString();
    QTest::newRow("status --port=PORT") << QStringList{} << QStringList{"status", "--json", "--port=PORT"}
                                        << 0 << QStringLiteral("{\n") << QString();
    QTest::newRow("status, silent device") << QStringList{"--silent"} << status << 1 << QString() << noAnswer;
    // 1000 bytes of noise fill the whole read: an answer, if a wrong one.
    QTest::newRow("status, unrecognised reply")
        << QStringList{"--garbage"} << status << 1 << QString()
        << QStringLiteral("Error! The Answer from Device is Wrong.\n");
    QTest::newRow("status --json, silent device")
        << QStringList{"--silent"} << QStringList{"status", "--port", "PORT", "--json"} << 1 << QString()
        << noAnswer;
    QTest::newRow("status --json, port absent")
        << QStringList{} << QStringList{"status", "--json", "--port=/dev/ttyTRENOV5X-absent"} << 1
        << QString() << QStringLiteral("Error! When open COM Port\n/dev/ttyTRENOV5X-absent: no such device");
    QTest::newRow("status, port absent")
        << QStringList{} << QStringList{"status", "--port=/dev/ttyTRENOV5X-absent"} << 1 << QString()
        << QStringLiteral("Error! When open COM Port\n/dev/ttyTRENOV5X-absent: no such device "
                          "(Error accessing specified device (Error: 2))\n");
    QTest::newRow("status, port a link loop")
        << QStringList{} << QStringList{"status", "--port=LOOP"} << 1 << QString()
        << QStringLiteral("Error! When open COM Port\nLOOP: a loop of symbolic links "
                          "(Error accessing specified device (Error: 40))\n");
    QTest::newRow("status, port name without device")
        << QStringList{} << QStringList{"status", "--port", "ttyTRENOV5X9"} << 1 << QString()
        << QStringLiteral("Error! When open COM Port\n/dev/ttyTRENOV5X9: no such device");

    const QString setOk = QStringLiteral("Date Time correctly setted!\n");
    QTest::newRow("set-clock fields")
        << QStringList{} << QStringList{"set-clock", "--port", "PORT", "7", "5", "3", "9", "4", "24"} << 0
        << setOk << QString();
    QTest::newRow("set-clock now") << QStringList{} << QStringList{"set-clock", "--port", "PORT", "--now"}
                                   << 0 << setOk << QString();
    QTest::newRow("set-clock invalid date")
        << QStringList{} << QStringList{"set-clock", "--port", "PORT", "24", "0", "0", "1", "1", "24"} << 1
        << QString() << QStringLiteral("Error! Date or Time Not Valid\n");
    QTest::newRow("set-clock empty field")
        << QStringList{} << QStringList{"set-clock", "--port", "PORT", "7", "5", "3", "", "4", "24"} << 1
        << QString() << QStringLiteral("Error! Date or Time Not Valid\n");
    QTest::newRow("set-clock wrong reply")
        << QStringList{"--wrong-clock-reply"} << QStringList{"set-clock", "--port", "PORT", "--now"} << 1
        << QString() << QStringLiteral("Error! The Answer from Device is Wrong.\n");
    QTest::newRow("set-clock silent device")
        << QStringList{"--silent"} << QStringList{"set-clock", "--port", "PORT", "--now"} << 1 << QString()
        << noAnswer;
    QTest::newRow("set-clock port absent")
        << QStringList{} << QStringList{"set-clock", "--port", "/dev/ttyTRENOV5X-absent", "--now"} << 1
        << QString() << QStringLiteral("Error! When open COM Port\n");
}

void TestCli::deviceCommands()
{
    QFETCH(QStringList, simulator);
    QFETCH(QStringList, command);
    QFETCH(int, exitCode);
    QFETCH(QString, out);
    QFETCH(QString, err);

    DevSim sim(simulator);
    QVERIFY(sim.isRunning());
    command.replaceInStrings(QRegularExpression(QStringLiteral("^(--port=)?PORT$")), "\\1" + sim.path());
    QTemporaryDir dir;
    const QString loop = dir.filePath(QStringLiteral("ttyLOOP"));
    QVERIFY(QFile::link(loop, loop));
    command.replaceInStrings(QStringLiteral("LOOP"), loop);
    err.replace(QStringLiteral("LOOP"), loop);
    const Run run = runCli(command);
    QCOMPARE(run.exitCode, exitCode);
    if (out.isEmpty())
        QCOMPARE(run.out, QString());
    else
        QVERIFY2(run.out.startsWith(out), qPrintable(run.out));
    if (err.isEmpty())
        QCOMPARE(run.err, QString());
    else
        QVERIFY2(run.err.startsWith(err), qPrintable(run.err));
}

void TestCli::statusPrintsVersionAndClock()
{
    DevSim sim({QStringLiteral("--fw-version"), QStringLiteral("3.1")});
    const Run run = runCli({QStringLiteral("status"), QStringLiteral("--port"), sim.path()});
    QCOMPARE(run.exitCode, 0);
    static const QRegularExpression kLines(QStringLiteral(
        "^Firmware Version : 3\\.1\nDate Time : \\d\\d\\.\\d\\d\\.\\d\\d \\d\\d/\\d\\d/\\d\\d\n$"));
    QVERIFY2(kLines.match(run.out).hasMatch(), qPrintable(run.out));
}

void TestCli::statusJsonGivesVersionAndClock()
{
    DevSim sim({QStringLiteral("--fw-version"), QStringLiteral("3.1")});
    QCOMPARE(runCli({"set-clock", "--port", sim.path(), "7", "5", "3", "9", "4", "24"}).exitCode, 0);
    const Run run =
        runCli({QStringLiteral("status"), QStringLiteral("--port"), sim.path(), QStringLiteral("--json")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.err, QString());
    QJsonParseError error;
    const QJsonObject status = QJsonDocument::fromJson(run.out.toUtf8(), &error).object();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(run.out));
    QCOMPARE(status.keys(), QStringList({"dateTime", "dateTimeIso", "firmwareVersion", "port"}));
    QCOMPARE(status.value("port").toString(), sim.path());
    QCOMPARE(status.value("firmwareVersion").toString(), QStringLiteral("3.1"));
    // The clock runs on from 07.05.03 while the commands run.
    const QString clock = status.value("dateTime").toString();
    QVERIFY2(clock.startsWith(QLatin1String("07.05.0")) && clock.endsWith(QLatin1String(" 09/04/24")),
             qPrintable(clock));
    QCOMPARE(status.value("dateTimeIso").toString(), QStringLiteral("2024-04-09T07:05:0") + clock.at(7));
}

// The names the window's port lists offer, one per line, a demonstration
// link included.
void TestCli::portsListsWhatTheWindowOffers()
{
    std::unique_ptr<DevSim> linked;
    const QString name = QStringLiteral("ttyVcli%1").arg(QCoreApplication::applicationPid());
    if (QFileInfo(QStringLiteral("/dev")).isWritable()) {
        linked =
            std::make_unique<DevSim>(QStringList{QStringLiteral("--link"), QStringLiteral("/dev/") + name});
        QTRY_VERIFY(QFileInfo(QStringLiteral("/dev/") + name).isSymLink());
    }
    // Other tests running at the same time add and remove their own device
    // links: the list is taken before and after the command, which must
    // list every port there at both moments and none there at neither; with
    // nothing changed meanwhile, exactly the window's list in its order.
    auto offeredNow = [] { return devlink::fillPortList(devlink::listSerialPorts(), QString()).items; };
    const QStringList before = offeredNow();
    const Run run = runCli({QStringLiteral("ports")});
    const QStringList after = offeredNow();
    QCOMPARE(run.exitCode, 0);
    const QStringList listed = run.out.split(u'\n', Qt::SkipEmptyParts);
    for (const QString &port : before)
        QVERIFY2(listed.contains(port) || !after.contains(port),
                 qPrintable(port + QStringLiteral(": ") + run.out));
    for (const QString &port : listed)
        QVERIFY2(before.contains(port) || after.contains(port),
                 qPrintable(port + QStringLiteral(": ") + run.out));
    QVERIFY(run.out.isEmpty() || run.out.endsWith(u'\n'));
    if (before == after)
        QCOMPARE(listed, before);
    if (listed.isEmpty())
        QCOMPARE(run.err, QStringLiteral("no serial port found\n"));
    else
        QCOMPARE(run.err, QString());
    if (linked) {
        QVERIFY2(listed.contains(name), qPrintable(run.out));
        linked.reset();
        QFile::remove(QStringLiteral("/dev/") + name); // left dangling by the killed simulator
    }
}

void TestCli::versionIsTheProjectVersion()
{
    const Run run = runCli({QStringLiteral("--version")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("trenov5x-cli " TRENOV5X_VERSION "\n"));
}

void TestCli::setClockSendsTheFrameOfTheFields()
{
    DevSim sim;
    Run run = runCli({"set-clock", "--port", sim.path(), "007", "5", "3", "9", "4", "2024"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY(sim.waitForFrames(1, 2000));
    QVERIFY2(sim.log().contains(QLatin1String("\"DATORA 00.05.03 09/04/24\\r\\n\"")), qPrintable(sim.log()));

    run = runCli({QStringLiteral("status"), QStringLiteral("--port"), sim.path()});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(QLatin1String("Date Time : 00.05.0")), qPrintable(run.out));
    QVERIFY(run.out.contains(QLatin1String(" 09/04/24\n")));
}

void TestCli::portInUseIsNamedAsTheReason()
{
    DevSim sim;
    devlink::CommPort holder;
    holder.setDeviceName(sim.path());
    holder.open();
    const Run run = runCli({QStringLiteral("status"), QStringLiteral("--port"), sim.path()});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, QStringLiteral("Error! The port is in use by another program. Close that program or "
                                     "choose another port.\n%1: in use by another program "
                                     "(Error accessing specified device (Error: 16))\n")
                          .arg(sim.path()));
}

void TestCli::helpGoesToStandardOutput_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("usage");

    QTest::newRow("status help") << QStringList{"status", "--help"}
                                 << QStringLiteral("Usage: trenov5x-cli status");
    QTest::newRow("set-clock help") << QStringList{"set-clock", "--help"}
                                    << QStringLiteral("Usage: trenov5x-cli set-clock");
    QTest::newRow("ports help") << QStringList{"ports", "--help"}
                                << QStringLiteral("Usage: trenov5x-cli ports");
    QTest::newRow("update -h") << QStringList{"update", "-h"} << QStringLiteral("Usage: trenov5x-cli update");
    QTest::newRow("help beside a wrong option")
        << QStringList{"build", "--bogus", "--help"} << QStringLiteral("Usage: trenov5x-cli build");
    QTest::newRow("help without the required port")
        << QStringList{"status", "--json", "-h"} << QStringLiteral("Usage: trenov5x-cli status");
}

void TestCli::helpGoesToStandardOutput()
{
    QFETCH(QStringList, command);
    QFETCH(QString, usage);
    const Run run = runCli(command);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(usage), qPrintable(run.out));
    QCOMPARE(run.err, QString());
}

void TestCli::wrongArgumentsGiveTheMessageAndTheUsage_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("message"); // the line before the usage; empty when the usage stands alone

    const QString check = QStringLiteral("trenov5x-cli check: ");
    QTest::newRow("check, unknown option")
        << QStringList{"check", "--json", "F"} << check + "unexpected argument '--json'";
    QTest::newRow("check, second folder")
        << QStringList{"check", "F", "G"} << check + "unexpected argument 'G'";
    QTest::newRow("check, no folder") << QStringList{"check"} << QString();
    QTest::newRow("check, empty folder") << QStringList{"check", ""} << QString();

    const QString build = QStringLiteral("trenov5x-cli build: ");
    QTest::newRow("build, unknown option")
        << QStringList{"build", "F", "--bogus"} << build + "unknown option '--bogus'";
    QTest::newRow("build, --output without its value")
        << QStringList{"build", "F", "--output"} << build + "--output needs a FILE";
    QTest::newRow("build, -o without its value")
        << QStringList{"build", "F", "-o"} << build + "--output needs a FILE";
    QTest::newRow("build, empty --output=")
        << QStringList{"build", "F", "--output="} << build + "--output needs a FILE";
    QTest::newRow("build, --output twice")
        << QStringList{"build", "F", "--output", "a", "--output=b"} << build + "--output given twice";
    QTest::newRow("build, a value for a switch")
        << QStringList{"build", "F", "--no-check=1"} << build + "unknown option '--no-check=1'";
    QTest::newRow("build, second folder")
        << QStringList{"build", "F", "G"} << build + "more than one FOLDER given";
    QTest::newRow("build, no folder") << QStringList{"build", "--no-check"} << QString();

    const QString inspect = QStringLiteral("trenov5x-cli inspect: ");
    QTest::newRow("inspect, unknown option")
        << QStringList{"inspect", "F", "--xml"} << inspect + "unknown option '--xml'";
    QTest::newRow("inspect, second file")
        << QStringList{"inspect", "F", "G"} << inspect + "more than one FILE given";
    QTest::newRow("inspect, no file") << QStringList{"inspect", "--json"} << QString();

    QTest::newRow("ports, extra argument")
        << QStringList{"ports", "ttyS0"} << QStringLiteral("unexpected argument 'ttyS0'");
    QTest::newRow("ports, unknown option")
        << QStringList{"ports", "--json"} << QStringLiteral("unexpected argument '--json'");

    QTest::newRow("status, unknown option")
        << QStringList{"status", "--port", "a", "--xml"} << QStringLiteral("unexpected argument '--xml'");
    QTest::newRow("status without port")
        << QStringList{"status"} << QStringLiteral("--port PORT is required");
    QTest::newRow("status, misspelt port")
        << QStringList{"status", "--prot", "a"} << QStringLiteral("unexpected argument '--prot'");
    QTest::newRow("status, --port without its value")
        << QStringList{"status", "--json", "--port"}
        << QStringLiteral("--port needs a port name or a device path");
    QTest::newRow("status, empty --port=")
        << QStringList{"status", "--port="} << QStringLiteral("--port needs a port name or a device path");
    QTest::newRow("status, port twice")
        << QStringList{"status", "--port", "a", "--port", "b"} << QStringLiteral("--port given twice");
    QTest::newRow("status, extra argument")
        << QStringList{"status", "--port", "a", "b"} << QStringLiteral("unexpected argument 'b'");

    const QString sixFields = QStringLiteral("give --now or the six fields HH MI SS DD MO YY");
    QTest::newRow("set-clock, five fields")
        << QStringList{"set-clock", "--port", "a", "1", "2", "3", "4", "5"} << sixFields;
    QTest::newRow("set-clock, seven fields")
        << QStringList{"set-clock", "--port", "a", "1", "2", "3", "4", "5", "6", "7"} << sixFields;
    QTest::newRow("set-clock, now and fields")
        << QStringList{"set-clock", "--port", "a", "--now", "1"} << QStringLiteral("--now takes no fields");
    QTest::newRow("set-clock, unknown option")
        << QStringList{"set-clock", "--port", "a", "--later"} << QStringLiteral("unknown option '--later'");
    QTest::newRow("set-clock without port")
        << QStringList{"set-clock", "--now"} << QStringLiteral("--port PORT is required");

    const QString update = QStringLiteral("trenov5x-cli update: ");
    QTest::newRow("update, unknown option")
        << QStringList{"update", "--port", "a", "F", "--bogus"} << update + "unexpected argument '--bogus'";
    QTest::newRow("update, --updater without its value")
        << QStringList{"update", "--port", "a", "F", "--updater"} << update + "--updater needs a PATH";
    // Once the default update program ran instead.
    QTest::newRow("update, empty --updater=")
        << QStringList{"update", "--port", "a", "--configuration", "F", "--updater="}
        << update + "--updater needs a PATH";
    QTest::newRow("update without port")
        << QStringList{"update", "F", "--configuration"} << update + "--port PORT is required";
    QTest::newRow("update, second folder")
        << QStringList{"update", "--port", "a", "F", "G"} << update + "unexpected argument 'G'";
    QTest::newRow("update, no folder")
        << QStringList{"update", "--port", "a", "--configuration"} << QString();
}

// A wrong invocation touches nothing: exit 2, and on standard error what is
// wrong followed by the command's whole usage.
void TestCli::wrongArgumentsGiveTheMessageAndTheUsage()
{
    QFETCH(QStringList, command);
    QFETCH(QString, message);
    const Run help = runCli({command.first(), QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    QVERIFY2(help.out.startsWith(QStringLiteral("Usage: trenov5x-cli ") + command.first()),
             qPrintable(help.out));

    const Run run = runCli(command);
    QCOMPARE(run.exitCode, 2);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, (message.isEmpty() ? QString() : message + u'\n') + help.out);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
