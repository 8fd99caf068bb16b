#include "timerank/analysis.h"

#include "common/helpers.h"

namespace korvin::timerank {

using common::Mid;

HeaderFields ParseHeader(const QString &header0)
{
    HeaderFields f;
    f.course = Mid(header0, 18, 2);
    f.year4 = Mid(header0, 1, 4);
    f.year2 = Mid(header0, 3, 2);
    f.month = Mid(header0, 6, 2);
    f.dayOfMonth = Mid(header0, 9, 2);
    f.meeting = Mid(header0, 16, 1);
    f.day = Mid(header0, 20, 1);
    f.race = RaceLabelNumber(Mid(header0, 33, 3));
    return f;
}

racing::PayoutArea PayoutsOf(const racing::RaceId &race, const common::SettingsRecord &settings)
{
    racing::PayoutArea area;
    racing::ClearPayouts(area);
    if (settings.SDataON == QLatin1String("0"))
        return area;
    racing::FillPayoutArea(area, racing::PayoutFileOf(settings.SData, race), race.day, race.raceNumber());
    return area;
}

racing::PayoutArea PayoutsForHeader(const QString &header0, const common::SettingsRecord &settings)
{
    return PayoutsOf(RaceIdOfHeader(header0), settings);
}

bool TimeRankAnalysis::open(const QString &path, int kind, const common::SettingsRecord &settings)
{
    m_path = path;
    m_kind = kind;
    m_settings = settings;
    m_races.clear();
    m_index = 0;
    m_problems.clear();
    m_messages.clear();
    racing::ClearPayouts(m_payouts);

    const TimeRankLines f = ReadTimeRankLines(path);
    if (!f.opened) {
        m_messages.push_back(
            platform::Information(QStringLiteral("タイムランクファイルを開けません． ( %1 )\n%2").arg(path, f.error)));
        return false;
    }
    constexpr int kListed = 30; // more lines than a message box can show are counted
    int unlisted = 0;
    for (size_t r = 0; r < f.raceStarts.size(); ++r) {
        const int start = f.raceStarts[r];
        const int end = r + 1 < f.raceStarts.size() ? f.raceStarts[r + 1] : int(f.lines.size());
        m_races.push_back(ReadRaceBlock(f.lines, start, end, kind));
        const TimeRankRace &race = m_races.back();
        if (race.complete())
            continue;
        if (m_problems.size() == kListed)
            ++unlisted;
        else
            m_problems << QStringLiteral("%1 レース目 (%2) はグループ %3 以降が欠けています．")
                              .arg(r + 1)
                              .arg(race.identity())
                              .arg(race.groupsRead + 1);
    }
    if (unlisted > 0)
        m_problems << QStringLiteral("ほか %1 件").arg(unlisted);
    if (m_races.empty())
        m_problems << QStringLiteral("レースの見出し行がありません．");
    if (!m_problems.isEmpty())
        m_messages.push_back(
            platform::Information(QStringLiteral("タイムランクファイルが途中で終わっています． ( %1 )\n").arg(path) +
                                  m_problems.join(QLatin1Char('\n'))));
    if (f.blocksLeftOut > 0)
        m_messages.push_back(
            platform::Information(QStringLiteral("タイムランクファイルの一部を読み飛ばしました． ( %1 )\n"
                                                 "%2 レース目以降の %3 レースは読みません（%4 レースまで）．")
                                      .arg(path)
                                      .arg(kMaxRaceBlocks + 1)
                                      .arg(f.blocksLeftOut)
                                      .arg(kMaxRaceBlocks)));
    if (m_races.empty())
        return false;
    readPayouts();
    return true;
}

QString TimeRankAnalysis::header(int i) const
{
    const TimeRankRace *r = current();
    if (!r)
        return {};
    return i == 0 ? r->header0 : r->header1;
}

QString TimeRankAnalysis::track(int i) const
{
    if (i == 1 || i == 3)
        return QStringLiteral("芝・ダート");
    const TimeRankRace *r = current();
    return r ? r->surface : QString();
}

const std::array<QString, kCells> &TimeRankAnalysis::cells() const
{
    static const std::array<QString, kCells> empty;
    const TimeRankRace *r = current();
    return r ? r->cells : empty;
}

QString TimeRankAnalysis::cell(int i) const { return i >= 0 && i < kCells ? cells()[i] : QString(); }

const std::array<int, kCells> &TimeRankAnalysis::horses() const
{
    static const std::array<int, kCells> none{};
    const TimeRankRace *r = current();
    return r ? r->horses : none;
}

const TimeRankRace *TimeRankAnalysis::current() const
{
    return m_index >= 0 && m_index < raceCount() ? &m_races[m_index] : nullptr;
}

platform::Messages TimeRankAnalysis::TRMoveRace(qint16 &direction)
{
    platform::Messages said;
    if (direction == -1) {
        if (m_index == 0) {
            said.push_back(platform::Information(QStringLiteral("前のレースはありません．")));
            direction = 0;
        } else {
            --m_index;
        }
    } else if (direction == 1) {
        if (m_index >= raceCount() - 1) {
            said.push_back(platform::Information(QStringLiteral("次のレースはありません．")));
            direction = 0;
        } else {
            ++m_index;
        }
    }
    if (direction != 0)
        readPayouts();
    return said;
}

void TimeRankAnalysis::showRace(int i)
{
    if (i < 0 || i >= raceCount())
        return;
    m_index = i;
    readPayouts();
}

void TimeRankAnalysis::readPayouts()
{
    const TimeRankRace *r = current();
    if (!r) {
        racing::ClearPayouts(m_payouts);
        return;
    }
    m_payouts = PayoutsOf(r->id, m_settings);
}

} // namespace korvin::timerank
