#include "racecard/datalist.h"
#include "platform/sjis.h"
#include "racecard/fixtures.h"
#include "racing/codetables.h"
#include "racing/horsemarks.h"
#include "common/helpers.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"

#include <QFile>
#include <QStringList>
#include <cmath>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::racecard;
using korvin::test::CsvLine;
using korvin::test::R;

TEST(DataList, MaxMinAveWithRoundingToEven)
{
    struct Case {
        std::array<int, 7> t;
        int max, min, ave;
    } cases[] = {
        {{0, 0, 0, 0, 0, 0, 0}, 0, 0, 0},
        {{80, 0, 90, 0, 0, 0, 0}, 90, 80, 85},
        {{1, 2, 0, 0, 0, 0, 0}, 2, 1, 2}, // 1.5 -> 2
        {{2, 3, 0, 0, 0, 0, 0}, 3, 2, 2}, // 2.5 -> 2
        {{3, 4, 0, 0, 0, 0, 0}, 4, 3, 4}, // 3.5 -> 4
        {{100, 101, 100, 0, 0, 0, 0}, 101, 100, 100},
        {{-5, 0, 0, 0, 0, 0, 0}, 0, -5, -5},
        {{999, 0, 0, 0, 0, 0, 0}, 999, 0, 999}, // 999 is never below the start of Min
    };
    for (const Case &c : cases) {
        const FigureSummary s = SummariseFigures(c.t);
        EXPECT_EQ(s.max, c.max);
        EXPECT_EQ(s.min, c.min);
        EXPECT_EQ(s.ave, c.ave) << c.t[0] << " " << c.t[1];
    }
}

TEST(DataList, ColourThresholds)
{
    struct Case {
        int v;
        CellColour interval, figure;
    } cases[] = {
        {-1, CellColour::Menu, CellColour::Menu},       {9, CellColour::Menu, CellColour::Menu},
        {10, CellColour::LightGreen, CellColour::Menu}, {19, CellColour::LightGreen, CellColour::Menu},
        {20, CellColour::Red, CellColour::Menu},        {89, CellColour::Red, CellColour::Menu},
        {90, CellColour::Red, CellColour::LightCyan},   {94, CellColour::Red, CellColour::LightCyan},
        {95, CellColour::Red, CellColour::LightYellow}, {99, CellColour::Red, CellColour::LightYellow},
        {100, CellColour::Red, CellColour::LightRed},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(IntervalColor(c.v), c.interval) << c.v;
        EXPECT_EQ(FigureColor(c.v), c.figure) << c.v;
    }
    // The names the command line prints, in the order of the enumeration.
    QStringList names;
    for (int c = int(CellColour::ButtonFace); c <= int(CellColour::LightRed); ++c)
        names << BackgroundName(CellColour(c));
    EXPECT_EQ(names.join(QLatin1Char(' ')),
              QStringLiteral("buttonface menu #ffffff #80ff80 #ff0000 #80ffff #ffff80 #ff8080"));
}

TEST(DataList, BestThreeTiersWithTiesAndFractions)
{
    struct Case {
        QStringList captions;
        bool smaller;
        std::vector<int> tiers;
    } cases[] = {
        {{"5", "3", "3", "1"}, false, {1, 2, 2, 0}},
        {{"5", "5", "3"}, false, {1, 1, 3}},
        {{"1", "2", "3", "4"}, true, {1, 2, 3, 0}},
        {{"3.5", "2.1", "4", "9"}, true, {0, 0, 3, 0}}, // fractions take part, never match
        {{"", "  ", "7", "7"}, true, {0, 0, 1, 1}},     // empty captions take no part
        {{"100", "120", "99"}, true, {0, 0, 1}},        // worse than the start never enters
        {{" 52 ", "48", "60"}, false, {2, 3, 1}},       // trimmed for the comparison
        {{"1", "取消", "2"}, true, {2, 0, 3}},          // not a number counts 0
        {{"03", "3", "5"}, true, {0, 1, 3}},            // compared as text: "03" is not "3"
        {{"4"}, true, {1}},
        {{"99", "1"}, true, {2, 1}}, // third tier still 99: "99" is second
    };
    for (const Case &c : cases)
        EXPECT_EQ(MarkBestThree(c.captions, c.smaller), c.tiers) << c.captions.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ((std::vector<CellColour>{TierColour(1), TierColour(2), TierColour(3), TierColour(0)}),
              (std::vector<CellColour>{CellColour::LightYellow, CellColour::LightCyan, CellColour::LightGreen,
                                       CellColour::ButtonFace}));
}

