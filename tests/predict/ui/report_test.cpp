#include "predict/ui/frmAnalyzReport.h"

#include "platform/dialogs.h"
#include "platform/ui/barchart.h"
#include "predict/ui/barreading.h"
#include "predict/verifyday.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmDataList.h"
#include "racecard/ui/frmRaceList.h"
#include "racing/codetables.h"
#include "racing/horsemarks.h"
#include "common/settings.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"

#include <QApplication>
#include <QImage>

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace korvin;
using korvin::predict::ui::frmAnalyzReport;

namespace {

// The race list's state after choosing the day and course 05.
struct ChosenDay {
    test::ScratchHome home;
    ChosenDay()
    {
        home.writeDefaultSettings();
        home.writeLines(QStringLiteral("DenCSV/DC000001.csv"), test::VerifyDayLines());
        selection.csvPath = home.path(QStringLiteral("DenCSV/DC000001.csv"));
        selection.csvName = QStringLiteral("DC000001.csv");
        selection.table = racecard::ReadRaceTable(selection.csvPath).table;
        selection.course = QStringLiteral("05");
        selection.raceButtons = racecard::RacesOfCourse(selection.table, selection.course);
    }
    racecard::RaceCardSelection selection;
    predict::VerifyTotals totals;
};

QStringList labelTexts(const frmAnalyzReport &w)
{
    QStringList out;
    for (int i = 0; i < predict::kReportLines; ++i)
        out << w.LabelAnalyz(i)->text();
    return out;
}

} // namespace

TEST(ReportWindow, AccumulateYesAddsNoRestarts)
{
    ChosenDay day;
    platform::ScopedRecordingDialogs dialogs;
    delete new frmAnalyzReport(nullptr, day.selection, day.totals);
    ASSERT_EQ(day.totals.raceCount, 1);

    dialogs.answers = {platform::Answer::Yes};
    auto *again = new frmAnalyzReport(nullptr, day.selection, day.totals);
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("検証結果を累積しますか？")});
    EXPECT_EQ(again->LabelAnalyz(0)->text(), QStringLiteral("Race :    2R               勝率   連率   複率"));
    EXPECT_EQ(again->LabelAnalyz(1)->text(), QStringLiteral("Max1 :    2   0   0    0  100.0%  100.0%  100.0%"));
    delete again;

    dialogs.answers = {platform::Answer::No};
    auto *fresh = new frmAnalyzReport(nullptr, day.selection, day.totals);
    EXPECT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(labelTexts(*fresh), test::VerifyCourse05Report());
    delete fresh;
}

TEST(ReportWindow, NoEnabledRaceButtonLeavesTheLinesEmpty)
{
    ChosenDay day;
    day.selection.course = QStringLiteral("  ");
    auto *w = new frmAnalyzReport(nullptr, day.selection, day.totals);
    EXPECT_EQ(w->LabelAnalyz(0)->text(), QStringLiteral("Race :    0R               勝率   連率   複率"));
    for (int i = 1; i < predict::kReportLines; ++i)
        EXPECT_TRUE(w->LabelAnalyz(i)->text().isEmpty());
    delete w;
}

