#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/String.h"

#include <memory>
#include <optional>

struct xkb_state;

namespace ui {

// Posted on the main thread (object: nil) when the backend reports that the person switched keyboard layouts or
// the desktop loaded another one.
inline const fnd::String KeyboardLayoutDidChangeNotification = "UIKeyboardLayoutDidChangeNotification";

// Which character each key types: an XKB keymap compiled by xkbcommon from the layout's names (rules, model,
// layout, variant, options) and the group in use. Keys are the platform's virtual key codes (positions); the
// modifier flags choose the level: Shift the second, Option the third (AltGr on these keyboards), both the fourth.
// Keys are read with Num Lock on, so the keypad types its digits.
// The backend sets the desktop's layout; until then, and in tests, it is the US layout.
class KeyboardLayout {
public:
    struct Names {
        fnd::String rules { "evdev" };
        fnd::String model { "pc105" };
        fnd::String layout { "us" };
        fnd::String variant;
        fnd::String options;
        bool operator==(const Names&) const = default;
    };

    // Fails when xkbcommon cannot compile the names (an unknown layout, or no layout data installed).
    static fnd::Expected<std::shared_ptr<KeyboardLayout>> layoutWithNames(const Names& names, unsigned group = 0);
    ~KeyboardLayout();
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;

    // The layout keys are read with now.
    static std::shared_ptr<KeyboardLayout> current();
    // Installs a layout; posts KeyboardLayoutDidChangeNotification when its names or group differ from the
    // current one's. Main thread.
    static void setCurrent(std::shared_ptr<KeyboardLayout> layout);

    const Names& names() const { return m_names; }
    // The group (the layout of a multi-layout list) keys are read in; clamped to the keymap's groups.
    unsigned group() const { return m_group; }

    // The keysym the key types at the level the flags choose; 0 when no key sits at that code.
    unsigned keysymForKeyCode(unsigned short keyCode, unsigned modifierFlags) const;
    // What the key types at that level: its character, the spacing form for a dead key (´ for a dead acute), empty
    // for keys that type no character (arrows, function keys, modifiers).
    fnd::String charactersForKeyCode(unsigned short keyCode, unsigned modifierFlags) const;
    // The key (codes 0 to 127) that types the keysym without modifiers, else with Shift; the letters' case does
    // not matter. nullopt when no key types it.
    std::optional<unsigned short> keyCodeForKeysym(unsigned keysym) const;
    // The same for the key that types the character.
    std::optional<unsigned short> keyCodeForCharacter(char32_t character) const;

    // A keysym's character as text (dead keys as their spacing form); empty for keysyms without one.
    static fnd::String charactersForKeysym(unsigned keysym);

private:
    struct Keymap;
    struct StateDeleter {
        void operator()(::xkb_state* state) const;
    };
    // An XKB state at the level the flags choose.
    std::unique_ptr<::xkb_state, StateDeleter> stateForFlags(unsigned modifierFlags) const;
    KeyboardLayout(Names names, unsigned group, std::unique_ptr<Keymap> keymap);

    Names m_names;
    unsigned m_group { 0 };
    std::unique_ptr<Keymap> m_keymap;
};

}
