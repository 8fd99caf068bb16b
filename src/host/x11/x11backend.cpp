#include "host/x11/x11backend.h"

#include "host/codepoint.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <climits>
#include <map>
#include <optional>
#include <thread>
#include <vector>

namespace korvin::host::x11 {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Polling step of the bounded waits (focus, modifiers, mapping).
constexpr milliseconds kPollStep{5};

void Pause(milliseconds d)
{
    if (d.count() > 0)
        std::this_thread::sleep_for(d);
}

// A window can vanish between listing it and reading its properties. Errors
// of the requests made while a trap is alive are counted instead of ending the
// program; the previous handler is put back afterwards.
int g_trappedErrors = 0;
int CountXError(Display *, XErrorEvent *)
{
    ++g_trappedErrors;
    return 0;
}

class ErrorTrap {
public:
    explicit ErrorTrap(Display *dpy) : m_dpy(dpy)
    {
        XSync(m_dpy, False);
        g_trappedErrors = 0;
        m_previous = XSetErrorHandler(CountXError);
    }
    ~ErrorTrap()
    {
        XSync(m_dpy, False);
        XSetErrorHandler(m_previous);
    }
    ErrorTrap(const ErrorTrap &) = delete;
    ErrorTrap &operator=(const ErrorTrap &) = delete;
    bool failed()
    {
        XSync(m_dpy, False);
        return g_trappedErrors > 0;
    }

private:
    Display *m_dpy;
    XErrorHandler m_previous;
};

// Raw bytes of a window property of the given type (AnyPropertyType allowed).
std::optional<std::vector<unsigned char>> ReadProperty(Display *dpy, Window w, Atom property, Atom type,
                                                       int *formatOut = nullptr)
{
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char *data = nullptr;
    if (XGetWindowProperty(dpy, w, property, 0, LONG_MAX / 4, False, type, &actualType, &format, &count, &after,
                           &data) != Success ||
        actualType == None || (type != AnyPropertyType && actualType != type)) {
        if (data)
            XFree(data);
        return std::nullopt;
    }
    // Format 32 items are longs in memory, whatever their size on the wire.
    const size_t itemSize = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
    std::vector<unsigned char> bytes(data, data + count * itemSize);
    XFree(data);
    if (formatOut)
        *formatOut = format;
    return bytes;
}

std::vector<long> ReadLongs(Display *dpy, Window w, Atom property, Atom type)
{
    int format = 0;
    auto bytes = ReadProperty(dpy, w, property, type, &format);
    std::vector<long> values;
    if (!bytes || format != 32)
        return values;
    values.resize(bytes->size() / sizeof(long));
    std::copy(bytes->begin(), bytes->begin() + values.size() * sizeof(long),
              reinterpret_cast<unsigned char *>(values.data()));
    return values;
}

// The keysym that types character `c`: Latin-1 keysyms equal the code point,
// every other character has its Unicode keysym.
KeySym SymbolForCharacter(char32_t c)
{
    switch (c) {
    case U'\t': return XK_Tab;
    case U'\r':
    case U'\n': return XK_Return;
    case U'\b': return XK_BackSpace;
    case 0x1B: return XK_Escape;
    case 0x7F: return XK_Delete;
    default: break;
    }
    if (c < 0x20 || (c >= 0x80 && c < 0xA0) || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return NoSymbol;
    if (c <= 0xFF)
        return c;
    return 0x01000000 | c;
}

KeySym SymbolForKey(NamedKey key)
{
    switch (key) {
    case NamedKey::Enter: return XK_Return;
    case NamedKey::Tab: return XK_Tab;
    case NamedKey::Escape: return XK_Escape;
    case NamedKey::Backspace: return XK_BackSpace;
    case NamedKey::Delete: return XK_Delete;
    case NamedKey::Insert: return XK_Insert;
    case NamedKey::Home: return XK_Home;
    case NamedKey::End: return XK_End;
    case NamedKey::PageUp: return XK_Prior;
    case NamedKey::PageDown: return XK_Next;
    case NamedKey::Up: return XK_Up;
    case NamedKey::Down: return XK_Down;
    case NamedKey::Left: return XK_Left;
    case NamedKey::Right: return XK_Right;
    case NamedKey::CapsLock: return XK_Caps_Lock;
    default: break;
    }
    const int n = static_cast<int>(key) - static_cast<int>(NamedKey::F1);
    return n >= 0 && n < 16 ? XK_F1 + n : NoSymbol;
}

// The keyboard as XKB describes it at one moment: which key and which level
// produce a keysym, given the effective group and the locked modifiers.
class Keymap {
public:
    explicit Keymap(Display *dpy) : m_dpy(dpy) { refresh(); }
    ~Keymap()
    {
        if (m_xkb)
            XkbFreeKeyboard(m_xkb, 0, True);
    }
    Keymap(const Keymap &) = delete;
    Keymap &operator=(const Keymap &) = delete;

    bool valid() const { return m_xkb && m_xkb->map; }

    void refresh()
    {
        if (m_xkb)
            XkbFreeKeyboard(m_xkb, 0, True);
        m_xkb = XkbGetMap(m_dpy, XkbKeyTypesMask | XkbKeySymsMask, XkbUseCoreKbd);
        XkbStateRec state{};
        if (XkbGetState(m_dpy, XkbUseCoreKbd, &state) == Success) {
            m_group = state.group;
            m_locks = state.locked_mods | state.latched_mods;
        }
    }

    unsigned locks() const { return m_locks; }

    struct Choice {
        KeyCode code;
        bool shift;
        bool capsOff = false; // Caps Lock to be released around the press
    };

    // A key that makes `sym` arrive, pressed alone or with Shift, under the
    // locked modifiers `locks`. With Caps Lock on a lower-case letter is
    // Shift plus its key (Shift cancels Caps Lock on letter keys).
    std::optional<Choice> keyFor(KeySym sym, unsigned locks) const
    {
        for (int k = m_xkb->min_key_code; k <= m_xkb->max_key_code; ++k) {
            const int g = groupOf(k);
            if (g < 0)
                continue;
            XkbKeyTypePtr type = XkbKeyKeyType(m_xkb, k, g);
            for (bool shift : {false, true}) {
                const int level = levelOf(type, locks | (shift ? ShiftMask : 0));
                if (level >= XkbKeyGroupWidth(m_xkb, k, g) || XkbKeySymEntry(m_xkb, k, level, g) != sym)
                    continue;
                // Caps Lock that the key's type does not use is applied by the
                // receiver itself: it would turn a lower-case letter upper.
                if ((locks & LockMask) && !(type->mods.mask & LockMask)) {
                    KeySym lower = NoSymbol, upper = NoSymbol;
                    XConvertCase(sym, &lower, &upper);
                    if (upper != sym)
                        continue;
                }
                return Choice{static_cast<KeyCode>(k), shift};
            }
        }
        return std::nullopt;
    }

    // The key that carries `sym`, for a press with Shift held ("+a", the "F"
    // of a function key sequence): preferably the key on which Shift gives
    // `sym`, else any key with `sym` on a level of the current group.
    std::optional<KeyCode> keyCarrying(KeySym sym) const
    {
        for (int pass = 0; pass < 2; ++pass) {
            for (int k = m_xkb->min_key_code; k <= m_xkb->max_key_code; ++k) {
                const int g = groupOf(k);
                if (g < 0)
                    continue;
                const int width = XkbKeyGroupWidth(m_xkb, k, g);
                if (pass == 0) {
                    const int level = levelOf(XkbKeyKeyType(m_xkb, k, g), ShiftMask);
                    if (level < width && XkbKeySymEntry(m_xkb, k, level, g) == sym)
                        return static_cast<KeyCode>(k);
                    continue;
                }
                for (int level = 0; level < width; ++level)
                    if (XkbKeySymEntry(m_xkb, k, level, g) == sym)
                        return static_cast<KeyCode>(k);
            }
        }
        return std::nullopt;
    }

private:
    int groupOf(int key) const
    {
        const int n = XkbKeyNumGroups(m_xkb, key);
        if (n == 0)
            return -1;
        if (m_group < n)
            return m_group;
        const unsigned char info = XkbKeyGroupInfo(m_xkb, key);
        switch (XkbOutOfRangeGroupAction(info)) {
        case XkbClampIntoRange: return n - 1;
        case XkbRedirectIntoRange: {
            const int g = XkbOutOfRangeGroupNumber(info);
            return g < n ? g : 0;
        }
        default: return m_group % n;
        }
    }

    static int levelOf(XkbKeyTypePtr type, unsigned mods)
    {
        mods &= type->mods.mask;
        for (int i = 0; i < type->map_count; ++i) {
            const XkbKTMapEntryRec &e = type->map[i];
            if (e.active && e.mods.mask == mods)
                return e.level;
        }
        return 0;
    }

    Display *m_dpy;
    XkbDescPtr m_xkb = nullptr;
    int m_group = 0;
    unsigned m_locks = 0;
};

// Keycodes with no symbol at all, lent to characters that are not on the
// keymap. A character stays on its keycode until the keycode is needed for
// another one or the backend closes: a receiver that is busy reads the keymap
// only when it gets to the keys, and must still find the characters there.
// The keycode pressed longest ago is taken first, and never sooner than
// `reuseDelay` after its last press.
//
// A character goes on the Shift level, under a function key F13..F24 that the
// keymap lacks, one per keycode: programs under Wine only take a key whose
// first symbol gives them a virtual key they can map back to that keycode,
// and then read the character from it; other programs simply read the
// character on the Shift level. That pattern also marks keycodes left lent
// by a run that ended abruptly: they are taken back.
class SpareKeys {
public:
    SpareKeys(Display *dpy, milliseconds reuseDelay) : m_dpy(dpy), m_reuseDelay(reuseDelay) {}
    ~SpareKeys() { restore(); }
    SpareKeys(const SpareKeys &) = delete;
    SpareKeys &operator=(const SpareKeys &) = delete;

    // Finds the free and the lent keycodes as the keymap stands now.
    void prepare()
    {
        m_slots.clear();
        m_primed = false;
        int minKey = 0, maxKey = 0, perKey = 0;
        XDisplayKeycodes(m_dpy, &minKey, &maxKey);
        KeySym *syms = XGetKeyboardMapping(m_dpy, static_cast<KeyCode>(minKey), maxKey - minKey + 1, &perKey);
        if (!syms)
            return;
        std::vector<KeyCode> empty;
        std::vector<bool> carrierTaken(12, false);
        // Highest first: the low keycodes of an empty slot are more often
        // claimed by keyboards that appear later.
        for (int k = maxKey; k > minKey; --k) {
            const KeySym *row = syms + (k - minKey) * perKey;
            if (std::all_of(row, row + perKey, [](KeySym s) { return s == NoSymbol; })) {
                empty.push_back(static_cast<KeyCode>(k));
                continue;
            }
            for (int i = 0; i < perKey; ++i)
                if (IsCarrier(row[i]))
                    carrierTaken[row[i] - XK_F13] = true;
            if (perKey >= 2 && IsCarrier(row[0]) && row[1] != NoSymbol && row[1] != row[0])
                m_slots.push_back(Slot{static_cast<KeyCode>(k), row[0], row[1]});
        }
        XFree(syms);
        for (KeySym f = XK_F24; f >= XK_F13 && !empty.empty(); --f) {
            if (carrierTaken[f - XK_F13])
                continue;
            m_slots.push_back(Slot{empty.front(), f, NoSymbol});
            empty.erase(empty.begin());
        }
        for (Slot &slot : m_slots) {
            const auto lent = m_lent.find(slot.code);
            if (lent != m_lent.end())
                slot.lastPress = lent->second;
        }
    }

    size_t capacity() const { return m_slots.size(); }

    bool isSpare(KeyCode code) const
    {
        return std::any_of(m_slots.begin(), m_slots.end(), [code](const Slot &s) { return s.code == code; });
    }

    void pressed(KeyCode code)
    {
        for (Slot &slot : m_slots)
            if (slot.code == code)
                slot.lastPress = m_lent[code] = Clock::now();
    }

    // Puts `sym` on a spare keycode: a character on the Shift level under its
    // carrier; a missing function key F13..F24 is the carrier of its own
    // keycode. False when there is none.
    bool lend(KeySym sym, milliseconds delay)
    {
        if (m_slots.empty())
            return false;
        Slot *slot = nullptr;
        if (IsCarrier(sym)) {
            for (Slot &s : m_slots)
                if (s.carrier == sym)
                    slot = &s;
            if (!slot)
                return false;
            sym = XK_VoidSymbol;
        } else {
            slot = &*std::min_element(m_slots.begin(), m_slots.end(), [](const Slot &a, const Slot &b) {
                return (a.sym != NoSymbol) < (b.sym != NoSymbol) ||
                       ((a.sym != NoSymbol) == (b.sym != NoSymbol) && a.lastPress < b.lastPress);
            });
        }
        // The receiver may not have read the last key typed with it yet.
        std::this_thread::sleep_until(slot->lastPress + m_reuseDelay);
        KeySym pair[2] = {slot->carrier, sym};
        XChangeKeyboardMapping(m_dpy, slot->code, 2, pair, 1);
        XSync(m_dpy, False);
        slot->sym = sym;
        slot->lastPress = m_lent[slot->code] = Clock::now();
        Pause(delay);
        return true;
    }

    // A program under Wine sets its keyboard up when the first key reaches
    // it, from the keymap it saw at its start, and takes lent keycodes only
    // after a keymap change that comes later. So once per send, ahead of the
    // first press of a lent keycode: a Shift tap (which types nothing), then
    // the lent keycodes written again.
    void prime(KeyCode shiftKey, milliseconds tapDelay, milliseconds delay)
    {
        if (m_primed)
            return;
        m_primed = true;
        XTestFakeKeyEvent(m_dpy, shiftKey, True, CurrentTime);
        XTestFakeKeyEvent(m_dpy, shiftKey, False, CurrentTime);
        XSync(m_dpy, False);
        Pause(tapDelay);
        bool rewritten = false;
        for (const Slot &slot : m_slots) {
            if (slot.sym == NoSymbol)
                continue;
            KeySym pair[2] = {slot.carrier, slot.sym};
            XChangeKeyboardMapping(m_dpy, slot.code, 2, pair, 1);
            rewritten = true;
        }
        XSync(m_dpy, False);
        if (rewritten)
            Pause(delay);
    }

    // Empties the keycodes lent and still holding what was put there, once
    // the receiver has had time to read the last keys typed with them.
    void restore()
    {
        if (m_lent.empty())
            return;
        Clock::time_point last{};
        for (const auto &lent : m_lent)
            last = std::max(last, lent.second);
        std::this_thread::sleep_until(last + m_reuseDelay);
        prepare();
        KeySym none = NoSymbol;
        for (const Slot &slot : m_slots)
            if (slot.sym != NoSymbol && m_lent.count(slot.code))
                XChangeKeyboardMapping(m_dpy, slot.code, 1, &none, 1);
        XSync(m_dpy, False);
        m_lent.clear();
    }

private:
    static bool IsCarrier(KeySym s) { return s >= XK_F13 && s <= XK_F24; }

    struct Slot {
        KeyCode code;
        KeySym carrier;
        KeySym sym; // NoSymbol while free
        Clock::time_point lastPress{};
    };
    Display *m_dpy;
    milliseconds m_reuseDelay;
    std::vector<Slot> m_slots;
    std::map<KeyCode, Clock::time_point> m_lent; // keycodes this backend lent: last press
    bool m_primed = false;
};

class X11Backend final : public KeyBackend {
public:
    explicit X11Backend(const X11BackendOptions &options) : m_options(options) {}
    ~X11Backend() override
    {
        m_spare.reset();
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }

    bool activate(const std::string &title, std::string &error) override
    {
        m_target.reset();
        setFault(KeyFault::Failed);
        if (!open(error))
            return false;
        const bool wm = windowManagerActivates();
        const std::optional<Client> target = findClient(title, wm);
        if (!target) {
            error = NoWindowError(title);
            return false;
        }
        const auto deadline = Clock::now() + m_options.focusTimeout;
        bool focused = false;
        if (wm) {
            requestActivation(target->window);
            focused = waitForFocus(target->window, Clock::now() + m_options.focusTimeout / 2);
        }
        if (!focused) {
            // No window manager, or one that ignored the request: do it ourselves.
            focusDirectly(*target, deadline);
            focused = waitForFocus(target->window, deadline);
        }
        if (!focused) {
            error = "ウィンドウ「" + target->title + "」にキーボードのフォーカスが移りません";
            return false;
        }
        m_target = target;
        m_leader = clientLeader(target->window);
        setFault(KeyFault::NoFault);
        return true;
    }

    FocusCheck checkFocus(std::string &detail) override
    {
        if (!m_dpy || !m_target) {
            detail = "アクティブにしたウィンドウがありません";
            return FocusCheck::Lost;
        }
        // The focus leaves for a moment while a dialog of the host closes and
        // the host takes it back: only a focus that stays away counts.
        const auto deadline = Clock::now() + m_options.focusGrace;
        for (;;) {
            const FocusCheck found = focusNow(detail);
            if (found != FocusCheck::Lost || Clock::now() >= deadline)
                return found;
            Pause(kPollStep);
        }
    }

    bool send(const std::vector<KeyAction> &actions, std::string &error) override
    {
        setFault(KeyFault::Failed);
        if (!open(error))
            return false;
        if (actions.empty()) {
            setFault(KeyFault::NoFault);
            return true;
        }
        // Keys typed while the user still holds Ctrl or Alt would turn into
        // shortcuts of the receiving window.
        if (!waitForModifiersReleased(error))
            return false;
        const ModifierKeys modifiers = modifierKeys();
        if (!modifiers.shift) {
            error = "キーボードに Shift キーがありません";
            return false;
        }
        Keymap keymap(m_dpy);
        if (!keymap.valid()) {
            error = "キーボードの配列を読めません";
            return false;
        }
        m_spare->prepare();
        ErrorTrap trap(m_dpy); // a request that fails must not end the program
        lendAhead(actions, keymap, modifiers.shift);
        const bool ok = pressAll(actions, keymap, modifiers, error);
        forgetKeymapChanges();
        if (ok)
            setFault(KeyFault::NoFault);
        return ok;
    }

    bool capsLock(bool &on, std::string &error) override
    {
        if (!open(error))
            return false;
        XkbStateRec state{};
        if (XkbGetState(m_dpy, XkbUseCoreKbd, &state) != Success) {
            error = "キーボードの状態を読めません";
            return false;
        }
        on = state.locked_mods & LockMask;
        return true;
    }

private:
    struct Client {
        Window window; // the application's window (focus goes here)
        Window frame;  // its top-level ancestor (the frame under a window manager)
        std::string title;
    };

    bool open(std::string &error)
    {
        if (m_dpy)
            return true;
        const char *name = m_options.display.empty() ? nullptr : m_options.display.c_str();
        Display *dpy = XOpenDisplay(name);
        const std::string shown = name ? name : "$DISPLAY";
        if (!dpy) {
            error = "X ディスプレイ " + shown + " を開けません";
            return false;
        }
        int event = 0, err = 0, major = 0, minor = 0, opcode = 0;
        if (!XTestQueryExtension(dpy, &event, &err, &major, &minor)) {
            XCloseDisplay(dpy);
            error = "X ディスプレイ " + shown + " に XTest 拡張がありません";
            return false;
        }
        major = XkbMajorVersion;
        minor = XkbMinorVersion;
        if (!XkbQueryExtension(dpy, &opcode, &event, &err, &major, &minor)) {
            XCloseDisplay(dpy);
            error = "X ディスプレイ " + shown + " に XKB 拡張がありません";
            return false;
        }
        // Our fake keys must get through even while another program grabs the server.
        XTestGrabControl(dpy, True);
        m_dpy = dpy;
        m_root = DefaultRootWindow(dpy);
        m_spare = std::make_unique<SpareKeys>(dpy, m_options.spareReuseDelay);
        return true;
    }

    Atom atom(const char *name) { return XInternAtom(m_dpy, name, False); }

    // A running window manager that handles _NET_ACTIVE_WINDOW. Its check
    // window must still exist: a manager that has exited leaves its root
    // properties behind.
    bool windowManagerActivates()
    {
        ErrorTrap trap(m_dpy);
        const Atom check = atom("_NET_SUPPORTING_WM_CHECK");
        const std::vector<long> rootCheck = ReadLongs(m_dpy, m_root, check, XA_WINDOW);
        if (rootCheck.empty())
            return false;
        const std::vector<long> selfCheck = ReadLongs(m_dpy, static_cast<Window>(rootCheck[0]), check, XA_WINDOW);
        if (trap.failed() || selfCheck.empty() || selfCheck[0] != rootCheck[0])
            return false;
        const std::vector<long> supported = ReadLongs(m_dpy, m_root, atom("_NET_SUPPORTED"), XA_ATOM);
        const long active = static_cast<long>(atom("_NET_ACTIVE_WINDOW"));
        return std::find(supported.begin(), supported.end(), active) != supported.end();
    }

    std::string titleOf(Window w)
    {
        if (auto name = ReadProperty(m_dpy, w, atom("_NET_WM_NAME"), atom("UTF8_STRING")))
            return std::string(name->begin(), name->end());
        XTextProperty text{};
        if (!XGetWMName(m_dpy, w, &text) || !text.value)
            return {};
        std::string result;
        const std::string raw(reinterpret_cast<char *>(text.value), text.nitems);
        if (text.encoding == XA_STRING) {
            for (unsigned char c : raw) // Latin-1: each byte is its code point
                AppendUtf8(result, c);
        } else if (text.encoding == atom("UTF8_STRING")) {
            result = raw;
        } else {
            char **list = nullptr;
            int count = 0;
            if (Xutf8TextPropertyToTextList(m_dpy, &text, &list, &count) >= Success && list) {
                for (int i = 0; i < count; ++i)
                    result += list[i];
                XFreeStringList(list);
            } else {
                result = raw;
            }
        }
        XFree(text.value);
        return result;
    }

    // WM_STATE marks the application's window inside a window manager's frame.
    std::optional<long> wmState(Window w)
    {
        const Atom state = atom("WM_STATE");
        std::vector<long> values = ReadLongs(m_dpy, w, state, state);
        if (values.empty())
            return std::nullopt;
        return values[0];
    }

    Window findWmStateBelow(Window w, int depth)
    {
        if (wmState(w))
            return w;
        if (depth == 0)
            return None;
        Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_dpy, w, &root, &parent, &children, &count))
            return None;
        Window found = None;
        for (unsigned int i = 0; i < count && found == None; ++i)
            found = findWmStateBelow(children[i], depth - 1);
        if (children)
            XFree(children);
        return found;
    }