TEST(ReportWindow, RaceListVerifyButtonOpensItOverTheShownCourse)
{
    ChosenDay day;
    platform::ScopedRecordingDialogs dialogs;
    auto *list = new racecard::ui::frmRaceList(nullptr, day.selection);
    list->show();
    ASSERT_EQ(list->cmdPlace(1)->text(), racing::PlaceName(QStringLiteral("05"), 4));
    QTest::mouseClick(list->cmdPlace(1), Qt::LeftButton);
    ASSERT_TRUE(list->cmdRaceList(1)->isEnabled());
    QTest::mouseClick(list->cmdRaceList(1), Qt::LeftButton);
    QPointer<frmAnalyzReport> report = qobject_cast<frmAnalyzReport *>(list->openedWindow());
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->isVisible());
    EXPECT_FALSE(list->isVisible());
    EXPECT_TRUE(dialogs.shown.empty()) << "the first report asks nothing";
    EXPECT_EQ(report->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor / Report"));
    EXPECT_EQ(labelTexts(*report), test::VerifyCourse05Report());
    EXPECT_EQ(report->LabelAnalyz(3)->objectName(), QStringLiteral("LabelAnalyz_3"));
    EXPECT_EQ(report->LabelAnalyz(0)->font().family(), QStringLiteral("ＭＳ ゴシック"));
    EXPECT_TRUE(report->LabelAnalyz(15)->font().fixedPitch());
    EXPECT_EQ(day.selection.race.key, QStringLiteral("05003402")) << "key of the last enabled button";
    // Each race was shown in the data list and closed again.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    for (QWidget *w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<racecard::ui::frmDataList *>(w)) << "a data list stayed open";
    EXPECT_EQ(report->cmdClose()->text(), QStringLiteral("Close"));
    QTest::mouseClick(report->cmdClose(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(report);
    EXPECT_TRUE(list->isVisible());
    delete list;
}

TEST(ReportWindow, LeavesTheMarkFilesAsTheyAre)
{
    ChosenDay day;
    platform::ScopedRecordingDialogs dialogs;
    // A slot " A" would come back as "A " from a save: the report must not save.
    QStringList lines;
    for (int i = 0; i < 96; ++i)
        lines << QString(42, QLatin1Char(' '));
    lines[36] = QStringLiteral("       A") + QString(34, QLatin1Char(' ')); // day 4, race 1
    const QString name = QStringLiteral("MData/") + racing::HorseMarkFileName(QStringLiteral("05003401"));
    day.home.writeLines(name, lines);
    const QByteArray before = day.home.readBytes(name);
    QPointer<frmAnalyzReport> w = new frmAnalyzReport(nullptr, day.selection, day.totals);
    w->show();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(day.home.readBytes(name), before);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

namespace {
// A rate as the labels print it: "25.0%", "-" for none.
double printed(const QString &token) { return token == QStringLiteral("-") ? 0.0 : token.chopped(1).toDouble(); }

std::vector<QList<qreal>> barValues(platform::ui::BarChartPanel *panel) { return test::drawnBarValues(*panel->view()); }
} // namespace

// The charts draw the numbers the lines print, and each saves as a PNG of its size.
TEST(ReportWindow, ReturnsAndChartsShowThePrintedNumbers)
{
    ChosenDay day;
    day.home.writeBytes(QStringLiteral("SData/003東.dat"),
                        test::PayoutRecord("4", "01").tan(0, "02", 320).fuku(0, "02", 130).fuku(1, "01", 150).b);
    ASSERT_TRUE(common::LoadSettings().empty()); // as the file selection does
    platform::ScopedRecordingDialogs dialogs;
    QPointer<frmAnalyzReport> w = new frmAnalyzReport(nullptr, day.selection, day.totals);
    w->show();
    EXPECT_EQ(labelTexts(*w), test::VerifyCourse05Report());
    EXPECT_EQ(w->LabelReturns(0)->text(), QStringLiteral("回収率 : 払戻あり   1R  払戻なし   0R"));
    EXPECT_EQ(w->LabelReturns(2)->text(), QStringLiteral("Max1 :      1     0       1    320.0%       1    130.0%"));
    EXPECT_EQ(w->LabelReturns(5)->objectName(), QStringLiteral("LabelReturns_5"));
    // korvin-cli's report of the same course prints what the window shows.
    const test::CliRun cli = test::runCli({"verify", day.selection.csvPath, "05", "--returns"}, day.home.folder());
    ASSERT_EQ(cli.code, 0) << cli.err.toStdString();
    QStringList shown = labelTexts(*w);
    shown << QString();
    for (int i = 0; i < predict::kReturnLines; ++i)
        shown << w->LabelReturns(i)->text();
    EXPECT_EQ(cli.out.split(QLatin1Char('\n')), shown + QStringList{QString()});

    const auto hits = barValues(w->hitChart());
    ASSERT_EQ(hits.size(), 3u);
    for (int set = 0; set < predict::kVerifySets; ++set) {
        const QStringList tokens = w->LabelAnalyz(set + set / 3 + 1)->text().split(' ', Qt::SkipEmptyParts);
        EXPECT_EQ(w->hitChart()->data().categories[set], tokens[0]);
        for (int rate = 0; rate < 3; ++rate)
            EXPECT_NEAR(hits[size_t(rate)][set], printed(tokens[tokens.size() - 3 + rate]), 1e-9) << set << " " << rate;
    }
    const auto returns = barValues(w->returnChart());
    ASSERT_EQ(returns.size(), 2u);
    for (int pick = 0; pick < 4; ++pick) {
        const QStringList tokens = w->LabelReturns(pick + 2)->text().split(' ', Qt::SkipEmptyParts);
        EXPECT_NEAR(returns[0][pick], printed(tokens[5]), 1e-9) << pick;
        EXPECT_NEAR(returns[1][pick], printed(tokens[7]), 1e-9) << pick;
    }

    // The save button asks the chooser for a path and writes the chart there.
    const QString chosen = day.home.path(QStringLiteral("hits"));
    const auto chooser = platform::ui::BarChartPanel::choosePngPath;
    platform::ui::BarChartPanel::choosePngPath = [&](QWidget *, const QString &) { return chosen; };
    QTest::mouseClick(w->hitChart()->saveButton(), Qt::LeftButton);
    platform::ui::BarChartPanel::choosePngPath = chooser;
    EXPECT_EQ(w->hitChart()->saveButton()->text(), QStringLiteral("PNG保存"));
    const QImage png(chosen + QStringLiteral(".png"), "PNG");
    EXPECT_EQ(png.size(), w->hitChart()->view()->size());
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('\n').toStdString();
    QString why;
    EXPECT_FALSE(w->returnChart()->savePng(day.home.path(QStringLiteral("none/r.png")), &why));
    EXPECT_FALSE(why.isEmpty());
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
