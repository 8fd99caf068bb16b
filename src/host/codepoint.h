#pragma once
// Characters in plain C++, shared by the key backends and the action model:
// how messages name one ("U+30C6", at least four hex digits), and its UTF-8.
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

inline void AppendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

} // namespace korvin::host
