#pragma once
#include "platform/ui/window.h"
#include "predict/trpara.h"

#include <array>
#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;

namespace korvin::predict::ui {

// The prediction parameters of one race condition: 120 point boxes in four
// blocks, chosen by course, class, track and distance band.
class frmTimeRankPara : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    explicit frmTimeRankPara(QWidget *opener = nullptr);

    void ShowCondition();
    void SaveShownCondition();
    void SaveAllConditions();
    void cmdTRPara_Click(int index);
    // Condition index of the selectors, -1 while one has no selection.
    int conditionIndex() const;

    QComboBox *ComboPlace() const { return m_combos[0]; }
    QComboBox *ComboClass() const { return m_combos[1]; }
    QComboBox *ComboTrack() const { return m_combos[2]; }
    QComboBox *ComboDistance() const { return m_combos[3]; }
    QLineEdit *TextPara(int i) const { return m_boxes[i]; }
    QPushButton *cmdTRPara(int i) const { return m_buttons[i]; }

private:
    std::array<QString, kParaBoxes> boxTexts() const;
    void fill(const TRParaRecord &record);

    // The 1600 conditions: read from "Korvin.trp" when the window opens,
    // kept by its saves.
    std::vector<TRParaRecord> m_table = std::vector<TRParaRecord>(kConditions);
    std::array<QComboBox *, 4> m_combos{};
    std::array<QLineEdit *, kParaBoxes> m_boxes{};
    std::array<QPushButton *, 3> m_buttons{};
};

} // namespace korvin::predict::ui
