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
void WaitSeconds(int n);

// GetCapsLock / SetCapsLock through a backend: 1 when Caps Lock is on, 0 when
// off; nullopt (with the reason) when the backend cannot tell. SetCapsLock
// switches it on for flag 1 and off for any other value.
std::optional<qint16> GetCapsLock(KeyBackend &backend, QString *error = nullptr);
bool SetCapsLock(KeyBackend &backend, qint16 flag, QString *error = nullptr);

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
    std::vector<CommentAppend> comments; // one per race whose comments were appended
};

struct RunOptions {
    std::function<void(const RunProgress &)> progress;
    std::function<void(int)> wait; // null: WaitSeconds
};

RunResult RunScript(const Script &script, KeyBackend &backend, const RunOptions &options = {});

// The backend a window's run uses. Without a factory there is none: a run then
// says so and sends nothing. The program installs the platform's backend;
// tests install a recording one.
using BackendFactory = std::function<std::unique_ptr<KeyBackend>()>;
void SetBackendFactory(BackendFactory factory);
std::unique_ptr<KeyBackend> CreateBackend();

} // namespace korvin::host
