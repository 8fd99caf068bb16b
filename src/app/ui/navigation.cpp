#include "app/ui/navigation.h"

#include "host/ui/frmTimeRankText.h"
#include "predict/ui/frmAnalyzReport.h"
#include "predict/ui/frmTimeRankPara.h"
#include "predict/ui/frmZorb.h"
#include "racecard/ui/frmRaceList.h"
#include "timerank/ui/frmRaceListTR.h"

namespace korvin::app::ui {

void ConnectWindows(predict::VerifyTotals &verification)
{
    racecard::ui::frmRaceList::verificationWindowFactory() = [&verification](QWidget *opener,
                                                                             racecard::RaceCardSelection &selection) {
        return new predict::ui::frmAnalyzReport(opener, selection, verification);
    };
    timerank::ui::frmRaceListTR::batchPrediction() = [](timerank::ui::frmRaceListTR &list) {
        predict::ui::frmZorb dialog(&list);
        dialog.exec();
    };
    host::ui::frmTimeRankText::parameterWindowFactory() = [](QWidget *opener) -> QWidget * {
        return new predict::ui::frmTimeRankPara(opener);
    };
}

} // namespace korvin::app::ui
