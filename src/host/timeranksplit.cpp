#include "host/timeranksplit.h"

#include "common/helpers.h"
#include "platform/bytelines.h"
#include "platform/safefile.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "timerank/timerankfile.h"

namespace korvin::host {

namespace {

using common::Mid;

// Walks the export one line at a time ("read" makes the next line current,
// "write" keeps the current one) and keeps the lines of the race in progress
// apart until the race is complete. Lines stay undecoded CP932 bytes until the
// kept ones are written, so the split costs little more than reading the file.
class Splitter {
public:
    Splitter(const QByteArray &file, int titleColumn) : m_file(file), m_in(file), m_column(titleColumn) {}

    // Nothing but empty lines and end-of-file marks (0x1A) is left: some
    // programs close a text file with them, and they are no race.
    bool atEnd() const
    {
        ByteLineReader rest(m_file, m_in.position());
        QByteArrayView line;
        while (rest.next(line))
            for (char c : line)
                if (c != '\x1A' && c != '\r')
                    return false;
        return true;
    }

    // One race; false when the export ended inside it (its lines are dropped).
    bool race()
    {
        m_race.clear();
        for (int i = 0; i < 8; ++i) {
            if (!read())
                return false;
            write();
        }
        if (!rows())
            return false;
        for (int block = 0; block < 2; ++block) {
            // 6 sections of the race's own surface (the first one above),
            // then 12 of which the "芝・ダ" six are kept.
            for (int s = 0; s < (block == 0 ? 5 : 6); ++s)
                if (!titled())
                    return false;
            for (int s = 0; s < 12; ++s)
                if (!filtered())
                    return false;
        }
        write(); // the last section's trailer ends the race block
        return true;
    }

    // The kept lines of the race just read.
    const std::vector<QByteArrayView> &raceLines() const { return m_race; }

private:
    using ByteLineReader = platform::ByteLineReader;
    const QByteArray &m_file;
    ByteLineReader m_in;
    const int m_column;
    QByteArrayView m_current;
    std::vector<QByteArrayView> m_race; // lines kept of the race in progress

    bool read() { return m_in.next(m_current); }
    bool readTimes(int n)
    {
        for (int i = 0; i < n; ++i)
            if (!read())
                return false;
        return true;
    }
    void write() { m_race.push_back(m_current); }
    bool dash() const { return m_current.startsWith("----"); }

    // "芝・ダ" at the title column, compared as CP932 bytes.
    bool bothSurfaces() const
    {
        static const QByteArray both = platform::toSjis(QStringLiteral("芝・ダ"));
        const qsizetype at = platform::sjisCharOffset(m_current, m_column);
        return at >= 0 && m_current.sliced(at).startsWith(both);
    }

    // Up to five rows, the dash line; the trailer is read, not kept.
    bool rows()
    {
        for (int i = 0; i < 5; ++i) {
            if (!read())
                return false;
            if (dash())
                break;
            write();
        }
        while (!dash())
            if (!read())
                return false;
        write();
        return read();
    }

    // Header lines 5 and 6 (the ranking's two title lines), then the rows.
    bool titled()
    {
        if (!readTimes(4))
            return false;
        for (int i = 0; i < 2; ++i) {
            if (!read())
                return false;
            write();
        }
        return readTimes(2) && rows();
    }

