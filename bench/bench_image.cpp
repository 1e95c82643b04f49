// Building bank.bin from a large Configuration.xml: the whole build beside
// the mere parse of the same file, the command-line build and check beside
// xmllint in both shapes of a configuration near capacity, how a checked
// build grows with its rows, and how the compile grows with the number of
// distinct phone numbers (intern must stay linear in practice).
#include "config/ConfigurationChecks.h"
#include "config/ConfigurationFile.h"
#include "config/XmlTree.h"
#include "image/DeviceImageBuild.h"
#include "image/ImageBuilder.h"
#include "image/ImageWriter.h"

#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A complete configuration (as the window saves it, so the checks accept
// it) whose six input tables hold `rows` rows in all, cycling through
// `messages` distinct messages of 64 characters. With `shortMessages` the
// messages are a few characters and the numbers are those of the row within
// its table, so each table holds its own numbers and the tables share them.
QByteArray largeConfiguration(int rows, int messages, bool shortMessages = false)
{
    config::Configuration c;
    c.setNewDefaults();
    c.pin = QStringLiteral("1234");
    const int perTable = (rows + 5) / 6;
    int row = 0;
    auto fill = [&](config::SmsTable &table) {
        QList<config::TableRow> list;
        for (int i = 0; i < perTable && row < rows; ++i, ++row) {
            const QString message = QStringLiteral("Alarm %1 ").arg(row % messages);
            const qint64 number = shortMessages ? i : row;
            list.append({shortMessages ? message.trimmed() : message.leftJustified(64, u'.'),
                         QStringLiteral("+39%1").arg(3000000000LL + number * 7919LL),
                         QStringLiteral("row %1").arg(row)});
        }
        table.setRows(list);
    };
    for (config::DigitalInput &d : c.digitalInputs) {
        for (config::InputEvent *e : {&d.f0t1, &d.f1t0}) {
            e->enSms = true;
            e->timeDelay = QStringLiteral("100");
            fill(e->list);
        }
    }
    c.analogInput.high.value = QStringLiteral("5,5");
    c.analogInput.high.valueHys = QStringLiteral("5");
    c.analogInput.low.value = QStringLiteral("2");
    c.analogInput.low.valueHys = QStringLiteral("2,5");
    for (config::AnalogThreshold *t : {&c.analogInput.high, &c.analogInput.low}) {
        t->enSms = true;
        t->timeDelay = QStringLiteral("100");
        fill(t->list);
    }
    return config::serializeConfiguration(c);
}

// 4,000 distinct numbers and 50 distinct messages: an image of about 98 KB.
constexpr int kNearCapacityRows = 4000;
constexpr int kNearCapacityMessages = 50;

void BM_ParseOnly(benchmark::State &state)
{
    const QByteArray xml = largeConfiguration(kNearCapacityRows, kNearCapacityMessages);
    for (auto _ : state)
        benchmark::DoNotOptimize(config::xmltree::parse(xml));
    state.counters["xml_bytes"] = double(xml.size());
}
BENCHMARK(BM_ParseOnly)->Unit(benchmark::kMillisecond);

void BM_BuildImageNearCapacity(benchmark::State &state)
{
    const QByteArray xml = largeConfiguration(kNearCapacityRows, kNearCapacityMessages);
    qsizetype imageSize = 0;
    for (auto _ : state) {
        const config::XmlParseResult parsed = config::xmltree::parse(xml);
        const image::CompileResult compiled = image::compileConfiguration(*parsed.root);
        const image::WriteResult written = image::writeImage(compiled.model);
        if (!written.ok())
            state.SkipWithError("image does not fit");
        imageSize = written.bytes.size();
    }
    state.counters["image_bytes"] = double(imageSize);
}
BENCHMARK(BM_BuildImageNearCapacity)->Unit(benchmark::kMillisecond);

