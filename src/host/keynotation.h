#pragma once
// The key-string notation of the scripts, turned into key actions. Plain C++
// (no Qt) so that every backend's test program can use it.
//
//   {NAME}      a named key, case-insensitive: ENTER, TAB, ESC/ESCAPE,
//               BS/BACKSPACE/BKSP, DEL/DELETE, INS/INSERT, HOME, END, PGUP,
//               PGDN, UP, DOWN, LEFT, RIGHT, CAPSLOCK, F1..F16
//   {NAME n}    the key n times (1..999); "{a 3}" types "a" three times
//   {c}         the character c itself, for the special ones: {+} {^} {%} {~}
//               {(} {)} {{} {}} {[} {]}
//   ~           Enter
//   + ^ %       Shift, Ctrl, Alt held for the next key, or for every key of a
//               group in parentheses: "+(ab)"
//   A..Z        the letter typed with Shift
//   anything    else: that character (UTF-8, non-ASCII included)
//
// "[" and "]" on their own are reserved and must be written {[} and {]}.
#include "host/keyactions.h"

#include <cstddef>
#include <string>
#include <vector>

namespace korvin::host {

struct KeyParse {
    std::vector<KeyAction> actions; // empty whenever error is set
    std::string error;              // empty when the string is good
    std::size_t position = 0;       // byte offset (0-based) where the error was found
    bool ok() const { return error.empty(); }
};

// Parses a whole key string. A string with any fault gives no actions at all,
// never a part of them.
KeyParse ParseKeyString(const std::string &keys);

// Characters of a text as they are to arrive, one action each, no Shift held:
// what typing a path sends. Invalid UTF-8 or a NUL gives false.
bool TextActions(const std::string &text, std::vector<KeyAction> &actions);

} // namespace korvin::host