TEST(DataList, DeviationScores)
{
    const ZIStatistics z = DeviationScores({40, 50, 60});
    EXPECT_NEAR(z.mean, 50.00000149, 1e-8);
    EXPECT_DOUBLE_EQ(z.variance, 100);
    EXPECT_DOUBLE_EQ(z.deviation, 10);
    EXPECT_NEAR(z.scores[0], 39.9999985, 1e-7);
    EXPECT_NEAR(z.scores[2], 59.9999985, 1e-7);
    EXPECT_EQ(common::FormatZeroZero(z.scores[0]), QStringLiteral("40"));
    EXPECT_EQ(common::FormatZeroZero(z.scores[1]), QStringLiteral("50"));

    for (const std::vector<double> &values :
         {std::vector<double>{}, {55.5}, {52.3, 52.3, 52.3}, {0.1, 0.1, 0.1, 0.1, 0.1, 0.1, 0.1}}) {
        const ZIStatistics e = DeviationScores(values);
        EXPECT_EQ(e.variance, 0);
        EXPECT_EQ(e.deviation, 0);
        for (double s : e.scores)
            EXPECT_EQ(s, 50);
    }
    EXPECT_DOUBLE_EQ(DeviationScores({55.5}).mean, 55.5);
}

TEST(DataList, VtxHorseLineAllowance)
{
    // The last 24 characters: T1 (24-21), T2 (20-17), D1 (16-13), D2 (12-9),
    // a gap, the pace (7), six more characters.
    const QString prefix = QStringLiteral(" 3  5 ﾌﾞﾗｯｸﾎｰｽ  ");
    auto layout = [](const QString &six) { return QStringLiteral("T101T102D103D104 逃") + six; };
    ASSERT_EQ(layout(QStringLiteral("   124")).size(), 24);
    struct Case {
        QString line;
        QString t1, t2, d1, d2, pace;
    } cases[] = {
        // last character not blank: x = 0
        {prefix + layout(QStringLiteral("   124")), "T101", "T102", "D103", "D104", "逃"},
        // the last two blank: x = 1
        {prefix + layout(QStringLiteral("   12 ")) + " ", "T101", "T102", "D103", "D104", "逃"},
        // last blank, second-to-last not, third-to-last blank: x = 2
        {prefix + layout(QStringLiteral("   12 ")) + "Z ", "T101", "T102", "D103", "D104", "逃"},
        // last blank, the two before not blank: x = 0, columns read one to the right
        {prefix + layout(QStringLiteral("   124")) + " ", "101T", "102D", "103D", "104 ", " "},
    };
    for (const Case &c : cases) {
        const VtxHorse h = ReadVtxHorseLine(c.line);
        EXPECT_EQ(h.Waku, QStringLiteral("3"));
        EXPECT_EQ(h.T1, c.t1) << c.line.toStdString();
        EXPECT_EQ(h.T2, c.t2);
        EXPECT_EQ(h.D1, c.d1);
        EXPECT_EQ(h.D2, c.d2);
        EXPECT_EQ(h.Pace, c.pace);
    }
    EXPECT_EQ(ReadVtxHorseLine(QStringLiteral("ab")).T1, QStringLiteral("ab"));
    EXPECT_EQ(ReadVtxHorseLine(QString()).Waku, QString());
}

namespace {
// A race of a VTX text: title line (course at 18-19), race line, header, rule,
// column header (dropped), horse lines.
QStringList vtxRace(const QString &course, const QString &raceLine, const QStringList &horses)
{
    return QStringList{"2000/10/01 (日)   " + course + " 晴 良", raceLine, "馬 番 馬名", "--------------------",
                       " 枠 番 馬名 芝短 中 ダ短 中  脚"} +
           horses;
}
QString horse(int waku, int t1)
{
    auto col = [](int v) { return QStringLiteral("%1").arg(v, 4); };
    return QStringLiteral(" %1  ﾃｽﾄﾎｰｽ   ").arg(waku) + col(t1) + col(t1 + 1) + col(t1 + 2) + col(t1 + 3) +
           QStringLiteral(" 先 1.2.3");
}
} // namespace

