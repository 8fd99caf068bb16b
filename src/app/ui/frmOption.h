#pragma once
#include "platform/ui/window.h"
#include "common/settings.h"

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace korvin::app::ui {

// Options: one label and edit box per setting line of "Korvin.ini".
class frmOption : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    explicit frmOption(QWidget *opener);

    QLabel *Label(int i) const { return m_labels.at(i); }
    QLineEdit *Text(int i) const { return m_texts.at(i); }
    QPushButton *cmdOption(int i) const { return m_buttons.at(i); }

    void cmdOption_Click(int index);

private:
    std::array<QLabel *, common::kOptionPairs> m_labels{};
    std::array<QLineEdit *, common::kOptionPairs> m_texts{};
    std::array<QPushButton *, 2> m_buttons{};
};

} // namespace korvin::app::ui
