#include "predict/backtest.h"
#include "predict/returns.h"
#include "racing/codetables.h"

#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::predict;
using racing::PayoutEntry;

namespace {

// A dead heat for first: horses 3 and 5 both win; 3, 5 and 8 placed.
racing::RacePayouts deadHeat()
{
    racing::RacePayouts p;
    p.win = {PayoutEntry{3, 0, 450}, PayoutEntry{5, 0, 380}, PayoutEntry{}};
    p.place = {PayoutEntry{3, 0, 150}, PayoutEntry{5, 0, 140}, PayoutEntry{8, 0, 210}, PayoutEntry{}, PayoutEntry{}};
    return p;
}

// One counted race whose Max tier-1 pick is the given runner; the other
// columns mark nobody.
VerifyRace raceWithPick(const char *horse, const char *abnormal, bool record)
{
    VerifyRows rows;
    for (int r = 0; r < 4; ++r) {
        rows[size_t(r)].runner = true;
        rows[size_t(r)].maxText = QStringLiteral("90");
        rows[size_t(r)].resultText = QString::number(r + 1);
        rows[size_t(r)].horseText = QStringLiteral("1%1").arg(r);
    }
    rows[2].tiers = {1, 0, 0, 0};
    rows[2].horseText = QString::fromUtf8(horse);
    rows[2].abnormalText = QString::fromUtf8(abnormal);
    return {rows, record ? std::optional(deadHeat()) : std::nullopt};
}

int columns(const QString &s) { return racing::SjisLength(s); }

} // namespace

TEST(Returns, DeadHeatsScratchesAndRacesWithoutPayouts)
{
    struct Case {
        const char *horse, *abnormal;
        bool record;
        PickReturns want; // staked, refunds, win hits, place hits, win yen, place yen
    };
    const Case cases[] = {
        {"03", "    ", true, {1, 0, 1, 1, 450, 150}}, // the first listed winner
        {"05", "    ", true, {1, 0, 1, 1, 380, 140}}, // the second winner of the dead heat pays too
        {"08", "    ", true, {1, 0, 0, 1, 0, 210}},   // placed only
        {"11", "    ", true, {1, 0, 0, 0, 0, 0}},     // lost
        {"11", "中止", true, {1, 0, 0, 0, 0, 0}},     // pulled up after the start: a loss
        {"03", "取消", true, {0, 1, 0, 0, 0, 0}},     // scratched: refunded, whatever is listed
        {"03", "発除", true, {0, 1, 0, 0, 0, 0}},     {"03", "競除", true, {0, 1, 0, 0, 0, 0}},
        {"03", "    ", false, {0, 0, 0, 0, 0, 0}}, // no payout record: neither stake nor loss
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.horse) + " " + c.abnormal + (c.record ? "" : " no record"));
        const VerifyRace race = raceWithPick(c.horse, c.abnormal, c.record);
        ReturnTotals t;
        AddReturns(race, TallyRace(race.rows), t);
        const PickReturns &p = t.picks[VerifyMax];
        EXPECT_EQ((std::vector<qint64>{p.staked, p.refunds, p.winHits, p.placeHits, p.winPayout, p.placePayout}),
                  (std::vector<qint64>{c.want.staked, c.want.refunds, c.want.winHits, c.want.placeHits,
                                       c.want.winPayout, c.want.placePayout}));
        EXPECT_EQ(t.races, 1);
        EXPECT_EQ(t.noPayouts, c.record ? 0 : 1);
        EXPECT_EQ(t.picks[VerifyMin].staked, 0) << "a column without a tier-1 pick bets nothing";
    }
    // A race the report leaves out adds nothing.
    VerifyRace out = raceWithPick("03", "    ", true);
    for (int r = 0; r < 4; ++r)
        out.rows[size_t(r)].resultText = QStringLiteral("0");
    ReturnTotals t;
    AddReturns(out, TallyRace(out.rows), t);
    EXPECT_EQ(t.races, 0);
}

TEST(Returns, LinesRatesAndCsv)
{
    ReturnTotals t;
    t.races = 25;
    t.noPayouts = 3;
    t.picks[VerifyMax] = {20, 2, 5, 9, 2345, 1999}; // 99.95% rounds up
    t.picks[VerifyMin] = {0, 22, 0, 0, 0, 0};       // every pick refunded: no rate
    t.picks[VerifyAve] = {1, 0, 1, 1, 123450, 5000};
    const QStringList lines = ReturnLines(t);
    ASSERT_EQ(lines.size(), kReturnLines);
    EXPECT_EQ(lines[0].toStdString(), std::string("回収率 : 払戻あり  22R  払戻なし   3R"));
    EXPECT_EQ(lines[2].toStdString(), std::string("Max1 :     20     2       5    117.3%       9    100.0%"));
    EXPECT_EQ(lines[3].toStdString(), std::string("Min1 :      0    22       0         -       0         -"));
    EXPECT_EQ(lines[4].toStdString(), std::string("Ave1 :      1     0       1 123450.0%       1   5000.0%"));
    EXPECT_EQ(lines[5].toStdString(), std::string("ZI1  :      0     0       0         -       0         -"));
    // Each figure ends in the last column of its heading.
    int from = 7; // after the name
    for (const char *h : {"賭数", "返還", "単的中", "単回収率", "複的中", "複回収率"}) {
        SCOPED_TRACE(h);
        const QString heading = QString::fromUtf8(h);
        const int at = int(lines[1].indexOf(heading));
        const int end = columns(lines[1].left(at + heading.size()));
        int stop = from;
        while (stop < lines[2].size() && lines[2][stop] == QLatin1Char(' '))
            ++stop;
        while (stop < lines[2].size() && lines[2][stop] != QLatin1Char(' '))
            ++stop;
        EXPECT_EQ(columns(lines[2].left(stop)), end);
        from = stop;
    }
    EXPECT_EQ(ReturnLines(ReturnTotals{}).mid(2), QStringList(4)) << "no race counted: no pick lines";

    VerifyCounterSets counters{};
    counters[0] = {1, 1, 0, 1};
    const QStringList csv = VerifyCsv(3, counters, t).split(QStringLiteral("\r\n"));
    ASSERT_EQ(csv.size(), 14); // header, twelve sets, the empty end
    EXPECT_EQ(csv[0].toStdString(),
              std::string("set,races,first,second,third,other,win_rate,quinella_rate,show_rate,payout_races,"
                          "no_payout_races,staked,refunds,win_hits,win_payout,win_return_rate,place_hits,place_payout,"
                          "place_return_rate"));
    EXPECT_EQ(csv[1].toStdString(), std::string("Max1,3,1,1,0,1,33.3,66.7,66.7,22,3,20,2,5,2345,117.3,9,1999,100.0"));
    EXPECT_EQ(csv[2].toStdString(), std::string("Max2,3,0,0,0,0,0.0,0.0,0.0,22,3,,,,,,,,"));
    EXPECT_EQ(csv[4].toStdString(), std::string("Min1,3,0,0,0,0,0.0,0.0,0.0,22,3,0,22,0,0,,0,0,"));
    EXPECT_TRUE(VerifyCsv(0, counters, t).contains("\r\nZI3,0,0,0,0,0,,,,22,3,,,,,,,,\r\n"));
}

