#pragma once
#include "predict/verify.h"
#include "platform/ui/window.h"

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace korvin::predict::ui {

// The verification report of the race list's "検証". Opening it counts the
// races of the enabled race buttons into the program-wide totals and shows the
// totals in sixteen fixed-pitch lines.
class frmAnalyzReport : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    // Gives the data list rows of the race behind a race button.
    using RaceLoader = std::function<VerifyRows(int index, const racecard::RaceButton &)>;

    // Runs the report over racecard::CurrentRaceButtons. Without a loader each
    // race is loaded in the data list window, as the user would see it.
    explicit frmAnalyzReport(QWidget *opener, RaceLoader loader = {});

    QLabel *LabelAnalyz(int i) const { return m_labels.at(size_t(i)); }
    QPushButton *cmdClose() const { return m_close; }

    // Loads a race in the data list window, lets it fill itself, reads its
    // model and closes it again.
    static VerifyRows LoadInDataList(int index, const racecard::RaceButton &button);

private:
    void Report(const RaceLoader &loader);

    std::array<QLabel *, kReportLines> m_labels{};
    QPushButton *m_close = nullptr;
};

} // namespace korvin::predict::ui