TEST(DataList, VtxBlockSearch)
{
    ASSERT_EQ(vtxRace(QStringLiteral("東京"), QString(), {})[0].mid(17, 2), QStringLiteral("東京"));
    QStringList file;
    file << vtxRace(QStringLiteral("東京"), QStringLiteral("1Ｒ 2歳未勝利"), {horse(1, 51), horse(2, 52)});
    file << QStringLiteral("--------------------") << QStringLiteral("(c) footer");
    file << vtxRace(QStringLiteral("中山"), QStringLiteral("11Ｒ ステークス"), {horse(3, 61)});
    file << QStringLiteral("--------------------") << QString();
    file << vtxRace(QStringLiteral("東京"), QStringLiteral("11Ｒ 天皇賞"), {horse(4, 71), horse(5, 72), horse(6, 73)});
    file << QStringLiteral("--------------------");

    auto tokyo11 = ReadVtxBlock(file, QStringLiteral("東京"), 11);
    ASSERT_EQ(tokyo11.size(), 3u);
    EXPECT_EQ(tokyo11[0].Waku, QStringLiteral("4"));
    EXPECT_EQ(tokyo11[2].T1.trimmed(), QStringLiteral("73"));
    EXPECT_EQ(tokyo11[2].Pace, QStringLiteral("先"));
    auto tokyo1 = ReadVtxBlock(file, QStringLiteral("東京"), 1);
    ASSERT_EQ(tokyo1.size(), 2u); // ends at the rule after it
    EXPECT_EQ(tokyo1[1].T2.trimmed(), QStringLiteral("53"));
    EXPECT_EQ(ReadVtxBlock(file, QStringLiteral("中山"), 11).size(), 1u);
    EXPECT_TRUE(ReadVtxBlock(file, QStringLiteral("中山"), 1).empty());
    EXPECT_TRUE(ReadVtxBlock(file, QStringLiteral("阪神"), 11).empty());

    // The line after a rule is dropped and not remembered: a title placed right
    // after a closing rule is never seen as the third line before the next rule.
    QStringList shifted{QStringLiteral("--------------------")};
    shifted << vtxRace(QStringLiteral("東京"), QStringLiteral("2Ｒ"), {horse(7, 80)});
    EXPECT_TRUE(ReadVtxBlock(shifted, QStringLiteral("東京"), 2).empty());
    // At most 18 horse lines.
    QStringList big;
    QStringList horses;
    for (int i = 0; i < 20; ++i)
        horses << horse(8, 60 + i);
    big << vtxRace(QStringLiteral("京都"), QStringLiteral("3Ｒ"), horses);
    EXPECT_EQ(ReadVtxBlock(big, QStringLiteral("京都"), 3).size(), 18u);
    EXPECT_EQ(VtxFileName(QStringLiteral("/v/"), QStringLiteral("DC001001.csv")), QStringLiteral("/v/Dx001001.txt"));
}

TEST(DataList, MarksSpreadAndJoin)
{
    const QString marks = QStringLiteral("◎  A ▲") + QString(36 - 8, QLatin1Char(' '));
    const auto boxes = SpreadMarks(marks);
    EXPECT_EQ((QStringList{boxes[0], boxes[1], boxes[2], boxes[3], boxes[17]}),
              (QStringList{QStringLiteral("◎"), "  ", "A ", QStringLiteral("▲"), "  "}));
    EXPECT_EQ(JoinMarks(boxes), marks);

    std::array<QString, 18> typed;
    typed[0] = QStringLiteral("abc"); // three characters: the first two bytes
    typed[1] = QStringLiteral("○x");  // full-width mark and more: the mark alone
    typed[2] = QStringLiteral(" B "); // one half-width character: it and a blank
    typed[3] = QStringLiteral("a○");  // a double-byte character cut in two becomes a blank
    typed[4] = QStringLiteral("ｱ");   // half-width katakana is one byte
    const QString joined = JoinMarks(typed);
    EXPECT_EQ(racing::SjisLength(joined), 36);
    EXPECT_EQ(joined.left(9), QStringLiteral("ab○B a ｱ "));

    // Whatever is typed, the text written is 36 bytes in the file, so the
    // slots of the later horses stay in place: a character outside Shift-JIS
    // (one written byte, even when it takes two UTF-16 units) is saved as the
    // "?" the file receives.
    std::array<QString, 18> odd;
    odd[0] = QString::fromUtf8("\xF0\x9F\x98\x80"); // emoji: a surrogate pair
    odd[1] = QStringLiteral("€");                   // not in Shift-JIS
    odd[2] = QStringLiteral("◎");
    const QString oddJoined = JoinMarks(odd);
    EXPECT_EQ(platform::toSjis(oddJoined).size(), 36);
    EXPECT_EQ(oddJoined.left(5), QStringLiteral("? ? ◎"));
    EXPECT_EQ(SpreadMarks(platform::fromSjis(platform::toSjis(oddJoined)))[2], QStringLiteral("◎"));
}