TEST(Backtest, TicketsOfBoxAndKeyLines)
{
    struct Case {
        const char *head, *horses; // kind and field size, the horses
        size_t tickets;
    };
    const Case cases[] = {
        {"016", "05031201081402", 6}, // box of the first four
        {"116", "05031201081402", 6}, // key horse and six partners
        {"106", "01050603040207", 5}, // six runners: partner 7 does not run
        {"003", "02010304050607", 3}, // three runners: the box of three
        {"116", "05000000000000", 0}, // no partner
        {"999", "99999999999999", 0}, // excluded
        {"", "", 0},
    };
    for (const Case &c : cases) {
        const QString slot = QString::fromLatin1(c.head) + QString::fromLatin1(c.horses);
        EXPECT_EQ(RacePairs(slot, kZorbPartners).size(), c.tickets) << slot.toStdString();
    }
}

TEST(Backtest, HitsOnAnyListedQuinellaInEitherOrder)
{
    ZorbSlots s;
    s[0] = "05003420000610";    // 東京 3回4日目
    s[1] = "01605031201081402"; // box 5, 3, 12, 1
    s[2] = "11609010203040506"; // key 9
    s[3] = "00801020304050607"; // box 1, 2, 3, 4 of eight
    s[4] = "01601020304050607"; // no payout record
    s[5] = "01610111213141516"; // a miss
    s[6] = kExcludedRace;
    auto entries = [](std::vector<PayoutEntry> q) {
        racing::RacePayouts p;
        for (size_t i = 0; i < q.size(); ++i)
            p.quinella[i] = q[i];
        return p;
    };
    std::map<int, racing::RacePayouts> records{
        {1, entries({{7, 9, 990}, {12, 3, 1230}})},             // listed second, reversed
        {2, entries({{1, 2, 500}, {4, 8, 700}, {6, 9, 2080}})}, // listed third
        {3, entries({{1, 2, 310}, {1, 3, 450}})},               // dead heat: two tickets hit
        {5, entries({{1, 2, 310}})},
        {6, entries({{7, 9, 990}})},
    };
    QStringList asked;
    const BacktestSummary b = Backtest({s, s}, kZorbPartners, [&](const QString &key, int race) {
        asked << QStringLiteral("%1 %2").arg(key).arg(race);
        const auto found = records.find(race);
        return found == records.end() ? std::nullopt : std::optional(found->second);
    });
    EXPECT_EQ(asked.mid(0, 5), (QStringList{"05003420000610 1", "05003420000610 2", "05003420000610 3",
                                            "05003420000610 4", "05003420000610 5"}));
    ASSERT_EQ(b.blocks.size(), 2u);
    const BacktestCounts &c = b.blocks[0].counts;
    EXPECT_EQ((std::vector<qint64>{c.races, c.noPayouts, c.tickets, c.hits, c.payout}),
              (std::vector<qint64>{4, 1, 24, 3, 1230 + 2080 + 310 + 450}));
    const QStringList lines = BacktestLines(b);
    EXPECT_EQ(lines.join('\n').toStdString(),
              (QStringList{
                   QStringLiteral("開催（馬連）      レース  点数  的中  的中率  回収率  払戻なし"),
                   QStringLiteral("東京 3回4日目          4    24     3   75.0%  169.6%         1"),
                   QStringLiteral("東京 3回4日目          4    24     3   75.0%  169.6%         1"),
                   QStringLiteral("合計                   8    48     6   75.0%  169.6%         2"),
               })
                  .join('\n')
                  .toStdString());
    EXPECT_EQ(columns(lines[0]), columns(lines[3]));
    EXPECT_EQ(BacktestCsv(b).toStdString(),
              "block,course,meeting,day,date,races,no_payout_races,tickets,hits,hit_rate,payout,return_rate\r\n"
              "1,東京,3,4,2000-06-10,4,1,24,3,75.0,4070,169.6\r\n"
              "2,東京,3,4,2000-06-10,4,1,24,3,75.0,4070,169.6\r\n"
              "total,,,,,8,2,48,6,75.0,8140,169.6\r\n");
}
