#include "timerank/timerankfile.h"

#include "platform/bytelines.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "common/helpers.h"

namespace korvin::timerank {

using common::Mid;

namespace {
struct Kind {
    const char16_t *caption;
    const char *prefix;
};
const std::array<Kind, kKinds> kKindTable{{
    {u"補正タイムランキング", "TRa"},
    {u"走破タイムランキング", "TRb"},
    {u"上がり３Fタイムランキング", "TRc"},
    {u"テン３Fタイムランキング", "TRd"},
    {u"速度ランキング", "TRe"},
    {u"ＰＣＩランキング", "TRf"},
}};

bool validKind(int kind) { return kind >= 0 && kind < kKinds; }
} // namespace

QString KindCaption(int kind) { return validKind(kind) ? QString::fromUtf16(kKindTable[kind].caption) : QString(); }

QString KindPrefix(int kind) { return validKind(kind) ? QString::fromLatin1(kKindTable[kind].prefix) : QString(); }

QString KindPattern(int kind) { return validKind(kind) ? KindPrefix(kind) + QStringLiteral("*.txt") : QString(); }

bool IsRaceHeader(const QString &line) { return Mid(line, 5, 1) == u"年" && Mid(line, 8, 1) == u"月"; }

bool IsStrictRaceHeader(const QString &line)
{
    return IsRaceHeader(line) && Mid(line, 11, 1) == u"日" && Mid(line, 17, 1) == u"回" && Mid(line, 21, 2) == u"日目";
}

int RaceLabelNumber(const QString &label)
{
    const QString digits = Mid(label, 2, 1) == u"Ｒ" ? Mid(label, 1, 1) : Mid(label, 1, 2);
    // Full-width digits count by their value.
    return common::TextToInt(platform::toHalfWidth(digits));
}

QString CellText(const QString &line, int kind)
{
    const QString last = platform::toHalfWidth(Mid(line, 17, 7));
    switch (kind) {
    case 0: return Mid(line, 10, 7) + last;
    case 1:
    case 3:
    case 4:
    case 5: return Mid(line, 1, 4) + Mid(line, 13, 4) + last;
    case 2: return common::RightOf(line, 4) + Mid(line, 13, 4) + last;
    default: return {};
    }
}

int KindTitleColumn(int kind)
{
    static constexpr int columns[kKinds] = {17, 17, 19, 20, 14, 15};
    return kind >= 0 && kind < kKinds ? columns[kind] : 17;
}

QString SurfaceOf(const QString &titleLine, int kind)
{
    // The kinds' titles differ in length, so the surface moves with them: testing
    // character 17 for every kind showed a dirt race as turf for kinds 2 to 5.
    return Mid(titleLine, KindTitleColumn(kind), 1) == u"ダ" ? QStringLiteral("ダート") : QStringLiteral("芝");
}

const std::array<QString, 6> &PeriodNames()
{
    static const std::array<QString, 6> names{QStringLiteral("全期間"), QStringLiteral("３ヶ月"),
                                              QStringLiteral("６ヶ月"), QStringLiteral("９ヶ月"),
                                              QStringLiteral("１年"),   QStringLiteral("１年半")};
    return names;
}

int HorseOfCell(const QString &cell)
{
    if (cell.trimmed().isEmpty())
        return 0;
    return common::TextToInt(Mid(cell, 5, 2));
}

racing::RaceId RaceIdOfHeader(const QString &header0)
{
    racing::RaceId id;
    id.courseName = Mid(header0, 18, 2);
    id.course = racing::PlaceCode(id.courseName, 2);
    id.year2 = Mid(header0, 3, 2);
    id.meeting = Mid(header0, 16, 1);
    id.day = Mid(header0, 20, 1);
    id.race = common::FormatZeroZero(RaceLabelNumber(Mid(header0, 33, 3)));
    id.date = Mid(header0, 1, 4) + common::FormatZeroZero(common::TextToInt(Mid(header0, 6, 2))) +
              common::FormatZeroZero(common::TextToInt(Mid(header0, 9, 2)));
    id.key = id.course + id.year2 + id.meeting + id.day + id.race;
    return id;
}

QString TimeRankRace::identity() const { return Mid(header0, 1, 22) + Mid(header0, 33, 3).trimmed(); }

TimeRankRace ReadRaceBlock(const QStringList &lines, int start, int end, int kind)
{
    TimeRankRace race;
    end = qMin<int>(end, lines.size());
    auto lineAt = [&](int i) { return i < end ? lines[i] : QString(); };
    race.header0 = lineAt(start) + QLatin1Char(' ') + lineAt(start + 1);
    race.header1 = lineAt(start + 2);
    race.surface = SurfaceOf(lineAt(start + 4), kind);
    race.id = RaceIdOfHeader(race.header0);
    race.dayLabel = Mid(race.header0, 1, 22);

    int pos = start + 8;
    for (int g = 0; g < kGroups; ++g) {
        bool dashEnded = false;
        for (int k = 1; k <= kRanks; ++k) {
            if (pos >= end)
                return race;
            const QString &line = lines[pos++];
            if (line.left(4) == QLatin1String("----")) {
                dashEnded = true;
                break;
            }
            QString &cell = race.cells[g * kRanks + k - 1];
            cell = CellText(line, kind);
            race.horses[g * kRanks + k - 1] = HorseOfCell(cell);
        }
        if (g != kGroups - 1) {
            // The dash line of a full group, then the next group's two heading lines.
            const int skip = dashEnded ? 2 : 3;
            if (pos + skip > end)
                return race;
            pos += skip;
        }
        race.groupsRead = g + 1;
    }
    return race;
}

TimeRankLines ReadTimeRankLines(const QString &path)
{
    TimeRankLines f;
    f.path = path;
    if (!platform::fileExists(path)) {
        f.error = QStringLiteral("file not found");
        return f;
    }
    const auto bytes = platform::readFileBytes(path, &f.error);
    if (!bytes)
        return f;
    f.opened = true;
    // Only the lines a reader reaches are decoded and kept, so a file of
    // millions of lines costs its bytes and not a string for each.
    std::vector<QByteArrayView> kept;
    platform::ByteLineReader reader(*bytes);
    QByteArrayView line;
    int inBlock = -1; // lines kept of the block being read; -1 when none is
    while (reader.next(line)) {
        // Characters 1-8 lie within the first 16 bytes.
        if (IsRaceHeader(platform::fromSjis(QByteArray::fromRawData(line.data(), qMin<qsizetype>(line.size(), 16))))) {
            inBlock = -1;
            if (int(f.raceStarts.size()) < kMaxRaceBlocks) {
                f.raceStarts.push_back(int(kept.size()));
                inBlock = 0;
            } else {
                ++f.blocksLeftOut;
            }
        }
        if (inBlock >= 0 && inBlock < kBlockLines) {
            kept.push_back(line);
            ++inBlock;
        }
    }
    f.lines = platform::decodeLines(kept);
    return f;
}

} // namespace korvin::timerank
