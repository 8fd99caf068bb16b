#include "racing/horsemarks.h"

#include "platform/bytelines.h"
#include "platform/safefile.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racing/codetables.h"

namespace korvin::racing {

namespace {

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool isPlain(QChar c)
{
    return isDigit(c) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

QString blankLine() { return QString(kMarkLineBytes, QLatin1Char(' ')); }

QStringList blankFile()
{
    QStringList lines;
    for (int i = 0; i < kMarkFileLines; ++i)
        lines << blankLine();
    return lines;
}

QString datPath(const QString &mdata, const QString &name) { return mdata + name; }
QString newPath(const QString &mdata, const QString &name)
{
    return mdata + name.left(name.size() - 4) + QStringLiteral(".new");
}

} // namespace

int HorseMarkLine(const QString &key)
{
    if (key.size() < 8)
        return 0;
    if (!isDigit(key.at(5)) || !isDigit(key.at(6)) || !isDigit(key.at(7)))
        return 0;
    for (int i = 2; i < 5; ++i)
        if (!isPlain(key.at(i)))
            return 0;
    if (PlaceName(key.left(2), 2).trimmed().isEmpty())
        return 0;
    const int day = key.at(5).digitValue();
    const int race = key.mid(6, 2).toInt();
    // Day 1..8 and race 1..12 only: day 9 race 0 or day 1 race 13 would
    // land on the line of another race and overwrite its marks.
    if (day < 1 || day > 8 || race < 1 || race > 12)
        return 0;
    return (day - 1) * 12 + race;
}

QString HorseMarkFileName(const QString &key)
{
    if (HorseMarkLine(key) == 0)
        return {};
    return QStringLiteral("Um") + key.mid(2, 3) + PlaceName(key.left(2), 2) + QStringLiteral(".dat");
}

QString ReadHorseMarks(const QString &key, const QString &mdata, QString *error)
{
    const QString blanks(2 * kMarkSlots, QLatin1Char(' '));
    const int line = HorseMarkLine(key);
    // Without an MData folder the bare name would land wherever the program
    // was started.
    if (line == 0 || mdata.isEmpty())
        return blanks;
    const QString name = HorseMarkFileName(key);
    const QString path = datPath(mdata, name);
    if (!platform::fileExists(path)) {
        // Created on first sight, as the host expects a file per meeting.
        QString why;
        if (!platform::writeLinesVia(newPath(mdata, name), path, blankFile(), &why) && error)
            *error = QStringLiteral("馬印ファイルを作成できません． ( %1 )\n%2").arg(path, why);
        return blanks;
    }
    const auto lines = platform::readLinesLazily(path);
    int at = 0;
    for (const QString &text : lines.value_or(platform::LazyLines()))
        if (++at == line)
            return text.mid(6);
    return blanks;
}

bool WriteHorseMarks(const QString &marks, const QString &key, const QString &mdata, QString *error)
{
    const int line = HorseMarkLine(key);
    if (line == 0)
        return true;
    if (mdata.isEmpty()) {
        if (error)
            *error = QStringLiteral("MData が設定されていません．");
        return false;
    }
    const QString name = HorseMarkFileName(key);
    const QString path = datPath(mdata, name);
    // The other lines go back as the bytes stand: decoding and encoding them
    // again would change duplicate codes and bytes that are not Shift-JIS.
    QByteArray old;
    if (platform::fileExists(path)) {
        const auto read = platform::readFileBytes(path, error);
        if (!read)
            return false; // never replace a file that could not be read
        old = *read;
    }
    // Line by line as the bytes stand, each closed by CR LF (no list of lines:
    // a damaged file of millions of them costs its bytes only). Missing or
    // damaged: completed with blank lines; lines past 96 are kept.
    const QByteArray mine = platform::toSjis(QStringLiteral("      ") + marks);
    QByteArray out;
    out.reserve(old.size() + kMarkFileLines * (kMarkLineBytes + 2));
    platform::ByteLineReader reader(old);
    QByteArrayView raw;
    int n = 0;
    while (reader.next(raw)) {
        out.append(++n == line ? QByteArrayView(mine) : raw);
        out.append("\r\n");
    }
    while (++n <= kMarkFileLines) {
        out.append(n == line ? mine : QByteArray(kMarkLineBytes, ' '));
        out.append("\r\n");
    }
    return platform::saveWholeVia(newPath(mdata, name), path, out, error);
}

} // namespace korvin::racing
