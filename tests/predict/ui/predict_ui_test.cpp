#include "host/ui/frmTimeRankText.h"
#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "predict/trpara.h"
#include "predict/ui/frmTimeRankPara.h"
#include "predict/ui/frmBacktest.h"
#include "predict/ui/frmZorb.h"
#include "platform/ui/barchart.h"
#include "predict/ui/barreading.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"
#include "support/trfixture.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmRaceListTR.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

using namespace korvin;

namespace {

const QString kDone = QStringLiteral("一括予想（Z.O.R.B.形式）が完了しました．");

class ParaWindow : public ::testing::Test {
protected:
    test::ScratchHome home;
    platform::ScopedRecordingDialogs rec;
    timerank::TimeRankSelection selection;
    void SetUp() override { home.writeDefaultSettings(); }
    // 小倉, Ｇ１, ダート, 2500m以上: condition 1599.
    static void chooseLast(predict::ui::frmTimeRankPara *w)
    {
        w->ComboPlace()->setCurrentIndex(9);
        w->ComboClass()->setCurrentIndex(9);
        w->ComboTrack()->setCurrentIndex(1);
        w->ComboDistance()->setCurrentIndex(7);
    }
};

TEST_F(ParaWindow, OpensEmptySavesTheShownConditionAndShowsItAgain)
{
    auto *w = new predict::ui::frmTimeRankPara;
    EXPECT_EQ(w->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor / TimeRank Paramator"));
    EXPECT_EQ(w->conditionIndex(), 0);
    EXPECT_EQ(w->ComboPlace()->currentText(), QStringLiteral("札幌"));
    EXPECT_EQ(w->TextPara(0)->text(), "");
    EXPECT_EQ(w->cmdTRPara(2)->text(), QStringLiteral("登録(全条件）"));

    chooseLast(w);
    EXPECT_EQ(w->conditionIndex(), 1599);
    w->TextPara(0)->setText("7");
    w->TextPara(119)->setText("100");
    w->cmdTRPara(1)->click();
    EXPECT_EQ(rec.texts(), QStringList{QStringLiteral("パラメータの登録が完了しました．")});
    const QByteArray file = home.readBytes("Korvin.trp");
    ASSERT_EQ(file.size(), 1600 * 249);
    EXPECT_EQ(file.mid(1599 * 249, 9), "109019907");
    EXPECT_EQ(file.mid(1599 * 249 + 245, 2), "10");
    delete w;

    w = new predict::ui::frmTimeRankPara;
    EXPECT_EQ(w->TextPara(0)->text(), "");
    chooseLast(w);
    EXPECT_EQ((QStringList{w->TextPara(0)->text(), w->TextPara(119)->text(), w->TextPara(1)->text()}),
              (QStringList{"07", "10", "  "}));
    delete w;
}

TEST_F(ParaWindow, SaveAllWritesEveryConditionWithTheWaitWindow)
{
    predict::ui::frmTimeRankPara w;
    w.show();
    for (int i = 0; i < predict::kParaBoxes; ++i)
        w.TextPara(i)->setText(QString::number(i % 10));
    // While it writes, the wait window is modal: no second click reaches the
    // parameter window and its buttons.
    QString modalWhileSaving;
    QTimer::singleShot(0, [&] {
        if (QWidget *m = QApplication::activeModalWidget())
            modalWhileSaving = m->objectName();
    });
    // One click would overwrite every condition: "No" leaves the file alone.
    rec.answers = {platform::Answer::No, platform::Answer::Yes};
    w.cmdTRPara(2)->click();
    EXPECT_EQ(modalWhileSaving, QString());
    EXPECT_EQ(home.readBytes(QStringLiteral("Korvin.trp")).size(), 0);
    w.cmdTRPara(2)->click();
    EXPECT_EQ(modalWhileSaving, QStringLiteral("frmWait"));
    const QString question =
        QStringLiteral("全 1600 条件のパラメータを表示中の値で上書きします．元に戻すことはできません．"
                       "よろしいですか？\n( %1 )")
            .arg(home.path(QStringLiteral("Korvin.trp")));
    EXPECT_EQ(rec.texts(),
              (QStringList{question, question, QStringLiteral("全条件へのパラメータ登録が完了しました．")}));
    EXPECT_EQ(rec.shown[0].kind, platform::MessageKind::Warning);
    EXPECT_EQ(home.readBytes("Korvin.trp").size(), 1600 * 249);
    // The table follows the file: another condition shows the saved values.
    w.ComboPlace()->setCurrentIndex(4);
    EXPECT_EQ(w.TextPara(3)->text(), "03");
    EXPECT_EQ(w.findChild<QWidget *>("frmWait"), nullptr); // closed again
}

// Every failure of the window says which file and why, in place of its
// completion message.
TEST_F(ParaWindow, FailureMessagesNameTheFileAndTheReason)
{
    const QString name = QStringLiteral("Korvin.trp");
    const QString path = home.path(name);
    home.makeFolder(name);
    {
        predict::ui::frmTimeRankPara w;
        ASSERT_EQ(rec.shown.size(), 1u);
        EXPECT_EQ(rec.shown[0].kind, platform::MessageKind::Critical);
        EXPECT_TRUE(rec.shown[0].text.startsWith(QStringLiteral("パラメータファイルを開けません． ( %1 )\n").arg(path)))
            << rec.shown[0].text.toStdString();
    }
    QDir(home.folder()).rmdir(name);
    home.writeBytes(name, predict::TRParaRecord().toBytes());
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner));
    const QByteArray before = home.readBytes(name);
    predict::ui::frmTimeRankPara w;
    rec.clear();
    w.TextPara(0)->setText(QStringLiteral("9"));
    w.cmdTRPara(1)->click();
    w.cmdTRPara(2)->click();
    const QString failed = QStringLiteral("パラメータを登録できません． ( %1 )\n読み取り専用のファイルです").arg(path);
    ASSERT_EQ(rec.shown.size(), 3u) << rec.texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rec.shown[0].text, failed);
    EXPECT_EQ(rec.shown[1].kind, platform::MessageKind::Warning);
    EXPECT_EQ(rec.shown[2].text, failed);
    EXPECT_EQ(rec.shown[2].kind, platform::MessageKind::Critical);
    EXPECT_EQ(home.readBytes(name), before);
}

