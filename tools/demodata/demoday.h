#pragma once
// The demo racing day: up to three racecourses of twelve races, each runner
// with its past races, the race's result and its official payouts. Everything
// is drawn from one seed; the files of demofiles.h are views of this model.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

namespace korvin::demodata {

enum Track { Turf = 0, Dirt = 1, Jump = 2 };

struct PastRace {
    QDate date;
    QString course; // course code "01".."10"
    int track = Turf;
    int distance = 0;   // metres
    int figure = 0;     // time figure; 0 when the race gave none
    int place = 0;      // finishing place
    int timeTenths = 0; // race time in tenths of a second
    int first3fTenths = 0;
    int last3fTenths = 0;
    int speedTenths = 0; // average speed, tenths of a metre per second
    int pciTenths = 0;   // pace change index, tenths
};

// Abnormal-result codes of the race card (same numbers as the code table).
enum Abnormal {
    Normal = 0,
    Scratched = 1,
    Excluded = 2,
    RaceExcluded = 3,
    Stopped = 4,
    Disqualified = 5,
    Fell = 6,
    Demoted = 7
};

struct Runner {
    int number = 0;        // horse number 1..18
    int frame = 0;         // bracket 1..8
    QString name;          // katakana, at most 9 characters
    QString sexAge;        // "牡3"
    int carriedTenths = 0; // weight carried, 0.1 kg
    QString jockey;
    QString trainer;
    QString comment;    // short note on the last race; empty on debut
    QString id;         // registration number
    int bodyWeight = 0; // kg
    bool blinkers = false;
    QString pace; // running style "逃" "先" "差" "追", blank on debut
    int ability = 0;
    int ziTenths = 0; // ZI figure in tenths
    int interval = 0; // weeks since the last race; 0 on debut
    int abnormal = Normal;
    int result = 0;         // official place; 0 when it has none
    int oddsTenths = 0;     // win odds in tenths; 0 when scratched
    int vtxTail = 0;        // which trailing form its VTX line takes (0..3)
    QVector<PastRace> past; // most recent first, at most 7

    // The race as run, for the host's result screen.
    QString margin;         // to the runner in front: "1/2", "1.1/2", "ハナ", "クビ", "大差"; empty for
                            // the winner, a dead heat and a runner without a place
    bool deadHeat = false;  // level with the runner in front
    int behindQuarters = 0; // behind the winner, in quarter lengths
    int corner = 0;         // position at the fourth corner; 0 when it never ran
    int timeTenths = 0;     // race time; 0 without one
    int popularity = 0;     // rank of its odds (1 = favourite); 0 when scratched

    // Texts as the race card writes them.
    QString ziText() const;     // "52" or "52.3"
    QString oddsText() const;   // "3.5"; empty when scratched
    QString resultText() const; // "1".."18", "0" when stopped; empty when scratched
};

struct PayoutEntry {
    int first = 0;  // horse or bracket
    int second = 0; // second horse or bracket (quinella and bracket quinella)
    int yen = 0;    // payout per 100 yen
};

struct Payouts {
    QVector<PayoutEntry> win;      // up to 3
    QVector<PayoutEntry> place;    // up to 5
    QVector<PayoutEntry> bracket;  // up to 3
    QVector<PayoutEntry> quinella; // up to 3
};

struct Race {
    int number = 0;    // 1..12
    int classCode = 0; // race-card class code (class table)
    QString className; // class as the host's race name line writes it ("500万下", "Ｇ３")
    int track = Turf;
    int distance = 0;
    QString direction; // "右", "左" or "直"
    QString title; // "サラ系３歳上・500万下", "水無月ステークス・Ｇ３", "障害４歳上・未勝利"
    QString conditions;   // "(混)[指定]馬齢"
    int startMinutes = 0; // post time, minutes after midnight
    int prizeMan = 0;     // first prize in units of 10,000 yen
    QString weather;      // "晴" "曇" "雨"
    QString going;        // "良" "稍" "重" "不"
    QVector<Runner> runners;
    Payouts payouts;

    int starters() const; // runners that were not scratched
};

struct Course {
    QString code;    // "05"
    QString name;    // "東京"
    QString letter;  // "東"
    int meeting = 1; // 1..5
    int day = 1;     // 1..8
    QVector<Race> races;
};

struct Day {
    quint32 seed = 0;
    QDate date;
    QVector<Course> courses;
};

// The day of the seed. Deterministic: the same seed and date give the same day.
Day makeDay(quint32 seed, const QDate &date);

// Eight-character race key: course, year (2), meeting, day, race (2).
QString raceKey(const Day &day, const Course &course, const Race &race);
// "2000年 6月10日(土) 3回東京4日目": the day line of the host's exports (22 characters).
QString dayLine(const Day &day, const Course &course);
// "11Ｒ" or "１Ｒ": race label of the time-rank files (4 Shift-JIS bytes).
QString raceLabel(int race);
// "芝", "ダ" (jump races run on turf).
QString surfaceLetter(int track);

// Time-rank rankings of a race: 24 groups (four scopes by six periods) of up
// to five runners, best first.
struct RankEntry {
    int horse = 0;
    QString name;
    int value = 0; // in the unit of the ranking kind
    PastRace race; // the past race the value comes from
};
constexpr int kRankKinds = 6;
constexpr int kRankGroups = 24;
QVector<QVector<RankEntry>> rankings(const Day &day, const Race &race, int kind);
// Whether an export run reaches a kind's views at all distances: its key
// script sends the Tab and Up keys for kinds 0, 2, 4 and 5 only, so the host
// exports the ±200m views of kinds 1 and 3 in both halves of a race, and
// their time-rank files hold those.
bool switchesToAllDistances(int kind);
// One ranking as the host lists it: every runner with a past race in the
// scope, best first. Surface: the race's own, the other one, or both.
enum class Surface { Own, Other, Both };
constexpr int kPeriods = 6; // 全期間, ３ヶ月, ６ヶ月, ９ヶ月, １年, １年半
QVector<RankEntry> rankingView(const Day &day, const Race &race, int kind, Surface surface, bool near, int period);
// The value of a past race in a ranking kind; false when it has none.
bool rankValue(const PastRace &past, int kind, int &value);
// Larger is better in this kind.
bool largerIsBetter(int kind);
// 4-character text of a ranking value ("  98", "1344", "34.5").
QString rankValueText(int kind, int value);

// JRA brackets: one horse per bracket up to 8 runners; beyond that the extra
// horses go to the highest brackets.
void assignFrames(QVector<Runner> &runners);

} // namespace korvin::demodata
