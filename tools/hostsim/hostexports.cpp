#include "hostexports.h"

#include "demofiles.h"
#include "racing/codetables.h"

#include <algorithm>

namespace korvin::hostsim {

using namespace demodata;

QStringList rankSection(const Day &day, const Course &course, const Race &race, int kind, Surface surface, bool near,
                        int period)
{
    QStringList lines = timeRankHeadLines(day, course, race, kind);
    lines << timeRankTitleLine(race, kind, surface, near, period) << timeRankColumnHeader(kind)
          << QStringLiteral("  (上位５頭)") << QString(60, QLatin1Char('='));
    const QVector<RankEntry> view = rankingView(day, race, kind, surface, near, period);
    for (int k = 0; k < view.size(); ++k)
        lines << timeRankEntryLine(kind, k + 1, view[k]);
    lines << QString(60, QLatin1Char('-')) << timeRankTrailer(race);
    return lines;
}

namespace {

// A margin in half-width digits ("1.1/2") or in full width ("クビ", "大差").
bool halfWidth(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

QString timeText(int tenths)
{
    if (tenths <= 0)
        return QString(6, QLatin1Char(' '));
    return QStringLiteral("%1:%2.%3")
        .arg(tenths / 600)
        .arg((tenths % 600) / 10, 2, 10, QLatin1Char('0'))
        .arg(tenths % 10);
}

} // namespace

QString commentRunnerLine(const Runner &r)
{
    QString line = racing::PadNumber(r.number, 2) + QLatin1Char(' ') + r.name.left(9).leftJustified(9, QChar(0x3000)) +
                   QLatin1Char(' ');
    line += r.result > 0 ? racing::PadNumber(r.result, 2) : racing::AbnormalName(QString::number(r.abnormal)).left(2);
    line += QLatin1Char(' ') + QStringLiteral("%1.%2").arg(r.carriedTenths / 10).arg(r.carriedTenths % 10) +
            QLatin1Char(' ');
    // Characters 22-28: a margin in half-width characters ends at 27 and leaves
    // 28 blank; a dead heat is "d" at 28; a full-width margin ends at 28 and
    // takes one more blank behind it.
    if (r.deadHeat)
        line += QStringLiteral("      d");
    else if (halfWidth(r.margin))
        line += r.margin.rightJustified(6, QLatin1Char(' ')) + QLatin1Char(' ');
    else
        line += r.margin.rightJustified(7, QLatin1Char(' ')) + QLatin1Char(' ');
    // Ten characters: time and popularity.
    line += timeText(r.timeTenths) + QLatin1Char(' ') +
            (r.popularity > 0 ? racing::PadNumber(r.popularity, 2) : QStringLiteral("  ")) + QLatin1Char(' ');
    // The graph: one "=" and one more per length behind the winner, then the
    // fourth-corner position and the finish "◆", the finish first when the
    // runner made up ground in the straight; a runner without a finish shows
    // its corner position (0 when it never ran) without "◆".
    line += QString(1 + std::min(r.behindQuarters / 4, 27), QLatin1Char('='));
    const QString corner = QString::number(r.corner);
    if (r.result <= 0)
        line += racing::PadNumber(r.corner, 2);
    else if (r.result < r.corner)
        line += QStringLiteral("◆") + corner;
    else
        line += corner + QStringLiteral("◆");
    return line;
}

QStringList commentLines(const Day &day, const Course &course, const Race &race)
{
    QStringList lines;
    lines << QStringLiteral("【レース成績】 ") + day.date.toString(QStringLiteral("yyyy/MM/dd"));
    lines << timeRankHeadLines(day, course, race, 0).front();
    lines << raceLabel(race.number) + QLatin1Char(' ') + race.title + race.conditions;
    lines << QStringLiteral("発走 %1:%2")
                     .arg(race.startMinutes / 60)
                     .arg(race.startMinutes % 60, 2, 10, QLatin1Char('0')) +
                 timeRankTail(race);
    lines << QStringLiteral("(着差グラフ: ＝ 1馬身  ◆ ゴール  数字 ４角位置)");
    lines << QStringLiteral("番 馬名　　　　　　　　 着 斤量   着差   タイム 人 着差＆４角位置グラフ");
    lines << QString(70, QLatin1Char('-'));
    QVector<const Runner *> order;
    for (const Runner &r : race.runners)
        order << &r;
    // Finishing order; runners without a place behind, stopped before scratched.
    std::stable_sort(order.begin(), order.end(), [](const Runner *a, const Runner *b) {
        auto key = [](const Runner *r) { return r->result > 0 ? r->result : r->abnormal == Scratched ? 99 : 98; };
        return key(a) < key(b);
    });
    for (const Runner *r : order)
        lines << commentRunnerLine(*r);
    return lines;
}

} // namespace korvin::hostsim
