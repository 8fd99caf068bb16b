// Time-rank analysis and the batch prediction.
#include "fixture.h"

#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "predict/zorb.h"
#include "common/settings.h"
#include "timerank/analysis.h"
#include "timerank/racelisttr.h"
#include "timerank/timerankfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
using namespace korvin;
using bench::BenchHome;

// Arg 0: the demo day's file (36 races). Arg n > 1: the day repeated n times
// (a file the race list would not take whole, to see how the index grows).
QString timeRankFile(int copies)
{
    const BenchHome &h = bench::demoHome();
    if (copies <= 1)
        return h.timeRankPath;
    const QString path = h.folder + QStringLiteral("TimeRank/TRa_x%1.txt").arg(copies);
    if (!QFile::exists(path)) {
        const QStringList day = *platform::readLines(h.timeRankPath);
        QStringList lines;
        for (int i = 0; i < copies; ++i)
            lines += day;
        platform::writeLines(path, lines);
    }
    return path;
}

// Reading the file and indexing its race blocks, no payouts.
void BM_TimeRankReadLines(benchmark::State &state)
{
    const QString path = timeRankFile(int(state.range(0)));
    size_t races = 0;
    for (auto _ : state) {
        const timerank::TimeRankLines f = timerank::ReadTimeRankLines(path);
        races = f.raceStarts.size();
        benchmark::DoNotOptimize(races);
    }
    state.counters["races"] = double(races);
}
BENCHMARK(BM_TimeRankReadLines)->Arg(1)->Arg(10)->Arg(40)->Unit(benchmark::kMicrosecond);

