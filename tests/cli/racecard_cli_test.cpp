#include "racecard/fixtures.h"
#include "support/testutil.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

using namespace korvin;
using korvin::test::CsvLine;
using korvin::test::R;

namespace {
// korvin-cli run in the scratch folder, its output read as JSON.
struct CliRun : test::CliRun {
    QJsonObject json = QJsonDocument::fromJson(out.toUtf8()).object();
};

CliRun cli(const test::ScratchHome &home, const QStringList &args) { return {test::runCli(args, home.folder())}; }

QStringList card()
{
    QStringList lines;
    for (const char *k : {"0500341101", "0500341102", "0500341103", "0600340101", "0600341201"}) {
        auto r = R(QString::fromLatin1(k));
        r.cls = QStringLiteral("131");
        r.distance = QStringLiteral("1600");
        r.track = QStringLiteral("0");
        r.runners = QStringLiteral("3");
        lines << CsvLine(r);
    }
    return lines;
}

class RaceCardCli : public ::testing::Test {
protected:
    test::ScratchHome home;
    QString csv;
    void SetUp() override
    {
        home.writeDefaultSettings();
        home.writeLines(QStringLiteral("DenCSV/DC001005.csv"), card());
        csv = home.path(QStringLiteral("DenCSV/DC001005.csv"));
    }
};
} // namespace

TEST_F(RaceCardCli, RaceList)
{
    const CliRun r = cli(home, {QStringLiteral("racelist"), csv});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.json[QStringLiteral("courses")].toArray(), (QJsonArray{"05", "06"}));
    const QJsonArray races = r.json[QStringLiteral("races")].toArray();
    ASSERT_EQ(races.size(), 3);
    EXPECT_EQ(races[0].toObject(),
              (QJsonObject{{"key", "05003411"}, {"class", 131}, {"distance", 1600}, {"track", 0}, {"runners", 3}}));
    const QJsonArray buttons = r.json[QStringLiteral("buttons")].toArray();
    ASSERT_EQ(buttons.size(), 2);
    const QJsonObject nakayama = buttons[1].toObject();
    EXPECT_EQ(nakayama[QStringLiteral("course")].toString(), QStringLiteral("06"));
    EXPECT_EQ(nakayama[QStringLiteral("name")].toString(), QStringLiteral("中山"));
    const QJsonArray captions = nakayama[QStringLiteral("captions")].toArray();
    ASSERT_EQ(captions.size(), 12);
    EXPECT_EQ(captions[0].toString(), QStringLiteral("00年 ３回中山４日目 01R T1600m オープン 03頭"));
    EXPECT_EQ(captions[1].toString(), QString());

    EXPECT_EQ(cli(home, {QStringLiteral("racelist")}).code, 2);
    home.writeBytes(QStringLiteral("DenCSV/DC000000.csv"), {});
    const CliRun empty = cli(home, {QStringLiteral("racelist"), home.path(QStringLiteral("DenCSV/DC000000.csv"))});
    EXPECT_EQ(empty.code, 1);
    EXPECT_TRUE(empty.err.contains(QStringLiteral("レースがありません")));
}

TEST_F(RaceCardCli, DataList)
{
    CliRun r = cli(home, {QStringLiteral("datalist"), csv, QStringLiteral("05003411")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.json[QStringLiteral("title")].toString(),
              QStringLiteral("00年 ３回東京４日目 11R T1600m オープン 03頭"));
    const QJsonArray rows = r.json[QStringLiteral("rows")].toArray();
    ASSERT_EQ(rows.size(), 3);
    const QJsonObject row = rows[0].toObject();
    const QStringList keys{"No",    "Mark",  "Error", "Result", "Odds",  "Max",   "Min",  "Ave",
                           "T1",    "T2",    "D1",    "D2",     "Pace",  "ZI",    "Int",  "Waku",
                           "Time1", "Time2", "Time3", "Time4",  "Time5", "Time6", "Time7"};
    EXPECT_EQ(row.keys().size(), keys.size());
    for (const QString &k : keys)
        EXPECT_TRUE(row.contains(k)) << k.toStdString();
    EXPECT_EQ(row[QStringLiteral("No")].toObject(),
              (QJsonObject{{"text", "01"}, {"visible", true}, {"bg", "buttonface"}}));
    EXPECT_EQ(row[QStringLiteral("Int")].toObject()[QStringLiteral("bg")].toString(), QStringLiteral("menu"));
    // All three results are "1": each is the best, light yellow.
    EXPECT_EQ(rows[2].toObject()[QStringLiteral("Result")].toObject()[QStringLiteral("bg")].toString(),
              QStringLiteral("#ffff80"));
    EXPECT_TRUE(r.json[QStringLiteral("KT")].isNull());
    const QJsonObject zi = r.json[QStringLiteral("zi")].toObject();
    EXPECT_EQ(zi[QStringLiteral("deviation")].toDouble(), 0);
    EXPECT_EQ(zi[QStringLiteral("scores")].toArray(), (QJsonArray{50, 50, 50}));
    const QJsonObject payouts = r.json[QStringLiteral("payouts")].toObject();
    EXPECT_FALSE(payouts[QStringLiteral("shown")].toBool());
    EXPECT_EQ(payouts[QStringLiteral("Fuku")].toArray().size(), 5);
    // Reading marks created the mark file, as the window does.
    EXPECT_FALSE(test::readFile(home.path(QStringLiteral("MData/Um003東.dat"))).isEmpty());

    r = cli(home, {QStringLiteral("datalist"), csv, QStringLiteral("05003411"), QStringLiteral("--zi")});
    EXPECT_EQ(r.json[QStringLiteral("KT")].toString(), QStringLiteral("平均： 50.0"));
    EXPECT_EQ(r.json[QStringLiteral("HH")].toString(), QStringLiteral("標準偏差： 0.0"));
    EXPECT_EQ(r.json[QStringLiteral("rows")]
                  .toArray()[0]
                  .toObject()[QStringLiteral("ZI")]
                  .toObject()[QStringLiteral("text")]
                  .toString(),
              QStringLiteral("50"));

    // A mark file that cannot be created (here MData is gone) is said, and fails the run.
    QDir(home.path(QStringLiteral("MData"))).removeRecursively();
    r = cli(home, {QStringLiteral("datalist"), csv, QStringLiteral("05003411")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.json[QStringLiteral("rows")].toArray().size(), 3);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("馬印ファイルを作成できません． ( ") +
                                 home.path(QStringLiteral("MData/Um003東.dat")) + QStringLiteral(" )")))
        << r.err.toStdString();
    EXPECT_EQ(cli(home, {QStringLiteral("datalist"), csv, QStringLiteral("05003499")}).code, 1);
    EXPECT_EQ(cli(home, {QStringLiteral("datalist"), csv}).code, 2);
}
