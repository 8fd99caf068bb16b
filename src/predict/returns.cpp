#include "predict/returns.h"

#include "platform/dialogs.h"

#include "racing/codetables.h"
#include "common/helpers.h"

namespace korvin::predict {

void StartReport(VerifyTotals &totals, platform::Dialogs &user)
{
    // The returns cover the same races as the counts: with no race counted
    // they start from zero too.
    if (totals.raceCount > 0 && user.question(AccumulateQuestion()) == platform::Answer::No)
        ResetVerification(totals.raceCount, totals.counters);
    if (totals.raceCount == 0)
        totals.returns = ReturnTotals{};
}

bool IsRefund(const QString &abnormalName)
{
    // Codes 1..3 of the abnormal-result table: withdrawn before the start.
    for (const char *code : {"1", "2", "3"})
        if (abnormalName == racing::AbnormalName(QString::fromLatin1(code)))
            return true;
    return false;
}

namespace {
// What the entries listing horse pay; the first listing counts.
template <size_t N>
qint32 paidTo(int horse, const std::array<racing::PayoutEntry, N> &entries)
{
    for (const racing::PayoutEntry &e : entries)
        if (e.horse > 0 && e.horse == horse)
            return e.amount;
    return -1;
}
} // namespace

void AddReturns(const VerifyRace &race, const RaceTally &tally, ReturnTotals &totals)
{
    if (!tally.counted)
        return;
    ++totals.races;
    if (!race.payouts) {
        ++totals.noPayouts;
        return;
    }
    for (int c = 0; c < kVerifyColumns; ++c) {
        const int row = tally.row[size_t(c * kVerifyTiers)];
        if (row < 0)
            continue; // no pick in this column
        const VerifyRow &pick = race.rows[size_t(row)];
        PickReturns &p = totals.picks[size_t(c)];
        if (IsRefund(pick.abnormalText)) {
            ++p.refunds;
            continue;
        }
        ++p.staked;
        const int horse = common::TextToInt(pick.horseText);
        if (const qint32 win = paidTo(horse, race.payouts->win); win >= 0) {
            ++p.winHits;
            p.winPayout += win;
        }
        if (const qint32 place = paidTo(horse, race.payouts->place); place >= 0) {
            ++p.placeHits;
            p.placePayout += place;
        }
    }
}

QString RateText(qint64 part, qint64 whole)
{
    return whole == 0 ? QStringLiteral("-") : common::FormatPercent(double(part) / double(whole));
}

double RateValue(qint64 part, qint64 whole) { return whole == 0 ? 0.0 : RateText(part, whole).chopped(1).toDouble(); }

QString AlignRight(const QString &text, int width)
{
    const int columns = racing::SjisLength(text);
    return columns >= width ? text : QString(width - columns, QLatin1Char(' ')) + text;
}

QString AlignLeft(const QString &text, int width)
{
    const int columns = racing::SjisLength(text);
    return columns >= width ? text : text + QString(width - columns, QLatin1Char(' '));
}

namespace {
QString pickName(int column) { return SetNames()[size_t(column * kVerifyTiers)]; }
} // namespace

QStringList ReturnLines(const ReturnTotals &t)
{
    QStringList lines;
    lines << QStringLiteral("回収率 : 払戻あり") + racing::PadNumber(t.payoutRaces(), 4) +
                 QStringLiteral("R  払戻なし") + racing::PadNumber(t.noPayouts, 4) + QLatin1Char('R');
    lines << QString(7, QLatin1Char(' ')) + QStringLiteral("  賭数  返還  単的中  単回収率  複的中  複回収率");
    for (int c = 0; c < kVerifyColumns; ++c) {
        const PickReturns &p = t.picks[size_t(c)];
        if (t.races == 0) {
            lines << QString();
            continue;
        }
        lines << pickName(c) + racing::PadNumber(p.staked, 6) + racing::PadNumber(p.refunds, 6) +
                     racing::PadNumber(p.winHits, 8) + AlignRight(RateText(p.winPayout, 100LL * p.staked), 10) +
                     racing::PadNumber(p.placeHits, 8) + AlignRight(RateText(p.placePayout, 100LL * p.staked), 10);
    }
    return lines;
}

platform::BarChartData HitRateChart(qint32 n, const VerifyCounterSets &counters)
{
    platform::BarChartData d;
    d.title = QStringLiteral("的中率");
    d.axisTitle = QStringLiteral("%");
    d.series = {{QStringLiteral("勝率"), {}}, {QStringLiteral("連率"), {}}, {QStringLiteral("複率"), {}}};
    for (int set = 0; set < kVerifySets; ++set) {
        d.categories << SetNames()[size_t(set)].section(QLatin1Char(' '), 0, 0);
        const VerifyCounts &c = counters[size_t(set)];
        d.series[0].values << RateValue(c[0], n);
        d.series[1].values << RateValue(qint64(c[0]) + c[1], n);
        d.series[2].values << RateValue(qint64(c[0]) + c[1] + c[2], n);
    }
    return d;
}

platform::BarChartData ReturnRateChart(const ReturnTotals &t)
{
    platform::BarChartData d;
    d.title = QStringLiteral("回収率");
    d.axisTitle = QStringLiteral("%");
    d.series = {{QStringLiteral("単勝回収率"), {}}, {QStringLiteral("複勝回収率"), {}}};
    for (int c = 0; c < kVerifyColumns; ++c) {
        const PickReturns &p = t.picks[size_t(c)];
        d.categories << pickName(c).section(QLatin1Char(' '), 0, 0);
        d.series[0].values << RateValue(p.winPayout, 100LL * p.staked);
        d.series[1].values << RateValue(p.placePayout, 100LL * p.staked);
    }
    return d;
}

QString CsvField(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) && !text.contains(QLatin1Char('\n')) &&
        !text.contains(QLatin1Char('\r')))
        return text;
    return QLatin1Char('"') + QString(text).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString CsvRate(qint64 part, qint64 whole)
{
    return whole == 0 ? QString() : QString::number(RateValue(part, whole), 'f', 1);
}

QString VerifyCsv(qint32 n, const VerifyCounterSets &counters, const ReturnTotals &t)
{
    QString csv = QStringLiteral(
        "set,races,first,second,third,other,win_rate,quinella_rate,show_rate,payout_races,no_payout_races,"
        "staked,refunds,win_hits,win_payout,win_return_rate,place_hits,place_payout,place_return_rate\r\n");
    for (int set = 0; set < kVerifySets; ++set) {
        const VerifyCounts &c = counters[size_t(set)];
        QStringList f{SetNames()[size_t(set)].section(QLatin1Char(' '), 0, 0), QString::number(n)};
        for (qint32 count : c)
            f << QString::number(count);
        f << CsvRate(c[0], n) << CsvRate(qint64(c[0]) + c[1], n) << CsvRate(qint64(c[0]) + c[1] + c[2], n);
        f << QString::number(t.payoutRaces()) << QString::number(t.noPayouts);
        if (set % kVerifyTiers == 0) {
            const PickReturns &p = t.picks[size_t(set / kVerifyTiers)];
            const qint64 stake = 100LL * p.staked;
            f << QString::number(p.staked) << QString::number(p.refunds) << QString::number(p.winHits)
              << QString::number(p.winPayout) << CsvRate(p.winPayout, stake) << QString::number(p.placeHits)
              << QString::number(p.placePayout) << CsvRate(p.placePayout, stake);
        } else {
            for (int i = 0; i < 8; ++i)
                f << QString();
        }
        csv += f.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return csv;
}

} // namespace korvin::predict
