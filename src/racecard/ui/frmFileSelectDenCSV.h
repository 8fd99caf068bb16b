#pragma once
#include "platform/ui/fileselectwindow.h"

namespace korvin::racecard::ui {

// Choice of the race-card file ("DC*.csv") in the DenCSV folder.
class frmFileSelectDenCSV : public platform::ui::FileSelectWindow {
    Q_OBJECT
public:
    explicit frmFileSelectDenCSV(QWidget *opener);

protected:
    QWidget *fileChosen(const QString &folder, const QString &name) override;
};

} // namespace korvin::racecard::ui
