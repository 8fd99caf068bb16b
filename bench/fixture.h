#pragma once
// The program folders the benchmarks read: the generated demo day, and a full
// day of three courses x 12 races x 18 runners. Each is written once, into a
// temporary folder, on first use.
#include "demoday.h"

#include <QString>
#include <QStringList>

namespace korvin::bench {

struct BenchHome {
    QString folder; // program folder, with separator
    demodata::Day day;
    QString csvPath; // the race-card file of the day
    QString csvName;
    QString vtxPath;
    QString timeRankPath; // kind 0
    int runners = 0;      // race-card lines
};

// The demo day of seed 1 (as `korvin-demodata --out DIR` writes it).
const BenchHome &demoHome();
// Every race of the demo day filled up to 18 runners.
const BenchHome &fullHome();

// Makes the home current: ProgramFolder and Settings point at it.
void useHome(const BenchHome &home);

// The race keys of the day in race-card order.
QStringList raceKeys(const BenchHome &home);

// A CP932 text of about `bytes` bytes (race-card and time-rank lines, CR LF).
QString sampleText(int bytes);

} // namespace korvin::bench
