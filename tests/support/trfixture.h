#pragma once
// Time-rank race blocks for the tests, laid out as the export splitter writes
// them: eight header lines, 24 groups (entries, a dash line, then two heading
// lines before the next group), one trailer line.
#include <QString>
#include <QStringList>
#include <vector>

namespace korvin::test {

// Pads or cuts a text to exactly n characters.
inline QString fit(const QString &s, int n)
{
    return s.size() >= n ? s.left(n) : s + QString(n - s.size(), QLatin1Char(' '));
}

// An entry line: characters 1-4, 5-12, 13-16, 17-23 and the rest.
inline QString trEntry(const QString &c1, const QString &c5, const QString &c13, const QString &c17,
                       const QString &rest = QStringLiteral(" 1:48.5"))
{
    return fit(c1, 4) + fit(c5, 8) + fit(c13, 4) + fit(c17, 7) + rest;
}

// A plain entry of a horse: "NN位" at 1-4, the horse number at 13-14
// (characters 5-6 of the cell for kinds 1..5), a name at 17-23.
inline QString trHorse(int rank, int horse)
{
    return trEntry(QStringLiteral("%1位").arg(rank, 2), QStringLiteral("  12.3"),
                   QStringLiteral("%1  ").arg(horse, 2, 10, QLatin1Char('0')), QStringLiteral("ウマ%1").arg(horse),
                   QStringLiteral(" 1:48.5 34.5"));
}

struct TRBlockPlan {
    QString date = QStringLiteral("2000年 6月10日(土) "); // characters 1-15
    QString meeting = QStringLiteral("3");
    QString course = QStringLiteral("東京");
    QString day = QStringLiteral("4");
    QString raceLabel = QStringLiteral("11Ｒ");
    QString nameLine = QStringLiteral("サラ系３歳・未勝利(混)[指]  芝右1800m 16頭立");
    QChar surface = QChar(u'芝'); // character 17 of line 5
    // Entries of each group; a group listed shorter than 24 groups is empty.
    std::vector<QStringList> groups;
};

inline QString trHeaderLine(const TRBlockPlan &s)
{
    // 31 characters, so the race label stands at characters 33-35 of the header text.
    return fit(fit(s.date, 15) + s.meeting + QStringLiteral("回") + s.course + s.day + QStringLiteral("日目"), 31);
}

inline QStringList trBlock(const TRBlockPlan &s)
{
    QStringList l;
    l << trHeaderLine(s);
    l << s.raceLabel + QStringLiteral("  15:35 発走");
    l << s.nameLine;
    l << QStringLiteral("馬番 馬名");
    l << fit(QStringLiteral("補正タイムランキング"), 16) + s.surface + QStringLiteral("右 全期間");
    l << QStringLiteral("順位 タイム") << QStringLiteral("") << QStringLiteral("--------");
    for (int g = 0; g < 24; ++g) {
        const QStringList entries = g < int(s.groups.size()) ? s.groups[g] : QStringList();
        l << entries;
        l << QStringLiteral("----------------");
        if (g != 23)
            l << QStringLiteral("  見出し %1").arg(g + 1) << QStringLiteral("順位 タイム");
    }
    l << QStringLiteral("集計 終了");
    return l;
}

// 24 groups of five horses: group g, rank k holds horse (g + k - 1) % 18 + 1.
inline std::vector<QStringList> trFullGroups()
{
    std::vector<QStringList> groups(24);
    for (int g = 0; g < 24; ++g)
        for (int k = 1; k <= 5; ++k)
            groups[g] << trHorse(k, (g + k - 1) % 18 + 1);
    return groups;
}

} // namespace korvin::test
