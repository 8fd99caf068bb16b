#include "racecard/datalist.h"

#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racecard/csvfields.h"
#include "racing/codetables.h"
#include "racing/horsemarks.h"
#include "common/helpers.h"

#include <cmath>

namespace korvin::racecard {

using common::Mid;

const std::array<QString, kColumnCount> &ColumnNames()
{
    static const std::array<QString, kColumnCount> names{
        QStringLiteral("No"),    QStringLiteral("Mark"),  QStringLiteral("Error"), QStringLiteral("Result"),
        QStringLiteral("Odds"),  QStringLiteral("Max"),   QStringLiteral("Min"),   QStringLiteral("Ave"),
        QStringLiteral("T1"),    QStringLiteral("T2"),    QStringLiteral("D1"),    QStringLiteral("D2"),
        QStringLiteral("Pace"),  QStringLiteral("ZI"),    QStringLiteral("Int"),   QStringLiteral("Waku"),
        QStringLiteral("Time1"), QStringLiteral("Time2"), QStringLiteral("Time3"), QStringLiteral("Time4"),
        QStringLiteral("Time5"), QStringLiteral("Time6"), QStringLiteral("Time7")};
    return names;
}

std::optional<quint32> BackgroundRgb(CellColour c)
{
    switch (c) {
    case CellColour::ButtonFace:
    case CellColour::Menu: return std::nullopt;
    case CellColour::White: return 0xffffff;
    case CellColour::LightGreen: return 0x80ff80;
    case CellColour::Red: return 0xff0000;
    case CellColour::LightCyan: return 0x80ffff;
    case CellColour::LightYellow: return 0xffff80;
    case CellColour::LightRed: return 0xff8080;
    }
    return std::nullopt;
}

QString BackgroundName(CellColour c)
{
    if (const auto rgb = BackgroundRgb(c))
        return QStringLiteral("#%1").arg(*rgb, 6, 16, QLatin1Char('0'));
    return c == CellColour::Menu ? QStringLiteral("menu") : QStringLiteral("buttonface");
}

ZIStatistics DeviationScores(const std::vector<double> &values)
{
    ZIStatistics z;
    const size_t n = values.size();
    z.scores.assign(n, 50.0);
    if (n == 0)
        return z;
    const float r = float(1.0 / double(n));
    double s = 0;
    double q = 0;
    for (double v : values) {
        z.mean += v * double(r);
        s += v;
        q += v * v;
    }
    if (n < 2)
        return z;
    double spread = double(n) * q - s * s;
    // Equal decimal figures (52.3 three times) leave a rounding residue of
    // either sign; it is no spread, and its root would scale the scores wildly.
    if (!(spread > double(n) * q * 1e-12))
        spread = 0;
    z.variance = spread / (double(n) * double(n - 1));
    z.deviation = std::sqrt(z.variance);
    if (z.deviation > 0)
        for (size_t i = 0; i < n; ++i)
            z.scores[i] = (values[i] - z.mean) / z.deviation * 10 + 50;
    return z;
}

CellColour IntervalColor(int value)
{
    if (value < 10)
        return CellColour::Menu;
    if (value < 20)
        return CellColour::LightGreen;
    return CellColour::Red;
}

CellColour FigureColor(int value)
{
    if (value < 90)
        return CellColour::Menu;
    if (value < 95)
        return CellColour::LightCyan;
    if (value < 100)
        return CellColour::LightYellow;
    return CellColour::LightRed;
}

namespace {

// Whole-number part of a caption; a caption that is not a number counts 0.
qint64 wholePart(const QString &text)
{
    const double v = common::TextToDouble(text);
    if (!std::isfinite(v) || std::fabs(v) > 9e15)
        return 0;
    return qint64(std::floor(v));
}

} // namespace

std::vector<int> MarkBestThree(const QStringList &captions, bool smallerIsBetter)
{
    const qint64 start = smallerIsBetter ? 99 : -1;
    qint64 t1 = start, t2 = start, t3 = start;
    auto atLeast = [&](qint64 v, qint64 t) { return smallerIsBetter ? v <= t : v >= t; };
    for (const QString &c : captions) {
        const QString text = TrimBlanks(c);
        if (text.isEmpty())
            continue;
        const qint64 v = wholePart(text);
        if (atLeast(v, t1)) {
            t3 = t2;
            t2 = t1;
            t1 = v;
        } else if (atLeast(v, t2)) {
            t3 = t2;
            t2 = v;
        } else if (atLeast(v, t3)) {
            t3 = v;
        }
    }
    std::vector<int> tiers(captions.size(), 0);
    const QString s1 = QString::number(t1), s2 = QString::number(t2), s3 = QString::number(t3);
    for (int i = 0; i < captions.size(); ++i) {
        const QString text = TrimBlanks(captions[i]);
        if (text.isEmpty())
            continue;
        if (text == s1)
            tiers[i] = 1;
        else if (text == s2)
            tiers[i] = 2;
        else if (text == s3)
            tiers[i] = 3;
    }
    return tiers;
}

CellColour TierColour(int tier)
{
    switch (tier) {
    case 1: return CellColour::LightYellow;
    case 2: return CellColour::LightCyan;
    case 3: return CellColour::LightGreen;
    default: return CellColour::ButtonFace;
    }
}

FigureSummary SummariseFigures(const std::array<int, kPastRaces> &t)
{
    FigureSummary s;
    int min = 999;
    int count = 0;
    qint64 sum = 0;
    for (int v : t) {
        if (v > s.max)
            s.max = v;
        if (v != 0) {
            if (v < min)
                min = v;
            ++count;
        }
        sum += v;
    }
    s.min = min == 999 ? 0 : min;
    if (count > 0) {
        // Single precision, halves to the even neighbour.
        const float avg = float(sum) / float(count);
        s.ave = int(std::nearbyint(avg));
    }
    return s;
}

VtxHorse ReadVtxHorseLine(const QString &line)
{
    const qsizetype len = line.size();
    auto blankFromEnd = [&](qsizetype k) { return len - k >= 0 && line.at(len - k) == QLatin1Char(' '); };
    int x = 0;
    if (blankFromEnd(1)) {
        if (blankFromEnd(2))
            x = 1;
        else if (blankFromEnd(3))
            x = 2;
    }
    auto column = [&](int fromEnd, int width) { return common::RightOf(line, fromEnd + x).left(width); };
    VtxHorse h;
    h.Waku = Mid(line, 2, 1);
    h.T1 = column(24, 4);
    h.T2 = column(20, 4);
    h.D1 = column(16, 4);
    h.D2 = column(12, 4);
    h.Pace = column(7, 1);
    return h;
}

namespace {

// The number a text starts with (after blanks), 0 when none: "1Ｒ" is race 1.
int leadingNumber(const QString &text)
{
    const QString t = platform::toHalfWidth(text).trimmed();
    int n = 0;
    int digits = 0;
    for (QChar c : t) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        n = n * 10 + (c.unicode() - '0');
        if (++digits > 6)
            break;
    }
    return n;
}

bool isRule(const QString &line) { return line.startsWith(QLatin1String("----")); }

// ReadVtxBlock over a list or over lines read one at a time.
template <class Lines>
std::vector<VtxHorse> vtxBlock(const Lines &lines, const QString &courseName, int raceNumber)
{
    std::vector<VtxHorse> horses;
    QString prev1, prev2, prev3; // the last three lines remembered, prev1 the latest
    bool open = false;
    for (auto it = lines.begin(); it != lines.end(); ++it) {
        const QString &line = *it;
        if (open) {
            if (isRule(line) || horses.size() >= size_t(kDataRows))
                break;
            horses.push_back(ReadVtxHorseLine(line));
            continue;
        }
        if (isRule(line)) {
            const QString numberText = Mid(prev2, 2, 1) == QStringLiteral("Ｒ") ? Mid(prev2, 1, 1) : Mid(prev2, 1, 2);
            if (Mid(prev3, 18, 2) == courseName && leadingNumber(numberText) == raceNumber)
                open = true;
            if (++it == lines.end()) // the line after a rule is the column header
                break;
            continue;
        }
        prev3 = prev2;
        prev2 = prev1;
        prev1 = line;
    }
    return horses;
}

} // namespace

