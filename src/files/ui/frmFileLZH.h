#pragma once
#include "files/lzhcopy.h"
#include "platform/ui/window.h"

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace korvin::files::ui {

// LZH copy: source folder, five destination folders and the delete box,
// filled from "CopyLZH.lst" when the window opens.
class frmFileLZH : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    explicit frmFileLZH(QWidget *opener);

    QLabel *LabelTitle() const { return m_title; }
    QLabel *LabelPath(int i) const { return m_labels.at(size_t(i)); }
    QLineEdit *TextPath(int i) const { return m_texts.at(size_t(i)); }
    QCheckBox *CheckDel() const { return m_checkDel; }
    QLabel *LabelDel() const { return m_labelDel; }
    QPushButton *cmdFileLZH(int i) const { return m_buttons.at(size_t(i)); }

    // The boxes as they stand.
    FolderList folderList() const;

    void cmdFileLZH_Click(int index);

private:
    QLabel *m_title = nullptr;
    std::array<QLabel *, 1 + kDestinationCount> m_labels{};
    std::array<QLineEdit *, 1 + kDestinationCount> m_texts{};
    QCheckBox *m_checkDel = nullptr;
    QLabel *m_labelDel = nullptr;
    std::array<QPushButton *, 2> m_buttons{};
};

} // namespace korvin::files::ui
