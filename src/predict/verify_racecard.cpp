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

int VerifyCourse(const racecard::RaceTable &table, const QString &course, racecard::RaceContext context,
                 VerifyTotals &totals, const VerifiedRace &onRace)
{
    int races = 0;
    for (const racecard::RaceButton &race : racecard::RacesOfCourse(table, course)) {
        if (!race.enabled)
            continue;
        ++races;
        context.race = race.race;
        context.caption = race.caption;
        const racecard::DataListModel model = racecard::LoadDataList(context);
        if (onRace)
            onRace(race, model);
        const VerifyRace verified = VerifyRaceOf(model);
        const RaceTally tally = TallyRace(verified.rows);
        AddRace(tally, totals.raceCount, totals.counters);
        AddReturns(verified, tally, totals.returns);
    }
    return races;
}

} // namespace korvin::predict
