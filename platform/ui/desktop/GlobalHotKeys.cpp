#include "platform/ui/desktop/GlobalHotKeys.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/detail/VirtualKeySyms.h"

#include <X11/XKBlib.h>
#include <X11/Xlib-xcb.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xproto.h>

#include <algorithm>
#include <compare>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <poll.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace ui::GlobalHotKeys {

namespace {

const char* const ErrorDomain = "GlobalHotKeysErrorDomain";

// A key and the X modifiers it is grabbed with.
struct Combination {
    ::KeyCode keyCode { 0 };
    unsigned modifiers { 0 };
    auto operator<=>(const Combination&) const = default;
};

struct RegisteredKey {
    Combination combination;
    Handler handler;
};

// One connection to the X server for the grabs, with a thread that waits for key releases and hands them to the
// main run loop.
class X11Grabber {
public:
    static fnd::Expected<X11Grabber*> shared()
    {
        static std::once_flag once;
        static X11Grabber* grabber = nullptr;
        std::call_once(once, [] {
            XInitThreads();
            if (Display* display = XOpenDisplay(nullptr))
                grabber = new X11Grabber(display); // lives for the process, with its thread
        });
        if (!grabber)
            return std::unexpected(
                fnd::Error::make(ErrorDomain, 1, "Global hot keys need an X11 display, and this session has none.",
                    "Wayland sessions let no program take keys for the whole desktop."));
        return grabber;
    }

    fnd::Expected<Registration> add(unsigned short virtualKey, unsigned modifierFlags, Handler handler)
    {
        auto keysym = detail::keysymForVirtualKeyCode(virtualKey);
        ::KeyCode keyCode = keysym ? XKeysymToKeycode(m_display, keysym) : 0;
        if (!keyCode)
            return std::unexpected(fnd::Error::make(ErrorDomain, 2,
                fnd::String(fmt::format("The key with virtual code {} is not on this keyboard.", virtualKey))));
        const Combination combination { keyCode, xModifiers(modifierFlags) };

        std::lock_guard lock(m_mutex);
        // Registrations that differ only in bits X has no modifier for come to the same keys: they share one grab,
        // made by the first and let go with the last, and a release fires each of them.
        if (!isGrabbed(combination)) {
            if (auto grabbed = grab(combination); !grabbed)
                return std::unexpected(grabbed.error());
        }
        auto registration = m_next++;
        m_registrations[registration] = { combination, std::move(handler) };
        return registration;
    }

    void remove(Registration registration)
    {
        std::lock_guard lock(m_mutex);
        auto found = m_registrations.find(registration);
        if (found == m_registrations.end())
            return;
        const Combination combination = found->second.combination;
        m_registrations.erase(found);
        if (!isGrabbed(combination)) {
            ungrab(combination);
            XSync(m_display, False);
        }
    }

private:
    bool isGrabbed(const Combination& combination) const
    {
        return std::any_of(m_registrations.begin(), m_registrations.end(),
            [&](const auto& entry) { return entry.second.combination == combination; });
    }

    // Called with the mutex held.
    fnd::Expected<void> grab(const Combination& combination)
    {
        // Each grab's answer is asked for on its own through XCB. An error handler is one for the whole process, and
        // the listening thread may read the server's refusal after a sync has returned: the registration then took
        // the refused combination for its own, and the refusal reached whichever handler was installed by then
        // (Xlib's default one ends the program).
        xcb_connection_t* connection = XGetXCBConnection(m_display);
        std::vector<xcb_void_cookie_t> grabs;
        for (unsigned variant : lockVariants())
            grabs.push_back(xcb_grab_key_checked(connection, 1, xcb_window_t(root()),
                std::uint16_t(combination.modifiers | variant), combination.keyCode, XCB_GRAB_MODE_ASYNC,
                XCB_GRAB_MODE_ASYNC));
        bool refused = false;
        for (auto cookie : grabs) {
            if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
                refused = true;
                std::free(error);
            }
        }
        if (refused) {
            ungrab(combination);
            return std::unexpected(fnd::Error::make(
                ErrorDomain, 3, "Another program already uses this key combination for the whole desktop."));
        }
        return {};
    }

    explicit X11Grabber(Display* display)
        : m_display(display)
    {
        // Held keys repeat presses only, so a held combination fires once, when it is let go.
        Bool supported = False;
        XkbSetDetectableAutoRepeat(m_display, True, &supported);
        m_numLock = modifierMaskOf(XK_Num_Lock);
        m_scrollLock = modifierMaskOf(XK_Scroll_Lock);
        XSelectInput(m_display, root(), KeyPressMask | KeyReleaseMask);
        XFlush(m_display);
        std::thread([this] { waitForKeys(); }).detach();
    }

    ::Window root() const { return DefaultRootWindow(m_display); }

