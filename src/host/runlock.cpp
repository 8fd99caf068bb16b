#include "host/runlock.h"

#include <QDir>
#include <QLockFile>

namespace korvin::host {

QString HostRunLock::defaultPath()
{
    const QString set = qEnvironmentVariable("KORVIN_RUN_LOCK");
    return set.isEmpty() ? QDir(QDir::tempPath()).filePath(QStringLiteral("korvin-hostrun.lock")) : set;
}

HostRunLock::HostRunLock() : HostRunLock(defaultPath()) {}

HostRunLock::HostRunLock(const QString &path) : m_path(path), m_file(std::make_unique<QLockFile>(path))
{
    // A run lasts minutes: only a lock whose process is gone is stale, never
    // one that is merely old.
    m_file->setStaleLockTime(0);
}

HostRunLock::~HostRunLock() = default;

bool HostRunLock::tryLock(QString *why)
{
    if (m_file->tryLock(0))
        return true;
    if (why) {
        if (m_file->error() == QLockFile::LockFailedError)
            *why = QStringLiteral("ほかのウィンドウ（または別の Korvin）が Vantor を操作中です．その実行が終わってから"
                                  "実行して下さい．キーは送信しません．");
        else
            *why = QStringLiteral("実行中の印のファイルを作れないため，実行できません．キーは送信しません． ( ") +
                   m_path + QStringLiteral(" )");
    }
    return false;
}

void HostRunLock::unlock() { m_file->unlock(); }

} // namespace korvin::host
