#include "demofiles.h"

#include "hostday.h"
#include "platform/safefile.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racing/codetables.h"
#include "rng.h"
#include "common/settings.h"
#include "timerank/timerankfile.h"

#include <QDir>
#include <algorithm>

namespace korvin::demodata {

namespace {

QString two(int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); }

QString pad(int v, int width) { return racing::PadNumber(v, width); }

QString yyyymmdd(const QDate &d) { return d.toString(QStringLiteral("yyyyMMdd")); }

QString tenthsText(int tenths) { return QStringLiteral("%1.%2").arg(tenths / 10).arg(tenths % 10); }

// Full-width blanks fill names to a fixed number of characters, as the host's
// fixed-pitch lists do.
QString fixedName(const QString &name, int chars) { return name.left(chars).leftJustified(chars, QChar(0x3000)); }

} // namespace

QString daySix(const Day &day) { return day.date.toString(QStringLiteral("yyMMdd")); }

// ---------------------------------------------------------------- race card

QStringList raceCardFields(const Day &day, const Course &course, const Race &race, const Runner &r)
{
    QStringList f;
    f << raceKey(day, course, race) + two(r.number) << QString::number(race.classCode) << QString::number(race.distance)
      << QString::number(race.track) << QString::number(race.runners.size()) << r.ziText()
      << QString::number(r.interval) << r.resultText() << QString::number(r.abnormal) << r.oddsText();
    for (int k = 0; k < 7; ++k) {
        if (k < r.past.size()) {
            const PastRace &p = r.past[k];
            f << yyyymmdd(p.date) << racing::PlaceName(p.course, 4) << QString::number(p.track)
              << QString::number(p.distance) << QString::number(p.figure);
        } else {
            f << QString() << QString() << QString() << QString() << QString();
        }
    }
    // Behind the fields Korvin reads: name, sex and age, weight carried, jockey,
    // trainer, a note on the last race (quoted: it holds commas and blanks) and
    // the registration number, which ends the line.
    f << r.name << r.sexAge << tenthsText(r.carriedTenths) << r.jockey << r.trainer
      << (r.comment.isEmpty() ? QString() : QLatin1Char('"') + r.comment + QLatin1Char('"')) << r.id;
    return f;
}

QStringList raceCardLines(const Day &day)
{
    QStringList lines;
    for (const Course &course : day.courses)
        for (const Race &race : course.races)
            for (const Runner &r : race.runners)
                lines << raceCardFields(day, course, race, r).join(QLatin1Char(','));
    return lines;
}

// ---------------------------------------------------------------- VTX text

QStringList vtxColumns(const Runner &r)
{
    // Best figure on turf and dirt, up to 1600 m and beyond.
    int best[4] = {0, 0, 0, 0};
    for (const PastRace &p : r.past) {
        if (p.track == Jump || p.figure <= 0)
            continue;
        const int column = (p.track == Dirt ? 2 : 0) + (p.distance > 1600 ? 1 : 0);
        best[column] = std::max(best[column], p.figure);
    }
    QStringList cols;
    for (int v : best)
        cols << (v > 0 ? pad(v, 4) : QStringLiteral("    "));
    cols << r.pace;
    return cols;
}

QString vtxHorseLine(const Runner &r)
{
    const QStringList c = vtxColumns(r);
    QString line = QLatin1Char(' ') + QString::number(r.frame) + QLatin1Char(' ') + pad(r.number, 2) +
                   QLatin1Char(' ') + fixedName(r.name, 9) + QLatin1Char(' ') + r.sexAge + QLatin1Char(' ') +
                   tenthsText(r.carriedTenths) + QLatin1Char(' ') + fixedName(r.jockey, 3) + QLatin1Char(' ');
    // The 24 characters the reader counts from the end: T1 T2 D1 D2, a blank,
    // the running style, two blanks, the body weight and the blinker flag.
    line += c[0] + c[1] + c[2] + c[3] + QLatin1Char(' ') + c[4] + QStringLiteral("  ") + pad(r.bodyWeight, 3) +
            (r.blinkers ? QLatin1Char('*') : QLatin1Char(' '));
    // Some lines carry one blank more, or a remark mark and a blank.
    if (r.vtxTail == 1)
        line += QLatin1Char(' ');
    else if (r.vtxTail == 2)
        line += QStringLiteral("* ");
    return line;
}

