#include "predict/zorb.h"

#include "platform/messages.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racing/codetables.h"
#include "common/helpers.h"
#include "timerank/analysis.h"
#include "timerank/racelisttr.h"

#include <QDate>

namespace korvin::predict {

QString ZorbCodeProblem(const QString &code)
{
    if (code.isEmpty())
        return QStringLiteral("ZORBコードが空です．");
    for (QChar c : code)
        if (c.category() == QChar::Other_Control)
            return QStringLiteral("ZORBコード に制御文字 (U+%1) があります．")
                .arg(QString::number(c.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
    const QString bad = platform::firstUnencodable(code);
    return bad.isEmpty() ? QString() : platform::unencodableMessage(QStringLiteral("ZORBコード"), bad);
}

using common::Mid;

QString ClassNameOf(const QString &header1)
{
    QString collected;
    bool collecting = false;
    for (QChar c : header1) {
        if (c == u'・') {
            collected.clear();
            collecting = true;
        } else if (c == QLatin1Char('(')) {
            break;
        } else if (collecting) {
            collected += c;
        }
    }
    return collecting ? collected : QString();
}

ClassPick ClassPickup(const QString &className)
{
    struct Row {
        const char16_t *name;
        const char *code;
        int filter;
    };
    static const Row rows[] = {
        {u"新馬", "00", 0},     {u"未出走", "01", 0},  {u"未勝利", "04", 1},   {u"400万下", "05", 2},
        {u"500万下", "05", 2},  {u"900万下", "09", 3}, {u"1500万下", "16", 4}, {u"1600万下", "16", 4},
        {u"オープン", "30", 5}, {u"Ｇ３", "50", 6},    {u"Ｇ２", "70", 6},     {u"Ｇ１", "90", 6},
    };
    for (const Row &r : rows)
        if (className == QString::fromUtf16(r.name))
            return {true, QString::fromLatin1(r.code), r.filter};
    return {false, className, 0};
}

QString DistanceKey(const QString &tail)
{
    // Blanks before the number are passed over (a jump race has no direction letter).
    const QString rest = platform::toHalfWidth(Mid(tail, 3)).trimmed();
    qsizetype n = 0;
    while (n < rest.size() && rest.at(n).isDigit() && rest.at(n).unicode() < 128)
        ++n;
    if (n == 0)
        return {};
    const qint64 metres = n > 6 ? 999999 : rest.left(n).toLongLong();
    static const std::pair<int, const char *> bands[] = {{1000, "10"}, {1200, "12"}, {1400, "14"}, {1600, "16"},
                                                         {1800, "18"}, {2000, "20"}, {2500, "25"}};
    for (const auto &[upTo, key] : bands)
        if (metres <= upTo)
            return QString::fromLatin1(key);
    return QStringLiteral("99");
}

RaceCondition ParseRaceCondition(const QString &header0, const QString &header1)
{
    RaceCondition c;
    const QString a = header0;
    const QString b = header1.trimmed();
    const racing::RaceId id = timerank::RaceIdOfHeader(a);
    c.meetingDateKey = id.course + id.year2 + id.meeting + id.day + id.date;
    c.race = timerank::RaceLabelNumber(Mid(a, 33, 3).trimmed());
    c.cls = ClassPickup(ClassNameOf(b));
    c.jump = b.startsWith(QStringLiteral("障害"));
    const QString tail = common::RightOf(b, 14).trimmed();
    const bool turf = tail.startsWith(u'芝');
    c.trackKey = turf ? QStringLiteral("0") : QStringLiteral("1");
    c.trackFilter = c.jump ? 2 : (turf ? 0 : 1);
    c.distanceKey = DistanceKey(tail);
    c.fieldSize = common::FormatZeroZero(common::TextToInt(Mid(common::RightOf(tail, 4), 1, 2).trimmed()));
    return c;
}

racing::RaceId MeetingRace(const QString &meetingDateKey, int race)
{
    const QString &k = meetingDateKey;
    racing::RaceId id;
    id.course = Mid(k, 1, 2);
    id.courseName = racing::PlaceName(id.course, 4);
    id.year2 = Mid(k, 3, 2);
    id.meeting = Mid(k, 5, 1);
    id.day = Mid(k, 6, 1);
    id.date = Mid(k, 7, 8);
    id.race = common::FormatZeroZero(race);
    id.key = id.course + id.year2 + id.meeting + id.day + id.race;
    return id;
}

int FindParameters(const std::vector<TRParaRecord> &table, const QString &placeCode, const QString &classCode,
                   const QString &trackKey, const QString &distanceKey)
{
    const QByteArray place = platform::toSjis(placeCode), cls = platform::toSjis(classCode),
                     track = platform::toSjis(trackKey), distance = platform::toSjis(distanceKey);
    for (size_t i = 0; i < table.size(); ++i) {
        const TRParaRecord &r = table[i];
        if (r.KeyPlace == place && r.KeyClass == cls && r.KeyTrack == track && r.KeyDistance == distance)
            return int(i);
    }
    return -1;
}

std::array<int, 18> ScoreHorses(const std::array<int, 120> &horses, const TRParaRecord &record)
{
    // Blocks of the ranking cells: own surface ±200 m, both surfaces ±200 m,
    // own surface all distances, both surfaces all distances.
    const ParaTable *tables[4] = {&record.SameTrackNear, &record.BothTracksNear, &record.SameTrackAll,
                                  &record.BothTracksAll};
    std::array<int, 18> scores{};
    for (int p = 0; p < 6; ++p)
        for (int r = 0; r < 5; ++r)
            for (int b = 0; b < 4; ++b) {
                const int horse = horses[b * 30 + p * 5 + r];
                if (horse < 1 || horse > 18)
                    continue;
                QByteArray cell = (*tables[b])[ParaCell(p, r)];
                cell.replace('\0', QByteArray());
                scores[horse - 1] += common::TextToInt(QString::fromLatin1(cell)); // blank or not a number: 0
            }
    return scores;
}

QString OrderText(const std::array<int, 18> &scores)
{
    QList<int> order{1};
    for (int h = 2; h <= 18; ++h) {
        qsizetype at = order.size();
        for (qsizetype i = 0; i < order.size(); ++i)
            if (scores[order[i] - 1] < scores[h - 1]) {
                at = i;
                break;
            }
        order.insert(at, h);
    }
    QString text;
    for (int h : order)
        text += common::FormatZeroZero(h);
    return text;
}

namespace {
QString pair(int a, int b, int size)
{
    const int lo = qMin(a, b), hi = qMax(a, b);
    if (size > 8)
        return racing::PadNumber(lo, 2) + QLatin1Char('-') + racing::PadNumber(hi, 2) + QLatin1Char(' ');
    return racing::PadNumber(lo, 4) + QString::number(hi) + QLatin1Char(' ');
}

int number(const QString &text)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    return ok ? v : 0;
}
} // namespace

std::vector<std::pair<int, int>> RacePairs(const QString &slot, int partners)
{
    std::vector<std::pair<int, int>> pairs;
    if (!slot.startsWith(QLatin1Char('0')) && !slot.startsWith(QLatin1Char('1')))
        return pairs;
    std::array<int, 8> h{}; // h[1..7]
    for (int j = 1; j <= 7; ++j)
        h[j] = number(Mid(slot, 4 + 2 * (j - 1), 2));
    const int size = number(Mid(slot, 2, 2));
    // The order lists all 18 numbers: in a smaller field a bet on a horse
    // that does not run (or on no horse) is never written.
    auto runs = [size](int horse) { return horse > 0 && (size < 1 || size > 18 || horse <= size); };
    if (slot.startsWith(QLatin1Char('1'))) {
        for (int j = 2; j <= qMin(partners + 1, 7); ++j)
            if (runs(h[1]) && runs(h[j]))
                pairs.emplace_back(h[1], h[j]);
    } else {
        const int last = qMin(partners / 2 + 1, 7);
        for (int a = 1; a <= last; ++a)
            for (int b = a + 1; b <= last; ++b)
                if (runs(h[a]) && runs(h[b]))
                    pairs.emplace_back(h[a], h[b]);
    }
    return pairs;
}

QStringList ZorbBlockLines(const ZorbSlots &zorbSlots, const QString &headerText, int partners)
{
    static const char16_t *weekdays[7] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    const QString &key = zorbSlots[0];
    const int year = number(Mid(key, 7, 4)), month = number(Mid(key, 11, 2)), day = number(Mid(key, 13, 2));
    const QDate date(year, month, day);
    const QString weekday = date.isValid() ? QString::fromUtf16(weekdays[date.dayOfWeek() % 7]) : QString();
    const QString rule(76, QLatin1Char('-'));

    QStringList lines;
    lines << rule;
    lines << racing::PlaceName(Mid(key, 1, 2), 1) + QLatin1Char(' ') + Mid(key, 7, 4) + QStringLiteral("年  ") +
                 Mid(key, 5, 1) + QStringLiteral("回  ") + Mid(key, 6, 1) + QStringLiteral("日目 ") +
                 racing::PadNumber(month, 2) + QStringLiteral("月 ") + racing::PadNumber(day, 2) +
                 QStringLiteral("日") + QLatin1Char('(') + weekday + QStringLiteral(") [") + Mid(headerText, 1, 4) +
                 QStringLiteral("] ") + Mid(headerText, 5);
    lines << rule;
    for (int r = 1; r <= 12; ++r) {
        const QString &slot = zorbSlots[r];
        if (!slot.startsWith(QLatin1Char('0')) && !slot.startsWith(QLatin1Char('1')))
            continue;
        const int size = number(Mid(slot, 2, 2));
        QString line = racing::PadNumber(r, 2) + QStringLiteral("R  ") + racing::PadNumber(number(Mid(slot, 4, 2)), 2) +
                       QLatin1Char(' ');
        for (const auto &[a, b] : RacePairs(slot, partners))
            line += pair(a, b, size);
        if (line.size() < 45)
            line += QString(45 - line.size(), QLatin1Char(' '));
        lines << line + QLatin1Char('|');
    }
    lines << QString();
    return lines;
}

bool OutputZORB(const ZorbSlots &zorbSlots, const QString &path, const QString &headerText, int partners,
                QString *error)
{
    return platform::appendLines(path, ZorbBlockLines(zorbSlots, headerText, partners), error);
}

namespace {

// One batch run over the race blocks of a time-rank file: the meeting block
// being filled, the courses met, and what is said after the run.
class BatchRun {
public:
    BatchRun(const ZorbSettings &settings, const QString &zorbPath, platform::Dialogs &user)
        : m_settings(settings), m_zorbPath(zorbPath), m_user(user)
    {
    }

    // The parameters are those on disk at the start of the run.
    bool loadParameters()
    {
        QString error;
        if (LoadTRParaFile(m_table, &error) >= 0)
            return true;
        m_user.critical(ParaFileOpenMessage(error));
        return false;
    }

    // The race the model shows, predicted into its meeting block when the race
    // list offers it and it was not met before. False when a finished meeting
    // block could not be written: nothing later could be.
    bool predictRace(const timerank::TimeRankAnalysis &model)
    {
        const timerank::TimeRankRace &race = *model.current();
        const RaceCondition c = ParseRaceCondition(race.header0, race.header1);
        const QString label = QStringLiteral("%1 %2R").arg(race.dayLabel).arg(c.race);
        if (!offered(race, c.race))
            return true;
        if (m_predicted.contains(label)) {
            if (!m_repeated.contains(label))
                m_repeated << label;
            return true;
        }
        m_predicted << label;
        if (!c.cls.found)
            m_user.critical(QStringLiteral("Class Pickup Error!!"));
        if (!m_slots[0].isEmpty() && m_slots[0] != c.meetingDateKey && !writeMeeting())
            return false;
        m_slots[0] = c.meetingDateKey;
        m_slots[c.race] = betLine(model, c, label);
        return true;
    }

    // The last meeting block, then what is left to say; the run is complete.
    bool finish(const QString &path)
    {
        if (!m_slots[0].isEmpty() && !writeMeeting())
            return false;
        for (const QString &race : m_repeated)
            m_result.messages.push_back(platform::Information(
                QStringLiteral("同じレースがもう一度あります．予想は最初のものだけです． ( %1 )").arg(race)));
        if (!m_cutShort.isEmpty())
            m_result.messages.push_back(platform::Information(
                QStringLiteral("ランキング表が途中で終わっているレースは予想しません． ( %1 )\n").arg(path) +
                m_cutShort.join(QLatin1Char('\n'))));
        m_result.completed = true;
        return true;
    }

    BatchRunResult &result() { return m_result; }

private:
    // Counts the courses as the race list does; the blocks it leaves out (a
    // race number outside 1..12, a course after the third) are not offered.
    bool offered(const timerank::TimeRankRace &race, int raceNumber)
    {
        const bool header = timerank::IsStrictRaceHeader(race.header0);
        if (header && (m_courses == 0 || race.id.courseName != m_lastCourse)) {
            m_lastCourse = race.id.courseName;
            ++m_courses;
        }
        return header && raceNumber >= 1 && raceNumber <= timerank::kMaxRaces && m_courses <= timerank::kMaxCourses;
    }

    // The race's line of the meeting block: the field size and the order of
    // the scores, or the excluded line.
    QString betLine(const timerank::TimeRankAnalysis &model, const RaceCondition &c, const QString &label)
    {
        const int i = FindParameters(m_table, model.current()->id.course, c.cls.code, c.trackKey, c.distanceKey);
        if (i < 0) {
            m_user.critical(QStringLiteral("Paramator Search Error!!"));
            return kExcludedRace;
        }
        if (!m_settings.classes[c.cls.filter] || !m_settings.track[c.trackFilter])
            return kExcludedRace;
        if (!model.current()->complete()) {
            // Half a table would be a wrong bet.
            m_cutShort << label;
            return kExcludedRace;
        }
        const QString order = OrderText(ScoreHorses(model.horses(), m_table[size_t(i)]));
        return (m_settings.keyHorse ? QStringLiteral("1") : QStringLiteral("0")) + c.fieldSize + order.left(14);
    }

    bool writeMeeting()
    {
        QString why;
        const bool written = OutputZORB(m_slots, m_zorbPath, m_settings.code + kZorbHeaderSuffix, kZorbPartners, &why);
        if (!written)
            m_user.critical(QStringLiteral("Zorb.txt に書き込めません． ( %1 )\n%2").arg(m_zorbPath, why));
        else
            m_result.blocks.push_back(m_slots);
        // A meeting never repeats another meeting's bets.
        for (int r = 1; r <= 12; ++r)
            m_slots[size_t(r)].clear();
        return written;
    }

    const ZorbSettings &m_settings;
    const QString &m_zorbPath;
    platform::Dialogs &m_user;
    std::vector<TRParaRecord> m_table;
    BatchRunResult m_result;
    ZorbSlots m_slots;
    QString m_lastCourse;
    int m_courses = 0;
    // Races by their header label: a race met again is predicted once.
    QStringList m_predicted, m_repeated, m_cutShort;
};

} // namespace

BatchRunResult RunBatchPrediction(timerank::TimeRankAnalysis &model, int raceCount, const ZorbSettings &settings,
                                  const QString &zorbPath, platform::Dialogs &user,
                                  const std::function<void()> &afterMove)
{
    BatchRun run(settings, zorbPath, user);
    // Nothing to predict is never a completed run (the file is gone, or it
    // holds no race the list offers).
    if (raceCount <= 0 || !model.current()) {
        run.result().messages.push_back(
            platform::Information(QStringLiteral("一括予想するレースがありません． ( %1 )").arg(model.path())));
        return run.result();
    }
    if (!run.loadParameters())
        return run.result();
    // The run goes over every block the file holds: a count of races would end
    // it before the file's last race when the list leaves some out.
    for (;;) {
        if (!run.predictRace(model))
            return run.result();
        if (model.raceIndex() >= model.raceCount() - 1)
            break;
        qint16 direction = 1;
        platform::ShowMessages(model.TRMoveRace(direction), user);
        if (direction == 0)
            break;
        if (afterMove)
            afterMove();
    }
    run.finish(model.path());
    return run.result();
}

} // namespace korvin::predict
