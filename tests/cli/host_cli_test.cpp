#include "support/hostexport.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

using namespace korvin;
using namespace Qt::StringLiterals;

namespace {

class HostCli : public ::testing::Test {
protected:
    test::ScratchHome home;
    void SetUp() override { home.writeDefaultSettings(); }
    test::CliRun cli(const QStringList &args) const { return test::runCli(args, home.folder()); }
    QString path(const char16_t *name) const { return home.path(QString::fromUtf16(name)); }
};

QStringList lines(const QString &out) { return out.split(u'\n', Qt::SkipEmptyParts); }

TEST_F(HostCli, KeysPrintsOneActionPerLine)
{
    test::CliRun r = cli({u"keys"_s, u"{F6 2}F %{tab}~ {+}東"_s});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              u"key F6\nkey F6\nchar F +shift\nchar U+0020\nkey TAB +alt\nkey ENTER\nchar U+0020\nchar +\nchar 東\n"_s);
    r = cli({u"keys"_s, u"{F8"_s});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, u"korvin-cli keys: \"{\" is never closed by \"}\" (at byte 1)\n"_s);
    EXPECT_EQ(cli({u"keys"_s}).code, 2);
    EXPECT_EQ(cli({u"keys"_s, u"--"_s, u"-x"_s}).out, u"char -\nchar x\n"_s);
    EXPECT_TRUE(cli({u"keys"_s, u"--help"_s}).out.startsWith(u"usage: korvin-cli [--home DIR] keys KEYSTRING\n"_s));
}

TEST_F(HostCli, ScriptTakesTheBoxesAndTheSettings)
{
    // Defaults: one race, the waits of the settings (2, 1, 1).
    test::CliRun r = cli({u"script"_s, u"comments"_s});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(lines(r.out).mid(0, 4), (QStringList{u"[\"activate\",\"Vantor frontier\"]"_s, u"[\"wait\",2]"_s,
                                                   u"[\"keys\",\"{Enter}\"]"_s, u"[\"wait\",1]"_s}));
    EXPECT_EQ(lines(r.out).size(), 16);
    // One race of kind 5: its last key, the check of its export, the closing.
    r = cli({u"script"_s, u"timerank"_s, u"--kind"_s, u"5"_s, u"--repeat"_s, u"1"_s, u"--waits=-0.5,3.9,0"_s});
    const QStringList one = lines(r.out);
    EXPECT_EQ(one.mid(0, 5),
              (QStringList{u"[\"delete\",\""_s + path(u"TimeRank/TimeRank.txt").replace(u'\\', u"\\\\"_s) + u"\"]"_s,
                           u"[\"activate\",\"Vantor frontier\"]"_s, u"[\"wait\",-1]"_s, u"[\"keys\",\"{Enter}\"]"_s,
                           u"[\"wait\",3]"_s}));
    EXPECT_EQ(one.mid(one.size() - 5), (QStringList{u"[\"keys\",\"{F12}\"]"_s, u"[\"check-export\",1]"_s,
                                                    u"[\"keys\",\"{F12}\"]"_s, u"[\"wait\",1]"_s, u"[\"split\"]"_s}));
    // No race at all is refused: nothing would be exported.
    r = cli({u"script"_s, u"timerank"_s, u"--kind"_s, u"5"_s, u"--repeat"_s, u"0"_s});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, u"Repeat の値が 1 以上ではありません．レースの数を入れて下さい． ( 0 )\n"_s);
    r = cli({u"script"_s, u"timerank"_s, u"--kind"_s, u"1"_s, u"--waits"_s, u"1,x,1"_s});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, u"Wait2 の値が -32768～32767 の数値ではありません． ( x )\n"_s);
    const QStringList bad[] = {{u"script"_s},
                               {u"script"_s, u"timerank"_s},
                               {u"script"_s, u"timerank"_s, u"--kind"_s, u"6"_s},
                               {u"script"_s, u"comments"_s, u"--kind"_s, u"1"_s},
                               {u"script"_s, u"comments"_s, u"--waits"_s, u"1,2"_s}};
    for (const QStringList &args : bad)
        EXPECT_EQ(cli(args).code, 2) << args.join(u' ').toStdString();
}

