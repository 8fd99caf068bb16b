#pragma once
// The one place where text files are read and written: CP932 with CR LF line
// ends (a bare LF is accepted on reading). Lines are encoded here and written
// by the safe writer (safefile.h), the only writer there is; it knows nothing
// of text and calls nothing here.
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace korvin::platform {

// Lines of a file, without their line ends. A last line without a line end
// counts; a final line end does not add an empty line. nullopt (with the
// reason in error) when the file is missing or cannot be read, or is refused
// by readFileBytes (bytelines.h: no regular file, too large, a line too long).
std::optional<QStringList> readLines(const QString &path, QString *error = nullptr);

// The lines of a file, split and decoded as readLines gives them but one at a
// time, as a loop reaches them: a reader that keeps what it needs costs the
// file's bytes, however many lines they hold.
class LazyLines {
public:
    class Iterator {
    public:
        Iterator() = default; // the end
        explicit Iterator(const QByteArray *bytes);
        const QString &operator*() const { return m_line; }
        Iterator &operator++();
        bool operator==(const Iterator &o) const { return m_bytes == o.m_bytes && m_next == o.m_next; }
        bool operator!=(const Iterator &o) const { return !(*this == o); }

    private:
        const QByteArray *m_bytes = nullptr; // null at the end
        qsizetype m_next = 0;                // where the line after m_line starts
        QString m_line;
    };
    LazyLines() = default;
    explicit LazyLines(QByteArray bytes) : m_bytes(std::move(bytes)) {}
    Iterator begin() const { return Iterator(&m_bytes); }
    Iterator end() const { return {}; }

private:
    QByteArray m_bytes;
};
// nullopt (with the reason in error) when the file is missing or cannot be read.
std::optional<LazyLines> readLinesLazily(const QString &path, QString *error = nullptr);

// Splits decoded text into lines as readLines does.
QStringList splitLines(const QString &text);

// Encodes lines as CP932, each followed by CR LF.
QByteArray encodeLines(const QStringList &lines);

// Lines of a file as the bytes stand, split at CR LF (or a bare LF), without
// their line ends: what a save does not change is written back from these.
std::optional<QList<QByteArray>> readRawLines(const QString &path, QString *error = nullptr);
// Raw lines, each followed by CR LF.
QByteArray joinRawLines(const QList<QByteArray> &lines);
QByteArray joinRawLines(const std::vector<QByteArrayView> &lines);

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

bool fileExists(const QString &path);
bool folderExists(const QString &path);

} // namespace korvin::platform
