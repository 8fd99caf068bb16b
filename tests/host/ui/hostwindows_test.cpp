#include "host/recordingbackend.h"
#include "host/runlock.h"
#include "host/ui/frmCommentSet.h"
#include "host/ui/frmTimeRankText.h"
#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "support/hostexport.h"
#include "support/testutil.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmRaceListTR.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

using namespace korvin;
using host::Recording;

namespace {

class HostWindows : public ::testing::Test {
protected:
    test::ScratchHome home;
    platform::ScopedRecordingDialogs dialogs;
    std::shared_ptr<Recording> rec = std::make_shared<Recording>();
    int backends = 0;
    timerank::TimeRankSelection selection;

    void SetUp() override
    {
        home.writeDefaultSettings();
        host::ResetOwnKeyboardState();
        SetBackendFactory();
    }
    void SetBackendFactory()
    {
        host::SetBackendFactory([this] {
            ++backends;
            return std::make_unique<host::RecordingBackend>(rec);
        });
    }
    void TearDown() override
    {
        host::SetBackendFactory(nullptr);
        host::ResetOwnKeyboardState();
    }
    QStringList dryRun(const QStringList &args) const
    {
        const test::CliRun r = test::runCli(QStringList{QStringLiteral("script")} + args, home.folder());
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

TEST_F(HostWindows, TimeRankRunIsTheDryRunThenTheSplitAndTheRaceList)
{
    host::ui::frmTimeRankText w(nullptr, selection);
    w.show();
    w.OptionType(2)->setChecked(true);
    w.TextWait(0)->setText(QStringLiteral("2.7"));
    w.TextRepeat()->setText(QStringLiteral("2"));
    QStringList during;
    QStringList exported;
    rec->onLogged = [&](const QString &line) {
        if (line == QStringLiteral("[\"keys\",\"{PGDN}\"]")) {
            during << w.LabelStatus()->text() << QString::number(w.cmdTimeRankText(2)->isEnabled())
                   << QString::number(w.cmdStop()->isEnabled());
            w.close(); // the window outlives its run
            during << QString::number(w.isVisible());
        }
        if (line.startsWith(QStringLiteral("[\"check-export\","))) { // the host has exported the race
            test::ExportRacePlan p;
            p.kind = 2;
            p.raceLabel = QStringLiteral("%1Ｒ").arg(exported.size() / 400 + 10);
            exported += test::exportRace(p);
            home.writeLines(QStringLiteral("TimeRank/TimeRank.txt"), exported);
        }
    };
    EXPECT_FALSE(w.cmdStop()->isEnabled());
    EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("LabelStopHint"))->text(),
              QStringLiteral("ホスト以外をクリックすると中止します"));
    w.cmdTimeRankText(2)->click();

    EXPECT_EQ(backends, 1);
    EXPECT_EQ(rec->log, dryRun({QStringLiteral("timerank"), QStringLiteral("--kind"), QStringLiteral("2"),
                                QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--waits"),
                                QStringLiteral("2.7,1,1")}));
    EXPECT_EQ(during, (QStringList{QStringLiteral("レース 1 / 2：キー送信 {PGDN}"), QStringLiteral("0"),
                                   QStringLiteral("1"), QStringLiteral("1")}));
    const QString written = home.path(QStringLiteral("TimeRank/TRc20000610.txt"));
    EXPECT_EQ(selection.file, written);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Information);
    EXPECT_EQ(dialogs.shown[0].text,
              QStringLiteral("タイムランクファイルを書き込みました．（2 レース） ( ") + written + QStringLiteral(" )"));
    auto *list = qobject_cast<timerank::ui::frmRaceListTR *>(w.openedWindow());
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->cmdRace(10)->isEnabled());
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(w.cmdTimeRankText(2)->isEnabled());
    EXPECT_FALSE(w.cmdStop()->isEnabled());
    EXPECT_TRUE(w.LabelStatus()->text().isEmpty());
    list->close();
    EXPECT_TRUE(w.isVisible());
}

