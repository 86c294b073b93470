#pragma once

namespace ui::detail {

// The X keysym of a virtual key code on a US layout; 0 for codes that name no key.
unsigned long keysymForVirtualKeyCode(unsigned short keyCode);

}
