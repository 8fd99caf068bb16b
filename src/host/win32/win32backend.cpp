#include "host/win32/win32backend.h"

#include "host/codepoint.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>
#include <vector>

namespace korvin::host::win32 {
namespace {

constexpr DWORD kPollStepMs = 5;
// A key that does nothing: pressed between Alt down and up so that the Alt
// tap does not open the menu of the window in front.
constexpr WORD kMaskKey = 0xE8;

std::string Narrow(const std::wstring &wide)
{
    if (wide.empty())
        return {};
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], n, nullptr, nullptr);
    return utf8;
}

struct VirtualKey {
    WORD vk;
    bool extended; // the grey keys beside the keypad
};

VirtualKey KeyFor(NamedKey key)
{
    switch (key) {
    case NamedKey::Enter: return {VK_RETURN, false};
    case NamedKey::Tab: return {VK_TAB, false};
    case NamedKey::Escape: return {VK_ESCAPE, false};
    case NamedKey::Backspace: return {VK_BACK, false};
    case NamedKey::Delete: return {VK_DELETE, true};
    case NamedKey::Insert: return {VK_INSERT, true};
    case NamedKey::Home: return {VK_HOME, true};
    case NamedKey::End: return {VK_END, true};
    case NamedKey::PageUp: return {VK_PRIOR, true};
    case NamedKey::PageDown: return {VK_NEXT, true};
    case NamedKey::Up: return {VK_UP, true};
    case NamedKey::Down: return {VK_DOWN, true};
    case NamedKey::Left: return {VK_LEFT, true};
    case NamedKey::Right: return {VK_RIGHT, true};
    case NamedKey::CapsLock: return {VK_CAPITAL, false};
    default: break;
    }
    const int n = static_cast<int>(key) - static_cast<int>(NamedKey::F1);
    return {static_cast<WORD>(VK_F1 + n), false};
}

INPUT KeyInput(WORD vk, bool up, bool extended = false)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return in;
}

INPUT UnicodeInput(wchar_t unit, bool up)
{
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wScan = static_cast<WORD>(unit);
    in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}

// Our own windows only move when their messages are handled: a wait on the
// user-interface thread keeps handling them.
void PumpAndPause(DWORD ms)
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    if (ms)
        Sleep(ms);
}

// The visible top-level windows with a title, front to back, as EnumWindows
// lists them.
struct TopWindows {
    std::vector<HWND> windows;
    std::vector<std::string> titles; // UTF-8
};

BOOL CALLBACK VisitWindow(HWND hwnd, LPARAM param)
{
    auto *top = reinterpret_cast<TopWindows *>(param);
    if (!IsWindowVisible(hwnd))
        return TRUE;
    const int length = GetWindowTextLengthW(hwnd);
    if (length <= 0)
        return TRUE;
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, &text[0], length + 1)));
    top->windows.push_back(hwnd);
    top->titles.push_back(Narrow(text));
    return TRUE;
}

class Win32Backend final : public KeyBackend {
public:
    explicit Win32Backend(const Win32BackendOptions &options) : m_options(options) {}

