// Race-card analysis: the CSV splitter, the race table, the data list.
#include "fixture.h"

#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racecard/csvfields.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "common/settings.h"

#include <QFileInfo>
#include <benchmark/benchmark.h>

namespace {
using namespace korvin;
using bench::BenchHome;

const BenchHome &homeOf(const benchmark::State &state)
{
    return state.range(0) ? bench::fullHome() : bench::demoHome();
}

void setLabel(benchmark::State &state, const BenchHome &h)
{
    state.SetLabel((state.range(0) ? "full day, " : "demo day, ") + std::to_string(h.runners) + " runners");
}

// SplitCsvLine over every line of the race-card file; time per line.
void BM_SplitCsvLine(benchmark::State &state)
{
    const BenchHome &h = homeOf(state);
    const QStringList lines = *platform::readLines(h.csvPath);
    qint64 chars = 0;
    for (const QString &l : lines)
        chars += l.size();
    racecard::CsvFields fields;
    for (auto _ : state) {
        for (const QString &l : lines)
            racecard::SplitCsvLine(l, fields);
        benchmark::DoNotOptimize(fields[0].size());
    }
    state.SetItemsProcessed(state.iterations() * lines.size());
    state.counters["per_line"] = benchmark::Counter(double(state.iterations() * lines.size()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["chars_per_line"] = double(chars) / lines.size();
    setLabel(state, h);
}
BENCHMARK(BM_SplitCsvLine)->Arg(0)->Arg(1);

// The race list as the file selection builds it: read the table, then the
// course buttons and the race buttons of each course.
void BM_RaceListBuild(benchmark::State &state)
{
    const BenchHome &h = homeOf(state);
    for (auto _ : state) {
        const racecard::RaceTableRead read = racecard::ReadRaceTable(h.csvPath);
        const auto courses = racecard::CourseButtons(read.table);
        for (const auto &c : courses)
            if (c.enabled)
                benchmark::DoNotOptimize(racecard::RacesOfCourse(read.table, c.code));
        benchmark::DoNotOptimize(read.table.raceCount);
    }
    setLabel(state, h);
}
BENCHMARK(BM_RaceListBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

std::vector<racecard::RaceContext> contexts(const BenchHome &h)
{
    bench::useHome(h);
    const racecard::RaceTableRead read = racecard::ReadRaceTable(h.csvPath);
    std::vector<racecard::RaceContext> out;
    for (int j = 0; j < read.table.raceCount; ++j) {
        racecard::RaceContext ctx;
        ctx.csvPath = h.csvPath;
        ctx.csvName = h.csvName;
        ctx.race = racing::RaceIdOfKey(read.table.RaceKeys[j]);
        ctx.caption = racecard::RaceCaption(read.table, j);
        ctx.settings = common::Settings;
        ctx.readMarks = true;
        out.push_back(ctx);
    }
    return out;
}

// One race's data list: race-card rows, VTX columns, payouts and marks.
void BM_LoadDataListOneRace(benchmark::State &state)
{
    const BenchHome &h = homeOf(state);
    const auto all = contexts(h);
    const racecard::RaceContext &ctx = all[all.size() / 2 + 10]; // 11R of the middle course
    // The first load creates the mark file; its result shows that every part was found.
    const racecard::DataListModel first = racecard::LoadDataList(ctx);
    for (auto _ : state) {
        const racecard::DataListModel m = racecard::LoadDataList(ctx);
        benchmark::DoNotOptimize(m.runnerCount);
    }
    state.counters["rows"] = first.runnerCount;
    state.counters["vtx"] = first.vtxFound;
    state.counters["payouts"] = first.payouts.shown;
    setLabel(state, h);
}
BENCHMARK(BM_LoadDataListOneRace)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Every race of the day, as the verification report loads them.
void BM_LoadDataListAllRaces(benchmark::State &state)
{
    const BenchHome &h = homeOf(state);
    const auto all = contexts(h);
    for (const auto &ctx : all)
        racecard::LoadDataList(ctx);
    for (auto _ : state) {
        int rows = 0;
        for (const auto &ctx : all)
            rows += racecard::LoadDataList(ctx).runnerCount;
        benchmark::DoNotOptimize(rows);
    }
    state.counters["races"] = double(all.size());
    setLabel(state, h);
}
BENCHMARK(BM_LoadDataListAllRaces)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The parts of one data-list load, to see where its time goes.
void BM_DataListPart_ReadCsvFile(benchmark::State &state)
{
    const BenchHome &h = homeOf(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::readLines(h.csvPath)->size());
    state.counters["bytes"] = double(QFileInfo(h.csvPath).size());
    setLabel(state, h);
}
BENCHMARK(BM_DataListPart_ReadCsvFile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DataListPart_ReadVtxFile(benchmark::State &state)
{
    const BenchHome &h = homeOf(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::readLines(h.vtxPath)->size());
    state.counters["bytes"] = double(QFileInfo(h.vtxPath).size());
    setLabel(state, h);
}
BENCHMARK(BM_DataListPart_ReadVtxFile)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_DataListPart_Payouts(benchmark::State &state)
{
    const BenchHome &h = homeOf(state);
    const auto all = contexts(h);
    const racecard::RaceContext &ctx = all[all.size() / 2 + 10];
    for (auto _ : state) {
        racing::PayoutArea area;
        const QString &c = ctx.caption;
        const QString file =
            racing::PayoutFileName(ctx.settings.SData, c.mid(0, 2), platform::toHalfWidth(c.mid(4, 1)), c.mid(6, 2));
        racing::FillPayoutArea(area, file, platform::toHalfWidth(c.mid(8, 1)), c.mid(12, 2));
        benchmark::DoNotOptimize(area.shown);
    }
    setLabel(state, h);
}
BENCHMARK(BM_DataListPart_Payouts)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {
using namespace korvin;

// Finding one race's horse lines in the already read VTX text.
void BM_DataListPart_VtxBlock(benchmark::State &state)
{
    const bench::BenchHome &h = state.range(0) ? bench::fullHome() : bench::demoHome();
    const QStringList lines = *platform::readLines(h.vtxPath);
    const auto &course = h.day.courses[1];
    for (auto _ : state)
        benchmark::DoNotOptimize(racecard::ReadVtxBlock(lines, course.name, 11).size());
    state.counters["lines"] = double(lines.size());
}
BENCHMARK(BM_DataListPart_VtxBlock)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
