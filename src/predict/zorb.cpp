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
    const timerank::HeaderFields f = timerank::ParseHeader(a);
    c.meetingDateKey = racing::PlaceCode(f.course, 2) + f.year2 + f.meeting + f.day + f.year4 +
                       common::FormatZeroZero(common::TextToInt(f.month)) +
                       common::FormatZeroZero(common::TextToInt(f.dayOfMonth));
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

std::array<int, 18> ScoreHorses(const std::array<QString, 120> &cells, const TRParaRecord &record)
{
    // Blocks of the ranking cells: own surface ±200 m, both surfaces ±200 m,
    // own surface all distances, both surfaces all distances.
    const ParaTable *tables[4] = {&record.SameTrackNear, &record.BothTracksNear, &record.SameTrackAll,
                                  &record.BothTracksAll};
    std::array<int, 18> scores{};
    for (int p = 0; p < 6; ++p)
        for (int r = 0; r < 5; ++r)
            for (int b = 0; b < 4; ++b) {
                const QString &text = cells[b * 30 + p * 5 + r];
                if (text.trimmed().isEmpty())
                    continue;
                const int horse = common::TextToInt(Mid(text, 5, 2));
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

BatchRunResult RunBatchPrediction(timerank::TimeRankAnalysis &model, int raceCount, const ZorbSettings &settings,
                                  const QString &zorbPath, platform::Dialogs &user,
                                  const std::function<void()> &afterMove)
{
    BatchRunResult result;
    // Nothing to predict is never a completed run (the file is gone, or it
    // holds no race the list offers).
    if (raceCount <= 0 || !model.current()) {
        result.messages.push_back(
            platform::Information(QStringLiteral("一括予想するレースがありません． ( %1 )").arg(model.path())));
        return result;
    }
    QString error;
    // The parameters are those on disk at the start of the run.
    std::vector<TRParaRecord> table;
    if (LoadTRParaFile(table, &error) < 0) {
        user.critical(QStringLiteral("パラメータファイルを開けません． ( %1 )\n%2").arg(TRParaPath(), error));
        return result;
    }
    const QString header = settings.code + kZorbHeaderSuffix;
    ZorbSlots zorbSlots;
    auto writeMeeting = [&] {
        QString why;
        const bool written = OutputZORB(zorbSlots, zorbPath, header, kZorbPartners, &why);
        if (!written)
            user.critical(QStringLiteral("Zorb.txt に書き込めません． ( %1 )\n%2").arg(zorbPath, why));
        else
            result.blocks.push_back(zorbSlots);
        // A meeting never repeats another meeting's bets.
        for (int r = 1; r <= 12; ++r)
            zorbSlots[r].clear();
        return written;
    };
    // The run goes over the blocks the file holds. Those the race list leaves
    // out (a race number outside 1..12, a course after the third) are passed
    // over, and a race met again is predicted once: a count of races would
    // otherwise end the run before the file's last race.
    QStringList predicted, repeated, cutShort;
    QString lastCourse;
    int courses = 0;
    for (;;) {
        const QString header0 = model.header(0);
        const RaceCondition c = ParseRaceCondition(header0, model.header(1));
        const QString course = Mid(header0, 18, 2);
        if (timerank::IsStrictRaceHeader(header0) && (courses == 0 || course != lastCourse)) {
            lastCourse = course;
            ++courses;
        }
        const QString race = QStringLiteral("%1 %2R").arg(Mid(header0, 1, 22)).arg(c.race);
        const bool offered =
            timerank::IsStrictRaceHeader(header0) && c.race >= 1 && c.race <= 12 && courses <= timerank::kMaxCourses;
        if (offered && predicted.contains(race)) {
            if (!repeated.contains(race))
                repeated << race;
        } else if (offered) {
            predicted << race;
            if (!c.cls.found)
                user.critical(QStringLiteral("Class Pickup Error!!"));
            int excluded = 0;
            if (!settings.classes[c.cls.filter])
                ++excluded;
            if (!settings.track[c.trackFilter])
                ++excluded;
            // A block that cannot be written ends the run: nothing later could be.
            if (!zorbSlots[0].isEmpty() && zorbSlots[0] != c.meetingDateKey && !writeMeeting())
                return result;
            zorbSlots[0] = c.meetingDateKey;

            const int i = FindParameters(table, Mid(zorbSlots[0], 1, 2), c.cls.code, c.trackKey, c.distanceKey);
            QString line;
            if (i < 0) {
                user.critical(QStringLiteral("Paramator Search Error!!"));
                line = kExcludedRace;
            } else if (excluded != 0) {
                line = kExcludedRace;
            } else if (!model.current()->complete()) {
                // Half a table would be a wrong bet.
                cutShort << race;
                line = kExcludedRace;
            } else {
                const QString order = OrderText(ScoreHorses(model.cells(), table[i]));
                line = (settings.keyHorse ? QStringLiteral("1") : QStringLiteral("0")) + c.fieldSize + order.left(14);
            }
            zorbSlots[c.race] = line;
        }
        if (model.raceIndex() >= model.raceCount() - 1)
            break;
        qint16 direction = 1;
        platform::ShowMessages(model.TRMoveRace(direction), user);
        if (direction == 0)
            break;
        if (afterMove)
            afterMove();
    }
    if (!zorbSlots[0].isEmpty() && !writeMeeting())
        return result;
    for (const QString &race : repeated)
        result.messages.push_back(platform::Information(
            QStringLiteral("同じレースがもう一度あります．予想は最初のものだけです． ( %1 )").arg(race)));
    if (!cutShort.isEmpty())
        result.messages.push_back(platform::Information(
            QStringLiteral("ランキング表が途中で終わっているレースは予想しません． ( %1 )\n").arg(model.path()) +
            cutShort.join(QLatin1Char('\n'))));
    result.completed = true;
    return result;
}

} // namespace korvin::predict
