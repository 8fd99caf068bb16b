#pragma once
// One host run at a time on the machine: two runs would interleave their keys
// in the one host. Every Korvin (and every window of one Korvin) takes this
// lock before its first key; a lock left behind by a Korvin that was killed
// is taken over, since its process no longer exists.
#include <QString>
#include <memory>

class QLockFile;

namespace korvin::host {

class HostRunLock {
public:
    // The lock file: $KORVIN_RUN_LOCK when set, else "korvin-hostrun.lock" in
    // the system's temporary folder.
    HostRunLock();
    explicit HostRunLock(const QString &path);
    ~HostRunLock();
    HostRunLock(const HostRunLock &) = delete;
    HostRunLock &operator=(const HostRunLock &) = delete;

    // False when another run holds it (`why` says so) or it cannot be made.
    bool tryLock(QString *why = nullptr);
    void unlock();

    static QString defaultPath();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_file;
};

} // namespace korvin::host
