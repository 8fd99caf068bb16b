#include "predict/verify.h"

#include "platform/dialogs.h"
#include "racing/codetables.h"
#include "common/helpers.h"

namespace korvin::predict {

namespace {
// A race with this many runners lacking a Max figure or a finishing position
// is left out: its results are not in yet, or its runners have no history.
constexpr int kMissingLimit = 3;
} // namespace

RaceTally TallyRace(const VerifyRows &rows)
{
    RaceTally t;
    t.row.fill(-1);
    t.finish.fill(0);
    for (int r = 0; r < kVerifyRows; ++r) {
        const VerifyRow &row = rows[size_t(r)];
        if (!row.runner)
            continue;
        if (common::TextToInt(row.maxText) == 0)
            ++t.zeroMax;
        const int finish = common::TextToInt(row.resultText);
        if (finish == 0)
            ++t.zeroResult;
        for (int c = 0; c < kVerifyColumns; ++c) {
            const int tier = row.tiers[size_t(c)];
            if (tier < 1 || tier > kVerifyTiers)
                continue;
            const int set = c * kVerifyTiers + tier - 1;
            t.row[size_t(set)] = r;
            t.finish[size_t(set)] = finish;
        }
    }
    t.counted = t.zeroMax <= kMissingLimit && t.zeroResult <= kMissingLimit;
    return t;
}

void AddRace(const RaceTally &tally, qint32 &raceCount, VerifyCounterSets &counters)
{
    if (!tally.counted)
        return;
    ++raceCount;
    for (int set = 0; set < kVerifySets; ++set) {
        if (tally.row[size_t(set)] < 0)
            continue;
        const int p = tally.finish[size_t(set)];
        counters[size_t(set)][size_t(p >= 1 && p <= 3 ? p - 1 : 3)] += 1;
    }
}

QString AccumulateQuestion() { return QStringLiteral("検証結果を累積しますか？"); }

void ResetVerification(qint32 &raceCount, VerifyCounterSets &counters)
{
    raceCount = 0;
    for (auto &set : counters)
        set.fill(0);
}

const std::array<QString, kVerifySets> &SetNames()
{
    static const std::array<QString, kVerifySets> names{
        QStringLiteral("Max1 : "), QStringLiteral("Max2 : "), QStringLiteral("Max3 : "), QStringLiteral("Min1 : "),
        QStringLiteral("Min2 : "), QStringLiteral("Min3 : "), QStringLiteral("Ave1 : "), QStringLiteral("Ave2 : "),
        QStringLiteral("Ave3 : "), QStringLiteral("ZI1  : "), QStringLiteral("ZI2  : "), QStringLiteral("ZI3  : ")};
    return names;
}

QString ReportHeading(qint32 raceCount)
{
    return QStringLiteral("Race : ") + racing::PadNumber(raceCount, 4) +
           QStringLiteral("R               勝率   連率   複率");
}

QString ReportLine(int set, const VerifyCounts &c, qint32 raceCount)
{
    const double n = raceCount;
    return SetNames()[size_t(set)] + racing::PadNumber(c[0], 4) + racing::PadNumber(c[1], 4) +
           racing::PadNumber(c[2], 4) + racing::PadNumber(c[3], 5) + QStringLiteral("  ") +
           common::FormatPercent(c[0] / n) + QStringLiteral("  ") + common::FormatPercent((double(c[0]) + c[1]) / n) +
           QStringLiteral("  ") + common::FormatPercent((double(c[0]) + c[1] + c[2]) / n);
}

QStringList ReportLines(qint32 raceCount, const VerifyCounterSets &counters)
{
    QStringList lines;
    lines << ReportHeading(raceCount);
    for (int column = 0; column < kVerifyColumns; ++column) {
        if (column > 0)
            lines << QString();
        for (int tier = 0; tier < kVerifyTiers; ++tier) {
            const int set = column * kVerifyTiers + tier;
            lines << (raceCount > 0 ? ReportLine(set, counters[size_t(set)], raceCount) : QString());
        }
    }
    return lines;
}

} // namespace korvin::predict