    static unsigned xModifiers(unsigned flags)
    {
        unsigned modifiers = 0;
        if (flags & ModifierFlags::Command)
            modifiers |= ControlMask;
        if (flags & ModifierFlags::Shift)
            modifiers |= ShiftMask;
        if (flags & ModifierFlags::Alternate)
            modifiers |= Mod1Mask;
        if (flags & ModifierFlags::Control)
            modifiers |= Mod4Mask;
        return modifiers;
    }

    unsigned modifierMaskOf(KeySym keysym) const
    {
        unsigned mask = 0;
        ::KeyCode code = XKeysymToKeycode(m_display, keysym);
        if (XModifierKeymap* map = XGetModifierMapping(m_display)) {
            for (int modifier = 0; modifier < 8; ++modifier) {
                for (int k = 0; k < map->max_keypermod; ++k) {
                    if (code && map->modifiermap[modifier * map->max_keypermod + k] == code)
                        mask |= 1u << modifier;
                }
            }
            XFreeModifiermap(map);
        }
        return mask;
    }

    // The grab is made with and without each lock modifier, so Caps Lock, Num Lock and Scroll Lock do not matter.
    std::vector<unsigned> lockVariants() const
    {
        std::vector<unsigned> variants { 0 };
        for (unsigned lock : { static_cast<unsigned>(LockMask), m_numLock, m_scrollLock }) {
            if (!lock)
                continue;
            auto count = variants.size();
            for (std::size_t i = 0; i < count; ++i)
                variants.push_back(variants[i] | lock);
        }
        return variants;
    }

    unsigned ignoredModifiers() const { return LockMask | m_numLock | m_scrollLock; }

    void ungrab(const Combination& combination)
    {
        for (unsigned variant : lockVariants())
            XUngrabKey(m_display, combination.keyCode, combination.modifiers | variant, root());
    }

    // One lock order: the mutex may be held while Xlib is called (add and remove grab and sync under it, and Xlib
    // takes the display lock inside), so this thread never waits for the mutex while it holds the display lock. It
    // takes the key events off the connection first and matches them once the display is let go.
    void waitForKeys()
    {
        const int fd = ConnectionNumber(m_display);
        std::vector<XKeyEvent> keys;
        for (;;) {
            // Woken by the server, and now and then for events another thread's sync already read in.
            pollfd waiting { fd, POLLIN, 0 };
            poll(&waiting, 1, 100);
            keys.clear();
            XLockDisplay(m_display);
            while (XPending(m_display) > 0) {
                XEvent event;
                XNextEvent(m_display, &event);
                if (event.type == KeyPress || event.type == KeyRelease)
                    keys.push_back(event.xkey);
            }
            XUnlockDisplay(m_display);
            for (const auto& key : keys) {
                if (key.type == KeyPress)
                    pressed(key);
                else
                    released(key);
            }
        }
    }

    Combination combinationOf(const XKeyEvent& key) const
    {
        return { static_cast<::KeyCode>(key.keycode),
            key.state & ~ignoredModifiers() & (ShiftMask | ControlMask | Mod1Mask | Mod4Mask) };
    }

    // The combination is remembered when its key goes down, so it still fires when the modifiers are let go first.
    void pressed(const XKeyEvent& key)
    {
        std::lock_guard lock(m_mutex);
        if (auto combination = combinationOf(key); isGrabbed(combination))
            m_pressed[key.keycode] = combination;
    }

    // Every registration of the combination fires, in the order they were made.
    void released(const XKeyEvent& key)
    {
        std::vector<Handler> handlers;
        {
            std::lock_guard lock(m_mutex);
            Combination combination = combinationOf(key);
            if (auto down = m_pressed.find(key.keycode); down != m_pressed.end()) {
                combination = down->second;
                m_pressed.erase(down);
            }
            for (const auto& [registration, registered] : m_registrations) {
                if (registered.combination == combination)
                    handlers.push_back(registered.handler);
            }
        }
        for (auto& handler : handlers)
            fnd::RunLoop::main().post(std::move(handler));
    }

    Display* m_display;
    unsigned m_numLock { 0 };
    unsigned m_scrollLock { 0 };
    std::mutex m_mutex;
    std::map<Registration, RegisteredKey> m_registrations;
    std::map<unsigned, Combination> m_pressed;
    Registration m_next { 1 };
};

}

fnd::Expected<Registration> registerHotKey(unsigned short keyCode, unsigned modifierFlags, Handler onRelease)
{
    auto grabber = X11Grabber::shared();
    if (!grabber)
        return std::unexpected(grabber.error());
    return (*grabber)->add(keyCode, modifierFlags, std::move(onRelease));
}

void unregisterHotKey(Registration registration)
{
    if (auto grabber = X11Grabber::shared())
        (*grabber)->remove(registration);
}

}
