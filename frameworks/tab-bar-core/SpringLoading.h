#pragma once

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

    // A drag rests over the item's tab: a new item starts the delay afresh; the same item keeps its running timer.
    void dragOver(const std::shared_ptr<ui::TabViewItem>& item);
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
};

}
