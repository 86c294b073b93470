#pragma once

#include "platform/foundation/runtime/ModifierFlags.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Forward.h"

#include <cstdint>
#include <memory>

namespace ui {

// Event types with the platform's numbers; callers store and compare them.
enum class EventType : unsigned {
    LeftMouseDown = 1,
    LeftMouseUp = 2,
    RightMouseDown = 3,
    RightMouseUp = 4,
    MouseMoved = 5,
    LeftMouseDragged = 6,
    RightMouseDragged = 7,
    MouseEntered = 8,
    MouseExited = 9,
    KeyDown = 10,
    KeyUp = 11,
    FlagsChanged = 12,
    AppKitDefined = 13,
    SystemDefined = 14,
    ApplicationDefined = 15,
    Periodic = 16,
    CursorUpdate = 17,
    Rotate = 18,
    ScrollWheel = 22,
    OtherMouseDown = 25,
    OtherMouseUp = 26,
    OtherMouseDragged = 27,
    Magnify = 30,
    Swipe = 31,
};

// Where an event stands in a gesture, with the platform's values.
enum class EventPhase : unsigned {
    None = 0,
    Began = 1,
    Stationary = 2,
    Changed = 4,
    Ended = 8,
    Cancelled = 16,
    MayBegin = 32,
};

// Event masks are 1 << type.
using EventMask = std::uint64_t;
constexpr EventMask eventMaskFromType(EventType type)
{
    return EventMask(1) << static_cast<unsigned>(type);
}
namespace EventMasks {
constexpr EventMask LeftMouseDown = eventMaskFromType(EventType::LeftMouseDown);
constexpr EventMask LeftMouseUp = eventMaskFromType(EventType::LeftMouseUp);
constexpr EventMask RightMouseDown = eventMaskFromType(EventType::RightMouseDown);
constexpr EventMask RightMouseUp = eventMaskFromType(EventType::RightMouseUp);
constexpr EventMask MouseMoved = eventMaskFromType(EventType::MouseMoved);
constexpr EventMask LeftMouseDragged = eventMaskFromType(EventType::LeftMouseDragged);
constexpr EventMask RightMouseDragged = eventMaskFromType(EventType::RightMouseDragged);
constexpr EventMask MouseEntered = eventMaskFromType(EventType::MouseEntered);
constexpr EventMask MouseExited = eventMaskFromType(EventType::MouseExited);
constexpr EventMask KeyDown = eventMaskFromType(EventType::KeyDown);
constexpr EventMask KeyUp = eventMaskFromType(EventType::KeyUp);
constexpr EventMask FlagsChanged = eventMaskFromType(EventType::FlagsChanged);
constexpr EventMask ApplicationDefined = eventMaskFromType(EventType::ApplicationDefined);
constexpr EventMask Periodic = eventMaskFromType(EventType::Periodic);
constexpr EventMask CursorUpdate = eventMaskFromType(EventType::CursorUpdate);
constexpr EventMask ScrollWheel = eventMaskFromType(EventType::ScrollWheel);
constexpr EventMask OtherMouseDown = eventMaskFromType(EventType::OtherMouseDown);
constexpr EventMask OtherMouseUp = eventMaskFromType(EventType::OtherMouseUp);
constexpr EventMask OtherMouseDragged = eventMaskFromType(EventType::OtherMouseDragged);
constexpr EventMask Rotate = eventMaskFromType(EventType::Rotate);
constexpr EventMask Magnify = eventMaskFromType(EventType::Magnify);
constexpr EventMask Swipe = eventMaskFromType(EventType::Swipe);
constexpr EventMask Any = ~EventMask(0);
}

// Modifier-flag bits, with the platform's values (declared with the foundation, which stores and names them).
namespace ModifierFlags = fnd::ModifierFlags;

// Characters of keys without a glyph, in the private-use area where the platform puts them.
namespace FunctionKey {
constexpr char16_t UpArrow = 0xF700;
constexpr char16_t DownArrow = 0xF701;
constexpr char16_t LeftArrow = 0xF702;
constexpr char16_t RightArrow = 0xF703;
constexpr char16_t F1 = 0xF704; // F1..F35 follow in order
constexpr char16_t Insert = 0xF727;
constexpr char16_t Menu = 0xF735;
constexpr char16_t Delete = 0xF728;
constexpr char16_t Home = 0xF729;
constexpr char16_t Begin = 0xF72A;
constexpr char16_t End = 0xF72B;
constexpr char16_t PageUp = 0xF72C;
constexpr char16_t PageDown = 0xF72D;
constexpr char16_t PrintScreen = 0xF72E;
constexpr char16_t ScrollLock = 0xF72F;
constexpr char16_t Pause = 0xF730;
constexpr char16_t Clear = 0xF739; // clear line
constexpr char16_t Help = 0xF746;
}

// Virtual key codes (layout-independent positions on the keyboard); the real backend maps XKB codes to these.
namespace KeyCode {
constexpr unsigned short A = 0x00, S = 0x01, D = 0x02, F = 0x03, H = 0x04, G = 0x05, Z = 0x06, X = 0x07, C = 0x08,
                         V = 0x09, B = 0x0B, Q = 0x0C, W = 0x0D, E = 0x0E, R = 0x0F, Y = 0x10, T = 0x11;
constexpr unsigned short Digit1 = 0x12, Digit2 = 0x13, Digit3 = 0x14, Digit4 = 0x15, Digit6 = 0x16, Digit5 = 0x17,
                         Equal = 0x18, Digit9 = 0x19, Digit7 = 0x1A, Minus = 0x1B, Digit8 = 0x1C, Digit0 = 0x1D;
constexpr unsigned short RightBracket = 0x1E, O = 0x1F, U = 0x20, LeftBracket = 0x21, I = 0x22, P = 0x23, Return = 0x24,
                         L = 0x25, J = 0x26, Quote = 0x27, K = 0x28, Semicolon = 0x29, Backslash = 0x2A, Comma = 0x2B,
                         Slash = 0x2C, N = 0x2D, M = 0x2E, Period = 0x2F;
constexpr unsigned short Tab = 0x30, Space = 0x31, Grave = 0x32, Delete = 0x33, Escape = 0x35, Command = 0x37,
                         Shift = 0x38, CapsLock = 0x39, Option = 0x3A, Control = 0x3B, RightShift = 0x3C,
                         RightOption = 0x3D, RightControl = 0x3E, Function = 0x3F;
constexpr unsigned short KeypadDecimal = 0x41, KeypadMultiply = 0x43, KeypadPlus = 0x45, KeypadClear = 0x47,
                         KeypadDivide = 0x4B, KeypadEnter = 0x4C, KeypadMinus = 0x4E, KeypadEquals = 0x51,
                         Keypad0 = 0x52; // Keypad1..7 follow; Keypad8 = 0x5B, Keypad9 = 0x5C
constexpr unsigned short F5 = 0x60, F6 = 0x61, F7 = 0x62, F3 = 0x63, F8 = 0x64, F9 = 0x65, F11 = 0x67, F13 = 0x69,
                         F14 = 0x6B, F10 = 0x6D, F12 = 0x6F, F15 = 0x71, Help = 0x72, Home = 0x73, PageUp = 0x74,
                         ForwardDelete = 0x75, F4 = 0x76, End = 0x77, F2 = 0x78, PageDown = 0x79, F1 = 0x7A,
                         LeftArrow = 0x7B, RightArrow = 0x7C, DownArrow = 0x7D, UpArrow = 0x7E;
}

// One input event. Locations are in the window's base coordinates (y up), or on the screen when the event has
// no window.
class Event : public fnd::Object {
    FND_OBJECT(Event)
public:
    Event() = default;

