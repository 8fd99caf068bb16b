#include "platform/dialogs.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racing/codetables.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"
#include "support/trfixture.h"
#include "timerank/analysis.h"
#include "timerank/racelisttr.h"
#include "timerank/timerankfile.h"

#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::timerank;
using korvin::test::TRBlockPlan;

namespace {

TEST(TimeRankGroups, ThreeAndFiveEntriesWithTheirSkips)
{
    TRBlockPlan s;
    s.groups = test::trFullGroups();
    s.groups[0] = {test::trHorse(1, 7), test::trHorse(2, 8), test::trHorse(3, 9)};
    s.groups[1] = {test::trHorse(1, 1), test::trHorse(2, 2), test::trHorse(3, 3), test::trHorse(4, 4),
                   test::trHorse(5, 5)};
    s.groups[2] = {test::trHorse(1, 12), test::trHorse(2, 13)};
    s.groups[23] = {test::trHorse(1, 18)};
    const QStringList lines = test::trBlock(s);
    const TimeRankRace race = ReadRaceBlock(lines, 0, lines.size(), 1);
    ASSERT_TRUE(race.complete());
    struct Case {
        int cell;
        QString horse;
    };
    const std::vector<Case> cases = {
        {0, "07"},   {1, "08"},  {2, "09"}, {3, ""}, {4, ""}, // three entries, two-line skip
        {5, "01"},   {9, "05"},                               // five entries, three-line skip
        {10, "12"},  {11, "13"}, {12, ""},                    // two entries
        {15, "04"},  {19, "08"},                              // group 3 read in step
        {115, "18"}, {116, ""},                               // last group
    };
    for (const Case &c : cases)
        EXPECT_EQ(race.cells[c.cell].mid(4, 2).trimmed(), c.horse) << "cell " << c.cell;
    EXPECT_EQ(race.header1, s.nameLine);
    EXPECT_EQ(race.header0, test::trHeaderLine(s) + " 11Ｒ  15:35 発走");
}

TEST(TimeRankGroups, BlockEndingEarlyKeepsWhatWasRead)
{
    TRBlockPlan s;
    s.groups = test::trFullGroups();
    QStringList lines = test::trBlock(s);
    // Cut inside group 4: header (8) + 4 groups of 5 entries, dash, 2 headings + 2 entries.
    lines = lines.mid(0, 8 + 4 * 8 + 2);
    const TimeRankRace race = ReadRaceBlock(lines, 0, lines.size(), 1);
    EXPECT_FALSE(race.complete());
    EXPECT_EQ(race.groupsRead, 4);
    EXPECT_EQ((std::vector<bool>{race.cells[21].isEmpty(), race.cells[22].isEmpty(), race.cells[25].isEmpty()}),
              (std::vector<bool>{false, true, true}));
}

TEST(TimeRankCells, TextPerKindAndHalfWidth)
{
    // Characters: 1-4 "ABCD", 5-9 "efghi", 10-12 "jkl", 13-16 "mnop",
    // 17-23 full-width "ＡＢ１２ガ" + 2 blanks, then the rest ending "WXYZ".
    const QString line = QStringLiteral("ABCDefghijklmnopＡＢ１２ガ  rstWXYZ");
    const QString last = QStringLiteral("AB12ｶﾞ  ");
    struct Case {
        int kind;
        QString text;
    };
    const std::vector<Case> cases = {
        {0, QStringLiteral("jklmnop") + last},
        {1, QStringLiteral("ABCDmnop") + last},
        {2, QStringLiteral("WXYZmnop") + last},
        {3, QStringLiteral("ABCDmnop") + last},
        {4, QStringLiteral("ABCDmnop") + last},
        {5, QStringLiteral("ABCDmnop") + last},
        {6, QString()},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CellText(line, c.kind), c.text) << "kind " << c.kind;
}

TEST(TimeRankHeader, RaceLabelsAndSurface)
{
    for (const auto &[label, race, bytes] : {std::tuple{u"11Ｒ", 11, 4}, {u"１Ｒ", 1, 4}, {u"１２Ｒ", 12, 6}}) {
        EXPECT_EQ(RaceLabelNumber(QString::fromUtf16(label)), race);
        EXPECT_EQ(racing::SjisLength(QString::fromUtf16(label)), bytes);
    }
    // The surface stands at the title column of each kind.
    const int columns[] = {17, 17, 19, 20, 14, 15};
    for (int kind = 0; kind < 6; ++kind) {
        const int c = columns[kind];
        EXPECT_EQ(SurfaceOf(QString(c - 1, ' ') + QStringLiteral("ダ右"), kind), QStringLiteral("ダート")) << kind;
        EXPECT_EQ(SurfaceOf(QString(c - 2, ' ') + QStringLiteral("ダ右"), kind), QStringLiteral("芝")) << kind;
        EXPECT_EQ(SurfaceOf(QString(c - 1, ' ') + QStringLiteral("芝右"), kind), QStringLiteral("芝")) << kind;
        EXPECT_EQ(SurfaceOf(QString(), kind), QStringLiteral("芝")) << kind;
    }

    TRBlockPlan s;
    s.raceLabel = QStringLiteral("１Ｒ");
    const QStringList lines = test::trBlock(s);
    const TimeRankRace race = ReadRaceBlock(lines, 0, lines.size(), 0);
    const HeaderFields f = ParseHeader(race.header0);
    EXPECT_EQ(f.race, 1);
    EXPECT_EQ((QStringList{f.course, f.year2, f.meeting, f.day}),
              (QStringList{QStringLiteral("東京"), "00", "3", "4"}));
    EXPECT_EQ(race.identity(), QStringLiteral("2000年 6月10日(土) 3回東京4日目１Ｒ"));
    EXPECT_TRUE(IsStrictRaceHeader(lines[0]));
    EXPECT_FALSE(IsStrictRaceHeader(QStringLiteral("2000年 6月10日")));
}

TEST(TimeRankRaceList, NameAndSuffixRules)
{
    struct Case {
        QString line, name, suffix;
    };
    const std::vector<Case> cases = {
        {"ダービー(Ｇ１)記念X", "ダービー", "記念"},
        {"ダービー(Ｇ１)X", "ダービー", ""},        // second-to-last is ")"
        {"ダービー[指]X", "ダービー[指]X", ""},     // no "(": the whole line
        {"ダービー(Ｇ１[指]後Y", "ダービー", "後"}, // "]" counts too
        {"ダービー(Ｇ１", "ダービー", ""},          // no closing bracket
        {"ダービー(Ｇ１)", "ダービー", ""},         // final ")" never starts a suffix
        {"", "", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(RaceNameOf(c.line), c.name) << c.line.toStdString();
        EXPECT_EQ(RaceSuffixOf(c.line), c.suffix) << c.line.toStdString();
    }
}

TEST(TimeRankRaceList, CaptionByteWidths)
{
    struct Case {
        QString raceLine, nameLine, racePart, namePart;
    };
    const QString longName = QString(25, QChar(u'ア')) + QStringLiteral("(x)");
    const std::vector<Case> cases = {
        {"11Ｒ", "ダービー(Ｇ１)記念X", "11Ｒ" + QString(26, ' '), QString(30, ' ') + QStringLiteral("ﾀﾞｰﾋﾞｰ記念")},
        {"１Ｒ" + QString(30, 'x'), "ＡＢＣ", "１Ｒ" + QString(26, 'x'), QString(37, ' ') + "ABC"},
        // A double-byte character cut at byte 30 becomes a blank.
        {"1Ｒ" + QString(14, QChar(u'あ')), "", "1Ｒ" + QString(13, QChar(u'あ')) + " ", QString(40, ' ')},
        {"12Ｒ", longName, "12Ｒ" + QString(26, ' '), QString(15, ' ') + QString(25, QChar(u'ｱ'))},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(RacePart(c.raceLine), c.racePart);
        EXPECT_EQ(racing::SjisLength(RacePart(c.raceLine)), 30);
        EXPECT_EQ(NamePart(c.nameLine), c.namePart);
    }
    const QString wide = QString(25, QChar(u'漢'));
    EXPECT_EQ(NamePart(wide), wide); // longer than 40 bytes: kept whole
}

TEST(TimeRankRaceList, CoursesCaptionsAndLimits)
{
    QStringList lines;
    auto add = [&](const QString &course, const QString &label) {
        TRBlockPlan s;
        s.course = course;
        s.raceLabel = label;
        lines << test::trBlock(s);
    };
    for (int r = 1; r <= 10; ++r)
        add(QStringLiteral("東京"), r < 10 ? QString(QChar(u'０' + r)) + "Ｒ" : QStringLiteral("10Ｒ"));
    for (int r = 1; r <= 12; ++r)
        add(QStringLiteral("京都"), QStringLiteral("%1Ｒ").arg(r, 2, 10, QLatin1Char('0')));
    add(QStringLiteral("京都"), QStringLiteral("13Ｒ"));
    add(QStringLiteral("小倉"), QStringLiteral("01Ｒ"));
    add(QStringLiteral("札幌"), QStringLiteral("01Ｒ"));
    const TRRaceList list = BuildRaceList(lines);
    ASSERT_EQ(list.courses.size(), 3u);
    EXPECT_EQ(list.courses[0].name, QStringLiteral("東京"));
    EXPECT_EQ((std::vector<int>{list.courses[0].raceCount(), list.courses[1].raceCount(), list.courses[2].raceCount()}),
              (std::vector<int>{10, 12, 1}));
    EXPECT_TRUE(list.courses[0].captions[10].isEmpty());
    EXPECT_EQ(list.totalRaces(), 23);
    EXPECT_EQ(list.courses[0].dateLabel, QStringLiteral("2000年 6月10日(土) 3回東京4日目"));
    EXPECT_EQ(racing::SjisLength(list.courses[1].captions[0]), 70);
    EXPECT_EQ(list.problems.size(), 2); // race 13 and the fourth course
    EXPECT_TRUE(list.problems[0].contains(QStringLiteral("13Ｒ")));
    EXPECT_TRUE(list.problems[1].contains(QStringLiteral("札幌")));
    EXPECT_EQ(WantedRace(list.courses[0].dateLabel, list.courses[0].captions[0]),
              QStringLiteral("2000年 6月10日(土) 3回東京4日目１Ｒ"));
}

class AnalysisTest : public ::testing::Test {
protected:
    test::ScratchHome home;
    common::SettingsRecord settings;
    QString path;
    void SetUp() override
    {
        settings.SDataON = "0";
        QStringList lines;
        for (int r = 1; r <= 3; ++r) {
            TRBlockPlan s;
            s.raceLabel = QStringLiteral("%1Ｒ").arg(r, 2, 10, QLatin1Char('0'));
            s.surface = r == 2 ? QChar(u'ダ') : QChar(u'芝');
            s.groups = test::trFullGroups();
            s.groups[0][0] = test::trHorse(1, r);
            lines << test::trBlock(s);
        }
        home.writeLines("TRb20000610.txt", lines);
        path = home.path("TRb20000610.txt");
    }
};

TEST_F(AnalysisTest, MovingAndEndMessages)
{
    platform::RecordingDialogs rec;
    TimeRankAnalysis a;
    ASSERT_TRUE(a.open(path, 1, settings));
    EXPECT_TRUE(a.messages().empty());
    EXPECT_EQ(a.raceCount(), 3);
    EXPECT_EQ(a.raceIndex(), 0);
    EXPECT_EQ(a.track(0), QStringLiteral("芝"));
    EXPECT_EQ(a.track(1), QStringLiteral("芝・ダート"));

    qint16 dir = -1;
    platform::ShowMessages(a.TRMoveRace(dir), rec);
    EXPECT_EQ(dir, 0);
    EXPECT_EQ(a.raceIndex(), 0);
    ASSERT_EQ(rec.texts(), QStringList{QStringLiteral("前のレースはありません．")});
    EXPECT_EQ(rec.shown[0].kind, platform::MessageKind::Information);

    for (int i = 1; i <= 2; ++i) {
        dir = 1;
        platform::ShowMessages(a.TRMoveRace(dir), rec);
        EXPECT_EQ(dir, 1);
        EXPECT_EQ(a.raceIndex(), i);
    }
    EXPECT_EQ(a.track(0), QStringLiteral("芝"));
    EXPECT_EQ(a.cell(0).mid(4, 2), QStringLiteral("03"));
    dir = 1;
    platform::ShowMessages(a.TRMoveRace(dir), rec);
    EXPECT_EQ(dir, 0);
    EXPECT_EQ(a.raceIndex(), 2);
    EXPECT_EQ(rec.texts().last(), QStringLiteral("次のレースはありません．"));

    dir = -1;
    platform::ShowMessages(a.TRMoveRace(dir), rec);
    EXPECT_EQ(a.raceIndex(), 1);
    EXPECT_EQ(a.track(0), QStringLiteral("ダート"));
    EXPECT_EQ(a.track(2), QStringLiteral("ダート"));
    EXPECT_EQ(a.header(0).mid(32, 3), QStringLiteral("02Ｒ"));
}

TEST_F(AnalysisTest, AllDistanceHalfHiddenForKindsOneAndThree)
{
    for (int kind = 0; kind < 6; ++kind) {
        TimeRankAnalysis a;
        ASSERT_TRUE(a.open(path, kind, settings));
        EXPECT_EQ(a.allDistanceHidden(), kind == 1 || kind == 3) << kind;
        EXPECT_FALSE(a.cell(119).isEmpty()) << kind; // still filled
    }
}

TEST_F(AnalysisTest, TruncatedFileAndMissingFileAreReported)
{
    platform::RecordingDialogs rec;
    QStringList lines = *platform::readLines(path);
    lines = lines.mid(0, lines.size() - 30);
    home.writeLines("TRb20000611.txt", lines);
    TimeRankAnalysis a;
    ASSERT_TRUE(a.open(home.path("TRb20000611.txt"), 1, settings));
    platform::ShowMessages(a.messages(), rec);
    EXPECT_EQ(a.raceCount(), 3);
    ASSERT_EQ(rec.shown.size(), 1u);
    EXPECT_TRUE(rec.shown[0].text.contains(home.path("TRb20000611.txt")));
    EXPECT_TRUE(rec.shown[0].text.contains(QStringLiteral("3 レース目")));
    EXPECT_EQ(a.problems().size(), 1);

    rec.clear();
    TimeRankAnalysis b;
    EXPECT_FALSE(b.open(home.path("nothing.txt"), 1, settings));
    platform::ShowMessages(b.messages(), rec);
    ASSERT_EQ(rec.shown.size(), 1u);
    EXPECT_TRUE(rec.shown[0].text.contains(home.path("nothing.txt")));
    EXPECT_EQ(b.raceCount(), 0);
    qint16 dir = 1;
    platform::ShowMessages(b.TRMoveRace(dir), rec); // nothing to move to, nothing overruns
    EXPECT_EQ(dir, 0);
}

TEST(TimeRankPayouts, RaceNumberFromTheHeaderText)
{
    test::ScratchHome home;
    const QString sdata = home.makeFolder("SData");
    // "東京" is course letter "東"; meeting 3 of 2000.
    home.writeBytes("SData/003" + racing::PlaceCode(QStringLiteral("東京"), 1) + ".dat",
                    test::PayoutRecord("4", "01").tan(0, "07", 350).b +
                        test::PayoutRecord("4", "11").tan(0, "12", 350).b);
    common::SettingsRecord settings;
    settings.SData = sdata;
    settings.SDataON = "1";
    struct Case {
        QString label;
        bool shown;
        QString win;
    };
    const std::vector<Case> cases = {
        {"１Ｒ", true, "07     350"},
        {"11Ｒ", true, "12     350"},
        {"05Ｒ", false, ""},
    };
    for (const Case &c : cases) {
        TRBlockPlan s;
        s.raceLabel = c.label;
        const QString header0 = test::trHeaderLine(s) + " " + c.label;
        const racing::PayoutArea a = PayoutsForHeader(header0, settings);
        EXPECT_EQ(a.shown, c.shown) << c.label.toStdString();
        EXPECT_EQ(a.Tan[0].text, c.win) << c.label.toStdString();
    }
    settings.SDataON = "0";
    TRBlockPlan s;
    EXPECT_FALSE(PayoutsForHeader(test::trHeaderLine(s) + " 11Ｒ", settings).shown);
}

TEST(TimeRankKinds, PrefixesAndPatterns)
{
    EXPECT_EQ(KindPrefix(0), "TRa");
    EXPECT_EQ(KindPattern(2), "TRc*.txt");
    EXPECT_EQ(KindCaption(5), QStringLiteral("ＰＣＩランキング"));
    EXPECT_TRUE(KindPattern(6).isEmpty());
    EXPECT_TRUE(KindPattern(-1).isEmpty());
}

TEST(TimeRankOddFiles, NeverOverrun)
{
    test::ScratchHome home;
    common::SettingsRecord settings;
    settings.SDataON = "0";
    TRBlockPlan s;
    const QString header = test::trHeaderLine(s);
    struct Case {
        QStringList lines;
        int races;
        int listRaces;
    };
    const std::vector<Case> cases = {
        {{}, 0, 0},
        {{header}, 1, 0},                                   // header only
        {{header, "11Ｒ"}, 1, 1},                           // no name line
        {{"noise", header, "11Ｒ", s.nameLine, "x"}, 1, 1}, // leading noise, cut block
        {{header, "ＸＲ", s.nameLine}, 1, 0},               // race label not a number
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        home.writeLines("odd.txt", c.lines);
        TimeRankAnalysis a;
        EXPECT_EQ(a.open(home.path("odd.txt"), 0, settings), c.races > 0) << i;
        EXPECT_EQ(a.raceCount(), c.races) << i;
        EXPECT_EQ(a.messages().size(), 1u) << i; // every one of them is reported
        EXPECT_EQ(BuildRaceList(c.lines).totalRaces(), c.listRaces) << i;
    }
}

} // namespace
