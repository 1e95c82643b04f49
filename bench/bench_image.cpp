// Building bank.bin from a large Configuration.xml: the whole build beside
// the mere parse of the same file, the command-line build beside xmllint,
// and how the compile grows with the number of distinct phone numbers
// (intern must stay linear in practice).
#include "config/XmlTree.h"
#include "image/DeviceImageBuild.h"
#include "image/ImageBuilder.h"
#include "image/ImageWriter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamWriter>
#include <benchmark/benchmark.h>

namespace {

// A configuration whose input tables hold `rows` rows in all, each with its own
// phone number, cycling through `messages` distinct messages of 64 characters.
QByteArray largeConfiguration(int rows, int messages)
{
    QByteArray out;
    QXmlStreamWriter w(&out);
    auto leaf = [&](const char *name, const QString &text) { w.writeTextElement(QLatin1String(name), text); };
    auto slotsOff = [&] {
        for (int i = 0; i < 48; ++i)
            leaf("Time_Slot", QStringLiteral("0"));
    };
    const int perTable = (rows + 5) / 6;
    int row = 0;
    auto table = [&](const char *name) {
        w.writeStartElement(QLatin1String(name));
        for (int i = 0; i < perTable && row < rows; ++i, ++row) {
            w.writeStartElement(QStringLiteral("SMS"));
            leaf("Message", QStringLiteral("Alarm %1 ").arg(row % messages).leftJustified(64, u'.'));
            leaf("Phone_Number", QStringLiteral("+39%1").arg(3000000000LL + row * 7919LL));
            leaf("Description", QStringLiteral("row %1").arg(row));
            w.writeEndElement();
        }
        w.writeEndElement();
    };
    w.writeStartElement(QStringLiteral("Configuration"));
    w.writeStartElement(QStringLiteral("Phone_Setting"));
    leaf("PIN", QStringLiteral("1234"));
    leaf("DST", QStringLiteral("1"));
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("Input"));
    w.writeStartElement(QStringLiteral("Digital"));
    for (int n = 1; n <= 2; ++n) {
        w.writeStartElement(QStringLiteral("Digital_Input_%1").arg(n));
        for (const char *edge : {"F0T1", "F1T0"}) {
            leaf(QByteArray("En_SMS_").append(edge).constData(), QStringLiteral("1"));
            leaf(QByteArray("Time_Delay_").append(edge).constData(), QStringLiteral("100"));
            table(QByteArray("List_SMS_").append(edge).constData());
        }
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("Analog"));
    w.writeStartElement(QStringLiteral("Analog_Input_1"));
    for (const char *side : {"High", "Low"}) {
        leaf(QByteArray("En_SMS_").append(side).constData(), QStringLiteral("1"));
        leaf(QByteArray("Value_").append(side).constData(), QStringLiteral("5,5"));
        leaf(QByteArray("Time_Delay_").append(side).constData(), QStringLiteral("100"));
        leaf(QByteArray("Value_").append(side).append("_Hys").constData(), QStringLiteral("5"));
        table(QByteArray("List_SMS_").append(side).constData());
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement(); // Input
    w.writeStartElement(QStringLiteral("Output"));
    w.writeStartElement(QStringLiteral("Digital"));
    for (int n = 1; n <= 2; ++n) {
        w.writeStartElement(QStringLiteral("Digital_Output_%1").arg(n));
        w.writeStartElement(QStringLiteral("SMS"));
        for (const char *flag : {"Enable_from_SMS", "Check_Phone_Number_from_SMS", "Check_Password_from_SMS"})
            leaf(flag, QStringLiteral("0"));
        w.writeEndElement();
        w.writeStartElement(QStringLiteral("CALL"));
        leaf("Enable_from_CALL", QStringLiteral("0"));
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement(); // Output
    w.writeStartElement(QStringLiteral("Date_Time_Profile"));
    w.writeStartElement(QStringLiteral("Profile"));
    w.writeStartElement(QStringLiteral("Weekly"));
    for (int n = 1; n <= 3; ++n) {
        w.writeStartElement(QStringLiteral("Week%1").arg(n));
        leaf("Enable_Week", QStringLiteral("1"));
        w.writeStartElement(QStringLiteral("Time_Slots"));
        for (const char *day :
             {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"}) {
            w.writeStartElement(QLatin1String(day));
            slotsOff();
            w.writeEndElement();
        }
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("Daily"));
    for (int n = 1; n <= 3; ++n) {
        w.writeStartElement(QStringLiteral("Day%1").arg(n));
        leaf("Enable_Day", QStringLiteral("1"));
        w.writeStartElement(QStringLiteral("Time_Slots"));
        slotsOff();
        w.writeEndElement();
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    w.writeEndElement();
    return out;
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

// The command a user runs beside a plain XML parser on the same file, one
// after the other in every iteration: trenov5x-cli build (start, parse,
// compile, write bank.bin atomically) against xmllint --noout (start, parse).
// The counters give both times and their ratio; the build should stay at
// most 1.5 times the parse.
void BM_CliBuildBesideXmllint(benchmark::State &state)
{
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (xmllint.isEmpty()) {
        state.SkipWithError("xmllint is missing (libxml2-utils)");
        return;
    }
    QTemporaryDir dir;
    const QString configuration = dir.filePath(QStringLiteral("Configuration.xml"));
    QFile file(configuration);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(largeConfiguration(kNearCapacityRows, kNearCapacityMessages)) < 0)
        state.SkipWithError("cannot write the configuration");
    file.close();
    const QString cli = QStringLiteral(TRENOV5X_PROGRAM_DIR "/trenov5x-cli");
    auto run = [](const QString &program, const QStringList &args) {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start(program, args);
        const bool ok = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit &&
                        process.exitCode() == 0;
        return ok ? double(timer.nsecsElapsed()) / 1e6 : -1.0;
    };
    double cliMs = 0;
    double xmllintMs = 0;
    for (auto _ : state) {
        const double x = run(xmllint, {QStringLiteral("--noout"), configuration});
        const double c = run(cli, {QStringLiteral("build"), dir.path()});
        if (x < 0 || c < 0) {
            state.SkipWithError("a run failed");
            break;
        }
        xmllintMs += x;
        cliMs += c;
    }
    const double n = double(state.iterations());
    state.counters["cli_ms"] = cliMs / n;
    state.counters["xmllint_ms"] = xmllintMs / n;
    state.counters["ratio"] = xmllintMs > 0 ? cliMs / xmllintMs : 0;
    state.counters["xml_bytes"] = double(QFileInfo(configuration).size());
}
BENCHMARK(BM_CliBuildBesideXmllint)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

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

BENCHMARK_MAIN();
