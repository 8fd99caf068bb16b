#pragma once
#include "platform/ui/window.h"
#include "racecard/racetable.h"

#include <QPointer>
#include <array>
#include <functional>

class QPushButton;

namespace korvin::racecard::ui {

// The courses and races of the chosen race-card file.
class frmRaceList : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    // Shows the race table of the selection.
    frmRaceList(QWidget *opener, RaceCardSelection &selection);

    QPushButton *cmdPlace(int i) const { return m_place.at(i); }
    QPushButton *cmdRace(int i) const { return m_race.at(i); }
    QPushButton *cmdRaceList(int i) const { return m_list.at(i); }
    // The window opened last by a race button or "検証" (null when closed).
    QWidget *openedWindow() const { return m_opened; }

    void ShowRaces(const QString &course);
    void cmdPlace_Click(int index);
    void cmdRace_Click(int index);
    void cmdRaceList_Click(int index);

    // Opens the verification report with the race list as its opener. The
    // report lives in a folder above this one, so the program installs it;
    // "検証" stays disabled while none is installed.
    static std::function<QWidget *(QWidget *opener, RaceCardSelection &selection)> &verificationWindowFactory();

private:
    RaceCardSelection &m_selection;
    std::array<QPushButton *, 3> m_place{};
    std::array<QPushButton *, 12> m_race{};
    std::array<QPushButton *, 2> m_list{};
    QPointer<QWidget> m_opened;
};

} // namespace korvin::racecard::ui
