#pragma once
// Verification report: how often the runners the data list marks best, second
// and third in its Max, Min, Ave and ZI columns finished first, second or
// third. The counts live for the whole run of the program, so several courses
// or days can be accumulated into one report.
#include "racing/payouts.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

namespace korvin::platform {
class Dialogs;
}

namespace korvin::racecard {
struct DataListModel;
struct RaceButton;
} // namespace korvin::racecard

namespace korvin::predict {

// Column and tier of a counter set: set = column * 3 + (tier - 1).
enum VerifyColumn { VerifyMax, VerifyMin, VerifyAve, VerifyZI, kVerifyColumns };
constexpr int kVerifyTiers = 3;
constexpr int kVerifySets = kVerifyColumns * kVerifyTiers; // Max1 .. ZI3
constexpr int kVerifyRows = 18;
constexpr int kReportLines = 16;

// Counts of one set: the marked runner finished 1st, 2nd, 3rd, anywhere else.
using VerifyCounts = std::array<qint32, 4>;
using VerifyCounterSets = std::array<VerifyCounts, kVerifySets>;

// What the report reads of one data list row.
struct VerifyRow {
    bool runner = false; // the horse-number cell is shown
    QString maxText;     // caption of the Max cell
    QString resultText;  // caption of the finishing-position cell
    // Highlight tier (1..3, 0 none) of the Max, Min, Ave and ZI cells.
    std::array<int, kVerifyColumns> tiers{};
    QString horseText;    // caption of the horse-number cell
    QString abnormalText; // caption of the abnormal-result cell ("取消" ...)
};
using VerifyRows = std::array<VerifyRow, kVerifyRows>;

// The rows as the data list model holds them.
VerifyRows VerifyRowsOf(const racecard::DataListModel &model);

// A race as the report reads it: its rows and, when payouts are shown and the
// race has a record, what the record pays.
struct VerifyRace {
    VerifyRace(VerifyRows r = {}, std::optional<racing::RacePayouts> p = std::nullopt)
        : rows(std::move(r)), payouts(std::move(p))
    {
    }
    VerifyRows rows;
    std::optional<racing::RacePayouts> payouts;
};
VerifyRace VerifyRaceOf(const racecard::DataListModel &model);

struct ReturnTotals;

struct RaceTally {
    int zeroMax = 0;    // runners whose Max is 0
    int zeroResult = 0; // runners without a finishing position
    bool counted = false;
    // Row carrying each set's tier, -1 when no row of the race carries it (a
    // tie can leave tiers 2 and 3 empty); such a set is not counted.
    std::array<int, kVerifySets> row{};
    // Finishing position of each set's row (0 when none).
    std::array<int, kVerifySets> finish{};
};

// Reads one race. Where several rows carry a tier, the last one wins. The race
// counts unless four or more runners lack a Max figure or a finishing position.
RaceTally TallyRace(const VerifyRows &rows);

// Adds a counted race to the totals.
void AddRace(const RaceTally &tally, qint32 &raceCount, VerifyCounterSets &counters);

// The accumulate question at the start of a report (StartReport, returns.h).
QString AccumulateQuestion(); // "検証結果を累積しますか？"
void ResetVerification(qint32 &raceCount, VerifyCounterSets &counters);

// "Max1 : " .. "ZI3  : ".
const std::array<QString, kVerifySets> &SetNames();
// "Race : " + count in 4 columns + "R" + the three rate headings.
QString ReportHeading(qint32 raceCount);
// Name, four counts and the win, quinella and show rates ("00.0%").
QString ReportLine(int set, const VerifyCounts &counts, qint32 raceCount);
// The sixteen label texts: heading, three sets per column with an empty line
// between columns; only the heading when no race is counted.
QStringList ReportLines(qint32 raceCount, const VerifyCounterSets &counters);

} // namespace korvin::predict
