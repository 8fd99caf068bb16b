#pragma once
#include "host/ui/runboxes.h"
#include "platform/ui/window.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace korvin::host::ui {

// Writes the margin and fourth-corner lines of a run of races into the host's
// result comments: the host exports each race, the lines are appended.
class frmCommentSet : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    explicit frmCommentSet(QWidget *opener = nullptr);

    void cmdCommentSet_Click(int index);
    void WriteResultComments();

    QPushButton *cmdCommentSet(int i) const { return m_buttons[i]; }
    QLineEdit *TextWait(int i) const { return m_boxes.waits[i]; }
    QLineEdit *TextRepeat() const { return m_boxes.repeat; }
    QLabel *LabelStatus() const { return m_status; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::array<QPushButton *, 2> m_buttons{};
    RunBoxControls m_boxes;
    QLabel *m_status = nullptr;
    bool m_running = false;
};

} // namespace korvin::host::ui