TEST_F(HostWindows, NothingStartsWithoutABackendOrWithABadBox)
{
    host::ui::frmTimeRankText w(nullptr, selection);
    w.TextRepeat()->setText(QStringLiteral("2,5"));
    w.cmdTimeRankText(2)->click();
    w.TextRepeat()->setText(QStringLiteral("1"));
    host::SetBackendFactory(nullptr);
    w.cmdTimeRankText(2)->click();
    host::ui::frmCommentSet c;
    c.TextWait(2)->setText(QStringLiteral("40000"));
    c.cmdCommentSet(1)->click();
    c.TextWait(2)->setText(QStringLiteral("1"));
    c.TextRepeat()->setText(QStringLiteral("0"));
    c.cmdCommentSet(1)->click();
    // Another run (another window, another Korvin) holds the machine's run.
    SetBackendFactory();
    c.TextRepeat()->setText(QStringLiteral("1"));
    host::HostRunLock other;
    ASSERT_TRUE(other.tryLock());
    c.cmdCommentSet(1)->click();
    EXPECT_EQ(
        dialogs.texts(),
        (QStringList{QStringLiteral("Repeat の値が -32768～32767 の数値ではありません． ( 2,5 )"),
                     QStringLiteral("キーを送信する仕組みがないため，実行できません．"),
                     QStringLiteral("Wait3 の値が -32768～32767 の数値ではありません． ( 40000 )"),
                     QStringLiteral("Repeat の値が 1 以上ではありません．レースの数を入れて下さい． ( 0 )"),
                     QStringLiteral("ほかのウィンドウ（または別の Korvin）が Vantor を操作中です．その実行が終わって"
                                    "から実行して下さい．キーは送信しません．")}));
    EXPECT_EQ(backends, 1);
    EXPECT_TRUE(rec->log.isEmpty());
    EXPECT_TRUE(selection.file.isEmpty());
}

TEST_F(HostWindows, CommentWindowRunsItsScriptAndSaysWhatItWrote)
{
    host::ui::frmCommentSet w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor / CommentSet"));
    QStringList labels;
    for (int i = 1; i <= 5; ++i)
        labels << w.findChild<QLabel *>(QStringLiteral("Label%1").arg(i))->text();
    EXPECT_EQ(labels, (QStringList{QStringLiteral("結果コメントに着差＆４角位置グラフを書き込みます．"),
                                   QStringLiteral("コメントを書き込むレースにカーソルを合わせて下さい．"),
                                   QStringLiteral("（メインメニュー => 成績"), QStringLiteral("       => 開催選択"),
                                   QStringLiteral("       => 対象レースにカーソルセット）")}));
    EXPECT_EQ((QStringList{w.cmdCommentSet(0)->text(), w.cmdCommentSet(1)->text(), w.TextWait(0)->text(),
                           w.TextWait(1)->text(), w.TextWait(2)->text(), w.TextRepeat()->text()}),
              (QStringList{QStringLiteral("Close"), QStringLiteral("Run"), QStringLiteral("2"), QStringLiteral("1"),
                           QStringLiteral("1"), QStringLiteral("1")}));

    w.TextRepeat()->setText(QStringLiteral("2.5"));
    int race = 0;
    rec->onLogged = [&](const QString &line) {
        if (line == QStringLiteral("[\"keys\",\"{F8}\"]")) {
            EXPECT_FALSE(w.cmdCommentSet(1)->isEnabled());
            test::CommentExportPlan p;
            p.raceLine = QStringLiteral("%1Ｒ").arg(++race + 10);
            p.runners = {test::commentRunner(1, u' ', QStringLiteral("=1◆")),
                         test::commentRunner(2, u'差', QStringLiteral("ab"))};
            home.writeLines(QStringLiteral("MData/Comment.txt"), test::commentExport(p));
        }
    };
    w.cmdCommentSet(1)->click();
    // The window brings itself back at the end, not through the backend by a title.
    const QStringList dry = dryRun({QStringLiteral("comments"), QStringLiteral("--repeat"), QStringLiteral("2.5")});
    EXPECT_EQ(rec->log, dry.mid(0, dry.size() - 1));
    EXPECT_EQ(dry.last(), QStringLiteral("[\"activate\",\"Korvin\"]"));
    // Korvin's own Caps Lock state is on; the desktop's stays as it was.
    EXPECT_FALSE(rec->capsLock);
    EXPECT_EQ(host::GetCapsLock(*host::CreateBackend()), 1);
    const QString file = home.path(QStringLiteral("MData/MS003東.dat"));
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("結果コメントを書き込みました．\n") + file +
                                           QStringLiteral(" : 2 レース 4 行")});
    EXPECT_EQ(platform::readLines(file)->size(), 4);
    EXPECT_TRUE(w.cmdCommentSet(1)->isEnabled());
}

} // namespace
