#pragma once
#include "predict/returns.h"
#include "predict/verify.h"
#include "racecard/racetable.h"
#include "platform/ui/window.h"

#include <array>

class QLabel;
class QPushButton;

namespace korvin::platform::ui {
class BarChartPanel;
}

namespace korvin::predict::ui {

// The verification report of the race list's "検証". Opening it counts the
// races of the course the race list shows into the totals it is given (the
// program's, kept over its whole run) and shows them in sixteen fixed-pitch
// lines, what the tier-1 picks returned under them, and both as bar charts.
// Each race is shown in the data list as the count reaches it.
class frmAnalyzReport : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    frmAnalyzReport(QWidget *opener, racecard::RaceCardSelection &selection, VerifyTotals &totals);

    QLabel *LabelAnalyz(int i) const { return m_labels.at(size_t(i)); }
    // The return section under the sixteen lines.
    QLabel *LabelReturns(int i) const { return m_returnLabels.at(size_t(i)); }
    QPushButton *cmdClose() const { return m_close; }
    platform::ui::BarChartPanel *hitChart() const { return m_hitChart; }
    platform::ui::BarChartPanel *returnChart() const { return m_returnChart; }

private:
    void Report(racecard::RaceCardSelection &selection, VerifyTotals &totals);

    std::array<QLabel *, kReportLines> m_labels{};
    std::array<QLabel *, kReturnLines> m_returnLabels{};
    platform::ui::BarChartPanel *m_hitChart = nullptr;
    platform::ui::BarChartPanel *m_returnChart = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace korvin::predict::ui
