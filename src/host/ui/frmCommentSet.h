#pragma once
#include "host/ui/scriptwindow.h"

#include <array>

class QPushButton;

namespace korvin::host::ui {

// Writes the margin and fourth-corner lines of a run of races into the host's
// result comments: the host exports each race, the lines are appended.
class frmCommentSet : public ScriptWindow {
    Q_OBJECT
public:
    explicit frmCommentSet(QWidget *opener = nullptr);

    void cmdCommentSet_Click(int index);
    void WriteResultComments();

    QPushButton *cmdCommentSet(int i) const { return m_buttons[i]; }

private:
    std::array<QPushButton *, 2> m_buttons{};
};

} // namespace korvin::host::ui
