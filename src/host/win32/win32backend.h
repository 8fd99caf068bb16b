#pragma once
// Keystrokes on Windows: the window is found among the top-level windows by
// its title and brought to the front past the foreground lock; keys go
// through SendInput. Plain C++ and windows.h (the header keeps windows.h out).
#include "host/keybackend.h"

#include <memory>
#include <string>

namespace korvin::host::win32 {

struct Win32BackendOptions {
    // Pause after each key press and release, in milliseconds.
    unsigned keyDelayMs = 0;
    // How long activation waits for the window to come to the front.
    unsigned focusTimeoutMs = 2000;
    // How long the foreground may be away from the activated window before
    // the guard says it was lost (a dialog of the host closing hands it back).
    unsigned focusGraceMs = 250;
    // How long sending waits for the user to let go of Shift, Ctrl, Alt, Windows.
    unsigned modifierTimeoutMs = 3000;
    // How long a pause waits for the host to take the keys from its queue.
    unsigned readTimeoutMs = 5000;
};

std::unique_ptr<KeyBackend> CreateWin32Backend(const Win32BackendOptions &options = {});

// Tests only: switches the user's Caps Lock as a key press of the user would
// (the window in front gets the press) and waits, 5 s at most, until this
// thread's keyboard state shows it. False, with the reason, otherwise.
bool SetDesktopCapsLock(bool on, std::string &error);

} // namespace korvin::host::win32