TEST_F(ParaWindow, OpenedFromTheExportWindowAndBackAgain)
{
    host::ui::frmTimeRankText text(nullptr, selection);
    text.show();
    ASSERT_TRUE(text.cmdTimeRankText(3)->isEnabled());
    text.cmdTimeRankText_Click(3);
    auto *para = qobject_cast<predict::ui::frmTimeRankPara *>(text.openedWindow());
    ASSERT_NE(para, nullptr);
    EXPECT_FALSE(text.isVisible());
    para->cmdTRPara(0)->click();
    EXPECT_TRUE(text.isVisible());
}

// The Zorb run of the window and of korvin-cli on the same day are the same.
TEST_F(ParaWindow, ZorbWindowRunMatchesTheCommandLine)
{
    std::vector<predict::TRParaRecord> table(predict::kConditions);
    std::array<QString, predict::kParaBoxes> boxes;
    for (int i = 0; i < predict::kParaBoxes; ++i)
        boxes[i] = QString::number((i * 7) % 13);
    ASSERT_TRUE(predict::SaveAllConditionRecords(table, boxes, {}));
    QStringList lines;
    int seed = 1;
    for (const QString &course : {QStringLiteral("東京"), QStringLiteral("京都")})
        for (int r = 1; r <= 4; ++r) {
            test::TRBlockPlan s;
            s.course = course;
            s.raceLabel = QString(QChar(u'０' + r)) + QStringLiteral("Ｒ");
            s.nameLine = r == 2 ? QStringLiteral("サラ系３歳・500万下(混)[指]  ダ右1200m  8頭立") : s.nameLine;
            s.groups.assign(24, {});
            for (int g = 0; g < 24; ++g)
                for (int k = 1; k <= 5; ++k)
                    s.groups[g] << test::trHorse(k, (seed = seed * 7 % 17) + 1);
            lines << test::trBlock(s);
        }
    home.writeLines("TimeRank/TRc20000610.txt", lines);
    selection.file = home.path("TimeRank/TRc20000610.txt");
    selection.kind = 2;

    timerank::ui::frmRaceListTR list(nullptr, selection);
    list.show();
    predict::ui::frmZorb z(&list);
    EXPECT_EQ(z.windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor"));
    EXPECT_EQ(z.TextZorbVer()->text(), "9999");
    EXPECT_TRUE(z.OptionBet(0)->isChecked());
    EXPECT_TRUE(z.CheckClass(6)->isChecked());
    EXPECT_EQ(z.CheckClass(6)->text(), QStringLiteral("重賞"));
    z.TextZorbVer()->setText("1234");
    z.OptionBet(1)->setChecked(true);
    z.CheckTrack(1)->setChecked(false);
    z.cmdZorb_Click(1);
    EXPECT_EQ(z.lastRaceCount(), 8);
    EXPECT_EQ(rec.texts(), QStringList{kDone});
    const QByteArray gui = home.readBytes("Zorb.txt");
    ASSERT_FALSE(gui.isEmpty());
    EXPECT_TRUE(gui.contains("[1234]"));

    const test::CliRun cli = test::runCli({"predict", selection.file, "--kind", "2", "--code", "1234", "--bet", "key",
                                           "--skip-track", "1", "--out", home.path("cli.txt")},
                                          home.folder());
    EXPECT_EQ(cli.code, 0) << cli.err.toStdString();
    EXPECT_EQ(home.readBytes("cli.txt"), gui);
    // Two meetings, the dirt race left out of each.
    EXPECT_EQ(gui.count("----------------------------------------------------------------------------\r\n"), 4);
    EXPECT_EQ(gui.count("R  "), 6);
}

} // namespace

