#pragma once
// Racing code tables and fixed-width text operations. Pure functions: codes are
// compared exactly (no trimming), unknown codes give blanks of the field width.
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace korvin::racing {

// Mode 2: one-kanji course letter ("名" for "07"), two blanks when unknown.
// Any other mode: two-kanji course name, four blanks when unknown.
QString PlaceName(const QString &code, int mode);
// Reverse lookup by two-kanji name. Mode 1: letter; mode 2: two-digit code;
// two blanks for an unknown name; empty text for any other mode.
QString PlaceCode(const QString &name, int mode);
// Class text of a class code (a number, fraction dropped): width 4 short,
// width 8 long, blanks of the width when unknown or not a number; empty text
// for another width.
QString ClassName(const QString &code, int width);
// Mode 1: track letter "T", "D", "J" or one blank; empty text for another mode.
QString TrackLetter(const QString &code, int mode);
// Abnormal-result name ("取消" ...), four blanks for "0" and unknown codes.
QString AbnormalName(const QString &code);

// Right-aligned with blanks to width characters; never cut.
QString PadNumber(qint32 value, int width);
// Length of the text in Shift-JIS bytes.
qint32 SjisLength(const QString &text);
// count Shift-JIS bytes from byte start (1-based). Half of a double-byte
// character cut by the range comes back as one blank, so the result always
// measures exactly the bytes taken.
QString SjisMid(const QString &text, qint32 start, qint32 count);

// The ten course codes "01".."10" in table order, and their names.
QStringList PlaceCodes();

// A race as the readers find it, passed from one part of the program to
// another; captions and cell texts are made from it for display only.
struct RaceId {
    QString course;     // two-digit course code ("05"), two blanks when unknown
    QString courseName; // two-kanji name as the source gives it
    QString year2;      // year of the meeting, two digits
    QString meeting;    // meeting of the year, one character
    QString day;        // day of the meeting, one character
    QString race;       // race number, two characters ("01")
    QString date;       // yyyymmdd where the source gives it (a time-rank header), else empty
    QString key;        // course, year, meeting, day and race: the race card's 8-character key
    int raceNumber() const;
};
// The race a race-card key names.
RaceId RaceIdOfKey(const QString &key);

} // namespace korvin::racing
