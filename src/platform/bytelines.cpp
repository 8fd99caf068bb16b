#include "platform/bytelines.h"

#include "platform/sjis.h"
#include "platform/textfile.h"

#include <QFile>

#include <cstring>

namespace korvin::platform {

QString ByteLines::text(std::size_t i) const { return fromSjis(line(i).toByteArray()); }

ByteLines ByteLines::fromBytes(QByteArray bytes)
{
    ByteLines f;
    f.m_bytes = std::move(bytes);
    const char *data = f.m_bytes.constData();
    const qsizetype n = f.m_bytes.size();
    qsizetype start = 0;
    while (start < n) {
        const void *found = memchr(data + start, '\n', size_t(n - start));
        const qsizetype lf = found ? static_cast<const char *>(found) - data : n;
        qsizetype end = lf;
        if (found && end > start && data[end - 1] == '\r')
            --end;
        f.m_spans.emplace_back(start, end - start);
        start = lf + 1;
    }
    return f;
}

std::optional<ByteLines> readByteLines(const QString &path, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = f.errorString();
        return std::nullopt;
    }
    return ByteLines::fromBytes(f.readAll());
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
