// The report reads the same data list model that fills the data list window:
// the highlight tiers counted are exactly the ones the window paints.
#include "predict/verify.h"

#include "predict/returns.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"

namespace korvin::predict {

VerifyRows VerifyRowsOf(const racecard::DataListModel &model)
{
    using namespace racecard;
    VerifyRows rows;
    for (int r = 0; r < kVerifyRows && r < kDataRows; ++r) {
        const DataRow &d = model.rows[size_t(r)];
        VerifyRow &v = rows[size_t(r)];
        v.runner = d[ColNo].visible;
        v.maxText = d[ColMax].text;
        v.resultText = d[ColResult].text;
        v.tiers = {d[ColMax].tier, d[ColMin].tier, d[ColAve].tier, d[ColZI].tier};
        v.horseText = d[ColNo].text;
        v.abnormalText = d[ColError].text;
    }
    return rows;
}

VerifyRace VerifyRaceOf(const racecard::DataListModel &model) { return {VerifyRowsOf(model), model.payoutRecord}; }

int CountRaceButtons(const std::array<racecard::RaceButton, 12> &buttons,
                     const std::function<VerifyRace(int, const racecard::RaceButton &)> &loadRace, qint32 &raceCount,
                     VerifyCounterSets &counters, ReturnTotals *returns)
{
    int counted = 0;
    for (int b = 0; b < int(buttons.size()); ++b) {
        const racecard::RaceButton &button = buttons[size_t(b)];
        if (!button.enabled)
            continue;
        const VerifyRace race = loadRace(b, button);
        const RaceTally tally = TallyRace(race.rows);
        AddRace(tally, raceCount, counters);
        if (returns)
            AddReturns(race, tally, *returns);
        counted += tally.counted ? 1 : 0;
    }
    return counted;
}

} // namespace korvin::predict
