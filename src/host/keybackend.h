#pragma once
// The platform operations a keystroke script needs, behind one interface. One
// backend per platform (X11, Win32), each in its own source set, plus a
// recording backend for tests. Plain C++ (no Qt) so the Win32 backend builds
// with the mingw-w64 cross compiler; texts are UTF-8.
#include "host/keyactions.h"

#include <functional>
#include <string>
#include <vector>

namespace korvin::host {

// Where a backend stopped: a key it could not press, or the guard, or the
// user's stop.
enum class KeyFault {
    NoFault,
    Failed,       // the platform refused (no display, no such key ...)
    FocusLost,    // another window has the keyboard focus
    WindowClosed, // the activated window is gone
    Stopped,      // the run was asked to stop
};

// What the guard found: the activated window (or a window it owns, such as
// its file dialog) has the focus, another window has it, or it is gone.
enum class FocusCheck { Held, Lost, Closed };

// Keys sent between two checks of the guard within one key string or text:
// a check costs a few round trips to the window system, far less than a key.
constexpr int kGuardEveryKeys = 1;

class KeyBackend {
public:
    virtual ~KeyBackend() = default;

    // Brings the top-level window whose title equals `title` (or, when none
    // does, one whose title begins with it) to the front and gives it the
    // keyboard focus; from then on it is the window the guard watches. False,
    // with the reason in `error`, when there is no such window or it never got
    // the focus: then no key may be sent.
    virtual bool activate(const std::string &title, std::string &error) = 0;

    // The guard: whether the window activate() brought forward, or one it
    // owns, still exists and has the keyboard focus. `detail` says where the
    // focus went, when that is known.
    virtual FocusCheck checkFocus(std::string &detail) = 0;

    // Presses and releases each action in order. The guard and the stop
    // request are checked before every kGuardEveryKeys-th key, the first too:
    // no key is pressed once the focus has left the activated window (false,
    // with lastFault() saying why). Characters arrive as written whatever the
    // Caps Lock state; a character with `shift` set is typed as a Shift press.
    virtual bool send(const std::vector<KeyAction> &actions, std::string &error) = 0;

    // The desktop's Caps Lock state. Korvin reads it, never switches it.
    virtual bool capsLock(bool &on, std::string &error) = 0;

    // Before a pause: waits, a few seconds at most, until the activated
    // window's program has taken the keys sent so far from its queue, so that
    // the pause gives a busy host its full length and the focus never leaves
    // while a key is still waiting there. Where the window system hands keys
    // over at once, there is nothing to wait for.
    virtual void waitUntilKeysRead() {}

    // Why the last activate or send failed (None after a success).
    KeyFault lastFault() const { return m_fault; }

    // Asked between keys; true stops a send before its next key.
    void setStopRequest(std::function<bool()> stop) { m_stop = std::move(stop); }

protected:
    void setFault(KeyFault fault) { m_fault = fault; }
    bool stopRequested() const { return m_stop && m_stop(); }

    // Before a key: the stop request, then the guard. False, with the fault
    // and its reason set, when no further key may go out.
    bool mayPressNext(std::string &error)
    {
        if (stopRequested()) {
            m_fault = KeyFault::Stopped;
            error = "中止しました";
            return false;
        }
        std::string detail;
        switch (checkFocus(detail)) {
        case FocusCheck::Held: return true;
        case FocusCheck::Lost: m_fault = KeyFault::FocusLost; break;
        case FocusCheck::Closed: m_fault = KeyFault::WindowClosed; break;
        }
        error = detail;
        return false;
    }

private:
    KeyFault m_fault = KeyFault::NoFault;
    std::function<bool()> m_stop;
};

// The window activate picks among top-level titles listed topmost first: the
// first equal title, else the first that begins with it; -1 when none does or
// the title is empty. Every backend picks by this rule.
inline int PickWindowTitle(const std::vector<std::string> &topmostFirst, const std::string &title)
{
    if (title.empty())
        return -1;
    for (std::size_t i = 0; i < topmostFirst.size(); ++i)
        if (topmostFirst[i] == title)
            return int(i);
    for (std::size_t i = 0; i < topmostFirst.size(); ++i)
        if (topmostFirst[i].compare(0, title.size(), title) == 0)
            return int(i);
    return -1;
}

// Why activate found no window for the title.
inline std::string NoWindowError(const std::string &title)
{
    return title.empty() ? "ウィンドウのタイトルが指定されていません"
                         : "タイトルが「" + title + "」の（またはそれで始まる）ウィンドウがありません";
}

} // namespace korvin::host
