#pragma once
// The batch prediction: every race of a time-rank file scored with the
// parameters of its condition, the runners ordered by score, and per meeting a
// block of bets appended to "Zorb.txt", the import file of the betting program.
#include "platform/messages.h"
#include "predict/trpara.h"
#include "racing/codetables.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace korvin::platform {
class Dialogs;
}

namespace korvin::timerank {
class TimeRankAnalysis;
}

namespace korvin::predict {

using ZorbSlots = std::array<QString, 13>;

inline const QString kZorbFileName = QStringLiteral("Zorb.txt");
inline const QString kZorbHeaderSuffix = QStringLiteral("<< Korvin >> from TimeRank");
inline const QString kExcludedRace = QStringLiteral("99999999999999999");

// The window's settings (defaults as the window opens).
struct ZorbSettings {
    QString code = QStringLiteral("9999");
    bool keyHorse = false;                       // OptionBet(1) "１位から６点流し"
    std::array<bool, 3> track{true, true, true}; // 芝, ダート, 障害
    std::array<bool, 7> classes{true, true, true, true, true, true, true};
};

// Why a ZORB code cannot head the blocks of Zorb.txt (empty: it can): an empty
// code, a control character (a line end would split the header line) or a
// character Shift-JIS lacks.
QString ZorbCodeProblem(const QString &code);

// Class name of a race name line: the text after the last "・" before the first "(".
QString ClassNameOf(const QString &header1);
struct ClassPick {
    bool found = false;
    QString code;   // class key; the class name itself when not found
    int filter = 0; // index of the class filter box
};
ClassPick ClassPickup(const QString &className);

// Distance band of a tail such as "芝右1800m 16頭立": the whole number starting at
// character 3, "10" up to 1000 m ... "25" up to 2500 m, "99" beyond; empty when
// no number starts there.
QString DistanceKey(const QString &tail);

// What the prediction takes from a race's two header texts.
struct RaceCondition {
    QString meetingDateKey; // course code, yy, meeting, day, yyyy, mm, dd (14 characters)
    int race = 0;           // race number
    ClassPick cls;
    bool jump = false;
    QString trackKey;    // "0" turf, "1" otherwise
    int trackFilter = 0; // 0 芝, 1 ダート, 2 障害
    QString distanceKey;
    QString fieldSize; // two digits
};
RaceCondition ParseRaceCondition(const QString &header0, const QString &header1);
// Race number race of the meeting a block's key (meetingDateKey) names.
racing::RaceId MeetingRace(const QString &meetingDateKey, int race);

// The first record whose keys match, -1 when none does.
int FindParameters(const std::vector<TRParaRecord> &table, const QString &placeCode, const QString &classCode,
                   const QString &trackKey, const QString &distanceKey);

// Scores of horses 1..18 (index 0..17) from the horse numbers of the 120
// ranking cells (0 for an empty cell).
std::array<int, 18> ScoreHorses(const std::array<int, 120> &horses, const TRParaRecord &record);
// The 18 horse numbers by score, highest first, as 36 digits; equal scores
// keep ascending horse numbers.
QString OrderText(const std::array<int, 18> &scores);

// Partners of a key horse (the box takes the first partners / 2 + 1 horses).
constexpr int kZorbPartners = 6;

// The pairs a race line of the block holds, in the order written: the key
// horse with each partner, or the box. Pairs that name a horse that does not
// run are left out; none for an excluded or empty slot. Each pair is one
// 100-yen quinella ticket.
std::vector<std::pair<int, int>> RacePairs(const QString &slot, int partners);

// The lines of one meeting block (rule, header, rule, race lines, empty line).
QStringList ZorbBlockLines(const ZorbSlots &zorbSlots, const QString &headerText, int partners);
// Appends one meeting block to the file at path. False (with the reason) when it
// cannot be written.
bool OutputZORB(const ZorbSlots &zorbSlots, const QString &path, const QString &headerText, int partners,
                QString *error = nullptr);

struct BatchRunResult {
    // Every block of the file was gone over and every meeting written: only
    // then does the caller report completion.
    bool completed = false;
    // What the caller says after the run, in order (nothing to predict, a race
    // met twice, races cut short).
    platform::Messages messages;
    // The slots of every meeting block written, in order.
    std::vector<ZorbSlots> blocks;
};

// The whole run over the race blocks of the model, which shows the first race.
// raceCount is the number of races the race list offers (none: nothing to
// predict). The blocks the list leaves out (race number outside 1..12, a
// fourth course) are stepped over, a race met again is predicted once, and a
// block cut short gets the excluded line. afterMove is called after each move
// to the next race (the window repaints). The errors of a race are said to
// `user` as they come up, in the middle of the run; what is left to say after
// the run is in the result, and the completion message is the caller's. Not completed when
// there was nothing to predict, the parameter file could not be read or a
// meeting block could not be written (the run stops there).
BatchRunResult RunBatchPrediction(timerank::TimeRankAnalysis &model, int raceCount, const ZorbSettings &settings,
                                  const QString &zorbPath, platform::Dialogs &user,
                                  const std::function<void()> &afterMove = {});

inline const QString kBatchDoneMessage = QStringLiteral("一括予想（Z.O.R.B.形式）が完了しました．");

} // namespace korvin::predict
