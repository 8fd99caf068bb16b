#include "racing/codetables.h"

#include "platform/sjis.h"
#include "common/helpers.h"

#include <array>
#include <cmath>

namespace korvin::racing {
namespace {

struct Place {
    const char16_t *code;
    const char16_t *name;
    const char16_t *letter;
};
constexpr std::array<Place, 10> kPlaces{{
    {u"01", u"札幌", u"札"},
    {u"02", u"函館", u"函"},
    {u"03", u"福島", u"福"},
    {u"04", u"新潟", u"新"},
    {u"05", u"東京", u"東"},
    {u"06", u"中山", u"中"},
    {u"07", u"中京", u"名"},
    {u"08", u"京都", u"京"},
    {u"09", u"阪神", u"阪"},
    {u"10", u"小倉", u"小"},
}};

struct RaceClass {
    int code;
    const char16_t *shortText;
    const char16_t *longText;
};
constexpr std::array<RaceClass, 13> kClasses{{
    {7, u"未勝", u"  未勝利"},
    {11, u"未出", u"  未出走"},
    {15, u"新馬", u"  新  馬"},
    {19, u" 400", u" 400万下"},
    {23, u" 500", u" 500万下"},
    {39, u" 900", u" 900万下"},
    {63, u"1500", u"1500万下"},
    {67, u"1600", u"1600万下"},
    {131, u"OPEN", u"オープン"},
    {147, u"重賞", u"  重  賞"},
    {163, u"Ｇ３", u"    Ｇ３"},
    {179, u"Ｇ２", u"    Ｇ２"},
    {195, u"Ｇ１", u"    Ｇ１"},
}};

struct Code {
    const char16_t *code;
    const char16_t *text;
};
constexpr std::array<Code, 5> kTracks{{{u"0", u"T"}, {u"1", u"D"}, {u"2", u"J"}, {u"3", u"J"}, {u"8", u"T"}}};
constexpr std::array<Code, 8> kAbnormal{{{u"0", u"    "},
                                         {u"1", u"取消"},
                                         {u"2", u"発除"},
                                         {u"3", u"競除"},
                                         {u"4", u"中止"},
                                         {u"5", u"失格"},
                                         {u"6", u"落馬"},
                                         {u"7", u"降着"}}};

QString str(const char16_t *s) { return QString::fromUtf16(s); }

} // namespace

QString PlaceName(const QString &code, int mode)
{
    for (const Place &p : kPlaces)
        if (code == str(p.code))
            return str(mode == 2 ? p.letter : p.name);
    return mode == 2 ? QStringLiteral("  ") : QStringLiteral("    ");
}

QString PlaceCode(const QString &name, int mode)
{
    if (mode != 1 && mode != 2)
        return {};
    for (const Place &p : kPlaces)
        if (name == str(p.name))
            return str(mode == 1 ? p.letter : p.code);
    return QStringLiteral("  ");
}

QString ClassName(const QString &code, int width)
{
    if (width != 4 && width != 8)
        return {};
    bool ok = false;
    const double v = common::TextToDouble(code, &ok);
    if (ok) {
        const double whole = std::floor(v);
        for (const RaceClass &c : kClasses)
            if (whole == c.code)
                return str(width == 4 ? c.shortText : c.longText);
    }
    return QString(width, QLatin1Char(' '));
}

QString TrackLetter(const QString &code, int mode)
{
    if (mode != 1)
        return {};
    for (const Code &t : kTracks)
        if (code == str(t.code))
            return str(t.text);
    return QStringLiteral(" ");
}

QString AbnormalName(const QString &code)
{
    for (const Code &a : kAbnormal)
        if (code == str(a.code))
            return str(a.text);
    return QStringLiteral("    ");
}

QString PadNumber(qint32 value, int width)
{
    QString s = QString::number(value);
    if (s.size() < width)
        s.prepend(QString(width - s.size(), QLatin1Char(' ')));
    return s;
}

qint32 SjisLength(const QString &text)
{
    qint32 n = 0;
    for (QChar c : text)
        n += platform::sjisCharBytes(c);
    return n;
}

QString SjisMid(const QString &text, qint32 start, qint32 count)
{
    if (start < 1 || count <= 0)
        return {};
    const qint32 first = start;            // first byte wanted (1-based)
    const qint32 last = start + count - 1; // last byte wanted
    QString out;
    qint32 pos = 1; // byte position of the current character
    for (QChar c : text) {
        if (pos > last)
            break;
        const int len = platform::sjisCharBytes(c);
        const qint32 end = pos + len - 1;
        if (end >= first) {
            if (pos >= first && end <= last)
                out += c;
            else // only part of a double-byte character is inside the range
                for (qint32 b = qMax(pos, first); b <= qMin(end, last); ++b)
                    out += QLatin1Char(' ');
        }
        pos = end + 1;
    }
    return out;
}

QStringList PlaceCodes()
{
    QStringList out;
    for (const Place &p : kPlaces)
        out << str(p.code);
    return out;
}

int RaceId::raceNumber() const { return common::TextToInt(race); }

RaceId RaceIdOfKey(const QString &key)
{
    using common::Mid;
    RaceId r;
    r.course = Mid(key, 1, 2);
    r.courseName = PlaceName(r.course, 4);
    r.year2 = Mid(key, 3, 2);
    r.meeting = platform::toHalfWidth(Mid(key, 5, 1));
    r.day = platform::toHalfWidth(Mid(key, 6, 1));
    r.race = Mid(key, 7, 2);
    r.key = key;
    return r;
}

} // namespace korvin::racing
