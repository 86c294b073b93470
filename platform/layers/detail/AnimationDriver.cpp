#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <algorithm>

// One timer on the main run loop steps every running animation: it tells their delegates when they start and
// stop, removes what has ended, finishes transactions waiting for them and has the hosts of their trees redrawn.
// It runs only while some animation does.

namespace ui::detail {

namespace {

constexpr double FrameInterval = 1.0 / 60;

class AnimationDriver {
public:
    static AnimationDriver& shared()
    {
        static AnimationDriver driver;
        return driver;
    }

    void watch(const std::shared_ptr<Layer>& layer)
    {
        {
            std::lock_guard lock(m_mutex);
            auto known = std::find_if(
                m_layers.begin(), m_layers.end(), [&](const std::weak_ptr<Layer>& w) { return w.lock() == layer; });
            if (known == m_layers.end())
                m_layers.push_back(layer);
        }
        runOnMain([this] { ensureTimer(); });
    }

private:
    void ensureTimer()
    {
        const fnd::Date next = fnd::Clock::current()->now().addingTimeInterval(FrameInterval);
        if (m_timer && m_timer->isValid()) {
            // A clock replaced since (tests install their own) may leave the timer far in the future.
            if (m_timer->fireDate() > next)
                m_timer->setFireDate(next);
            return;
        }
        m_timer = fnd::Timer::create(next, FrameInterval, true, [this](fnd::Timer&) { tick(); });
        fnd::RunLoop::main().addTimer(m_timer, fnd::RunLoopMode::Common);
    }

    struct Event {
        std::shared_ptr<LayerAnimation> animation;
        bool start;
    };

    void tick()
    {
        const double now = currentMediaTime();
        std::vector<std::shared_ptr<Layer>> layers;
        {
            std::lock_guard lock(m_mutex);
            for (const auto& weak : m_layers)
                if (auto layer = weak.lock())
                    layers.push_back(layer);
        }
        std::vector<Event> events;
        std::vector<std::shared_ptr<AnimationRecord>> finished;
        std::vector<std::shared_ptr<CompletionGroup>> departed;
        std::vector<std::shared_ptr<Layer>> still, changed;
        {
            auto lock = lockLayers();
            for (const auto& layer : layers) {
                bool running = false, anyChange = false;
                auto& records = LayerAccess::animations(*layer);
                for (auto it = records.begin(); it != records.end();) {
                    auto& record = **it;
                    const auto& animation = *record.animation;
                    const double end = animation.beginTime() + animation.activeDuration();
                    if (!record.started && now >= animation.beginTime()) {
                        record.started = true;
                        events.push_back({ record.animation, true });
                    }
                    if (!record.finished && now >= end) {
                        record.finished = true;
                        finished.push_back(*it);
                        anyChange = true;
                        if (animation.isRemovedOnCompletion()) {
                            it = records.erase(it);
                            continue;
                        }
                    }
                    if (!record.finished)
                        running = true;
                    ++it;
                }
                auto& departures = LayerAccess::departures(*layer);
                for (auto it = departures.begin(); it != departures.end();) {
                    const auto& t = *(*it)->transition;
                    if (now >= t.beginTime() + t.activeDuration()) {
                        departed.insert(departed.end(), (*it)->groups.begin(), (*it)->groups.end());
                        it = departures.erase(it);
                        anyChange = true;
                    } else {
                        running = true;
                        ++it;
                    }
                }
                if (running)
                    still.push_back(layer);
                if (running || anyChange)
                    changed.push_back(layer);
            }
        }
        {
            std::lock_guard lock(m_mutex);
            // Layers added while this tick ran stay watched.
            std::erase_if(m_layers, [&](const std::weak_ptr<Layer>& weak) {
                auto layer = weak.lock();
                if (!layer)
                    return true;
                bool wasStepped = std::find(layers.begin(), layers.end(), layer) != layers.end();
                bool runs = std::find(still.begin(), still.end(), layer) != still.end();
                return wasStepped && !runs;
            });
            if (m_layers.empty() && m_timer) {
                m_timer->invalidate();
                m_timer.reset();
            }
        }
        if (!finished.empty() || !departed.empty())
            noteModelChanged();
        for (const auto& event : events)
            if (event.start && event.animation->delegate())
                event.animation->delegate()->animationDidStart(*event.animation);
        for (const auto& record : finished) {
            if (auto delegate = record->animation->delegate())
                delegate->animationDidStop(*record->animation, true);
            for (const auto& group : record->groups)
                group->finishOne();
        }
        for (const auto& group : departed)
            group->finishOne();
        for (const auto& layer : changed)
            LayerAccess::treeDidChange(*layer);
    }

    std::mutex m_mutex;
    std::vector<std::weak_ptr<Layer>> m_layers;
    std::shared_ptr<fnd::Timer> m_timer;
};

}

void watchAnimations(const std::shared_ptr<Layer>& layer)
{
    AnimationDriver::shared().watch(layer);
}

}