    static std::shared_ptr<Event> mouseEventWithType(EventType type, gfx::Point location, unsigned modifierFlags,
        double timestamp, long windowNumber, long eventNumber = 0, long clickCount = 1, float pressure = 1.0f);
    static std::shared_ptr<Event> keyEventWithType(EventType type, gfx::Point location, unsigned modifierFlags,
        double timestamp, long windowNumber, const fnd::String& characters,
        const fnd::String& charactersIgnoringModifiers, bool isARepeat, unsigned short keyCode);
    static std::shared_ptr<Event> enterExitEventWithType(EventType type, gfx::Point location, unsigned modifierFlags,
        double timestamp, long windowNumber, long eventNumber, long trackingNumber, fnd::Value userData);
    static std::shared_ptr<Event> otherEventWithType(EventType type, gfx::Point location, unsigned modifierFlags,
        double timestamp, long windowNumber, short subtype, long data1, long data2);
    static std::shared_ptr<Event> scrollEvent(
        gfx::Point location, unsigned modifierFlags, double timestamp, long windowNumber, double deltaX, double deltaY);
    // A touchpad gesture: a swipe (its direction in deltaX and deltaY, each -1, 0 or 1: positive to the left and
    // up), a magnification (the factor's change: each step scales by 1 + magnification) or a rotation (degrees,
    // positive counterclockwise), with its phase.
    static std::shared_ptr<Event> swipeEvent(
        gfx::Point location, unsigned modifierFlags, double timestamp, long windowNumber, double deltaX, double deltaY);
    static std::shared_ptr<Event> magnifyEvent(gfx::Point location, unsigned modifierFlags, double timestamp,
        long windowNumber, double magnification, EventPhase phase);
    static std::shared_ptr<Event> rotateEvent(gfx::Point location, unsigned modifierFlags, double timestamp,
        long windowNumber, double degrees, EventPhase phase);

