#pragma once
// What a key string turns into: a list of key actions, each a named key or one
// typed character, with the modifiers held while it is pressed. Plain C++ (no
// Qt) so that every backend, the Win32 one included, shares it.
#include <string>
#include <vector>

namespace korvin::host {

// Named keys of the notation ("{Enter}", "{F8}", "{PGDN}" ...).
// clang-format off
enum class NamedKey {
    Enter, Tab, Escape, Backspace, Delete, Insert, Home, End, PageUp, PageDown,
    Up, Down, Left, Right, CapsLock,
    F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12, F13, F14, F15, F16,
};
// clang-format on

struct KeyAction {
    enum class Kind { Named, Character };
    Kind kind = Kind::Named;
    NamedKey key = NamedKey::Enter; // Kind::Named
    char32_t character = 0;         // Kind::Character: the character to arrive
    bool shift = false;             // held while the key is pressed
    bool ctrl = false;
    bool alt = false;

    bool operator==(const KeyAction &o) const
    {
        return kind == o.kind && (kind == Kind::Named ? key == o.key : character == o.character) && shift == o.shift &&
               ctrl == o.ctrl && alt == o.alt;
    }
    bool operator!=(const KeyAction &o) const { return !(*this == o); }
};

// Canonical upper-case name of a named key as the logs print it: "ENTER",
// "F8", "PGDN", "INSERT", "UP", "TAB" ...
std::string KeyName(NamedKey key);

// One line per action, the format of `korvin-cli keys` and of the stand-in
// host's key log: "key NAME" or "char C" (C as UTF-8; a blank or a control
// character as "U+0020"), followed by " +shift", " +ctrl", " +alt" for each
// modifier held.
std::string DescribeAction(const KeyAction &action);
// Its tail: " +shift", " +ctrl", " +alt" for each modifier held.
std::string DescribeModifiers(const KeyAction &action);

} // namespace korvin::host
