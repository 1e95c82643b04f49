// The configuration sheet of a configuration with 300 table rows: the report
// model, its HTML and its PDF (laid out twice, to print "n / N").
#include "config/ConfigurationFile.h"
#include "lang/LanguageTexts.h"
#include "report/HtmlSheet.h"
#include "pdf/PdfSheet.h"
#include "report/SheetBuilder.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

// 300 rows over the six input tables and the four output tables, every
// event on.
config::Configuration configurationWithRows(int rows)
{
    config::Configuration c;
    c.setNewDefaults();
    QList<config::SmsTable *> inputs;
    for (config::DigitalInput &d : c.digitalInputs) {
        for (config::InputEvent *e : {&d.f0t1, &d.f1t0}) {
            e->enSms = true;
            e->timeDelay = QStringLiteral("100");
            inputs.append(&e->list);
        }
    }
    for (config::AnalogThreshold *a : {&c.analogInput.high, &c.analogInput.low}) {
        a->enSms = true;
        a->value = QStringLiteral("5");
        a->valueHys = QStringLiteral("4.5");
        a->timeDelay = QStringLiteral("100");
        inputs.append(&a->list);
    }
    QList<config::SmsTable *> outputs;
    for (config::DigitalOutput &o : c.digitalOutputs) {
        o.sms.enable = o.sms.set = o.sms.reset = true;
        o.call.enable = true;
        o.call.ringNumber = QStringLiteral("2");
        o.call.hangUpRing = QStringLiteral("4");
        outputs.append(&o.sms.list);
        outputs.append(&o.call.list);
    }
    const int perTable = rows / int(inputs.size() + outputs.size());
    int row = 0;
    for (config::SmsTable *t : inputs) {
        QList<config::TableRow> list;
        for (int i = 0; i < perTable; ++i, ++row)
            list.append({QStringLiteral("Alarm %1 on the north gate, call the guard at once").arg(row),
                         QStringLiteral("+39%1").arg(3000000000LL + row * 7919LL),
                         QStringLiteral("Guard %1").arg(row)});
        t->setRows(list);
    }
    for (config::SmsTable *t : outputs) {
        QList<config::TableRow> list;
        for (int i = 0; i < perTable; ++i, ++row)
            list.append({QStringLiteral("+39%1").arg(3000000000LL + row * 7919LL), QString::number(row % 7),
                         QStringLiteral("User %1").arg(row)});
        t->setRows(list);
    }
    return c;
}

report::Report sheet()
{
    static const lang::LanguageTexts texts;
    const config::Configuration c = configurationWithRows(300);
    report::SheetOptions options;
    options.configurationName = QStringLiteral("Bench");
    options.date = QDateTime::currentDateTime();
    options.programVersion = QStringLiteral("1.0.0");
    options.configurationXml = config::serializeConfiguration(c);
    return report::buildSheet(c, texts, options);
}

void BM_SheetModel300Rows(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(sheet());
}
BENCHMARK(BM_SheetModel300Rows)->Unit(benchmark::kMillisecond);

void BM_SheetHtml300Rows(benchmark::State &state)
{
    const report::Report r = sheet();
    for (auto _ : state)
        benchmark::DoNotOptimize(report::renderHtml(r));
}
BENCHMARK(BM_SheetHtml300Rows)->Unit(benchmark::kMillisecond);

void BM_SheetPdf300Rows(benchmark::State &state)
{
    const report::Report r = sheet();
    qsizetype size = 0;
    for (auto _ : state) {
        const QByteArray pdf = report::renderPdf(r, report::Paper::A4);
        size = pdf.size();
    }
    state.counters["bytes"] = double(size);
}
BENCHMARK(BM_SheetPdf300Rows)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
