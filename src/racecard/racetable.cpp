#include "racecard/racetable.h"

#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racecard/csvfields.h"
#include "racing/codetables.h"
#include "common/helpers.h"

#include <QSet>

#include <cmath>

namespace korvin::racecard {

using common::Mid;

RaceTable::RaceTable()
{
    CourseCodes.fill(QStringLiteral("  "));
    RaceKeys.fill(QStringLiteral("        "));
}

namespace {

// A whole-number field; anything that is not a number counts 0.
qint32 wholeNumber(const QString &text)
{
    bool ok = false;
    const double v = common::TextToDouble(text, &ok);
    if (!ok || !std::isfinite(v) || std::fabs(v) > 2147483647.0)
        return 0;
    return qint32(std::nearbyint(v));
}

} // namespace

RaceTableRead ReadRaceTable(const QString &path)
{
    RaceTableRead out;
    const auto lines = platform::readLinesLazily(path, &out.error);
    if (!lines)
        return out;
    out.opened = true;
    RaceTable &t = out.table;
    QString lastCourse = QStringLiteral("  ");
    QString lastKey = QStringLiteral("        ");
    bool courseStored = true; // the course of the current lines has a slot
    // Membership of the lists: a file of many thousands of races stays linear.
    QSet<QString> racesListed, coursesListed;
    CsvFields fields;
    for (const QString &line : *lines) {
        if (line.size() < 8) // no race key fits: not worth a split
            continue;
        SplitCsvLine(line, fields);
        const QString &field0 = fields[FieldKeyAndHorse];
        if (field0.size() < 8)
            continue;
        ++out.usableLines;
        const QString course = field0.left(2);
        const QString key = field0.left(8);
        if (course != lastCourse) {
            lastCourse = course;
            courseStored = t.courseCount < kCourseSlots;
            if (courseStored)
                t.CourseCodes[t.courseCount++] = course;
            else if (!coursesListed.contains(course)) {
                coursesListed.insert(course);
                out.coursesLeftOut << course;
            }
        }
        if (key != lastKey) {
            lastKey = key;
            if (t.raceCount >= kMaxRaces || !courseStored) {
                if (!racesListed.contains(key)) {
                    racesListed.insert(key);
                    out.racesLeftOut << key;
                }
                continue;
            }
            const int j = t.raceCount++;
            t.RaceKeys[j] = key;
            t.RaceClass[j] = wholeNumber(fields[FieldClass]);
            t.RaceDistance[j] = wholeNumber(fields[FieldDistance]);
            t.RaceTrack[j] = wholeNumber(fields[FieldTrack]);
            t.RaceRunners[j] = wholeNumber(fields[FieldRunners]);
        }
    }
    // A race of a course without a button cannot be reached either.
    QStringList buttonCourses;
    for (int i = 0; i < kCourseButtons; ++i)
        buttonCourses << t.CourseCodes[i];
    for (int j = 0; j < t.raceCount; ++j) {
        if (!buttonCourses.contains(t.RaceKeys[j].left(2)) && !racesListed.contains(t.RaceKeys[j])) {
            racesListed.insert(t.RaceKeys[j]);
            out.racesLeftOut << t.RaceKeys[j];
        }
    }
    return out;
}

QString RaceCardOpenMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("出馬表CSVファイルを開けません． ( %1 )\n%2").arg(path, reason);
}

QString RaceCardEmptyMessage(const QString &path)
{
    return QStringLiteral("出馬表CSVファイルにレースがありません． ( %1 )").arg(path);
}

QString RaceCardLeftOutMessage(const RaceTableRead &read)
{
    if (read.racesLeftOut.isEmpty() && read.coursesLeftOut.isEmpty())
        return {};
    QString text = QStringLiteral("出馬表CSVファイルの一部は表示できません．（表示は3場・36レースまで）");
    if (!read.coursesLeftOut.isEmpty())
        text += QStringLiteral("\n省いた場: ") + read.coursesLeftOut.join(QLatin1Char(' '));
    // A message box cannot show thousands of keys: the first ones and a count.
    constexpr int kListed = 30;
    if (!read.racesLeftOut.isEmpty())
        text += QStringLiteral("\n省いたレース: ") + read.racesLeftOut.mid(0, kListed).join(QLatin1Char(' '));
    if (read.racesLeftOut.size() > kListed)
        text += QStringLiteral(" ほか %1 件").arg(read.racesLeftOut.size() - kListed);
    return text;
}

QString RaceCaption(const QString &k, qint32 raceClass, qint32 distance, qint32 track, qint32 runners)
{
    return Mid(k, 3, 2) + QStringLiteral("年 ") + platform::toFullWidth(Mid(k, 5, 1)) + QStringLiteral("回") +
           racing::PlaceName(Mid(k, 1, 2), 4) + platform::toFullWidth(Mid(k, 6, 1)) + QStringLiteral("日目 ") +
           Mid(k, 7, 2) + QStringLiteral("R ") + racing::TrackLetter(QString::number(track), 1) +
           QString::number(distance) + QStringLiteral("m ") + racing::ClassName(QString::number(raceClass), 8) +
           QStringLiteral(" ") + common::FormatZeroZero(runners) + QStringLiteral("頭");
}

QString RaceCaption(const RaceTable &t, int j)
{
    return RaceCaption(t.RaceKeys[j], t.RaceClass[j], t.RaceDistance[j], t.RaceTrack[j], t.RaceRunners[j]);
}

std::array<CourseButton, kCourseButtons> CourseButtons(const RaceTable &t)
{
    std::array<CourseButton, kCourseButtons> out;
    for (int i = 0; i < kCourseButtons; ++i) {
        out[i].code = t.CourseCodes[i];
        if (t.CourseCodes[i] != QLatin1String("  ")) {
            out[i].caption = racing::PlaceName(t.CourseCodes[i], 4);
            out[i].enabled = true;
        } else {
            out[i].caption = QStringLiteral("    ");
        }
    }
    return out;
}

RaceButtons RacesOfCourse(const RaceTable &t, const QString &course)
{
    RaceButtons out;
    const QString blankKey = QStringLiteral("        ");
    for (int r = 0; r < kRaceButtons; ++r) {
        for (int j = 0; j < kMaxRaces; ++j) {
            const QString &key = t.RaceKeys[j];
            if (Mid(key, 1, 2) == course && common::TextToInt(Mid(key, 7, 2)) == r + 1) {
                out[r] = {RaceCaption(t, j), racing::RaceIdOfKey(key), true};
                break;
            }
            if (t.RaceKeys[j + 1] == blankKey)
                break;
        }
    }
    return out;
}

RaceMove MoveRace(const RaceButtons &buttons, int currentIndex, int direction)
{
    RaceMove m;
    for (int i = currentIndex + direction; i >= 0 && i < kRaceButtons; i += direction) {
        if (buttons[i].caption.isEmpty()) {
            m.messages.push_back(platform::Information(QString::number(i + 1) + QStringLiteral("R はありません．")));
            continue;
        }
        m.moved = true;
        m.index = i;
        m.race = buttons[i].race;
        m.caption = buttons[i].caption;
        return m;
    }
    m.messages.push_back(platform::Information(direction > 0 ? QStringLiteral("次のレースはありません")
                                                             : QStringLiteral("前のレースはありません")));
    return m;
}

} // namespace korvin::racecard
