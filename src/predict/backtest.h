#pragma once
// The bets of a batch prediction run scored against the official quinella
// payouts: per meeting block and in total, races bet, 100-yen tickets, hits
// and what they returned. "Zorb.txt" is not read; the run hands over the
// blocks it wrote.
#include "platform/chartdata.h"
#include "predict/zorb.h"
#include "racing/payouts.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace korvin::common {
struct SettingsRecord;
}

namespace korvin::predict {

struct BacktestCounts {
    qint32 races = 0;     // races bet that have a payout record
    qint32 noPayouts = 0; // races bet without one: not scored
    qint32 tickets = 0;   // 100-yen quinella tickets of the scored races
    qint32 hits = 0;      // scored races with a winning ticket
    qint64 payout = 0;    // yen returned
    void add(const BacktestCounts &other);
};

struct BacktestBlock {
    QString meetingDateKey; // slot 0 of the block
    BacktestCounts counts;
};

struct BacktestSummary {
    std::vector<BacktestBlock> blocks;
    BacktestCounts total;
};

// The payout record of race `race` of the meeting of a meeting-date key.
using RacePayoutLookup = std::function<std::optional<racing::RacePayouts>(const QString &meetingDateKey, int race)>;
// From the payout files of the SData folder (named as the windows name them).
RacePayoutLookup PayoutFilesLookup(const QString &sdata);

// A ticket hits when its pair equals a listed quinella entry, in either order;
// each entry it equals pays (a dead heat lists several).
BacktestSummary Backtest(const std::vector<ZorbSlots> &blocks, int partners, const RacePayoutLookup &lookup);

// The backtest of a finished run when payouts are switched on (SDataON not
// "0") and at least one race bet has a payout record; nullopt otherwise.
std::optional<BacktestSummary> BacktestRun(const BatchRunResult &run, const common::SettingsRecord &settings);

// "東京 3回4日目" of a meeting-date key.
QString MeetingLabel(const QString &meetingDateKey);

// Heading, one line per block, the total; each figure ends in the last
// column of its heading in a fixed-pitch font.
QStringList BacktestLines(const BacktestSummary &summary);
// Hit and return rate per block and in total, as printed.
platform::BarChartData BacktestChart(const BacktestSummary &summary);
// Every count and rate as CSV (header row, a row per block, a total row),
// lines ending in CR LF.
QString BacktestCsv(const BacktestSummary &summary);

} // namespace korvin::predict
