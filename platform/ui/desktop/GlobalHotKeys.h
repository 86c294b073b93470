#pragma once

#include "platform/foundation/runtime/Error.h"

#include <cstdint>
#include <functional>

namespace ui {

// Key combinations that reach the application whatever window has the keyboard, through X11 key grabs on the root
// window. Keys are virtual key codes (KeyCode), modifiers the platform's bits (ModifierFlags): Command is the Ctrl
// key, Option the Alt key, Control the Super key, Shift itself; other bits are ignored. Num Lock and Caps Lock do not
// matter. A combination fires when its key is released, on the main thread's run loop.
//
// Wayland sessions offer no way for a program to grab keys for the whole desktop: without an X11 display (an
// XWayland one counts for X11 programs only) registering fails with a clear error.
namespace GlobalHotKeys {

using Handler = std::function<void()>;
using Registration = std::uint32_t;

// Fails when there is no X11 display, the key has no key on this keyboard, or another program holds the combination.
// Registrations of one combination (as X sees it: modifier bits it ignores do not count) share the window system's
// grab until the last is removed, and a release fires every one of them.
fnd::Expected<Registration> registerHotKey(unsigned short keyCode, unsigned modifierFlags, Handler onRelease);
void unregisterHotKey(Registration registration);

}

}
