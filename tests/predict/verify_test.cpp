#include "predict/verify.h"
#include "predict/returns.h"

#include "platform/dialogs.h"
#include "racing/codetables.h"

#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::predict;

namespace {

// Runners given as "max result tierMax tierMin tierAve tierZI".
VerifyRows rowsOf(std::initializer_list<std::tuple<const char *, const char *, std::array<int, 4>>> runners)
{
    VerifyRows rows;
    int r = 0;
    for (const auto &[max, result, tiers] : runners) {
        rows[size_t(r)].runner = true;
        rows[size_t(r)].maxText = QString::fromUtf8(max);
        rows[size_t(r)].resultText = QString::fromUtf8(result);
        rows[size_t(r)].tiers = tiers;
        ++r;
    }
    return rows;
}

int set(VerifyColumn c, int tier) { return c * kVerifyTiers + tier - 1; }

// Display columns of a fixed-pitch font: a full-width character takes two.
int columns(const QString &s) { return racing::SjisLength(s); }

} // namespace

TEST(VerifyTally, TiesLastRowWinsAndEmptyTiersCountNothing)
{
    // Max 5, 5, 3: both 5s are tier 1 (the second wins), tier 2 is empty, the 3 is tier 3.
    // Min: one runner per tier. Ave: nothing marked at all. ZI: tier 1 only.
    const VerifyRows rows = rowsOf({
        {"100", "4", {1, 0, 0, 1}},
        {"100", "1", {1, 1, 0, 0}},
        {"90", "2", {3, 2, 0, 0}},
        {"80", "3", {0, 3, 0, 0}},
    });
    const RaceTally t = TallyRace(rows);
    ASSERT_TRUE(t.counted);
    EXPECT_EQ((std::vector<int>{t.row[size_t(set(VerifyMax, 1))], t.row[size_t(set(VerifyMax, 2))],
                                t.row[size_t(set(VerifyMax, 3))], t.row[size_t(set(VerifyAve, 1))]}),
              (std::vector<int>{1, -1, 2, -1}));

    qint32 races = 0;
    VerifyCounterSets counters{};
    AddRace(t, races, counters);
    EXPECT_EQ(races, 1);
    // Sets Max 1..3, Min 1..3, Ave 1..3, ZI 1..3.
    VerifyCounterSets expected{};
    expected[0] = {1, 0, 0, 0};
    expected[2] = {0, 1, 0, 0};
    expected[3] = {1, 0, 0, 0};
    expected[4] = {0, 1, 0, 0};
    expected[5] = {0, 0, 1, 0};
    expected[9] = {0, 0, 0, 1};
    EXPECT_EQ(counters, expected);

    // The next race with an empty tier 1 does not reuse the row of this one.
    const VerifyRows next = rowsOf({{"100", "1", {0, 0, 0, 0}}, {"99", "2", {2, 0, 0, 0}}});
    AddRace(TallyRace(next), races, counters);
    EXPECT_EQ(races, 2);
    EXPECT_EQ(counters[size_t(set(VerifyMax, 1))], (VerifyCounts{1, 0, 0, 0}));
    EXPECT_EQ(counters[size_t(set(VerifyMax, 2))], (VerifyCounts{0, 1, 0, 0}));
}

TEST(VerifyTally, FinishesOutsideTheFirstThreeGoToTheFourthCount)
{
    struct Case {
        const char *result;
        int bucket;
    };
    const Case cases[] = {{"1", 0},  {"2", 1}, {"3", 2}, {"3.9", 2}, {"4", 3},
                          {"18", 3}, {"0", 3}, {"", 3},  {"中止", 3}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.result);
        const VerifyRows rows = rowsOf({{"100", c.result, {1, 0, 0, 0}}, {"90", "5", {2, 0, 0, 0}}});
        qint32 races = 0;
        VerifyCounterSets counters{};
        AddRace(TallyRace(rows), races, counters);
        VerifyCounts expected{0, 0, 0, 0};
        expected[size_t(c.bucket)] = 1;
        EXPECT_EQ(counters[0], expected);
    }
}

