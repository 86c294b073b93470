#pragma once

#include "platform/ui/desktop/KeyboardLayout.h"

#include <memory>

typedef struct _XDisplay Display;
typedef union _XEvent XEvent;

namespace ui {

// The desktop's keyboard layout on X11: the names the server keeps in the root window's _XKB_RULES_NAMES property
// (what setxkbmap and the desktop's settings write) and the group in use, made current as a KeyboardLayout and
// made again when the server reports another keyboard, another keymap or another group.
class GtkKeyboardLayout {
public:
    explicit GtkKeyboardLayout(Display* display);
    // Reads the server's layout and makes it current (the US layout stays when the names cannot be read).
    void refresh();
    // Every X event GDK reads; XKB events and changes of the names property lead to a refresh.
    void handleXEvent(const XEvent& event);

    // The names in the property's text: rules, model, layout, variant, options, each ended by a NUL.
    static KeyboardLayout::Names namesFromProperty(const char* data, unsigned long length);

private:
    Display* m_display;
    int m_xkbEventBase { -1 };
    unsigned long m_namesAtom { 0 };
    bool m_refreshPending { false };
    // A posted refresh runs only while this object lives.
    std::shared_ptr<bool> m_alive { std::make_shared<bool>(true) };
};

}
