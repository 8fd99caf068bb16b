#include "support/testutil.h"
#include "support/trfixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace korvin;

namespace {

QJsonObject json(const test::CliRun &r) { return QJsonDocument::fromJson(r.out.toUtf8()).object(); }

class TimeRankCli : public ::testing::Test {
protected:
    test::ScratchHome home;
    QString file;
    test::CliRun cli(const QStringList &args) const { return test::runCli(args, home.folder()); }
    void SetUp() override
    {
        home.writeDefaultSettings();
        QStringList lines;
        for (int r = 1; r <= 2; ++r) {
            test::TRBlockPlan s;
            s.raceLabel = QStringLiteral("%1Ｒ").arg(r + 9);
            s.groups = test::trFullGroups();
            lines << test::trBlock(s);
        }
        test::TRBlockPlan s;
        s.course = QStringLiteral("京都");
        s.raceLabel = QStringLiteral("１Ｒ");
        s.surface = QChar(u'ダ');
        s.groups = {{test::trHorse(1, 3), test::trHorse(2, 4)}};
        lines << test::trBlock(s);
        home.writeLines("TimeRank/TRb20000610.txt", lines);
        file = home.path("TimeRank/TRb20000610.txt");
    }
};

TEST_F(TimeRankCli, TrListPrintsCoursesAndTwelveCaptions)
{
    const test::CliRun r = cli({"trlist", file});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray courses = json(r)["courses"].toArray();
    ASSERT_EQ(courses.size(), 2);
    const QJsonObject first = courses[0].toObject();
    EXPECT_EQ(first["name"].toString(), QStringLiteral("東京"));
    EXPECT_EQ(first["date"].toString(), QStringLiteral("2000年 6月10日(土) 3回東京4日目"));
    const QJsonArray captions = first["captions"].toArray();
    ASSERT_EQ(captions.size(), 12);
    EXPECT_TRUE(captions[0].toString().isEmpty());
    EXPECT_TRUE(captions[9].toString().startsWith(QStringLiteral("10Ｒ")));
    EXPECT_TRUE(courses[1].toObject()["captions"].toArray()[0].toString().startsWith(QStringLiteral("１Ｒ")));
    // A missing file, and a file without a single race header: stderr, exit 1.
    home.writeLines("TimeRank/TRb20000611.txt", {QStringLiteral("集計 終了"), "----"});
    const QString noHeader = home.path("TimeRank/TRb20000611.txt");
    for (const QString &path : {home.path("none.txt"), noHeader}) {
        const test::CliRun failed = cli({"trlist", path});
        EXPECT_EQ(failed.code, 1);
        EXPECT_TRUE(failed.out.isEmpty());
        EXPECT_TRUE(failed.err.contains(path)) << failed.err.toStdString();
    }
    EXPECT_EQ(cli({"trlist", noHeader}).err,
              QStringLiteral("タイムランクファイルにレースの見出し行がありません． ( %1 )\n").arg(noHeader));
    EXPECT_EQ(cli({"trlist"}).code, 2);
}

TEST_F(TimeRankCli, TimeRankPrintsTheChosenRace)
{
    const test::CliRun r = cli({"timerank", file, "--kind", "1", "--race", "3"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject o = json(r);
    EXPECT_EQ(o["count"].toInt(), 3);
    EXPECT_EQ(o["index"].toInt(), 2);
    EXPECT_TRUE(o["header"].toArray()[0].toString().contains(QStringLiteral("京都")));
    EXPECT_EQ(o["track"].toArray()[0].toString(), QStringLiteral("ダート"));
    EXPECT_EQ(o["track"].toArray()[3].toString(), QStringLiteral("芝・ダート"));
    const QJsonArray cells = o["cells"].toArray();
    ASSERT_EQ(cells.size(), 120);
    EXPECT_EQ(cells[1].toString().mid(4, 2), "04");
    EXPECT_TRUE(cells[2].toString().isEmpty());
    EXPECT_TRUE(o["allDistanceHidden"].toBool());
    EXPECT_FALSE(o["payouts"].toObject()["shown"].toBool());
    EXPECT_EQ(o["payouts"].toObject()["Fuku"].toArray().size(), 5);

    const test::CliRun first = cli({"timerank", file, "--kind", "0"});
    ASSERT_EQ(first.code, 0);
    EXPECT_EQ(json(first)["index"].toInt(), 0);
    EXPECT_FALSE(json(first)["allDistanceHidden"].toBool());

    EXPECT_EQ(cli({"timerank", file, "--kind", "1", "--race", "4"}).code, 1);
    EXPECT_EQ(cli({"timerank", file}).code, 2);
    EXPECT_EQ(cli({"timerank", file, "--kind", "9"}).code, 2);
}

} // namespace
