#pragma once
// Key actions written briefly in the backend tests. Plain C++: the Win32 test
// program includes it too.
#include "host/keyactions.h"

#include <string_view>
#include <vector>

namespace korvin::host::test {

using Actions = std::vector<KeyAction>;

inline KeyAction Key(NamedKey key, bool shift = false)
{
    KeyAction a;
    a.key = key;
    a.shift = shift;
    return a;
}

inline KeyAction Char(char32_t c, bool shift = false, bool ctrl = false)
{
    KeyAction a;
    a.kind = KeyAction::Kind::Character;
    a.character = c;
    a.shift = shift;
    a.ctrl = ctrl;
    return a;
}

inline Actions Text(std::u32string_view text)
{
    Actions actions;
    for (char32_t c : text)
        actions.push_back(Char(c));
    return actions;
}

inline Actions operator+(Actions a, const Actions &b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace korvin::host::test
