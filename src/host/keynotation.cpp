#include "host/keynotation.h"

#include <array>
#include <cctype>
#include <utility>

namespace korvin::host {

namespace {

constexpr int kMaxCount = 999;
// No key types NUL; a backend would send nothing for it or stop there.
const char *const kNulError = "a NUL character cannot be sent";
// More than a run ever sends: repeats ("{a 999}" over and over) must not
// turn a few bytes into gigabytes of actions.
constexpr std::size_t kMaxActions = 65536;

// One code point from UTF-8 at s[i]; advances i. False on a malformed sequence.
bool decodeUtf8(const std::string &s, std::size_t &i, char32_t &out)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char b0 = byte(i);
    int extra = 0;
    char32_t c = 0;
    if (b0 < 0x80) {
        out = b0;
        ++i;
        return true;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        c = b0 & 0x07;
    } else {
        return false;
    }
    if (i + extra >= s.size())
        return false;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char b = byte(i + k);
        if ((b & 0xC0) != 0x80)
            return false;
        c = (c << 6) | (b & 0x3F);
    }
    static constexpr char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return false;
    out = c;
    i += extra + 1;
    return true;
}

const std::array<std::pair<const char *, NamedKey>, 20> kNames{{
    {"ENTER", NamedKey::Enter},    {"TAB", NamedKey::Tab},           {"ESC", NamedKey::Escape},
    {"ESCAPE", NamedKey::Escape},  {"BS", NamedKey::Backspace},      {"BACKSPACE", NamedKey::Backspace},
    {"BKSP", NamedKey::Backspace}, {"DEL", NamedKey::Delete},        {"DELETE", NamedKey::Delete},
    {"INS", NamedKey::Insert},     {"INSERT", NamedKey::Insert},     {"HOME", NamedKey::Home},
    {"END", NamedKey::End},        {"PGUP", NamedKey::PageUp},       {"PGDN", NamedKey::PageDown},
    {"UP", NamedKey::Up},          {"DOWN", NamedKey::Down},         {"LEFT", NamedKey::Left},
    {"RIGHT", NamedKey::Right},    {"CAPSLOCK", NamedKey::CapsLock},
}};

bool lookupName(const std::string &name, NamedKey &key)
{
    std::string upper;
    for (char c : name)
        upper += char(std::toupper(static_cast<unsigned char>(c)));
    for (const auto &[text, k] : kNames) {
        if (upper == text) {
            key = k;
            return true;
        }
    }
    // F1..F16
    if (upper.size() >= 2 && upper.size() <= 3 && upper[0] == 'F' &&
        std::isdigit(static_cast<unsigned char>(upper[1])) && upper[1] != '0' &&
        (upper.size() == 2 || std::isdigit(static_cast<unsigned char>(upper[2])))) {
        const int n = std::stoi(upper.substr(1));
        if (n >= 1 && n <= 16) {
            key = NamedKey(int(NamedKey::F1) + n - 1);
            return true;
        }
    }
    return false;
}

struct Modifiers {
    bool shift = false, ctrl = false, alt = false;
    bool any() const { return shift || ctrl || alt; }
    Modifiers operator|(const Modifiers &o) const { return {shift || o.shift, ctrl || o.ctrl, alt || o.alt}; }
};

KeyAction characterAction(char32_t c)
{
    KeyAction a;
    a.kind = KeyAction::Kind::Character;
    a.character = c;
    // An upper-case letter is typed as a Shift press, as a user would.
    a.shift = c >= U'A' && c <= U'Z';
    return a;
}

class Parser {
public:
    explicit Parser(const std::string &s) : m_s(s) {}

    KeyParse run()
    {
        KeyParse r;
        while (m_i < m_s.size() && m_error.empty())
            step();
        if (m_error.empty() && m_pending.any())
            fail(m_s.size(), "a modifier (+ ^ %) at the end has no key to act on");
        if (m_error.empty() && !m_groups.empty())
            fail(m_groupStarts.back(), "\"(\" is never closed by \")\"");
        if (!m_error.empty()) {
            r.error = m_error;
            r.position = m_errorAt;
            return r;
        }
        r.actions = std::move(m_actions);
        return r;
    }

private:
    const std::string &m_s;
    std::size_t m_i = 0;
    Modifiers m_pending;
    std::vector<Modifiers> m_groups; // modifiers held by each open group
    std::vector<std::size_t> m_groupStarts;
    std::vector<KeyAction> m_actions;
    std::string m_error;
    std::size_t m_errorAt = 0;

    void fail(std::size_t at, const std::string &what)
    {
        if (m_error.empty()) {
            m_error = what;
            m_errorAt = at;
        }
    }

