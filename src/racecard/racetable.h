#pragma once
// The race table of the chosen race-card file: its courses and races in order
// of first appearance, the captions of the race list's buttons, and the moves
// of the data list's "Back" and "Next" over those buttons.
#include "platform/messages.h"
#include "racing/codetables.h"

#include <QString>
#include <QStringList>
#include <array>

namespace korvin::racecard {

constexpr int kCourseSlots = 4; // CourseCodes(0..3)
constexpr int kCourseButtons = 3;
constexpr int kRaceSlots = 37; // RaceKeys(0..36); entry 36 is the blank end marker
constexpr int kMaxRaces = 36;
constexpr int kRaceButtons = 12;

struct RaceTable {
    std::array<QString, kCourseSlots> CourseCodes;
    std::array<QString, kRaceSlots> RaceKeys;
    std::array<qint32, kRaceSlots> RaceClass{};
    std::array<qint32, kRaceSlots> RaceDistance{};
    std::array<qint32, kRaceSlots> RaceTrack{};
    std::array<qint32, kRaceSlots> RaceRunners{};
    int courseCount = 0;
    int raceCount = 0;

    RaceTable();
};

struct RaceTableRead {
    bool opened = false;
    QString error; // the platform's reason when not opened
    RaceTable table;
    int usableLines = 0; // lines with a race key
    // Races of the file that no button can reach, and course codes beyond the table.
    QStringList racesLeftOut;
    QStringList coursesLeftOut;
};

// Reads the course and race tables from a race-card file. Lines without a
// race key (fewer than 8 characters in field 0) are passed over. A course or
// race beyond the table is left out and listed; numeric fields that are not
// numbers count 0.
RaceTableRead ReadRaceTable(const QString &path);

// Messages for the user about a read: the file that cannot be opened or holds
// no race (then the race list cannot open), and what was left out.
QString RaceCardOpenMessage(const QString &path, const QString &reason);
QString RaceCardEmptyMessage(const QString &path);
// Empty when nothing was left out.
QString RaceCardLeftOutMessage(const RaceTableRead &read);

// The caption of a race button; the race number stands at characters 13-14.
QString RaceCaption(const QString &key, qint32 raceClass, qint32 distance, qint32 track, qint32 runners);
QString RaceCaption(const RaceTable &t, int index);

struct CourseButton {
    QString code;
    QString caption; // two-kanji name, or four blanks
    bool enabled = false;
};
std::array<CourseButton, kCourseButtons> CourseButtons(const RaceTable &t);

struct RaceButton {
    QString caption;     // empty when the course has no such race
    racing::RaceId race; // the race the button opens
    bool enabled = false;
};
using RaceButtons = std::array<RaceButton, kRaceButtons>;

// The races the race list offers for a course, as buttons for races 1..12:
// the first race of the table with that course and race number.
RaceButtons RacesOfCourse(const RaceTable &t, const QString &course);

// "Back" (-1) and "Next" (+1) over the race buttons.
struct RaceMove {
    platform::Messages messages; // information messages, in the order shown
    bool moved = false;
    int index = -1; // the new current race index
    racing::RaceId race;
    QString caption;
};
RaceMove MoveRace(const RaceButtons &buttons, int currentIndex, int direction);

// The race card the user chose and where its windows stand in it: set by the
// file selection and the race list, read by the data list and the
// verification report. The main menu owns it and hands it to the windows.
struct RaceCardSelection {
    QString csvPath;
    QString csvName;
    RaceTable table;
    QString course;          // the course the race list shows
    RaceButtons raceButtons; // its races
    racing::RaceId race;     // the race the data list shows
    int raceIndex = 0;       // its button
};

} // namespace korvin::racecard
