#pragma once
#include "platform/ui/fileselectwindow.h"

namespace korvin::timerank::ui {

// Choice of an existing time-rank file of the current kind, in the TimeRank
// folder. OK opens the race list on it; Cancel goes back to the export window.
class frmFileSelectTR : public platform::ui::FileSelectWindow {
    Q_OBJECT
public:
    explicit frmFileSelectTR(QWidget *opener = nullptr);

protected:
    QWidget *fileChosen(const QString &folder, const QString &name) override;
};

} // namespace korvin::timerank::ui
