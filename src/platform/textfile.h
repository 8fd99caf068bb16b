#pragma once
// The one place where text files are read and written: CP932 with CR LF line
// ends (a bare LF is accepted on reading). Files holding the user's data are
// replaced atomically: written beside the target, then renamed over it.
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace korvin::platform {

// Lines of a file, without their line ends. A last line without a line end
// counts; a final line end does not add an empty line. nullopt (with the
// reason in error) when the file is missing or cannot be read.
std::optional<QStringList> readLines(const QString &path, QString *error = nullptr);
// Calls each(line) for the lines of a file in order, split and decoded as
// readLines gives them but one at a time, until each returns false: a reader
// that keeps what it needs costs the file's bytes, however many lines they
// hold. False (with the reason) when the file cannot be read.
bool forEachLine(const QString &path, const std::function<bool(const QString &line)> &each, QString *error = nullptr);
// Splits decoded text into lines as readLines does.
QStringList splitLines(const QString &text);

// Encodes lines as CP932, each followed by CR LF.
QByteArray encodeLines(const QStringList &lines);

// Lines of a file as the bytes stand, split at CR LF (or a bare LF), without
// their line ends: what a save does not change is written back from these.
std::optional<QList<QByteArray>> readRawLines(const QString &path, QString *error = nullptr);
// Raw lines, each followed by CR LF.
QByteArray joinRawLines(const QList<QByteArray> &lines);

// Writes the whole file atomically (a temporary file in the same folder renamed
// over the target, see safefile.h). The old file stays intact when anything fails.
bool writeLines(const QString &path, const QStringList &lines, QString *error = nullptr);

// Writes the lines to tempPath, flushes it to disk, then renames it over path in
// one step. Used where the temporary file has a name of its own ("NewKorvin.ini",
// "Um003東.new"). On failure the temporary file is removed and path is intact.
bool writeLinesVia(const QString &tempPath, const QString &path, const QStringList &lines, QString *error = nullptr);

// Appends lines (CR LF each) to the end of a file, creating it when missing:
// all of them or none.
bool appendLines(const QString &path, const QStringList &lines, QString *error = nullptr);

// Renames from over to, replacing to in one step.
bool replaceFile(const QString &from, const QString &to, QString *error = nullptr);

bool fileExists(const QString &path);
bool folderExists(const QString &path);

} // namespace korvin::platform