std::vector<VtxHorse> ReadVtxBlock(const QStringList &lines, const QString &courseName, int raceNumber)
{
    return vtxBlock(lines, courseName, raceNumber);
}

QString VtxFileName(const QString &vtxFolder, const QString &csvName)
{
    return vtxFolder + QStringLiteral("Dx") + Mid(csvName, 3, 6) + QStringLiteral(".txt");
}

std::array<QString, kDataRows> SpreadMarks(const QString &marks)
{
    std::array<QString, kDataRows> boxes;
    qsizetype p = 0;
    for (int i = 0; i < kDataRows && p < marks.size(); ++i) {
        if (platform::sjisCharBytes(marks.at(p)) == 1) {
            boxes[i] = marks.mid(p, 2);
            p += 2;
        } else {
            boxes[i] = marks.mid(p, 1);
            p += 1;
        }
    }
    return boxes;
}

QString JoinMarks(const std::array<QString, kDataRows> &boxes)
{
    QString out;
    for (const QString &b : boxes) {
        // The box as the file will hold it: a character Shift-JIS lacks is
        // written as one "?" byte, and must be cut as one, or the later slots
        // of the line would move.
        const QString text = platform::fromSjis(platform::toSjis(TrimBlanks(b)));
        out += racing::SjisMid(text + QStringLiteral("  "), 1, 2);
    }
    return out;
}

