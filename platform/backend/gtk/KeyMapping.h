#pragma once

#include "platform/foundation/runtime/String.h"

#include <optional>

// How keys of the X keyboard become the platform's key events. Free of GTK types, so the tables can be checked on
// their own.
namespace ui::keymapping {

// A key code no table knows.
constexpr unsigned short UnknownKeyCode = 0xFFFF;

// The platform's virtual key code for the key at a physical position, given by its X key code (the kernel's evdev
// code plus 8), so a key reports the same code on every layout. The modifier keys report the code of the role they
// play: Ctrl the command key, Super the control key, Alt the option key.
unsigned short virtualKeyCodeForXKeyCode(unsigned xKeyCode);

// The character a key without a glyph sends (arrows, function keys, editing keys in the private-use range, Return,
// BackSpace, Escape, Tab and the keypad's Enter as control characters); nullopt for keys that send their symbol's
// own character.
std::optional<char16_t> specialCharacterForKeysym(unsigned keysym);

// The modifier bits a held-modifiers state of GDK means, as the platform's flags. GDK's masks are passed in as
// plain bits so callers need not include GDK here; see GdkModifiers.
struct GdkModifiers {
    static constexpr unsigned Shift = 1u << 0;
    static constexpr unsigned Lock = 1u << 1;
    static constexpr unsigned Control = 1u << 2;
    static constexpr unsigned Alt = 1u << 3;
    static constexpr unsigned Super = 1u << 26;
    static constexpr unsigned Hyper = 1u << 27;
    static constexpr unsigned Meta = 1u << 28;
};
unsigned modifierFlagsForGdkState(unsigned gdkState);

// The flags a key adds by itself: the function-key flag for arrows, function and editing keys, the numeric-pad flag
// for the keypad and the arrows, as the platform reports them.
unsigned keyFlagsForVirtualKeyCode(unsigned short keyCode);

// For a modifier key (by its keysym): the platform flag it holds; nullopt for other keys. AltGr (ISO_Level3_Shift)
// only chooses characters and holds no flag.
std::optional<unsigned> modifierFlagForKeysym(unsigned keysym);

}
