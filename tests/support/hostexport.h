#pragma once
// The host's exports as the scripts make it write them: the time-rank export
// ("TimeRank.txt", 36 ranking sections per race) and the result export
// ("Comment.txt"). Written with platform::encodeLines: CP932, CR LF.
#include "support/trfixture.h"
#include "timerank/timerankfile.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace korvin::test {

// Sections 6..17 and 24..35 of a race are filtered: the even ones show both
// surfaces ("芝・ダート", kept), the odd ones the other surface (dropped).
inline bool keptFiltered(int section) { return section % 2 == 0; }
inline bool isFiltered(int section) { return (section >= 6 && section < 18) || section >= 24; }

struct ExportRacePlan {
    QString dateLine = QStringLiteral("2000年 6月10日(土) 3回東京4日目");
    QString raceLabel = QStringLiteral("11Ｒ");
    int kind = 0;       // "芝・ダ" stands at this kind's title column...
    int titleShift = 0; // ...moved by this many characters
    std::function<int(int section)> rows = [](int) { return 8; };
};

// An entry row: rank at 1-4, the section at 13-16 ("S07"), a name at 17-23.
inline QString exportRow(int section, int rank)
{
    return trEntry(QStringLiteral("%1位").arg(rank, 2), QStringLiteral("  12.3"),
                   QStringLiteral("S%1").arg(section, 2, 10, QLatin1Char('0')), QStringLiteral("ウマ%1").arg(rank),
                   QStringLiteral(" 1:48.5～"));
}

inline QString exportTitle(const ExportRacePlan &p, int section)
{
    QString surface = QStringLiteral("芝");
    if (isFiltered(section))
        surface = keptFiltered(section) ? QStringLiteral("芝・ダート") : QStringLiteral("ダート");
    const int column = timerank::KindTitleColumn(p.kind) + (isFiltered(section) ? p.titleShift : 0);
    return QStringLiteral("【ランキング】").leftJustified(column - 1, QLatin1Char(' ')) + surface +
           QStringLiteral(" 1600～2000m 全期間");
}

inline QStringList exportSection(const ExportRacePlan &p, int s)
{
    QStringList l;
    l << p.dateLine + QStringLiteral(" 天候:晴 S%1").arg(s) << p.raceLabel + QStringLiteral("  15:35 発走")
      << QStringLiteral("サラ系３歳・未勝利(混)[指]  芝右1800m 16頭立") << QStringLiteral("【補正タイム】 出走16頭")
      << exportTitle(p, s) << QStringLiteral("順位 タイム S%1").arg(s) << QStringLiteral("  (上位５頭)")
      << QString(40, QLatin1Char('='));
    for (int r = 1; r <= p.rows(s); ++r)
        l << exportRow(s, r);
    l << QString(40, QLatin1Char('-')) << QStringLiteral("対象16頭中 16頭 S%1").arg(s);
    return l;
}

inline QStringList exportRace(const ExportRacePlan &p)
{
    QStringList l;
    for (int s = 0; s < 36; ++s)
        l << exportSection(p, s);
    return l;
}

// "Comment.txt" of one race: line 2 the day (year 3-4, meeting 16, course
// 18-19, day 20), line 3 the race label, line 4 the runner count in the first
// two of its last four characters, runner lines from line 8.
struct CommentExportPlan {
    QString dayLine = QStringLiteral("2000年 6月10日(土) 3回東京4日目");
    QString raceLine = QStringLiteral("11Ｒ サラ系３歳未勝利");
    QStringList runners;
    int count = -1; // the runner count written; -1: runners.size()
};

// A runner line: characters 1-27 the horse, 28 the given character, 29-39
// "ABCDEFGHIJK" (ten of them go), then the tail.
inline QString commentRunner(int horse, QChar c28, const QString &tail)
{
    return fit(QStringLiteral("%1 ウマ%1 牡3").arg(horse, 2), 27) + c28 + QStringLiteral("ABCDEFGHIJK") + tail;
}

inline QStringList commentExport(const CommentExportPlan &p)
{
    const int count = p.count < 0 ? int(p.runners.size()) : p.count;
    QStringList l;
    l << QStringLiteral("成績") << p.dayLine << p.raceLine
      << QStringLiteral("サラ系３歳未勝利  芝右1800m %1頭立").arg(count, 2) << QStringLiteral("着 馬番 馬名")
      << QString(40, QLatin1Char('-')) << QString();
    l << p.runners;
    return l;
}

} // namespace korvin::test