QStringList vtxLines(const Day &day)
{
    const QString rule(76, QLatin1Char('-'));
    QStringList lines;
    lines << QStringLiteral("ＶＴＸ分析データ  %1").arg(day.date.toString(QStringLiteral("yyyy/MM/dd"))) << QString();
    for (const Course &course : day.courses) {
        for (const Race &race : course.races) {
            lines << dayLine(day, course);
            lines << QString::number(race.number) + QStringLiteral("Ｒ ") +
                         QString(race.title).remove(QStringLiteral("・")) + QStringLiteral("  ") +
                         surfaceLetter(race.track) + QString::number(race.distance) + QStringLiteral("m ") +
                         QString::number(race.runners.size()) + QStringLiteral("頭");
            lines << QStringLiteral(" 枠 番 馬名　　　　　　　　 性齢 斤量 騎手　    芝短  中 ダ短  中  脚  体重");
            lines << rule;
            lines << QStringLiteral("                                          (ﾀｲﾑ指数 最高値)");
            for (const Runner &r : race.runners)
                lines << vtxHorseLine(r);
            lines << rule;
            lines << QStringLiteral("出走%1頭  発走 %2:%3")
                         .arg(race.runners.size())
                         .arg(race.startMinutes / 60)
                         .arg(two(race.startMinutes % 60));
            lines << QString();
        }
    }
    return lines;
}

// ---------------------------------------------------------------- payouts

namespace {

void putText(QByteArray &record, int offset, const QString &text)
{
    const QByteArray bytes = platform::toSjis(text);
    record.replace(offset, bytes.size(), bytes);
}

void putNumber(QByteArray &record, int offset, int length, qint64 value)
{
    putText(record, offset, QStringLiteral("%1").arg(value, length, 10, QLatin1Char('0')));
}

QByteArray payoutRecord(const Course &course, const QDate &date, int meetingDay, int race, int runners, int starters,
                        const Payouts &p)
{
    QByteArray rec(kPayoutRecordBytes, ' ');
    putText(rec, 0, course.code);
    putNumber(rec, 2, 2, date.year() % 100);
    putNumber(rec, 4, 1, course.meeting);
    putNumber(rec, 5, 1, meetingDay);
    putNumber(rec, 6, 2, race);
    putText(rec, 8, yyyymmdd(date));
    putNumber(rec, 16, 2, runners);
    putNumber(rec, 18, 2, starters);
    for (int i = 0; i < 3; ++i) {
        const PayoutEntry e = i < p.win.size() ? p.win[i] : PayoutEntry{};
        putNumber(rec, 175 + 9 * i, 2, e.first);
        putNumber(rec, 177 + 9 * i, 7, e.yen);
    }
    for (int i = 0; i < 5; ++i) {
        const PayoutEntry e = i < p.place.size() ? p.place[i] : PayoutEntry{};
        putNumber(rec, 202 + 9 * i, 2, e.first);
        putNumber(rec, 204 + 9 * i, 7, e.yen);
    }
    for (int i = 0; i < 3; ++i) {
        const PayoutEntry e = i < p.bracket.size() ? p.bracket[i] : PayoutEntry{};
        putNumber(rec, 247 + 9 * i, 1, e.first);
        putNumber(rec, 248 + 9 * i, 1, e.second);
        putNumber(rec, 249 + 9 * i, 7, e.yen);
    }
    for (int i = 0; i < 3; ++i) {
        const PayoutEntry e = i < p.quinella.size() ? p.quinella[i] : PayoutEntry{};
        putNumber(rec, 274 + 12 * i, 2, e.first);
        putNumber(rec, 276 + 12 * i, 2, e.second);
        putNumber(rec, 278 + 12 * i, 8, e.yen);
    }
    // Wide, exacta, trio and trifecta are not carried in the demo: zeros.
    rec.replace(310, kPayoutRecordBytes - 2 - 310, QByteArray(kPayoutRecordBytes - 2 - 310, '0'));
    rec[kPayoutRecordBytes - 2] = '\r';
    rec[kPayoutRecordBytes - 1] = '\n';
    return rec;
}

// Payouts of a race of an earlier day of the meeting, which the demo day does
// not model in full.
Payouts earlierPayouts(Rng &rng, int runners)
{
    Payouts p;
    QVector<int> horses;
    for (int h = 1; h <= runners; ++h)
        horses << h;
    rng.shuffle(horses);
    const int frames[3] = {horses[0] * 8 / (runners + 1) + 1, horses[1] * 8 / (runners + 1) + 1, 0};
    p.win << PayoutEntry{horses[0], 0, 10 * rng.range(12, 300)};
    for (int i = 0; i < 3; ++i)
        p.place << PayoutEntry{horses[i], 0, 10 * rng.range(10, 80)};
    p.bracket << PayoutEntry{std::min(frames[0], frames[1]), std::max(frames[0], frames[1]), 10 * rng.range(20, 900)};
    p.quinella << PayoutEntry{std::min(horses[0], horses[1]), std::max(horses[0], horses[1]), 10 * rng.range(30, 2000)};
    return p;
}

} // namespace

