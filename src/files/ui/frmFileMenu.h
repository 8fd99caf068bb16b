#pragma once
#include "platform/ui/window.h"

#include <array>

class QPushButton;

namespace korvin::files::ui {

// File maintenance menu. Seventeen buttons; "Close" and "LZHファイルコピー" act,
// the others are room for later tools and do nothing.
class frmFileMenu : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    static constexpr int kButtons = 17;

    explicit frmFileMenu(QWidget *opener);

    QPushButton *cmdFileMenu(int i) const { return m_buttons.at(size_t(i)); }
    // The copy window opened last (null when closed).
    QWidget *openedWindow() const { return m_opened; }

    void cmdFileMenu_Click(int index);

private:
    std::array<QPushButton *, kButtons> m_buttons{};
    QPointer<QWidget> m_opened;
};

} // namespace korvin::files::ui
