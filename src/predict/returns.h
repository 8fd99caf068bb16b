#pragma once
// What the verification's tier-1 picks returned: for Max1, Min1, Ave1 and ZI1,
// a 100-yen win and place ticket on the marked runner of every counted race
// with a payout record. A scratched pick is refunded (no stake, no return); a
// race without a payout record is counted apart, never as a loss.
#include "platform/chartdata.h"
#include "predict/verify.h"
#include "racecard/datalist.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace korvin::predict {

struct PickReturns {
    qint32 staked = 0;  // races with a 100-yen ticket on the pick
    qint32 refunds = 0; // races whose pick was scratched
    qint32 winHits = 0;
    qint32 placeHits = 0;
    qint64 winPayout = 0; // yen
    qint64 placePayout = 0;
};

struct ReturnTotals {
    qint32 races = 0;     // counted races
    qint32 noPayouts = 0; // of them, races without a payout record
    std::array<PickReturns, kVerifyColumns> picks{};
    qint32 payoutRaces() const { return races - noPayouts; }
};

// The verification's totals: the races counted and their counts since the
// program started (or the last "No" to the accumulate question), and what the
// tier-1 picks returned over the same races.
struct VerifyTotals {
    qint32 raceCount = 0;
    VerifyCounterSets counters{};
    ReturnTotals returns;
};

// The accumulate question at the start of a report, asked through user only
// when races are already counted; "No" starts the counts and the returns over
// them from zero.
void StartReport(VerifyTotals &totals, platform::Dialogs &user);

// The verification of one course of a race card: each race the race list
// offers for it, loaded as the data list shows it with context (its race and
// caption set per race), is tallied into the totals and the returns. onRace
// sees each race as it is counted. Returns the number of races gone over.
using VerifiedRace = std::function<void(const racecard::RaceButton &race, const racecard::DataListModel &model)>;
int VerifyCourse(const racecard::RaceTable &table, const QString &course, racecard::RaceContext context,
                 VerifyTotals &totals, const VerifiedRace &onRace = {});

// Scratches before the start ("取消", "発除", "競除"): the stake comes back.
bool IsRefund(const QString &abnormalName);

// Adds a race the tally counted: each column's tier-1 pick against the
// race's payout record (every listed win entry pays in a dead heat).
void AddReturns(const VerifyRace &race, const RaceTally &tally, ReturnTotals &totals);

// part / whole as the report prints a rate ("00.0%"); "-" when whole is 0.
QString RateText(qint64 part, qint64 whole);
// The printed number of the same rate (percent), 0 when whole is 0: what the
// charts and the CSV show.
double RateValue(qint64 part, qint64 whole);

constexpr int kReturnLines = 6;
// The return section under the sixteen lines: races with and without a
// payout record, a heading, one line per tier-1 pick (empty when no race is
// counted). Each figure ends in the last column of its heading.
QStringList ReturnLines(const ReturnTotals &totals);

// Win, quinella and show rates of the twelve sets, as printed.
platform::BarChartData HitRateChart(qint32 raceCount, const VerifyCounterSets &counters);
// Win and place return rates of the tier-1 picks, as printed.
platform::BarChartData ReturnRateChart(const ReturnTotals &totals);

// Every count and rate of the report as CSV (header row, one row per set;
// the return columns on the tier-1 rows), lines ending in CR LF.
QString VerifyCsv(qint32 raceCount, const VerifyCounterSets &counters, const ReturnTotals &totals);

// A CSV field, quoted when it holds a comma, a quote or a line break.
QString CsvField(const QString &text);
// A rate for the CSV: RateValue with one decimal, empty when whole is 0.
QString CsvRate(qint64 part, qint64 whole);

// Text padded with blanks to width columns of a fixed-pitch font (a
// full-width character takes two), on the left or the right; never cut.
QString AlignRight(const QString &text, int width);
QString AlignLeft(const QString &text, int width);

} // namespace korvin::predict
