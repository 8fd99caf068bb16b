#pragma once
// The files of the demo day, as the host, the racing authority and Korvin
// itself would have left them in a program folder. Text files are CP932 with
// CR LF; the payout and parameter files are fixed records.
#include "demoday.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace korvin::demodata {

// "000610": the six characters behind "DC" and "Dx" (year, month, day).
QString daySix(const Day &day);

// Race-card CSV "DC" + six + ".csv": one line per runner.
QStringList raceCardLines(const Day &day);
// The fields of one runner's line (the line is these joined by commas).
QStringList raceCardFields(const Day &day, const Course &course, const Race &race, const Runner &runner);

// VTX text "Dx" + six + ".txt".
QStringList vtxLines(const Day &day);
// The horse line of a runner in the VTX text.
QString vtxHorseLine(const Runner &runner);
// Its five columns as the host writes them: T1, T2, D1, D2 (4 characters) and Pace (1).
QStringList vtxColumns(const Runner &runner);

// Payout file of a course's meeting: the records of every day up to the demo
// day, 1323 bytes each.
constexpr int kPayoutRecordBytes = 1323;
QByteArray payoutFile(const Day &day, const Course &course);
// "003東.dat"
QString payoutFileName(const Day &day, const Course &course);

// Time-rank file of a ranking kind (0..5): "TRa".."TRf" + yyyymmdd + ".txt".
QString timeRankFileName(const Day &day, int kind);
QStringList timeRankLines(const Day &day, int kind);
// Pieces of a race block, shared with the tests.
QString timeRankRaceLine(const Race &race);
QString timeRankNameLine(const Race &race);
QString timeRankTail(const Race &race);
QString timeRankTitleLine(const Race &race, int kind, int group);
QString timeRankEntryLine(int kind, int rank, const RankEntry &entry);

// "Korvin.trp": 1600 records of 249 bytes under their position keys.
constexpr int kParaRecords = 1600;
constexpr int kParaRecordBytes = 249;
QByteArray parameterFile(quint32 seed);
// Keys of condition n (0..1599): place, class, track and distance band codes.
QString parameterKeys(int n);

// "Korvin.ini" naming the folders of a program folder (with trailing "/").
QStringList settingsLines(const QString &homeFolder);

// Writes the demo day into a program folder. Day files (race card, VTX,
// payouts, time-rank files) are written every time. "Korvin.ini" is kept when
// it already names existing folders, "Korvin.trp" whenever it exists (both are
// the user's once the options or parameter windows have saved them), unless
// reset is set. Mark files, "Zorb.txt" and other files are never touched.
struct WriteReport {
    QStringList written; // paths relative to the folder
    QStringList kept;
    QString error; // empty on success
};
WriteReport writeDemoHome(const QString &folder, const Day &day, bool reset);

} // namespace korvin::demodata
