#include "timerank/racelisttr.h"

#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racing/codetables.h"
#include "common/helpers.h"
#include "timerank/timerankfile.h"

namespace korvin::timerank {

using common::Mid;

int TRCourse::raceCount() const
{
    int n = 0;
    for (const QString &c : captions)
        if (!c.isEmpty())
            ++n;
    return n;
}

int TRRaceList::totalRaces() const
{
    int n = 0;
    for (const TRCourse &c : courses)
        n += c.raceCount();
    return n;
}

QString RacePart(const QString &raceLine) { return racing::SjisMid(raceLine + QString(30, QLatin1Char(' ')), 1, 30); }

QString RaceNameOf(const QString &nameLine)
{
    const qsizetype open = nameLine.indexOf(QLatin1Char('('));
    return open < 0 ? nameLine : nameLine.left(open);
}

QString RaceSuffixOf(const QString &nameLine)
{
    // The final character is never part of the suffix.
    for (qsizetype i = nameLine.size() - 2; i >= 0; --i) {
        const QChar c = nameLine.at(i);
        if (c == QLatin1Char(')') || c == QLatin1Char(']'))
            return nameLine.mid(i + 1, nameLine.size() - 1 - (i + 1));
    }
    return {};
}

QString NamePart(const QString &nameLine)
{
    QString text = platform::toHalfWidth(RaceNameOf(nameLine) + RaceSuffixOf(nameLine));
    const int bytes = racing::SjisLength(text);
    if (bytes < 40)
        text.prepend(QString(40 - bytes, QLatin1Char(' ')));
    return text;
}

QString NoRaceHeaderMessage(const QString &path)
{
    return QStringLiteral("タイムランクファイルにレースの見出し行がありません． ( %1 )").arg(path);
}

QString WantedRace(const QString &dateLabel, const QString &caption)
{
    return dateLabel + racing::SjisMid(caption, 1, 4).trimmed();
}

TRRaceList BuildRaceList(const QStringList &lines)
{
    TRRaceList list;
    int current = -1; // course of the race being read; -1 when left out
    QString lastName; // course added (or met) last
    bool started = false;
    // A file of nothing but headers would list a problem per line: the first
    // ones are listed, the rest counted.
    constexpr int kListed = 30;
    int unlisted = 0;
    auto problem = [&](const QString &text) {
        if (list.problems.size() == kListed)
            ++unlisted;
        else
            list.problems << text;
    };
    for (int i = 0; i < lines.size(); ++i) {
        const QString &header = lines[i];
        if (!IsStrictRaceHeader(header))
            continue;
        list.headerFound = true;
        const QString name = Mid(header, 18, 2);
        if (!started || name != lastName) {
            started = true;
            lastName = name;
            if (int(list.courses.size()) < kMaxCourses) {
                list.courses.push_back({name, Mid(header, 1, 22), {}, {}});
                current = int(list.courses.size()) - 1;
            } else {
                current = -1;
                problem(QStringLiteral("4 場目以降の競馬場 (%1 %2) は表示しません．").arg(Mid(header, 1, 22), name));
            }
        }
        if (i + 1 >= lines.size())
            break;
        const QString raceLine = lines[++i];
        const int number = RaceLabelNumber(raceLine);
        QString caption = RacePart(raceLine);
        if (i + 1 < lines.size())
            caption += NamePart(lines[++i]);
        if (current < 0)
            continue;
        if (number < 1 || number > kMaxRaces) {
            problem(QStringLiteral("レース番号が 1～12 ではありません (%1 %2) ．")
                        .arg(Mid(header, 1, 22), RacePart(raceLine).trimmed()));
            continue;
        }
        TRCourse &course = list.courses[size_t(current)];
        course.captions[number - 1] = caption;
        course.wanted[number - 1] = WantedRace(course.dateLabel, caption);
    }
    if (unlisted > 0)
        list.problems << QStringLiteral("ほか %1 件").arg(unlisted);
    return list;
}

TRRaceList LoadRaceList(const QString &path)
{
    const TimeRankLines f = ReadTimeRankLines(path);
    if (!f.opened) {
        TRRaceList none;
        none.messages.push_back(
            platform::Information(QStringLiteral("タイムランクファイルを開けません． ( %1 )\n%2").arg(path, f.error)));
        return none;
    }
    TRRaceList list = BuildRaceList(f.lines);
    list.opened = true;
    if (!list.problems.isEmpty())
        list.messages.push_back(
            platform::Information(QStringLiteral("タイムランクファイルの一部を読み飛ばしました． ( %1 )\n").arg(path) +
                                  list.problems.join(QLatin1Char('\n'))));
    return list;
}

} // namespace korvin::timerank
