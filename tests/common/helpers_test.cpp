#include "common/helpers.h"

#include <gtest/gtest.h>

using namespace korvin::common;

namespace {

TEST(Helpers, TextToInt)
{
    const std::pair<const char16_t *, int> cases[] = {
        {u"", 0},      {u"abc", 0}, {u" 12 ", 12}, {u"7.9", 7},       {u"-2.5", -3},       {u"+3", 3},   {u"1e2", 100},
        {u"12a", 0},   {u".5", 0},  {u"-0.1", -1}, {u"99999", 32767}, {u"-99999", -32768}, {u"  ", 0},   {u"0", 0},
        {u"108", 108}, {u"1.", 1},  {u"1e", 0},    {u"-", 0},         {u".", 0},           {u"5D1", 50}, {u"1 2", 0},
        {u"- 4", -4},  {u"\t9", 9}, {u"+-1", 0},   {u"１２", 0},
    };
    for (const auto &[text, value] : cases)
        EXPECT_EQ(TextToInt(QString::fromUtf16(text)), value) << QString::fromUtf16(text).toStdString();
}

TEST(Helpers, RightOfAndMid)
{
    const QString s = QStringLiteral("2000年 5月14日");
    const std::pair<QString, const char16_t *> cases[] = {
        {RightOf("0511", 2), u"11"}, {RightOf(QStringLiteral("馬印"), 1), u"印"},
        {RightOf("abc", 0), u""},    {RightOf("abc", 3), u"abc"},
        {RightOf("abc", 9), u"abc"}, {Mid(s, 1, 4), u"2000"},
        {Mid(s, 5, 1), u"年"},       {Mid(s, 6, 2), u" 5"},
        {Mid(s, 11), u"日"},         {Mid(s, 12, 3), u""},
        {Mid(s, 0, 3), u""},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].first, QString::fromUtf16(cases[i].second)) << "case " << i;
}

TEST(Helpers, NumberFormats)
{
    const std::pair<double, const char *> zeroZero[] = {
        {7.6, "08"}, {105.2, "105"}, {0, "00"}, {59.9999985, "60"}, {39.9999985, "40"}, {49.5, "50"}, {5.4, "05"},
    };
    for (const auto &[v, text] : zeroZero)
        EXPECT_EQ(FormatZeroZero(v), QString::fromLatin1(text)) << v;

    const std::pair<double, const char *> oneDecimal[] = {
        {50.00000149, "50.0"}, {10, "10.0"}, {0.05, "0.1"}, {3.14159, "3.1"}};
    for (const auto &[v, text] : oneDecimal)
        EXPECT_EQ(FormatOneDecimal(v), QString::fromLatin1(text)) << v;

    const std::pair<double, const char *> percent[] = {
        {0.05, "05.0%"}, {1, "100.0%"}, {0, "00.0%"}, {1.0 / 3, "33.3%"}, {2.0 / 3, "66.7%"}, {0.0005, "00.1%"},
    };
    for (const auto &[v, text] : percent)
        EXPECT_EQ(FormatPercent(v), QString::fromLatin1(text)) << v;

    const std::pair<double, const char *> decimal[] = {
        {52.30, "52.3"}, {60, "60"}, {0, "0"}, {-1.25, "-1.25"}, {0.1 + 0.2, "0.3"}};
    for (const auto &[v, text] : decimal)
        EXPECT_EQ(DecimalText(v), QString::fromLatin1(text)) << v;
}

} // namespace
