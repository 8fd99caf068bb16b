#include "host/resultcomments.h"
#include "platform/textfile.h"
#include "support/hostexport.h"
#include "support/testutil.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace korvin;
using host::AppendResultComments;
using host::RewriteRunnerLine;
using test::commentRunner;

namespace {

const QString kKey = QStringLiteral("05003411");

// What stays of a runner line of commentRunner, after the number field: the
// horse (characters 3-27), character 28, then "K" or, when character 28 is
// taken to be part of the text, "A".
QString kept(int horse, QChar c28)
{
    const QString head = test::fit(QStringLiteral("%1 ウマ%1 牡3").arg(horse, 2), 27).mid(2) + c28;
    return head + (c28 == QLatin1Char(' ') || c28 == QLatin1Char('d') ? QStringLiteral("K") : QStringLiteral("A"));
}

TEST(ResultComments, CutTagAndPadding)
{
    const QString longTail = QString(40, QLatin1Char('x'));
    // The rewritten line: key, horse number and kind "1", what is kept, the
    // tail with its cuts, padded to the width, then the end tag.
    auto line = [](int horse, QChar c28, const QString &tail, int width, const QString &tag) {
        return (kKey + QStringLiteral("%1").arg(horse, 2, 10, QLatin1Char('0')) + "1" + kept(horse, c28) + tail)
                   .leftJustified(width) +
               tag;
    };
    const struct {
        QString line;
        QString expected;
    } cases[] = {
        // Character 28 blank or "d": 29-38 go, A = 1, width 67.
        {commentRunner(3, u' ', " 1:48.5=5◆"), line(3, u' ', " 1:48.5===", 67, "5")},
        {commentRunner(12, u'd', " 1:48.5 12◆"), line(12, u'd', " 1:48.5 ==", 67, "12")},
        // Character 28 a kanji: 30-39 go, A = 0, width 68.
        {commentRunner(4, u'差', " 1:48.5= 7"), line(4, u'差', " 1:48.5= ", 68, "7")},
        {commentRunner(5, u'差', " 1:48.5 ab"), line(5, u'差', " 1:48.5 ", 68, "ab")},
        {commentRunner(6, u'差', " 1:48.5◆=3"), line(6, u'差', " 1:48.5◆=", 67, "3")},
        // A ◆ second or third from the end adds one more to A.
        {commentRunner(7, u' ', " 1:48.5◆ 9"), line(7, u' ', " 1:48.5◆ ", 66, "9")},
        // Already long enough: the tag follows directly.
        {commentRunner(8, u'差', longTail + "=2◆"), kKey + "081" + kept(8, u'差') + longTail + "===2"},
        // A line too short for the columns still gives a line.
        {"1", kKey + QStringLiteral("1").leftJustified(68 - 8) + "1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(RewriteRunnerLine(kKey, c.line), c.expected) << c.line.toStdString();
}

class Comments : public ::testing::Test {
protected:
    test::ScratchHome home;
    QString mdata;
    QString exportPath;
    void SetUp() override
    {
        mdata = home.makeFolder(QStringLiteral("MData"));
        exportPath = mdata + QStringLiteral("Comment.txt");
    }
    void writeExport(const test::CommentExportPlan &p)
    {
        home.writeLines(QStringLiteral("MData/Comment.txt"), test::commentExport(p));
    }
    QStringList files() const { return QDir(mdata).entryList({QStringLiteral("MS*")}, QDir::Files); }
};

TEST_F(Comments, RaceKeyFileAndBlockAppended)
{
    const std::tuple<const char16_t *, const char16_t *, const char *, const char *> cases[] = {
        {u"2000年 6月10日(土) 3回東京4日目", u"１Ｒ 未勝利", "MS003東.dat", "05003401"},
        {u"2000年 6月10日(土) 3回東京4日目", u"11Ｒ 未勝利", "MS003東.dat", "05003411"},
        {u"2001年 7月 1日(日) 2回中京8日目", u"１１Ｒ 特別", "MS012名.dat", "07012811"},
    };
    for (const auto &[day, race, file, key] : cases) {
        test::CommentExportPlan p;
        p.dayLine = QString::fromUtf16(day);
        p.raceLine = QString::fromUtf16(race);
        p.runners = {commentRunner(1, u' ', QStringLiteral("=1◆")), commentRunner(2, u' ', QStringLiteral("12◆"))};
        writeExport(p);
        const host::CommentAppend r = AppendResultComments(exportPath, mdata, 1);
        EXPECT_TRUE(r.messages.empty());
        EXPECT_EQ(r.path, mdata + QString::fromUtf8(file));
        EXPECT_EQ(r.raceKey, QString::fromUtf8(key));
        EXPECT_EQ(r.lines, 2);
    }
    // Appended, never replaced: the first two races share one file.
    const QByteArray bytes = home.readBytes(QStringLiteral("MData/MS003東.dat"));
    EXPECT_EQ(bytes.count("\r\n"), 4);
    EXPECT_TRUE(bytes.startsWith(test::sjis(QStringLiteral("0500340101"))));
    EXPECT_TRUE(bytes.contains(test::sjis(QStringLiteral("0500341102"))));
}

TEST_F(Comments, FaultsAppendNothingAndNameTheRace)
{
    home.writeLines(QStringLiteral("MData/MS003東.dat"), {QStringLiteral("earlier")});
    const QByteArray earlier = home.readBytes(QStringLiteral("MData/MS003東.dat"));
    host::CommentAppend r = AppendResultComments(exportPath, mdata, 2);
    EXPECT_EQ(r.messages[0].text, QStringLiteral("2 レース目：結果のエクスポートファイルがありません． ( ") +
                                      exportPath + QStringLiteral(" ) 結果コメントは書き込みませんでした．"));

    const struct {
        test::CommentExportPlan plan;
        const char16_t *start;
    } cases[] = {
        {{"2000年 6月10日(土) 3回大井4日目", "11Ｒ", {commentRunner(1, u' ', "ab")}, -1},
         u"3 レース目：競馬場名「大井」が競馬場の表にありません．"},
        {{"2000年 6月10日(土) 3回東京4日目", "11Ｒ", {commentRunner(1, u' ', "ab")}, 3},
         u"3 レース目 ( 05003411 )：3 頭に対して出走馬の行が 1 行しかありません．"},
        {{"2000年 6月10日(土) 3回東京4日目", "11Ｒ", {}, -1}, nullptr},
        {{"2000年 6月10日(土) /回東京4日目", "11Ｒ", {}, -1}, u"3 レース目：開催年・回・日目が数字ではありません．"},
        // The race number goes into every line's key: digits 01..12 only.
        {{"2000年 6月10日(土) 3回東京4日目", "?PＲ", {}, -1},
         u"3 レース目：レース番号が 01～12 ではありません． ( ?PＲ )"},
        {{"2000年 6月10日(土) 3回東京4日目", "13Ｒ", {}, -1},
         u"3 レース目：レース番号が 01～12 ではありません． ( 13Ｒ )"},
    };
    for (const auto &c : cases) {
        writeExport(c.plan);
        r = AppendResultComments(exportPath, mdata, 3);
        if (!c.start) {
            EXPECT_TRUE(r.messages.empty()); // no runners: nothing to append, no fault
            EXPECT_EQ(r.lines, 0);
            continue;
        }
        ASSERT_EQ(r.messages.size(), 1u);
        EXPECT_TRUE(r.messages[0].text.startsWith(QString::fromUtf16(c.start))) << r.messages[0].text.toStdString();
        EXPECT_FALSE(r.appended());
    }
    QStringList noCount = test::commentExport({});
    noCount[3] = QStringLiteral("サラ系３歳未勝利  芝右1800m ab頭立");
    home.writeLines(QStringLiteral("MData/Comment.txt"), noCount);
    EXPECT_TRUE(AppendResultComments(exportPath, mdata, 1)
                    .messages[0]
                    .text.contains(QStringLiteral("頭数が数値ではありません")));
    home.writeLines(QStringLiteral("MData/Comment.txt"), {QStringLiteral("成績"), QStringLiteral("2000年")});
    EXPECT_TRUE(AppendResultComments(exportPath, mdata, 1).messages[0].text.contains(QStringLiteral("行が足りません")));
    EXPECT_EQ(home.readBytes(QStringLiteral("MData/MS003東.dat")), earlier);
    EXPECT_EQ(files(), QStringList{QStringLiteral("MS003東.dat")});
}

TEST(ResultComments, DoneMessageCountsPerFile)
{
    std::vector<host::CommentAppend> races(3);
    races[0].path = races[1].path = QStringLiteral("/m/MS003東.dat");
    races[2].path = QStringLiteral("/m/MS003京.dat");
    races[0].lines = 16;
    races[1].lines = 12;
    races[2].lines = 9;
    EXPECT_EQ(host::CommentsDoneMessage(races),
              QStringLiteral(
                  "結果コメントを書き込みました．\n/m/MS003東.dat : 2 レース 28 行\n/m/MS003京.dat : 1 レース 9 行"));
    EXPECT_EQ(host::CommentsDoneMessage({}), QStringLiteral("結果コメントは書き込みませんでした．（0 レース）"));
}

} // namespace
