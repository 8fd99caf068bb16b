#pragma once
// What the two script windows share: the wait and repeat boxes with their
// labels, and carrying out a script with "Run" disabled and the progress shown.
#include "host/runner.h"

#include <QString>
#include <array>
#include <optional>

class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace korvin::host::ui {

struct RunBoxControls {
    std::array<QLabel *, 3> waitLabels{};
    std::array<QLineEdit *, 3> waits{};
    QLabel *repeatLabel = nullptr;
    QLineEdit *repeat = nullptr;
    QGridLayout *layout = nullptr; // the boxes in a grid, for the window to place

    // TextWait(0..2), LabelWait(0..2), TextRepeat ("1"), LabelRepeat, children of window.
    static RunBoxControls create(QWidget *window);
    // The wait boxes get Wait1..Wait3 of the settings.
    void showSettings();
    RunBoxes texts() const;
};

// Carries out a script from a window. Without a backend it says so and sends
// nothing (nullopt). Meanwhile "Run" is disabled and status follows the run.
std::optional<RunResult> RunFromWindow(const Script &script, QPushButton *run, QLabel *status);

} // namespace korvin::host::ui
