#include "host/keyactions.h"

#include "host/codepoint.h"

namespace korvin::host {

namespace {

// Characters a log line could not show: blanks and control characters.
bool shownAsCodePoint(char32_t c)
{
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0x3000 || c == 0xFEFF || (c >= 0x2000 && c <= 0x200F) ||
           c == 0x2028 || c == 0x2029;
}

} // namespace

std::string KeyName(NamedKey key)
{
    switch (key) {
    case NamedKey::Enter: return "ENTER";
    case NamedKey::Tab: return "TAB";
    case NamedKey::Escape: return "ESC";
    case NamedKey::Backspace: return "BACKSPACE";
    case NamedKey::Delete: return "DELETE";
    case NamedKey::Insert: return "INSERT";
    case NamedKey::Home: return "HOME";
    case NamedKey::End: return "END";
    case NamedKey::PageUp: return "PGUP";
    case NamedKey::PageDown: return "PGDN";
    case NamedKey::Up: return "UP";
    case NamedKey::Down: return "DOWN";
    case NamedKey::Left: return "LEFT";
    case NamedKey::Right: return "RIGHT";
    case NamedKey::CapsLock: return "CAPSLOCK";
    default: break;
    }
    const int f = int(key) - int(NamedKey::F1) + 1;
    return "F" + std::to_string(f);
}

std::string DescribeAction(const KeyAction &action)
{
    std::string out;
    if (action.kind == KeyAction::Kind::Named) {
        out = "key " + KeyName(action.key);
    } else {
        out = "char ";
        if (shownAsCodePoint(action.character))
            out += CodePointName(action.character);
        else
            AppendUtf8(out, action.character);
    }
    return out + DescribeModifiers(action);
}

std::string DescribeModifiers(const KeyAction &action)
{
    std::string out;
    if (action.shift)
        out += " +shift";
    if (action.ctrl)
        out += " +ctrl";
    if (action.alt)
        out += " +alt";
    return out;
}

} // namespace korvin::host