// The same file through the plain line reader: the share of decoding and
// line splitting in the index build.
void BM_TimeRankPart_ReadFile(benchmark::State &state)
{
    const QString path = timeRankFile(int(state.range(0)));
    qsizetype lines = 0;
    for (auto _ : state) {
        lines = platform::readLines(path)->size();
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = double(lines);
    state.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_TimeRankPart_ReadFile)->Arg(1)->Arg(10)->Arg(40)->Unit(benchmark::kMicrosecond);

// Opening the analysis on a file: read, index, read every block, payouts of race 1.
void BM_TimeRankOpen(benchmark::State &state)
{
    bench::useHome(bench::demoHome());
    const QString path = timeRankFile(int(state.range(0)));
    int races = 0;
    for (auto _ : state) {
        timerank::TimeRankAnalysis model;
        model.open(path, 0, common::Settings);
        races = model.raceCount();
        benchmark::DoNotOptimize(races);
    }
    state.counters["races"] = races;
}
BENCHMARK(BM_TimeRankOpen)->Arg(1)->Arg(10)->Arg(40)->Unit(benchmark::kMillisecond);

// "Next" through every race of an open file (each move shows its payouts).
void BM_TimeRankMoveThroughAll(benchmark::State &state)
{
    bench::useHome(bench::demoHome());
    timerank::TimeRankAnalysis model;
    model.open(timeRankFile(1), 0, common::Settings);
    for (auto _ : state) {
        model.showRace(0);
        for (int i = 1; i < model.raceCount(); ++i) {
            qint16 direction = 1;
            benchmark::DoNotOptimize(model.TRMoveRace(direction));
        }
        benchmark::DoNotOptimize(model.cell(0).size());
    }
    state.counters["races"] = model.raceCount();
    state.counters["per_move"] = benchmark::Counter(double(state.iterations() * (model.raceCount() - 1)),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_TimeRankMoveThroughAll)->Unit(benchmark::kMillisecond);

// The analysis model of one race: its block read into headers and 120 cells.
void BM_TimeRankReadRaceBlock(benchmark::State &state)
{
    const timerank::TimeRankLines f = timerank::ReadTimeRankLines(timeRankFile(1));
    const int r = int(f.raceStarts.size() / 2);
    const int start = f.raceStarts[r];
    const int end = f.raceStarts[r + 1];
    for (auto _ : state) {
        const timerank::TimeRankRace race = timerank::ReadRaceBlock(f.lines, start, end, int(state.range(0)));
        benchmark::DoNotOptimize(race.groupsRead);
    }
}
BENCHMARK(BM_TimeRankReadRaceBlock)->Arg(0)->Arg(5)->Unit(benchmark::kMicrosecond);

// Showing one race of an open file: the payouts named by its header.
void BM_TimeRankShowRace(benchmark::State &state)
{
    bench::useHome(bench::demoHome());
    timerank::TimeRankAnalysis model;
    model.open(timeRankFile(1), 0, common::Settings);
    const int r = model.raceCount() / 2;
    for (auto _ : state) {
        model.showRace(r);
        benchmark::DoNotOptimize(model.payouts().shown);
    }
}
BENCHMARK(BM_TimeRankShowRace)->Unit(benchmark::kMicrosecond);

// The time-rank race list of a file.
void BM_TimeRankRaceList(benchmark::State &state)
{
    const QString path = timeRankFile(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(timerank::LoadRaceList(path).totalRaces());
}
BENCHMARK(BM_TimeRankRaceList)->Unit(benchmark::kMicrosecond);

// The batch prediction over the whole file into a fresh Zorb.txt, as the
// window runs it: race list count, open, then every race scored (the
// parameter file is read by the run itself).
void BM_BatchPrediction(benchmark::State &state)
{
    const BenchHome &h = bench::demoHome();
    bench::useHome(h);
    QTemporaryDir out;
    const QString zorb = out.filePath(QStringLiteral("Zorb.txt"));
    const predict::ZorbSettings settings;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(zorb);
        state.ResumeTiming();
        const int races = timerank::LoadRaceList(h.timeRankPath).totalRaces();
        timerank::TimeRankAnalysis model;
        model.open(h.timeRankPath, 0, common::Settings);
        predict::RunBatchPrediction(model, races, settings, zorb, platform::dialogs());
    }
    state.counters["zorb_bytes"] = double(QFileInfo(zorb).size());
}
BENCHMARK(BM_BatchPrediction)->Unit(benchmark::kMillisecond);

// The run alone on an open model (parameter file read, scoring, Zorb output).
void BM_BatchPredictionRunOnly(benchmark::State &state)
{
    const BenchHome &h = bench::demoHome();
    bench::useHome(h);
    QTemporaryDir out;
    const QString zorb = out.filePath(QStringLiteral("Zorb.txt"));
    const predict::ZorbSettings settings;
    const int races = timerank::LoadRaceList(h.timeRankPath).totalRaces();
    timerank::TimeRankAnalysis model;
    model.open(h.timeRankPath, 0, common::Settings);
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(zorb);
        model.showRace(0);
        state.ResumeTiming();
        predict::RunBatchPrediction(model, races, settings, zorb, platform::dialogs());
    }
}
BENCHMARK(BM_BatchPredictionRunOnly)->Unit(benchmark::kMillisecond);

// Reading "Korvin.trp" (1600 records) into the parameter table.
void BM_LoadTRParaFile(benchmark::State &state)
{
    bench::useHome(bench::demoHome());
    std::vector<predict::TRParaRecord> table;
    for (auto _ : state)
        benchmark::DoNotOptimize(predict::LoadTRParaFile(table));
}
BENCHMARK(BM_LoadTRParaFile)->Unit(benchmark::kMicrosecond);

// One 249-byte record cut into its 125 fields.
void BM_TRParaRecordFromBytes(benchmark::State &state)
{
    bench::useHome(bench::demoHome());
    QFile f(predict::TRParaPath());
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.read(predict::kTRParaRecordSize * 100).right(predict::kTRParaRecordSize);
    for (auto _ : state)
        benchmark::DoNotOptimize(predict::TRParaRecord::fromBytes(bytes).KeyPlace.size());
}
BENCHMARK(BM_TRParaRecordFromBytes)->Unit(benchmark::kMicrosecond);

// Scoring and ordering one race.
void BM_ScoreOneRace(benchmark::State &state)
{
    bench::useHome(bench::demoHome());
    std::vector<predict::TRParaRecord> table;
    predict::LoadTRParaFile(table);
    timerank::TimeRankAnalysis model;
    model.open(timeRankFile(1), 0, common::Settings);
    model.showRace(model.raceCount() / 2);
    const predict::RaceCondition c = predict::ParseRaceCondition(model.header(0), model.header(1));
    const int i = predict::FindParameters(table, c.meetingDateKey.left(2), c.cls.code, c.trackKey, c.distanceKey);
    const predict::TRParaRecord rec = i >= 0 ? table[i] : table[0];
    for (auto _ : state)
        benchmark::DoNotOptimize(predict::OrderText(predict::ScoreHorses(model.horses(), rec)));
}
BENCHMARK(BM_ScoreOneRace)->Unit(benchmark::kMicrosecond);

// The parts of it: the scores of the 120 cells, then the order of the 18 horses.
void BM_ScoreHorsesOnly(benchmark::State &state)
{
    bench::useHome(bench::demoHome());
    std::vector<predict::TRParaRecord> table;
    predict::LoadTRParaFile(table);
    timerank::TimeRankAnalysis model;
    model.open(timeRankFile(1), 0, common::Settings);
    model.showRace(model.raceCount() / 2);
    const predict::TRParaRecord rec = table[0];
    for (auto _ : state)
        benchmark::DoNotOptimize(predict::ScoreHorses(model.horses(), rec)[0]);
}
BENCHMARK(BM_ScoreHorsesOnly)->Unit(benchmark::kMicrosecond);

void BM_OrderTextOnly(benchmark::State &state)
{
    const std::array<int, 18> scores{5, 12, 0, 7, 7, 30, 1, 0, 22, 9, 9, 4, 18, 3, 0, 11, 6, 2};
    for (auto _ : state)
        benchmark::DoNotOptimize(predict::OrderText(scores).size());
}
BENCHMARK(BM_OrderTextOnly)->Unit(benchmark::kMicrosecond);

} // namespace
