// A time-rank file: its race blocks, the race list, the analysis window's
// stepping and the batch prediction over it. The first byte picks the
// ranking kind; the rest is the file.
#include "fuzzsupport.h"
#include "platform/dialogs.h"
#include "predict/trpara.h"
#include "predict/zorb.h"
#include "timerank/analysis.h"
#include "timerank/racelisttr.h"
#include "timerank/timerankfile.h"

#include <QFile>

#include <algorithm>

using namespace korvin;
using namespace korvin::timerank;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Points for the conditions of the seeds' courses (新潟, and 東京's 未勝利):
    // the batch run reads the file for every input, so it is kept short.
    std::array<QString, predict::kParaBoxes> boxes;
    for (int i = 0; i < predict::kParaBoxes; ++i)
        boxes[size_t(i)] = QString::number(i % 7);
    QByteArray trp;
    for (int n = 0; n < predict::kConditions; ++n) {
        if (n / 160 != 2 && n / 16 != 4 * 10 + 2)
            continue;
        predict::TRParaRecord r;
        predict::GivePositionKeys(r, n);
        predict::StoreBoxes(r, boxes);
        r.Filler = "\r\n";
        trp += r.toBytes();
    }
    fuzz::scratch();
    fuzz::putFile(QStringLiteral("Korvin.trp"), trp);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int kind = data[0] % kKinds;
    const QString path = fuzz::putFile(QStringLiteral("TRa20000610.txt"), fuzz::bytesOf(data + 1, size - 1));
    const TimeRankLines f = ReadTimeRankLines(path);
    FUZZ_CHECK(f.opened);
    FUZZ_CHECK(f.raceStarts.size() <= size_t(kMaxRaceBlocks));
    FUZZ_CHECK(std::is_sorted(f.raceStarts.begin(), f.raceStarts.end()));
    FUZZ_CHECK(f.blocksLeftOut == 0 || f.raceStarts.size() == size_t(kMaxRaceBlocks));
    for (size_t r = 0; r < f.raceStarts.size() && r < 8; ++r) {
        const int start = f.raceStarts[r];
        const int end = r + 1 < f.raceStarts.size() ? f.raceStarts[r + 1] : int(f.lines.size());
        FUZZ_CHECK(IsRaceHeader(f.lines[start]) && start < end);
        const TimeRankRace race = ReadRaceBlock(f.lines, start, end, kind);
        FUZZ_CHECK(race.groupsRead >= 0 && race.groupsRead <= kGroups);
        // A block reads nothing of the lines around it.
        const TimeRankRace alone = ReadRaceBlock(f.lines.mid(start, end - start), 0, end - start, kind);
        FUZZ_CHECK(alone.cells == race.cells && alone.groupsRead == race.groupsRead);
        FUZZ_CHECK(alone.header0 == race.header0 && alone.header1 == race.header1);
    }

    const TRRaceList list = LoadRaceList(path);
    FUZZ_CHECK(list.opened);
    FUZZ_CHECK(list.courses.size() <= size_t(kMaxCourses));
    FUZZ_CHECK(list.problems.size() <= 31);
    const TRRaceList built = BuildRaceList(f.lines);
    FUZZ_CHECK(built.courses.size() == list.courses.size());
    for (size_t c = 0; c < list.courses.size(); ++c)
        FUZZ_CHECK(built.courses[c].captions == list.courses[c].captions);

    common::SettingsRecord settings;
    settings.SDataON = QStringLiteral("0");
    TimeRankAnalysis model;
    const bool opened = model.open(path, kind, settings);
    FUZZ_CHECK(opened == !f.raceStarts.empty());
    FUZZ_CHECK(model.raceCount() == int(f.raceStarts.size()));
    if (opened) {
        int moves = 0;
        for (;;) {
            qint16 direction = 1;
            const platform::Messages said = model.TRMoveRace(direction);
            if (direction == 0) {
                FUZZ_CHECK(!said.empty());
                break;
            }
            FUZZ_CHECK(++moves < model.raceCount());
        }
        FUZZ_CHECK(moves == model.raceCount() - 1);
        model.showRace(0);
    }

    const QString zorb = fuzz::scratch() + QStringLiteral("Zorb.txt");
    QFile::remove(zorb);
    platform::RecordingDialogs user;
    const predict::BatchRunResult run =
        predict::RunBatchPrediction(model, list.totalRaces(), predict::ZorbSettings{}, zorb, user);
    FUZZ_CHECK(!run.completed || (opened && list.totalRaces() > 0));
    return 0;
}
