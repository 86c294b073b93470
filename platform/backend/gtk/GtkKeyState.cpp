#include "platform/backend/gtk/GtkBackend.h"
#include "platform/backend/gtk/GtkDisplayState.h"
#include "platform/backend/gtk/KeyMapping.h"

#include <X11/Xlib.h>

namespace ui {

bool GtkBackend::isKeyDown(unsigned short keyCode)
{
    if (!m_display || !m_display->isX11())
        return false;
    // The server's keymap: one bit per X key code, held now, whatever the event queue still holds.
    char keys[32] {};
    XQueryKeymap(m_display->xDisplay(), keys);
    for (unsigned xKeyCode = 8; xKeyCode < 256; ++xKeyCode)
        if ((keys[xKeyCode / 8] >> (xKeyCode % 8)) & 1)
            if (keymapping::virtualKeyCodeForXKeyCode(xKeyCode) == keyCode)
                return true;
    return false;
}

}
