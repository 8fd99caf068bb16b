// Horse marks, fixed-width Shift-JIS text and CP932 conversion.
#include "fixture.h"

#include "demofiles.h"

#include "platform/sjis.h"
#include "racing/codetables.h"
#include "racing/horsemarks.h"
#include "common/settings.h"

#include <benchmark/benchmark.h>

namespace {
using namespace korvin;

QString markKey()
{
    const bench::BenchHome &h = bench::demoHome();
    bench::useHome(h);
    return bench::raceKeys(h).value(20);
}

void BM_ReadHorseMarks(benchmark::State &state)
{
    const QString key = markKey();
    racing::ReadHorseMarks(key, common::Settings.MData); // creates the file
    for (auto _ : state)
        benchmark::DoNotOptimize(racing::ReadHorseMarks(key, common::Settings.MData));
}
BENCHMARK(BM_ReadHorseMarks)->Unit(benchmark::kMicrosecond);

// The atomic rewrite: read the 96 lines, replace one, write ".new", rename.
void BM_WriteHorseMarks(benchmark::State &state)
{
    const QString key = markKey();
    racing::ReadHorseMarks(key, common::Settings.MData);
    const QString marks[2] = {QStringLiteral("◎○▲△  ×                            "),
                              QStringLiteral("  ◎  ○▲  △                        ")};
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(racing::WriteHorseMarks(marks[++i & 1], key, common::Settings.MData));
}
BENCHMARK(BM_WriteHorseMarks)->Unit(benchmark::kMicrosecond);

// A time-rank entry line: kanji, katakana and digits, as the lists cut them.
const QString &mixedLine()
{
    static const QString line =
        QStringLiteral(" 1  5 ヤマノサクラ     牡4 56.0 横山典 2000. 5.27 東京 芝1800m 良  1.47.3 34.5  98 ");
    return line;
}

void BM_SjisLength(benchmark::State &state)
{
    const QString text = state.range(0) ? bench::sampleText(100 * 1024) : mixedLine();
    for (auto _ : state)
        benchmark::DoNotOptimize(racing::SjisLength(text));
    state.SetBytesProcessed(state.iterations() * platform::toSjis(text).size());
    state.SetLabel(state.range(0) ? "100 KB text" : "one line");
}
BENCHMARK(BM_SjisLength)->Arg(0)->Arg(1);

// Cut 20 bytes from byte 11 (a double-byte character split at both ends).
void BM_SjisMid(benchmark::State &state)
{
    const QString text = state.range(0) ? bench::sampleText(100 * 1024) : mixedLine();
    const qint32 start = state.range(0) ? qint32(platform::toSjis(text).size() / 2) : 11;
    for (auto _ : state)
        benchmark::DoNotOptimize(racing::SjisMid(text, start, 20));
    state.SetLabel(state.range(0) ? "20 bytes from the middle of 100 KB" : "20 bytes of one line");
}
BENCHMARK(BM_SjisMid)->Arg(0)->Arg(1);

void BM_Cp932Encode100KB(benchmark::State &state)
{
    const QString text = bench::sampleText(100 * 1024);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray b = platform::toSjis(text);
        bytes = b.size();
        benchmark::DoNotOptimize(b.data());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_Cp932Encode100KB)->Unit(benchmark::kMicrosecond);

void BM_Cp932Decode100KB(benchmark::State &state)
{
    const QByteArray bytes = platform::toSjis(bench::sampleText(100 * 1024));
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::fromSjis(bytes).size());
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_Cp932Decode100KB)->Unit(benchmark::kMicrosecond);

void BM_ToHalfWidth(benchmark::State &state)
{
    const QString text = mixedLine();
    for (auto _ : state)
        benchmark::DoNotOptimize(platform::toHalfWidth(text).size());
}
BENCHMARK(BM_ToHalfWidth);

} // namespace

#include "common/helpers.h"
#include "timerank/timerankfile.h"

namespace {
using namespace korvin;

// The number reader behind every figure, interval and score (a pattern match
// per call).
void BM_TextToInt(benchmark::State &state)
{
    const QString texts[4] = {QStringLiteral("98"), QStringLiteral(" 5"), QStringLiteral("52.3"), QString()};
    int i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(common::TextToInt(texts[++i & 3]));
}
BENCHMARK(BM_TextToInt);

// One ranking cell of a time-rank entry line (half-width conversion included).
void BM_TimeRankCellText(benchmark::State &state)
{
    const QStringList lines = demodata::timeRankLines(bench::demoHome().day, 0);
    QString entry;
    for (const QString &l : lines)
        if (l.size() > 30 && l.at(0) == QLatin1Char(' ')) {
            entry = l;
            break;
        }
    for (auto _ : state)
        benchmark::DoNotOptimize(timerank::CellText(entry, 0));
}
BENCHMARK(BM_TimeRankCellText);

} // namespace