QString payoutFileName(const Day &day, const Course &course)
{
    return two(day.date.year() % 100) + QString::number(course.meeting) + course.letter + QStringLiteral(".dat");
}

QByteArray payoutFile(const Day &day, const Course &course)
{
    QByteArray out;
    // Earlier days of the meeting: Saturdays and Sundays going back.
    for (int d = 1; d < course.day; ++d) {
        const int back = course.day - d;
        const QDate date = day.date.addDays(-(back / 2) * 7 - (back % 2) * (day.date.dayOfWeek() == 7 ? 1 : 6));
        Rng rng(mixSeed({day.seed, 6, quint32(course.code.toInt()), quint32(d)}));
        for (int race = 1; race <= 12; ++race) {
            const int runners = rng.range(10, 16);
            out += payoutRecord(course, date, d, race, runners, runners, earlierPayouts(rng, runners));
        }
    }
    for (const Race &race : course.races)
        out += payoutRecord(course, day.date, course.day, race.number, int(race.runners.size()), race.starters(),
                            race.payouts);
    return out;
}

// ---------------------------------------------------------------- time-rank files

namespace {

QString kindTitle(int kind)
{
    static const QStringList t{QStringLiteral("補正タイムランキング"),
                               QStringLiteral("走破タイムランキング"),
                               QStringLiteral("上がり３Fタイムランキング"),
                               QStringLiteral("テン３Fタイムランキング"),
                               QStringLiteral("速度ランキング"),
                               QStringLiteral("ＰＣＩランキング")};
    return t[kind];
}

QString kindShortName(int kind)
{
    static const QStringList t{QStringLiteral("補正タイム"), QStringLiteral("走破タイム"), QStringLiteral("上がり３F"),
                               QStringLiteral("テン３F"),    QStringLiteral("速度"),       QStringLiteral("ＰＣＩ")};
    return t[kind];
}

QString pastSurface(int track)
{
    return track == Dirt ? QStringLiteral("ダ") : track == Jump ? QStringLiteral("障") : QStringLiteral("芝");
}

} // namespace

QString timeRankFileName(const Day &day, int kind)
{
    return timerank::KindPrefix(kind) + yyyymmdd(day.date) + QStringLiteral(".txt");
}

QString timeRankRaceLine(const Race &race)
{
    // Exactly 30 Shift-JIS bytes: the part the time-rank race list shows.
    return raceLabel(race.number) + QStringLiteral(" 発走") +
           QStringLiteral("%1:%2").arg(race.startMinutes / 60, 2).arg(two(race.startMinutes % 60)) +
           QStringLiteral("  本賞金") + pad(race.prizeMan, 4) + QStringLiteral("万円");
}

