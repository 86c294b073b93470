#include "platform/backend/gtk/GtkBackend.h"
#include "platform/backend/gtk/GtkWindowHost.h"
#include "platform/backend/gtk/KeyMapping.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/text/TextInputClient.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <cmath>
#include <cstdlib>

namespace ui {

namespace {

double now()
{
    return fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
}

fnd::String stringForCodePoint(char32_t c)
{
    if (c == 0)
        return {};
    return fnd::String::fromCodePoint(c);
}

// What a key sends, by its keysym: the private-use character of a function key, else the keysym's character.
fnd::String charactersForKeysym(unsigned keysym)
{
    if (auto special = keymapping::specialCharacterForKeysym(keysym))
        return fnd::String(std::u16string(1, *special));
    return stringForCodePoint(gdk_keyval_to_unicode(keysym));
}

unsigned buttonMaskFor(unsigned button)
{
    return button >= 1 && button <= 5 ? 1u << (button - 1) : 0;
}

// The text-editing view the person types into: the key window's first responder, when it composes text.
TextInputClient* currentTextInputClient()
{
    auto key = Application::shared().keyWindow();
    if (!key)
        return nullptr;
    return dynamic_cast<TextInputClient*>(key->firstResponder().get());
}

}

gboolean GtkWindowHost::onPointerEvent(GtkEventControllerLegacy*, GdkEvent* event, gpointer self)
{
    return static_cast<GtkWindowHost*>(self)->handlePointer(event);
}

gboolean GtkWindowHost::onKeyEvent(GtkEventControllerLegacy*, GdkEvent* event, gpointer self)
{
    return static_cast<GtkWindowHost*>(self)->handleKey(event);
}

long GtkWindowHost::clickCountFor(unsigned button, double x, double y, std::uint32_t time)
{
    int interval = 400, distance = 5;
    g_object_get(gtk_widget_get_settings(m_canvas), "gtk-double-click-time", &interval, "gtk-double-click-distance",
        &distance, nullptr);
    bool continues = m_lastClick.count > 0 && m_lastClick.button == button
        && time - m_lastClick.time <= std::uint32_t(interval) && std::abs(x - m_lastClick.x) <= distance
        && std::abs(y - m_lastClick.y) <= distance;
    m_lastClick = { button, x, y, time, continues ? m_lastClick.count + 1 : 1 };
    return m_lastClick.count;
}

bool GtkWindowHost::handlePointer(GdkEvent* event)
{
    auto w = window();
    if (!w)
        return false;
    auto type = gdk_event_get_event_type(event);
    auto point = canvasPointOfEvent(event);
    // Scroll and touchpad events may carry no position; they happen where the pointer last was.
    if (!point && (type == GDK_SCROLL || type == GDK_TOUCHPAD_SWIPE || type == GDK_TOUCHPAD_PINCH))
        point = m_lastPointer;
    if (!point)
        return false;
    m_lastPointer = *point;
    auto base = basePoint(point->x, point->y);
    unsigned state = gdk_event_get_modifier_state(event);
    unsigned flags = keymapping::modifierFlagsForGdkState(state);
    long number = w->windowNumber();
    auto& application = Application::shared();

    switch (type) {
    case GDK_BUTTON_PRESS:
    case GDK_BUTTON_RELEASE: {
        unsigned button = gdk_button_event_get_button(event);
        bool press = type == GDK_BUTTON_PRESS;
        EventType eventType;
        if (button == GDK_BUTTON_PRIMARY)
            eventType = press ? EventType::LeftMouseDown : EventType::LeftMouseUp;
        else if (button == GDK_BUTTON_SECONDARY)
            eventType = press ? EventType::RightMouseDown : EventType::RightMouseUp;
        else
            eventType = press ? EventType::OtherMouseDown : EventType::OtherMouseUp;
        if (!press && m_pressTakenByDrag) {
            m_buttonsDown &= ~buttonMaskFor(button);
            m_pressTakenByDrag = m_buttonsDown != 0;
            return true;
        }
        long clicks = press ? clickCountFor(button, point->x, point->y, gdk_event_get_time(event)) : m_lastClick.count;
        if (press) {
            m_pressTakenByDrag = false;
            m_buttonsDown |= buttonMaskFor(button);
            gtk_widget_grab_focus(m_canvas);
            if (button == GDK_BUTTON_PRIMARY) {
                double x = 0, y = 0;
                gdk_event_get_position(event, &x, &y);
                m_lastPress = Press { gdk_event_get_device(event), x, y, gdk_event_get_time(event) };
            }
        } else {
            m_buttonsDown &= ~buttonMaskFor(button);
        }
        application.postEvent(
            Event::mouseEventWithType(eventType, base, flags, now(), number, 0, clicks, press ? 1.0f : 0.0f), false);
        return true;
    }
    case GDK_MOTION_NOTIFY:
    case GDK_ENTER_NOTIFY:
    case GDK_LEAVE_NOTIFY: {
        // Leaving moves the mouse outside the content, so tracking areas hear of the exit.
        EventType eventType = EventType::MouseMoved;
        // A press a drag took moves the mouse as a plain move until it is released.
        if (!m_pressTakenByDrag) {
            if (state & GDK_BUTTON1_MASK)
                eventType = EventType::LeftMouseDragged;
            else if (state & GDK_BUTTON3_MASK)
                eventType = EventType::RightMouseDragged;
            else if (state & GDK_BUTTON2_MASK)
                eventType = EventType::OtherMouseDragged;
        }
        application.postEvent(Event::mouseEventWithType(eventType, base, flags, now(), number, 0, 0, 0), false);
        return type == GDK_MOTION_NOTIFY;
    }
    case GDK_SCROLL: {
        double dx = 0, dy = 0;
        switch (gdk_scroll_event_get_direction(event)) {
        case GDK_SCROLL_UP:
            dy = 1;
            break;
        case GDK_SCROLL_DOWN:
            dy = -1;
            break;
        case GDK_SCROLL_LEFT:
            dx = 1;
            break;
        case GDK_SCROLL_RIGHT:
            dx = -1;
            break;
        case GDK_SCROLL_SMOOTH:
            // Precise deltas, in lines; positive means the content moves down (or right), as the platform counts.
            gdk_scroll_event_get_deltas(event, &dx, &dy);
            dx = -dx;
            dy = -dy;
            break;
        }
        if (dx == 0 && dy == 0)
            return true;
        application.postEvent(Event::scrollEvent(base, flags, now(), number, dx, dy), false);
        return true;
    }
    case GDK_TOUCHPAD_SWIPE:
    case GDK_TOUCHPAD_PINCH:
    case GDK_TOUCHPAD_HOLD:
        handleTouchpad(event, base, flags);
        return true;
    default:
        return false;
    }
}

void GtkWindowHost::handleTouchpad(GdkEvent* event, gfx::Point base, unsigned flags)
{
    TouchpadSample sample;
    auto type = gdk_event_get_event_type(event);
    sample.kind = type == GDK_TOUCHPAD_SWIPE ? TouchpadSample::Kind::Swipe
        : type == GDK_TOUCHPAD_PINCH         ? TouchpadSample::Kind::Pinch
                                             : TouchpadSample::Kind::Hold;
    switch (gdk_touchpad_event_get_gesture_phase(event)) {
    case GDK_TOUCHPAD_GESTURE_PHASE_BEGIN:
        sample.phase = TouchpadSample::Phase::Begin;
        break;
    case GDK_TOUCHPAD_GESTURE_PHASE_UPDATE:
        sample.phase = TouchpadSample::Phase::Update;
        break;
    case GDK_TOUCHPAD_GESTURE_PHASE_END:
        sample.phase = TouchpadSample::Phase::End;
        break;
    case GDK_TOUCHPAD_GESTURE_PHASE_CANCEL:
        sample.phase = TouchpadSample::Phase::Cancel;
        break;
    }
    if (sample.kind != TouchpadSample::Kind::Hold)
        gdk_touchpad_event_get_deltas(event, &sample.dx, &sample.dy);
    if (sample.kind == TouchpadSample::Kind::Pinch) {
        sample.scale = gdk_touchpad_event_get_pinch_scale(event);
        sample.angleDelta = gdk_touchpad_event_get_pinch_angle_delta(event);
    }
    auto w = window();
    if (!w)
        return;
    for (const auto& step : m_touchpad.convert(sample)) {
        std::shared_ptr<Event> e;
        switch (step.type) {
        case EventType::Swipe:
            e = Event::swipeEvent(base, flags, now(), w->windowNumber(), step.deltaX, step.deltaY);
            break;
        case EventType::Magnify:
            e = Event::magnifyEvent(base, flags, now(), w->windowNumber(), step.magnification, step.phase);
            break;
        case EventType::Rotate:
            e = Event::rotateEvent(base, flags, now(), w->windowNumber(), step.rotation, step.phase);
            break;
        default:
            continue;
        }
        Application::shared().postEvent(e, false);
    }
}

bool GtkWindowHost::beginMove()
{
    auto w = window();
    GdkSurface* surface = gtk_native_get_surface(GTK_NATIVE(m_gtkWindow));
    if (!w || m_popUp || !m_lastPress || !(m_buttonsDown & buttonMaskFor(GDK_BUTTON_PRIMARY)) || !surface
        || !GDK_IS_TOPLEVEL(surface))
        return false;
    // The drag may reach us after the person let go (a busy program): the release is then on its way to us or
    // already read by the toolkit, and a move started now would keep the pointer after the button is up. The
    // server knows whether the button is still held; if not, the press ends as an ordinary one.
    GdkModifierType held {};
    gdk_surface_get_device_position(surface, m_lastPress->device, nullptr, nullptr, &held);
    if (!(held & GDK_BUTTON1_MASK))
        return false;
    // From here on the window system moves the window: its reports are the person's doing, not older states.
    m_requestedAt = 0;
    gdk_toplevel_begin_move(GDK_TOPLEVEL(surface), m_lastPress->device, GDK_BUTTON_PRIMARY, m_lastPress->surfaceX,
        m_lastPress->surfaceY, m_lastPress->time);
    // The window manager has the button now and takes its release: ours ends here, where the pointer was.
    m_buttonsDown &= ~buttonMaskFor(GDK_BUTTON_PRIMARY);
    m_lastPress.reset();
    auto base = m_lastPointer ? basePoint(m_lastPointer->x, m_lastPointer->y) : gfx::Point {};
    Application::shared().postEvent(
        Event::mouseEventWithType(EventType::LeftMouseUp, base, Event::currentModifierFlags(), now(), w->windowNumber(),
            0, m_lastClick.count, 0.0f),
        false);
    return true;
}

void GtkWindowHost::endPressTakenByDrag()
{
    m_pressTakenByDrag = true;
    m_buttonsDown = 0;
    m_lastPress.reset();
}

void GtkWindowHost::postKeyEvent(EventType type, GdkEvent* event, const fnd::String& characters, bool isRepeat)
{
    auto w = window();
    if (!w)
        return;
    unsigned keycode = gdk_key_event_get_keycode(event);
    unsigned state = gdk_event_get_modifier_state(event);
    unsigned short code = keymapping::virtualKeyCodeForXKeyCode(keycode);
    unsigned flags = keymapping::modifierFlagsForGdkState(state) | keymapping::keyFlagsForVirtualKeyCode(code);
    // The key's characters with only Shift applied, whatever else is held.
    fnd::String ignoring = characters;
    guint plain = 0;
    if (gdk_display_translate_key(gtk_widget_get_display(m_canvas), keycode, GdkModifierType(state & GDK_SHIFT_MASK),
            int(gdk_key_event_get_layout(event)), &plain, nullptr, nullptr, nullptr))
        ignoring = charactersForKeysym(plain);
    Application::shared().postEvent(
        Event::keyEventWithType(type, {}, flags, now(), w->windowNumber(), characters, ignoring, isRepeat, code),
        false);
}

bool GtkWindowHost::handleKey(GdkEvent* event)
{
    auto type = gdk_event_get_event_type(event);
    if (type != GDK_KEY_PRESS && type != GDK_KEY_RELEASE)
        return false;
    auto w = window();
    if (!w)
        return false;
    bool press = type == GDK_KEY_PRESS;
    unsigned keysym = gdk_key_event_get_keyval(event);
    unsigned keycode = gdk_key_event_get_keycode(event);
    unsigned state = gdk_event_get_modifier_state(event);

    if (auto modifier = keymapping::modifierFlagForKeysym(keysym)) {
        // The state of an X key event is the one before it; the held flags change with this key.
        unsigned before = keymapping::modifierFlagsForGdkState(state);
        unsigned after = *modifier == ModifierFlags::AlphaShift ? (press ? before ^ *modifier : before)
            : press                                             ? before | *modifier
                                                                : before & ~*modifier;
        if (after != before) {
            Application::shared().postEvent(
                Event::keyEventWithType(EventType::FlagsChanged, {}, after, now(), w->windowNumber(), {}, {}, false,
                    keymapping::virtualKeyCodeForXKeyCode(keycode)),
                false);
        }
        return true;
    }

    bool isRepeat = press && m_keysDown.contains(keycode);
    if (press)
        m_keysDown.insert(keycode);
    else
        m_keysDown.erase(keycode);

    // The input method sees the key first: it may compose it (dead keys, compose sequences, pre-edit) or pass it.
    m_committed.clear();
    m_filtering = event;
    bool consumed = gtk_im_context_filter_keypress(m_inputMethod, event);
    m_filtering = nullptr;
    if (!press) {
        postKeyEvent(EventType::KeyUp, event, charactersForKeysym(keysym), false);
        return true;
    }
    if (!consumed) {
        postKeyEvent(EventType::KeyDown, event, charactersForKeysym(keysym), isRepeat);
        return true;
    }
    // Composed text arrives as key-downs of the key that finished it; a key that only composes sends none.
    for (const auto& text : m_committed)
        postKeyEvent(EventType::KeyDown, event, text, isRepeat);
    m_committed.clear();
    return true;
}

void GtkWindowHost::onCommit(GtkIMContext*, const char* text, gpointer self)
{
    auto* host = static_cast<GtkWindowHost*>(self);
    fnd::String committed(text);
    if (committed.isEmpty())
        return;
    if (host->m_filtering) {
        host->m_committed.push_back(committed);
        return;
    }
    // Text an input method commits on its own (a candidate picked with the mouse) comes as a key-down without a key.
    if (auto w = host->window()) {
        Application::shared().postEvent(Event::keyEventWithType(EventType::KeyDown, {}, 0, now(), w->windowNumber(),
                                            committed, committed, false, keymapping::UnknownKeyCode),
            false);
    }
}

void GtkWindowHost::onPreeditChanged(GtkIMContext* context, gpointer self)
{
    auto* host = static_cast<GtkWindowHost*>(self);
    char* text = nullptr;
    int cursor = 0;
    gtk_im_context_get_preedit_string(context, &text, nullptr, &cursor);
    fnd::String marked(text ? text : "");
    g_free(text);
    // The cursor counts characters; ranges count UTF-16 units.
    fnd::Index location = 0;
    const auto& units = marked.units();
    for (int i = 0; i < cursor && std::size_t(location) < units.size(); ++i)
        location += fnd::Index(fnd::codePointAt(units, std::size_t(location)).length);
    // On the run loop, once GTK's signal has returned; the composed text itself comes as key events.
    fnd::RunLoop::main().post(
        [marked, location] {
            auto* client = currentTextInputClient();
            if (!client)
                return;
            // An empty pre-edit removes the marked text: the composed characters arrive as their own key event, so
            // committing the marked text here would insert them twice.
            if (marked.isEmpty() && !client->hasMarkedText())
                return;
            client->setMarkedText(marked, { location, 0 });
        },
        { fnd::RunLoopMode::Common });
    // The candidate list goes beside the text.
    if (auto* client = currentTextInputClient()) {
        if (auto rect = client->firstRectForMarkedText(); rect && host->window()) {
            auto base = host->window()->convertRectFromScreen(*rect);
            auto top = host->canvasPoint({ base.minX(), base.maxY() });
            GdkRectangle area { int(top.x), int(top.y), std::max(1, int(base.width())),
                std::max(1, int(base.height())) };
            gtk_im_context_set_cursor_location(context, &area);
        }
    }
}

}
