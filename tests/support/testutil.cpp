#include "support/testutil.h"

#include "platform/dialogs.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "common/programfolder.h"
#include "common/settings.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

namespace korvin::test {

ScratchHome::ScratchHome() : m_dir(std::make_unique<QTemporaryDir>())
{
    common::SetProgramFolder(m_dir->path());
    common::Settings = common::SettingsRecord{};
    platform::setFatalHandler([this](const QString &text) { fatalMessages << text; });
}

ScratchHome::~ScratchHome() { platform::setFatalHandler(nullptr); }

QString ScratchHome::folder() const { return common::withSeparator(m_dir->path()); }

// Native separators, as the program writes paths in what it shows ("a/b" in
// a test is "a\\b" on Windows).
QString ScratchHome::path(const QString &name) const { return QDir::toNativeSeparators(folder() + name); }

QString ScratchHome::makeFolder(const QString &name) const
{
    QDir(m_dir->path()).mkpath(name);
    return QDir::toNativeSeparators(common::withSeparator(m_dir->path() + QLatin1Char('/') + name));
}

void ScratchHome::writeLines(const QString &name, const QStringList &lines) const
{
    writeBytes(name, platform::encodeLines(lines));
}

void ScratchHome::writeBytes(const QString &name, const QByteArray &bytes) const { writeFile(path(name), bytes); }

QByteArray ScratchHome::readBytes(const QString &name) const { return readFile(path(name)); }

void ScratchHome::writeDefaultSettings() const
{
    auto line = [](const QString &key, const QString &value) {
        return key.leftJustified(10, QLatin1Char(' ')) + value;
    };
    writeLines(QStringLiteral("Korvin.ini"),
               {QStringLiteral("# Korvin settings"), line(QStringLiteral("Vantor_Ver"), QStringLiteral("2.05")),
                line(QStringLiteral("MData"), makeFolder(QStringLiteral("MData"))),
                line(QStringLiteral("SData"), makeFolder(QStringLiteral("SData"))),
                line(QStringLiteral("SDataON"), QStringLiteral("1")),
                line(QStringLiteral("DenCSV"), makeFolder(QStringLiteral("DenCSV"))),
                line(QStringLiteral("VTX_Text"), makeFolder(QStringLiteral("VTX"))),
                line(QStringLiteral("TimeRank"), makeFolder(QStringLiteral("TimeRank"))),
                line(QStringLiteral("Wait1"), QStringLiteral("2")), line(QStringLiteral("Wait2"), QStringLiteral("1")),
                line(QStringLiteral("Wait3"), QStringLiteral("1"))});
}

CliRun runCli(const QStringList &args, const QString &home, const QString &stdoutFile)
{
    QProcess p;
    if (!stdoutFile.isEmpty())
        p.setStandardOutputFile(stdoutFile);
    QStringList all;
    if (!home.isEmpty())
        all << QStringLiteral("--home") << home;
    all << args;
    p.start(QStringLiteral(KORVIN_BIN_DIR "/korvin-cli"), all);
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QByteArray sjis(const QString &text) { return platform::toSjis(text); }

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QMap<QString, QByteArray> filesUnder(const QString &folder)
{
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        files.insert(QDir(folder).relativeFilePath(path), f.open(QIODevice::ReadOnly) ? f.readAll() : "<unreadable>");
    }
    return files;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

} // namespace korvin::test
