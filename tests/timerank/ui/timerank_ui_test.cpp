#include "host/ui/frmTimeRankText.h"
#include "platform/dialogs.h"
#include "platform/ui/filechooser.h"
#include "common/settings.h"
#include "app/ui/frmMenu.h"
#include "support/testutil.h"
#include "support/trfixture.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmFileSelectTR.h"
#include "timerank/ui/frmRaceListTR.h"
#include "timerank/ui/frmTimeRank.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::timerank;

namespace {

template <class T>
T *child(QWidget *w, const QString &name)
{
    T *c = w->findChild<T *>(name);
    EXPECT_NE(c, nullptr) << name.toStdString();
    return c;
}

class TimeRankWindows : public ::testing::Test {
protected:
    test::ScratchHome home;
    platform::ScopedRecordingDialogs rec;
    QString folder;
    TimeRankSelection selection;

    void SetUp() override
    {
        home.writeDefaultSettings();
        folder = home.path("TimeRank/");
    }

    // Course A with races 1..10, course B with races 1..12; race r's first
    // cell holds horse r.
    QString writeTwoCourses(const QString &name)
    {
        QStringList lines;
        auto add = [&](const QString &course, const QString &day, int r) {
            test::TRBlockPlan s;
            s.course = course;
            s.day = day;
            s.raceLabel = r < 10 ? QString(QChar(u'０' + r)) + QStringLiteral("Ｒ") : QStringLiteral("%1Ｒ").arg(r);
            s.surface = course == QStringLiteral("京都") ? QChar(u'ダ') : QChar(u'芝');
            s.groups = test::trFullGroups();
            s.groups[0][0] = test::trHorse(1, r);
            lines << test::trBlock(s);
        };
        for (int r = 1; r <= 10; ++r)
            add(QStringLiteral("東京"), QStringLiteral("4"), r);
        for (int r = 1; r <= 12; ++r)
            add(QStringLiteral("京都"), QStringLiteral("2"), r);
        home.writeLines("TimeRank/" + name, lines);
        return folder + name;
    }
};

TEST_F(TimeRankWindows, FileSelectListsTheKindAndChecksTheChoice)
{
    writeTwoCourses("TRa20000610.txt");
    writeTwoCourses("TRc20000610.txt");
    selection.kind = 2;
    auto *w = new timerank::ui::frmFileSelectTR(nullptr, selection);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor  / タイムランクファイル"));
    EXPECT_EQ(w->chooser()->fileNames(), QStringList{"TRc20000610.txt"});
    EXPECT_TRUE(rec.shown.empty());

    w->cmdFileList_Click(0);
    EXPECT_EQ(rec.texts(), QStringList{QStringLiteral("ファイルを選択して下さい．")});
    EXPECT_TRUE(selection.file.isEmpty());

    ASSERT_TRUE(w->chooser()->selectFile("TRc20000610.txt"));
    QPointer<QWidget> guard(w);
    w->cmdFileList_Click(0);
    EXPECT_EQ(QFileInfo(selection.file).canonicalFilePath(), QFileInfo(folder + "TRc20000610.txt").canonicalFilePath());
    auto *list = qobject_cast<timerank::ui::frmRaceListTR *>(w->raceList());
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(guard.isNull());
    delete list;
}

TEST_F(TimeRankWindows, FileSelectWithAMissingFolder)
{
    ASSERT_TRUE(common::LoadSettings().empty());
    QStringList lines = {"TimeRank  /nowhere/at/all/"};
    home.writeLines("Korvin.ini", lines);
    auto *w = new timerank::ui::frmFileSelectTR(nullptr, selection);
    EXPECT_EQ(rec.texts(), QStringList{QStringLiteral("Path not found!! ( /nowhere/at/all/ )")});
    delete w;
}

TEST_F(TimeRankWindows, RaceListCoursesAndRaceButtons)
{
    selection.file = writeTwoCourses("TRb20000610.txt");
    timerank::ui::frmRaceListTR list(nullptr, selection);
    EXPECT_EQ(list.windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor  / RaceList"));
    EXPECT_EQ((std::vector<bool>{list.cmdPlace(0)->isEnabled(), list.cmdPlace(1)->isEnabled(),
                                 list.cmdPlace(2)->isEnabled()}),
              (std::vector<bool>{true, true, false}));
    EXPECT_EQ(list.cmdPlace(1)->text(), QStringLiteral("京都"));
    EXPECT_EQ(list.LabelDate()->text(), QStringLiteral("2000年 6月10日(土) 3回東京4日目"));
    auto enabled = [&] {
        int n = 0;
        for (int r = 0; r < 12; ++r)
            n += list.cmdRace(r)->isEnabled() ? 1 : 0;
        return n;
    };
    EXPECT_EQ(enabled(), 10);
    EXPECT_FALSE(list.cmdRace(10)->isEnabled());
    list.cmdPlace_Click(1);
    EXPECT_EQ(enabled(), 12);
    EXPECT_EQ(list.LabelDate()->text(), QStringLiteral("2000年 6月10日(土) 3回京都2日目"));
    list.cmdPlace_Click(0);
    EXPECT_EQ(enabled(), 10);
    EXPECT_TRUE(list.cmdRace(11)->text().isEmpty());
}

TEST_F(TimeRankWindows, RaceListOfAFileWithoutARaceHeaderSaysSo)
{
    home.writeLines(QStringLiteral("TimeRank/TRb20000611.txt"), {QStringLiteral("集計 終了")});
    selection.file = folder + QStringLiteral("TRb20000611.txt");
    timerank::ui::frmRaceListTR list(nullptr, selection);
    EXPECT_EQ(
        rec.texts(),
        QStringList{QStringLiteral("タイムランクファイルにレースの見出し行がありません． ( %1 )").arg(selection.file)});
    EXPECT_FALSE(list.cmdPlace(0)->isEnabled());
}

// A race button opens the analysis on its race in place of the race list; a
// race the file does not hold stops at the last race and says so.
TEST_F(TimeRankWindows, RaceButtonOpensTheAnalysisOnItsRaceOrStopsAtTheLast)
{
    selection.file = writeTwoCourses("TRb20000610.txt");
    selection.kind = 1;
    for (bool missing : {false, true}) {
        SCOPED_TRACE(missing ? "race not in the file" : "race 11 of 京都");
        rec.clear();
        timerank::ui::frmRaceListTR list(nullptr, selection);
        list.show();
        list.cmdPlace_Click(1);
        if (missing) { // the file lost the race after the list was read: one race is left
            test::TRBlockPlan one;
            one.groups = test::trFullGroups();
            home.writeLines("TimeRank/TRb20000610.txt", test::trBlock(one));
        }
        list.cmdRace_Click(10);
        auto *a = list.analysisWindow();
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->model().raceIndex(), missing ? 0 : 10 + 10);
        EXPECT_TRUE(a->isVisible());
        EXPECT_FALSE(list.isVisible());
        if (missing) {
            EXPECT_EQ(
                rec.texts(),
                QStringList{
                    "選択したレースがタイムランクファイルにありません． ( 2000年 6月10日(土) 3回京都2日目11Ｒ )"});
        } else {
            EXPECT_TRUE(rec.shown.empty());
            EXPECT_EQ(a->LabelHeader(0)->text().mid(32, 3), QStringLiteral("11Ｒ"));
            EXPECT_TRUE(a->LabelHeader(0)->text().contains(QStringLiteral("京都")));
            EXPECT_EQ(a->LabelData(0)->text().mid(4, 2), QStringLiteral("11"));
        }
        a->close();
        EXPECT_TRUE(list.isVisible());
    }
}

TEST_F(TimeRankWindows, AnalysisWindowLabelsAndHiddenHalf)
{
    selection.file = writeTwoCourses("TRd20000610.txt");
    for (int kind : {0, 3}) {
        selection.kind = qint16(kind);
        timerank::ui::frmTimeRank w(nullptr, selection);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor / TimeRank"));
        const bool hidden = kind == 3;
        for (const char *name :
             {"Label4", "Label5", "Label7", "LabelTrack3", "LabelTrack4", "LabelData_60", "LabelData_119"})
            EXPECT_EQ(child<QWidget>(&w, QString::fromLatin1(name))->isHidden(), hidden) << name << " kind " << kind;
        EXPECT_FALSE(child<QWidget>(&w, "Label2")->isHidden());
        EXPECT_FALSE(child<QWidget>(&w, "LabelData_59")->isHidden());
        EXPECT_EQ(child<QLabel>(&w, "LabelTrack1")->text(), QStringLiteral("芝"));
        EXPECT_EQ(child<QLabel>(&w, "LabelTrack2")->text(), QStringLiteral("芝・ダート"));
        EXPECT_FALSE(child<QLabel>(&w, "LabelData_119")->text().isEmpty());
        EXPECT_TRUE(child<QWidget>(&w, "ShapeSei1")->isHidden()); // no payout file
    }
    selection.kind = 0; // the fixture's title lines are those of kind 0
    timerank::ui::frmTimeRank w(nullptr, selection);
    child<QPushButton>(&w, "cmdTimeRank_0")->click();
    EXPECT_EQ(rec.texts().last(), QStringLiteral("前のレースはありません．"));
    for (int i = 0; i < 10; ++i)
        child<QPushButton>(&w, "cmdTimeRank_1")->click();
    EXPECT_EQ(child<QLabel>(&w, "LabelTrack1")->text(), QStringLiteral("ダート"));
    EXPECT_EQ(child<QLabel>(&w, "LabelTrack3")->text(), QStringLiteral("ダート"));
    EXPECT_EQ(w.LabelHeader(1)->text(), test::TRBlockPlan{}.nameLine);
}

TEST_F(TimeRankWindows, ExportWindowIsTheRoadIn)
{
    app::ui::frmMenu menu;
    EXPECT_TRUE(menu.cmdMenu(2)->isEnabled());
    menu.cmdMenu_Click(2);
    auto *w = qobject_cast<host::ui::frmTimeRankText *>(menu.openedWindow());
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor / TimeRank"));
    EXPECT_TRUE(w->OptionType(0)->isChecked());
    EXPECT_EQ(w->OptionType(2)->text(), QStringLiteral("上がり３Fタイムランキング"));
    EXPECT_EQ((QStringList{w->TextWait(0)->text(), w->TextWait(1)->text(), w->TextRepeat()->text()}),
              (QStringList{"2", "1", "1"}));
    EXPECT_TRUE(w->cmdTimeRankText(2)->isEnabled());
    EXPECT_EQ(w->cmdTimeRankText(3)->text(), QStringLiteral("予想パラメータ設定"));
    EXPECT_TRUE(w->cmdTimeRankText(3)->isEnabled());

    w->OptionType(4)->setChecked(true);
    w->cmdTimeRankText_Click(1);
    auto *select = qobject_cast<timerank::ui::frmFileSelectTR *>(w->openedWindow());
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(select->chooser()->pattern(), "TRe*.txt");
    EXPECT_FALSE(w->isVisible());
    select->cmdFileList_Click(1); // Cancel: back to the export window
    EXPECT_TRUE(w->isVisible());
    w->close();
    EXPECT_TRUE(menu.isVisible());
}

} // namespace
