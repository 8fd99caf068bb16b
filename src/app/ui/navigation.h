#pragma once

namespace korvin::predict {
struct VerifyTotals;
}

namespace korvin::app::ui {

// A window never includes a window of a folder above its own: where one must
// open such a window (the race list opens the verification report, the
// time-rank race list the batch prediction, the export window the parameter
// window), it asks a hook of its own, and the program installs here who
// answers. Call once before the first window opens. The verification report
// counts into verification, which outlives every window.
void ConnectWindows(predict::VerifyTotals &verification);

} // namespace korvin::app::ui
