#pragma once
#include "predict/returns.h"
#include "predict/verify.h"
#include "platform/ui/window.h"

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace korvin::platform::ui {
class BarChartPanel;
}

namespace korvin::predict::ui {

// The verification report of the race list's "検証". Opening it counts the
// races of the enabled race buttons into the program-wide totals and shows the
// totals in sixteen fixed-pitch lines, what the tier-1 picks returned under
// them, and both as bar charts.
class frmAnalyzReport : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    // Gives the data list rows of the race behind a race button.
    using RaceLoader = std::function<VerifyRace(int index, const racecard::RaceButton &)>;

    // Runs the report over racecard::CurrentRaceButtons. Without a loader each
    // race is loaded in the data list window, as the user would see it.
    explicit frmAnalyzReport(QWidget *opener, RaceLoader loader = {});

    QLabel *LabelAnalyz(int i) const { return m_labels.at(size_t(i)); }
    // The return section under the sixteen lines.
    QLabel *LabelReturns(int i) const { return m_returnLabels.at(size_t(i)); }
    QPushButton *cmdClose() const { return m_close; }
    platform::ui::BarChartPanel *hitChart() const { return m_hitChart; }
    platform::ui::BarChartPanel *returnChart() const { return m_returnChart; }

    // Loads a race in the data list window, lets it fill itself, reads its
    // model and closes it again.
    static VerifyRace LoadInDataList(int index, const racecard::RaceButton &button);

private:
    void Report(const RaceLoader &loader);

    std::array<QLabel *, kReportLines> m_labels{};
    std::array<QLabel *, kReturnLines> m_returnLabels{};
    platform::ui::BarChartPanel *m_hitChart = nullptr;
    platform::ui::BarChartPanel *m_returnChart = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace korvin::predict::ui
