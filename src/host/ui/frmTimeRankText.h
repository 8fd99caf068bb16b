#pragma once
#include "host/ui/scriptwindow.h"
#include "timerank/timerankfile.h"

#include <array>
#include <functional>

class QPushButton;
class QRadioButton;

namespace korvin::host::ui {

// The road into the time-rank functions: the ranking kind, the waits and the
// race count of the export run, the file choice and the prediction parameters.
class frmTimeRankText : public ScriptWindow {
    Q_OBJECT
public:
    frmTimeRankText(QWidget *opener, timerank::TimeRankSelection &selection);

    void cmdTimeRankText_Click(int index);
    // The keystroke script, the split, then the race list on the new file.
    void ExportTimeRankText();

    QPushButton *cmdTimeRankText(int i) const { return m_buttons[i]; }
    QRadioButton *OptionType(int i) const { return m_options[i]; }
    // The window opened last by File, the parameter button or a run (null before).
    QWidget *openedWindow() const { return m_opened; }

    // Opens the prediction parameter window with this window as its opener. It
    // lives in another subsystem, so the program installs it; "予想パラメータ設定"
    // stays disabled while none is installed.
    static std::function<QWidget *(QWidget *opener)> &parameterWindowFactory();

private:
    timerank::TimeRankSelection &m_selection;
    std::array<QPushButton *, 4> m_buttons{};
    std::array<QRadioButton *, 6> m_options{};
    QWidget *m_opened = nullptr;
};

} // namespace korvin::host::ui
