#pragma once
// The model behind the time-rank race list: the courses of the file (at most
// three, in order of first appearance) and a caption per race number 1..12.
#include "platform/messages.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace korvin::timerank {

constexpr int kMaxCourses = 3;
constexpr int kMaxRaces = 12;

struct TRCourse {
    QString name;                            // characters 18-19 of the header
    QString dateLabel;                       // characters 1-22 of the header that introduced the course
    std::array<QString, kMaxRaces> captions; // race number r at r - 1, empty when absent
    // The race each button opens, as the analysis knows it (TimeRankRace::identity).
    std::array<QString, kMaxRaces> wanted;
    // Enabled race buttons of this course.
    int raceCount() const;
};

// First 30 Shift-JIS bytes of the race line, blank-filled to 30.
QString RacePart(const QString &raceLine);
// Name and suffix of a race name line, half-width, right-aligned in 40 bytes.
QString NamePart(const QString &nameLine);
// The name (before the first "(", the whole line without one) and the suffix
// (after the last ")" or "]" found scanning back from the second-to-last
// character, without the final character; empty without a bracket).
QString RaceNameOf(const QString &nameLine);
QString RaceSuffixOf(const QString &nameLine);

struct TRRaceList {
    std::vector<TRCourse> courses;
    // What was left out (a fourth course, a race number outside 1..12).
    QStringList problems;
    bool opened = false;      // the file could be read (LoadRaceList)
    bool headerFound = false; // it holds at least one race header
    // What the user is told about the read (LoadRaceList).
    platform::Messages messages;
    // Sum of the race counts of every course: the races of a batch run.
    int totalRaces() const;
};

// Builds the list from the lines of a time-rank file.
TRRaceList BuildRaceList(const QStringList &lines);
// Reads the file and builds the list. Problems, and a file that cannot be read,
// make one information message naming the file.
TRRaceList LoadRaceList(const QString &path);

// A file that holds no race header at all: "タイムランクファイルにレースの見出し行がありません． ( PATH )".
QString NoRaceHeaderMessage(const QString &path);

// The wanted race of a race button: the course's race-day label followed by the
// first 4 bytes of the caption (the race label).
QString WantedRace(const QString &dateLabel, const QString &caption);

} // namespace korvin::timerank
