#pragma once
// Carries out a script on a key backend: one operation after the other, on the
// UI thread, stopping at the first one that fails. No key is sent before every
// key string of the script has parsed, and none after an activation failed.
#include "host/keybackend.h"
#include "host/resultcomments.h"
#include "host/script.h"
#include "host/timeranksplit.h"

#include <QtGlobal>
#include <functional>
#include <memory>
#include <optional>

namespace korvin::host {

// WaitSeconds: pauses n whole seconds on a clock that never jumps (a wait over
// midnight ends too), processing the program's events and sleeping a few
// milliseconds between checks. n <= 0 returns at once, processing nothing.
// False when `stop` said to stop before the time was up.
bool WaitSeconds(int n, const std::function<bool()> &stop = {});

// GetCapsLock / SetCapsLock work on Korvin's own keyboard state, as the
// keyboard state of a program's own thread does: SetCapsLock changes what
// GetCapsLock reports afterwards and nothing else. The desktop's Caps Lock is
// the user's; it is read (until Korvin has set its own), never switched.
std::optional<qint16> GetCapsLock(KeyBackend &backend, QString *error = nullptr);
void SetCapsLock(qint16 flag);
// Forgets what SetCapsLock set (tests).
void ResetOwnKeyboardState();

// A backend that also wants to hear of every operation (the recording one)
// implements this besides KeyBackend; the runner tells it before each step.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void operationStarted(const Operation &op) = 0;
    // True when the observer stands in for the pauses: no real wait follows.
    virtual bool replacesWaits() const { return false; }
};

struct RunProgress {
    const Operation *op = nullptr;
    int step = 0;  // index of the operation (from 0)
    int steps = 0; // operations in the script
    int races = 0; // N
};

// What a window shows while a run goes on: the race of how many and the step.
QString ProgressText(const RunProgress &p);

struct RunResult {
    bool completed = false;      // every operation carried out
    platform::Messages messages; // in the order they arose
    std::optional<SplitResult> split;
    std::vector<CommentAppend> comments;      // one per race whose comments were appended
    KeyFault interrupted = KeyFault::NoFault; // FocusLost, WindowClosed or Stopped: the run stopped there
    int racesDone = 0;                        // races of the run the host finished (their exports complete)
    bool reachedLastRace = false;             // the host stayed on its last race: the run ended there
};

struct RunOptions {
    std::function<void(const RunProgress &)> progress;
    std::function<void(int)> wait; // null: WaitSeconds
    // Asked before each key and during waits: true stops the run at once.
    std::function<bool()> stopRequested;
    // Brings Korvin's own window back at the end of a comment run; without
    // it the backend activates by title.
    std::function<void()> activateOwnWindow;
    // An export is read once it exists and its size has not changed for this
    // long (the host may still be writing it).
    int exportQuietMs = 300;
};

// Waits until the file exists and its size has stayed the same for quietMs,
// at most timeoutMs: true when it has settled.
bool WaitForSettledFile(const QString &path, int quietMs, int timeoutMs, const std::function<bool()> &stop = {});

RunResult RunScript(const Script &script, KeyBackend &backend, const RunOptions &options = {});

// The backend a window's run uses. Without a factory there is none: a run then
// says so and sends nothing. The program installs the platform's backend;
// tests install a recording one.
using BackendFactory = std::function<std::unique_ptr<KeyBackend>()>;
void SetBackendFactory(BackendFactory factory);
std::unique_ptr<KeyBackend> CreateBackend();

} // namespace korvin::host
