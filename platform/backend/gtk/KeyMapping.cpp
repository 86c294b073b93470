#include "platform/backend/gtk/KeyMapping.h"

#include "platform/ui/views/Event.h"
#include "platform/ui/views/detail/VirtualKeySyms.h"

#include <X11/keysym.h>

#include <array>
#include <utility>

namespace ui::keymapping {

unsigned short virtualKeyCodeForXKeyCode(unsigned xKeyCode)
{
    return detail::virtualKeyCodeForXKeyCode(xKeyCode);
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
