#include "files/lzhcopy.h"

#include "platform/dialogs.h"
#include "platform/safefile.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "common/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace korvin::files {

namespace {

// Longer lists are cut in the message box; the rest is counted.
constexpr int kMaxListedFailures = 30;

QString failureLine(const CopyFailure &f)
{
    if (f.destination.isEmpty())
        return QStringLiteral("%1  ( %2 )").arg(f.file, f.reason);
    return QStringLiteral("%1 → %2  ( %3 )").arg(f.file, f.destination, f.reason);
}

QString failureList(const std::vector<CopyFailure> &failures)
{
    QStringList lines;
    const int n = int(failures.size());
    for (int i = 0; i < n && i < kMaxListedFailures; ++i)
        lines << failureLine(failures[size_t(i)]);
    if (n > kMaxListedFailures)
        lines << QStringLiteral("ほか %1 件").arg(n - kMaxListedFailures);
    return lines.join(QLatin1Char('\n'));
}

bool isBlank(const QString &s) { return s.trimmed().isEmpty(); }

// Same folder once links and ".." are resolved (copying there would copy each
// archive onto itself, and the delete would then lose the only copy).
bool sameFolder(const QString &a, const QString &b)
{
    const QString ca = QFileInfo(a).canonicalFilePath();
    const QString cb = QFileInfo(b).canonicalFilePath();
    return !ca.isEmpty() && ca == cb;
}

} // namespace

QString CopyDoneMessage() { return QStringLiteral("LZHファイルのコピーが終了しました．"); }
QString DeleteQuestion() { return QStringLiteral("コピー元のLZHファイルを削除します．"); }
QString NoDestinationKeepsSourcesMessage()
{
    return QStringLiteral("コピー先フォルダが指定されていないため，コピー元のLZHファイルは削除しません．");
}
QString DeleteDoneMessage() { return QStringLiteral("コピー元のLZHファイルを削除しました．"); }

QString FolderListPath() { return common::ProgramFolder() + QStringLiteral("CopyLZH.lst"); }

std::optional<FolderList> ReadFolderList(const QString &path)
{
    if (!platform::fileExists(path))
        return std::nullopt;
    const auto read = platform::readLinesLazily(path);
    if (!read)
        return std::nullopt;
    QStringList lines; // the seven the list has; later ones are never held
    for (const QString &line : *read)
        if ((lines << line).size() == 1 + 1 + kDestinationCount)
            break;
    FolderList list;
    // Only an explicit 1 ticks the box: a damaged first line must never turn
    // the delete on by itself.
    list.deleteSources = !lines.isEmpty() && lines.at(0).trimmed() == QLatin1String("1");
    for (int i = 0; i < int(list.paths.size()); ++i)
        list.paths[size_t(i)] = i + 1 < lines.size() ? lines.at(i + 1) : QString();
    return list;
}

bool WriteFolderList(const QString &path, const FolderList &list, QString *error)
{
    QStringList lines;
    lines << (list.deleteSources ? QStringLiteral("1") : QStringLiteral("0"));
    for (const QString &p : list.paths) {
        // A folder stored as "?" would point nowhere the next time.
        const QString bad = platform::firstUnencodable(p);
        if (!bad.isEmpty()) {
            if (error)
                *error = platform::unencodableMessage(p, bad);
            return false;
        }
        lines << p;
    }
    return platform::writeLines(path, lines, error);
}

QString JoinFolder(const QString &folder, const QString &name) { return folder + QDir::separator() + name; }

QStringList LzhFilesIn(const QString &folder)
{
    QStringList out;
    const QDir dir(folder);
    const QStringList names = dir.entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (name.endsWith(QStringLiteral(".lzh"), Qt::CaseInsensitive))
            out << name;
    }
    return out;
}

bool CopyReplacing(const QString &source, const QString &target, QString *error)
{
    return platform::copyWhole(source, target, error);
}

