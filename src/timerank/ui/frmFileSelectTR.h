#pragma once
#include "platform/ui/fileselectwindow.h"
#include "timerank/timerankfile.h"

namespace korvin::timerank::ui {

// Choice of an existing time-rank file of the current kind, in the TimeRank
// folder. OK opens the race list on it; Cancel goes back to the export window.
class frmFileSelectTR : public platform::ui::FileSelectWindow {
    Q_OBJECT
public:
    frmFileSelectTR(QWidget *opener, TimeRankSelection &selection);

protected:
    QWidget *fileChosen(const QString &folder, const QString &name) override;

private:
    TimeRankSelection &m_selection;
};

} // namespace korvin::timerank::ui
