#include "host/recordingbackend.h"
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

    void SetUp() override
    {
        home.writeDefaultSettings();
        timerank::TimeRankFile.clear();
        host::SetBackendFactory([this] {
            ++backends;
            return std::make_unique<host::RecordingBackend>(rec);
        });
    }
    void TearDown() override { host::SetBackendFactory(nullptr); }
    QStringList dryRun(const QStringList &args) const
    {
        const test::CliRun r = test::runCli(QStringList{QStringLiteral("script")} + args, home.folder());
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        return r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

TEST_F(HostWindows, TimeRankRunIsTheDryRunThenTheSplitAndTheRaceList)
{
    host::ui::frmTimeRankText w;
    w.show();
    w.OptionType(2)->setChecked(true);
    w.TextWait(0)->setText(QStringLiteral("2.7"));
    w.TextRepeat()->setText(QStringLiteral("2"));
    QStringList during;
    rec->onLogged = [&](const QString &line) {
        if (line == QStringLiteral("[\"keys\",\"{PGDN}\"]")) {
            during << w.LabelStatus()->text() << QString::number(w.cmdTimeRankText(2)->isEnabled());
            w.close(); // the window outlives its run
            during << QString::number(w.isVisible());
        }
        if (line == QStringLiteral("[\"split\"]")) { // the host has written its export
            test::ExportRacePlan p;
            p.kind = 2;
            home.writeLines(QStringLiteral("TimeRank/TimeRank.txt"), test::exportRace(p) + test::exportRace(p));
        }
    };
    w.cmdTimeRankText(2)->click();

    EXPECT_EQ(backends, 1);
    EXPECT_EQ(rec->log, dryRun({QStringLiteral("timerank"), QStringLiteral("--kind"), QStringLiteral("2"),
                                QStringLiteral("--repeat"), QStringLiteral("2"), QStringLiteral("--waits"),
                                QStringLiteral("2.7,1,1")}));
    EXPECT_EQ(during,
              (QStringList{QStringLiteral("レース 1 / 2：キー送信 {PGDN}"), QStringLiteral("0"), QStringLiteral("1")}));
    const QString written = home.path(QStringLiteral("TimeRank/TRc20000610.txt"));
    EXPECT_EQ(timerank::TimeRankFile, written);
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
    EXPECT_TRUE(w.LabelStatus()->text().isEmpty());
    list->close();
    EXPECT_TRUE(w.isVisible());
}

TEST_F(HostWindows, NothingStartsWithoutABackendOrWithABadBox)
{
    host::ui::frmTimeRankText w;
    w.TextRepeat()->setText(QStringLiteral("2,5"));
    w.cmdTimeRankText(2)->click();
    w.TextRepeat()->setText(QStringLiteral("1"));
    host::SetBackendFactory(nullptr);
    w.cmdTimeRankText(2)->click();
    host::ui::frmCommentSet c;
    c.TextWait(2)->setText(QStringLiteral("40000"));
    c.cmdCommentSet(1)->click();
    EXPECT_EQ(dialogs.texts(),
              (QStringList{QStringLiteral("Repeat の値が -32768～32767 の数値ではありません． ( 2,5 )"),
                           QStringLiteral("キーを送信する仕組みがないため，実行できません．"),
                           QStringLiteral("Wait3 の値が -32768～32767 の数値ではありません． ( 40000 )")}));
    EXPECT_EQ(backends, 0);
    EXPECT_TRUE(rec->log.isEmpty());
    EXPECT_TRUE(timerank::TimeRankFile.isEmpty());
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
    EXPECT_EQ(rec->log, dryRun({QStringLiteral("comments"), QStringLiteral("--repeat"), QStringLiteral("2.5")}));
    EXPECT_TRUE(rec->capsLock);
    const QString file = home.path(QStringLiteral("MData/MS003東.dat"));
    EXPECT_EQ(dialogs.texts(), QStringList{QStringLiteral("結果コメントを書き込みました．\n") + file +
                                           QStringLiteral(" : 2 レース 4 行")});
    EXPECT_EQ(platform::readLines(file)->size(), 4);
    EXPECT_TRUE(w.cmdCommentSet(1)->isEnabled());
}

} // namespace
