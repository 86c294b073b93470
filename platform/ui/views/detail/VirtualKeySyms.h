#pragma once

namespace ui::detail {

// A key code no table knows.
constexpr unsigned short UnknownVirtualKeyCode = 0xFFFF;

// The X keysym of a virtual key code on a US layout; 0 for codes that name no key.
unsigned long keysymForVirtualKeyCode(unsigned short keyCode);

// The virtual key code for the key at a physical position, given by its X key code (the kernel's evdev code plus 8),
// so a key reports the same code on every layout. The modifier keys report the code of the role they play: Ctrl the
// command key, Super the control key, Alt the option key. UnknownVirtualKeyCode for keys the table lacks.
unsigned short virtualKeyCodeForXKeyCode(unsigned xKeyCode);
// The X key code of the key at a virtual code's position; 0 when no key sits there.
unsigned xKeyCodeForVirtualKeyCode(unsigned short keyCode);

}
