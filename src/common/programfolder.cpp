#include "common/programfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QStringList>

namespace korvin::common {
namespace {
QString folder;
}

QString withSeparator(const QString &path)
{
    // No folder stays none: "" is never the root folder.
    if (path.isEmpty())
        return path;
    QString p = QDir::toNativeSeparators(path);
    const QChar sep = QDir::separator();
    while (p.size() > 1 && p.endsWith(sep))
        p.chop(1);
    if (p == sep)
        return p;
    return p + sep;
}

QString DefaultProgramFolder(const QString &exeDir, const QString &installedBinDir, const QString &dataDir)
{
    if (!installedBinDir.isEmpty() && QDir::cleanPath(exeDir) == QDir::cleanPath(installedBinDir))
        return withSeparator(QDir::cleanPath(dataDir) + QStringLiteral("/korvin"));
    return withSeparator(exeDir);
}

QString ProgramFolder()
{
    if (folder.isEmpty()) {
        const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
#ifdef KORVIN_INSTALL_BINDIR
        const QString installed = QStringLiteral(KORVIN_INSTALL_BINDIR);
#else
        const QString installed;
#endif
        folder =
            DefaultProgramFolder(dir, installed, QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
        // The data folder of an installed program may not exist yet.
        QDir().mkpath(folder);
    }
    return folder;
}

void SetProgramFolder(const QString &f) { folder = withSeparator(QDir(f).absolutePath()); }

void InitProgramFolder(QStringList &args)
{
    QString home = qEnvironmentVariable("KORVIN_HOME");
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--home") && i + 1 < args.size()) {
            home = args[i + 1];
            args.remove(i, 2);
            break;
        }
        if (args[i].startsWith(QLatin1String("--home="))) {
            home = args[i].mid(7);
            args.remove(i);
            break;
        }
    }
    if (!home.isEmpty())
        SetProgramFolder(home);
    else
        folder.clear();
}

} // namespace korvin::common
