#include "fuzzsupport.h"

#include "common/programfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

// Saves end with fsync, which costs a disk round trip per input; the fuzz
// targets look for faults in the logic, and the fault and kill tests check
// what reaches the disk.
extern "C" int fsync(int) { return 0; }

namespace korvin::fuzz {

namespace {
QTemporaryDir &dir()
{
    static std::unique_ptr<QTemporaryDir> d = [] {
        const QString shm = QStringLiteral("/dev/shm");
        auto made = std::make_unique<QTemporaryDir>((QDir(shm).exists() ? shm : QDir::tempPath()) +
                                                    QStringLiteral("/korvin-fuzz-XXXXXX"));
        if (!made->isValid())
            std::abort();
        common::SetProgramFolder(made->path());
        return made;
    }();
    return *d;
}
} // namespace

QString scratch() { return dir().path() + QLatin1Char('/'); }

void clearScratch()
{
    QDir d(dir().path());
    d.removeRecursively();
    QDir().mkpath(dir().path());
}

QString scratchFolder(const QString &name)
{
    QDir().mkpath(scratch() + name);
    return scratch() + name + QLatin1Char('/');
}

QString putFile(const QString &name, const QByteArray &bytes)
{
    const QString path = scratch() + name;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        std::abort();
    return path;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace korvin::fuzz
