#pragma once
#include "platform/ui/window.h"

#include <array>

class QPushButton;

namespace korvin::platform::ui {
class FileChooser;
}

namespace korvin::timerank::ui {

// Choice of an existing time-rank file of the current kind, in the TimeRank
// folder. OK opens the race list on it; Cancel goes back to the export window.
class frmFileSelectTR : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    explicit frmFileSelectTR(QWidget *opener = nullptr);

    platform::ui::FileChooser *chooser() const { return m_chooser; }
    void cmdFileList_Click(int index);
    // The race list opened by OK (null before).
    QWidget *raceList() const { return m_raceList; }

private:
    platform::ui::FileChooser *m_chooser;
    std::array<QPushButton *, 2> m_buttons{};
    QWidget *m_raceList = nullptr;
};

} // namespace korvin::timerank::ui