namespace {

// The batch prediction window over a day written as the current time-rank
// file, every parameter cell worth 5 points.
class ZorbWindow : public ParaWindow {
protected:
    void prepare(const QStringList &lines, int kind)
    {
        std::vector<predict::TRParaRecord> table(predict::kConditions);
        std::array<QString, predict::kParaBoxes> boxes;
        boxes.fill(QStringLiteral("5"));
        ASSERT_TRUE(predict::SaveAllConditionRecords(table, boxes, {}));
        home.writeLines("TimeRank/TR20000610.txt", lines);
        selection.file = home.path("TimeRank/TR20000610.txt");
        selection.kind = qint16(kind);
    }
    // The Zorb window over the race list of the time-rank file, as the user opens it.
    predict::ui::frmZorb &open()
    {
        zorb.reset();
        list = std::make_unique<timerank::ui::frmRaceListTR>(nullptr, selection);
        list->show();
        zorb = std::make_unique<predict::ui::frmZorb>(list.get());
        return *zorb;
    }
    void TearDown() override
    {
        zorb.reset();
        list.reset();
    }
    std::unique_ptr<timerank::ui::frmRaceListTR> list;
    std::unique_ptr<predict::ui::frmZorb> zorb;
};

// A Zorb.txt that cannot be appended to: the window says so and never that
// the run was completed.
TEST_F(ZorbWindow, DoesNotReportAFailedWriteAsDone)
{
    test::TRBlockPlan s;
    s.raceLabel = QStringLiteral("１Ｒ");
    s.groups = test::trFullGroups();
    prepare(test::trBlock(s), 2);
    home.makeFolder("Zorb.txt"); // a folder where the file should be
    open().cmdZorb_Click(1);
    ASSERT_EQ(rec.shown.size(), 1u) << rec.texts().join('\n').toStdString();
    EXPECT_EQ(rec.shown[0].kind, platform::MessageKind::Critical);
    EXPECT_TRUE(rec.shown[0].text.contains(home.path("Zorb.txt")));
}

// A Zorb code Shift-JIS cannot hold would reach the bets file as "?": it is
// refused, nothing runs, and the window stays for the code to be changed.
TEST_F(ZorbWindow, ACodeShiftJisCannotHoldIsRefused)
{
    test::TRBlockPlan s;
    s.groups = test::trFullGroups();
    prepare(test::trBlock(s), 2);
    predict::ui::frmZorb &z = open();
    z.show();
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("99é9"), QStringLiteral("ZORBコード の「é」は Shift-JIS で保存できない文字です．")},
        {QString(), QStringLiteral("ZORBコードが空です．")},
        {QStringLiteral("9\t99"), QStringLiteral("ZORBコード に制御文字 (U+0009) があります．")},
    };
    for (const auto &[code, said] : cases) {
        rec.clear();
        z.TextZorbVer()->setText(code);
        z.cmdZorb_Click(1);
        ASSERT_EQ(rec.shown.size(), 1u) << rec.texts().join('\n').toStdString();
        EXPECT_EQ(rec.shown[0].kind, platform::MessageKind::Critical);
        EXPECT_EQ(rec.shown[0].text, said);
        EXPECT_TRUE(z.isVisible());
        EXPECT_FALSE(QFile::exists(home.path(QStringLiteral("Zorb.txt"))));
    }
}

// Nothing predicted is never reported as done: the file vanished after the
// race list opened, or it holds no race header.
TEST_F(ZorbWindow, NothingPredictedIsNotReportedAsDone)
{
    test::TRBlockPlan s;
    s.groups = test::trFullGroups();
    for (bool vanish : {true, false}) {
        SCOPED_TRACE(vanish ? "vanished" : "no race header");
        prepare(vanish ? test::trBlock(s) : QStringList{QStringLiteral("集計 終了")}, 2);
        timerank::ui::frmRaceListTR raceList(nullptr, selection);
        raceList.show();
        if (vanish)
            QFile::remove(selection.file);
        rec.clear();
        predict::ui::frmZorb(&raceList).cmdZorb_Click(1);
        EXPECT_FALSE(rec.texts().contains(kDone));
        EXPECT_EQ(rec.texts().last(), QStringLiteral("一括予想するレースがありません． ( %1 )").arg(selection.file));
        EXPECT_FALSE(QFile::exists(home.path(QStringLiteral("Zorb.txt"))));
    }
}