    // The modifier keys held now, as the last event taken from the queue (by any loop) had them.
    static unsigned currentModifierFlags();
    // The pointer on the screen: the window system's answer where it knows it, else where the last pointer event
    // taken from the queue (by any loop: the main loop, a tracking or drag loop, a modal session) put it.
    static gfx::Point mouseLocation();
    // The mouse buttons held (bit 0 the left, 1 the right, 2 the middle one), as the events taken so far tell.
    static unsigned pressedMouseButtons();

    EventType type() const { return m_type; }
    EventMask mask() const { return eventMaskFromType(m_type); }
    unsigned modifierFlags() const { return m_modifierFlags; }
    gfx::Point locationInWindow() const { return m_location; }
    double timestamp() const { return m_timestamp; }
    long windowNumber() const { return m_windowNumber; }
    // The window with windowNumber, while it exists.
    std::shared_ptr<Window> window() const;

    // Keyboard events only (others raise an internal-inconsistency exception, as the platform does).
    const fnd::String& characters() const;
    const fnd::String& charactersIgnoringModifiers() const;
    bool isARepeat() const { return m_isARepeat; }
    unsigned short keyCode() const { return m_keyCode; }

    long clickCount() const { return m_clickCount; }
    long eventNumber() const { return m_eventNumber; }
    float pressure() const { return m_pressure; }
    double deltaX() const { return m_deltaX; }
    double deltaY() const { return m_deltaY; }
    double deltaZ() const { return m_deltaZ; }
    // Scroll-wheel amounts: in points when the device reports precise deltas (touchpads), else in lines (the
    // wheel's notches, as deltaX and deltaY).
    bool hasPreciseScrollingDeltas() const { return m_preciseScrolling; }
    double scrollingDeltaX() const { return m_preciseScrolling ? m_scrollingDeltaX : m_deltaX; }
    double scrollingDeltaY() const { return m_preciseScrolling ? m_scrollingDeltaY : m_deltaY; }
    // Gestures.
    EventPhase phase() const { return m_phase; }
    double magnification() const { return m_magnification; }
    double rotation() const { return m_rotation; }
    short subtype() const { return m_subtype; }
    long data1() const { return m_data1; }
    long data2() const { return m_data2; }

    // Enter and exit events: the tracking area that produced them, its number and its user data.
    std::shared_ptr<TrackingArea> trackingArea() const { return m_trackingArea.lock(); }
    long trackingNumber() const { return m_trackingNumber; }
    const fnd::Value& userData() const { return m_userData; }

    bool isMouseEvent() const;
    bool isKeyEvent() const;
    bool isGestureEvent() const;
    // Where the event happened on the screen (its window's base coordinates converted, or its own location when it
    // has no window).
    gfx::Point locationOnScreen() const;

    // Used by the event machinery.
    void setWindowNumber(long number) { m_windowNumber = number; }
    void setLocationInWindow(gfx::Point p) { m_location = p; }
    void setTrackingArea(const std::shared_ptr<TrackingArea>& area);
    void setDeltas(double dx, double dy, double dz = 0)
    {
        m_deltaX = dx;
        m_deltaY = dy;
        m_deltaZ = dz;
    }
    // Point deltas of a precise device; deltaX and deltaY then hold the same movement in lines.
    void setPreciseScrollingDeltas(double dx, double dy)
    {
        m_preciseScrolling = true;
        m_scrollingDeltaX = dx;
        m_scrollingDeltaY = dy;
    }
    static void setCurrentModifierFlags(unsigned flags);
    static void setMouseLocation(gfx::Point screenPoint);
    // An event was taken from the queue: the pointer's place, the held buttons and modifier keys follow it.
    static void noteTaken(const Event& event);
    // Forgets the held buttons (a new session, or the window system took the press over).
    static void setPressedMouseButtons(unsigned buttons);

    fnd::String description() const override;

private:
    // The fields every kind of event has.
    static std::shared_ptr<Event> make(
        EventType type, gfx::Point location, unsigned modifierFlags, double timestamp, long windowNumber);

    EventType m_type { EventType::ApplicationDefined };
    unsigned m_modifierFlags { 0 };
    gfx::Point m_location;
    double m_timestamp { 0 };
    long m_windowNumber { 0 };
    fnd::String m_characters;
    fnd::String m_charactersIgnoringModifiers;
    bool m_isARepeat { false };
    unsigned short m_keyCode { 0 };
    long m_clickCount { 0 };
    long m_eventNumber { 0 };
    float m_pressure { 0 };
    double m_deltaX { 0 };
    double m_deltaY { 0 };
    double m_deltaZ { 0 };
    bool m_preciseScrolling { false };
    double m_scrollingDeltaX { 0 };
    double m_scrollingDeltaY { 0 };
    EventPhase m_phase { EventPhase::None };
    double m_magnification { 0 };
    double m_rotation { 0 };
    short m_subtype { 0 };
    long m_data1 { 0 };
    long m_data2 { 0 };
    std::weak_ptr<TrackingArea> m_trackingArea;
    long m_trackingNumber { 0 };
    fnd::Value m_userData;
};

}
