#pragma once
#include "platform/ui/window.h"
#include "timerank/racelisttr.h"
#include "timerank/ui/frmTimeRank.h"

#include <QPointer>
#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace korvin::timerank::ui {

// The races of the current time-rank file: a button per course (at most three)
// and per race of the selected course (at most twelve).
class frmRaceListTR : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    // Reads the selection's file and lists its first course.
    frmRaceListTR(QWidget *opener, TimeRankSelection &selection);

    const TRRaceList &model() const { return m_list; }
    TimeRankSelection &selection() const { return m_selection; }
    void cmdPlace_Click(int index);
    void cmdRace_Click(int index);
    void cmdRaceList_Click(int index);

    QPushButton *cmdPlace(int i) const { return m_place[i]; }
    QPushButton *cmdRace(int i) const { return m_race[i]; }
    QLabel *LabelDate() const { return m_date; }
    // The analysis window opened last (null when closed).
    frmTimeRank *analysisWindow() const { return m_analysis; }

    // Runs the batch prediction over the list ("一括予想 （Z.O.R.B形式）"). Its
    // window lives in a folder above this one, so the program installs it; the
    // button stays disabled while none is installed.
    static std::function<void(frmRaceListTR &list)> &batchPrediction();

private:
    TimeRankSelection &m_selection;
    TRRaceList m_list;
    int m_course = 0;
    std::array<QPushButton *, kMaxCourses> m_place{};
    std::array<QPushButton *, kMaxRaces> m_race{};
    std::array<QPushButton *, 2> m_buttons{};
    QLabel *m_date = nullptr;
    QPointer<frmTimeRank> m_analysis;
};

} // namespace korvin::timerank::ui
