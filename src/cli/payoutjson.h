#pragma once
// The payout area as the datalist and timerank commands print it.
#include "cli/json.h"
#include "racing/payouts.h"

namespace korvin::cli {

// {"shown": bool, "Tan": [3], "Fuku": [5], "WakuRen": [3], "Uma": [3]}, each
// entry {"text", "visible"}.
Json PayoutsJson(const racing::PayoutArea &area);

} // namespace korvin::cli
