#include "cli/racecardfile.h"

namespace korvin::cli {

std::optional<racecard::RaceTableRead> ReadRaceCard(const QString &path, QTextStream &err)
{
    racecard::RaceTableRead read = racecard::ReadRaceTable(path);
    if (!read.opened) {
        err << racecard::RaceCardOpenMessage(path, read.error) << '\n';
        return std::nullopt;
    }
    if (read.table.raceCount == 0) {
        err << racecard::RaceCardEmptyMessage(path) << '\n';
        return std::nullopt;
    }
    const QString leftOut = racecard::RaceCardLeftOutMessage(read);
    if (!leftOut.isEmpty())
        err << leftOut << '\n';
    return read;
}

} // namespace korvin::cli
