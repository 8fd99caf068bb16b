#include "platform/sjis.h"
#include "racing/codetables.h"

#include <gtest/gtest.h>

using namespace korvin::racing;

namespace {

QString u(const char16_t *s) { return QString::fromUtf16(s); }

TEST(CodeTables, EveryPlaceRowBothWays)
{
    const struct {
        const char16_t *code, *name, *letter;
    } rows[] = {{u"01", u"札幌", u"札"}, {u"02", u"函館", u"函"}, {u"03", u"福島", u"福"}, {u"04", u"新潟", u"新"},
                {u"05", u"東京", u"東"}, {u"06", u"中山", u"中"}, {u"07", u"中京", u"名"}, {u"08", u"京都", u"京"},
                {u"09", u"阪神", u"阪"}, {u"10", u"小倉", u"小"}};
    for (const auto &r : rows) {
        EXPECT_EQ(PlaceName(u(r.code), 1), u(r.name));
        EXPECT_EQ(PlaceName(u(r.code), 4), u(r.name));
        EXPECT_EQ(PlaceName(u(r.code), 2), u(r.letter));
        EXPECT_EQ(PlaceCode(u(r.name), 1), u(r.letter));
        EXPECT_EQ(PlaceCode(u(r.name), 2), u(r.code));
        EXPECT_EQ(SjisLength(PlaceName(u(r.code), 4)), 4);
        EXPECT_EQ(SjisLength(PlaceName(u(r.code), 2)), 2);
    }
    EXPECT_EQ(PlaceCodes().size(), 10);
}

TEST(CodeTables, PlaceFallbacks)
{
    // Codes are always two digits; names are never trimmed.
    const std::pair<QString, const char *> cases[] = {
        {PlaceName("11", 1), "    "},     {PlaceName("11", 2), "  "},     {PlaceName("5", 1), "    "},
        {PlaceName(" 5", 4), "    "},     {PlaceName("", 4), "    "},     {PlaceCode(u(u"大井"), 1), "  "},
        {PlaceCode(u(u"大井"), 2), "  "}, {PlaceCode(u(u"東京"), 3), ""}, {PlaceCode(u(u"東京 "), 2), "  "},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, QString::fromLatin1(cases[i].second)) << "case " << i;
}

TEST(CodeTables, EveryClassRowAndFallback)
{
    const struct {
        const char *code;
        const char16_t *shortText, *longText;
    } rows[] = {{"7", u"未勝", u"  未勝利"},   {"11", u"未出", u"  未出走"},  {"15", u"新馬", u"  新  馬"},
                {"19", u" 400", u" 400万下"},  {"23", u" 500", u" 500万下"},  {"39", u" 900", u" 900万下"},
                {"63", u"1500", u"1500万下"},  {"67", u"1600", u"1600万下"},  {"131", u"OPEN", u"オープン"},
                {"147", u"重賞", u"  重  賞"}, {"163", u"Ｇ３", u"    Ｇ３"}, {"179", u"Ｇ２", u"    Ｇ２"},
                {"195", u"Ｇ１", u"    Ｇ１"}};
    for (const auto &r : rows) {
        const QString code = QString::fromLatin1(r.code);
        EXPECT_EQ(ClassName(code, 4), u(r.shortText)) << r.code;
        EXPECT_EQ(ClassName(code, 8), u(r.longText)) << r.code;
        EXPECT_EQ(SjisLength(ClassName(code, 4)), 4) << r.code;
        EXPECT_EQ(SjisLength(ClassName(code, 8)), 8) << r.code;
    }
    EXPECT_EQ(ClassName(QStringLiteral("147"), 6), QString());
    EXPECT_EQ(ClassName(QStringLiteral("100"), 4), QStringLiteral("    "));
    EXPECT_EQ(ClassName(QStringLiteral("100"), 8), QStringLiteral("        "));
    EXPECT_EQ(ClassName(QStringLiteral("19.7"), 8), QStringLiteral(" 400万下")) << "fraction dropped before the lookup";
    EXPECT_EQ(ClassName(QStringLiteral("abc"), 8), QStringLiteral("        "));
    EXPECT_EQ(ClassName(QStringLiteral(""), 4), QStringLiteral("    "));
}

TEST(CodeTables, TrackAndAbnormal)
{
    const std::pair<const char16_t *, const char16_t *> tracks[] = {
        {u"0", u"T"}, {u"1", u"D"}, {u"2", u"J"}, {u"3", u"J"}, {u"8", u"T"}, {u"9", u" "}, {u"", u" "}, {u"00", u" "}};
    for (const auto &[code, letter] : tracks)
        EXPECT_EQ(TrackLetter(u(code), 1), u(letter)) << QString::fromUtf16(code).toStdString();
    EXPECT_EQ(TrackLetter(QStringLiteral("0"), 2), QString());

    const std::pair<const char16_t *, const char16_t *> abnormal[] = {
        {u"0", u"    "}, {u"1", u"取消"}, {u"2", u"発除"}, {u"3", u"競除"}, {u"4", u"中止"},
        {u"5", u"失格"}, {u"6", u"落馬"}, {u"7", u"降着"}, {u"9", u"    "}, {u"", u"    "}};
    for (const auto &[code, name] : abnormal)
        EXPECT_EQ(AbnormalName(u(code)), u(name));
}

TEST(CodeTables, PadNumberNeverCuts)
{
    const struct {
        int value, width;
        const char *text;
    } cases[] = {{7, 3, "  7"}, {1234, 3, "1234"}, {-5, 4, "  -5"}, {0, 0, "0"}, {1230, 8, "    1230"}, {-5, 1, "-5"}};
    for (const auto &c : cases)
        EXPECT_EQ(PadNumber(c.value, c.width), QString::fromLatin1(c.text));
}

TEST(CodeTables, SjisLengthAndMidOnMixedText)
{
    EXPECT_EQ(SjisLength(QStringLiteral("東京A")), 5);
    EXPECT_EQ(SjisLength(QStringLiteral("ｶﾞﾝﾊﾞ")), 5);
    EXPECT_EQ(SjisLength(QStringLiteral("～")), 2);
    EXPECT_EQ(SjisLength(QStringLiteral("ア ｱ")), 4); // full-width katakana, blank, half-width katakana
    EXPECT_EQ(SjisLength(QString()), 0);

    const struct {
        const char16_t *text;
        int start, count;
        const char16_t *expected;
    } cases[] = {
        {u"AB東京", 3, 2, u"東"},  {u"◎", 1, 2, u"◎"}, {u"A  ", 1, 2, u"A "}, {u"ｱｲ東", 2, 3, u"ｲ東"},
        {u"AB東京", 1, 3, u"AB "}, // a cut through 東 keeps the byte budget with a blank
        {u"AB東京", 4, 2, u"  "},  // halves of two characters
        {u"AB東京", 5, 2, u"京"},  {u"AB", 3, 2, u""}, {u"AB", 2, 5, u"B"},   {u"馬印", 1, 0, u""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SjisMid(u(c.text), c.start, c.count), u(c.expected))
            << QString::fromUtf16(c.text).toStdString() << " " << c.start << "," << c.count;
}

} // namespace
