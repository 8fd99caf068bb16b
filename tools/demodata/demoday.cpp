#include "demoday.h"

#include "racing/codetables.h"
#include "rng.h"

#include <algorithm>

namespace korvin::demodata {

namespace {

// ---------------------------------------------------------------- racecourses

struct CourseProfile {
    const char *code;
    const char *direction; // "右" or "左"
    QVector<int> turf;
    QVector<int> dirt;
    QVector<int> jump;
};

const QVector<CourseProfile> &profiles()
{
    static const QVector<CourseProfile> list{
        {"01", "右", {1200, 1500, 1800, 2000, 2600}, {1000, 1700}, {2700}},
        {"02", "右", {1200, 1800, 2000, 2600}, {1000, 1700}, {2400}},
        {"03", "右", {1200, 1800, 2000, 2600}, {1150, 1700}, {2750, 3350}},
        {"04", "左", {1000, 1200, 1400, 1600, 1800, 2000, 2200}, {1200, 1800}, {2890, 3250}},
        {"05", "左", {1400, 1600, 1800, 2000, 2400}, {1300, 1400, 1600, 2100}, {3000, 3110}},
        {"06", "右", {1200, 1600, 1800, 2000, 2200, 2500}, {1200, 1800}, {3200, 3350}},
        {"07", "左", {1200, 1400, 1600, 2000, 2200}, {1200, 1400, 1800, 1900}, {3000, 3300}},
        {"08", "右", {1200, 1400, 1600, 1800, 2000, 2200, 2400}, {1200, 1400, 1800, 1900}, {3170, 3930}},
        {"09", "右", {1200, 1400, 1600, 1800, 2000, 2200, 2400}, {1200, 1400, 1800, 2000}, {2970, 3140}},
        {"10", "右", {1200, 1800, 2000, 2600}, {1000, 1700}, {2860}},
    };
    return list;
}

const CourseProfile &profileOf(const QString &code)
{
    for (const auto &p : profiles())
        if (code == QLatin1String(p.code))
            return p;
    return profiles().front();
}

// ---------------------------------------------------------------- classes

struct ClassInfo {
    const char *name; // as the race name line writes it
    int code;         // race-card class code
    int base;         // typical time figure of the class
};

const ClassInfo kNewcomer{"新馬", 15, 75};
const ClassInfo kMaiden{"未勝利", 7, 78};
const ClassInfo kC500{"500万下", 23, 84};
const ClassInfo kC900{"900万下", 39, 88};
const ClassInfo kC1600{"1600万下", 67, 92};
const ClassInfo kOpen{"オープン", 131, 95};
const ClassInfo kG3{"Ｇ３", 163, 98};
const ClassInfo kG2{"Ｇ２", 179, 100};
const ClassInfo kG1{"Ｇ１", 195, 102};

const QStringList &specialNames()
{
    static const QStringList names{
        QStringLiteral("青葉特別"),       QStringLiteral("若鮎特別"),     QStringLiteral("紫陽花ステークス"),
        QStringLiteral("薫風ステークス"), QStringLiteral("夏至特別"),     QStringLiteral("白百合ステークス"),
        QStringLiteral("初夏特別"),       QStringLiteral("葵ステークス"), QStringLiteral("緑風特別"),
        QStringLiteral("麦秋特別"),       QStringLiteral("潮騒特別"),     QStringLiteral("南風ステークス"),
        QStringLiteral("蛍火特別"),       QStringLiteral("清流特別"),     QStringLiteral("立葵賞"),
        QStringLiteral("早苗特別"),       QStringLiteral("鈴蘭賞"),       QStringLiteral("水芭蕉特別")};
    return names;
}

const QStringList &mainNames()
{
    static const QStringList names{QStringLiteral("水無月記念"), QStringLiteral("北斗賞"),
                                   QStringLiteral("鳳凰カップ"), QStringLiteral("白鷺ステークス"),
                                   QStringLiteral("天空記念"),   QStringLiteral("銀河ステークス")};
    return names;
}

// ---------------------------------------------------------------- names

const QStringList &namePrefixes()
{
    static const QStringList list{
        QStringLiteral("シルバー"), QStringLiteral("ゴールド"), QStringLiteral("ブルー"),   QStringLiteral("レッド"),
        QStringLiteral("ミスター"), QStringLiteral("ミス"),     QStringLiteral("スター"),   QStringLiteral("ムーン"),
        QStringLiteral("サン"),     QStringLiteral("ウインド"), QStringLiteral("スカイ"),   QStringLiteral("ファイン"),
        QStringLiteral("ロイヤル"), QStringLiteral("ノーブル"), QStringLiteral("ハッピー"), QStringLiteral("ラッキー"),
        QStringLiteral("スイート"), QStringLiteral("クイック"), QStringLiteral("ブライト"), QStringLiteral("ミラクル"),
        QStringLiteral("ワンダー"), QStringLiteral("サクセス"), QStringLiteral("グラン"),   QStringLiteral("マジック")};
    return list;
}

const QStringList &nameSuffixes()
{
    static const QStringList list{
        QStringLiteral("アロー"),   QStringLiteral("ウイング"),   QStringLiteral("キング"),
        QStringLiteral("クイーン"), QStringLiteral("プリンス"),   QStringLiteral("ダンサー"),
        QStringLiteral("ランナー"), QStringLiteral("ストーム"),   QStringLiteral("ブリーズ"),
        QStringLiteral("ソング"),   QStringLiteral("ドリーム"),   QStringLiteral("ハート"),
        QStringLiteral("ジュエル"), QStringLiteral("ローズ"),     QStringLiteral("リリー"),
        QStringLiteral("タイガー"), QStringLiteral("イーグル"),   QStringLiteral("ホープ"),
        QStringLiteral("ビーナス"), QStringLiteral("レジェンド"), QStringLiteral("シャトル"),
        QStringLiteral("ボーイ"),   QStringLiteral("ガール"),     QStringLiteral("フラッシュ")};
    return list;
}

const QStringList &surnames()
{
    static const QStringList list{
        QStringLiteral("佐藤"), QStringLiteral("鈴木"), QStringLiteral("高橋"), QStringLiteral("田中"),
        QStringLiteral("渡辺"), QStringLiteral("伊藤"), QStringLiteral("山本"), QStringLiteral("中村"),
        QStringLiteral("小林"), QStringLiteral("加藤"), QStringLiteral("吉田"), QStringLiteral("山田"),
        QStringLiteral("松本"), QStringLiteral("井上"), QStringLiteral("木村"), QStringLiteral("清水"),
        QStringLiteral("山崎"), QStringLiteral("池田"), QStringLiteral("橋本"), QStringLiteral("石川")};
    return list;
}

const QStringList &givenNames()
{
    static const QStringList list{
        QStringLiteral("誠"), QStringLiteral("豊"), QStringLiteral("勝"), QStringLiteral("剛"), QStringLiteral("健"),
        QStringLiteral("翔"), QStringLiteral("亮"), QStringLiteral("優"), QStringLiteral("大"), QStringLiteral("隆")};
    return list;
}

QString comment(Rng &rng, int lastPlace)
{
    static const QStringList good{QStringLiteral("好位追走, 直線抜け出す"), QStringLiteral("逃げ粘る"),
                                  QStringLiteral("中団から, 鋭く伸びる"), QStringLiteral("外から差し切る")};
    static const QStringList fair{QStringLiteral("中団追走, 直線伸びる"), QStringLiteral("先行し, 粘り込む"),
                                  QStringLiteral("後方から, 外を回る"), QStringLiteral("内で包まれる")};
    static const QStringList poor{QStringLiteral("出遅れ, 追い込み届かず"), QStringLiteral("中団追走 直線失速"),
                                  QStringLiteral("掛かり気味, 伸びず"), QStringLiteral("後方のまま")};
    if (lastPlace <= 3)
        return rng.pick(good.toVector());
    if (lastPlace <= 7)
        return rng.pick(fair.toVector());
    return rng.pick(poor.toVector());
}

int round10(qint64 yen) { return int((yen + 5) / 10 * 10); }

// ---------------------------------------------------------------- past races

void fillTimes(PastRace &p, Rng &rng)
{
    const int d = p.distance;
    const int fig = p.figure > 0 ? p.figure : 70;
    int speedMilli;
    int last3f;
    int first3f;
    if (p.track == Jump) {
        speedMilli = 14600 - (d - 3000) * 4 / 10;
        last3f = 375 + rng.range(-10, 10);
        first3f = 385 + rng.range(-10, 10);
    } else if (p.track == Dirt) {
        speedMilli = 16700 - (d - 1000) * 6 / 10;
        last3f = 368 + (d - 1200) / 200 * 2 + (80 - fig) / 2 + rng.range(-8, 8);
        first3f = 352 + (d - 1200) / 100 + rng.range(-10, 10);
    } else {
        speedMilli = 17300 - (d - 1000) * 6 / 10;
        last3f = 342 + (d - 1200) / 200 * 2 + (80 - fig) / 2 + rng.range(-8, 8);
        first3f = 342 + (d - 1200) / 100 + rng.range(-10, 10);
    }
    speedMilli += (fig - 80) * 15 + rng.range(-120, 120);
    p.timeTenths = int((qint64(d) * 10000 + speedMilli / 2) / speedMilli);
    p.last3fTenths = last3f;
    p.first3fTenths = first3f;
    p.speedTenths = int(qint64(d) * 100 / p.timeTenths);
    const int paceAvg = (p.timeTenths - last3f) * 600 / (d - 600);
    p.pciTenths = std::clamp(paceAvg * 1000 / last3f - 500, 0, 999);
}

QString sexAge(Rng &rng, int minAge, int maxAge)
{
    static const QStringList sexes{QStringLiteral("牡"), QStringLiteral("牝"), QStringLiteral("セ")};
    const int age = rng.range(minAge, maxAge);
    const int s = rng.weighted(age <= 2 ? QVector<int>{55, 45, 0} : QVector<int>{55, 38, 7});
    return sexes[s] + QString::number(age);
}

int intervalWeeks(Rng &rng)
{
    static const QVector<int> weeks{1, 2, 3, 4, 5, 6, 7, 8, 9, 12, 15, 18, 24, 32};
    static const QVector<int> weights{5, 10, 12, 12, 10, 8, 6, 6, 4, 4, 3, 2, 2, 1};
    return weeks[rng.weighted(weights)];
}

struct RacePlan {
    ClassInfo cls;
    QString ages;    // "２歳", "３歳", "３歳上", "４歳上"
    QString special; // race name, empty for a plain race
    bool jump = false;
};

} // namespace

// ---------------------------------------------------------------- texts

QString Runner::ziText() const
{
    if (ziTenths % 10 == 0)
        return QString::number(ziTenths / 10);
    return QStringLiteral("%1.%2").arg(ziTenths / 10).arg(ziTenths % 10);
}

QString Runner::oddsText() const
{
    if (abnormal == Scratched)
        return {};
    return QStringLiteral("%1.%2").arg(oddsTenths / 10).arg(oddsTenths % 10);
}

QString Runner::resultText() const
{
    if (abnormal == Scratched)
        return {};
    return QString::number(result);
}

int Race::starters() const
{
    int n = 0;
    for (const auto &r : runners)
        if (r.abnormal != Scratched && r.abnormal != Excluded)
            ++n;
    return n;
}

QString raceKey(const Day &day, const Course &course, const Race &race)
{
    return course.code + QStringLiteral("%1").arg(day.date.year() % 100, 2, 10, QLatin1Char('0')) +
           QString::number(course.meeting) + QString::number(course.day) +
           QStringLiteral("%1").arg(race.number, 2, 10, QLatin1Char('0'));
}

QString dayLine(const Day &day, const Course &course)
{
    static const QStringList weekdays{QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
                                      QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土"),
                                      QStringLiteral("日")};
    return QStringLiteral("%1年%2月%3日(%4) %5回%6%7日目")
        .arg(day.date.year(), 4)
        .arg(day.date.month(), 2)
        .arg(day.date.day(), 2)
        .arg(weekdays[day.date.dayOfWeek() - 1])
        .arg(course.meeting)
        .arg(course.name)
        .arg(course.day);
}

QString raceLabel(int race)
{
    if (race < 10)
        return QString(QChar(0xFF10 + race)) + QStringLiteral("Ｒ");
    return QString::number(race) + QStringLiteral("Ｒ");
}

QString surfaceLetter(int track) { return track == Dirt ? QStringLiteral("ダ") : QStringLiteral("芝"); }

// ---------------------------------------------------------------- rankings

bool largerIsBetter(int kind) { return kind == 0 || kind == 4 || kind == 5; }

bool rankValue(const PastRace &past, int kind, int &value)
{
    if (past.figure <= 0)
        return false; // a race without a figure has no times either
    switch (kind) {
    case 0: value = past.figure; break;
    case 1: value = past.timeTenths; break;
    case 2: value = past.last3fTenths; break;
    case 3: value = past.first3fTenths; break;
    case 4: value = past.speedTenths; break;
    case 5: value = past.pciTenths; break;
    default: return false;
    }
    return true;
}

QString rankValueText(int kind, int value)
{
    QString t;
    if (kind == 0) {
        t = QString::number(value);
    } else if (kind == 1) {
        const int minutes = value / 600;
        const int seconds = (value % 600) / 10;
        t = QStringLiteral("%1%2%3").arg(minutes).arg(seconds, 2, 10, QLatin1Char('0')).arg(value % 10);
    } else {
        t = QStringLiteral("%1.%2").arg(value / 10).arg(value % 10);
    }
    return t.rightJustified(4, QLatin1Char(' '));
}

QVector<RankEntry> rankingView(const Day &day, const Race &race, int kind, Surface surface, bool near, int period)
{
    static const int periodDays[kPeriods] = {1000000, 91, 182, 273, 365, 547};
    const bool larger = largerIsBetter(kind);
    const int limit = periodDays[std::clamp(period, 0, kPeriods - 1)];
    QVector<RankEntry> best;
    for (const Runner &r : race.runners) {
        bool found = false;
        RankEntry e;
        for (const PastRace &p : r.past) {
            if (p.date.daysTo(day.date) > limit)
                continue;
            if ((surface == Surface::Own && p.track != race.track) ||
                (surface == Surface::Other && p.track == race.track))
                continue;
            if (near && std::abs(p.distance - race.distance) > 200)
                continue;
            int v = 0;
            if (!rankValue(p, kind, v))
                continue;
            if (!found || (larger ? v > e.value : v < e.value)) {
                found = true;
                e.horse = r.number;
                e.name = r.name;
                e.value = v;
                e.race = p;
            }
        }
        if (found)
            best.append(e);
    }
    std::stable_sort(best.begin(), best.end(), [larger](const RankEntry &a, const RankEntry &b) {
        return larger ? a.value > b.value : a.value < b.value;
    });
    return best;
}

bool switchesToAllDistances(int kind) { return kind != 1 && kind != 3; }

QVector<QVector<RankEntry>> rankings(const Day &day, const Race &race, int kind)
{
    QVector<QVector<RankEntry>> groups(kRankGroups);
    for (int g = 0; g < kRankGroups; ++g) {
        const int block = g / 6; // 0 own surface ±200m, 1 both ±200m, 2 own all, 3 both all
        groups[g] = rankingView(day, race, kind, block % 2 == 0 ? Surface::Own : Surface::Both,
                                block < 2 || !switchesToAllDistances(kind), g % 6);
        if (groups[g].size() > 5)
            groups[g].resize(5);
    }
    return groups;
}

// ---------------------------------------------------------------- the day

void assignFrames(QVector<Runner> &runners)
{
    const int n = int(runners.size());
    if (n <= 8) {
        for (int i = 0; i < n; ++i)
            runners[i].frame = i + 1;
        return;
    }
    int horse = 0;
    for (int f = 1; f <= 8; ++f) {
        const int count = n / 8 + (f > 8 - n % 8 ? 1 : 0);
        for (int k = 0; k < count; ++k)
            runners[horse++].frame = f;
    }
}

namespace {

QVector<RacePlan> programme(Rng &rng, bool jumpCourse, bool gradedCourse)
{
    QVector<RacePlan> plans(12);
    const QString y2 = QStringLiteral("２歳"), y3 = QStringLiteral("３歳"), y3u = QStringLiteral("３歳上"),
                  y4u = QStringLiteral("４歳上");
    plans[0] = {kMaiden, y3, {}, false};
    plans[1] = {kMaiden, y3, {}, false};
    plans[2] = rng.chance(50) ? RacePlan{kMaiden, y3, {}, false} : RacePlan{kNewcomer, y2, {}, false};
    plans[3] =
        jumpCourse ? RacePlan{rng.chance(70) ? kMaiden : kOpen, y4u, {}, true} : RacePlan{kMaiden, y3, {}, false};
    plans[4] = {kNewcomer, y2, {}, false};
    plans[5] = {rng.chance(60) ? kMaiden : kC500, y3, {}, false};
    if (plans[5].cls.code == kC500.code)
        plans[5].ages = y3u;
    plans[6] = {kC500, y3u, {}, false};
    plans[7] = {kC500, y3u, {}, false};
    plans[8] = {kC900, y3u, QStringLiteral("*"), false};
    plans[9] = {rng.chance(50) ? kC900 : kC1600, y3u, QStringLiteral("*"), false};
    if (gradedCourse)
        plans[10] = {QVector<ClassInfo>{kG3, kG2, kG1}[rng.range(0, 2)], y3u, QStringLiteral("**"), false};
    else
        plans[10] = {rng.chance(60) ? kOpen : kC1600, y3u, QStringLiteral("*"), false};
    plans[11] = {rng.chance(50) ? kC500 : kC900, y3u, {}, false};
    return plans;
}

int fieldSize(Rng &rng, const ClassInfo &cls, bool jump)
{
    if (jump)
        return rng.range(8, 14);
    if (cls.code == kNewcomer.code)
        return rng.range(9, 16);
    if (cls.code == kMaiden.code)
        return rng.range(12, 16);
    if (cls.code >= kG3.code)
        return rng.range(14, 18);
    return rng.range(9, 16);
}

enum Special { None, SmallField, FullField, DeadHeatWin, DeadHeatSecond, DeadHeatThird, TripleDeadHeatThird };

struct RaceSlot {
    int course;
    int race;
};

void makeRunners(const Day &day, Race &race, const RacePlan &plan, Rng &rng)
{
    const int n = int(race.runners.size());
    QStringList used;
    const int jockeyCount = surnames().size() * givenNames().size();
    QVector<int> jockeys;
    for (int i = 0; i < jockeyCount; ++i)
        jockeys << i;
    rng.shuffle(jockeys);
    for (int i = 0; i < n; ++i) {
        Runner &r = race.runners[i];
        r.number = i + 1;
        QString name;
        do {
            const QString a = rng.pick(namePrefixes().toVector());
            const QString b = rng.pick(nameSuffixes().toVector());
            name = a + b;
        } while (name.size() > 9 || used.contains(name));
        used << name;
        r.name = name;
        const bool twoYear = plan.ages == QStringLiteral("２歳");
        const bool threeYear = plan.ages == QStringLiteral("３歳");
        r.sexAge = twoYear     ? sexAge(rng, 2, 2)
                   : threeYear ? sexAge(rng, 3, 3)
                   : plan.jump ? sexAge(rng, 4, 8)
                               : sexAge(rng, 3, 6);
        const bool filly = r.sexAge.startsWith(QStringLiteral("牝"));
        r.carriedTenths = (twoYear ? 540 : threeYear ? 560 : 570) - (filly ? 20 : 0);
        if (plan.jump)
            r.carriedTenths = 600 - (filly ? 20 : 0);
        if (race.conditions.contains(QStringLiteral("ハンデ")))
            r.carriedTenths = 500 + 5 * rng.range(0, 16);
        const int j = jockeys[i % jockeys.size()];
        r.jockey = surnames()[j / givenNames().size()] + givenNames()[j % givenNames().size()];
        r.trainer =
            (rng.chance(50) ? QStringLiteral("(美)") : QStringLiteral("(栗)")) + rng.pick(surnames().toVector());
        r.bodyWeight = rng.range(410, 540);
        r.blinkers = rng.chance(15);
        r.vtxTail = r.blinkers ? 0 : rng.range(0, 2);
        r.ability = plan.cls.base + rng.bell(6);
        r.id = QStringLiteral("%1%2").arg(day.date.year() - (r.sexAge.mid(1).toInt())).arg(rng.range(100000, 109999));

        // Past races, most recent first.
        const bool debut = plan.cls.code == kNewcomer.code;
        int count = 0;
        if (!debut)
            count = plan.cls.code == kMaiden.code ? rng.range(1, 7) : (rng.chance(80) ? 7 : rng.range(3, 6));
        r.interval = count > 0 ? intervalWeeks(rng) : 0;
        QDate when = day.date.addDays(-7 * r.interval);
        for (int k = 0; k < count; ++k) {
            PastRace p;
            p.date = when;
            p.course = rng.pick(racing::PlaceCodes().toVector());
            if (plan.jump)
                p.track = rng.chance(60) ? Jump : Turf;
            else
                p.track = rng.chance(75) ? race.track : (race.track == Turf ? Dirt : Turf);
            // A trip that course has, near today's distance for the same surface.
            const int target =
                p.track == race.track ? race.distance + 200 * rng.range(-2, 2) : 1000 + 100 * rng.range(2, 14);
            const CourseProfile &where = profileOf(p.course);
            const QVector<int> &trips = p.track == Jump ? where.jump : p.track == Dirt ? where.dirt : where.turf;
            p.distance = trips.front();
            for (int t : trips)
                if (std::abs(t - target) < std::abs(p.distance - target))
                    p.distance = t;
            p.figure = r.ability + rng.bell(6) - (p.track != race.track ? 3 : 0) - (k > 3 ? 2 : 0);
            if (rng.chance(4))
                p.figure = 0;
            p.place = std::clamp(9 - (p.figure - plan.cls.base) / 2 + rng.range(-3, 3), 1, 16);
            if (p.figure == 0)
                p.place = rng.range(10, 16);
            fillTimes(p, rng);
            r.past << p;
            when = when.addDays(-7 * (rng.chance(12) ? rng.range(15, 30) : rng.range(2, 10)));
        }
        if (!r.past.isEmpty()) {
            static const QStringList styles{QStringLiteral("逃"), QStringLiteral("先"), QStringLiteral("差"),
                                            QStringLiteral("追")};
            r.pace = styles[rng.weighted({15, 35, 35, 15})];
            r.comment = comment(rng, r.past.front().place);
        } else {
            r.pace = QStringLiteral(" ");
        }
        int zi = r.ability * 12 + rng.bell(40);
        if (rng.chance(65))
            zi = zi / 10 * 10;
        r.ziTenths = zi;
    }
    assignFrames(race.runners);
}

void makeOdds(Race &race, Rng &rng)
{
    int minAbility = 1000;
    for (const auto &r : race.runners)
        if (r.abnormal != Scratched)
            minAbility = std::min(minAbility, r.ability);
    qint64 sum = 0;
    QVector<qint64> w(race.runners.size());
    for (int i = 0; i < race.runners.size(); ++i) {
        const auto &r = race.runners[i];
        if (r.abnormal == Scratched)
            continue;
        const qint64 a = r.ability - minAbility + 3;
        w[i] = a * a * a;
        sum += w[i];
    }
    for (int i = 0; i < race.runners.size(); ++i) {
        auto &r = race.runners[i];
        if (r.abnormal == Scratched) {
            r.oddsTenths = 0;
            continue;
        }
        const qint64 raw = 8 * sum / w[i] * (100 + rng.bell(15)) / 100;
        r.oddsTenths = int(std::clamp<qint64>(raw, 11, 9999));
    }
}

void makeResults(Race &race, Special special, Rng &rng)
{
    QVector<int> order;
    QVector<int> perf(race.runners.size());
    for (int i = 0; i < race.runners.size(); ++i) {
        const auto &r = race.runners[i];
        if (r.abnormal != Normal)
            continue;
        perf[i] = r.ability * 10 + rng.bell(60);
        order << i;
    }
    std::stable_sort(order.begin(), order.end(), [&perf](int a, int b) { return perf[a] > perf[b]; });
    for (int k = 0; k < order.size(); ++k)
        race.runners[order[k]].result = k + 1;
    for (auto &r : race.runners)
        if (r.abnormal != Normal)
            r.result = 0;
    // Dead heats: the horse behind shares the place of the one in front.
    switch (special) {
    case DeadHeatWin: race.runners[order[1]].result = 1; break;
    case DeadHeatSecond: race.runners[order[2]].result = 2; break;
    case DeadHeatThird: race.runners[order[3]].result = 3; break;
    case TripleDeadHeatThird:
        race.runners[order[3]].result = 3;
        race.runners[order[4]].result = 3;
        break;
    default: break;
    }
}

void makePayouts(Race &race)
{
    Payouts &p = race.payouts;
    const int placesPaid = race.starters() >= 8 ? 3 : 2;
    QVector<const Runner *> byPlace;
    for (const auto &r : race.runners)
        if (r.result > 0)
            byPlace << &r;
    std::stable_sort(byPlace.begin(), byPlace.end(),
                     [](const Runner *a, const Runner *b) { return a->result < b->result; });
    QVector<const Runner *> winners, seconds;
    for (const Runner *r : byPlace) {
        if (r->result == 1)
            winners << r;
        else if (r->result == 2)
            seconds << r;
    }
    const bool deadHeat = winners.size() > 1;
    for (const Runner *r : winners)
        p.win << PayoutEntry{r->number, 0,
                             std::max(100, round10(qint64(r->oddsTenths) * 10 * (deadHeat ? 55 : 100) / 100))};
    for (const Runner *r : byPlace)
        if (r->result <= placesPaid && p.place.size() < 5)
            p.place << PayoutEntry{r->number, 0, std::max(100, round10(100 + qint64(r->oddsTenths - 10) * 25 / 10))};
    QVector<QPair<const Runner *, const Runner *>> pairs;
    if (deadHeat)
        pairs << qMakePair(winners[0], winners[1]);
    else
        for (const Runner *s : seconds)
            pairs << qMakePair(winners[0], s);
    for (const auto &pr : pairs) {
        const qint64 product = qint64(pr.first->oddsTenths) * pr.second->oddsTenths;
        const int lo = std::min(pr.first->number, pr.second->number);
        const int hi = std::max(pr.first->number, pr.second->number);
        if (p.quinella.size() < 3)
            p.quinella << PayoutEntry{lo, hi, int(std::clamp<qint64>(round10(product / 2), 110, 99999990))};
        if (race.runners.size() >= 9) {
            const int flo = std::min(pr.first->frame, pr.second->frame);
            const int fhi = std::max(pr.first->frame, pr.second->frame);
            bool seen = false;
            for (const auto &b : p.bracket)
                seen = seen || (b.first == flo && b.second == fhi);
            if (!seen && p.bracket.size() < 3)
                p.bracket << PayoutEntry{flo, fhi, int(std::clamp<qint64>(round10(product * 10 / 25), 110, 9999990))};
        }
    }
}

// Margins, fourth-corner positions, times and the order of favourites: what
// the host's result screen shows. Drawn from a stream of their own, so the
// rest of the day does not change with them.
void makeRunning(Race &race, Rng &rng)
{
    struct Margin {
        const char *text;
        int quarters;
        int weight;
    };
    static const Margin margins[] = {
        {"ハナ", 0, 4},   {"アタマ", 1, 5}, {"クビ", 1, 6},  {"1/2", 2, 10}, {"3/4", 3, 8},    {"1", 4, 9},
        {"1.1/4", 5, 5},  {"1.1/2", 6, 7},  {"1.3/4", 7, 3}, {"2", 8, 7},    {"2.1/2", 10, 5}, {"3", 12, 5},
        {"3.1/2", 14, 3}, {"4", 16, 3},     {"5", 20, 2},    {"6", 24, 1},   {"8", 32, 1},     {"10", 40, 1}};
    QVector<int> weights;
    for (const Margin &m : margins)
        weights << m.weight;

    QVector<Runner *> finishers;
    for (Runner &r : race.runners)
        if (r.result > 0)
            finishers << &r;
    std::stable_sort(finishers.begin(), finishers.end(),
                     [](const Runner *a, const Runner *b) { return a->result < b->result; });
    const int d = race.distance;
    const int speedMilli = race.track == Jump   ? 14600 - (d - 3000) * 4 / 10
                           : race.track == Dirt ? 16700 - (d - 1000) * 6 / 10
                                                : 17300 - (d - 1000) * 6 / 10;
    const int winnerTenths = int((qint64(d) * 10000 + speedMilli / 2) / speedMilli);
    int behind = 0;
    for (int k = 0; k < finishers.size(); ++k) {
        Runner &r = *finishers[k];
        if (k > 0 && r.result == finishers[k - 1]->result) {
            r.deadHeat = true;
        } else if (k > 0) {
            // The last of a full field is beaten a distance.
            const bool tailOff = k == finishers.size() - 1 && finishers.size() >= 16;
            const Margin &m = margins[rng.weighted(weights)];
            r.margin = tailOff ? QStringLiteral("大差") : QString::fromUtf8(m.text);
            behind += tailOff ? 120 : m.quarters;
        }
        r.behindQuarters = behind;
        r.timeTenths = winnerTenths + (behind * 42 + 50) / 100; // a length is about 0.17 s
    }
    // Fourth corner: the finishing order shuffled a little; a runner that was
    // stopped was somewhere in the field.
    QVector<QPair<int, Runner *>> atCorner;
    for (Runner &r : race.runners) {
        if (r.result > 0)
            atCorner << qMakePair(r.result * 4 + rng.range(-12, 12), &r);
        else if (r.abnormal == Stopped)
            atCorner << qMakePair(rng.range(0, 4 * int(finishers.size())), &r);
    }
    std::stable_sort(atCorner.begin(), atCorner.end(),
                     [](const QPair<int, Runner *> &a, const QPair<int, Runner *> &b) { return a.first < b.first; });
    for (int k = 0; k < atCorner.size(); ++k)
        atCorner[k].second->corner = k + 1;
    QVector<Runner *> byOdds;
    for (Runner &r : race.runners)
        if (r.abnormal != Scratched)
            byOdds << &r;
    std::stable_sort(byOdds.begin(), byOdds.end(),
                     [](const Runner *a, const Runner *b) { return a->oddsTenths < b->oddsTenths; });
    for (int k = 0; k < byOdds.size(); ++k)
        byOdds[k]->popularity = k + 1;
}

QString conditionsOf(const RacePlan &plan, Rng &rng)
{
    if (plan.jump)
        return QStringLiteral("(混)定量");
    if (plan.cls.code == kNewcomer.code || plan.cls.code == kMaiden.code)
        return rng.chance(50) ? QStringLiteral("(混)[指定]馬齢") : QStringLiteral("(混)馬齢");
    if (plan.special.isEmpty())
        return QStringLiteral("(混)[指定]定量");
    if (plan.special == QStringLiteral("**"))
        return QStringLiteral("(国際)(指定)別定");
    return rng.chance(30) ? QStringLiteral("(混)(特指)ハンデ") : QStringLiteral("(混)(特指)定量");
}

} // namespace

Day makeDay(quint32 seed, const QDate &date)
{
    Day day;
    day.seed = seed;
    day.date = date;
    Rng rng(mixSeed({seed, 1}));

    // Three courses: an eastern and a western main course and a local one;
    // the day's graded race is run on one of the two main courses.
    const QString east = rng.pick(QVector<QString>{QStringLiteral("05"), QStringLiteral("06")});
    const QString west = rng.pick(QVector<QString>{QStringLiteral("07"), QStringLiteral("08"), QStringLiteral("09")});
    const QString local = rng.pick(QVector<QString>{QStringLiteral("01"), QStringLiteral("02"), QStringLiteral("03"),
                                                    QStringLiteral("04"), QStringLiteral("10")});
    QStringList codes{east, west, local};
    codes.sort();
    const QString gradedCode = rng.chance(50) ? east : west;
    const int meetingDay = rng.range(1, 8);
    const int jumpCourse = rng.range(0, 2);
    const QVector<QString> weathers{QStringLiteral("晴"), QStringLiteral("曇"), QStringLiteral("雨")};
    const QVector<QString> goings{QStringLiteral("良"), QStringLiteral("稍"), QStringLiteral("重"),
                                  QStringLiteral("不")};

    QVector<QVector<RacePlan>> plans;
    for (int c = 0; c < codes.size(); ++c) {
        Course course;
        course.code = codes[c];
        course.name = racing::PlaceName(course.code, 4);
        course.letter = racing::PlaceName(course.code, 2);
        course.meeting = rng.range(1, 5);
        course.day = meetingDay;
        const QString weather = weathers[rng.weighted({6, 3, 1})];
        const QString going = goings[weather == weathers[2] ? rng.range(1, 3) : rng.weighted({8, 2, 0, 0})];
        Rng courseRng(mixSeed({seed, 2, quint32(c)}));
        const auto plan = programme(courseRng, c == jumpCourse, course.code == gradedCode);
        const CourseProfile &prof = profileOf(course.code);
        QStringList usedNames;
        for (int i = 0; i < 12; ++i) {
            Race race;
            race.number = i + 1;
            race.classCode = plan[i].cls.code;
            race.className = QString::fromUtf8(plan[i].cls.name);
            if (plan[i].jump) {
                race.track = Jump;
                race.distance = courseRng.pick(prof.jump);
            } else {
                const bool dirt = (i < 3 || i == 5 || i == 7 || i == 11) ? courseRng.chance(60) : courseRng.chance(20);
                race.track = dirt && !prof.dirt.isEmpty() ? Dirt : Turf;
                QVector<int> choice = race.track == Dirt ? prof.dirt : prof.turf;
                // Two-year-olds make their debut over short trips.
                if (plan[i].ages == QStringLiteral("２歳")) {
                    QVector<int> shortTrips;
                    for (int d : choice)
                        if (d <= 1800)
                            shortTrips << d;
                    if (!shortTrips.isEmpty())
                        choice = shortTrips;
                }
                race.distance = courseRng.pick(choice);
            }
            race.direction = QString::fromUtf8(prof.direction);
            if (course.code == QLatin1String("04") && race.track == Turf && race.distance == 1000)
                race.direction = QStringLiteral("直");
            QString name;
            if (plan[i].special == QStringLiteral("**")) {
                name = courseRng.pick(mainNames().toVector());
            } else if (!plan[i].special.isEmpty()) {
                do {
                    name = courseRng.pick(specialNames().toVector());
                } while (usedNames.contains(name));
                usedNames << name;
            }
            if (plan[i].jump)
                race.title = QStringLiteral("障害") + plan[i].ages + QStringLiteral("・") + race.className;
            else if (name.isEmpty())
                race.title = QStringLiteral("サラ系") + plan[i].ages + QStringLiteral("・") + race.className;
            else
                race.title = name + QStringLiteral("・") + race.className;
            race.conditions = conditionsOf(plan[i], courseRng);
            race.startMinutes = 10 * 60 + 5 + 30 * i + (i >= 4 ? 45 : 0) + (c * 10);
            race.prizeMan = plan[i].cls.code >= kG3.code         ? 3800 + 100 * courseRng.range(0, 60)
                            : plan[i].cls.code == kOpen.code     ? 2200 + 100 * courseRng.range(0, 3)
                            : plan[i].cls.code == kC1600.code    ? 1800
                            : plan[i].cls.code == kC900.code     ? 1400
                            : plan[i].cls.code == kC500.code     ? 960
                            : plan[i].cls.code == kNewcomer.code ? 700
                                                                 : 500;
            race.weather = weather;
            race.going = going;
            race.runners.resize(fieldSize(courseRng, plan[i].cls, plan[i].jump));
            course.races << race;
        }
        plans << plan;
        day.courses << course;
    }

    // Races with a special story: a small field, a full field, dead heats.
    QVector<RaceSlot> raceSlots;
    for (int c = 0; c < day.courses.size(); ++c)
        for (int i = 0; i < 12; ++i)
            if (!plans[c][i].jump)
                raceSlots << RaceSlot{c, i};
    rng.shuffle(raceSlots);
    QVector<QVector<Special>> special(day.courses.size(), QVector<Special>(12, None));
    auto take = [&](Special s, auto fits) {
        for (const auto &slot : raceSlots) {
            if (special[slot.course][slot.race] == None && fits(day.courses[slot.course].races[slot.race], slot)) {
                special[slot.course][slot.race] = s;
                return;
            }
        }
    };
    take(SmallField, [](const Race &, const RaceSlot &s) { return s.race >= 8 && s.race <= 9; });
    take(FullField, [](const Race &, const RaceSlot &s) { return s.race == 10 || s.race <= 2; });
    for (int c = 0; c < day.courses.size(); ++c)
        for (int i = 0; i < 12; ++i) {
            if (special[c][i] == SmallField)
                day.courses[c].races[i].runners.resize(Rng(mixSeed({seed, 3, quint32(c), quint32(i)})).range(5, 7));
            if (special[c][i] == FullField)
                day.courses[c].races[i].runners.resize(18);
        }
    auto bigField = [](const Race &r, const RaceSlot &) { return r.runners.size() >= 10; };
    take(DeadHeatWin, bigField);
    take(DeadHeatSecond, bigField);
    take(DeadHeatThird, bigField);
    take(TripleDeadHeatThird, bigField);

    // Runners, abnormal results, odds, results and payouts, race by race.
    for (int c = 0; c < day.courses.size(); ++c) {
        Course &course = day.courses[c];
        for (int i = 0; i < 12; ++i) {
            Rng raceRng(mixSeed({seed, 4, quint32(c), quint32(i)}));
            makeRunners(day, course.races[i], plans[c][i], raceRng);
        }
    }
    // One scratching, one horse stopped (in the jump race when there is one), one demotion.
    {
        Race &jump = day.courses[jumpCourse].races[3];
        const bool hasJump = plans[jumpCourse][3].jump;
        Race *stopped = hasJump ? &jump : nullptr;
        RaceSlot scratchSlot{-1, -1}, demoteSlot{-1, -1};
        for (const auto &slot : raceSlots) {
            if (special[slot.course][slot.race] != None)
                continue;
            if (scratchSlot.course < 0)
                scratchSlot = slot;
            else if (demoteSlot.course < 0)
                demoteSlot = slot;
            else if (!stopped) {
                stopped = &day.courses[slot.course].races[slot.race];
                break;
            }
        }
        if (scratchSlot.course >= 0) {
            Race &r = day.courses[scratchSlot.course].races[scratchSlot.race];
            r.runners[rng.range(0, int(r.runners.size()) - 1)].abnormal = Scratched;
        }
        if (stopped)
            stopped->runners[rng.range(0, int(stopped->runners.size()) - 1)].abnormal = Stopped;
        for (int c = 0; c < day.courses.size(); ++c)
            for (int i = 0; i < 12; ++i) {
                Race &race = day.courses[c].races[i];
                Rng resultRng(mixSeed({seed, 5, quint32(c), quint32(i)}));
                makeOdds(race, resultRng);
                makeResults(race, special[c][i], resultRng);
            }
        if (demoteSlot.course >= 0) {
            Race &r = day.courses[demoteSlot.course].races[demoteSlot.race];
            for (auto &runner : r.runners)
                if (runner.result == 5 && runner.abnormal == Normal) {
                    runner.abnormal = Demoted;
                    break;
                }
        }
    }
    for (auto &course : day.courses)
        for (auto &race : course.races)
            makePayouts(race);
    for (int c = 0; c < day.courses.size(); ++c)
        for (int i = 0; i < 12; ++i) {
            Rng runningRng(mixSeed({seed, 8, quint32(c), quint32(i)}));
            makeRunning(day.courses[c].races[i], runningRng);
        }
    return day;
}

} // namespace korvin::demodata
