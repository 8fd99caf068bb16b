#pragma once
// Time-rank files: one text file per ranking kind and race day, written by the
// export splitter ("TRa" .. "TRf" + yyyymmdd + ".txt" in the TimeRank folder).
// A file is a sequence of race blocks; each block holds a header of eight lines
// and 24 ranking groups of up to five entries. The whole file is read once and
// its race blocks are indexed, so moving to any race costs no re-reading.
#include "racing/codetables.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <vector>

namespace korvin::timerank {

// The time-rank file in use and its ranking kind: the export window sets the
// kind (its option buttons) and the file it writes, the file selection the
// file chosen; the race list and the analysis window read them. The main menu
// owns it and hands it to the windows.
struct TimeRankSelection {
    qint16 kind = 0; // 0..5
    QString file;    // full path
};

constexpr int kKinds = 6;
constexpr int kGroups = 24;
constexpr int kRanks = 5;
constexpr int kCells = kGroups * kRanks;

// The six periods of a ranking block, as the windows head its columns
// ("全期間" .. "１年半").
const std::array<QString, 6> &PeriodNames();

// Option caption, file prefix ("TRa") and listed pattern ("TRa*.txt") of a kind;
// empty texts for a kind outside 0..5.
QString KindCaption(int kind);
QString KindPrefix(int kind);
QString KindPattern(int kind);

// Line 1 of a race block as the analysis reads it: "年" at 5 and "月" at 8.
bool IsRaceHeader(const QString &line);
// The race list's stricter test: also "日" at 11, "回" at 17 and "日目" at 21-22.
bool IsStrictRaceHeader(const QString &line);

// Number of a race label: the first character when the second is "Ｒ", else the
// first two; full-width digits count by their value. 0 when not a number.
int RaceLabelNumber(const QString &label);

// Cell text of an entry line for a ranking kind (empty for a kind outside 0..5).
QString CellText(const QString &line, int kind);

// Character of a ranking section's title line where the host writes the surface
// ("芝", "ダ" or "芝・ダ"); it differs by kind (17 for kinds 0 and 1).
int KindTitleColumn(int kind);

// Surface of the first ranking's title line (line 5): "ダート" when the kind's
// title column holds "ダ", else "芝".
QString SurfaceOf(const QString &titleLine, int kind);

// The horse number of a ranking cell (characters 5-6), 0 for a blank cell or
// one without a number.
int HorseOfCell(const QString &cell);

// The race a header (line 1 + " " + line 2 of a block) names: course name at
// characters 18-19, year 1-4, month 6-7, day of month 9-10, meeting 16, day
// of the meeting 20, race label 33-35.
racing::RaceId RaceIdOfHeader(const QString &header0);

// One race block as shown by the analysis window.
struct TimeRankRace {
    QString header0;                   // line 1 + " " + line 2
    QString header1;                   // line 3, the race name line
    QString surface;                   // "芝" or "ダート"
    racing::RaceId id;                 // the race the header names
    QString dayLabel;                  // characters 1-22 of the header: date, meeting, course, day
    std::array<QString, kCells> cells; // group g, rank k (1..5) at g * 5 + k - 1
    std::array<int, kCells> horses{};  // the horse number of each cell, 0 none
    int groupsRead = 0;                // complete groups; less than 24 when the block ended early
    bool complete() const { return groupsRead == kGroups; }
    // Characters 1-22 of the header followed by characters 33-35 trimmed: how
    // the race list finds a race.
    QString identity() const;
};

// Reads one race block from lines[start] up to (not including) lines[end].
// A group never reads past end: a block that ends early keeps what it read.
TimeRankRace ReadRaceBlock(const QStringList &lines, int start, int end, int kind);

// Race blocks indexed at most: a day has 36 races, and a file of nothing but
// header lines must not cost a race record each.
constexpr int kMaxRaceBlocks = 360;

// Lines of a block that any reader reaches: eight header lines, then 23
// groups of five entries and three lines between them, and the last group.
constexpr int kBlockLines = 8 + (kGroups - 1) * (kRanks + 3) + kRanks;

// The race blocks of a time-rank file and the line index of each race header.
struct TimeRankLines {
    QString path;
    bool opened = false;
    QString error; // why the file could not be read
    // The indexed blocks one after the other, each up to its first
    // kBlockLines lines: what lies before the first header, beyond that
    // length or beyond the last indexed block is never read.
    QStringList lines;
    std::vector<int> raceStarts; // indexes of the lines that pass IsRaceHeader, kMaxRaceBlocks at most
    int blocksLeftOut = 0;       // race headers beyond the limit
};
TimeRankLines ReadTimeRankLines(const QString &path);

} // namespace korvin::timerank
