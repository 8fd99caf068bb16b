#pragma once
// The racing authority's payout files: fixed records of 1323 bytes, one file per
// course and meeting, named SData + year (2) + meeting (1) + course letter + ".dat".
// The payout area is shared by the race-card data list and the time-rank
// analysis window; this model holds what its labels show.
#include "racing/codetables.h"

#include <QString>
#include <array>
#include <optional>

namespace korvin::racing {

constexpr int kPayoutRecordSize = 1323;

struct PayoutLabel {
    QString text;
    bool visible = false;
};

struct PayoutArea {
    // ShapeSei1 and the row titles LabelSei1(0..3); LabelSei1(4) "ﾜｲﾄﾞ：" never shows.
    bool shown = false;
    std::array<PayoutLabel, 3> Tan;     // win
    std::array<PayoutLabel, 5> Fuku;    // place
    std::array<PayoutLabel, 3> WakuRen; // bracket quinella
    std::array<PayoutLabel, 3> Uma;     // quinella
    std::array<PayoutLabel, 5> Wide;    // emptied, never filled
    // Place rows the frame is sized for (3, 4 or 5).
    int placeRows = 5;
};

// Row titles of LabelSei1(0..4).
const std::array<QString, 5> &PayoutRowTitles();

// Empties every entry and hides the area.
void ClearPayouts(PayoutArea &area);

// SData + year + meeting + PlaceCode(courseName, 1) + ".dat"; empty (no file)
// unless the year is two digits, the meeting one digit and the course known.
QString PayoutFileName(const QString &sdata, const QString &year2, const QString &meeting1, const QString &courseName);
// The payout file of a race: named by its year, meeting and course.
QString PayoutFileOf(const QString &sdata, const RaceId &race);

// One entry of a record as numbers. horse is 0 when the entry is not listed
// (its horse field "00", or not digits); second is the quinella's other horse.
struct PayoutEntry {
    int horse = 0;
    int second = 0;
    qint32 amount = 0; // yen per 100-yen ticket
};

// The win, place and quinella entries of a race's record, as the payout area
// shows them: the same record (the last match of the file) and the same rules.
struct RacePayouts {
    std::array<PayoutEntry, 3> win; // a dead heat lists every winner
    std::array<PayoutEntry, 5> place;
    std::array<PayoutEntry, 3> quinella;
};

// Fills the area from every record of the file whose day equals day and whose
// race field equals raceText (two characters, compared as text); the last match
// stays. Nothing happens when the file does not exist. Returns that record's
// payouts (what FindRacePayouts gives), from the same single read of the file.
std::optional<RacePayouts> FillPayoutArea(PayoutArea &area, const QString &fileName, const QString &day,
                                          const QString &raceText);
// The same with the race as a whole number (compared with the race field's value).
std::optional<RacePayouts> FillPayoutArea(PayoutArea &area, const QString &fileName, const QString &day,
                                          int raceNumber);

// The record of a race, found as FillPayoutArea finds it; nullopt when the file
// is missing or holds no record of the race.
std::optional<RacePayouts> FindRacePayouts(const QString &fileName, const QString &day, const QString &raceText);
std::optional<RacePayouts> FindRacePayouts(const QString &fileName, const QString &day, int raceNumber);

} // namespace korvin::racing