QString timeRankTail(const Race &race)
{
    // 14 characters: two blanks, surface, direction, distance, field size.
    return QStringLiteral("  ") + surfaceLetter(race.track) + race.direction + QString::number(race.distance) +
           QStringLiteral("m ") + pad(int(race.runners.size()), 2) + QStringLiteral("頭立");
}

QString timeRankNameLine(const Race &race) { return race.title + race.conditions + timeRankTail(race); }

QString timeRankTitleLine(const Race &race, int kind, Surface surface, bool near, int period)
{
    static const QStringList periods{QStringLiteral("全期間"), QStringLiteral("３ヶ月"), QStringLiteral("６ヶ月"),
                                     QStringLiteral("９ヶ月"), QStringLiteral("１年"),   QStringLiteral("１年半")};
    // The other surface of a jump race is the flat.
    const QString own = race.track == Dirt   ? QStringLiteral("ダート")
                        : race.track == Jump ? QStringLiteral("障害")
                                             : QStringLiteral("芝");
    const QString other = race.track == Dirt   ? QStringLiteral("芝")
                          : race.track == Jump ? QStringLiteral("平地")
                                               : QStringLiteral("ダート");
    const QString surfaceText = surface == Surface::Both  ? QStringLiteral("芝・ダート")
                                : surface == Surface::Own ? own
                                                          : other;
    const QString scope =
        near ? QStringLiteral("%1～%2m").arg(race.distance - 200).arg(race.distance + 200) : QStringLiteral("全距離");
    // The surface stands at the kind's title column, where the export splitter looks.
    const QString head = (QStringLiteral("【ランキング】    ") + kindShortName(kind))
                             .leftJustified(timerank::KindTitleColumn(kind) - 1, QLatin1Char(' '));
    return head + surfaceText + QLatin1Char(' ') + scope + QLatin1Char(' ') + periods[period];
}

QString timeRankTitleLine(const Race &race, int kind, int group)
{
    const int block = group / 6;
    return timeRankTitleLine(race, kind, block % 2 == 0 ? Surface::Own : Surface::Both,
                             block < 2 || !switchesToAllDistances(kind), group % 6);
}

QString timeRankColumnHeader(int kind)
{
    switch (kind) {
    case 0: return QStringLiteral("順 場距離  指数 番 馬名　　　　　　 日付     着順");
    case 2: return QStringLiteral("順 場距離    番 馬名　　　　　　 日付     着順 上３F");
    default: return QStringLiteral("値   場距離  番 馬名　　　　　　 日付     着順");
    }
}

QStringList timeRankHeadLines(const Day &day, const Course &course, const Race &race, int kind)
{
    return {dayLine(day, course) + QStringLiteral(" 天候:") + race.weather + QLatin1Char(' ') +
                surfaceLetter(race.track) + QLatin1Char(':') + race.going,
            timeRankRaceLine(race), timeRankNameLine(race),
            QStringLiteral("【%1】  出走%2頭").arg(kindTitle(kind)).arg(race.runners.size())};
}

QString timeRankTrailer(const Race &race)
{
    int withRaces = 0;
    for (const Runner &r : race.runners)
        withRaces += r.past.isEmpty() ? 0 : 1;
    return QStringLiteral("対象%1頭中 %2頭").arg(race.runners.size()).arg(withRaces);
}

