#pragma once
#include "platform/ui/window.h"

#include <QPointer>
#include <array>

class QPushButton;

namespace korvin::platform::ui {
class FileChooser;
}

namespace korvin::racecard::ui {

// Choice of the race-card file ("DC*.csv") in the DenCSV folder.
class frmFileSelectDenCSV : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    explicit frmFileSelectDenCSV(QWidget *opener);

    platform::ui::FileChooser *chooser() const { return m_chooser; }
    QPushButton *cmdFileList(int i) const { return m_buttons.at(i); }
    // The race list opened last (null when closed).
    QWidget *raceList() const { return m_raceList; }

    void cmdFileList_Click(int index);

private:
    platform::ui::FileChooser *m_chooser;
    std::array<QPushButton *, 2> m_buttons{};
    QPointer<QWidget> m_raceList;
};

} // namespace korvin::racecard::ui
