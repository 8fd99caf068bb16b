#include "platform/bytelines.h"

#include "platform/sjis.h"
#include "platform/textfile.h"

#include <QFile>

#include <cstring>

namespace korvin::platform {

std::optional<QByteArray> readFileBytes(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    return f.readAll();
}

bool ByteLineReader::next(QByteArrayView &line)
{
    const qsizetype n = m_bytes.size();
    if (m_pos >= n)
        return false;
    const char *data = m_bytes.constData();
    const void *found = std::memchr(data + m_pos, '\n', size_t(n - m_pos));
    const qsizetype lf = found ? static_cast<const char *>(found) - data : n;
    qsizetype end = lf;
    if (found && end > m_pos && data[end - 1] == '\r')
        --end;
    line = QByteArrayView(data + m_pos, end - m_pos);
    m_pos = lf + 1;
    return true;
}

qsizetype sjisCharOffset(QByteArrayView line, int pos)
{
    qsizetype i = 0;
    for (int c = 1; c < pos && i < line.size(); ++c) {
        const auto b = static_cast<unsigned char>(line[i]);
        i += (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC) ? 2 : 1;
    }
    return pos >= 1 && i < line.size() ? i : -1;
}

QStringList decodeLines(const std::vector<QByteArrayView> &lines)
{
    qsizetype total = 0;
    for (const QByteArrayView &l : lines)
        total += l.size() + 1;
    QByteArray joined;
    joined.reserve(total);
    for (const QByteArrayView &l : lines) {
        joined.append(l);
        joined.append('\n');
    }
    // Every line is closed by its LF, so splitLines gives one entry per line.
    return splitLines(fromSjis(joined));
}

} // namespace korvin::platform
