// korvin-cli verify over a race-card day.
#include "predict/verifyday.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

using namespace korvin;

namespace {

class CliVerify : public ::testing::Test {
protected:
    test::ScratchHome home;
    QString csv;
    void SetUp() override
    {
        home.writeDefaultSettings();
        csv = home.path(QStringLiteral("DenCSV/DC000001.csv"));
        home.writeLines(QStringLiteral("DenCSV/DC000001.csv"), test::VerifyDayLines());
    }
    test::CliRun run(const QStringList &courses, const QString &file = QString(), const QStringList &options = {}) const
    {
        return test::runCli(QStringList{QStringLiteral("verify"), file.isEmpty() ? csv : file} + courses + options,
                            home.folder());
    }
};

QStringList outLines(const test::CliRun &r)
{
    QStringList lines = r.out.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

TEST_F(CliVerify, CoursesAccumulateInOrder)
{
    const test::CliRun r = run({QStringLiteral("06"), QStringLiteral("05")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = outLines(r);
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(lines[0], QStringLiteral("Race :    2R               勝率   連率   複率"));
    // 06-01's best Max finished third, 05-01's won.
    EXPECT_EQ(lines[1], QStringLiteral("Max1 :    1   0   1    0  50.0%  50.0%  100.0%"));
    // A course missing from the file counts nothing and says so.
    const test::CliRun none = run({QStringLiteral("09")});
    EXPECT_EQ(none.code, 0);
    EXPECT_EQ(outLines(none).value(0), QStringLiteral("Race :    0R               勝率   連率   複率"));
    EXPECT_EQ(outLines(none).size(), 16);
    EXPECT_TRUE(none.err.contains(QStringLiteral("09")));
}

TEST_F(CliVerify, UsageAndUnusableFiles)
{
    EXPECT_EQ(run({}).code, 2);
    EXPECT_EQ(run({QStringLiteral("5")}).code, 2);
    const test::CliRun missing = run({QStringLiteral("05")}, home.path(QStringLiteral("DC999999.csv")));
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.out.isEmpty());
    EXPECT_TRUE(missing.err.contains(QStringLiteral("DC999999.csv"))) << missing.err.toStdString();
}

// 06-01 has no payout file: counted apart. In 05-01 the Max pick (horse 02)
// won, the others' pick (horse 01) was second.
TEST_F(CliVerify, ReturnsAfterTheSixteenLinesAndCsv)
{
    home.writeBytes(QStringLiteral("SData/003東.dat"),
                    test::PayoutRecord("4", "01").tan(0, "02", 320).fuku(0, "02", 130).fuku(1, "01", 150).b);
    const QString csvOut = home.path(QStringLiteral("report.csv"));
    const test::CliRun r = run({QStringLiteral("06"), QStringLiteral("05")}, QString(),
                               {QStringLiteral("--returns"), QStringLiteral("--csv"), csvOut});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QStringList lines = outLines(r);
    ASSERT_EQ(lines.size(), 23);
    // The returns follow the sixteen lines after a blank one; their figures are
    // the report window's (ReportWindow.ReturnsAndChartsShowThePrintedNumbers).
    EXPECT_EQ(lines[16], QString());
    EXPECT_EQ(lines[17], QStringLiteral("回収率 : 払戻あり   1R  払戻なし   1R"));
    EXPECT_EQ(lines[19], QStringLiteral("Max1 :      1     0       1    320.0%       1    130.0%"));
    EXPECT_TRUE(QString::fromUtf8(test::readFile(csvOut)).startsWith("set,races,first,"));
}
