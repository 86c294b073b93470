#pragma once

#include "platform/foundation/runtime/Value.h"
#include "platform/ui/views/Event.h"

#include <memory>

namespace ui {
class View;
}

namespace ui::detail {

// Shows a change of the view at once, for loops that hold the run loop (mouse tracking), where no pass of it would
// display the window.
void displayDuringTracking(View& view);

// The waiting of a mouse-tracking loop: the next mouse-up or drag, or, for a cell that acts periodically while
// held, a tick after the delay and then at each interval when no event came first.
class TrackingEvents {
public:
    // Without a period only events come.
    TrackingEvents(bool periodic, double delay, double interval);

    struct Next {
        // The event, when one came.
        std::shared_ptr<Event> event;
        // A periodic tick (no event).
        bool tick { false };
    };
    // Neither an event nor a tick: the input has ended (no mouse-up will come).
    Next next();

private:
    bool m_periodic;
    double m_interval;
    fnd::Date m_nextTick;
    long m_idleTicks { 0 };
};

}
