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

} // namespace korvin::host
