#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Forward.h"

#include <memory>

namespace ui {

// Tracking-area options with the platform's bits.
namespace TrackingOptions {
constexpr unsigned MouseEnteredAndExited = 0x01;
constexpr unsigned MouseMoved = 0x02;
constexpr unsigned CursorUpdate = 0x04;
constexpr unsigned ActiveWhenFirstResponder = 0x10;
constexpr unsigned ActiveInKeyWindow = 0x20;
constexpr unsigned ActiveInActiveApp = 0x40;
constexpr unsigned ActiveAlways = 0x80;
constexpr unsigned AssumeInside = 0x100;
constexpr unsigned InVisibleRect = 0x200;
constexpr unsigned EnabledDuringMouseDrag = 0x400;
}

// An owner of tracking rectangles that is not a responder (a cell, a layout helper): told the same events.
class TrackingOwner {
public:
    virtual ~TrackingOwner() = default;
    virtual void mouseEntered(const Event& event) { (void)event; }
    virtual void mouseExited(const Event& event) { (void)event; }
    virtual void mouseMoved(const Event& event) { (void)event; }
};

// A rectangle of a view (in its coordinates) whose owner is told when the mouse enters, leaves or moves in it.
// The owner is not kept alive.
class TrackingArea : public fnd::Object {
    FND_OBJECT(TrackingArea)
public:
    TrackingArea() = default;
    static std::shared_ptr<TrackingArea> create(
        gfx::Rect rect, unsigned options, const std::shared_ptr<Responder>& owner, fnd::Value userInfo = {});

    static std::shared_ptr<TrackingArea> create(
        gfx::Rect rect, unsigned options, const std::shared_ptr<TrackingOwner>& owner, fnd::Value userInfo = {});

    gfx::Rect rect() const { return m_rect; }
    unsigned options() const { return m_options; }
    std::shared_ptr<Responder> owner() const { return m_owner.lock(); }
    std::shared_ptr<TrackingOwner> trackingOwner() const { return m_trackingOwner.lock(); }
    // Hands an enter, exit or move event to whichever owner the area has.
    void deliver(const Event& event) const;
    const fnd::Value& userInfo() const { return m_userInfo; }
    std::shared_ptr<View> view() const { return m_view.lock(); }
    // The number an enter/exit event carries (the tag of addTrackingRect).
    long trackingNumber() const { return m_number; }

    // Kept by the window's tracking pass.
    bool isInside() const { return m_inside; }
    void setInside(bool inside) { m_inside = inside; }
    void setView(const std::shared_ptr<View>& view) { m_view = view; }

private:
    gfx::Rect m_rect;
    unsigned m_options { 0 };
    std::weak_ptr<Responder> m_owner;
    std::weak_ptr<TrackingOwner> m_trackingOwner;
    fnd::Value m_userInfo;
    std::weak_ptr<View> m_view;
    long m_number { 0 };
    bool m_inside { false };
};

// What a cursor rect shows. The cursor classes implement it; the view machinery only needs to set one.
class SettableCursor {
public:
    virtual ~SettableCursor() = default;
    virtual void set() = 0;
};

// The cursor outside every cursor rect (the arrow, once the cursor classes install it).
void setDefaultCursor(std::shared_ptr<SettableCursor> cursor);
std::shared_ptr<SettableCursor> defaultCursor();

}