namespace {

// Archives copied without failure to each destination that was used.
using CopiedTo = std::vector<QSet<QString>>;

// Why nothing can be copied to dest; empty when it can.
QString destinationProblem(const QString &source, const QString &dest)
{
    if (!platform::folderExists(dest))
        return QStringLiteral("コピー先フォルダがありません");
    if (sameFolder(dest, source))
        return QStringLiteral("コピー元と同じフォルダです");
    return {};
}

// Every archive of the source into one destination; what reached it goes into copied.
void copyToDestination(const QString &source, const QString &dest, CopyRunResult &result, QSet<QString> &copied)
{
    // Listed again for every destination: archives may arrive meanwhile.
    const QStringList names = LzhFilesIn(source);
    const QString problem = destinationProblem(source, dest);
    for (const QString &name : names) {
        if (!problem.isEmpty()) {
            result.failures.push_back({name, dest, problem});
            continue;
        }
        QString why;
        if (CopyReplacing(JoinFolder(source, name), JoinFolder(dest, name), &why)) {
            ++result.copies;
            copied.insert(name);
        } else {
            result.failures.push_back({name, dest, why});
        }
    }
}

CopiedTo copyToDestinations(const FolderList &list, CopyRunResult &result)
{
    CopiedTo copiedTo;
    for (int i = 1; i <= kDestinationCount; ++i) {
        const QString &dest = list.paths[size_t(i)];
        if (isBlank(dest))
            continue;
        copiedTo.emplace_back();
        copyToDestination(list.paths[0], dest, result, copiedTo.back());
    }
    return copiedTo;
}

bool copiedEverywhere(const CopiedTo &copiedTo, const QString &name)
{
    return std::all_of(copiedTo.begin(), copiedTo.end(), [&](const QSet<QString> &c) { return c.contains(name); });
}

// Only archives that reached every destination; one that arrived after the
// copy stays.
void deleteCopiedSources(const QString &source, const CopiedTo &copiedTo, CopyRunResult &result,
                         platform::Dialogs &dialogs)
{
    for (const QString &name : LzhFilesIn(source)) {
        if (!copiedEverywhere(copiedTo, name))
            continue;
        QFile f(JoinFolder(source, name));
        if (f.remove())
            result.deleted << name;
        else
            result.deleteFailures.push_back({name, QString(), f.errorString()});
    }
    if (!result.deleteFailures.empty()) {
        dialogs.critical(QStringLiteral("次のLZHファイルを削除できませんでした．\n") +
                         failureList(result.deleteFailures));
        return;
    }
    dialogs.information(DeleteDoneMessage());
}

// After a copy without failure: the delete, when the box is ticked and the user agrees.
void offerDelete(const FolderList &list, const CopiedTo &copiedTo, CopyRunResult &result, platform::Dialogs &dialogs)
{
    if (!list.deleteSources)
        return;
    // With no destination nothing was copied anywhere: deleting would lose the
    // only copy of every archive.
    if (copiedTo.empty()) {
        dialogs.information(NoDestinationKeepsSourcesMessage());
        return;
    }
    result.deleteAsked = true;
    if (dialogs.warningYesNo(DeleteQuestion()) == platform::Answer::Yes)
        deleteCopiedSources(list.paths[0], copiedTo, result, dialogs);
}

} // namespace

CopyRunResult CopyLzhFiles(const FolderList &list, platform::Dialogs &dialogs)
{
    CopyRunResult result;

    // The list is saved before any copying, so the typed folders are kept even
    // when the copy fails.
    QString error;
    result.listSaved = WriteFolderList(FolderListPath(), list, &error);
    if (!result.listSaved)
        dialogs.critical(QStringLiteral("フォルダ一覧を保存できません． ( %1 )\n%2").arg(FolderListPath(), error));

    const QString &source = list.paths[0];
    if (!platform::folderExists(source)) {
        result.sourceMissing = true;
        dialogs.critical(QStringLiteral("コピー元フォルダがありません． ( %1 )").arg(source));
        return result;
    }

    const CopiedTo copiedTo = copyToDestinations(list, result);
    if (!result.failures.empty()) {
        QString text = QStringLiteral("次のLZHファイルをコピーできませんでした．\n") + failureList(result.failures);
        if (list.deleteSources)
            text += QStringLiteral("\n\nコピー元のLZHファイルは削除しません．");
        dialogs.critical(text);
        return result;
    }
    dialogs.information(CopyDoneMessage());
    offerDelete(list, copiedTo, result, dialogs);
    return result;
}

} // namespace korvin::files