namespace {
// One field of several cells of a model, compared at once.
template <class T>
std::vector<T> field(const DataListModel &m, T DataCell::*f, std::initializer_list<std::pair<int, Column>> cells)
{
    std::vector<T> out;
    for (const auto &[row, col] : cells)
        out.push_back(m.rows[size_t(row)][col].*f);
    return out;
}

struct Day {
    test::ScratchHome home;
    QString csv;
    Day()
    {
        home.writeDefaultSettings();
        EXPECT_TRUE(common::LoadSettings().empty());
        csv = home.path(QStringLiteral("DenCSV/DC001005.csv"));
    }
    RaceContext context(const QString &key, const QString &caption) const
    {
        return {csv, QStringLiteral("DC001005.csv"), racing::RaceIdOfKey(key), caption, common::Settings};
    }
};
} // namespace

TEST(DataList, LoadFromFiles)
{
    Day d;
    const QString key = QStringLiteral("05003411");
    QStringList lines;
    lines << CsvLine(R(QStringLiteral("0500341001"))); // another race
    auto a = R(key + QStringLiteral("01"));
    a.zi = QStringLiteral("40");
    a.interval = QStringLiteral("12");
    a.result = QStringLiteral("2");
    a.odds = QStringLiteral("3.5");
    a.abnormal = QStringLiteral("0");
    a.tracks = {"0", "1", "8", "2", "", "0", "0"};
    a.figures = {"95", "80", "100", "89", "", "0", "90"};
    auto b = R(key + QStringLiteral("02"));
    b.zi = QStringLiteral("50");
    b.interval = QStringLiteral("25");
    b.result = QStringLiteral("1");
    b.odds = QStringLiteral("12");
    b.figures = {"70", "72", "0", "0", "0", "0", "0"};
    auto c = R(key + QStringLiteral("03"));
    c.zi = QStringLiteral("60");
    c.result = QStringLiteral("0");
    c.odds = QStringLiteral("");
    c.abnormal = QStringLiteral("1");
    lines << CsvLine(a) << CsvLine(b) << CsvLine(c) << CsvLine(R(QStringLiteral("0500341201")));
    d.home.writeLines(QStringLiteral("DenCSV/DC001005.csv"), lines);

    const QString caption = QStringLiteral("00年 ３回東京４日目 11R T1600m オープン 03頭");
    DataListModel m = LoadDataList(d.context(key, caption));
    ASSERT_EQ(m.runnerCount, 3);
    EXPECT_TRUE(m.messages.empty());
    EXPECT_EQ(m.title, caption);
    using C = CellColour;
    const std::initializer_list<std::pair<int, Column>> texts = {
        {0, ColNo},  {0, ColTime1}, {0, ColTime2}, {0, ColTime4}, {0, ColTime5},
        {0, ColMax}, {0, ColMin},   {0, ColAve},   {2, ColError}, {0, ColZI}};
    EXPECT_EQ(field(m, &DataCell::text, texts),
              (std::vector<QString>{"01", "T95", "D80", "J89", " ", "100", "80", "91" /* 454 / 5 = 90.8 */,
                                    QStringLiteral("取消"), "40"}));
    const std::initializer_list<std::pair<int, Column>> colours = {{0, ColTime1}, {0, ColTime3}, {0, ColTime4},
                                                                   {0, ColTime7}, {0, ColInt},   {1, ColInt},
                                                                   {2, ColInt},   {2, ColZI},    {0, ColZI}};
    EXPECT_EQ(field(m, &DataCell::colour, colours),
              (std::vector<C>{C::LightYellow, C::LightRed, C::Menu, C::LightCyan, C::LightGreen, C::Red, C::Menu,
                              C::LightYellow, C::LightGreen}));
    // Result: 2, 1, 0 -> tiers 2, 1 and 0 (0 is best but hidden), odds 3.5 never matches;
    // odds tiers 3, 12, 99: empty odds take no part.
    EXPECT_EQ(field(m, &DataCell::tier, {{1, ColResult}, {2, ColResult}, {0, ColOdds}, {1, ColOdds}, {2, ColZI}}),
              (std::vector<int>{2, 1, 0, 2, 1}));
    // No VTX file: those cells stay hidden; rows past n are hidden.
    EXPECT_FALSE(m.vtxFound);
    EXPECT_EQ(field(m, &DataCell::visible,
                    {{2, ColResult}, {0, ColResult}, {2, ColOdds}, {0, ColT1}, {3, ColNo}, {3, ColMark}, {2, ColMark}}),
              (std::vector<bool>{false, true, false, false, false, false, true}));
    // ZI switch.
    EXPECT_FALSE(m.meanLabel.visible);
    ShowZIColumn(m, true);
    EXPECT_EQ(field(m, &DataCell::text, {{0, ColZI}, {2, ColZI}}), (std::vector<QString>{"40", "60"}));
    EXPECT_EQ(m.meanLabel.text, QStringLiteral("平均： 50.0"));
    EXPECT_EQ(m.deviationLabel.text, QStringLiteral("標準偏差： 10.0"));
    EXPECT_TRUE(m.deviationLabel.visible);
    // The mark file was created blank on the way.
    EXPECT_EQ(m.marks, QString(36, QLatin1Char(' ')));
    EXPECT_TRUE(QFile::exists(d.home.path(QStringLiteral("MData/Um003東.dat"))));
}

