#pragma once
// A text file's lines as undecoded CP932 bytes, for readers that keep a few
// lines of a large file and pass over the rest: only what is kept needs
// decoding. Lines end at LF (a CR before it is dropped), as readLines splits
// them; a CR or LF byte is never the second byte of a CP932 character.
#include <QByteArray>
#include <QByteArrayView>
#include <QFile>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace korvin::platform {

// What any input file may hold: the host writes nothing near either bound.
// A larger file, or a longer line, is refused before it is decoded, so that
// no reader holds more than a few times the file (and never a device's
// endless bytes).
constexpr qint64 kMaxInputBytes = qint64(256) << 20;
constexpr qsizetype kMaxLineBytes = 64 * 1024;

// Opens f (its file name set) for reading when it is a regular file; a FIFO,
// a device or a folder is refused without waiting on it. False with the reason.
bool openRegularFile(QFile &f, QString *error);

// The whole file; nullopt (with the reason) when it cannot be read, is no
// regular file, is larger than kMaxInputBytes or holds a line longer than
// kMaxLineBytes (the reason names the line).
std::optional<QByteArray> readFileBytes(const QString &path, QString *error = nullptr);

// Walks the lines of a buffer (which must outlive the reader) front to back.
class ByteLineReader {
public:
    // From byte position `from` (the start of a line).
    explicit ByteLineReader(const QByteArray &bytes, qsizetype from = 0) : m_bytes(bytes), m_pos(from) {}
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    // Where the next line starts.
    qsizetype position() const { return m_pos; }
    // The next line, without its line end; false at the end.
    bool next(QByteArrayView &line);

private:
    const QByteArray &m_bytes;
    qsizetype m_pos;
};

// Byte offset in a CP932 line of its character pos (1-based); -1 past the end.
qsizetype sjisCharOffset(QByteArrayView line, int pos);

// Decodes lines with one conversion for all of them.
QStringList decodeLines(const std::vector<QByteArrayView> &lines);

} // namespace korvin::platform
