#include "platform/backend/gtk/GtkKeyboardLayout.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace ui {

GtkKeyboardLayout::GtkKeyboardLayout(Display* display)
    : m_display(display)
{
    if (!m_display)
        return;
    int opcode = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (XkbQueryExtension(m_display, &opcode, &m_xkbEventBase, &error, &major, &minor)) {
        XkbSelectEvents(m_display, XkbUseCoreKbd, XkbNewKeyboardNotifyMask | XkbMapNotifyMask,
            XkbNewKeyboardNotifyMask | XkbMapNotifyMask);
        XkbSelectEventDetails(
            m_display, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask, XkbGroupStateMask);
    } else {
        m_xkbEventBase = -1;
    }
    m_namesAtom = XInternAtom(m_display, "_XKB_RULES_NAMES", False);
    XWindowAttributes attributes {};
    Window root = DefaultRootWindow(m_display);
    if (XGetWindowAttributes(m_display, root, &attributes))
        XSelectInput(m_display, root, attributes.your_event_mask | PropertyChangeMask);
    refresh();
}

KeyboardLayout::Names GtkKeyboardLayout::namesFromProperty(const char* data, unsigned long length)
{
    std::vector<std::string> parts;
    std::string part;
    for (unsigned long i = 0; i < length; ++i) {
        if (data[i] == '\0') {
            parts.push_back(part);
            part.clear();
        } else {
            part += data[i];
        }
    }
    if (!part.empty())
        parts.push_back(part);
    parts.resize(5);
    KeyboardLayout::Names names;
    if (!parts[0].empty())
        names.rules = fnd::String(parts[0]);
    if (!parts[1].empty())
        names.model = fnd::String(parts[1]);
    if (!parts[2].empty())
        names.layout = fnd::String(parts[2]);
    names.variant = fnd::String(parts[3]);
    names.options = fnd::String(parts[4]);
    return names;
}

void GtkKeyboardLayout::refresh()
{
    if (!m_display)
        return;
    KeyboardLayout::Names names;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(m_display, DefaultRootWindow(m_display), m_namesAtom, 0, 1024, False, XA_STRING, &type,
            &format, &count, &after, &data)
            == Success
        && data && format == 8)
        names = namesFromProperty(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    XkbStateRec state {};
    unsigned group = XkbGetState(m_display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
    auto layout = KeyboardLayout::layoutWithNames(names, group);
    if (!layout) {
        fnd::logf(fnd::LogLevel::Warning, "The desktop's keyboard layout is not known here: {}",
            layout.error().localizedDescription().utf8());
        return;
    }
    KeyboardLayout::setCurrent(*layout);
}

void GtkKeyboardLayout::handleXEvent(const XEvent& event)
{
    bool changed = false;
    if (m_xkbEventBase >= 0 && event.type == m_xkbEventBase) {
        const auto& xkb = reinterpret_cast<const XkbEvent&>(event);
        changed = xkb.any.xkb_type == XkbNewKeyboardNotify || xkb.any.xkb_type == XkbMapNotify
            || (xkb.any.xkb_type == XkbStateNotify && (xkb.state.changed & XkbGroupStateMask));
    } else if (event.type == PropertyNotify) {
        changed = event.xproperty.atom == m_namesAtom;
    }
    if (!changed)
        return;
    // Read the new state after GDK has seen the event, once per burst of events.
    if (m_refreshPending)
        return;
    m_refreshPending = true;
    std::weak_ptr<bool> alive = m_alive;
    fnd::RunLoop::main().post([this, alive] {
        if (alive.expired())
            return;
        m_refreshPending = false;
        refresh();
    });
}

}
