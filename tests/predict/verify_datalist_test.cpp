// Counting from the data list model itself: what the data list highlights is
// what the report counts.
#include "predict/returns.h"
#include "predict/verify.h"
#include "predict/verifyday.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

using namespace korvin;

namespace {

struct Day {
    test::ScratchHome home;
    racecard::RaceTable table;
    racecard::RaceContext context;

    Day()
    {
        home.writeDefaultSettings();
        home.writeLines(QStringLiteral("DC000001.csv"), test::VerifyDayLines());
        context.csvPath = home.path(QStringLiteral("DC000001.csv"));
        context.csvName = QStringLiteral("DC000001.csv");
        context.readMarks = false;
        table = racecard::ReadRaceTable(context.csvPath).table;
    }

    racecard::DataListModel load(const racecard::RaceButton &b)
    {
        context.race = b.race;
        context.caption = b.caption;
        return racecard::LoadDataList(context);
    }
};

} // namespace

TEST(VerifyFromDataList, ButtonsOfASecondCourseFindTheirOwnRaces)
{
    Day day;
    // Course 05 is the second course of the file: its races are not the first
    // entries of the key table.
    EXPECT_EQ(day.table.RaceKeys[0], QStringLiteral("06003401"));
    const racecard::RaceButtons buttons = racecard::RacesOfCourse(day.table, QStringLiteral("05"));
    // What the report counts is the tiers the data list shows.
    ASSERT_TRUE(buttons[0].enabled);
    EXPECT_EQ(buttons[0].race.key, QStringLiteral("05003401"));
    const racecard::DataListModel model = day.load(buttons[0]);
    ASSERT_EQ(model.runnerCount, 4);
    const predict::VerifyRows rows = predict::VerifyRowsOf(model);
    for (int r = 0; r < predict::kVerifyRows; ++r) {
        SCOPED_TRACE(r);
        EXPECT_EQ(rows[size_t(r)].runner, r < 4);
        EXPECT_EQ(rows[size_t(r)].tiers[predict::VerifyMax], model.rows[size_t(r)][racecard::ColMax].tier);
        EXPECT_EQ(rows[size_t(r)].tiers[predict::VerifyZI], model.rows[size_t(r)][racecard::ColZI].tier);
    }
    QStringList seen;
    predict::VerifyTotals totals;
    const int races = predict::VerifyCourse(day.table, QStringLiteral("05"), day.context, totals,
                                            [&](const racecard::RaceButton &b, const racecard::DataListModel &m) {
                                                seen << b.race.key + QLatin1Char(' ') + m.title;
                                            });
    EXPECT_EQ(seen, (QStringList{QStringLiteral("05003401 ") + buttons[0].caption,
                                 QStringLiteral("05003402 ") + buttons[1].caption}));
    EXPECT_EQ(races, 2);
    EXPECT_EQ(totals.raceCount, 1) << "the race without results is left out";
    EXPECT_EQ(predict::ReportLines(totals.raceCount, totals.counters), test::VerifyCourse05Report());
}
