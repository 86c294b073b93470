#include "platform/ui/detail/VirtualKeySyms.h"

#include "platform/ui/views/Event.h"

#include <X11/keysym.h>

#include <array>
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
