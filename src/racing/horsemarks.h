#pragma once
// Horse-mark files of the host: "Um" + year + meeting + course letter + ".dat"
// in the MData folder, 96 lines (8 days x 12 races) of 42 bytes: six reserved
// blanks, then 18 two-byte mark slots, one per horse number.
#include <QString>

namespace korvin::racing {

constexpr int kMarkFileLines = 96;
constexpr int kMarkLineBytes = 42;
constexpr int kMarkSlots = 18;

// (day - 1) * 12 + race of a race key; 0 when the key is not usable: shorter
// than 8 characters, day or race not digits, a day outside 1..8 or a race
// outside 1..12 (which would share another race's line), an
// unknown course code, or year and meeting not plain letters or digits (they
// become part of a file name).
int HorseMarkLine(const QString &raceKey);

// "Um003東.dat" for the key "05003411"; empty for an unusable key.
QString HorseMarkFileName(const QString &raceKey);

// The marks text (line characters 7 to the end) of the race. A missing file is
// first created with 96 blank lines. An unusable key, or a line the file does
// not reach, gives 36 blanks; an unusable key or an empty MData touches no file.
// A file that cannot be created (a full or read-only MData) gives the blanks
// and the reason in error, naming the file.
QString ReadHorseMarks(const QString &raceKey, const QString &mdata, QString *error = nullptr);

// Replaces the race's line with six blanks and the marks text; every other line
// is kept. Written through the ".new" file renamed over the ".dat" in one step,
// so a crash leaves the old or the new file. A missing file is created blank
// first; a short file is completed with blank lines. An unusable key does
// nothing. False when the file could not be written (the old one is intact),
// and with an empty MData.
bool WriteHorseMarks(const QString &marks, const QString &raceKey, const QString &mdata, QString *error = nullptr);

} // namespace korvin::racing