QString timeRankEntryLine(int kind, int rank, const RankEntry &e)
{
    const QString value = rankValueText(kind, e.value);
    const QString where = racing::PlaceName(e.race.course, 2) + pad(e.race.distance, 4) + pastSurface(e.race.track);
    const QString tail = QLatin1Char(' ') + e.race.date.toString(QStringLiteral("yy.MM.dd")) + QLatin1Char(' ') +
                         pad(e.race.place, 2) + QStringLiteral("着");
    const QString name = fixedName(e.name, 7);
    switch (kind) {
    case 0: // 1-2 rank, 4-9 race, 10-12 value, 14-15 horse, 17-23 name
        return pad(rank, 2) + QLatin1Char(' ') + where + pad(e.value, 3) + QLatin1Char(' ') + pad(e.horse, 2) +
               QLatin1Char(' ') + name + tail;
    case 2: // 1-2 rank, 4-9 race, 13-14 horse, 17-23 name, value last
        return pad(rank, 2) + QLatin1Char(' ') + where + QStringLiteral("   ") + pad(e.horse, 2) +
               QStringLiteral("  ") + name + tail + QLatin1Char(' ') + value;
    default: // 1-4 value, 6-11 race, 13-14 horse, 17-23 name
        return value + QLatin1Char(' ') + where + QLatin1Char(' ') + pad(e.horse, 2) + QStringLiteral("  ") + name +
               tail;
    }
}

QStringList timeRankLines(const Day &day, int kind)
{
    const QString dash(60, QLatin1Char('-'));
    QStringList lines;
    for (const Course &course : day.courses) {
        for (const Race &race : course.races) {
            const auto groups = rankings(day, race, kind);
            lines << timeRankHeadLines(day, course, race, kind);
            for (int g = 0; g < kRankGroups; ++g) {
                lines << timeRankTitleLine(race, kind, g);
                lines << timeRankColumnHeader(kind);
                if (g == 0) {
                    lines << QStringLiteral("  (上位５頭)");
                    lines << QString(60, QLatin1Char('='));
                }
                for (int k = 0; k < groups[g].size(); ++k)
                    lines << timeRankEntryLine(kind, k + 1, groups[g][k]);
                lines << dash;
            }
            lines << timeRankTrailer(race);
        }
    }
    return lines;
}

// ---------------------------------------------------------------- Korvin.trp

QString parameterKeys(int n)
{
    static const char *const places[10] = {"01", "02", "04", "03", "05", "06", "07", "08", "09", "10"};
    static const char *const classes[10] = {"00", "01", "04", "05", "09", "16", "30", "50", "70", "90"};
    static const char *const bands[8] = {"10", "12", "14", "16", "18", "20", "25", "99"};
    return QString::fromLatin1(places[n / 160]) + QString::fromLatin1(classes[(n / 16) % 10]) +
           QString::number((n / 8) % 2) + QString::fromLatin1(bands[n % 8]);
}

QByteArray parameterFile(quint32 seed)
{
    // Points per rank place, per period (全期間 .. １年半) and per table
    // (SameTrackNear, SameTrackAll, BothTracksNear, BothTracksAll), in percent.
    static const int rankPoints[5] = {10, 7, 5, 3, 2};
    static const int periodWeight[6] = {100, 130, 120, 110, 100, 90};
    static const int tableWeight[4] = {150, 100, 110, 70};
    QByteArray out;
    out.reserve(kParaRecords * kParaRecordBytes);
    for (int n = 0; n < kParaRecords; ++n) {
        Rng rng(mixSeed({seed, 7, quint32(n)}));
        // Newcomers' and dirt races' conditions lean on the near-distance tables.
        const int cls = (n / 16) % 10;
        const bool dirt = (n / 8) % 2 == 1;
        QByteArray rec = parameterKeys(n).toLatin1();
        for (int t = 0; t < 4; ++t) {
            const int extra = (t == 0 || t == 2) ? (dirt ? 20 : 0) + (cls <= 1 ? 10 : 0) : 0;
            for (int cell = 0; cell < 30; ++cell) {
                const int p = cell % 6;
                const int r = cell / 6;
                const int v =
                    (rankPoints[r] * periodWeight[p] * (tableWeight[t] + extra) + 5000) / 10000 + rng.range(-1, 1);
                rec += two(std::clamp(v, 0, 99)).toLatin1();
            }
        }
        rec += "\r\n";
        out += rec;
    }
    return out;
}

// ---------------------------------------------------------------- Korvin.ini

