#include "racecard/fixtures.h"
#include "racecard/racetable.h"
#include "racing/codetables.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::racecard;
using korvin::test::CsvLine;
using korvin::test::R;

namespace {
// One line per race: enough for the race table.
QStringList day(const QStringList &keys)
{
    QStringList lines;
    for (const QString &k : keys) {
        auto r = R(k + QStringLiteral("01"));
        lines << CsvLine(r);
        r.key10 = k + QStringLiteral("02");
        lines << CsvLine(r);
    }
    return lines;
}
} // namespace

TEST(RaceCaption, PiecesWidthsAndPositions)
{
    struct Case {
        QString key;
        int cls, dist, track, runners;
        QString caption;
    } cases[] = {
        {"05003411", 131, 1600, 0, 16, "00年 ３回東京４日目 11R T1600m オープン 16頭"},
        {"07124101", 7, 1200, 1, 8, "12年 ４回中京１日目 01R D1200m   未勝利 08頭"},
        {"09991812", 15, 3000, 2, 12, "99年 １回阪神８日目 12R J3000m   新  馬 12頭"},
        {"10991812", 999, 1000, 9, 5,
         "99年 １回小倉８日目 12R  1000m          05頭"}, // unknown class and track: blanks
    };
    for (const Case &c : cases) {
        const QString cap = RaceCaption(c.key, c.cls, c.dist, c.track, c.runners);
        EXPECT_EQ(cap, c.caption);
        EXPECT_EQ(cap.mid(12, 2), c.key.mid(6, 2)) << "race number at characters 13-14";
        EXPECT_EQ(cap.mid(6, 2), racing::PlaceName(c.key.left(2), 4)) << "course name at 7-8";
    }
}

TEST(RaceTable, OrderLimitsAndButtons)
{
    test::ScratchHome home;
    QStringList keys;
    for (int r = 1; r <= 10; ++r)
        keys << QStringLiteral("050034%1").arg(r, 2, 10, QLatin1Char('0'));
    keys << QStringLiteral("06003401") << QStringLiteral("06003412");
    home.writeLines(QStringLiteral("DC000001.csv"), day(keys));
    const RaceTableRead read = ReadRaceTable(home.path(QStringLiteral("DC000001.csv")));
    ASSERT_TRUE(read.opened);
    EXPECT_EQ((std::vector<int>{read.table.courseCount, read.table.raceCount, read.table.RaceDistance[0]}),
              (std::vector<int>{2, 12, 1200}));
    EXPECT_EQ((QStringList{read.table.CourseCodes[1], read.table.CourseCodes[2], read.table.RaceKeys[12]}),
              (QStringList{"06", "  ", "        "}));
    EXPECT_TRUE(RaceCardLeftOutMessage(read).isEmpty());

    const auto courses = CourseButtons(read.table);
    EXPECT_EQ((QStringList{courses[0].caption, courses[2].caption}), (QStringList{QStringLiteral("東京"), "    "}));
    EXPECT_EQ((std::vector<bool>{courses[1].enabled, courses[2].enabled}), (std::vector<bool>{true, false}));

    const RaceButtons tokyo = RacesOfCourse(read.table, QStringLiteral("05"));
    EXPECT_EQ((std::vector<bool>{tokyo[9].enabled, tokyo[10].enabled, tokyo[11].enabled}),
              (std::vector<bool>{true, false, false}));
    EXPECT_TRUE(tokyo[10].caption.isEmpty());
    const RaceButtons nakayama = RacesOfCourse(read.table, QStringLiteral("06"));
    EXPECT_EQ(nakayama[0].race.key, QStringLiteral("06003401"));
    EXPECT_EQ(nakayama[11].race.key, QStringLiteral("06003412"));
    for (int i = 1; i < 11; ++i)
        EXPECT_FALSE(nakayama[i].enabled) << i;
}

TEST(RaceTable, BeyondTheTableIsLeftOutAndListed)
{
    test::ScratchHome home;
    QStringList keys;
    // Five course changes and 40 races: the fifth course and races 37.. do not fit.
    const char *courses[] = {"01", "02", "03", "04", "05"};
    for (const char *c : courses)
        for (int r = 1; r <= 8; ++r)
            keys << QLatin1String(c) + QStringLiteral("003") + QString::number(100 + r);
    home.writeLines(QStringLiteral("DC1.csv"), day(keys));
    const RaceTableRead read = ReadRaceTable(home.path(QStringLiteral("DC1.csv")));
    EXPECT_EQ(read.table.courseCount, 4);
    EXPECT_EQ(read.table.raceCount, 32);
    EXPECT_EQ(read.coursesLeftOut, QStringList{"05"});
    // Races of the fourth course have no button, those of the fifth no slot.
    EXPECT_EQ(read.racesLeftOut.size(), 16);
    EXPECT_TRUE(read.racesLeftOut.contains(QStringLiteral("04003101")));
    EXPECT_TRUE(read.racesLeftOut.contains(QStringLiteral("05003108")));
    const QString msg = RaceCardLeftOutMessage(read);
    EXPECT_TRUE(msg.contains(QStringLiteral("省いた場: 05")));
    EXPECT_TRUE(msg.contains(QStringLiteral("05003108")));

    keys.clear();
    for (int d = 1; d <= 4; ++d)
        for (int r = 1; r <= 10; ++r)
            keys << QStringLiteral("0500%1%2").arg(30 + d).arg(r, 2, 10, QLatin1Char('0'));
    home.writeLines(QStringLiteral("DC2.csv"), day(keys));
    const RaceTableRead many = ReadRaceTable(home.path(QStringLiteral("DC2.csv")));
    EXPECT_EQ(many.table.raceCount, 36);
    EXPECT_EQ(many.table.RaceKeys[36], QStringLiteral("        "));
    EXPECT_EQ(many.racesLeftOut, (QStringList{"05003407", "05003408", "05003409", "05003410"}));
}

