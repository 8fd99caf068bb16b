#pragma once
#include "platform/ui/window.h"

#include <array>
#include <functional>

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
    QPushButton *cmdTimeRankText(int i) const { return m_buttons[i]; }
    QRadioButton *OptionType(int i) const { return m_options[i]; }
    QLineEdit *TextWait(int i) const { return m_waits[i]; }
    QLineEdit *TextRepeat() const { return m_repeat; }
    // The window opened last by File or the parameter button (null before).
    QWidget *openedWindow() const { return m_opened; }

    // Opens the prediction parameter window with this window as its opener. It
    // lives in another subsystem, so the program installs it; "予想パラメータ設定"
    // stays disabled while none is installed.
    static std::function<QWidget *(QWidget *opener)> &parameterWindowFactory();

private:
    std::array<QPushButton *, 4> m_buttons{};
    std::array<QRadioButton *, 6> m_options{};
    std::array<QLineEdit *, 3> m_waits{};
    std::array<QLabel *, 3> m_waitLabels{};
    QLineEdit *m_repeat = nullptr;
    QWidget *m_opened = nullptr;
};

} // namespace korvin::host::ui
