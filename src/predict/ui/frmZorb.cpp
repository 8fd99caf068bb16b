#include "predict/ui/frmZorb.h"

#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/ui/buttonarray.h"
#include "platform/ui/selectonfocus.h"
#include "platform/ui/window.h"
#include "predict/backtest.h"
#include "predict/ui/frmBacktest.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "timerank/ui/frmRaceListTR.h"
#include "timerank/ui/frmTimeRank.h"

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvin::predict::ui {

frmZorb::frmZorb(timerank::ui::frmRaceListTR *raceList) : QDialog(raceList), m_list(raceList)
{
    setObjectName(QStringLiteral("frmZorb"));
    setWindowTitle(platform::ui::kTitlePrefix);
    setModal(true);

    auto *frame1 = new QGroupBox(QStringLiteral("予想有効トラック"), this);
    frame1->setObjectName(QStringLiteral("Frame1"));
    auto *tracks = new QHBoxLayout(frame1);
    const std::array<QString, 3> trackNames{QStringLiteral("芝"), QStringLiteral("ダート"), QStringLiteral("障害")};
    for (int i = 0; i < 3; ++i) {
        m_track[i] = new QCheckBox(trackNames[i], frame1);
        m_track[i]->setObjectName(QStringLiteral("CheckTrack_%1").arg(i));
        m_track[i]->setChecked(true);
        tracks->addWidget(m_track[i]);
    }
    auto *frame2 = new QGroupBox(QStringLiteral("予想有効クラス"), this);
    frame2->setObjectName(QStringLiteral("CheckClassCheckClass"));
    auto *classes = new QGridLayout(frame2);
    const std::array<QString, 7> classNames{
        QStringLiteral("新馬"),     QStringLiteral("未勝利"),   QStringLiteral("500万下"), QStringLiteral("900万下"),
        QStringLiteral("1600万下"), QStringLiteral("オープン"), QStringLiteral("重賞")};
    for (int i = 0; i < 7; ++i) {
        m_class[i] = new QCheckBox(classNames[i], frame2);
        m_class[i]->setObjectName(QStringLiteral("CheckClass_%1").arg(i));
        m_class[i]->setChecked(true);
        classes->addWidget(m_class[i], i / 4, i % 4);
    }
    auto *label1 = new QLabel(QStringLiteral("ZORBコード"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_code = new QLineEdit(QStringLiteral("9999"), this);
    m_code->setObjectName(QStringLiteral("TextZorbVer"));
    m_code->setMaximumWidth(80);
    platform::ui::selectAllOnFocus(m_code);
    auto *codeRow = new QHBoxLayout;
    codeRow->addWidget(label1);
    codeRow->addWidget(m_code);
    codeRow->addStretch();

    auto *frameBet = new QGroupBox(QStringLiteral("買い目抽出方法"), this);
    frameBet->setObjectName(QStringLiteral("FrameBet"));
    auto *bets = new QVBoxLayout(frameBet);
    const std::array<QString, 2> betNames{QStringLiteral("上位４頭Box買い"), QStringLiteral("１位から６点流し")};
    for (int i = 0; i < 2; ++i) {
        m_bet[i] = new QRadioButton(betNames[i], frameBet);
        m_bet[i]->setObjectName(QStringLiteral("OptionBet_%1").arg(i));
        bets->addWidget(m_bet[i]);
    }
    m_bet[0]->setChecked(true);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::array<QString, 2> captions{QStringLiteral("Cancel"), QStringLiteral("OK")};
    m_buttons = platform::ui::ButtonArray(this, QStringLiteral("cmdZorb"), captions, &frmZorb::cmdZorb_Click);
    for (QPushButton *b : m_buttons) {
        b->setAutoDefault(false);
        buttons->addWidget(b);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame1);
    layout->addWidget(frame2);
    layout->addLayout(codeRow);
    layout->addWidget(frameBet);
    layout->addLayout(buttons);
}

ZorbSettings frmZorb::settings() const
{
    ZorbSettings z;
    z.code = m_code->text();
    z.keyHorse = m_bet[1]->isChecked();
    for (int i = 0; i < 3; ++i)
        z.track[i] = m_track[i]->isChecked();
    for (int i = 0; i < 7; ++i)
        z.classes[i] = m_class[i]->isChecked();
    return z;
}

void frmZorb::cmdZorb_Click(int index)
{
    if (index == 1) {
        // The code heads every block of Zorb.txt.
        const QString problem = ZorbCodeProblem(m_code->text());
        if (!problem.isEmpty()) {
            platform::dialogs().critical(problem);
            m_code->setFocus();
            return;
        }
        hide();
        RunBatchPrediction();
    }
    done(index == 1 ? QDialog::Accepted : QDialog::Rejected);
}

void frmZorb::RunBatchPrediction()
{
    // The races are those the race list offers.
    const int races = m_list->model().totalRaces();
    m_lastCount = races;
    const ZorbSettings z = settings();
    auto *window = new timerank::ui::frmTimeRank(m_list, m_list->selection());
    // The pending events processed during the run must not reach the race list
    // or step the analysis window: it is modal and follows the run alone.
    window->setWindowModality(Qt::ApplicationModal);
    window->setDrivenByRun(true);
    window->show();
    platform::DoEvents();
    // The run reads the file the window opened (with the settings the window
    // loaded) on its own; the window is its progress and shows each race as
    // it is scored. The window has said what was wrong with the file.
    timerank::TimeRankAnalysis run;
    run.open(m_list->selection().file, m_list->selection().kind, common::Settings);
    const BatchRunResult result = predict::RunBatchPrediction(run, races, z, common::ProgramFolder() + kZorbFileName,
                                                              platform::dialogs(), [window, &run] {
                                                                  window->follow(run);
                                                                  platform::DoEvents();
                                                              });
    window->setDrivenByRun(false);
    window->close();
    platform::ShowMessages(result.messages);
    if (!result.completed)
        return;
    platform::dialogs().information(kBatchDoneMessage);
    // The analysis window loaded the settings as it opened.
    if (const std::optional<BacktestSummary> backtest = BacktestRun(result, common::Settings)) {
        auto *summary = new frmBacktest(nullptr, *backtest);
        summary->show();
        m_backtest = summary;
    }
}

} // namespace korvin::predict::ui
