#pragma once
// The model behind the time-rank analysis window: one race of the current file
// at a time (headers, surface labels, the 120 ranking cells, the payouts) and
// the stepping between races. The batch prediction reads the same model, so a
// cell's text is worked out in one place only.
#include "platform/messages.h"
#include "racing/payouts.h"
#include "common/settings.h"
#include "timerank/timerankfile.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace korvin::timerank {

class TimeRankAnalysis {
public:
    // Reads the file once, indexes and reads every race block for the kind, and
    // shows the first race with its payouts. Problems (a missing file, a block
    // that ends early) make one information message naming the file
    // (messages()). False when the file could not be read or holds no race.
    bool open(const QString &path, int kind, const common::SettingsRecord &settings);

    const QString &path() const { return m_path; }
    int raceCount() const { return int(m_races.size()); }
    int raceIndex() const { return m_index; }
    int kind() const { return m_kind; }
    // Kinds 1 and 3 hide the all-distance half (groups 12-23); it is still filled.
    bool allDistanceHidden() const { return m_kind == 1 || m_kind == 3; }

    // LabelHeader(0) and LabelHeader(1).
    QString header(int i) const;
    // LabelTrack1..LabelTrack4 (index 0..3).
    QString track(int i) const;
    // LabelData(i), i = group * 5 + rank - 1.
    QString cell(int i) const;
    const std::array<QString, kCells> &cells() const;
    // The horse number of each cell, 0 none.
    const std::array<int, kCells> &horses() const;
    const racing::PayoutArea &payouts() const { return m_payouts; }
    // The race being shown (null before a successful open).
    const TimeRankRace *current() const;

    // Moves to the previous (direction -1) or next (1) race. When the move is
    // impossible it returns the end-of-list message and sets direction to 0.
    [[nodiscard]] platform::Messages TRMoveRace(qint16 &direction);
    // Shows race index i directly (0-based; ignored when out of range).
    void showRace(int i);

    // Problems found on opening, in the words of the message.
    const QStringList &problems() const { return m_problems; }
    // What the user is told about the last open (a block that ends early, race
    // blocks beyond the limit left out).
    const platform::Messages &messages() const { return m_messages; }

private:
    void readPayouts();

    QString m_path;
    int m_kind = 0;
    common::SettingsRecord m_settings;
    std::vector<TimeRankRace> m_races;
    int m_index = 0;
    racing::PayoutArea m_payouts;
    QStringList m_problems;
    platform::Messages m_messages;
};

// Course name, two-digit year, meeting, day and race number of a header text
// (LabelHeader(0)), as the payouts and the batch prediction take them.
struct HeaderFields {
    QString course;     // characters 18-19
    QString year4;      // 1-4
    QString year2;      // 3-4
    QString month;      // 6-7
    QString dayOfMonth; // 9-10
    QString meeting;    // 16
    QString day;        // 20, day of the meeting
    int race = 0;       // characters 33 (when 34 is "Ｒ") or 33-34
};
HeaderFields ParseHeader(const QString &header0);

// The payout area of a race: cleared, then filled from its payout file when
// SDataON is not "0".
racing::PayoutArea PayoutsOf(const racing::RaceId &race, const common::SettingsRecord &settings);
// The same for the race a header names.
racing::PayoutArea PayoutsForHeader(const QString &header0, const common::SettingsRecord &settings);

} // namespace korvin::timerank
