#pragma once
// SplitTimeRankText: cuts the host's time-rank export ("TimeRank.txt", 36
// ranking sections per race) down to the time-rank file of a ranking kind and
// race day: per race the first section's eight header lines, the title lines
// and top five rows of the 24 wanted rankings, and the race's last line.
#include "platform/messages.h"

#include <QByteArray>
#include <QString>

namespace korvin::host {

struct SplitResult {
    QString path;           // the time-rank file written; empty when nothing was written
    int races = 0;          // complete races written
    int incompleteRace = 0; // number in the run of a race the export ended inside, or of one
                            // damaged (a line missing or out of its place); 0: none
    int repeated = 0;       // races exported again in a row (the host was on its last race)
    platform::Messages messages;
    bool written() const { return races > 0; }
};

// Reads exportPath and writes outputFolder (a prefix ending with the separator)
// + "TRa".."TRf" + yyyymmdd + ".txt" for the kind, replacing an existing file
// in one step. A missing or empty export, a first line without a date, or an
// export that holds no complete race writes nothing. A race exported twice in
// a row is written once; empty lines and end-of-file marks (0x1A) after the
// last race are no race. maxRaces >= 0 reads no further than that many races.
SplitResult SplitTimeRankText(const QString &exportPath, const QString &outputFolder, int kind, int maxRaces = -1);

// The closing notice of a run that wrote a file: the file and its distinct
// races, and whether the run reached the day's last race.
QString SplitDoneMessage(const SplitResult &result);

// How far an export has come while the host writes it: its complete races,
// and whether the last of them repeats the one before (the host stayed on its
// last race).
struct ExportProgress {
    int races = 0;
    bool lastRepeats = false;
};
ExportProgress ReadExportProgress(const QByteArray &file);

} // namespace korvin::host