UnsavableMark FindUnsavableMark(const std::array<QString, kDataRows> &boxes)
{
    for (int r = 0; r < kDataRows; ++r) {
        const QString text = TrimBlanks(boxes[r]);
        // One double-byte character, or up to two single-byte ones, is saved.
        for (int i = 0, bytes = 0; i < text.size() && bytes < 2;) {
            const int units = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
            const QString c = text.mid(i, units);
            if (!platform::firstUnencodable(c).isEmpty())
                return {r, c};
            bytes += platform::sjisCharBytes(c[0]);
            i += units;
        }
    }
    return {};
}

QString TooManyRunnersMessage(const QString &raceKey, int lines)
{
    return QStringLiteral("出走馬が18頭を超えています．19頭目以降は表示しません． ( %1 : %2 行 )")
        .arg(raceKey)
        .arg(lines);
}

namespace {

// Runner rows from the race-card lines of the race; the count of its lines.
int readRunnerRows(const RaceContext &ctx, DataListModel &m)
{
    QString error;
    const auto lines = platform::readLinesLazily(ctx.csvPath, &error);
    if (!lines)
        m.messages.push_back(platform::Information(RaceCardOpenMessage(ctx.csvPath, error)));
    const QString &key = ctx.race.key;
    int raceLines = 0;
    CsvFields f;
    for (const QString &line : lines.value_or(platform::LazyLines())) {
        // Cheap test first: most lines belong to other races.
        if (!line.contains(key))
            continue;
        SplitCsvLine(line, f);
        if (f[FieldKeyAndHorse].left(8) != key || key.size() != 8)
            continue;
        if (++raceLines > kDataRows)
            continue;
        DataRow &row = m.rows[m.runnerCount++];
        row[ColNo].text = Mid(f[FieldKeyAndHorse], 9, 2);
        row[ColZI].text = f[FieldZI];
        row[ColInt].text = f[FieldInterval];
        row[ColResult].text = f[FieldResult];
        row[ColOdds].text = f[FieldOdds];
        row[ColError].text = racing::AbnormalName(f[FieldAbnormal]);
        std::array<int, kPastRaces> t{};
        for (int k = 0; k < kPastRaces; ++k) {
            DataCell &cell = row.cells[ColTime1 + k];
            cell.text = racing::TrackLetter(f[PastTrackField(k)], 1) + f[PastFigureField(k)];
            t[k] = common::TextToInt(f[PastFigureField(k)]);
            cell.colour = FigureColor(t[k]);
        }
        const FigureSummary s = SummariseFigures(t);
        row[ColMax].text = QString::number(s.max);
        row[ColMin].text = QString::number(s.min);
        row[ColAve].text = QString::number(s.ave);
        row[ColInt].colour = IntervalColor(common::TextToInt(f[FieldInterval]));
        for (Column c : {ColNo, ColZI, ColInt, ColResult, ColOdds, ColError, ColMax, ColMin, ColAve})
            row[c].visible = true;
        for (int k = 0; k < kPastRaces; ++k)
            row.cells[ColTime1 + k].visible = true;
    }
    return raceLines;
}

// The VTX columns of the race's block, when the day has a VTX file.
void readVtxColumns(const RaceContext &ctx, DataListModel &m)
{
    const QString vtxPath = VtxFileName(ctx.settings.VTX_Text, ctx.csvName);
    if (!platform::fileExists(vtxPath))
        return;
    m.vtxFound = true;
    const auto vtx = platform::readLinesLazily(vtxPath);
    const auto horses = vtxBlock(vtx.value_or(platform::LazyLines()), ctx.race.courseName, ctx.race.raceNumber());
    for (size_t i = 0; i < horses.size(); ++i) {
        DataRow &row = m.rows[i];
        const VtxHorse &h = horses[i];
        row[ColWaku].text = h.Waku;
        row[ColT1].text = h.T1;
        row[ColT2].text = h.T2;
        row[ColD1].text = h.D1;
        row[ColD2].text = h.D2;
        row[ColPace].text = h.Pace;
        for (Column c : {ColWaku, ColT1, ColT2, ColD1, ColD2, ColPace})
            row[c].visible = true;
    }
}

// Best three of each ranked column; a result or odds whose whole-number part
// is 0 (not run yet) is hidden.
void rankColumns(DataListModel &m)
{
    const std::pair<Column, bool> ranked[] = {{ColResult, true}, {ColOdds, true}, {ColMax, false}, {ColMin, false},
                                              {ColAve, false},   {ColZI, false},  {ColT1, false},  {ColT2, false},
                                              {ColD1, false},    {ColD2, false}};
    for (const auto &[col, smaller] : ranked) {
        QStringList captions;
        for (int r = 0; r < m.runnerCount; ++r)
            captions << m.rows[r][col].text;
        const std::vector<int> tiers = MarkBestThree(captions, smaller);
        for (int r = 0; r < m.runnerCount; ++r) {
            m.rows[r][col].tier = tiers[r];
            m.rows[r][col].colour = TierColour(tiers[r]);
        }
    }
    for (int r = 0; r < m.runnerCount; ++r) {
        DataRow &row = m.rows[r];
        row[ColResult].visible = wholePart(row[ColResult].text) != 0;
        row[ColOdds].visible = wholePart(row[ColOdds].text) != 0;
    }
}

// The mark boxes, filled from the mark file when the load reads it.
void readMarks(const RaceContext &ctx, DataListModel &m)
{
    if (ctx.readMarks) {
        m.marks = racing::ReadHorseMarks(ctx.race.key, ctx.settings.MData, &m.markError);
        const auto boxes = SpreadMarks(m.marks);
        for (int r = 0; r < kDataRows; ++r)
            m.rows[r][ColMark].text = boxes[r];
    }
    for (int r = 0; r < kDataRows; ++r) {
        m.rows[r][ColMark].colour = CellColour::White;
        m.rows[r][ColMark].visible = r < m.runnerCount;
    }
}

// The ZI figures as read and their standard scores.
void scoreZI(DataListModel &m)
{
    for (int r = 0; r < m.runnerCount; ++r) {
        const QString &text = m.rows[r][ColZI].text;
        bool ok = false;
        const double v = common::TextToDouble(text, &ok);
        m.ziTexts.push_back(text);
        m.ziNumeric.push_back(ok);
        m.ziValues.push_back(ok ? v : 0.0);
    }
    m.zi = DeviationScores(m.ziValues);
}

} // namespace

