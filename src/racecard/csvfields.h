#pragma once
// The splitter every reader of the race-card CSV uses. Blanks outside quotes
// are dropped wherever they stand; a field counts only once its closing comma
// is met, so the text behind the last comma of a line is never stored.
#include <QString>
#include <array>

namespace korvin::racecard {

constexpr int kCsvFieldCount = 256;
using CsvFields = std::array<QString, kCsvFieldCount>;

// Fields of a race-card line: one runner of one race.
enum RaceCardField {
    FieldKeyAndHorse = 0, // race key (characters 1-8) and horse number (9-10)
    FieldClass = 1,
    FieldDistance = 2,
    FieldTrack = 3,
    FieldRunners = 4,
    FieldZI = 5,
    FieldInterval = 6,
    FieldResult = 7,
    FieldAbnormal = 8,
    FieldOdds = 9,
    FieldPastRaces = 12, // the first of the past races, five fields each
};
constexpr int kPastRaceFields = 5;
// Track and time figure of past race k (0 the latest).
constexpr int PastTrackField(int k) { return FieldPastRaces + kPastRaceFields * k; }
constexpr int PastFigureField(int k) { return FieldPastRaces + kPastRaceFields * k + 2; }

// Removes leading and trailing half-width blanks only (a full-width blank is
// text, as in the host's files).
QString TrimBlanks(const QString &s);

// Splits a line into fields (cleared first) and returns how many were stored.
// Fields beyond the 256 of the table are dropped.
int SplitCsvLine(const QString &line, CsvFields &fields);

} // namespace korvin::racecard
