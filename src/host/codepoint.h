#pragma once
// How messages name a character: "U+30C6" (at least four hex digits). Plain
// C++, shared by the key backends.
#include <string>

namespace korvin::host {

inline std::string CodePointName(char32_t c)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned long v = c; v || hex.size() < 4; v /= 16)
        hex.insert(hex.begin(), digits[v % 16]);
    return "U+" + hex;
}

} // namespace korvin::host
