#include "platform/backend/gtk/KeyMapping.h"

#include "platform/ui/views/Event.h"

#include <X11/keysym.h>

#include <array>
#include <utility>

namespace ui::keymapping {

namespace {

// Evdev key code (linux/input-event-codes.h) → the platform's virtual key code, by physical position.
constexpr std::pair<unsigned, unsigned short> EvdevToVirtual[] = {
    { 1, KeyCode::Escape },
    { 2, KeyCode::Digit1 },
    { 3, KeyCode::Digit2 },
    { 4, KeyCode::Digit3 },
    { 5, KeyCode::Digit4 },
    { 6, KeyCode::Digit5 },
    { 7, KeyCode::Digit6 },
    { 8, KeyCode::Digit7 },
    { 9, KeyCode::Digit8 },
    { 10, KeyCode::Digit9 },
    { 11, KeyCode::Digit0 },
    { 12, KeyCode::Minus },
    { 13, KeyCode::Equal },
    { 14, KeyCode::Delete }, // BackSpace
    { 15, KeyCode::Tab },
    { 16, KeyCode::Q },
    { 17, KeyCode::W },
    { 18, KeyCode::E },
    { 19, KeyCode::R },
    { 20, KeyCode::T },
    { 21, KeyCode::Y },
    { 22, KeyCode::U },
    { 23, KeyCode::I },
    { 24, KeyCode::O },
    { 25, KeyCode::P },
    { 26, KeyCode::LeftBracket },
    { 27, KeyCode::RightBracket },
    { 28, KeyCode::Return },
    { 29, KeyCode::Command }, // left Ctrl plays the command key
    { 30, KeyCode::A },
    { 31, KeyCode::S },
    { 32, KeyCode::D },
    { 33, KeyCode::F },
    { 34, KeyCode::G },
    { 35, KeyCode::H },
    { 36, KeyCode::J },
    { 37, KeyCode::K },
    { 38, KeyCode::L },
    { 39, KeyCode::Semicolon },
    { 40, KeyCode::Quote },
    { 41, KeyCode::Grave },
    { 42, KeyCode::Shift },
    { 43, KeyCode::Backslash },
    { 44, KeyCode::Z },
    { 45, KeyCode::X },
    { 46, KeyCode::C },
    { 47, KeyCode::V },
    { 48, KeyCode::B },
    { 49, KeyCode::N },
    { 50, KeyCode::M },
    { 51, KeyCode::Comma },
    { 52, KeyCode::Period },
    { 53, KeyCode::Slash },
    { 54, KeyCode::RightShift },
    { 55, KeyCode::KeypadMultiply },
    { 56, KeyCode::Option }, // left Alt
    { 57, KeyCode::Space },
    { 58, KeyCode::CapsLock },
    { 59, KeyCode::F1 },
    { 60, KeyCode::F2 },
    { 61, KeyCode::F3 },
    { 62, KeyCode::F4 },
    { 63, KeyCode::F5 },
    { 64, KeyCode::F6 },
    { 65, KeyCode::F7 },
    { 66, KeyCode::F8 },
    { 67, KeyCode::F9 },
    { 68, KeyCode::F10 },
    { 69, KeyCode::KeypadClear }, // Num Lock sits where the keypad's Clear is
    { 70, KeyCode::F14 }, // Scroll Lock
    { 71, KeyCode::Keypad0 + 7 },
    { 72, 0x5B /* keypad 8 */ },
    { 73, 0x5C /* keypad 9 */ },
    { 74, KeyCode::KeypadMinus },
    { 75, KeyCode::Keypad0 + 4 },
    { 76, KeyCode::Keypad0 + 5 },
    { 77, KeyCode::Keypad0 + 6 },
    { 78, KeyCode::KeypadPlus },
    { 79, KeyCode::Keypad0 + 1 },
    { 80, KeyCode::Keypad0 + 2 },
    { 81, KeyCode::Keypad0 + 3 },
    { 82, KeyCode::Keypad0 },
    { 83, KeyCode::KeypadDecimal },
    { 86, 0x0A }, // the ISO key left of Z
    { 87, KeyCode::F11 },
    { 88, KeyCode::F12 },
    { 89, 0x5E }, // JIS underscore
    { 96, KeyCode::KeypadEnter },
    { 97, 0x36 }, // right Ctrl: the right command key
    { 98, KeyCode::KeypadDivide },
    { 99, KeyCode::F13 }, // Print Screen
    { 100, KeyCode::RightOption }, // right Alt (AltGr)
    { 102, KeyCode::Home },
    { 103, KeyCode::UpArrow },
    { 104, KeyCode::PageUp },
    { 105, KeyCode::LeftArrow },
    { 106, KeyCode::RightArrow },
    { 107, KeyCode::End },
    { 108, KeyCode::DownArrow },
    { 109, KeyCode::PageDown },
    { 110, KeyCode::Help }, // Insert sits where Help is
    { 111, KeyCode::ForwardDelete },
    { 113, 0x4A },
    { 114, 0x49 },
    { 115, 0x48 }, // mute, volume down, volume up
    { 117, KeyCode::KeypadEquals },
    { 119, KeyCode::F15 }, // Pause
    { 121, 0x5F }, // keypad comma
    { 124, 0x5D }, // JIS yen
    { 125, KeyCode::Control },
    { 126, KeyCode::RightControl }, // Super plays the control key
    { 127, 0x6E }, // the context-menu key
    { 138, KeyCode::Help },
    { 183, KeyCode::F13 },
    { 184, KeyCode::F14 },
    { 185, KeyCode::F15 },
    { 186, 0x6A /* F16 */ },
    { 187, 0x40 /* F17 */ },
    { 188, 0x4F /* F18 */ },
    { 189, 0x50 /* F19 */ },
    { 190, 0x5A /* F20 */ },
};

constexpr auto VirtualByEvdev = [] {
    std::array<unsigned short, 256> table {};
    table.fill(UnknownKeyCode);
    for (auto [evdev, code] : EvdevToVirtual)
        table[evdev] = code;
    return table;
}();

}

unsigned short virtualKeyCodeForXKeyCode(unsigned xKeyCode)
{
    // X key codes are evdev codes shifted by 8.
    if (xKeyCode < 8 || xKeyCode - 8 >= VirtualByEvdev.size())
        return UnknownKeyCode;
    return VirtualByEvdev[xKeyCode - 8];
}

std::optional<char16_t> specialCharacterForKeysym(unsigned keysym)
{
    if (keysym >= XK_F1 && keysym <= XK_F35)
        return char16_t(FunctionKey::F1 + (keysym - XK_F1));
    switch (keysym) {
    case XK_Up:
    case XK_KP_Up:
        return FunctionKey::UpArrow;
    case XK_Down:
    case XK_KP_Down:
        return FunctionKey::DownArrow;
    case XK_Left:
    case XK_KP_Left:
        return FunctionKey::LeftArrow;
    case XK_Right:
    case XK_KP_Right:
        return FunctionKey::RightArrow;
    case XK_Insert:
    case XK_KP_Insert:
        return FunctionKey::Insert;
    case XK_Delete:
    case XK_KP_Delete:
        return FunctionKey::Delete;
    case XK_Home:
    case XK_KP_Home:
        return FunctionKey::Home;
    case XK_Begin:
    case XK_KP_Begin:
        return FunctionKey::Begin;
    case XK_End:
    case XK_KP_End:
        return FunctionKey::End;
    case XK_Page_Up:
    case XK_KP_Page_Up:
        return FunctionKey::PageUp;
    case XK_Page_Down:
    case XK_KP_Page_Down:
        return FunctionKey::PageDown;
    case XK_Print:
        return FunctionKey::PrintScreen;
    case XK_Scroll_Lock:
        return FunctionKey::ScrollLock;
    case XK_Pause:
        return FunctionKey::Pause;
    case XK_Clear:
        return FunctionKey::Clear;
    case XK_Help:
        return FunctionKey::Help;
    case XK_Menu:
        return char16_t(0xF735); // the menu function key
    case XK_BackSpace:
        return char16_t(0x7F); // the platform's backward delete
    case XK_Return:
        return char16_t('\r');
    case XK_KP_Enter:
        return char16_t(0x03); // Enter, distinct from Return
    case XK_Tab:
    case XK_KP_Tab:
        return char16_t('\t');
    case XK_ISO_Left_Tab:
        return char16_t(0x19); // back tab
    case XK_Escape:
        return char16_t(0x1B);
    default:
        return std::nullopt;
    }
}

unsigned modifierFlagsForGdkState(unsigned state)
{
    unsigned flags = 0;
    if (state & GdkModifiers::Shift)
        flags |= ModifierFlags::Shift;
    if (state & GdkModifiers::Lock)
        flags |= ModifierFlags::AlphaShift;
    // Ctrl plays the command key's role, so the shortcuts Linux users know (Ctrl+C) reach the key equivalents.
    if (state & GdkModifiers::Control)
        flags |= ModifierFlags::Command;
    if (state & GdkModifiers::Alt)
        flags |= ModifierFlags::Alternate;
    if (state & (GdkModifiers::Super | GdkModifiers::Hyper))
        flags |= ModifierFlags::Control;
    return flags;
}

unsigned keyFlagsForVirtualKeyCode(unsigned short code)
{
    switch (code) {
    case KeyCode::UpArrow:
    case KeyCode::DownArrow:
    case KeyCode::LeftArrow:
    case KeyCode::RightArrow:
        return ModifierFlags::Function | ModifierFlags::NumericPad;
    case KeyCode::F1:
    case KeyCode::F2:
    case KeyCode::F3:
    case KeyCode::F4:
    case KeyCode::F5:
    case KeyCode::F6:
    case KeyCode::F7:
    case KeyCode::F8:
    case KeyCode::F9:
    case KeyCode::F10:
    case KeyCode::F11:
    case KeyCode::F12:
    case KeyCode::F13:
    case KeyCode::F14:
    case KeyCode::F15:
    case 0x6A:
    case 0x40:
    case 0x4F:
    case 0x50:
    case 0x5A:
    case KeyCode::Help:
    case KeyCode::Home:
    case KeyCode::End:
    case KeyCode::PageUp:
    case KeyCode::PageDown:
    case KeyCode::ForwardDelete:
        return ModifierFlags::Function;
    case KeyCode::KeypadDecimal:
    case KeyCode::KeypadMultiply:
    case KeyCode::KeypadPlus:
    case KeyCode::KeypadClear:
    case KeyCode::KeypadDivide:
    case KeyCode::KeypadEnter:
    case KeyCode::KeypadMinus:
    case KeyCode::KeypadEquals:
    case 0x5F:
        return ModifierFlags::NumericPad;
    default:
        // Keypad digits: 0x52..0x59, 0x5B, 0x5C.
        if ((code >= KeyCode::Keypad0 && code <= KeyCode::Keypad0 + 7) || code == 0x5B || code == 0x5C)
            return ModifierFlags::NumericPad;
        return 0;
    }
}

std::optional<unsigned> modifierFlagForKeysym(unsigned keysym)
{
    switch (keysym) {
    case XK_Shift_L:
    case XK_Shift_R:
        return ModifierFlags::Shift;
    case XK_Control_L:
    case XK_Control_R:
        return ModifierFlags::Command;
    case XK_Alt_L:
    case XK_Alt_R:
    case XK_Meta_L:
    case XK_Meta_R:
        return ModifierFlags::Alternate;
    case XK_Super_L:
    case XK_Super_R:
    case XK_Hyper_L:
    case XK_Hyper_R:
        return ModifierFlags::Control;
    case XK_Caps_Lock:
        return ModifierFlags::AlphaShift;
    case XK_ISO_Level3_Shift:
    case XK_Mode_switch:
        return 0u;
    default:
        return std::nullopt;
    }
}

}
