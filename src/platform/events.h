#pragma once
// Long runs stay on the UI thread and let the windows breathe in between.
namespace korvin::platform {
// Processes pending window events (the only way a long run stays responsive).
void DoEvents();
// Sleeps a few milliseconds while processing events, instead of spinning.
void SleepWithEvents(int milliseconds);
} // namespace korvin::platform
