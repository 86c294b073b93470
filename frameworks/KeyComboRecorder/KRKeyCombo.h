#pragma once

#include "platform/foundation/runtime/String.h"

#include <cstdint>

// A key combination: a virtual key code and the modifier flags held with it. The empty combination has no key.
struct _KeyCombo {
    std::uint64_t flags { 0 }; // modifier flags as events carry them ("Cocoa" flags)
    std::int64_t code { -1 }; // virtual key code; -1 is no key
    bool operator==(const _KeyCombo&) const = default;
};

constexpr _KeyCombo KREmptyKeyCombo { 0, -1 };

// Modifier bits of events and menus.
namespace KRCocoaFlags {
constexpr std::uint64_t Shift = 0x20000;
constexpr std::uint64_t Control = 0x40000;
constexpr std::uint64_t Option = 0x80000;
constexpr std::uint64_t Command = 0x100000;
constexpr std::uint64_t Function = 0x800000;
// The four ordinary modifiers.
constexpr std::uint64_t Modifiers = Shift | Control | Option | Command;
}

// Modifier bits of the hot-key services' modifier word (stored combinations keep them under "modifiers").
namespace KRCarbonFlags {
constexpr unsigned Command = 0x100;
constexpr unsigned Shift = 0x200;
constexpr unsigned Option = 0x800;
constexpr unsigned Control = 0x1000;
constexpr unsigned Function = 0x800000;
}

// The name the key shows (a special key's name or symbol, else what the key types on the current keyboard layout,
// upper-cased; keypad keys as "Pad" and that); empty for a negative code or a key without a name.
fnd::String KRKeyCodeString(std::int64_t keyCode);

// The held modifiers as their symbols, in the order control, option, shift, command.
fnd::String KRCarbonModifierGlyphs(unsigned carbonFlags);
fnd::String KRCocoaModifierGlyphs(std::uint64_t cocoaFlags);
// The symbols followed by the key's name.
fnd::String KRCarbonShortcutGlyphs(unsigned carbonFlags, std::int64_t keyCode);
fnd::String KRCocoaShortcutGlyphs(std::uint64_t cocoaFlags, std::int64_t keyCode);
// The modifiers as words ("Command + ") in the order command, option, control, shift, then the key's name.
fnd::String KRCarbonShortcutReadable(unsigned carbonFlags, std::int64_t keyCode);
fnd::String KRCocoaShortcutReadable(std::uint64_t cocoaFlags, std::int64_t keyCode);

// Between the two vocabularies; the function-key bit passes unchanged, every other bit is dropped.
std::uint64_t KRModifierMaskFromCarbon(unsigned carbonFlags);
unsigned KRModifierMaskToCarbon(std::uint64_t cocoaFlags);

// The character the key types on the current layout with the flags' Shift and Option, capitalised for the current
// locale; the key's name when the layout gives no character.
fnd::String KRKeyCharacterForCarbonFlags(std::int64_t keyCode, unsigned carbonFlags);
fnd::String KRKeyCharacterForCocoaFlags(std::int64_t keyCode, std::uint64_t cocoaFlags);

// A text of the string table "ZORKeyComboRecorder" in the framework's bundle (the key itself when it is missing).
fnd::String KRLocalizedString(const fnd::String& key);
