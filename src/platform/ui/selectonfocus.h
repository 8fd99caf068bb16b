#pragma once
class QLineEdit;

namespace korvin::platform::ui {

// Entering the box (by mouse or Tab) selects its whole text, so typing replaces it.
void selectAllOnFocus(QLineEdit *box);

} // namespace korvin::platform::ui