// The whole driver, with reading Configuration.xml and the atomic write.
void BM_BuildDeviceImageFile(benchmark::State &state)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("Configuration.xml")));
    if (!file.open(QIODevice::WriteOnly))
        state.SkipWithError("cannot write the configuration");
    file.write(largeConfiguration(kNearCapacityRows, kNearCapacityMessages));
    file.close();
    for (auto _ : state) {
        if (!image::buildDeviceImage(dir.path()).built())
            state.SkipWithError("build failed");
    }
}
BENCHMARK(BM_BuildDeviceImageFile)->Unit(benchmark::kMillisecond);

// The two shapes of a configuration near the device's capacity: 4,000 rows
// with 64-character messages, and 12,600 short rows (six tables of 2,100)
// with 40 distinct messages.
struct Shape
{
    int rows;
    int messages;
    bool shortMessages;
};
constexpr Shape kShapes[] = {{kNearCapacityRows, kNearCapacityMessages, false}, {12'600, 40, true}};

QString writeConfiguration(const QTemporaryDir &dir, const Shape &shape)
{
    const QString path = dir.filePath(QStringLiteral("Configuration.xml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(largeConfiguration(shape.rows, shape.messages, shape.shortMessages)) < 0)
        return {};
    return path;
}

// The command line under test; TRENOV5X_BENCH_CLI runs another build of it
// (an earlier one, to compare in the same run).
QString cliProgram()
{
    const QString other = qEnvironmentVariable("TRENOV5X_BENCH_CLI");
    return other.isEmpty() ? QStringLiteral(TRENOV5X_PROGRAM_DIR "/trenov5x-cli") : other;
}

// Milliseconds a program takes from start to exit, or -1 when it fails.
double runMs(const QString &program, const QStringList &args, int exitCode = 0)
{
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.start(program, args);
    const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                    process.exitCode() == exitCode;
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    if (!ok)
        fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
    return ok ? ms : -1.0;
}

// Peak resident memory of one run in MiB, through /usr/bin/time; 0 when
// that is not there.
double peakMiB(const QString &program, const QStringList &args)
{
    if (!QFileInfo(QStringLiteral("/usr/bin/time")).isExecutable())
        return 0;
    QTemporaryDir dir;
    const QString report = dir.filePath(QStringLiteral("peak"));
    QProcess process;
    process.start(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-f"), QStringLiteral("%M"),
                                                               QStringLiteral("-o"), report, program} +
                                                       args);
    process.waitForFinished(60000);
    QFile file(report);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return file.readAll().trimmed().split('\n').last().toDouble() / 1024.0;
}

// A command of ours beside xmllint --noout on the same file, one after the
// other in every iteration (xmllint only parses: the floor of any job that
// reads the file). The counters give both times, their ratio, and the peak
// memory of each with its ratio.
void cliBesideXmllint(benchmark::State &state, const QStringList &command)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty()) {
        state.SkipWithError("xmllint is missing (libxml2-utils)");
        return;
    }
    QTemporaryDir dir;
    const QString configuration = writeConfiguration(dir, kShapes[state.range(0)]);
    if (configuration.isEmpty()) {
        state.SkipWithError("cannot write the configuration");
        return;
    }
    const QString cli = cliProgram();
    const QStringList args = command + QStringList{dir.path()};
    const QStringList xmllintArgs{QStringLiteral("--noout"), configuration};
    double cliMs = 0;
    double xmllintMs = 0;
    for (auto _ : state) {
        const double x = runMs(xmllint, xmllintArgs);
        const double c = runMs(cli, args);
        if (x < 0 || c < 0) {
            state.SkipWithError("a run failed");
            return;
        }
        xmllintMs += x;
        cliMs += c;
    }
    const double n = double(state.iterations());
    state.counters["cli_ms"] = cliMs / n;
    state.counters["xmllint_ms"] = xmllintMs / n;
    state.counters["ratio"] = xmllintMs > 0 ? cliMs / xmllintMs : 0;
    state.counters["xml_bytes"] = double(QFileInfo(configuration).size());
    const double cliPeak = peakMiB(cli, args);
    const double xmllintPeak = peakMiB(xmllint, xmllintArgs);
    state.counters["cli_MiB"] = cliPeak;
    state.counters["xmllint_MiB"] = xmllintPeak;
    state.counters["mem_ratio"] = xmllintPeak > 0 ? cliPeak / xmllintPeak : 0;
}

// trenov5x-cli build (start, read, check, compile, write bank.bin
// atomically) against xmllint; the goal is at most 1.5 times.
void BM_CliBuildBesideXmllint(benchmark::State &state)
{
    cliBesideXmllint(state, {QStringLiteral("build")});
}
BENCHMARK(BM_CliBuildBesideXmllint)
    ->ArgName("short_rows")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

// trenov5x-cli check (start, read, load, the save-time checks) against
// xmllint; the goal is at most the same time.
void BM_CliCheckBesideXmllint(benchmark::State &state)
{
    cliBesideXmllint(state, {QStringLiteral("check")});
}
BENCHMARK(BM_CliCheckBesideXmllint)
    ->ArgName("short_rows")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

// The checked build of a file with a tenth of the short rows and with all of
// them, in process and in turns: "growth" is the time of the large over the
// small one, which stays at most 11 while the work is linear.
void BM_CheckedBuildGrowth(benchmark::State &state)
{
    QTemporaryDir small;
    QTemporaryDir large;
    const Shape shape = kShapes[1];
    if (writeConfiguration(small, {shape.rows / 10, shape.messages, true}).isEmpty() ||
        writeConfiguration(large, shape).isEmpty()) {
        state.SkipWithError("cannot write the configurations");
        return;
    }
    auto build = [](const QTemporaryDir &dir) {
        QElapsedTimer timer;
        timer.start();
        config::FileCheck check;
        const bool built = image::checkAndBuildImageFile(dir.filePath(QStringLiteral("Configuration.xml")),
                                                         image::imagePathFor(dir.path()), check)
                               .built();
        return built ? double(timer.nsecsElapsed()) / 1e6 : -1.0;
    };
    double smallMs = 0;
    double largeMs = 0;
    for (auto _ : state) {
        const double s = build(small);
        const double l = build(large);
        if (s < 0 || l < 0) {
            state.SkipWithError("a build failed");
            return;
        }
        smallMs += s;
        largeMs += l;
    }
    const double n = double(state.iterations());
    state.counters["small_ms"] = smallMs / n;
    state.counters["large_ms"] = largeMs / n;
    state.counters["growth"] = smallMs > 0 ? largeMs / smallMs : 0;
}
BENCHMARK(BM_CheckedBuildGrowth)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

// Compile only (the image would not fit past ~5,000 numbers): time per row
// must stay flat as the tables grow.
void BM_CompileScaling(benchmark::State &state)
{
    const int rows = int(state.range(0));
    const config::XmlParseResult parsed = config::xmltree::parse(largeConfiguration(rows, rows));
    for (auto _ : state)
        benchmark::DoNotOptimize(image::compileConfiguration(*parsed.root));
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_CompileScaling)->Arg(1000)->Arg(4000)->Arg(16000)->Arg(64000)->Unit(benchmark::kMillisecond);

} // namespace

// `bench_image --write-shapes DIR` writes the two shapes as DIR/long/ and
// DIR/short/Configuration.xml and ends, for profiles and scripts/bench_cli.sh.
int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--write-shapes") == 0) {
        for (const auto &[name, shape] : {std::pair{"long", kShapes[0]}, std::pair{"short", kShapes[1]}}) {
            const QString folder = QString::fromLocal8Bit(argv[2]) + u'/' + QLatin1String(name);
            QDir().mkpath(folder);
            QFile file(folder + QStringLiteral("/Configuration.xml"));
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(largeConfiguration(shape.rows, shape.messages, shape.shortMessages)) < 0)
                return 1;
        }
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
