#pragma once
// AppendResultComments: the host's result export of one race ("Comment.txt")
// rewritten into margin and fourth-corner lines, appended to the meeting's
// result-comment file "MS" + year + meeting + course letter + ".dat".
#include "platform/messages.h"

#include <QString>
#include <vector>

namespace korvin::host {

struct CommentAppend {
    QString path;          // the result-comment file appended to
    QString raceKey;       // as far as it was read
    int lines = 0;         // lines appended
    bool repeated = false; // the export was the race before it again: nothing appended
    platform::Messages messages;
    bool appended() const { return !path.isEmpty(); }
};

// race: the race's number in the run (from 1), named by every message. A
// missing export, too few lines for its runner count, a racecourse outside
// the code table, a year or meeting that is not digits or a race number
// outside 01..12 appends nothing.
// The race's lines are appended as one block; an export of previousRaceKey
// again (the host was on its last race) appends nothing and says so.
CommentAppend AppendResultComments(const QString &exportPath, const QString &mdataFolder, int race,
                                   const QString &previousRaceKey = {});

// One runner line of the export rewritten into a result-comment line.
QString RewriteRunnerLine(const QString &raceKey, const QString &runnerLine);

// The closing notice of a comment run: each file and the lines appended to it.
QString CommentsDoneMessage(const std::vector<CommentAppend> &races);

} // namespace korvin::host
