#pragma once
// The stand-in host's two exports, built from the demo day: a ranking view as
// one section of "TimeRank.txt", and a race's result as "Comment.txt".
#include "demoday.h"

#include <QString>
#include <QStringList>

namespace korvin::hostsim {

// The ranking view on screen, as F8 writes it: 8 header lines (day, race,
// name, kind and field, the view's title, column header, note, rule), every
// ranked runner best first, a dash line and the trailer.
QStringList rankSection(const demodata::Day &day, const demodata::Course &course, const demodata::Race &race, int kind,
                        demodata::Surface surface, bool near, int period);

// The result of a race with margins and fourth-corner positions: 7 header
// lines, then one line per runner in finishing order (runners without a place
// last). See docs/host-files.md for the columns.
QStringList commentLines(const demodata::Day &day, const demodata::Course &course, const demodata::Race &race);
// One runner's line of it.
QString commentRunnerLine(const demodata::Runner &runner);

} // namespace korvin::hostsim
