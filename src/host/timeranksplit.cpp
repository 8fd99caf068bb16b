#include "host/timeranksplit.h"

#include "common/helpers.h"
#include "platform/bytelines.h"
#include "platform/safefile.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "timerank/timerankfile.h"

#include <algorithm>

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

    // One race; false when the export ended inside it or the race is damaged
    // (fault() says where and how); its lines are dropped. Each of the 36
    // sections must stand where it belongs: its first line the race's day,
    // its second the race's label, a title line at 5, a rule line ("====") at
    // 8, at most 18 runner lines closed by a dash line, then its last line.
    // A missing or extra line anywhere shifts a later one out of its place.
    bool race()
    {
        m_race.clear();
        m_fault.clear();
        for (int s = 0; s < 36; ++s) {
            m_section = s + 1;
            // 6 sections of the race's own surface, 12 of which the "芝・ダ"
            // six are kept, 6 more of its own, 12 more filtered.
            const bool filteredSection = (s >= 6 && s < 18) || s >= 24;
            if (!section(s == 0, filteredSection))
                return false;
        }
        write(); // the last section's trailer ends the race block
        return true;
    }

    // The kept lines of the race just read.
    const std::vector<QByteArrayView> &raceLines() const { return m_race; }
    // Why the last race was not read whole though the export went on (empty
    // when it ended inside the race).
    const QString &fault() const { return m_fault; }

private:
    using ByteLineReader = platform::ByteLineReader;
    const QByteArray &m_file;
    ByteLineReader m_in;
    const int m_column;
    QByteArrayView m_current;
    qsizetype m_line = 0;          // line number of m_current in the export
    int m_section = 0;             // 1..36 within the race
    QByteArrayView m_day, m_label; // the race's first line and its label (line 2)
    QString m_fault;
    std::vector<QByteArrayView> m_race; // lines kept of the race in progress

    bool read()
    {
        if (!m_in.next(m_current))
            return false;
        ++m_line;
        return true;
    }
    void write() { m_race.push_back(m_current); }
    bool dash() const { return m_current.startsWith("----"); }
    bool rule() const { return m_current.startsWith("===="); }

    // The first ten characters (the date) as CP932 bytes.
    static QByteArrayView datePart(QByteArrayView line)
    {
        const qsizetype at = platform::sjisCharOffset(line, 11);
        return at < 0 ? line : line.first(at);
    }
    // A section's first line: it begins with the race's date.
    bool dayLine() const { return datePart(m_current) == datePart(m_day); }

    bool damaged(const QString &what)
    {
        m_fault = QStringLiteral("%1 番目のランキングの %2 行目：%3").arg(m_section).arg(m_line).arg(what);
        return false;
    }

    // "芝・ダ" at the title column, compared as CP932 bytes.
    bool bothSurfaces() const
    {
        static const QByteArray both = platform::toSjis(QStringLiteral("芝・ダ"));
        const qsizetype at = platform::sjisCharOffset(m_current, m_column);
        return at >= 0 && m_current.sliced(at).startsWith(both);
    }

    // One section. The first keeps its eight header lines, a titled one its
    // two title lines (5 and 6), a filtered one those when it shows both
    // surfaces; each kept one up to five rows and its dash line. The trailer
    // is read, not kept (the race's last is, by race()).
    bool section(bool first, bool filteredSection)
    {
        bool kept = !filteredSection;
        for (int h = 1; h <= 8; ++h) {
            if (!read())
                return false;
            if (first && h == 1)
                m_day = m_current;
            if (first && h == 2)
                m_label = m_current.first(std::min<qsizetype>(4, m_current.size()));
            if (h == 1 && !first && !dayLine())
                return damaged(QStringLiteral("ランキングの1行目がこのレースの見出しではありません"));
            if (h == 2 && !first && !m_current.startsWith(m_label))
                return damaged(QStringLiteral("ランキングの2行目のレース番号がこのレースのものではありません"));
            if (h == 5 && (dash() || rule() || dayLine()))
                return damaged(QStringLiteral("ランキングのタイトル行がありません"));
            if (h == 8 && !rule())
                return damaged(QStringLiteral("ランキングの罫線（====）の行がありません"));
            if (h == 5 && filteredSection)
                kept = bothSurfaces();
            if (first || (kept && (h == 5 || h == 6)))
                write();
        }
        for (int n = 1;; ++n) {
            if (!read())
                return false;
            if (dash())
                break;
            if (rule() || dayLine())
                return damaged(QStringLiteral("ランキングを閉じる「----」の行がありません"));
            if (n > kMaxRunners)
                return damaged(QStringLiteral("%1 頭を超えても「----」の行がありません").arg(kMaxRunners));
            if (kept && n <= 5)
                write();
        }
        if (kept)
            write();
        if (!read())
            return false;
        if (dash() || rule() || dayLine())
            return damaged(QStringLiteral("ランキングの最後の行がありません"));
        return true;
    }

    static constexpr int kMaxRunners = 18;
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
        // A damaged race is told like a cut-short one: nothing after it can be
        // trusted to stand where it belongs.
        const QString where =
            split.fault().isEmpty()
                ? QStringLiteral("%1は %2 レース目の途中で終わっています．").arg(kExportName).arg(r.incompleteRace)
                : QStringLiteral("%1の %2 レース目は形が崩れています（%3）．")
                      .arg(kExportName)
                      .arg(r.incompleteRace)
                      .arg(split.fault());
        if (races == 0)
            return fail(where + QStringLiteral("タイムランクファイルは書き込みませんでした． ( ") + exportPath +
                        QStringLiteral(" )"));
        r.messages.push_back(platform::Critical(
            where +
            (split.fault().isEmpty()
                 ? QStringLiteral("%1 レース目は書き込まず，完全な %2 レースだけを書き込みます． ( ")
                 : QStringLiteral("%1 レース目から後は書き込まず，完全な %2 レースだけを書き込みます． ( "))
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
