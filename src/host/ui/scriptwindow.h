#pragma once
// What the two script windows share: the wait and repeat boxes with their
// labels, the buttons at the right, and carrying out a script with "Run"
// disabled and the progress shown below.
#include "host/runner.h"
#include "platform/ui/window.h"

#include <QString>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

namespace korvin::host::ui {

class ScriptWindow : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    QLineEdit *TextWait(int i) const { return m_waits[i]; }
    QLineEdit *TextRepeat() const { return m_repeat; }
    // What the run is doing (empty between runs).
    QLabel *LabelStatus() const { return m_status; }
    // Stops a run before its next key; enabled only during a run (Esc too).
    QPushButton *cmdStop() const { return m_stop; }

protected:
    // TextWait(0..2) with Wait1..Wait3 of the settings (loaded here),
    // LabelWait(0..2), TextRepeat ("1"), LabelRepeat.
    explicit ScriptWindow(QWidget *opener);
    // The window's own controls above the boxes, its button array in a
    // column at the right.
    template <std::size_t N>
    void arrange(QLayout *above, const std::array<QPushButton *, N> &buttons)
    {
        arrange(above, std::vector<QPushButton *>(buttons.begin(), buttons.end()));
    }
    void arrange(QLayout *above, const std::vector<QPushButton *> &buttons);
    // The boxes converted, the script built from them, then run. nullopt when
    // nothing ran (the messages are shown).
    using Build = std::function<std::optional<Script>(const RunNumbers &, platform::Messages &)>;
    std::optional<RunResult> runScript(const Build &build, QPushButton *run);

    void closeEvent(QCloseEvent *event) override;

private:
    // The rest of a double-click on "Run" lands on this window before the
    // host is activated, not after (it would take the focus back).
    void letTheClickSettle();

    std::array<QLineEdit *, 3> m_waits{};
    QLineEdit *m_repeat = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_stop = nullptr;
    bool m_running = false;
    bool m_stopRequested = false;
};

} // namespace korvin::host::ui