    // Kept like a titled section when its title line shows both surfaces
    // ("芝・ダ" at the kind's title column); otherwise passed over whole.
    bool filtered()
    {
        if (!readTimes(5))
            return false;
        if (bothSurfaces()) {
            write();
            if (!read())
                return false;
            write();
            return readTimes(2) && rows();
        }
        if (!readTimes(4))
            return false;
        while (!dash())
            if (!read())
                return false;
        return read();
    }
};

// "yyyymmdd" from the export's first line, blank-padded month and day made "0".
QString exportDate(const QString &firstLine)
{
    QString date = Mid(firstLine, 1, 4) + Mid(firstLine, 6, 2) + Mid(firstLine, 9, 2);
    for (int i : {4, 6})
        if (i < date.size() && date[i] == QLatin1Char(' '))
            date[i] = QLatin1Char('0');
    if (date.size() != 8)
        return {};
    for (QChar c : date)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {};
    return date;
}

const QString kExportName = QStringLiteral("タイムランクのエクスポートファイル");

} // namespace

SplitResult SplitTimeRankText(const QString &exportPath, const QString &outputFolder, int kind, int maxRaces)
{
    SplitResult r;
    auto fail = [&](const QString &text) {
        r.messages.push_back(platform::Critical(text));
        return r;
    };
    // A bare file name would land wherever the program was started.
    if (outputFolder.isEmpty())
        return fail(QStringLiteral("TimeRank が設定されていません．"));
    if (!platform::fileExists(exportPath))
        return fail(kExportName + QStringLiteral("がありません． ( ") + exportPath + QStringLiteral(" )"));
    QString error;
    const auto file = platform::readFileBytes(exportPath, &error);
    if (!file)
        return fail(kExportName + QStringLiteral("を開けません． ( ") + exportPath + QStringLiteral(" ) ") + error);
    if (file->isEmpty())
        return fail(kExportName + QStringLiteral("が空です． ( ") + exportPath + QStringLiteral(" )"));
    const QString prefix = timerank::KindPrefix(kind);
    if (prefix.isEmpty())
        return fail(QStringLiteral("ランキングの種類が正しくありません． ( %1 )").arg(kind));
    QByteArrayView first;
    platform::ByteLineReader(*file).next(first);
    const QString firstLine = platform::fromSjis(first.toByteArray());
    const QString date = exportDate(firstLine);
    if (date.isEmpty())
        return fail(kExportName + QStringLiteral("の1行目に日付がありません． ( ") + firstLine + QStringLiteral(" )"));

    Splitter split(*file, timerank::KindTitleColumn(kind));
    std::vector<QByteArrayView> kept;
    std::vector<QByteArrayView> previous; // the last race written
    int races = 0, read = 0;
    while (!split.atEnd() && (maxRaces < 0 || read < maxRaces)) {
        if (!split.race()) {
            r.incompleteRace = read + 1;
            break;
        }
        ++read;
        // The host stays on its last race when asked for the next one: the
        // same race exported again in a row is written once.
        if (split.raceLines() == previous) {
            ++r.repeated;
            continue;
        }
        previous = split.raceLines();
        kept.insert(kept.end(), previous.begin(), previous.end());
        ++races;
    }
    if (r.incompleteRace) {
        const QString where =
            QStringLiteral("%1は %2 レース目の途中で終わっています．").arg(kExportName).arg(r.incompleteRace);
        if (races == 0)
            return fail(where + QStringLiteral("タイムランクファイルは書き込みませんでした． ( ") + exportPath +
                        QStringLiteral(" )"));
        r.messages.push_back(
            platform::Critical(where +
                               QStringLiteral("%1 レース目は書き込まず，完全な %2 レースだけを書き込みます． ( ")
                                   .arg(r.incompleteRace)
                                   .arg(races) +
                               exportPath + QStringLiteral(" )")));
    }

    const QString path = outputFolder + prefix + date + QStringLiteral(".txt");
    // The kept lines go out as the host wrote them: nothing is decoded and
    // encoded again, so no byte of the export changes on the way.
    if (!platform::saveWhole(path, platform::joinRawLines(kept), &error))
        return fail(QStringLiteral("タイムランクファイルを書き込めません． ( ") + path + QStringLiteral(" ) ") + error);
    r.path = path;
    r.races = races;
    return r;
}

QString SplitDoneMessage(const SplitResult &result)
{
    const QString last = result.repeated > 0 ? QStringLiteral("，最終レースまで") : QString();
    return QStringLiteral("タイムランクファイルを書き込みました．（%1 レース%2） ( ").arg(result.races).arg(last) +
           result.path + QStringLiteral(" )");
}

ExportProgress ReadExportProgress(const QByteArray &file)
{
    ExportProgress p;
    Splitter split(file, timerank::KindTitleColumn(0));
    std::vector<QByteArrayView> previous;
    while (!split.atEnd() && split.race()) {
        ++p.races;
        p.lastRepeats = p.races > 1 && split.raceLines() == previous;
        previous = split.raceLines();
    }
    return p;
}

} // namespace korvin::host
