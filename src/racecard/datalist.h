#pragma once
// The data list of one race: what every cell of frmDataList shows, whether it
// shows, its highlight tier and its colour rule, the ZI statistics, the payout
// area and the marks. The window and the verification report both read it.
#include "racecard/racetable.h"
#include "platform/messages.h"
#include "racing/codetables.h"
#include "racing/payouts.h"
#include "common/settings.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace korvin::racecard {

constexpr int kDataRows = 18;
constexpr int kPastRaces = 7;

// Backgrounds the rules give; the window turns them into colours.
enum class CellColour {
    ButtonFace,  // system colour
    Menu,        // system colour
    White,       // the mark boxes (edit boxes)
    LightGreen,  // 128, 255, 128
    Red,         // 255, 0, 0
    LightCyan,   // 128, 255, 255
    LightYellow, // 255, 255, 128
    LightRed,    // 255, 128, 128
};

// Red, green and blue of a fixed background as 0xRRGGBB; nullopt for the
// system colours (button face, menu), which the platform gives.
std::optional<quint32> BackgroundRgb(CellColour c);
// "buttonface" and "menu" for the system colours, "#rrggbb" for the others.
QString BackgroundName(CellColour c);

// Cells of a row, in the order of the command-line output.
// clang-format off
enum Column {
    ColNo, ColMark, ColError, ColResult, ColOdds, ColMax, ColMin, ColAve,
    ColT1, ColT2, ColD1, ColD2, ColPace, ColZI, ColInt, ColWaku,
    ColTime1, ColTime2, ColTime3, ColTime4, ColTime5, ColTime6, ColTime7,
    kColumnCount
};
// clang-format on
// "No", "Mark", ..., "Time7".
const std::array<QString, kColumnCount> &ColumnNames();

struct DataCell {
    QString text;
    bool visible = false;
    int tier = 0; // 1, 2, 3: best, second, third value of its column; 0 none
    CellColour colour = CellColour::ButtonFace;
};

struct DataRow {
    std::array<DataCell, kColumnCount> cells;
    DataCell &operator[](Column c) { return cells[c]; }
    const DataCell &operator[](Column c) const { return cells[c]; }
};

struct ZIStatistics {
    std::vector<double> scores;
    double mean = 0;
    double variance = 0;
    double deviation = 0;
};

// Sample statistics and standard scores (mean 50, deviation 10). The mean is
// summed with 1/n in single precision, as the figures of the host's users are.
// Fewer than two values: variance and deviation 0, every score 50.
ZIStatistics DeviationScores(const std::vector<double> &values);

// Interval: below 10 menu, 10-19 light green, 20 and more red.
CellColour IntervalColor(int value);
// Time figure: below 90 menu, 90-94 light cyan, 95-99 light yellow, 100 and more light red.
CellColour FigureColor(int value);

// Tiers 1..3 of the best three values of a column (0 for the others), by the
// whole-number part of each caption; empty captions take no part. A caption is
// marked when it equals its tier's whole number as text, so "3.5" never is.
// Captions that are not numbers count 0.
std::vector<int> MarkBestThree(const QStringList &captions, bool smallerIsBetter);
// The background of a tier.
CellColour TierColour(int tier);

// Max, Min and Ave of the seven time figures, as the data list shows them.
struct FigureSummary {
    int max = 0;
    int min = 0;
    int ave = 0;
};
FigureSummary SummariseFigures(const std::array<int, kPastRaces> &t);

// VTX columns of one horse line.
struct VtxHorse {
    QString Waku, T1, T2, D1, D2, Pace;
};
VtxHorse ReadVtxHorseLine(const QString &line);
// The horse lines of one race in the lines of a VTX text file (at most 18):
// the block after the first rule line whose third line before holds the course
// name at characters 18-19 and whose second line before starts with the race
// number and "Ｒ".
std::vector<VtxHorse> ReadVtxBlock(const QStringList &lines, const QString &courseName, int raceNumber);
// VTX_Text + "Dx" + characters 3-8 of the race-card file name + ".txt".
QString VtxFileName(const QString &vtxFolder, const QString &csvName);

// Marks text (18 slots of 2 bytes) to the 18 mark boxes and back.
std::array<QString, kDataRows> SpreadMarks(const QString &marks);
QString JoinMarks(const std::array<QString, kDataRows> &boxes);
// The first box whose saved part (its first two Shift-JIS bytes) holds a
// character Shift-JIS cannot hold: its row, with the character; row -1 when
// every box can be saved as typed.
struct UnsavableMark {
    int row = -1;
    QString character;
};
UnsavableMark FindUnsavableMark(const std::array<QString, kDataRows> &boxes);

// What a load needs: the race, the file, the settings.
struct RaceContext {
    QString csvPath;
    QString csvName;
    racing::RaceId race; // its VTX block, payout record and marks
    QString caption;     // the race button's caption: the title, shown only
    common::SettingsRecord settings;
    bool ziOn = false;     // CheckZI
    bool readMarks = true; // reading may create the mark file
};

struct DataListModel {
    QString title;
    int runnerCount = 0; // runners shown (rows 0..runnerCount-1)
    std::array<DataRow, kDataRows> rows;
    std::vector<double> ziValues; // per runner; a ZI field that is not a number counts 0
    std::vector<bool> ziNumeric;
    std::vector<QString> ziTexts; // the ZI fields as read
    ZIStatistics zi;
    bool ziOn = false;
    DataCell meanLabel;      // LabelKT, "平均： ..."
    DataCell deviationLabel; // LabelHH, "標準偏差： ..."
    racing::PayoutArea payouts;
    // The same record as numbers (what the picks returned); none when payouts
    // are off or the race has no record.
    std::optional<racing::RacePayouts> payoutRecord;
    bool vtxFound = false;
    QString marks;               // as read from the mark file
    platform::Messages messages; // information messages of the load, in order
    QString markError;           // the mark file could not be created (critical), naming it
};

// Computes the data list of a race, as the window shows it after loading.
DataListModel LoadDataList(const RaceContext &context);

// The ZI column, LabelKT and LabelHH for the standard-score switch.
void ShowZIColumn(DataListModel &model, bool on);

// The message for a race of more than 18 lines.
QString TooManyRunnersMessage(const QString &raceKey, int lines);

} // namespace korvin::racecard
