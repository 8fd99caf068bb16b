#include "host/keynotation.h"

#include <gtest/gtest.h>

using namespace korvin::host;

namespace {

std::string described(const std::string &keys)
{
    const KeyParse p = ParseKeyString(keys);
    if (!p.ok())
        return "error: " + p.error;
    std::string out;
    for (const KeyAction &a : p.actions)
        out += (out.empty() ? "" : " | ") + DescribeAction(a);
    return out;
}

TEST(KeyNotation, EveryElementGivesItsActions)
{
    const std::pair<std::string, std::string> cases[] = {
        // Names in braces, any case; "~" is Enter too.
        {"{Enter}", "key ENTER"},
        {"{ENTER}{enter}~", "key ENTER | key ENTER | key ENTER"},
        {"{Tab}{esc}{Escape}", "key TAB | key ESC | key ESC"},
        {"{BS}{BACKSPACE}{bksp}", "key BACKSPACE | key BACKSPACE | key BACKSPACE"},
        {"{DEL}{Delete}{INS}{INSERT}", "key DELETE | key DELETE | key INSERT | key INSERT"},
        {"{HOME}{END}{PGUP}{PGDN}", "key HOME | key END | key PGUP | key PGDN"},
        {"{UP}{DOWN}{LEFT}{RIGHT}{CAPSLOCK}", "key UP | key DOWN | key LEFT | key RIGHT | key CAPSLOCK"},
        {"{F1}{F3}{f8}{F12}{F16}", "key F1 | key F3 | key F8 | key F12 | key F16"},
        // Repeats.
        {"{F6 2}", "key F6 | key F6"},
        {"{TAB 3}", "key TAB | key TAB | key TAB"},
        {"{a 3}", "char a | char a | char a"},
        // Upper-case letters with Shift, other text as it stands, blanks by code point.
        {"F", "char F +shift"},
        {"f Z", "char f | char U+0020 | char Z +shift"},
        {"/data/東京～ｶﾞ.txt", "char / | char d | char a | char t | char a | char / | char 東 | char 京 | char ～ | "
                               "char ｶ | char ﾞ | char . | char t | char x | char t"},
        {"\t", "char U+0009"},
        // Modifiers for the next key or a group.
        {"+a^c%{F4}", "char a +shift | char c +ctrl | key F4 +alt"},
        {"^+{TAB 2}", "key TAB +shift +ctrl | key TAB +shift +ctrl"},
        {"+(ab)c", "char a +shift | char b +shift | char c"},
        {"%(^(x)y)", "char x +ctrl +alt | char y +alt"},
        // The special characters typed literally.
        {"{+}{^}{%}{~}", "char + | char ^ | char % | char ~"},
        {"{(}{)}{{}{}}{[}{]}", "char ( | char ) | char { | char } | char [ | char ]"},
        {"{} 2}", "char } | char }"},
        {"", ""},
    };
    for (const auto &[keys, expected] : cases)
        EXPECT_EQ(described(keys), expected) << keys;
}

TEST(KeyNotation, FaultsGiveNoActionsAtAll)
{
    std::vector<std::pair<std::string, std::size_t>> cases = {
        {"{Enter", 0}, {"a{F8}}", 5},    {"{FOO}", 0},    {"ab{F17}", 2},  {"{F0}", 0}, {"{F6 0}", 4},
        {"{F6 x}", 4}, {"{F6 1000}", 4}, {"{F6 }", 4},    {"{F6  2}", 4},  {"{}", 0},   {"{ }", 0},
        {"a+", 2},     {"+()b)", 4},     {"(ab", 0},      {"a)", 1},       {"[x", 0},   {"x]", 1},
        {"+)", 1},     {"ok\xff", 2},    {"\xe6\x9d", 0}, {"\xc0\xaf", 0},
    };
    // A NUL names no key and no character.
    cases.emplace_back(std::string("ab\0c", 4), 2);
    cases.emplace_back(std::string("{\0}", 3), 0);
    // Repeats beyond 65536 keys in all (a few bytes must not ask for gigabytes).
    std::string flood;
    for (int i = 0; i < 70; ++i)
        flood += "{a 999}";
    cases.emplace_back(flood, 65 * 7);
    for (const auto &[keys, at] : cases) {
        const KeyParse p = ParseKeyString(keys);
        EXPECT_FALSE(p.ok()) << keys;
        EXPECT_TRUE(p.actions.empty()) << keys;
        EXPECT_EQ(p.position, at) << keys;
    }
}

TEST(KeyNotation, TypedTextHoldsNoShift)
{
    std::vector<KeyAction> actions;
    ASSERT_TRUE(TextActions("Ab/東", actions));
    ASSERT_EQ(actions.size(), 4u);
    EXPECT_EQ(DescribeAction(actions[0]), "char A");
    EXPECT_EQ(DescribeAction(actions[3]), "char 東");
    for (const std::string &bad : {std::string("a\xff"), std::string("a\0", 2)}) {
        EXPECT_FALSE(TextActions(bad, actions));
        EXPECT_TRUE(actions.empty());
    }
}

} // namespace
