#pragma once
// The race-card file as the commands read it: what the file selection window
// would say about it goes to stderr.
#include "racecard/racetable.h"

#include <QTextStream>
#include <optional>

namespace korvin::cli {

// The race tables of the file, or nullopt (after the message) when the file
// cannot be read or holds no race. Races or courses left out are reported.
std::optional<racecard::RaceTableRead> ReadRaceCard(const QString &path, QTextStream &err);

} // namespace korvin::cli
