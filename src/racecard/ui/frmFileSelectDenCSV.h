#pragma once
#include "platform/ui/fileselectwindow.h"
#include "racecard/racetable.h"

namespace korvin::racecard::ui {

// Choice of the race-card file ("DC*.csv") in the DenCSV folder.
class frmFileSelectDenCSV : public platform::ui::FileSelectWindow {
    Q_OBJECT
public:
    frmFileSelectDenCSV(QWidget *opener, RaceCardSelection &selection);

protected:
    QWidget *fileChosen(const QString &folder, const QString &name) override;

private:
    RaceCardSelection &m_selection;
};

} // namespace korvin::racecard::ui
