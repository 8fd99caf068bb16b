#pragma once
// The splitter every reader of the race-card CSV uses. Blanks outside quotes
// are dropped wherever they stand; a field counts only once its closing comma
// is met, so the text behind the last comma of a line is never stored.
#include <QString>
#include <array>

namespace korvin::racecard {

constexpr int kCsvFieldCount = 256;
using CsvFields = std::array<QString, kCsvFieldCount>;

// The fields of the line split last by ReadCsvFields.
extern CsvFields CsvField;

// Removes leading and trailing half-width blanks only (a full-width blank is
// text, as in the host's files).
QString TrimBlanks(const QString &s);

// Splits a line into fields (cleared first) and returns how many were stored.
// Fields beyond the 256 of the table are dropped.
int SplitCsvLine(const QString &line, CsvFields &fields);

// Trims the caller's line and splits it into CsvField. Entries beyond the
// fields of the line keep what earlier lines left in them.
void ReadCsvFields(QString &line);

} // namespace korvin::racecard
