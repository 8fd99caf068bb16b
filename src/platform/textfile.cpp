#include "platform/textfile.h"

#include "platform/bytelines.h"
#include "platform/safefile.h"
#include "platform/sjis.h"

#include <QFileInfo>

namespace korvin::platform {

QStringList splitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text.at(i) == QLatin1Char('\n')) {
            qsizetype end = i;
            if (end > start && text.at(end - 1) == QLatin1Char('\r'))
                --end;
            lines.append(text.mid(start, end - start));
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

std::optional<QStringList> readLines(const QString &path, QString *error)
{
    const auto bytes = readFileBytes(path, error);
    if (!bytes)
        return std::nullopt;
    return splitLines(fromSjis(*bytes));
}

LazyLines::Iterator::Iterator(const QByteArray *bytes) : m_bytes(bytes) { ++*this; }

LazyLines::Iterator &LazyLines::Iterator::operator++()
{
    ByteLineReader reader(*m_bytes, m_next);
    QByteArrayView line;
    if (!reader.next(line)) {
        *this = Iterator();
        return *this;
    }
    // CR and LF are never part of a CP932 character, so a line decodes as it
    // does within the whole text.
    m_line = fromSjis(QByteArray::fromRawData(line.data(), line.size()));
    m_next = reader.position();
    return *this;
}

std::optional<LazyLines> readLinesLazily(const QString &path, QString *error)
{
    auto bytes = readFileBytes(path, error);
    if (!bytes)
        return std::nullopt;
    return LazyLines(std::move(*bytes));
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += toSjis(line);
        out += "\r\n";
    }
    return out;
}

bool writeLinesVia(const QString &tempPath, const QString &path, const QStringList &lines, QString *error)
{
    return saveWholeVia(tempPath, path, encodeLines(lines), error);
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    return saveWhole(path, encodeLines(lines), error);
}

bool appendLines(const QString &path, const QStringList &lines, QString *error)
{
    return appendWhole(path, encodeLines(lines), error);
}

std::optional<QList<QByteArray>> readRawLines(const QString &path, QString *error)
{
    const auto read = readFileBytes(path, error);
    if (!read)
        return std::nullopt;
    const QByteArray &bytes = *read;
    QList<QByteArray> lines;
    qsizetype start = 0;
    // No trail byte of a CP932 character is CR or LF, so the bytes split where the text does.
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) != '\n')
            continue;
        qsizetype end = i;
        if (end > start && bytes.at(end - 1) == '\r')
            --end;
        lines.append(bytes.mid(start, end - start));
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return lines;
}

namespace {
template <typename Lines>
QByteArray joinWithCrLf(const Lines &lines)
{
    qsizetype size = 0;
    for (const auto &line : lines)
        size += line.size() + 2;
    QByteArray out;
    out.reserve(size);
    for (const auto &line : lines)
        out.append(line).append("\r\n", 2);
    return out;
}
} // namespace

QByteArray joinRawLines(const QList<QByteArray> &lines) { return joinWithCrLf(lines); }
QByteArray joinRawLines(const std::vector<QByteArrayView> &lines) { return joinWithCrLf(lines); }

bool fileExists(const QString &path)
{
    QFileInfo fi(path);
    return fi.exists() && fi.isFile();
}

bool folderExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    QFileInfo fi(path);
    return fi.exists() && fi.isDir();
}

} // namespace korvin::platform
