#include "platform/ui/views/detail/VirtualKeySyms.h"

#include "platform/ui/views/Event.h"

#include <X11/keysym.h>

#include <array>
#include <iterator>
#include <utility>

namespace ui::detail {

namespace {

// Virtual key code, keysym. Letters and digits by position, as the virtual codes name positions.
constexpr std::array<std::pair<unsigned short, unsigned long>, 95> Keys { {
    { KeyCode::A, XK_a },
    { KeyCode::S, XK_s },
    { KeyCode::D, XK_d },
    { KeyCode::F, XK_f },
    { KeyCode::H, XK_h },
    { KeyCode::G, XK_g },
    { KeyCode::Z, XK_z },
    { KeyCode::X, XK_x },
    { KeyCode::C, XK_c },
    { KeyCode::V, XK_v },
    { KeyCode::B, XK_b },
    { KeyCode::Q, XK_q },
    { KeyCode::W, XK_w },
    { KeyCode::E, XK_e },
    { KeyCode::R, XK_r },
    { KeyCode::Y, XK_y },
    { KeyCode::T, XK_t },
    { KeyCode::O, XK_o },
    { KeyCode::U, XK_u },
    { KeyCode::I, XK_i },
    { KeyCode::P, XK_p },
    { KeyCode::L, XK_l },
    { KeyCode::J, XK_j },
    { KeyCode::K, XK_k },
    { KeyCode::N, XK_n },
    { KeyCode::M, XK_m },
    // digits and punctuation
    { KeyCode::Digit1, XK_1 },
    { KeyCode::Digit2, XK_2 },
    { KeyCode::Digit3, XK_3 },
    { KeyCode::Digit4, XK_4 },
    { KeyCode::Digit5, XK_5 },
    { KeyCode::Digit6, XK_6 },
    { KeyCode::Digit7, XK_7 },
    { KeyCode::Digit8, XK_8 },
    { KeyCode::Digit9, XK_9 },
    { KeyCode::Digit0, XK_0 },
    { KeyCode::Equal, XK_equal },
    { KeyCode::Minus, XK_minus },
    { KeyCode::RightBracket, XK_bracketright },
    { KeyCode::LeftBracket, XK_bracketleft },
    { KeyCode::Quote, XK_apostrophe },
    { KeyCode::Semicolon, XK_semicolon },
    { KeyCode::Backslash, XK_backslash },
    { KeyCode::Comma, XK_comma },
    { KeyCode::Slash, XK_slash },
    { KeyCode::Period, XK_period },
    { KeyCode::Grave, XK_grave },
    // editing and navigation
    { KeyCode::Return, XK_Return },
    { KeyCode::Tab, XK_Tab },
    { KeyCode::Space, XK_space },
    { KeyCode::Delete, XK_BackSpace },
    { KeyCode::Escape, XK_Escape },
    { KeyCode::ForwardDelete, XK_Delete },
    { KeyCode::Help, XK_Help },
    { KeyCode::Home, XK_Home },
    { KeyCode::End, XK_End },
    { KeyCode::PageUp, XK_Page_Up },
    { KeyCode::PageDown, XK_Page_Down },
    { KeyCode::LeftArrow, XK_Left },
    { KeyCode::RightArrow, XK_Right },
    { KeyCode::DownArrow, XK_Down },
    { KeyCode::UpArrow, XK_Up },
    // function keys
    { KeyCode::F1, XK_F1 },
    { KeyCode::F2, XK_F2 },
    { KeyCode::F3, XK_F3 },
    { KeyCode::F4, XK_F4 },
    { KeyCode::F5, XK_F5 },
    { KeyCode::F6, XK_F6 },
    { KeyCode::F7, XK_F7 },
    { KeyCode::F8, XK_F8 },
    { KeyCode::F9, XK_F9 },
    { KeyCode::F10, XK_F10 },
    { KeyCode::F11, XK_F11 },
    { KeyCode::F12, XK_F12 },
    { KeyCode::F13, XK_F13 },
    { KeyCode::F14, XK_F14 },
    { KeyCode::F15, XK_F15 },
    // keypad
    { KeyCode::KeypadDecimal, XK_KP_Decimal },
    { KeyCode::KeypadMultiply, XK_KP_Multiply },
    { KeyCode::KeypadPlus, XK_KP_Add },
    { KeyCode::KeypadClear, XK_Clear },
    { KeyCode::KeypadDivide, XK_KP_Divide },
    { KeyCode::KeypadEnter, XK_KP_Enter },
    { KeyCode::KeypadMinus, XK_KP_Subtract },
    { KeyCode::KeypadEquals, XK_KP_Equal },
    { KeyCode::Keypad0, XK_KP_0 },
    { 0x53, XK_KP_1 },
    { 0x54, XK_KP_2 },
    { 0x55, XK_KP_3 },
    { 0x56, XK_KP_4 },
    { 0x57, XK_KP_5 },
    { 0x58, XK_KP_6 },
    { 0x59, XK_KP_7 },
    { 0x5B, XK_KP_8 },
    { 0x5C, XK_KP_9 },
} };

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
    table.fill(UnknownVirtualKeyCode);
    for (auto [evdev, code] : EvdevToVirtual)
        table[evdev] = code;
    return table;
}();

// The first key in evdev order wins where two keys share a code (Insert and Help both play Help).
constexpr auto EvdevByVirtual = [] {
    std::array<unsigned short, 128> table {};
    for (auto it = std::rbegin(EvdevToVirtual); it != std::rend(EvdevToVirtual); ++it) {
        if (it->second < table.size())
            table[it->second] = static_cast<unsigned short>(it->first);
    }
    return table;
}();

}

unsigned long keysymForVirtualKeyCode(unsigned short keyCode)
{
    for (const auto& [code, keysym] : Keys) {
        if (code == keyCode)
            return keysym;
    }
    return 0;
}

}

namespace ui::detail {

unsigned short virtualKeyCodeForXKeyCode(unsigned xKeyCode)
{
    // X key codes are evdev codes shifted by 8.
    if (xKeyCode < 8 || xKeyCode - 8 >= VirtualByEvdev.size())
        return UnknownVirtualKeyCode;
    return VirtualByEvdev[xKeyCode - 8];
}

unsigned xKeyCodeForVirtualKeyCode(unsigned short keyCode)
{
    if (keyCode >= EvdevByVirtual.size() || EvdevByVirtual[keyCode] == 0)
        return 0;
    return EvdevByVirtual[keyCode] + 8u;
}

}
