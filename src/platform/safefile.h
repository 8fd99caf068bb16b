#pragma once
// The one way the user's files are written. A save either happens whole or
// leaves the file as it was: a replacement is written beside the target,
// flushed and synced, then renamed over it; an append that fails is cut back
// to the old size; a copy is checked for its size before it takes the
// target's name. A target without any write permission (made read-only by
// the user) is never written. On failure the reason is the system's.
#include <QByteArray>
#include <QString>
#include <functional>

namespace korvin::platform {

// Replaces the file at path with bytes through a temporary file in the same
// folder ("<name>.<8 hex digits>.tmp", locked while the save runs; those of
// earlier saves that were killed are removed first). A symbolic link, or a
// chain of them, is followed: the file at its end is replaced.
bool saveWhole(const QString &path, const QByteArray &bytes, QString *error = nullptr);
// The same through a temporary file with a name of its own ("NewKorvin.ini",
// "Um003東.new"), which must lie in the target's folder.
bool saveWholeVia(const QString &tempPath, const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Appends bytes to the end of the file (created when missing): all of them or,
// when anything fails, none (the file is cut back to its old size).
bool appendWhole(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Copies source over target (a file of that name is replaced), keeping the
// source's modification time. The copy takes the target's name only when its
// size equals the source's. A target that is the source itself (the same
// path once links are resolved, or the same device and inode) is refused.
bool copyWhole(const QString &source, const QString &target, QString *error = nullptr);

// A target that exists but is no regular file (a FIFO, a device) is refused by
// every function above.

// True when the file exists and has no write permission for anyone.
bool isReadOnlyFile(const QString &path);

// Test hook: every system step of the functions above (open, read, write,
// flush, fsync, rename, truncate, size check) is counted. Armed with n > 0,
// the n-th step from then on fails as on a full disk (a failing write writes
// part of its bytes first); failAt(0) disarms. Both reset the count.
struct SaveFaults {
    static void failAt(int n);
    static int steps();
    // Calls hook with the number of each step before it runs (a test's child
    // process kills itself at a chosen step); an empty hook removes it.
    static void onStep(std::function<void(int)> hook);
};

// Arms SaveFaults for the lifetime of the scope.
class ScopedSaveFault {
public:
    explicit ScopedSaveFault(int n) { SaveFaults::failAt(n); }
    ~ScopedSaveFault() { SaveFaults::failAt(0); }
    ScopedSaveFault(const ScopedSaveFault &) = delete;
    ScopedSaveFault &operator=(const ScopedSaveFault &) = delete;
};

} // namespace korvin::platform