TEST_F(HostCli, SplitAndCommentsPrintWhatTheyWrote)
{
    home.writeLines(u"TimeRank/TimeRank.txt"_s, test::exportRace({}));
    test::CliRun r = cli({u"split"_s, path(u"TimeRank/TimeRank.txt"), u"--kind"_s, u"3"_s});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, path(u"TimeRank/TRd20000610.txt") + u"\n"_s);
    const QString other = home.makeFolder(u"other"_s);
    EXPECT_EQ(cli({u"split"_s, path(u"TimeRank/TimeRank.txt"), u"--kind"_s, u"0"_s, u"--out"_s, path(u"other")}).out,
              other + u"TRa20000610.txt\n"_s);
    r = cli({u"split"_s, path(u"none.txt"), u"--kind"_s, u"0"_s});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(path(u"none.txt")));

    test::CommentExportPlan p;
    p.runners = {test::commentRunner(1, u' ', u"ab"_s), test::commentRunner(2, u' ', u"cd"_s)};
    home.writeLines(u"MData/Comment.txt"_s, test::commentExport(p));
    EXPECT_EQ(cli({u"comments"_s, path(u"MData/Comment.txt")}).out, path(u"MData/MS003東.dat") + u"\t2\n"_s);
    EXPECT_EQ(cli({u"comments"_s, path(u"MData/Comment.txt"), u"--mdata"_s, path(u"other")}).out,
              other + u"MS003東.dat\t2\n"_s);
    EXPECT_EQ(cli({u"comments"_s}).code, 2);

    // No folder is never the root or the current folder, and a folder setting
    // with a control character (CR CR LF line ends) is refused by its name:
    // nothing is written anywhere.
    const QMap<QString, QByteArray> before = test::filesUnder(home.folder());
    const QByteArray settings = home.readBytes(u"Korvin.ini"_s);
    const struct {
        QStringList args;
        QByteArray settings;
        int code;
        QString err;
    } refused[] = {
        {{u"split"_s, path(u"TimeRank/TimeRank.txt"), u"--kind"_s, u"0"_s, u"--out"_s, u""_s},
         settings,
         2,
         u"korvin-cli split: --out に空のフォルダは指定できません．\n"_s},
        {{u"comments"_s, path(u"MData/Comment.txt"), u"--mdata"_s, u""_s},
         settings,
         2,
         u"korvin-cli comments: --mdata に空のフォルダは指定できません．\n"_s},
        {{u"split"_s, path(u"TimeRank/TimeRank.txt"), u"--kind"_s, u"0"_s},
         QByteArray(settings).replace("\r\n", "\r\r\n"),
         1,
         u"設定ファイルの TimeRank に制御文字 (U+000D) があります．この設定は使いません．\n"
         "TimeRank が設定されていません．\n"_s},
        {{u"comments"_s, path(u"MData/Comment.txt")},
         QByteArray(settings).replace("\r\n", "\r\r\n"),
         1,
         u"1 レース目：MData が設定されていません．結果コメントは書き込みませんでした．\n"_s},
        {{u"split"_s, path(u"TimeRank/TimeRank.txt"), u"--kind"_s, u"0"_s},
         "TimeRank  \r\n",
         1,
         u"TimeRank が設定されていません．\n"_s},
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        home.writeBytes(u"Korvin.ini"_s, c.settings);
        r = cli(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.endsWith(c.err)) << r.err.toStdString();
        home.writeBytes(u"Korvin.ini"_s, settings);
        EXPECT_EQ(test::filesUnder(home.folder()), before);
    }
}

} // namespace
