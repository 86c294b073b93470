#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace fnd {
class Timer;
}

namespace ui {

class Event;
class View;
class Window;
class ToolTipView;

// Shows tool tips. Windows report their events; when the pointer rests over a view with a tip (the view's own or
// one of its parts') for the initial delay, the text appears in a small borderless window below and to the right
// of the pointer. While a tip is shown (and shortly after it went away) a neighbour's tip appears at once. Leaving
// the tip's area, a press, a key, scrolling or the window resigning key hides it; after a press, key or scroll the
// area stays quiet until the pointer leaves it.
class ToolTipManager {
public:
    static ToolTipManager& shared();

    // The pointer must rest this long before a tip appears.
    static constexpr double InitialDelay = 1.0;
    // After a tip went away because the pointer left it, the next one appears at once within this time.
    static constexpr double NeighbourGrace = 0.5;

    // Called by a window for every event it is sent.
    void windowWillSendEvent(Window& window, const Event& event);
    void windowDidResignKey(Window& window);
    void windowWillClose(Window& window);
    void applicationDidResignActive();
    // A view's tip text changed or the view leaves its window: a tip of it that is shown or pending is dropped.
    void viewToolTipDidChange(const View& view);
    // Forgets everything, without touching windows (a fresh application).
    void reset();

    // What is shown now: the tip's window (nullptr when none is shown) and its text.
    std::shared_ptr<Window> toolTipWindow() const;
    fnd::String shownText() const;
    bool isShown() const { return toolTipWindow() != nullptr; }

private:
    struct Tip {
        std::weak_ptr<Window> window;
        std::weak_ptr<View> view;
        gfx::Rect rect; // in the view's coordinates
        fnd::String text;
        bool sameAreaAs(const Tip& other) const;
        bool isEmpty() const { return text.isEmpty(); }
    };

    // The tip under a point of the window (base coordinates): the deepest view under it that answers one.
    static Tip tipAt(Window& window, gfx::Point basePoint);
    void pointerMoved(Window& window, gfx::Point basePoint);
    void show(const Tip& tip, gfx::Point screenPoint);
    void hide(bool byLeaving);
    void cancelPending();
    void startPending(const Tip& tip, gfx::Point screenPoint);
    bool withinGrace() const;

    Tip m_shown;
    Tip m_pending;
    gfx::Point m_pendingScreenPoint;
    std::shared_ptr<fnd::Timer> m_timer;
    // After a press, key or scroll: no tip for this area until the pointer leaves it.
    Tip m_quiet;
    std::shared_ptr<Window> m_window;
    std::shared_ptr<ToolTipView> m_view;
    double m_hiddenAt { -1e300 };
};

}
