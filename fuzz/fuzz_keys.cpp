// The key-string notation: a string gives all of its actions or none, every
// action names a key or a character, and the actions written back in the
// notation parse to the same actions.
#include "fuzzsupport.h"
#include "host/codepoint.h"
#include "host/keynotation.h"

#include <string>

using namespace korvin::host;

namespace {

// One action in the notation.
std::string notation(const KeyAction &a)
{
    std::string s;
    if (a.ctrl)
        s += '^';
    if (a.alt)
        s += '%';
    if (a.kind == KeyAction::Kind::Named) {
        if (a.shift)
            s += '+';
        return s + '{' + KeyName(a.key) + '}';
    }
    const char32_t c = a.character;
    const bool letter = c >= U'A' && c <= U'Z';
    if (a.shift && !letter)
        s += '+';
    if (letter && !a.shift)
        return {}; // an upper-case letter always comes with Shift
    std::string utf8;
    AppendUtf8(utf8, c);
    const bool special = std::string("+^%~(){}[]").find(char(c)) != std::string::npos && c < 0x80;
    return s + (special ? "{" + utf8 + "}" : utf8);
}

bool validCharacter(char32_t c) { return c >= 1 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string keys(reinterpret_cast<const char *>(data), size);
    const KeyParse parse = ParseKeyString(keys);
    if (!parse.ok()) {
        FUZZ_CHECK(parse.actions.empty());
        FUZZ_CHECK(parse.position <= keys.size());
        return 0;
    }
    std::string again;
    for (const KeyAction &a : parse.actions) {
        if (a.kind == KeyAction::Kind::Named)
            FUZZ_CHECK(a.key >= NamedKey::Enter && a.key <= NamedKey::F16);
        else
            FUZZ_CHECK(validCharacter(a.character));
        const std::string one = notation(a);
        FUZZ_CHECK(!one.empty());
        again += one;
    }
    const KeyParse reparsed = ParseKeyString(again);
    FUZZ_CHECK(reparsed.ok());
    FUZZ_CHECK(reparsed.actions == parse.actions);

    std::vector<KeyAction> typed;
    if (TextActions(keys, typed)) {
        for (const KeyAction &a : typed)
            FUZZ_CHECK(a.kind == KeyAction::Kind::Character && validCharacter(a.character));
    } else {
        FUZZ_CHECK(typed.empty());
    }
    return 0;
}
