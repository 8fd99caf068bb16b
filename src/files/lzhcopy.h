#pragma once
// LZH archive copy: every ".lzh" archive of one source folder is copied into up
// to five destination folders, and on request deleted from the source
// afterwards. The six folders and the delete choice are kept in "CopyLZH.lst"
// beside the program so that the next use starts with the same values.
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace korvin::platform {
class Dialogs;
}

namespace korvin::files {

inline constexpr int kDestinationCount = 5;

// Contents of "CopyLZH.lst": line 1 the delete check box ("0" or "1"), line 2
// the source folder, lines 3 to 7 destinations 1 to 5, all as typed.
struct FolderList {
    bool deleteSources = false;
    // [0] source folder, [1]..[5] destination folders; empty = unused.
    std::array<QString, 1 + kDestinationCount> paths;
};

// ProgramFolder() + "CopyLZH.lst".
QString FolderListPath();

// The list as the window opens with it; nullopt when the file is missing or
// unreadable. Missing lines leave their boxes empty; only "1" ticks the box.
std::optional<FolderList> ReadFolderList(const QString &path);
// Replaces the list atomically (seven CP932 lines with CR LF).
bool WriteFolderList(const QString &path, const FolderList &list, QString *error = nullptr);

// A folder and a file name joined with the platform separator. Folders are
// typed without a trailing separator.
QString JoinFolder(const QString &folder, const QString &name);

// Names of the files in folder matching "*.lzh", letter case ignored, sorted.
QStringList LzhFilesIn(const QString &folder);

// Copies source over target, replacing a file of that name in one step: the
// old target stays intact when the copy fails part way (disk full).
bool CopyReplacing(const QString &source, const QString &target, QString *error = nullptr);

struct CopyFailure {
    QString file;        // archive name
    QString destination; // destination folder as typed
    QString reason;
};

struct CopyRunResult {
    bool listSaved = false;
    bool sourceMissing = false;
    int copies = 0; // successful copies, all destinations together
    std::vector<CopyFailure> failures;
    bool deleteAsked = false;
    QStringList deleted;
    std::vector<CopyFailure> deleteFailures; // destination empty
};

// The "OK" of the copy window: saves the list, copies, reports and, when the
// box is ticked and the user agrees, deletes the copied source archives. The
// messages and the delete question go to user, in the order they come up. A
// source archive is deleted only when every copy of it succeeded; after any
// failed copy nothing is deleted and the question is not asked.
CopyRunResult CopyLzhFiles(const FolderList &list, platform::Dialogs &user);

// Message texts.
QString CopyDoneMessage();   // "LZHファイルのコピーが終了しました．"
QString DeleteQuestion();    // "コピー元のLZHファイルを削除します．"
QString DeleteDoneMessage(); // "コピー元のLZHファイルを削除しました．"
// The box is ticked but no destination was given: nothing is deleted.
QString NoDestinationKeepsSourcesMessage();

} // namespace korvin::files
