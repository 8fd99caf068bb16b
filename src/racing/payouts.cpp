#include "racing/payouts.h"

#include "platform/bytelines.h"
#include "platform/sjis.h"
#include "racing/codetables.h"
#include "common/helpers.h"

#include <QFile>
#include <optional>
#include <variant>

namespace korvin::racing {

const std::array<QString, 5> &PayoutRowTitles()
{
    static const std::array<QString, 5> titles{QStringLiteral("単勝："), QStringLiteral("複勝："),
                                               QStringLiteral("枠連："), QStringLiteral("馬連："),
                                               QStringLiteral("ﾜｲﾄﾞ：")};
    return titles;
}

void ClearPayouts(PayoutArea &area) { area = PayoutArea{}; }

namespace {
bool asciiDigits(const QString &text, qsizetype count)
{
    if (text.size() != count)
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}
} // namespace

QString PayoutFileName(const QString &sdata, const QString &year2, const QString &meeting1, const QString &courseName)
{
    // The pieces come from input files: anything but digits and a known course
    // could name a file outside the SData folder.
    const QString letter = PlaceCode(courseName, 1);
    if (!asciiDigits(year2, 2) || !asciiDigits(meeting1, 1) || letter.trimmed().isEmpty())
        return {};
    return sdata + year2 + meeting1 + letter + QStringLiteral(".dat");
}

QString PayoutFileOf(const QString &sdata, const RaceId &race)
{
    return PayoutFileName(sdata, race.year2, race.meeting, race.courseName);
}

namespace {

// Field of a record by 0-based byte offset, as text.
QString field(const QByteArray &record, int offset, int length)
{
    return platform::fromSjis(record.mid(offset, length));
}

// Whole-number value of a digit field; fields that are not digits count 0.
qint32 amount(const QByteArray &record, int offset, int length)
{
    bool ok = false;
    const qint64 v = field(record, offset, length).trimmed().toLongLong(&ok);
    return ok ? qint32(v) : 0;
}

void apply(PayoutArea &area, const QByteArray &r)
{
    area.shown = true;
    for (int i = 0; i < 3; ++i) {
        const QString t = field(r, 175 + 9 * i, 2) + PadNumber(amount(r, 177 + 9 * i, 7), 8);
        area.Tan[i] = {t, !t.startsWith(QLatin1String("00"))};
    }
    for (int i = 0; i < 5; ++i) {
        const QString t = field(r, 202 + 9 * i, 2) + PadNumber(amount(r, 204 + 9 * i, 7), 8);
        area.Fuku[i] = {t, !t.startsWith(QLatin1String("00"))};
    }
    for (int i = 0; i < 3; ++i) {
        const QString t = field(r, 247 + 9 * i, 1) + QLatin1Char('-') + field(r, 248 + 9 * i, 1) +
                          PadNumber(amount(r, 249 + 9 * i, 7), 8);
        area.WakuRen[i] = {t, !t.startsWith(QLatin1Char('0'))};
    }
    for (int i = 0; i < 3; ++i) {
        const QString t = field(r, 274 + 12 * i, 2) + QLatin1Char('-') + field(r, 276 + 12 * i, 2) +
                          PadNumber(amount(r, 278 + 12 * i, 8), 9);
        area.Uma[i] = {t, !t.startsWith(QLatin1String("00"))};
    }
}

// The last record of the file whose day and race match (each match replaces
// the one before, as on screen); nullopt when there is none.
std::optional<QByteArray> lastMatch(const QString &fileName, const QString &day, const std::variant<QString, int> &race)
{
    QFile f(fileName);
    if (!f.exists() || !platform::openRegularFile(f, nullptr))
        return std::nullopt;
    const QByteArray dayBytes = platform::toSjis(day);
    std::optional<QByteArray> found;
    for (;;) {
        const QByteArray record = f.read(kPayoutRecordSize);
        // A short last record still holds the fields it reaches.
        if (record.size() < 310)
            break;
        if (record.mid(5, 1) != dayBytes)
            continue;
        const QString raceField = field(record, 6, 2);
        bool match = false;
        if (const QString *text = std::get_if<QString>(&race)) {
            match = raceField == *text;
        } else {
            bool ok = false;
            const int n = raceField.trimmed().toInt(&ok);
            match = ok && n == std::get<int>(race);
        }
        if (match)
            found = record;
        if (record.size() < kPayoutRecordSize)
            break;
    }
    return found;
}

// A horse field as a number; 0 (not listed) for "00" and for anything but two digits.
int horseNumber(const QByteArray &record, int offset)
{
    const QString text = field(record, offset, 2);
    return asciiDigits(text, 2) ? text.toInt() : 0;
}

RacePayouts decode(const QByteArray &record)
{
    RacePayouts p;
    for (int i = 0; i < 3; ++i)
        p.win[i] = {horseNumber(record, 175 + 9 * i), 0, amount(record, 177 + 9 * i, 7)};
    for (int i = 0; i < 5; ++i)
        p.place[i] = {horseNumber(record, 202 + 9 * i), 0, amount(record, 204 + 9 * i, 7)};
    for (int i = 0; i < 3; ++i) {
        const int first = horseNumber(record, 274 + 12 * i), second = horseNumber(record, 276 + 12 * i);
        // Both horses must be read for the pair to be listed.
        p.quinella[i] = {second > 0 ? first : 0, first > 0 ? second : 0, amount(record, 278 + 12 * i, 8)};
    }
    return p;
}

std::optional<RacePayouts> find(const QString &fileName, const QString &day, const std::variant<QString, int> &race)
{
    const std::optional<QByteArray> record = lastMatch(fileName, day, race);
    return record ? std::optional<RacePayouts>(decode(*record)) : std::nullopt;
}

// One read of the file gives both the area on screen and the record's payouts.
std::optional<RacePayouts> show(PayoutArea &area, const QString &fileName, const QString &day,
                                const std::variant<QString, int> &race)
{
    const std::optional<QByteArray> record = lastMatch(fileName, day, race);
    if (record)
        apply(area, *record);
    else if (!QFile::exists(fileName))
        return std::nullopt;
    if (!area.Fuku[3].visible)
        area.placeRows = 3;
    else if (!area.Fuku[4].visible)
        area.placeRows = 4;
    else
        area.placeRows = 5;
    return record ? std::optional<RacePayouts>(decode(*record)) : std::nullopt;
}

} // namespace

std::optional<RacePayouts> FillPayoutArea(PayoutArea &area, const QString &fileName, const QString &day,
                                          const QString &raceText)
{
    return show(area, fileName, day, raceText);
}

std::optional<RacePayouts> FillPayoutArea(PayoutArea &area, const QString &fileName, const QString &day, int raceNumber)
{
    return show(area, fileName, day, raceNumber);
}

std::optional<RacePayouts> FindRacePayouts(const QString &fileName, const QString &day, const QString &raceText)
{
    return find(fileName, day, raceText);
}

std::optional<RacePayouts> FindRacePayouts(const QString &fileName, const QString &day, int raceNumber)
{
    return find(fileName, day, raceNumber);
}

} // namespace korvin::racing
