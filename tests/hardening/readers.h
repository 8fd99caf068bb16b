#pragma once
// Every reader of outside files fed a large input of its own kind, the worst
// for it, for the resource test (run in the child process, korvin-hardening-child,
// under a memory limit).
#include "racecard/datalist.h"

#include <QString>
#include <QtGlobal>
#include <functional>
#include <vector>

namespace korvin::test {

struct BigInput {
    const char *name;
    // Writes an input of about size bytes into folder, the program folder.
    std::function<void(const QString &folder, qint64 size)> write;
    // Reads it: empty when the reader ended as it should, else what it did.
    std::function<QString(const QString &folder)> read;
};

const std::vector<BigInput> &BigInputs();

// The race key's race of a scratch day in folder: its race card
// "DenCSV/DC000610.csv", VTX file "VTX/Dx000610.txt", no payouts, no marks.
racecard::RaceContext RaceOf(const QString &folder, const QString &key);
const BigInput *FindBigInput(const QString &name);

} // namespace korvin::test
