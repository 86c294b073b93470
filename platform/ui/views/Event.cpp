#include "platform/ui/views/Event.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/TrackingArea.h"
#include "platform/ui/views/Window.h"

#include <fmt/format.h>

#include <optional>
#include <utility>

namespace ui {

FND_REGISTER_CLASS(Event, fnd::Object)

namespace {

unsigned g_modifierFlags = 0;
gfx::Point g_mouseLocation;
unsigned g_pressedMouseButtons = 0;

// The bit of pressedMouseButtons an event presses (true) or releases (false), if any.
std::optional<std::pair<unsigned, bool>> eventButtonChange(EventType type)
{
    switch (type) {
    case EventType::LeftMouseDown:
        return std::pair { 1u, true };
    case EventType::LeftMouseUp:
        return std::pair { 1u, false };
    case EventType::RightMouseDown:
        return std::pair { 2u, true };
    case EventType::RightMouseUp:
        return std::pair { 2u, false };
    case EventType::OtherMouseDown:
        return std::pair { 4u, true };
    case EventType::OtherMouseUp:
        return std::pair { 4u, false };
    default:
        return std::nullopt;
    }
}

}

std::shared_ptr<Event> Event::make(
    EventType type, gfx::Point location, unsigned modifierFlags, double timestamp, long windowNumber)
{
    auto event = std::make_shared<Event>();
    event->setLocationInWindow(location);
    event->setWindowNumber(windowNumber);
    event->m_type = type;
    event->m_modifierFlags = modifierFlags;
    event->m_timestamp = timestamp;
    return event;
}

std::shared_ptr<Event> Event::mouseEventWithType(EventType type, gfx::Point location, unsigned modifierFlags,
    double timestamp, long windowNumber, long eventNumber, long clickCount, float pressure)
{
    auto e = make(type, location, modifierFlags, timestamp, windowNumber);
    e->m_eventNumber = eventNumber;
    e->m_clickCount = clickCount;
    e->m_pressure = pressure;
    return e;
}

std::shared_ptr<Event> Event::keyEventWithType(EventType type, gfx::Point location, unsigned modifierFlags,
    double timestamp, long windowNumber, const fnd::String& characters, const fnd::String& charactersIgnoringModifiers,
    bool isARepeat, unsigned short keyCode)
{
    auto e = make(type, location, modifierFlags, timestamp, windowNumber);
    e->m_characters = characters;
    e->m_charactersIgnoringModifiers = charactersIgnoringModifiers;
    e->m_isARepeat = isARepeat;
    e->m_keyCode = keyCode;
    return e;
}

std::shared_ptr<Event> Event::enterExitEventWithType(EventType type, gfx::Point location, unsigned modifierFlags,
    double timestamp, long windowNumber, long eventNumber, long trackingNumber, fnd::Value userData)
{
    auto e = make(type, location, modifierFlags, timestamp, windowNumber);
    e->m_eventNumber = eventNumber;
    e->m_trackingNumber = trackingNumber;
    e->m_userData = std::move(userData);
    return e;
}

std::shared_ptr<Event> Event::otherEventWithType(EventType type, gfx::Point location, unsigned modifierFlags,
    double timestamp, long windowNumber, short subtype, long data1, long data2)
{
    auto e = make(type, location, modifierFlags, timestamp, windowNumber);
    e->m_subtype = subtype;
    e->m_data1 = data1;
    e->m_data2 = data2;
    return e;
}

std::shared_ptr<Event> Event::scrollEvent(
    gfx::Point location, unsigned modifierFlags, double timestamp, long windowNumber, double deltaX, double deltaY)
{
    auto e = make(EventType::ScrollWheel, location, modifierFlags, timestamp, windowNumber);
    e->setDeltas(deltaX, deltaY);
    return e;
}

std::shared_ptr<Event> Event::swipeEvent(
    gfx::Point location, unsigned modifierFlags, double timestamp, long windowNumber, double deltaX, double deltaY)
{
    auto e = make(EventType::Swipe, location, modifierFlags, timestamp, windowNumber);
    e->setDeltas(deltaX, deltaY);
    return e;
}

std::shared_ptr<Event> Event::magnifyEvent(gfx::Point location, unsigned modifierFlags, double timestamp,
    long windowNumber, double magnification, EventPhase phase)
{
    auto e = make(EventType::Magnify, location, modifierFlags, timestamp, windowNumber);
    e->m_magnification = magnification;
    e->m_phase = phase;
    return e;
}

std::shared_ptr<Event> Event::rotateEvent(
    gfx::Point location, unsigned modifierFlags, double timestamp, long windowNumber, double degrees, EventPhase phase)
{
    auto e = make(EventType::Rotate, location, modifierFlags, timestamp, windowNumber);
    e->m_rotation = degrees;
    e->m_phase = phase;
    return e;
}

unsigned Event::currentModifierFlags()
{
    return g_modifierFlags;
}

gfx::Point Event::mouseLocation()
{
    if (auto live = Backend::current().pointerLocation())
        return *live;
    return g_mouseLocation;
}

unsigned Event::pressedMouseButtons()
{
    return g_pressedMouseButtons;
}

void Event::setPressedMouseButtons(unsigned buttons)
{
    g_pressedMouseButtons = buttons;
}

void Event::noteTaken(const Event& event)
{
    if (event.isMouseEvent() || event.isGestureEvent())
        g_mouseLocation = event.locationOnScreen();
    if (auto change = eventButtonChange(event.type()))
        g_pressedMouseButtons
            = change->second ? g_pressedMouseButtons | change->first : g_pressedMouseButtons & ~change->first;
    if (event.isMouseEvent() || event.isKeyEvent() || event.type() == EventType::FlagsChanged)
        g_modifierFlags = event.modifierFlags();
}

void Event::setCurrentModifierFlags(unsigned flags)
{
    g_modifierFlags = flags;
}

void Event::setMouseLocation(gfx::Point screenPoint)
{
    g_mouseLocation = screenPoint;
}

std::shared_ptr<Window> Event::window() const
{
    return m_windowNumber ? Application::shared().windowWithWindowNumber(m_windowNumber) : nullptr;
}

const fnd::String& Event::characters() const
{
    if (!isKeyEvent())
        throw fnd::Exception(fnd::ExceptionName::InternalInconsistency, "characters of a non-key event");
    return m_characters;
}

const fnd::String& Event::charactersIgnoringModifiers() const
{
    if (!isKeyEvent())
        throw fnd::Exception(
            fnd::ExceptionName::InternalInconsistency, "charactersIgnoringModifiers of a non-key event");
    return m_charactersIgnoringModifiers;
}

bool Event::isMouseEvent() const
{
    switch (m_type) {
    case EventType::LeftMouseDown:
    case EventType::LeftMouseUp:
    case EventType::RightMouseDown:
    case EventType::RightMouseUp:
    case EventType::MouseMoved:
    case EventType::LeftMouseDragged:
    case EventType::RightMouseDragged:
    case EventType::OtherMouseDown:
    case EventType::OtherMouseUp:
    case EventType::OtherMouseDragged:
    case EventType::ScrollWheel:
        return true;
    default:
        return false;
    }
}

bool Event::isKeyEvent() const
{
    return m_type == EventType::KeyDown || m_type == EventType::KeyUp;
}

bool Event::isGestureEvent() const
{
    return m_type == EventType::Swipe || m_type == EventType::Magnify || m_type == EventType::Rotate;
}

gfx::Point Event::locationOnScreen() const
{
    if (!m_windowNumber)
        return m_location;
    auto w = window();
    return w ? w->convertBaseToScreen(m_location) : m_location;
}

void Event::setTrackingArea(const std::shared_ptr<TrackingArea>& area)
{
    m_trackingArea = area;
    if (area) {
        m_trackingNumber = area->trackingNumber();
        m_userData = area->userInfo();
    }
}

fnd::String Event::description() const
{
    return fnd::String(fmt::format("Event type={} location=({} {}) window={} flags={:#x}",
        static_cast<unsigned>(m_type), m_location.x, m_location.y, m_windowNumber, m_modifierFlags));
}

}
