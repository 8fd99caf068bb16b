#pragma once
#include "platform/ui/window.h"
#include "timerank/analysis.h"

#include <array>

class QFrame;
class QLabel;
class QPushButton;

namespace korvin::racing::ui {
class PayoutPanel;
}

namespace korvin::timerank::ui {

// The time-rank analysis window: one race of the current time-rank file, its
// 24 rankings of the five best runners, and the payouts. A view over
// TimeRankAnalysis; during the batch prediction it follows the run's model.
class frmTimeRank : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    // Opens the selection's file for its kind and shows its first race.
    frmTimeRank(QWidget *opener, const TimeRankSelection &selection);

    TimeRankAnalysis &model() { return m_model; }
    // Moves like the Back/Next buttons and shows the race moved to.
    void TRMoveRace(qint16 &direction);
    // Shows what the model holds now.
    void refresh();
    // Shows the race another model of the same file is on (the batch run's).
    void follow(const TimeRankAnalysis &run);
    void cmdTimeRank_Click(int index);
    // While the batch prediction steps through the races the window only shows
    // its progress: Back, Next and Close are off and closing it is refused, so
    // it neither leaves the race the run is on nor goes before the run ends.
    void setDrivenByRun(bool driven);

    QLabel *LabelHeader(int i) const { return m_header[i]; }
    QLabel *LabelData(int i) const { return m_data[i]; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool m_driven = false;
    TimeRankAnalysis m_model;
    std::array<QPushButton *, 3> m_buttons{};
    std::array<QLabel *, 2> m_header{};
    std::array<QLabel *, 4> m_track{};
    std::array<QLabel *, kCells> m_data{};
    QLabel *m_label4 = nullptr;
    QLabel *m_label5 = nullptr;
    QWidget *m_label2 = nullptr;
    QWidget *m_label7 = nullptr;
    racing::ui::PayoutPanel *m_shape = nullptr;
};

} // namespace korvin::timerank::ui
