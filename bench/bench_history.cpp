// The undo history over a configuration with 500 rows in each of its ten
// tables: the time of one recorded step, and the memory 1,000 steps keep
// (heap bytes in use after minus before, from malloc's own count).
#include "app/EditHistory.h"

#include <benchmark/benchmark.h>
#include <limits>
#include <malloc.h>

namespace {

config::SmsTable rows(int count, const QString &tag)
{
    QList<config::TableRow> list;
    for (int i = 0; i < count; ++i)
        list.append({QStringLiteral("%1 message %2 of the table, well over thirty chars").arg(tag).arg(i),
                     QStringLiteral("+3933312%1").arg(i, 5, 10, QLatin1Char('0')),
                     QStringLiteral("%1 user %2").arg(tag).arg(i)});
    config::SmsTable t;
    t.setRows(list);
    return t;
}

config::Configuration large()
{
    config::Configuration c;
    for (int d = 0; d < config::kDigitalInputs; ++d) {
        c.digitalInputs[d].f0t1.list = rows(500, QStringLiteral("DI%1 up").arg(d));
        c.digitalInputs[d].f1t0.list = rows(500, QStringLiteral("DI%1 down").arg(d));
    }
    c.analogInput.high.list = rows(500, QStringLiteral("high"));
    c.analogInput.low.list = rows(500, QStringLiteral("low"));
    for (int o = 0; o < config::kDigitalOutputs; ++o) {
        c.digitalOutputs[o].sms.list = rows(500, QStringLiteral("DO%1 sms").arg(o));
        c.digitalOutputs[o].call.list = rows(500, QStringLiteral("DO%1 call").arg(o));
    }
    return c;
}

// Step i of a session of edits: typing in a field, a check box, a cell of a
// table, a profile slot, in turn.
void edit(config::Configuration &c, int i)
{
    switch (i % 4) {
    case 0:
        c.pin = QString::number(i);
        break;
    case 1:
        c.dst = !c.dst;
        break;
    case 2:
        c.digitalInputs[0].f0t1.list.setCell(i % 500, 0, QStringLiteral("edited %1").arg(i));
        break;
    default:
        c.weeklyProfiles[0].days[i % 7][i % 48] = !c.weeklyProfiles[0].days[i % 7][i % 48];
        break;
    }
}

void BM_HistoryThousandSteps(benchmark::State &state)
{
    const config::Configuration start = large();
    double bytes = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        app::EditHistory<int> history;
        config::Configuration c = start;
        history.reset(c);
        for (int i = 0; i < 1000; ++i) {
            edit(c, i);
            history.record(c, i, {});
        }
        bytes = double(mallinfo2().uordblks - before);
        benchmark::DoNotOptimize(history.undoCount());
    }
    state.counters["kept_bytes"] = bytes;
    state.counters["bytes_per_step"] = bytes / 1000;
}
BENCHMARK(BM_HistoryThousandSteps)->Unit(benchmark::kMillisecond);

// 2,001 "Add SMS Row" steps on a table that grows from 300 rows: each step
// keeps its own copy of the growing row list. Arg 1: the history's own limit
// (the oldest steps dropped); arg 0: no limit, as the history once was.
void BM_HistoryAddRowsOnAGrowingTable(benchmark::State &state)
{
    config::Configuration start;
    start.digitalInputs[0].f0t1.list = rows(300, QStringLiteral("grow"));
    double bytes = 0;
    qsizetype kept = 0;
    qsizetype estimated = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        {
            app::EditHistory<int> history;
            if (state.range(0) == 0) {
                history.setLimit(1'000'000);
                history.setByteLimit(std::numeric_limits<qsizetype>::max());
            }
            config::Configuration c = start;
            history.reset(c);
            for (int i = 0; i < 2001; ++i) {
                c.digitalInputs[0].f0t1.list.appendRow();
                history.record(c, i, {});
            }
            bytes = double(mallinfo2().uordblks - before);
            kept = history.undoCount();
            estimated = history.bytesKept();
        }
    }
    state.counters["kept_bytes"] = bytes;
    state.counters["steps_kept"] = double(kept);
    state.counters["estimated_bytes"] = double(estimated);
}
BENCHMARK(BM_HistoryAddRowsOnAGrowingTable)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(1);

// The whole configuration copied deep once, for scale: what a history of
// full copies would keep per step.
void BM_DeepCopyOfTheRecord(benchmark::State &state)
{
    const config::Configuration start = large();
    double bytes = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        config::Configuration c = start;
        for (auto *t :
             {&c.digitalInputs[0].f0t1.list, &c.digitalInputs[0].f1t0.list, &c.digitalInputs[1].f0t1.list,
              &c.digitalInputs[1].f1t0.list, &c.analogInput.high.list, &c.analogInput.low.list,
              &c.digitalOutputs[0].sms.list, &c.digitalOutputs[0].call.list, &c.digitalOutputs[1].sms.list,
              &c.digitalOutputs[1].call.list}) {
            for (int r = 0; r < t->rowCount(); ++r)
                t->setCell(r, 0, QString(t->row(r)[0].data(), t->row(r)[0].size()));
        }
        bytes = double(mallinfo2().uordblks - before);
        benchmark::DoNotOptimize(c.pin);
    }
    state.counters["bytes"] = bytes;
}
BENCHMARK(BM_DeepCopyOfTheRecord)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
