#include "predict/backtest.h"

#include "predict/returns.h"
#include "racing/codetables.h"
#include "common/helpers.h"
#include "common/settings.h"

namespace korvin::predict {

using common::Mid;

void BacktestCounts::add(const BacktestCounts &o)
{
    races += o.races;
    noPayouts += o.noPayouts;
    tickets += o.tickets;
    hits += o.hits;
    payout += o.payout;
}

RacePayoutLookup PayoutFilesLookup(const QString &sdata)
{
    return [sdata](const QString &key, int race) -> std::optional<racing::RacePayouts> {
        const racing::RaceId id = MeetingRace(key, race);
        const QString file = racing::PayoutFileOf(sdata, id);
        if (file.isEmpty())
            return std::nullopt;
        return racing::FindRacePayouts(file, id.day, race);
    };
}

BacktestSummary Backtest(const std::vector<ZorbSlots> &blocks, int partners, const RacePayoutLookup &lookup)
{
    BacktestSummary summary;
    for (const ZorbSlots &meeting : blocks) {
        BacktestBlock block{meeting[0], {}};
        BacktestCounts &c = block.counts;
        for (int r = 1; r <= 12; ++r) {
            const auto pairs = RacePairs(meeting[size_t(r)], partners);
            if (pairs.empty())
                continue; // excluded, empty, or nothing left to bet
            const std::optional<racing::RacePayouts> payouts = lookup(meeting[0], r);
            if (!payouts) {
                ++c.noPayouts;
                continue;
            }
            ++c.races;
            c.tickets += qint32(pairs.size());
            bool hit = false;
            for (const auto &[a, b] : pairs)
                for (const racing::PayoutEntry &e : payouts->quinella)
                    if (e.horse > 0 && ((e.horse == a && e.second == b) || (e.horse == b && e.second == a))) {
                        hit = true;
                        c.payout += e.amount;
                    }
            c.hits += hit ? 1 : 0;
        }
        summary.total.add(c);
        summary.blocks.push_back(block);
    }
    return summary;
}

std::optional<BacktestSummary> BacktestRun(const BatchRunResult &run, const common::SettingsRecord &settings)
{
    if (settings.SDataON == QLatin1String("0"))
        return std::nullopt;
    BacktestSummary s = Backtest(run.blocks, kZorbPartners, PayoutFilesLookup(settings.SData));
    if (s.total.races == 0)
        return std::nullopt;
    return s;
}

QString MeetingLabel(const QString &key)
{
    return racing::PlaceName(Mid(key, 1, 2), 1) + QLatin1Char(' ') + Mid(key, 5, 1) + QStringLiteral("回") +
           Mid(key, 6, 1) + QStringLiteral("日目");
}

namespace {
constexpr int kLabelColumns = 16;

QString line(const QString &label, const BacktestCounts &c)
{
    return AlignLeft(label, kLabelColumns) + racing::PadNumber(c.races, 8) + racing::PadNumber(c.tickets, 6) +
           racing::PadNumber(c.hits, 6) + AlignRight(RateText(c.hits, c.races), 8) +
           AlignRight(RateText(c.payout, 100LL * c.tickets), 8) + racing::PadNumber(c.noPayouts, 10);
}

const QString kTotal = QStringLiteral("合計");
} // namespace

QStringList BacktestLines(const BacktestSummary &s)
{
    QStringList lines;
    lines << AlignLeft(QStringLiteral("開催（馬連）"), kLabelColumns) +
                 QStringLiteral("  レース  点数  的中  的中率  回収率  払戻なし");
    for (const BacktestBlock &b : s.blocks)
        lines << line(MeetingLabel(b.meetingDateKey), b.counts);
    lines << line(kTotal, s.total);
    return lines;
}

platform::BarChartData BacktestChart(const BacktestSummary &s)
{
    platform::BarChartData d;
    d.title = QStringLiteral("馬連 的中率・回収率");
    d.axisTitle = QStringLiteral("%");
    d.series = {{QStringLiteral("的中率"), {}}, {QStringLiteral("回収率"), {}}};
    auto add = [&d](const QString &label, const BacktestCounts &c) {
        d.categories << label;
        d.series[0].values << RateValue(c.hits, c.races);
        d.series[1].values << RateValue(c.payout, 100LL * c.tickets);
    };
    for (const BacktestBlock &b : s.blocks)
        add(MeetingLabel(b.meetingDateKey), b.counts);
    add(kTotal, s.total);
    return d;
}

QString BacktestCsv(const BacktestSummary &s)
{
    QString csv = QStringLiteral(
        "block,course,meeting,day,date,races,no_payout_races,tickets,hits,hit_rate,payout,return_rate\r\n");
    auto row = [&csv](const QStringList &first, const BacktestCounts &c) {
        QStringList f;
        for (const QString &text : first)
            f << CsvField(text);
        f << QString::number(c.races) << QString::number(c.noPayouts) << QString::number(c.tickets)
          << QString::number(c.hits) << CsvRate(c.hits, c.races) << QString::number(c.payout)
          << CsvRate(c.payout, 100LL * c.tickets);
        csv += f.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    };
    int n = 0;
    for (const BacktestBlock &b : s.blocks) {
        const QString &k = b.meetingDateKey;
        row({QString::number(++n), racing::PlaceName(Mid(k, 1, 2), 1).trimmed(), Mid(k, 5, 1), Mid(k, 6, 1),
             Mid(k, 7, 4) + QLatin1Char('-') + Mid(k, 11, 2) + QLatin1Char('-') + Mid(k, 13, 2)},
            b.counts);
    }
    row({QStringLiteral("total"), QString(), QString(), QString(), QString()}, s.total);
    return csv;
}

} // namespace korvin::predict
