#include "platform/safefile.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#ifdef Q_OS_WIN
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvin::platform {

namespace {

// The reason the system gave for the call that failed last, in its own words
// (errno on POSIX, GetLastError on Windows).
QString lastSystemError()
{
#ifdef Q_OS_WIN
    const DWORD code = GetLastError();
    wchar_t *text = nullptr;
    const DWORD n =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<LPWSTR>(&text), 0, nullptr);
    QString why = n ? QString::fromWCharArray(text, int(n)).trimmed() : QString();
    if (text)
        LocalFree(text);
    if (why.isEmpty())
        why = QStringLiteral("エラー %1").arg(code);
    return why;
#else
    return QString::fromLocal8Bit(std::strerror(errno));
#endif
}

// Renames from over to, replacing to in one step.
bool replaceFile(const QString &from, const QString &to, QString *error)
{
#ifdef Q_OS_WIN
    // Write-through: the call returns once the new name is on the disk.
    const bool ok = MoveFileExW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(from).utf16()),
                                reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(to).utf16()),
                                MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
#else
    const bool ok = std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
#endif
    if (!ok && error)
        *error = lastSystemError();
    return ok;
}

// ------------------------------------------------------------ system steps
// Every call that can fail on a full or broken disk goes through one of these,
// so that a test can make any one of them fail and see what a save leaves.

int g_failAt = 0;
int g_steps = 0;
std::function<void(int)> g_stepHook;

QString fullDisk() { return QString::fromLocal8Bit(std::strerror(ENOSPC)); }

bool step(QString &why)
{
    ++g_steps;
    if (g_stepHook)
        g_stepHook(g_steps);
    if (g_failAt > 0 && g_steps == g_failAt) {
        why = fullDisk();
        return false;
    }
    return true;
}

bool openStep(QFile &f, QIODevice::OpenMode mode, QString &why)
{
    if (!step(why))
        return false;
    // Unbuffered: a write reaches the system at once, so its failure is seen
    // here and not later when nobody checks.
    if (f.open(mode | QIODevice::Unbuffered))
        return true;
    why = f.errorString();
    return false;
}

bool writeStep(QFile &f, const QByteArray &bytes, QString &why)
{
    if (!step(why)) {
        f.write(bytes.constData(), bytes.size() / 2); // a full disk takes part of a write
        return false;
    }
    // A short write carries no reason of its own: writing on shows the
    // system's (a full disk gives "No space left on device", not "Unknown error").
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = f.write(bytes.constData() + done, bytes.size() - done);
        if (n <= 0)
            break;
        done += n;
    }
    if (done == bytes.size())
        return true;
    why = f.error() != QFileDevice::NoError
              ? f.errorString()
              : QStringLiteral("%1 / %2 バイトしか書けません").arg(done).arg(bytes.size());
    return false;
}

bool readStep(QFile &f, qint64 max, QByteArray &out, QString &why)
{
    if (!step(why))
        return false;
    out = f.read(max);
    if (f.error() == QFileDevice::NoError)
        return true;
    why = f.errorString();
    return false;
}

bool flushStep(QFile &f, QString &why)
{
    if (!step(why))
        return false;
    if (f.flush())
        return true;
    why = f.errorString();
    return false;
}

bool syncStep(QFile &f, QString &why)
{
    if (!step(why))
        return false;
#ifdef Q_OS_WIN
    const bool ok = FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(f.handle())));
#else
    const bool ok = ::fsync(f.handle()) == 0;
#endif
    if (!ok)
        why = lastSystemError();
    return ok;
}

bool truncateStep(QFile &f, qint64 size, QString &why)
{
    if (!step(why))
        return false;
    if (f.resize(size))
        return true;
    why = f.errorString();
    return false;
}

bool sizeStep(QFile &f, qint64 expected, QString &why)
{
    if (!step(why))
        return false;
    const qint64 size = f.size();
    if (size == expected)
        return true;
    why = QStringLiteral("コピーの大きさが元と違います (%1 / %2 バイト)").arg(size).arg(expected);
    return false;
}

bool renameStep(const QString &from, const QString &to, QString &why)
{
    if (!step(why))
        return false;
    return replaceFile(from, to, &why);
}

// The rename is only durable once the folder is on disk too; a failure here
// cannot undo the save, so it is not reported.
void syncFolderOf(const QString &path)
{
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), O_RDONLY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(path);
#endif
}

