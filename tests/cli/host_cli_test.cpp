#include "support/hostexport.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

using namespace korvin;

namespace {

class HostCli : public ::testing::Test {
protected:
    test::ScratchHome home;
    void SetUp() override { home.writeDefaultSettings(); }
    test::CliRun cli(const QStringList &args) const { return test::runCli(args, home.folder()); }
};

TEST_F(HostCli, KeysPrintsOneActionPerLine)
{
    test::CliRun r = cli({"keys", "{F6 2}F %{tab}~ {+}東"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, QStringLiteral("key F6\nkey F6\nchar F +shift\nchar U+0020\nkey TAB +alt\nkey ENTER\nchar U+0020\nchar +\nchar 東\n"));
    r = cli({"keys", "{F8"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, QStringLiteral("korvin-cli keys: \"{\" is never closed by \"}\" (at byte 1)\n"));
    EXPECT_EQ(cli({"keys"}).code, 2);
    EXPECT_EQ(cli({"keys", "--", "-x"}).out, QStringLiteral("char -\nchar x\n"));
    EXPECT_TRUE(cli({"keys", "--help"}).out.startsWith(QStringLiteral("usage: korvin-cli [--home DIR] keys KEYSTRING\n")));
}

TEST_F(HostCli, ScriptTakesTheBoxesAndTheSettings)
{
    // Defaults: one race, the waits of the settings (2, 1, 1).
    test::CliRun r = cli({"script", "comments"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.mid(0, 4), (QStringList{"[\"activate\",\"Vantor frontier\"]", "[\"wait\",2]", "[\"keys\",\"{Enter}\"]",
                                            "[\"wait\",1]"}));
    EXPECT_EQ(lines.size(), 16);
    r = cli({"script", "timerank", "--kind", "5", "--repeat", "0", "--waits=-0.5,3.9,0"});
    EXPECT_EQ(r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts),
              (QStringList{"[\"delete\",\"" + home.path("TimeRank/TimeRank.txt") + "\"]", "[\"activate\",\"Vantor frontier\"]",
                           "[\"wait\",-1]", "[\"keys\",\"{Enter}\"]", "[\"wait\",3]", "[\"keys\",\"{F12}\"]", "[\"wait\",1]",
                           "[\"split\"]"}));
    r = cli({"script", "timerank", "--kind", "1", "--waits", "1,x,1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, QStringLiteral("Wait2 の値が -32768～32767 の数値ではありません． ( x )\n"));
    for (const QStringList &bad : {QStringList{"script"}, QStringList{"script", "timerank"}, QStringList{"script", "timerank", "--kind", "6"},
                                   QStringList{"script", "comments", "--kind", "1"}, QStringList{"script", "comments", "--waits", "1,2"}})
        EXPECT_EQ(cli(bad).code, 2) << bad.join(' ').toStdString();
}

TEST_F(HostCli, SplitAndCommentsPrintWhatTheyWrote)
{
    home.writeLines("TimeRank/TimeRank.txt", test::exportRace({}));
    test::CliRun r = cli({"split", home.path("TimeRank/TimeRank.txt"), "--kind", "3"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, home.path("TimeRank/TRd20000610.txt") + "\n");
    const QString other = home.makeFolder("other");
    EXPECT_EQ(cli({"split", home.path("TimeRank/TimeRank.txt"), "--kind", "0", "--out", home.path("other")}).out,
              other + "TRa20000610.txt\n");
    r = cli({"split", home.path("none.txt"), "--kind", "0"});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(home.path("none.txt")));

    test::CommentExportPlan p;
    p.runners = {test::commentRunner(1, u' ', "ab"), test::commentRunner(2, u' ', "cd")};
    home.writeLines("MData/Comment.txt", test::commentExport(p));
    r = cli({"comments", home.path("MData/Comment.txt")});
    EXPECT_EQ(r.out, home.path("MData/MS003東.dat") + "\t2\n");
    EXPECT_EQ(cli({"comments", home.path("MData/Comment.txt"), "--mdata", home.path("other")}).out, other + "MS003東.dat\t2\n");
    EXPECT_EQ(cli({"comments"}).code, 2);
}

} // namespace
