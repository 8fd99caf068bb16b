// The host runs: splitting a day's time-rank export, and what a pause costs.
#include "host/runner.h"
#include "host/timeranksplit.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "support/hostexport.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <sys/resource.h>

namespace {
using namespace korvin;

QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

// What the host writes for a day of three courses x 12 races: 36 sections per
// race, every ranking listing 16 runners.
const QString &exportFile()
{
    static const QString path = [] {
        QStringList lines;
        for (const char16_t *course : {u"東京", u"京都", u"福島"}) {
            for (int r = 1; r <= 12; ++r) {
                test::ExportRacePlan p;
                p.dateLine = QStringLiteral("2000年 6月10日(土) 3回%14日目").arg(QString::fromUtf16(course));
                p.raceLabel = (r < 10 ? QString(QChar(u'０' + r)) : QString::number(r)) + QStringLiteral("Ｒ");
                p.rows = [](int) { return 16; };
                lines << test::exportRace(p);
            }
        }
        const QString file = scratch().path() + QStringLiteral("/TimeRank.txt");
        platform::writeLines(file, lines);
        return file;
    }();
    return path;
}

qint64 fileBytes() { return QFile(exportFile()).size(); }

void BM_SplitTimeRankExport(benchmark::State &state)
{
    const QString out = scratch().path() + QStringLiteral("/");
    int races = 0;
    for (auto _ : state) {
        const host::SplitResult r = host::SplitTimeRankText(exportFile(), out, 0);
        races = r.races;
        benchmark::DoNotOptimize(races);
    }
    state.counters["races"] = races;
    state.SetBytesProcessed(state.iterations() * fileBytes());
}
BENCHMARK(BM_SplitTimeRankExport)->Unit(benchmark::kMillisecond);

// The yardstick: the same file read and decoded by ICU, nothing else.
void BM_DecodeTimeRankExportIcu(benchmark::State &state)
{
    for (auto _ : state) {
        QFile f(exportFile());
        f.open(QIODevice::ReadOnly);
        const QString text = platform::fromSjis(f.readAll());
        benchmark::DoNotOptimize(text.size());
    }
    state.SetBytesProcessed(state.iterations() * fileBytes());
}
BENCHMARK(BM_DecodeTimeRankExportIcu)->Unit(benchmark::kMillisecond);

// For comparison: decoding and splitting every line, as the line reader does.
void BM_ReadLinesTimeRankExport(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::readLines(exportFile())->size());
    state.SetBytesProcessed(state.iterations() * fileBytes());
}
BENCHMARK(BM_ReadLinesTimeRankExport)->Unit(benchmark::kMillisecond);

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// CPU taken by a 3-second pause of a run (it processes events and sleeps
// between checks), as a share of one core.
void BM_WaitSecondsCpu(benchmark::State &state)
{
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double c0 = cpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        host::WaitSeconds(3);
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        cpu += cpuSeconds() - c0;
    }
    state.counters["cpu_percent_of_core"] = 100.0 * cpu / wall;
    state.counters["cpu_ms"] = 1000.0 * cpu / double(state.iterations());
}
BENCHMARK(BM_WaitSecondsCpu)->Iterations(2)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