// A race left out is listed once, in the order met, however often it comes
// back; the message names the first thirty and counts the rest.
TEST(RaceTable, LeftOutRacesListedOnceAndTheMessageStaysShort)
{
    test::ScratchHome home;
    QStringList keys;
    for (int r = 0; r < 36 + 40; ++r)
        keys << QStringLiteral("05%1").arg(r, 6, 10, QLatin1Char('0'));
    keys << QStringLiteral("05000040") << QStringLiteral("05000036"); // met again later
    home.writeLines(QStringLiteral("DC3.csv"), day(keys));
    const RaceTableRead read = ReadRaceTable(home.path(QStringLiteral("DC3.csv")));
    ASSERT_EQ(read.racesLeftOut.size(), 40);
    EXPECT_EQ(read.racesLeftOut.first(), QStringLiteral("05000036"));
    EXPECT_EQ(read.racesLeftOut.last(), QStringLiteral("05000075"));
    const QString msg = RaceCardLeftOutMessage(read);
    EXPECT_TRUE(msg.endsWith(QStringLiteral("05000065 ほか 10 件"))) << msg.toStdString();
    EXPECT_FALSE(msg.contains(QStringLiteral("05000066")));
}

TEST(RaceTable, EmptyAndNonNumericFiles)
{
    test::ScratchHome home;
    home.writeBytes(QStringLiteral("DC0.csv"), {});
    RaceTableRead read = ReadRaceTable(home.path(QStringLiteral("DC0.csv")));
    EXPECT_TRUE(read.opened);
    EXPECT_EQ(read.usableLines, 0);
    EXPECT_FALSE(ReadRaceTable(home.path(QStringLiteral("none.csv"))).opened);

    auto r = R(QStringLiteral("0500341101"));
    r.cls = QStringLiteral("G1");
    r.distance = QStringLiteral("");
    r.track = QStringLiteral("ダ");
    r.runners = QStringLiteral("16.0");
    home.writeLines(QStringLiteral("DC3.csv"), {QString(), QStringLiteral("   "), CsvLine(r)});
    read = ReadRaceTable(home.path(QStringLiteral("DC3.csv")));
    EXPECT_EQ(read.usableLines, 1);
    EXPECT_EQ(read.table.CourseCodes[0], QStringLiteral("05"));
    EXPECT_EQ((std::vector<int>{read.table.RaceClass[0], read.table.RaceDistance[0], read.table.RaceTrack[0],
                                read.table.RaceRunners[0]}),
              (std::vector<int>{0, 0, 0, 16}));
}

TEST(MoveRace, MessagesOverEmptyButtonsAndEnds)
{
    RaceButtons b;
    for (int i : {0, 2, 5})
        b[i] = {QStringLiteral("cap%1").arg(i), racing::RaceIdOfKey(QStringLiteral("0500340%1").arg(i)), true};
    struct Case {
        int from, dir;
        bool moved;
        int to;
        QStringList messages;
    } cases[] = {
        {0, 1, true, 2, {"2R はありません．"}},
        {2, 1, true, 5, {"4R はありません．", "5R はありません．"}},
        {5,
         1,
         false,
         -1,
         {"7R はありません．", "8R はありません．", "9R はありません．", "10R はありません．", "11R はありません．",
          "12R はありません．", "次のレースはありません"}},
        {2, -1, true, 0, {"2R はありません．"}},
        {0, -1, false, -1, {"前のレースはありません"}},
        {11, 1, false, -1, {"次のレースはありません"}},
    };
    for (const Case &c : cases) {
        const RaceMove m = MoveRace(b, c.from, c.dir);
        EXPECT_EQ(m.moved, c.moved) << c.from << c.dir;
        EXPECT_EQ(m.index, c.to);
        EXPECT_EQ(test::Texts(m.messages), c.messages);
        if (m.moved) {
            EXPECT_EQ(m.race.key, b[c.to].race.key);
        }
    }
}