// ------------------------------------------------------------ helpers

bool fail(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

// The callers' messages name the file they were given; the reason names the
// real file only when a link led elsewhere.
QString readOnlyReason(const QString &given, const QString &real)
{
    const QString reason = QStringLiteral("読み取り専用のファイルです");
    if (QFileInfo(given).absoluteFilePath() == QFileInfo(real).absoluteFilePath())
        return reason;
    return reason + QStringLiteral(" ( %1 )").arg(QDir::toNativeSeparators(real));
}

// The file a link names, through a chain of links (written in place of the
// links, as the user expects). A loop of links ends where it turns back.
QString resolved(const QString &path)
{
    QString at = path;
    for (int hops = 0; hops < 40; ++hops) {
        const QFileInfo fi(at);
        if (!fi.isSymLink())
            return at;
        at = fi.symLinkTarget();
    }
    return at;
}

// Something that exists under the name but is no regular file (a FIFO would
// block the save, a device would take the bytes and keep nothing). A folder
// is left to the system's own reason.
bool isSpecial(const QString &path)
{
#ifndef Q_OS_WIN
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
#else
    const QFileInfo fi(path);
    return fi.exists() && !fi.isFile() && !fi.isDir();
#endif
}

QString specialReason() { return QStringLiteral("通常のファイルではありません"); }

QString freshTempName(const QString &target)
{
    return target + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

#ifndef Q_OS_WIN
// A fresh temporary file is locked for as long as its save runs: the lock
// goes with the process, so one nobody holds was left by a save that died.
bool lockTemp(QFile &f) { return ::flock(f.handle(), LOCK_EX | LOCK_NB) == 0; }

// Removes the temporary files a killed save of target left ("<name>.<8 hex>.tmp"
// beside it): those whose lock no live process holds.
void removeStaleTemps(const QString &target)
{
    const QFileInfo fi(target);
    static const QRegularExpression hex(QStringLiteral("^\\.[0-9a-f]{8}\\.tmp$"));
    QDirIterator it(fi.absolutePath(), QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = it.fileName();
        if (!name.startsWith(fi.fileName()) || !hex.match(name.mid(fi.fileName().size())).hasMatch())
            continue;
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(QFile::encodeName(path).constData());
        ::close(fd);
    }
}

// True while the file f has open is still the one at its name (a cleaner of
// another process may have taken it between its creation and its lock).
bool stillLinked(QFile &f)
{
    struct stat st {};
    return ::fstat(f.handle(), &st) == 0 && st.st_nlink > 0;
}
#endif

// Creates a fresh temporary file beside target, locked, after removing the
// stale ones of earlier saves that were killed.
bool openFreshTemp(QFile &f, const QString &target, QString &why)
{
#ifndef Q_OS_WIN
    removeStaleTemps(target);
#endif
    for (int attempt = 0;; ++attempt) {
        f.setFileName(freshTempName(target));
        if (!openStep(f, QIODevice::WriteOnly | QIODevice::NewOnly, why))
            return false;
#ifndef Q_OS_WIN
        if ((!lockTemp(f) || !stillLinked(f)) && attempt < 3) {
            f.close();
            continue;
        }
#endif
        return true;
    }
}

bool sameFile(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    if (!ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath())
        return true;
#ifdef Q_OS_WIN
    // Hard links: the same volume and file index.
    auto identify = [](const QString &path, BY_HANDLE_FILE_INFORMATION &info) {
        const HANDLE h = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                     FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        const bool ok = GetFileInformationByHandle(h, &info);
        CloseHandle(h);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION ia{}, ib{};
    if (identify(a, ia) && identify(b, ib))
        return ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber && ia.nFileIndexHigh == ib.nFileIndexHigh &&
               ia.nFileIndexLow == ib.nFileIndexLow;
#else
    struct stat sa {
    }, sb{};
    if (::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
#endif
    return false;
}

// Writes bytes to temp when it has a name of its own (truncated), else to a
// fresh temporary file, syncs it and renames it over target. The temporary file never
// outlives a failure.
bool replaceVia(const QString &given, const QString &temp, const QString &target, const QByteArray &bytes, bool ownName,
                QString *error)
{
    if (isReadOnlyFile(target))
        return fail(error, readOnlyReason(given, target));
    if (isSpecial(target))
        return fail(error, specialReason());
    QString why;
    QFile f(temp);
    if (ownName ? !openStep(f, QIODevice::WriteOnly | QIODevice::Truncate, why) : !openFreshTemp(f, target, why))
        return fail(error, why);
    if (QFileInfo::exists(target))
        f.setPermissions(QFileInfo(target).permissions()); // the new file keeps the old one's mode
    bool ok = writeStep(f, bytes, why) && flushStep(f, why) && syncStep(f, why);
    // Renamed while still open (and locked), so that no cleaner takes it first.
#ifdef Q_OS_WIN
    f.close();
#endif
    ok = ok && renameStep(f.fileName(), target, why);
    if (!ok)
        QFile::remove(f.fileName());
    f.close();
    if (!ok)
        return fail(error, why);
    syncFolderOf(target);
    return true;
}

} // namespace

void SaveFaults::failAt(int n)
{
    g_failAt = n;
    g_steps = 0;
}

void SaveFaults::onStep(std::function<void(int)> hook)
{
    g_stepHook = std::move(hook);
    g_steps = 0;
}

int SaveFaults::steps() { return g_steps; }

bool isReadOnlyFile(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.exists() || fi.isDir())
        return false;
    // The file's own bits count even for an administrator, who could write anyway
    // (WriteUser says what this process may do).
    const auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !(fi.permissions() & anyWrite) || !fi.isWritable();
}

bool saveWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString target = resolved(path);
    return replaceVia(path, QString(), target, bytes, false, error);
}

bool saveWholeVia(const QString &tempPath, const QString &path, const QByteArray &bytes, QString *error)
{
    const QString target = resolved(path);
    // Behind a link the temporary file goes beside the real file, under its own name.
    const QString temp = target == path
                             ? tempPath
                             : QFileInfo(target).absolutePath() + QLatin1Char('/') + QFileInfo(tempPath).fileName();
    return replaceVia(path, temp, target, bytes, true, error);
}

bool appendWhole(const QString &path, const QByteArray &bytes, QString *error)
{
    if (isReadOnlyFile(path))
        return fail(error, readOnlyReason(path, resolved(path)));
    if (isSpecial(path))
        return fail(error, specialReason());
    const bool existed = QFileInfo::exists(path);
    QString why;
    QFile f(path);
    if (!openStep(f, QIODevice::WriteOnly | QIODevice::Append, why))
        return fail(error, why);
    const qint64 oldSize = f.size();
    if (writeStep(f, bytes, why) && flushStep(f, why) && syncStep(f, why))
        return true;
    // Nothing of the block may stay: a later append would follow a torn line.
    if (!existed) {
        f.close();
        f.remove();
        return fail(error, why);
    }
    QString undo;
    if (!truncateStep(f, oldSize, undo) || !syncStep(f, undo))
        why += QStringLiteral("\n元の大きさに戻せませんでした: ") + undo;
    return fail(error, why);
}

bool copyWhole(const QString &source, const QString &target, QString *error)
{
    if (QFileInfo::exists(target) && sameFile(source, target))
        return fail(error, QStringLiteral("コピー元と同じファイルです"));
    const QString real = resolved(target);
    if (isReadOnlyFile(real))
        return fail(error, readOnlyReason(target, real));
    if (isSpecial(real) || isSpecial(source))
        return fail(error, specialReason());
    QString why;
    QFile in(source);
    if (!openStep(in, QIODevice::ReadOnly, why))
        return fail(error, why);
    const qint64 expected = in.size();
    QFile out;
    if (!openFreshTemp(out, real, why))
        return fail(error, why);
    bool ok = true;
    for (;;) {
        QByteArray chunk;
        ok = readStep(in, 1 << 20, chunk, why) && (chunk.isEmpty() || writeStep(out, chunk, why));
        if (!ok || chunk.isEmpty())
            break;
    }
    // A copy keeps the archive's date, as the system's own file copy does.
    if (ok)
        out.setFileTime(QFileInfo(source).lastModified(), QFileDevice::FileModificationTime);
    ok = ok && flushStep(out, why) && syncStep(out, why) && sizeStep(out, expected, why);
#ifdef Q_OS_WIN
    out.close();
#endif
    ok = ok && renameStep(out.fileName(), real, why);
    if (!ok)
        QFile::remove(out.fileName());
    out.close();
    if (!ok)
        return fail(error, why);
    syncFolderOf(real);
    return true;
}

} // namespace korvin::platform
