#pragma once
// A text file's lines as undecoded CP932 bytes, for readers that keep a few
// lines of a large file and pass over the rest: only what is kept needs
// decoding. Lines end at LF (a CR before it is dropped), as readLines splits
// them; a CR or LF byte is never the second byte of a CP932 character.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace korvin::platform {

// The whole file; nullopt (with the reason) when it cannot be read.
std::optional<QByteArray> readFileBytes(const QString &path, QString *error = nullptr);

// Walks the lines of a buffer (which must outlive the reader) front to back.
class ByteLineReader {
public:
    explicit ByteLineReader(const QByteArray &bytes) : m_bytes(bytes) {}
    bool atEnd() const { return m_pos >= m_bytes.size(); }
    // The next line, without its line end; false at the end.
    bool next(QByteArrayView &line);

private:
    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

// Byte offset in a CP932 line of its character pos (1-based); -1 past the end.
qsizetype sjisCharOffset(QByteArrayView line, int pos);

} // namespace korvin::platform