    bool activate(const std::string &title, std::string &error) override
    {
        m_target = nullptr;
        setFault(KeyFault::Failed);
        TopWindows top;
        EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&top));
        const int picked = PickWindowTitle(top.titles, title);
        if (picked < 0) {
            error = NoWindowError(title);
            return false;
        }
        HWND target = top.windows[size_t(picked)];
        if (IsIconic(target))
            ShowWindow(target, SW_RESTORE);
        if (!bringToFront(target)) {
            error = "ウィンドウ「" + top.titles[size_t(picked)] + "」が前面に出ません";
            return false;
        }
        m_target = target;
        m_title = top.titles[size_t(picked)];
        setFault(KeyFault::NoFault);
        return true;
    }

    FocusCheck checkFocus(std::string &detail) override
    {
        if (!m_target) {
            detail = "アクティブにしたウィンドウがありません";
            return FocusCheck::Lost;
        }
        // A dialog of the host closing hands the foreground back a moment later.
        const ULONGLONG deadline = GetTickCount64() + m_options.focusGraceMs;
        for (;;) {
            if (!IsWindow(m_target) || !IsWindowVisible(m_target)) {
                detail = "ウィンドウ「" + m_title + "」が閉じられました";
                return FocusCheck::Closed;
            }
            HWND front = GetForegroundWindow();
            if (front && ownedByTarget(front))
                return FocusCheck::Held;
            if (GetTickCount64() >= deadline) {
                const std::string title = front ? titleOf(front) : std::string();
                detail = title.empty() ? "キーボードのフォーカスがほかのウィンドウに移りました"
                                       : "キーボードのフォーカスがウィンドウ「" + title + "」に移りました";
                return FocusCheck::Lost;
            }
            PumpAndPause(kPollStepMs);
        }
    }

    bool send(const std::vector<KeyAction> &actions, std::string &error) override
    {
        setFault(KeyFault::NoFault);
        if (actions.empty())
            return true;
        setFault(KeyFault::Failed);
        if (!waitForModifiersReleased(error))
            return false;
        HWND front = GetForegroundWindow();
        const HKL layout = GetKeyboardLayout(front ? GetWindowThreadProcessId(front, nullptr) : 0);
        const bool caps = CapsLockOn();
        int sinceCheck = 0;
        for (const KeyAction &action : actions) {
            // Nothing may reach a window other than the one activated.
            if (sinceCheck++ % kGuardEveryKeys == 0 && !mayPressNext(error))
                return false;
            setFault(KeyFault::Failed);
            std::vector<INPUT> inputs;
            if (!build(action, layout, caps, inputs, error))
                return false;
            const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
            if (sent != inputs.size()) {
                restoreCapsLock(inputs, sent);
                error = "キーの送信が拒否されました（エラー " + std::to_string(GetLastError()) +
                        "）．入力がブロックされているか，前面のウィンドウが管理者権限で動いています";
                return false;
            }
            if (m_options.keyDelayMs)
                Sleep(m_options.keyDelayMs);
        }
        setFault(KeyFault::NoFault);
        return true;
    }

    // An empty message sent to the host returns once its thread is back in
    // its message loop, where it takes the queued keys next. A host busy
    // redrawing leaves them there meanwhile; Wine drops keys still queued when
    // the focus moves to another program.
    void waitUntilKeysRead() override
    {
        const ULONGLONG deadline = GetTickCount64() + m_options.readTimeoutMs;
        while (m_target && IsWindow(m_target)) {
            DWORD_PTR result = 0;
            if (SendMessageTimeoutW(m_target, WM_NULL, 0, 0, SMTO_NORMAL, 50, &result))
                return;
            // A hung host: the pause goes on as if it had read them.
            if (GetTickCount64() >= deadline || stopRequested())
                return;
            PumpAndPause(0);
        }
    }

    bool capsLock(bool &on, std::string &) override
    {
        on = CapsLockOn();
        return true;
    }

