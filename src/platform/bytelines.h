#pragma once
// A text file's lines as undecoded CP932 byte ranges, for readers that keep a
// few lines of a large file and pass over the rest: only what is kept needs
// decoding. Lines end at LF (a CR before it is dropped), as readLines splits
// them; a CR or LF byte is never the second byte of a CP932 character.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

namespace korvin::platform {

class ByteLines {
public:
    std::size_t size() const { return m_spans.size(); }
    bool empty() const { return m_spans.empty(); }
    QByteArrayView line(std::size_t i) const
    {
        return QByteArrayView(m_bytes.constData() + m_spans[i].first, m_spans[i].second);
    }
    // Decoded text of one line.
    QString text(std::size_t i) const;

    static ByteLines fromBytes(QByteArray bytes);

private:
    QByteArray m_bytes;
    std::vector<std::pair<qsizetype, qsizetype>> m_spans; // start, length without the line end
};

// The file's lines; nullopt (with the reason) when it cannot be read.
std::optional<ByteLines> readByteLines(const QString &path, QString *error = nullptr);

// Decodes the given lines as one text (one conversion for all of them).
QStringList decodeLines(const std::vector<QByteArrayView> &lines);

} // namespace korvin::platform
