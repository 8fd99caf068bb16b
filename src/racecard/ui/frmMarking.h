#pragma once
#include "platform/ui/window.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvin::racecard::ui {

// Marks by rank: offered for a later version; only "Close" acts.
class frmMarking : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    explicit frmMarking(QWidget *opener);

    QRadioButton *OptionCondition(int i) const { return m_condition.at(i); }
    QRadioButton *OptionScope(int i) const { return m_scope.at(i); }
    QLineEdit *txtMark(int i) const { return m_marks.at(i); }
    QPushButton *cmdMarking(int i) const { return m_buttons.at(i); }

    void cmdMarking_Click(int index);

private:
    std::array<QRadioButton *, 8> m_condition{};
    std::array<QRadioButton *, 3> m_scope{};
    std::array<QLabel *, 6> m_labels{};
    std::array<QLineEdit *, 6> m_marks{};
    std::array<QPushButton *, 6> m_buttons{};
};

} // namespace korvin::racecard::ui