    Modifiers held() const { return (m_groups.empty() ? Modifiers{} : m_groups.back()) | m_pending; }

    // The actions of the element at position at.
    void emit(std::size_t at, KeyAction a, int count = 1)
    {
        if (a.kind == KeyAction::Kind::Character && a.character == 0)
            return fail(at, kNulError);
        if (m_actions.size() + std::size_t(count) > kMaxActions)
            return fail(at, "more than " + std::to_string(kMaxActions) + " keys");
        const Modifiers m = held();
        a.shift = a.shift || m.shift;
        a.ctrl = m.ctrl;
        a.alt = m.alt;
        for (int k = 0; k < count; ++k)
            m_actions.push_back(a);
        m_pending = {};
    }

    void step()
    {
        const char c = m_s[m_i];
        switch (c) {
        case '+':
            m_pending.shift = true;
            ++m_i;
            return;
        case '^':
            m_pending.ctrl = true;
            ++m_i;
            return;
        case '%':
            m_pending.alt = true;
            ++m_i;
            return;
        case '~': {
            KeyAction enter;
            enter.key = NamedKey::Enter;
            emit(m_i, enter);
            ++m_i;
            return;
        }
        case '(':
            m_groups.push_back(held());
            m_groupStarts.push_back(m_i);
            m_pending = {};
            ++m_i;
            return;
        case ')':
            if (m_groups.empty())
                return fail(m_i, "\")\" without \"(\" (write {)} for the character)");
            if (m_pending.any())
                return fail(m_i, "a modifier (+ ^ %) before \")\" has no key to act on");
            m_groups.pop_back();
            m_groupStarts.pop_back();
            ++m_i;
            return;
        case '{': return brace();
        case '}': return fail(m_i, "\"}\" without \"{\" (write {}} for the character)");
        case '[':
        case ']': return fail(m_i, std::string("\"") + c + "\" is reserved (write {" + c + "} for the character)");
        default: {
            const std::size_t at = m_i;
            char32_t cp = 0;
            if (!decodeUtf8(m_s, m_i, cp))
                return fail(at, "not valid UTF-8");
            emit(at, characterAction(cp));
            return;
        }
        }
    }

    // "{NAME}" or "{NAME n}"; m_i is on the "{".
    void brace()
    {
        const std::size_t open = m_i;
        std::size_t j = open + 1;
        std::size_t nameEnd = j;
        if (j < m_s.size() && m_s[j] == '}') {
            nameEnd = j + 1; // "{}}": the closing brace itself
        } else {
            while (nameEnd < m_s.size() && m_s[nameEnd] != ' ' && m_s[nameEnd] != '}')
                ++nameEnd;
        }
        if (nameEnd >= m_s.size())
            return fail(open, "\"{\" is never closed by \"}\"");
        const std::string name = m_s.substr(j, nameEnd - j);
        if (name.empty())
            return fail(open, "\"{\" without a key name");
        int count = 1;
        j = nameEnd;
        if (m_s[j] == ' ') {
            std::size_t k = j + 1;
            std::string digits;
            while (k < m_s.size() && m_s[k] != '}')
                digits += m_s[k++];
            if (k >= m_s.size())
                return fail(open, "\"{\" is never closed by \"}\"");
            bool good = !digits.empty() && digits.size() <= 3;
            for (char d : digits)
                good = good && std::isdigit(static_cast<unsigned char>(d));
            count = good ? std::stoi(digits) : 0;
            if (count < 1 || count > kMaxCount)
                return fail(j + 1, "bad count \"" + digits + "\" in {" + name + " ...} (a whole number 1 to 999)");
            j = k;
        }
        if (m_s[j] != '}')
            return fail(open, "\"{\" is never closed by \"}\"");
        m_i = j + 1;

        std::size_t p = 0;
        char32_t cp = 0;
        if (decodeUtf8(name, p, cp) && p == name.size())
            return emit(open, characterAction(cp), count);
        KeyAction named;
        if (!lookupName(name, named.key))
            return fail(open, "unknown key name \"" + name + "\"");
        emit(open, named, count);
    }
};

} // namespace

KeyParse ParseKeyString(const std::string &keys) { return Parser(keys).run(); }

bool TextActions(const std::string &text, std::vector<KeyAction> &actions)
{
    actions.clear();
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        if (!decodeUtf8(text, i, c) || c == 0) {
            actions.clear();
            return false;
        }
        KeyAction a;
        a.kind = KeyAction::Kind::Character;
        a.character = c;
        actions.push_back(a);
    }
    return true;
}

} // namespace korvin::host
