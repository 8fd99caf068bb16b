#pragma once
// Prediction parameters: points per ranking cell for each of 1600 race
// conditions (course x class x track x distance band), kept in "Korvin.trp" in
// the program folder as fixed records of 249 single-byte characters.
#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <vector>

namespace korvin::predict {

constexpr int kTRParaRecordSize = 249;
constexpr int kConditions = 1600;
constexpr int kParaCells = 30;  // 6 periods x 5 rank places
constexpr int kParaBoxes = 120; // 4 tables x 30 cells

using ParaTable = std::array<QByteArray, kParaCells>; // 2 bytes each

// One race condition. Text fields hold exactly their byte length; a record the
// file did not hold is all NUL.
struct TRParaRecord {
    QByteArray KeyPlace;    // 2
    QByteArray KeyClass;    // 2
    QByteArray KeyTrack;    // 1
    QByteArray KeyDistance; // 2
    ParaTable SameTrackNear;
    ParaTable SameTrackAll;
    ParaTable BothTracksNear;
    ParaTable BothTracksAll;
    QByteArray Filler; // 2

    TRParaRecord();
    static TRParaRecord fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;

    // Tables in file order: 0 SameTrackNear, 1 SameTrackAll, 2 BothTracksNear,
    // 3 BothTracksAll (also the block order of the parameter window).
    ParaTable &table(int fileBlock);
    const ParaTable &table(int fileBlock) const;
    bool keysAreNul() const;
};

// Cell (period p 0..5, rank place r 0..4) of a table: the six periods of rank
// place 1 come first.
inline int ParaCell(int p, int r) { return p + 6 * r; }

// ProgramFolder + "Korvin.trp".
QString TRParaPath();
// "パラメータファイルを開けません． ( PATH )" and the reason on the next line.
QString ParaFileOpenMessage(const QString &reason);

// Condition index of the four selector positions (all 0-based).
int ConditionIndex(int place, int cls, int track, int distance);
// The keys of condition index n: course code, class code, track, distance band.
struct ConditionKeys {
    QByteArray place, cls, track, distance;
};
ConditionKeys PositionKeys(int n);
// Gives a record whose keys are all NUL the keys of its position.
void GivePositionKeys(TRParaRecord &record, int n);

// Selector captions in position order.
const std::array<QString, 10> &ParaPlaceNames();
const std::array<QString, 10> &ParaClassNames();
const std::array<QString, 2> &ParaTrackNames();
const std::array<QString, 8> &ParaDistanceNames();

// A box text as stored: "00" formatting of a number ("7" -> "07", "123" ->
// "123"), other texts unchanged, then cut or blank-padded to two characters.
QString ParaCellText(const QString &box);
// The same as two single-byte characters.
QByteArray ParaCellBytes(const QString &box);

// Box i = block * 30 + p * 5 + r of the window, from and into a record.
std::array<QString, kParaBoxes> BoxesOf(const TRParaRecord &record);
void StoreBoxes(TRParaRecord &record, const std::array<QString, kParaBoxes> &boxes);

// Reads "Korvin.trp" (creating an empty file when missing) into a table of
// 1600 conditions: records 1, 2, ... up to 1600 while the file holds them.
// Entries beyond the file keep their contents. Returns the number of records
// read, -1 when the file cannot be read or created (error says why).
int LoadTRParaFile(std::vector<TRParaRecord> &table, QString *error = nullptr);

// Writes one record at its position. Records between the end of the file and
// it are written as NUL bytes. False with the reason when the write fails.
bool WriteTRParaRecord(int n, const TRParaRecord &record, QString *error = nullptr);

// Stores the boxes into condition n of the table (keys of its position when
// they are NUL) and writes that record.
bool SaveCondition(std::vector<TRParaRecord> &table, int n, const std::array<QString, kParaBoxes> &boxes,
                   QString *error = nullptr);

// Stores the boxes into every one of the 1600 records (the file's records and
// new ones with their position keys), in the table and in the file, which is
// replaced in one step. progress(k) is called for k = 1..1600.
bool SaveAllConditionRecords(std::vector<TRParaRecord> &table, const std::array<QString, kParaBoxes> &boxes,
                             const std::function<void(int)> &progress, QString *error = nullptr);

} // namespace korvin::predict