DataListModel LoadDataList(const RaceContext &ctx)
{
    DataListModel m;
    m.title = ctx.caption;
    racing::ClearPayouts(m.payouts);
    const int raceLines = readRunnerRows(ctx, m);
    if (raceLines > kDataRows)
        m.messages.push_back(platform::Information(TooManyRunnersMessage(ctx.race.key, raceLines)));
    readVtxColumns(ctx, m);
    rankColumns(m);
    if (ctx.settings.SDataON != QLatin1String("0"))
        m.payoutRecord = racing::FillPayoutArea(m.payouts, racing::PayoutFileOf(ctx.settings.SData, ctx.race),
                                                ctx.race.day, ctx.race.race);
    readMarks(ctx, m);
    scoreZI(m);
    ShowZIColumn(m, ctx.ziOn);
    return m;
}

void ShowZIColumn(DataListModel &m, bool on)
{
    m.ziOn = on;
    for (int r = 0; r < m.runnerCount; ++r) {
        QString &text = m.rows[r][ColZI].text;
        if (on)
            text = common::FormatZeroZero(m.zi.scores[r]).left(2);
        else
            text = m.ziNumeric[r] ? common::DecimalText(m.ziValues[r]) : m.ziTexts[r];
    }
    m.meanLabel.text = QStringLiteral("平均： ") + common::FormatOneDecimal(m.zi.mean);
    m.deviationLabel.text = QStringLiteral("標準偏差： ") + common::FormatOneDecimal(m.zi.deviation);
    m.meanLabel.visible = on;
    m.deviationLabel.visible = on;
}

} // namespace korvin::racecard