QStringList settingsLines(const QString &homeFolder)
{
    QString home = QDir::fromNativeSeparators(homeFolder);
    if (!home.endsWith(QLatin1Char('/')))
        home += QLatin1Char('/');
    auto line = [](const char *key, const QString &value) {
        return QString::fromLatin1(key).leftJustified(10, QLatin1Char(' ')) + value;
    };
    return {QStringLiteral("# Korvin settings of the demo day (written by korvin-demodata)"),
            line("Vantor_Ver", QStringLiteral("2.05")),
            line("MData", home + QStringLiteral("MData/")),
            line("SData", home + QStringLiteral("SData/")),
            line("SDataON", QStringLiteral("1")),
            line("DenCSV", home + QStringLiteral("DenCSV/")),
            line("VTX_Text", home + QStringLiteral("VTX/")),
            line("TimeRank", home + QStringLiteral("TimeRank/")),
            line("Wait1", QStringLiteral("2")),
            line("Wait2", QStringLiteral("1")),
            line("Wait3", QStringLiteral("1"))};
}

// ---------------------------------------------------------------- writing

namespace {

bool writeBytes(const QString &path, const QByteArray &bytes, QString *error)
{
    QString why;
    if (platform::saveWhole(path, bytes, &why))
        return true;
    if (error)
        *error = path + QStringLiteral(": ") + why;
    return false;
}

// An existing "Korvin.ini" is the user's when every folder it names exists.
bool settingsUsable(const QString &path)
{
    if (!platform::fileExists(path))
        return false;
    common::SettingsRecord s;
    if (!common::LoadSettingsFile(path, s).opened)
        return false;
    for (const QString &folder : {s.MData, s.SData, s.DenCSV, s.VTX_Text, s.TimeRank})
        if (folder.isEmpty() || !platform::folderExists(folder))
            return false;
    return true;
}

} // namespace

WriteReport writeDemoHome(const QString &folder, const Day &day, bool reset)
{
    WriteReport report;
    QDir dir(folder);
    const QString home = QDir::fromNativeSeparators(dir.absolutePath()) + QLatin1Char('/');
    // Korvin.ini is Shift-JIS: a folder it cannot name would point nowhere.
    if (platform::fromSjis(platform::toSjis(home)) != home) {
        report.error = QStringLiteral("the folder path cannot be written in Shift-JIS: ") + home;
        return report;
    }
    for (const char *sub : {"MData", "SData", "DenCSV", "VTX", "TimeRank", "Vantor"}) {
        if (!dir.mkpath(QString::fromLatin1(sub))) {
            report.error = QStringLiteral("cannot create ") + home + QString::fromLatin1(sub);
            return report;
        }
    }
    QString error;
    auto text = [&](const QString &rel, const QStringList &lines) {
        if (!error.isEmpty())
            return;
        if (platform::writeLines(home + rel, lines, &error))
            report.written << rel;
        else
            error = rel + QStringLiteral(": ") + error;
    };
    auto binary = [&](const QString &rel, const QByteArray &bytes) {
        if (!error.isEmpty())
            return;
        if (writeBytes(home + rel, bytes, &error))
            report.written << rel;
    };

    const QString ini = QStringLiteral("Korvin.ini");
    if (!reset && settingsUsable(home + ini))
        report.kept << ini;
    else
        text(ini, settingsLines(home));

    text(QStringLiteral("DenCSV/DC") + daySix(day) + QStringLiteral(".csv"), raceCardLines(day));
    text(QStringLiteral("VTX/Dx") + daySix(day) + QStringLiteral(".txt"), vtxLines(day));
    for (const Course &course : day.courses)
        binary(QStringLiteral("SData/") + payoutFileName(day, course), payoutFile(day, course));
    for (int kind = 0; kind < kRankKinds; ++kind)
        text(QStringLiteral("TimeRank/") + timeRankFileName(day, kind), timeRankLines(day, kind));
    text(QStringLiteral("Vantor/") + hostDayFileName(day), hostDayLines(day));

    const QString trp = QStringLiteral("Korvin.trp");
    if (!reset && platform::fileExists(home + trp))
        report.kept << trp;
    else
        binary(trp, parameterFile(day.seed));

    report.error = error;
    return report;
}

} // namespace korvin::demodata
