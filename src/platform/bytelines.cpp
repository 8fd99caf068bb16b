#include "platform/bytelines.h"

#include "platform/sjis.h"
#include "platform/textfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace korvin::platform {

bool openRegularFile(QFile &f, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
#ifndef Q_OS_WIN
    // Non-blocking, so that a FIFO without a writer does not hold the open.
    const int fd = ::open(QFile::encodeName(f.fileName()).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int why = S_ISDIR(st.st_mode) ? EISDIR : 0;
        ::close(fd);
        return fail(why ? QString::fromLocal8Bit(std::strerror(why)) : QStringLiteral("通常のファイルではありません"));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return fail(f.errorString());
#else
    const QFileInfo fi(f.fileName());
    if (fi.exists() && !fi.isFile())
        return fail(QStringLiteral("通常のファイルではありません"));
    return f.open(QIODevice::ReadOnly) || fail(f.errorString());
#endif
}

std::optional<QByteArray> readFileBytes(const QString &path, QString *error)
{
    const auto fail = [&](const QString &why) -> std::optional<QByteArray> {
        if (error)
            *error = why;
        return std::nullopt;
    };
    QFile f(path);
    if (!openRegularFile(f, error))
        return std::nullopt;
    const qint64 size = f.size();
    if (size > kMaxInputBytes)
        return fail(QStringLiteral("ファイルが大きすぎます（%1 バイト，読めるのは %2 バイトまで）")
                        .arg(size)
                        .arg(kMaxInputBytes));
    QByteArray bytes = f.read(size);
    if (f.error() != QFileDevice::NoError)
        return fail(f.errorString());
    // Every reader decodes a line as a whole: one without end would cost
    // several times its bytes at once.
    const char *data = bytes.constData();
    qsizetype start = 0, line = 1;
    while (start < bytes.size()) {
        const void *lf = std::memchr(data + start, '\n', size_t(bytes.size() - start));
        const qsizetype end = lf ? static_cast<const char *>(lf) - data : bytes.size();
        if (end - start > kMaxLineBytes)
            return fail(QStringLiteral("%1 行目が長すぎます（%2 バイトを超えています）").arg(line).arg(kMaxLineBytes));
        start = end + 1;
        ++line;
    }
    return bytes;
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