// While the run steps through the races, the analysis window is its progress:
// a click on Back or Close there must not move or end it, and the race list
// takes no clicks.
TEST_F(ZorbWindow, RunIgnoresTheAnalysisWindowsButtons)
{
    QStringList lines;
    for (int r = 1; r <= 3; ++r) {
        test::TRBlockPlan s;
        s.raceLabel = QString(QChar(u'０' + r)) + QStringLiteral("Ｒ");
        if (r == 2) // an unknown class: its message comes up in the middle of the run
            s.nameLine = QStringLiteral("サラ系３歳・準オープン(混)  芝右1800m 16頭立");
        s.groups.assign(24, {test::trHorse(1, r + 4)});
        lines << test::trBlock(s);
    }
    prepare(lines, 1);
    predict::ui::frmZorb &z = open();
    bool modal = false, stayed = false, clicked = false;
    rec.onShown = [&](const platform::RecordingDialogs::Entry &e) {
        if (e.text != QStringLiteral("Class Pickup Error!!") || clicked)
            return;
        clicked = true;
        QWidget *w = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QStringLiteral("frmTimeRank") && top->isVisible())
                w = top;
        ASSERT_NE(w, nullptr);
        modal = QApplication::activeModalWidget() == w || w->isModal();
        w->findChild<QPushButton *>(QStringLiteral("cmdTimeRank_0"))->click();
        w->close();
        stayed = w->isVisible();
    };
    z.cmdZorb_Click(1);
    EXPECT_TRUE(modal);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(rec.texts().last(), kDone);
    const QByteArray out = home.readBytes("Zorb.txt");
    EXPECT_TRUE(out.contains(" 1R   5  1- 5  2- 5  3- 5  1- 2  1- 3  2- 3  |")) << out.constData();
    EXPECT_TRUE(out.contains(" 3R   7  1- 7  2- 7  3- 7  1- 2  1- 3  2- 3  |")) << out.constData();
}

// With payout files for the day the run ends with the backtest window, after
// the completion message; its chart draws the rates its lines print.
TEST_F(ZorbWindow, BacktestWindowAfterTheCompletionMessage)
{
    test::TRBlockPlan s;
    s.raceLabel = QStringLiteral("１Ｒ");
    s.groups.assign(24, {test::trHorse(1, 5)});
    prepare(test::trBlock(s), 1);
    // The box 5, 1, 2, 3 holds 2-3, the quinella listed third.
    home.writeBytes("SData/003東.dat", test::PayoutRecord("4", "01").uma(0, "0507", 880).uma(2, "0302", 1500).b);

    predict::ui::frmZorb &z = open();
    bool shownBefore = true;
    rec.onShown = [&](const platform::RecordingDialogs::Entry &) { shownBefore = z.backtestWindow() != nullptr; };
    z.cmdZorb_Click(1);
    EXPECT_EQ(rec.texts(), QStringList{kDone});
    EXPECT_FALSE(shownBefore);
    QPointer<predict::ui::frmBacktest> w = qobject_cast<predict::ui::frmBacktest *>(z.backtestWindow());
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor / Backtest"));
    ASSERT_EQ(w->LabelBacktest().size(), 3);
    EXPECT_EQ(w->LabelBacktest()[1]->text(),
              QStringLiteral("東京 3回4日目          1     6     1  100.0%  250.0%         0"));
    const auto bars = test::drawnBarValues(*w->chart()->view());
    ASSERT_EQ(bars.size(), 2u);
    for (int line = 1; line <= 2; ++line) {
        const QStringList tokens = w->LabelBacktest()[line]->text().split(' ', Qt::SkipEmptyParts);
        EXPECT_NEAR(bars[0][line - 1], tokens[tokens.size() - 3].chopped(1).toDouble(), 1e-9);
        EXPECT_NEAR(bars[1][line - 1], tokens[tokens.size() - 2].chopped(1).toDouble(), 1e-9);
    }
    const QString png = home.path("backtest.png");
    ASSERT_TRUE(w->chart()->savePng(png));
    EXPECT_EQ(QImage(png).size(), w->chart()->view()->size());
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w);
}

} // namespace