private:
    // The activated window, its dialogs (owned windows) and its popups.
    bool ownedByTarget(HWND w) const
    {
        for (int depth = 0; w && depth < 16; ++depth) {
            if (w == m_target)
                return true;
            HWND owner = GetWindow(w, GW_OWNER);
            w = owner ? owner : GetAncestor(w, GA_PARENT);
            if (w == GetDesktopWindow())
                return false;
        }
        return false;
    }

    static std::string titleOf(HWND w)
    {
        const int length = GetWindowTextLengthW(w);
        if (length <= 0)
            return {};
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(GetWindowTextW(w, &text[0], length + 1)));
        return Narrow(text);
    }

    // The Caps Lock toggle as our own thread last saw it: current while we
    // are in front (the user pressing "Run"), and under Wine always; on
    // Windows a press made in the host during a run may not show. Not the
    // host thread's copy: joining its input to read that (AttachThreadInput)
    // resets the host's key state, and a Shift the host had not yet read went
    // missing ("C;" for "C:" under Wine).
    static bool CapsLockOn() { return GetKeyState(VK_CAPITAL) & 1; }

    bool bringToFront(HWND target)
    {
        const ULONGLONG deadline = GetTickCount64() + m_options.focusTimeoutMs;
        if (GetForegroundWindow() == target)
            return true;
        SetForegroundWindow(target);
        if (waitForFront(target, GetTickCount64() + m_options.focusTimeoutMs / 4))
            return true;
        // The foreground lock: only the process that received the last input
        // may change the foreground. Join the input of the thread in front,
        // and make an input of our own (an Alt tap masked by a dead key).
        const DWORD self = GetCurrentThreadId();
        HWND front = GetForegroundWindow();
        const DWORD other = front ? GetWindowThreadProcessId(front, nullptr) : 0;
        const bool attached = other && other != self && AttachThreadInput(self, other, TRUE);
        INPUT tap[4] = {KeyInput(VK_MENU, false), KeyInput(kMaskKey, false), KeyInput(kMaskKey, true),
                        KeyInput(VK_MENU, true)};
        SendInput(4, tap, sizeof(INPUT));
        BringWindowToTop(target);
        SetForegroundWindow(target);
        if (attached) {
            SetFocus(target);
            AttachThreadInput(self, other, FALSE);
        }
        return waitForFront(target, deadline);
    }

    static bool waitForFront(HWND target, ULONGLONG deadline)
    {
        for (;;) {
            if (GetForegroundWindow() == target)
                return true;
            if (GetTickCount64() >= deadline)
                return false;
            PumpAndPause(kPollStepMs);
        }
    }

    bool waitForModifiersReleased(std::string &error)
    {
        const int keys[] = {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN};
        const ULONGLONG deadline = GetTickCount64() + m_options.modifierTimeoutMs;
        for (;;) {
            bool held = false;
            for (int vk : keys)
                held = held || (GetAsyncKeyState(vk) & 0x8000);
            if (!held)
                return true;
            if (GetTickCount64() >= deadline) {
                error = "修飾キー（Shift，Ctrl，Alt，Windows）が押されたままです";
                return false;
            }
            Sleep(kPollStepMs);
        }
    }

    // A batch cut short may have switched the user's Caps Lock without
    // switching it back: one more tap for an odd number of taps that went out.
    static void restoreCapsLock(const std::vector<INPUT> &inputs, UINT sent)
    {
        int taps = 0;
        for (UINT i = 0; i < sent && i < inputs.size(); ++i)
            taps += inputs[i].ki.wVk == VK_CAPITAL && (inputs[i].ki.dwFlags & KEYEVENTF_KEYUP);
        if (taps % 2) {
            INPUT tap[2] = {KeyInput(VK_CAPITAL, false), KeyInput(VK_CAPITAL, true)};
            SendInput(2, tap, sizeof(INPUT));
        }
    }

    // Whether `vk`, with or without Shift under the Caps Lock state, gives
    // exactly `unit` on `layout`.
    static bool Produces(WORD vk, bool shift, bool caps, wchar_t unit, HKL layout)
    {
        BYTE state[256] = {};
        state[VK_SHIFT] = shift ? 0x80 : 0;
        state[VK_CAPITAL] = caps ? 0x01 : 0;
        wchar_t out[8] = {};
        const UINT scan = MapVirtualKeyExW(vk, MAPVK_VK_TO_VSC, layout);
        // Flag 4: leave the dead-key state of the keyboard alone.
        const int n = ToUnicodeEx(vk, scan, state, out, 8, 4, layout);
        if (n < 0) // a dead key: clear what it left behind
            ToUnicodeEx(vk, scan, state, out, 8, 4, layout);
        return n == 1 && out[0] == unit;
    }

    bool build(const KeyAction &action, HKL layout, bool caps, std::vector<INPUT> &inputs, std::string &error)
    {
        std::vector<INPUT> down, up;
        auto hold = [&](WORD vk) {
            down.push_back(KeyInput(vk, false));
            up.insert(up.begin(), KeyInput(vk, true));
        };
        if (action.ctrl)
            hold(VK_CONTROL);
        if (action.alt)
            hold(VK_MENU);

        std::vector<INPUT> key;
        bool shift = action.shift;
        if (action.kind == KeyAction::Kind::Named) {
            const VirtualKey vk = KeyFor(action.key);
            key = {KeyInput(vk.vk, false, vk.extended), KeyInput(vk.vk, true, vk.extended)};
        } else {
            const char32_t c = action.character;
            if (c == 0 || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
                error = "文字 " + CodePointName(c) + " を入力できません";
                return false;
            }
            std::wstring units;
            if (c > 0xFFFF) {
                units += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
                units += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
            } else {
                units += static_cast<wchar_t>(c);
            }
            const SHORT scan = units.size() == 1 ? VkKeyScanExW(units[0], layout) : SHORT(-1);
            const WORD vk = LOBYTE(scan);
            const BYTE needs = HIBYTE(scan);
            const bool onKeyboard = scan != -1 && (needs & ~1) == 0; // Shift at most
            if (onKeyboard && (action.shift || action.ctrl || action.alt)) {
                // A key press with modifiers ("+a", "^c"): the character names the key.
                shift = action.shift || (needs & 1);
                key = {KeyInput(vk, false), KeyInput(vk, true)};
                // An upper-case letter typed with Shift while the user's Caps Lock is
                // on would arrive in lower case: Caps Lock goes off around the key and
                // back on in the same batch of input.
                if (shift && caps && !action.ctrl && !action.alt && !Produces(vk, true, true, units[0], layout) &&
                    Produces(vk, true, false, units[0], layout)) {
                    const INPUT tap[2] = {KeyInput(VK_CAPITAL, false), KeyInput(VK_CAPITAL, true)};
                    down.insert(down.begin(), tap, tap + 2);
                    up.insert(up.end(), tap, tap + 2);
                }
            } else if (onKeyboard && Produces(vk, false, caps, units[0], layout)) {
                key = {KeyInput(vk, false), KeyInput(vk, true)};
            } else if (onKeyboard && Produces(vk, true, caps, units[0], layout)) {
                // Caps Lock on: Shift gives the lower case of a letter.
                shift = true;
                key = {KeyInput(vk, false), KeyInput(vk, true)};
            } else {
                // Not reachable with a key of this layout: the character itself.
                for (wchar_t u : units) {
                    key.push_back(UnicodeInput(u, false));
                    key.push_back(UnicodeInput(u, true));
                }
            }
        }
        if (shift)
            hold(VK_SHIFT);
        inputs = down;
        inputs.insert(inputs.end(), key.begin(), key.end());
        inputs.insert(inputs.end(), up.begin(), up.end());
        return true;
    }

    Win32BackendOptions m_options;
    HWND m_target = nullptr; // the window activated last: the guard watches it
    std::string m_title;
};

} // namespace

std::unique_ptr<KeyBackend> CreateWin32Backend(const Win32BackendOptions &options)
{
    return std::make_unique<Win32Backend>(options);
}

bool SetDesktopCapsLock(bool on, std::string &error)
{
    const auto isOn = [] { return bool(GetKeyState(VK_CAPITAL) & 1); };
    if (isOn() == on)
        return true;
    INPUT tap[2] = {KeyInput(VK_CAPITAL, false), KeyInput(VK_CAPITAL, true)};
    if (SendInput(2, tap, sizeof(INPUT)) != 2) {
        error = "Caps Lock could not be pressed";
        return false;
    }
    for (int i = 0; i < 500 && isOn() != on; ++i)
        PumpAndPause(10);
    if (isOn() != on) {
        error = "Caps Lock did not switch";
        return false;
    }
    return true;
}

} // namespace korvin::host::win32