    // The application windows on screen, bottom to top.
    std::vector<Client> clients(bool wm)
    {
        ErrorTrap trap(m_dpy);
        std::vector<Client> result;
        Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(m_dpy, m_root, &root, &parent, &children, &count))
            return result;
        for (unsigned int i = 0; i < count; ++i) {
            const Window top = children[i];
            XWindowAttributes attrs{};
            if (!XGetWindowAttributes(m_dpy, top, &attrs) || attrs.override_redirect)
                continue;
            const bool viewable = attrs.map_state == IsViewable;
            Window client = findWmStateBelow(top, 3);
            bool usable = viewable;
            if (client != None && wm) {
                // Managed windows: normal ones, and minimised ones the manager can restore.
                const long state = wmState(client).value_or(0);
                usable = state == NormalState || state == IconicState;
            }
            if (client == None)
                client = top;
            if (!usable)
                continue;
            std::string title = titleOf(client);
            if (!title.empty())
                result.push_back(Client{client, top, std::move(title)});
        }
        if (children)
            XFree(children);
        return result;
    }

    std::optional<Client> findClient(const std::string &title, bool wm)
    {
        std::vector<Client> all = clients(wm); // bottom to top
        std::reverse(all.begin(), all.end());
        std::vector<std::string> titles;
        for (const Client &c : all)
            titles.push_back(c.title);
        const int i = PickWindowTitle(titles, title);
        return i < 0 ? std::nullopt : std::optional<Client>(all[size_t(i)]);
    }

    void requestActivation(Window w)
    {
        XEvent ev{};
        ev.xclient.type = ClientMessage;
        ev.xclient.window = w;
        ev.xclient.message_type = atom("_NET_ACTIVE_WINDOW");
        ev.xclient.format = 32;
        ev.xclient.data.l[0] = 2; // from a pager: not subject to focus-stealing prevention
        ev.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_dpy, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
        XFlush(m_dpy);
    }

    void focusDirectly(const Client &target, Clock::time_point deadline)
    {
        ErrorTrap trap(m_dpy);
        XWindowAttributes attrs{};
        if (XGetWindowAttributes(m_dpy, target.frame, &attrs) && attrs.map_state != IsViewable) {
            XMapRaised(m_dpy, target.frame);
            if (target.window != target.frame)
                XMapWindow(m_dpy, target.window);
            // The focus can only go to a window on screen.
            while (Clock::now() < deadline && XGetWindowAttributes(m_dpy, target.window, &attrs) &&
                   attrs.map_state != IsViewable)
                Pause(kPollStep);
        }
        XRaiseWindow(m_dpy, target.frame);
        XSetInputFocus(m_dpy, target.window, RevertToParent, CurrentTime);
        // A window that asks to be told (Wine's do) only takes the focus as
        // its own on WM_TAKE_FOCUS, as a window manager would send it;
        // otherwise the program behind it drops the keys.
        Atom *protocols = nullptr;
        int count = 0;
        const Atom takeFocus = atom("WM_TAKE_FOCUS");
        if (XGetWMProtocols(m_dpy, target.window, &protocols, &count) && protocols) {
            if (std::find(protocols, protocols + count, takeFocus) != protocols + count) {
                XEvent ev{};
                ev.xclient.type = ClientMessage;
                ev.xclient.window = target.window;
                ev.xclient.message_type = atom("WM_PROTOCOLS");
                ev.xclient.format = 32;
                ev.xclient.data.l[0] = static_cast<long>(takeFocus);
                ev.xclient.data.l[1] = CurrentTime;
                XSendEvent(m_dpy, target.window, False, NoEventMask, &ev);
            }
            XFree(protocols);
        }
        XSync(m_dpy, False);
    }

    bool isSameOrInside(Window w, Window ancestor)
    {
        ErrorTrap trap(m_dpy);
        for (int depth = 0; w != None && w != PointerRoot && depth < 32; ++depth) {
            if (w == ancestor)
                return true;
            Window root = None, parent = None, *children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(m_dpy, w, &root, &parent, &children, &count))
                return false;
            if (children)
                XFree(children);
            if (parent == root)
                return false;
            w = parent;
        }
        return false;
    }

    // The application window that holds `w`: the first window with WM_STATE
    // on the way up, else the top-level window.
    Window clientOf(Window w)
    {
        ErrorTrap trap(m_dpy);
        Window top = w;
        for (int depth = 0; w != None && w != PointerRoot && w != m_root && depth < 32; ++depth) {
            if (wmState(w))
                return w;
            Window root = None, parent = None, *children = nullptr;
            unsigned int count = 0;
            if (!XQueryTree(m_dpy, w, &root, &parent, &children, &count))
                return None;
            if (children)
                XFree(children);
            top = w;
            w = parent;
        }
        if (top == None || top == PointerRoot || top == m_root)
            return None;
        const Window below = findWmStateBelow(top, 3);
        return below != None ? below : top;
    }

    Window clientLeader(Window w)
    {
        const std::vector<long> leader = ReadLongs(m_dpy, w, atom("WM_CLIENT_LEADER"), XA_WINDOW);
        return leader.empty() ? None : static_cast<Window>(leader[0]);
    }

    // The activated window, a window transient for it (its dialogs), or a
    // window of the same program (one client leader).
    bool ownedByTarget(Window client)
    {
        ErrorTrap trap(m_dpy);
        Window w = client;
        for (int depth = 0; w != None && depth < 8; ++depth) {
            if (w == m_target->window || w == m_target->frame)
                return true;
            Window owner = None;
            if (!XGetTransientForHint(m_dpy, w, &owner))
                break;
            w = owner;
        }
        return m_leader != None && clientLeader(client) == m_leader;
    }

    FocusCheck focusNow(std::string &detail)
    {
        ErrorTrap trap(m_dpy);
        XWindowAttributes attrs{};
        const bool exists = XGetWindowAttributes(m_dpy, m_target->window, &attrs);
        if (trap.failed() || !exists || attrs.map_state == IsUnmapped) {
            detail = "ウィンドウ「" + m_target->title + "」が閉じられました";
            return FocusCheck::Closed;
        }
        Window focus = None;
        int revert = 0;
        XGetInputFocus(m_dpy, &focus, &revert);
        const Window client = clientOf(focus);
        if (client != None && ownedByTarget(client))
            return FocusCheck::Held;
        // Some window managers keep the focus on their frame of the active
        // window. A focus on no window at all is not the host's: keys would be lost.
        if (client != None && client == m_target->frame) {
            const std::vector<long> active = ReadLongs(m_dpy, m_root, atom("_NET_ACTIVE_WINDOW"), XA_WINDOW);
            if (!active.empty() && active[0] != 0 && ownedByTarget(static_cast<Window>(active[0])))
                return FocusCheck::Held;
        }
        const std::string title = client != None ? titleOf(client) : std::string();
        detail = title.empty() ? "キーボードのフォーカスがほかのウィンドウに移りました"
                               : "キーボードのフォーカスがウィンドウ「" + title + "」に移りました";
        return FocusCheck::Lost;
    }

    bool waitForFocus(Window w, Clock::time_point deadline)
    {
        for (;;) {
            Window focus = None;
            int revert = 0;
            XGetInputFocus(m_dpy, &focus, &revert);
            if (isSameOrInside(focus, w))
                return true;
            if (Clock::now() >= deadline)
                return false;
            Pause(kPollStep);
        }
    }

    bool waitForModifiersReleased(std::string &error)
    {
        XModifierKeymap *mods = XGetModifierMapping(m_dpy);
        if (!mods) {
            error = "修飾キーの状態を読めません";
            return false;
        }
        const auto deadline = Clock::now() + m_options.modifierTimeout;
        bool held = true;
        while (held) {
            char keys[32] = {};
            XQueryKeymap(m_dpy, keys);
            held = false;
            for (int row = 0; row < 8 && !held; ++row) {
                if (row == LockMapIndex) // Caps Lock is a state, not a held key
                    continue;
                for (int i = 0; i < mods->max_keypermod && !held; ++i) {
                    const KeyCode k = mods->modifiermap[row * mods->max_keypermod + i];
                    held = k && (keys[k / 8] & (1 << (k % 8)));
                }
            }
            if (held && Clock::now() >= deadline)
                break;
            if (held)
                Pause(kPollStep);
        }
        XFreeModifiermap(mods);
        if (held)
            error = "修飾キー（Shift，Ctrl，Alt など）が押されたままです";
        return !held;
    }

    // Puts every character of the send that the keymap lacks on a spare
    // keycode before the first key, then primes the receiver with one long
    // pause. Lending each character just before its key leaves the receiver
    // only the short keymap delay to catch up, which a loaded machine does
    // not always give. With more such characters than spare keycodes they
    // are lent one by one as they come.
    void lendAhead(const std::vector<KeyAction> &actions, Keymap &keymap, KeyCode shiftKey)
    {
        std::vector<KeySym> missing;
        for (const KeyAction &action : actions) {
            if (action.kind != KeyAction::Kind::Character)
                continue;
            const KeySym sym = SymbolForCharacter(action.character);
            if (sym == NoSymbol || std::find(missing.begin(), missing.end(), sym) != missing.end())
                continue;
            if (!onKeymap(action, sym, keymap))
                missing.push_back(sym);
        }
        if (missing.empty() || missing.size() > m_spare->capacity())
            return;
        for (const KeySym sym : missing)
            if (!m_spare->lend(sym, milliseconds(0)))
                return;
        XSync(m_dpy, False);
        Pause(m_options.keymapDelay);
        keymap.refresh();
        m_spare->prime(shiftKey, m_options.primeDelay, m_options.primeDelay);
    }

    // The key (and Shift) that types sym for the action on the keymap as it
    // stands; nullopt when no key carries it.
    static std::optional<Keymap::Choice> onKeymap(const KeyAction &action, KeySym sym, const Keymap &keymap)
    {
        if (action.shift) {
            auto code = keymap.keyCarrying(sym);
            if (!code)
                return std::nullopt;
            // Shift under the user's Caps Lock would turn an "F" into "f":
            // the lock is released around the press.
            KeySym lower = NoSymbol, upper = NoSymbol;
            XConvertCase(sym, &lower, &upper);
            return Keymap::Choice{*code, true, (keymap.locks() & LockMask) && lower != upper};
        }
        // A shortcut (Ctrl+a) names a key, not text: the locks do not matter.
        const unsigned locks = action.ctrl || action.alt ? 0 : keymap.locks();
        if (auto choice = keymap.keyFor(sym, locks))
            return choice;
        if (!(locks & LockMask))
            return std::nullopt;
        // A letter whose key ignores Caps Lock while the receiver does not:
        // typed with Caps Lock released for a moment.
        auto choice = keymap.keyFor(sym, locks & ~LockMask);
        if (choice)
            choice->capsOff = true;
        return choice;
    }

    // The key (and Shift) for one action; characters that are not on the
    // keymap borrow a spare keycode.
    std::optional<Keymap::Choice> resolve(const KeyAction &action, Keymap &keymap, std::string &error)
    {
        const bool named = action.kind == KeyAction::Kind::Named;
        const KeySym sym = named ? SymbolForKey(action.key) : SymbolForCharacter(action.character);
        if (sym == NoSymbol) {
            error = "文字 " + CodePointName(action.character) + " を入力できません";
            return std::nullopt;
        }
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (auto choice = onKeymap(action, sym, keymap))
                return choice;
            if (attempt == 1 || !m_spare->lend(sym, m_options.keymapDelay))
                break;
            keymap.refresh();
        }
        error = named ? "キーボードにキーシンボル " + std::to_string(sym) + " のキーがありません"
                      : "文字 " + CodePointName(action.character) + " を入力できません（空きキーコードがありません）";
        return std::nullopt;
    }

    // The keycodes of the left Shift, Ctrl and Alt; 0 where the keyboard has none.
    struct ModifierKeys {
        KeyCode shift;
        KeyCode ctrl;
        KeyCode alt;
    };

    ModifierKeys modifierKeys() const
    {
        return {XKeysymToKeycode(m_dpy, XK_Shift_L), XKeysymToKeycode(m_dpy, XK_Control_L),
                XKeysymToKeycode(m_dpy, XK_Alt_L)};
    }

    // Presses the actions one after the other, the focus checked before every
    // kGuardEveryKeys-th; stops at the first that cannot be typed or may not be pressed.
    bool pressAll(const std::vector<KeyAction> &actions, Keymap &keymap, const ModifierKeys &modifiers,
                  std::string &error)
    {
        int sinceCheck = 0;
        for (const KeyAction &action : actions) {
            // Nothing may reach a window other than the one activated.
            if (sinceCheck++ % kGuardEveryKeys == 0 && !mayPressNext(error))
                return false;
            setFault(KeyFault::Failed);
            const std::optional<Keymap::Choice> choice = resolveWithModifiers(action, keymap, modifiers, error);
            if (!choice)
                return false;
            if (m_spare->isSpare(choice->code)) {
                m_spare->prime(modifiers.shift, m_options.primeDelay, m_options.keymapDelay);
                m_spare->pressed(choice->code);
            }
            press(action, *choice, modifiers);
            Pause(m_options.keyDelay);
        }
        return true;
    }

    // The key for the action, when the keyboard also has the Ctrl or Alt it holds.
    std::optional<Keymap::Choice> resolveWithModifiers(const KeyAction &action, Keymap &keymap,
                                                       const ModifierKeys &modifiers, std::string &error)
    {
        std::optional<Keymap::Choice> choice = resolve(action, keymap, error);
        if (!choice)
            return std::nullopt;
        if (action.ctrl && !modifiers.ctrl) {
            error = "キーボードに Ctrl キーがありません";
            return std::nullopt;
        }
        if (action.alt && !modifiers.alt) {
            error = "キーボードに Alt キーがありません";
            return std::nullopt;
        }
        return choice;
    }

    // One key down and up, its modifiers around it.
    void press(const KeyAction &action, const Keymap::Choice &choice, const ModifierKeys &modifiers)
    {
        // Modifiers go down in this order and up in the reverse one.
        const std::pair<bool, KeyCode> held[] = {
            {action.ctrl, modifiers.ctrl}, {action.alt, modifiers.alt}, {choice.shift, modifiers.shift}};
        if (choice.capsOff)
            XkbLockModifiers(m_dpy, XkbUseCoreKbd, LockMask, 0);
        for (const auto &[on, key] : held)
            if (on)
                XTestFakeKeyEvent(m_dpy, key, True, CurrentTime);
        XTestFakeKeyEvent(m_dpy, choice.code, True, CurrentTime);
        XTestFakeKeyEvent(m_dpy, choice.code, False, CurrentTime);
        for (auto it = std::rbegin(held); it != std::rend(held); ++it)
            if (it->first)
                XTestFakeKeyEvent(m_dpy, it->second, False, CurrentTime);
        if (choice.capsOff)
            XkbLockModifiers(m_dpy, XkbUseCoreKbd, LockMask, LockMask);
        XSync(m_dpy, False);
    }

    // Our own connection is told of every keymap change; nobody reads those.
    void forgetKeymapChanges()
    {
        while (XPending(m_dpy)) {
            XEvent ev;
            XNextEvent(m_dpy, &ev);
            if (ev.type == MappingNotify)
                XRefreshKeyboardMapping(&ev.xmapping);
        }
    }

    X11BackendOptions m_options;
    std::optional<Client> m_target; // the window activated last: the guard watches it
    Window m_leader = None;         // its program's client leader
    Display *m_dpy = nullptr;
    std::unique_ptr<SpareKeys> m_spare;
    Window m_root = None;
};

} // namespace

std::unique_ptr<KeyBackend> CreateX11Backend(const X11BackendOptions &options)
{
    return std::make_unique<X11Backend>(options);
}

bool SetDesktopCapsLock(bool on, std::string &error, const std::string &display)
{
    Display *dpy = XOpenDisplay(display.empty() ? nullptr : display.c_str());
    if (!dpy) {
        error = "X ディスプレイを開けません";
        return false;
    }
    bool ok = XkbLockModifiers(dpy, XkbUseCoreKbd, LockMask, on ? LockMask : 0);
    XSync(dpy, False);
    XkbStateRec state{};
    ok = ok && XkbGetState(dpy, XkbUseCoreKbd, &state) == Success && bool(state.locked_mods & LockMask) == on;
    XCloseDisplay(dpy);
    if (!ok)
        error = "Caps Lock が切り替わりません";
    return ok;
}

} // namespace korvin::host::x11
