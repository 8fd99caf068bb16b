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
    // Pause after a spare keycode has been given a character that is not on
    // the keymap. The receiving program re-reads the keymap when it sees the
    // change; spare keycodes are used in turn, so this only has to cover a
    // receiver lagging behind by a dozen such characters.
    std::chrono::milliseconds keymapDelay{10};
    // How long activation waits for the focus to arrive.
    std::chrono::milliseconds focusTimeout{2000};
    // How long sending waits for the user to let go of Shift, Ctrl, Alt ...
    std::chrono::milliseconds modifierTimeout{3000};
};

std::unique_ptr<KeyBackend> CreateX11Backend(const X11BackendOptions &options = {});

} // namespace korvin::host::x11
