#include "predict/trpara.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"
#include "support/trfixture.h"

#include <gtest/gtest.h>

using namespace korvin;

namespace {

test::CliRun predictCli(const QString &home, const QStringList &args)
{
    return test::runCli(QStringList{"predict"} + args, home);
}

TEST(PredictCli, AppendsToZorbAndReportsOnStderr)
{
    test::ScratchHome home;
    home.writeDefaultSettings();
    std::array<QString, predict::kParaBoxes> boxes;
    for (int i = 0; i < predict::kParaBoxes; ++i)
        boxes[i] = i % 5 == 0 ? "9" : "0";
    std::vector<predict::TRParaRecord> table;
    ASSERT_TRUE(predict::SaveAllConditionRecords(table, boxes, {}));
    test::TRBlockPlan s;
    s.raceLabel = QStringLiteral("１Ｒ");
    s.groups.assign(24, {test::trHorse(1, 5)});
    QStringList lines = test::trBlock(s);
    s.raceLabel = QStringLiteral("２Ｒ");
    s.nameLine = QStringLiteral("サラ系３歳・準オープン(混)  芝右1800m 16頭立");
    lines << test::trBlock(s);
    home.writeLines("TimeRank/TRa20000610.txt", lines);
    const QString file = home.path("TimeRank/TRa20000610.txt");

    const test::CliRun r = predictCli(home.folder(), {file, "--kind", "1"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.err.split('\n', Qt::SkipEmptyParts),
              (QStringList{"Class Pickup Error!!", "Paramator Search Error!!",
                           QStringLiteral("一括予想（Z.O.R.B.形式）が完了しました．")}));
    const QByteArray block = home.readBytes("Zorb.txt");
    // Box of the first four: 5 first, then 1, 2, 3.
    EXPECT_TRUE(block.contains(" 1R   5  1- 5  2- 5  3- 5  1- 2  1- 3  2- 3  |\r\n")) << block.constData();
    EXPECT_FALSE(block.contains(" 2R"));
    ASSERT_EQ(predictCli(home.folder(), {file, "--kind", "1"}).code, 0);
    EXPECT_EQ(home.readBytes("Zorb.txt"), block + block);

    for (const QStringList &args :
         {QStringList{file}, QStringList{file, "--kind", "7"}, QStringList{file, "--kind", "1", "--bet", "win"},
          QStringList{file, "--kind", "1", "--skip-track", "3"}, QStringList{file, "--kind", "1", "--skip-class", "x"}})
        EXPECT_EQ(predictCli(home.folder(), args).code, 2) << args.join(' ').toStdString();
    // A code that cannot head a block: nothing is appended.
    const std::pair<QString, QString> badCodes[] = {
        {QStringLiteral("99é9"), QStringLiteral("ZORBコード の「é」は Shift-JIS で保存できない文字です．\n")},
        {QString(), QStringLiteral("ZORBコードが空です．\n")},
        {QStringLiteral("99\r\n9"), QStringLiteral("ZORBコード に制御文字 (U+000D) があります．\n")},
    };
    for (const auto &[code, said] : badCodes) {
        const test::CliRun badCode = predictCli(home.folder(), {file, "--kind", "1", "--code", code});
        EXPECT_EQ(badCode.code, 1);
        EXPECT_EQ(badCode.err, said);
    }
    EXPECT_EQ(predictCli(home.folder(), {file, "--kind", "1", "--out", ""}).code, 2);
    EXPECT_EQ(home.readBytes("Zorb.txt"), block + block);
    const test::CliRun none = predictCli(home.folder(), {home.path("none.txt"), "--kind", "1"});
    EXPECT_EQ(none.code, 1);
    EXPECT_EQ(none.err.count(home.path("none.txt")), 1) << none.err.toStdString();

    // Every message is one line of stderr, however many lines the window shows.
    QStringList cut = test::trBlock(s);
    cut = cut.mid(0, cut.size() - 20);
    home.writeLines("TimeRank/cut.txt", cut);
    const test::CliRun shortFile =
        predictCli(home.folder(), {home.path("TimeRank/cut.txt"), "--kind", "1", "--out", home.path("cut-zorb.txt")});
    EXPECT_EQ(shortFile.code, 0) << shortFile.err.toStdString();
    const QStringList errLines = shortFile.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(errLines.size(), 4) << shortFile.err.toStdString(); // the block's own messages follow
    EXPECT_TRUE(errLines[0].contains(QStringLiteral("1 レース目"))) << shortFile.err.toStdString();
    EXPECT_EQ(errLines[1], "Class Pickup Error!!");
    EXPECT_EQ(errLines[3], QStringLiteral("一括予想（Z.O.R.B.形式）が完了しました．"));

    // The backtest table on stdout after the usual output, and its CSV; the
    // figures are the backtest's own (Backtest.HitsOnAnyListedQuinellaInEitherOrder).
    home.writeBytes("SData/003東.dat", test::PayoutRecord("4", "01").uma(0, "0709", 990).uma(1, "0503", 1230).b);
    const test::CliRun bt = predictCli(
        home.folder(), {file, "--kind", "1", "--out", home.path("bt.txt"), "--backtest", "--csv", home.path("bt.csv")});
    ASSERT_EQ(bt.code, 0) << bt.err.toStdString();
    EXPECT_TRUE(bt.err.endsWith(QStringLiteral("一括予想（Z.O.R.B.形式）が完了しました．\n")));
    EXPECT_EQ(bt.out.split('\n', Qt::SkipEmptyParts).value(1),
              QStringLiteral("東京 3回4日目          1     6     1  100.0%  205.0%         0"));
    EXPECT_EQ(bt.out.count('\n'), 3);
    EXPECT_TRUE(test::readFile(home.path("bt.csv")).startsWith("block,course,"));
    EXPECT_EQ(predictCli(home.folder(), {file, "--kind", "1", "--csv", home.path("x.csv")}).code, 2)
        << "--csv belongs to --backtest";

    // A Zorb file that cannot be written fails the run; nothing claims it was done.
    const QString unwritable = home.path("nofolder/Zorb.txt");
    const test::CliRun failed = predictCli(home.folder(), {file, "--kind", "1", "--out", unwritable});
    EXPECT_EQ(failed.code, 1);
    EXPECT_TRUE(failed.err.contains(unwritable)) << failed.err.toStdString();
    EXPECT_FALSE(failed.err.contains(QStringLiteral("完了"))) << failed.err.toStdString();
}

} // namespace
