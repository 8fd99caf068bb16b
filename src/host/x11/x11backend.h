#pragma once
// Keystrokes on X11: the window is found by its UTF-8 title and activated
// through the window manager when there is one, keys go through XTest to the
// window that has the focus. Plain C++; the X11 headers stay in the sources.
#include "host/keybackend.h"

#include <chrono>
#include <memory>
#include <string>

namespace korvin::host::x11 {

struct X11BackendOptions {
    // X display to open; empty means $DISPLAY.
    std::string display;
    // Pause after each key press and release.
    std::chrono::milliseconds keyDelay{2};
    // Characters that are not on the keymap are typed on spare keycodes
    // given their symbol for the moment. A receiver re-reads the keymap when
    // it sees the change: `keymapDelay` is the pause after each change, and
    // a spare keycode is given another symbol (or emptied when the backend
    // closes) no sooner than `spareReuseDelay` after its last press, so that
    // a receiver lagging behind still reads its keys with the right symbols.
    std::chrono::milliseconds keymapDelay{10};
    std::chrono::milliseconds spareReuseDelay{500};
    // A program under Wine takes lent keycodes only after a keymap change
    // that comes after the first key it handled, and a receiver under load
    // reads keymap changes late. So the characters of one send that are not
    // on the keymap are put on spare keycodes together, before its first key;
    // then a Shift tap, `primeDelay` for the receiver to handle it, the lent
    // keycodes written again, and `primeDelay` once more.
    std::chrono::milliseconds primeDelay{500};
    // How long activation waits for the focus to arrive.
    std::chrono::milliseconds focusTimeout{2000};
    // How long the focus may be away from the activated window before the
    // guard says it was lost (a dialog of the host closing hands it back).
    std::chrono::milliseconds focusGrace{250};
    // How long sending waits for the user to let go of Shift, Ctrl, Alt ...
    std::chrono::milliseconds modifierTimeout{3000};
};

std::unique_ptr<KeyBackend> CreateX11Backend(const X11BackendOptions &options = {});

// Switches the desktop's Caps Lock as a user's key press would. Korvin never
// does this during a run; tests use it to set the user's state.
bool SetDesktopCapsLock(bool on, std::string &error, const std::string &display = {});

} // namespace korvin::host::x11
