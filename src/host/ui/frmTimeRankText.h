#pragma once
#include "host/ui/runboxes.h"
#include "platform/ui/window.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvin::host::ui {

// The road into the time-rank functions: the ranking kind, the waits and the
// race count of the export run, the file choice and the prediction parameters.
class frmTimeRankText : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    explicit frmTimeRankText(QWidget *opener = nullptr);

    void cmdTimeRankText_Click(int index);
    // The keystroke script, the split, then the race list on the new file.
    void ExportTimeRankText();

    QPushButton *cmdTimeRankText(int i) const { return m_buttons[i]; }
    QRadioButton *OptionType(int i) const { return m_options[i]; }
    QLineEdit *TextWait(int i) const { return m_boxes.waits[i]; }
    QLineEdit *TextRepeat() const { return m_boxes.repeat; }
    // What the run is doing (empty between runs).
    QLabel *LabelStatus() const { return m_status; }
    // The window opened last by File, the parameter button or a run (null before).
    QWidget *openedWindow() const { return m_opened; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    std::array<QPushButton *, 4> m_buttons{};
    std::array<QRadioButton *, 6> m_options{};
    RunBoxControls m_boxes;
    QLabel *m_status = nullptr;
    QWidget *m_opened = nullptr;
    bool m_running = false;
};

} // namespace korvin::host::ui
