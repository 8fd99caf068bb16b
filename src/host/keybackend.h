#pragma once
// The platform operations a keystroke script needs, behind one interface. One
// backend per platform (X11, Win32), each in its own source set, plus a
// recording backend for tests. Plain C++ (no Qt) so the Win32 backend builds
// with the mingw-w64 cross compiler; texts are UTF-8.
#include "host/keyactions.h"

#include <string>
#include <vector>

namespace korvin::host {

class KeyBackend {
public:
    virtual ~KeyBackend() = default;

    // Brings the top-level window whose title equals `title` (or, when none
    // does, one whose title begins with it) to the front and gives it the
    // keyboard focus. False, with the reason in `error`, when there is no such
    // window or it never got the focus: then no key may be sent.
    virtual bool activate(const std::string &title, std::string &error) = 0;

    // Presses and releases each action in order, into the window that has the
    // focus. Characters arrive as written whatever the Caps Lock state; a
    // character with `shift` set is typed as a Shift press.
    virtual bool send(const std::vector<KeyAction> &actions, std::string &error) = 0;

    // Caps Lock state (GetCapsLock) and setting it (SetCapsLock).
    virtual bool capsLock(bool &on, std::string &error) = 0;
    virtual bool setCapsLock(bool on, std::string &error) = 0;
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
