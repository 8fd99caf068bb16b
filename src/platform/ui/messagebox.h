#pragma once
#include "platform/dialogs.h"

class QWidget;

namespace korvin::platform::ui {

// Modal Qt message boxes with the caption "Korvin".
class QtDialogs : public Dialogs {
public:
    void information(const QString &text) override;
    void critical(const QString &text) override;
    Answer question(const QString &text) override;
    Answer warningYesNo(const QString &text) override;
};

} // namespace korvin::platform::ui
