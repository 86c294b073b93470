#pragma once

#include "platform/graphics/Geometry.h"

#include <functional>
#include <memory>

namespace fnd {
class Timer;
}
namespace ui {
class TabViewItem;
}

// Spring-loaded tabs: something other than a tab is dragged over a tab and rests there; after the springing delay
// (our own defaults' "SpringingDelayMilliseconds", else 0.668 s) the tab is selected. The timer runs in the common
// modes, so it also fires inside a drag's own tracking loop, where the drag is.
namespace tbcore {

class SpringLoading {
public:
    // The bar's own handling of the timer it is given (it checks the timer is this one's, then selects a tab).
    using Fire = std::function<void(fnd::Timer&)>;
    explicit SpringLoading(Fire fire);
    ~SpringLoading();
    SpringLoading(const SpringLoading&) = delete;
    SpringLoading& operator=(const SpringLoading&) = delete;

    // A drag is over the item's tab at the location (the drag's own, in the bar's window): a new item starts the
    // delay afresh; the same item keeps its running timer. The bar looks under the latest location when it fires,
    // so a drag that brings no mouse events of ours (one from another program) springs too.
    void dragOver(const std::shared_ptr<ui::TabViewItem>& item, gfx::Point location);
    gfx::Point dragLocation() const { return m_location; }
    // A pending spring fires at once (the space bar).
    void springNow();
    // Stops the timer (the drag left, or the spring fired); the remembered item stays until forgotten.
    void stop();
    void forgetItem() { m_item.reset(); }

    const std::shared_ptr<fnd::Timer>& timer() const { return m_timer; }
    bool isOwnTimer(const fnd::Timer& timer) const { return &timer == m_timer.get(); }
    std::shared_ptr<ui::TabViewItem> item() const { return m_item.lock(); }

private:
    Fire m_fire;
    std::shared_ptr<fnd::Timer> m_timer;
    std::weak_ptr<ui::TabViewItem> m_item;
    gfx::Point m_location;
};

}