TEST(DataList, ZIColumnTexts)
{
    DataListModel m;
    m.runnerCount = 3;
    m.ziValues = {52.3, 0, 105.2};
    m.ziNumeric = {true, false, true};
    m.ziTexts = {QStringLiteral("52.30"), QStringLiteral("--"), QStringLiteral("105.2")};
    m.zi.scores = {105.2, 7.6, -3.4};
    const auto zi = [&] { return field(m, &DataCell::text, {{0, ColZI}, {1, ColZI}, {2, ColZI}}); };
    ShowZIColumn(m, false);
    EXPECT_EQ(zi(), (std::vector<QString>{"52.3", "--" /* shown as it stands */, "105.2"}));
    ShowZIColumn(m, true);
    EXPECT_EQ(zi(), (std::vector<QString>{"10" /* two-character cut */, "08", "-0"}));
}

TEST(DataList, VtxPayoutsMarksAndTooManyRunners)
{
    Day d;
    const QString key = QStringLiteral("06124212");
    QStringList lines;
    for (int i = 1; i <= 20; ++i) {
        auto r = R(key + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')));
        r.zi = QString::number(40 + i);
        lines << CsvLine(r);
    }
    d.home.writeLines(QStringLiteral("DenCSV/DC001005.csv"), lines);
    QStringList vtx =
        vtxRace(QStringLiteral("中山"), QStringLiteral("12Ｒ"), {horse(1, 55), horse(1, 66), horse(2, 44)});
    d.home.writeLines(QStringLiteral("VTX/Dx001005.txt"), vtx);
    // Marks of horses 1 and 3 on day 2, race 12: line 24.
    racing::WriteHorseMarks(QStringLiteral("◎  B ") + QString(30, QLatin1Char(' ')), key, common::Settings.MData);
    // One payout record for day 2, race 12.
    d.home.writeBytes(QStringLiteral("SData/124中.dat"), test::PayoutRecord("2", "12").tan(0, "07", 1230).b);

    const QString caption = QStringLiteral("12年 ４回中山２日目 12R D1200m   未勝利 20頭");
    DataListModel m = LoadDataList(d.context(key, caption));
    EXPECT_EQ(m.runnerCount, 18);
    ASSERT_EQ(m.messages.size(), 1u);
    EXPECT_TRUE(m.messages[0].text.contains(QStringLiteral("18頭を超えています")));
    EXPECT_TRUE(m.vtxFound);
    EXPECT_EQ(m.rows[1][ColT1].text.trimmed(), QStringLiteral("66"));
    EXPECT_EQ(field(m, &DataCell::text, {{2, ColWaku}, {0, ColMark}, {2, ColMark}}),
              (std::vector<QString>{"2", QStringLiteral("◎"), "B "}));
    // Highest ZI of the 18 shown is 58 (row 17): tier 1.
    EXPECT_EQ(field(m, &DataCell::tier, {{1, ColT1}, {0, ColT1}, {17, ColZI}}), (std::vector<int>{1, 2, 1}));
    EXPECT_EQ(field(m, &DataCell::visible, {{2, ColPace}, {3, ColT1}}), (std::vector<bool>{true, false}));
    EXPECT_TRUE(m.payouts.shown);
    EXPECT_EQ(m.payouts.Tan[0].text, QStringLiteral("07    1230"));
    EXPECT_TRUE(m.payouts.Tan[0].visible);
    EXPECT_FALSE(m.payouts.Tan[1].visible);

    // SDataON "0": no payout file is read.
    RaceContext off = d.context(key, caption);
    off.settings.SDataON = QStringLiteral("0");
    EXPECT_FALSE(LoadDataList(off).payouts.shown);
}
