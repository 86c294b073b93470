#include "platform/ui/views/Event.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/TrackingArea.h"
#include "platform/ui/views/Window.h"

#include <fmt/format.h>

namespace ui {

FND_REGISTER_CLASS(Event, fnd::Object)

namespace {

unsigned g_modifierFlags = 0;
gfx::Point g_mouseLocation;

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

unsigned Event::currentModifierFlags()
{
    return g_modifierFlags;
}

gfx::Point Event::mouseLocation()
{
    return g_mouseLocation;
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