TEST(VerifyTally, RacesWithFourMissingFiguresOrResultsAreLeftOut)
{
    struct Case {
        const char *name;
        std::vector<std::pair<const char *, const char *>> runners; // max, result
        bool counted;
    };
    const Case cases[] = {
        {"three zero Max", {{"0", "1"}, {"0", "2"}, {"0.5", "3"}, {"90", "4"}}, true},
        {"four zero Max", {{"0", "1"}, {"0", "2"}, {"0", "3"}, {"", "4"}, {"90", "5"}}, false},
        {"three without result", {{"90", "0"}, {"90", ""}, {"90", "0"}, {"90", "1"}}, true},
        {"four without result", {{"90", "0"}, {"90", "0"}, {"90", "0"}, {"90", "0"}, {"90", "1"}}, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        VerifyRows rows;
        for (size_t i = 0; i < c.runners.size(); ++i) {
            rows[i].runner = true;
            rows[i].maxText = QString::fromUtf8(c.runners[i].first);
            rows[i].resultText = QString::fromUtf8(c.runners[i].second);
            rows[i].tiers = {1, 1, 1, 1};
        }
        // Rows without a runner never count, whatever they hold.
        for (size_t i = c.runners.size(); i < rows.size(); ++i) {
            rows[i].maxText = QStringLiteral("0");
            rows[i].resultText = QStringLiteral("0");
            rows[i].tiers = {2, 2, 2, 2};
        }
        const RaceTally t = TallyRace(rows);
        EXPECT_EQ(t.counted, c.counted);
        EXPECT_EQ(t.row[size_t(set(VerifyMax, 2))], -1);
        qint32 races = 0;
        VerifyCounterSets counters{};
        AddRace(t, races, counters);
        EXPECT_EQ(races, c.counted ? 1 : 0);
        EXPECT_EQ(counters[0][0] + counters[0][1] + counters[0][2] + counters[0][3], c.counted ? 1 : 0);
    }
}

TEST(VerifyReport, AccumulateQuestion)
{
    platform::RecordingDialogs dialogs;
    VerifyTotals totals;
    qint32 &races = totals.raceCount;
    VerifyCounterSets &counters = totals.counters;
    ReturnTotals &returns = totals.returns;
    returns.races = 2; // left over when nothing was counted: starts from zero
    StartReport(totals, dialogs);
    EXPECT_TRUE(dialogs.shown.empty()) << "first report asks nothing";
    EXPECT_EQ(returns.races, 0);

    races = 3;
    counters[4] = {1, 1, 1, 0};
    returns.races = 3;
    returns.picks[0].staked = 3;
    dialogs.answers = {platform::Answer::Yes};
    StartReport(totals, dialogs);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Question);
    EXPECT_EQ(dialogs.shown[0].text, QStringLiteral("検証結果を累積しますか？"));
    EXPECT_EQ(races, 3);
    EXPECT_EQ(counters[4], (VerifyCounts{1, 1, 1, 0}));
    EXPECT_EQ(returns.picks[0].staked, 3);

    dialogs.answers = {platform::Answer::No};
    StartReport(totals, dialogs);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(races, 0);
    EXPECT_EQ(counters[4], (VerifyCounts{0, 0, 0, 0}));
    EXPECT_EQ(returns.races, 0);
    EXPECT_EQ(returns.picks[0].staked, 0);
}

TEST(VerifyReport, LinesAndRates)
{
    struct Case {
        VerifyCounts counts;
        qint32 races;
        const char *line;
    };
    const Case cases[] = {
        {{1, 0, 0, 19}, 20, "Max1 :    1   0   0   19  05.0%  05.0%  05.0%"},
        {{5, 5, 5, 5}, 20, "Max1 :    5   5   5    5  25.0%  50.0%  75.0%"},
        {{1, 1, 0, 1}, 3, "Max1 :    1   1   0    1  33.3%  66.7%  66.7%"},
        {{1, 0, 0, 0}, 1, "Max1 :    1   0   0    0  100.0%  100.0%  100.0%"},
        {{0, 0, 0, 7}, 7, "Max1 :    0   0   0    7  00.0%  00.0%  00.0%"},
        // Counts are never cut: a wide one pushes the rest of the line right.
        {{1200, 0, 0, 34567}, 35767, "Max1 : 1200   0   034567  03.4%  03.4%  03.4%"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ReportLine(0, c.counts, c.races), QString::fromUtf8(c.line));

    VerifyCounterSets counters{};
    for (int s = 0; s < kVerifySets; ++s)
        counters[size_t(s)] = {s, 1, 0, 12 - s};
    const QStringList lines = ReportLines(13, counters);
    ASSERT_EQ(lines.size(), kReportLines);
    EXPECT_EQ(lines[0], QStringLiteral("Race :   13R               勝率   連率   複率"));
    EXPECT_EQ(lines[1], QStringLiteral("Max1 :    0   1   0   12  00.0%  07.7%  07.7%"));
    EXPECT_EQ(lines[15], QStringLiteral("ZI3  :   11   1   0    1  84.6%  92.3%  92.3%"));
    for (int blank : {4, 8, 12})
        EXPECT_TRUE(lines[blank].isEmpty());
    EXPECT_TRUE(lines[13].startsWith(QStringLiteral("ZI1  :    9")));
    EXPECT_TRUE(lines[9].startsWith(QStringLiteral("Ave1 :    6")));

    // No counted race leaves only the heading.
    QStringList empty(kReportLines);
    empty[0] = QStringLiteral("Race :    0R               勝率   連率   複率");
    EXPECT_EQ(ReportLines(0, VerifyCounterSets{}), empty);
}

TEST(VerifyReport, RatesEndUnderTheirHeadingsInAFixedPitchFont)
{
    const QString heading = ReportHeading(123);
    const QString line = ReportLine(set(VerifyZI, 3), VerifyCounts{12, 34, 56, 21}, 123);
    EXPECT_EQ(columns(heading), 45);
    EXPECT_EQ(columns(line), 45);
    struct Rate {
        const char *heading;
        int lastColumn;
    };
    const Rate rates[] = {{"勝率", 31}, {"連率", 38}, {"複率", 45}};
    int from = 0;
    for (const Rate &r : rates) {
        SCOPED_TRACE(r.heading);
        const QString h = QString::fromUtf8(r.heading);
        const int at = int(heading.indexOf(h));
        ASSERT_GE(at, 0);
        EXPECT_EQ(columns(heading.left(at + h.size())), r.lastColumn);
        const int percent = int(line.indexOf(QLatin1Char('%'), from));
        ASSERT_GE(percent, 0);
        EXPECT_EQ(columns(line.left(percent + 1)), r.lastColumn);
        from = percent + 1;
    }
}
