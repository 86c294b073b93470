#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

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
        // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
        static auto& driver = *new AnimationDriver;
        return driver;
    }

    void watch(const std::shared_ptr<Layer>& layer)
    {
        {
            std::lock_guard lock(m_mutex);
            auto [at, added] = m_index.try_emplace(layer.get(), m_watched.size());
            // A layer at the address of one that has gone takes a new place at the end.
            if (!added && m_watched[at->second].layer.lock() != layer) {
                m_watched[at->second].layer.reset();
                at->second = m_watched.size();
                added = true;
            }
            if (added)
                m_watched.push_back({ layer, 0 });
            m_watched[at->second].sequence = ++m_sequence;
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
        std::uint64_t stepped;
        {
            std::lock_guard lock(m_mutex);
            stepped = m_sequence;
            // Stepped in the order they were first watched, so delegates hear of starts and ends in that order.
            layers.reserve(m_index.size());
            for (const auto& watched : m_watched)
                if (auto layer = watched.layer.lock())
                    layers.push_back(std::move(layer));
        }
        std::vector<Event> events;
        std::vector<std::shared_ptr<AnimationRecord>> finished;
        std::vector<std::shared_ptr<CompletionGroup>> departed;
        std::vector<std::shared_ptr<Layer>> stopped, changed, moving;
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
                if (!running)
                    stopped.push_back(layer);
                if (anyChange)
                    changed.push_back(layer);
                else if (running)
                    moving.push_back(layer);
            }
        }
        {
            std::lock_guard lock(m_mutex);
            // Layers that stopped running leave the set, unless watched again since this tick looked (another
            // thread added an animation meanwhile).
            for (const auto& layer : stopped) {
                auto at = m_index.find(layer.get());
                if (at == m_index.end())
                    continue;
                auto& watched = m_watched[at->second];
                if (watched.sequence <= stepped && watched.layer.lock() == layer) {
                    watched.layer.reset();
                    m_index.erase(at);
                }
            }
            // The list keeps its order; places of layers that left (or went) are dropped.
            std::size_t kept = 0;
            for (std::size_t i = 0; i < m_watched.size(); ++i) {
                auto layer = m_watched[i].layer.lock();
                if (!layer)
                    continue;
                m_index[layer.get()] = kept;
                if (kept != i)
                    m_watched[kept] = std::move(m_watched[i]);
                ++kept;
            }
            m_watched.resize(kept);
            for (auto it = m_index.begin(); it != m_index.end();)
                it = it->second >= kept || m_watched[it->second].layer.lock().get() != it->first ? m_index.erase(it)
                                                                                                 : std::next(it);
            if (m_watched.empty() && m_timer) {
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
        // Running animations change nothing in the model: their trees are drawn again, each tree once. Siblings
        // share their superlayer's root, so a thousand animating items walk up once.
        std::unordered_set<const Layer*> roots;
        const Layer* lastSuper = nullptr;
        const Layer* lastRoot = nullptr;
        for (const auto& layer : moving) {
            const Layer* root = layer.get();
            {
                auto lock = lockLayers();
                auto super = LayerAccess::superlayer(*layer);
                if (super && super.get() == lastSuper) {
                    root = lastRoot;
                } else {
                    lastSuper = super.get();
                    while (auto above = LayerAccess::superlayer(*root))
                        root = above.get();
                    lastRoot = root;
                }
            }
            if (roots.insert(root).second)
                LayerAccess::treeNeedsRedraw(*layer);
        }
    }

    struct Watched {
        std::weak_ptr<Layer> layer;
        std::uint64_t sequence; // when it was last watched
    };

    std::mutex m_mutex;
    // The layers with animations or departures running, in the order they were first watched: stepped each frame
    // without a walk of the tree. The index finds a layer's place without a scan when thousands start at once.
    std::vector<Watched> m_watched;
    std::unordered_map<const Layer*, std::size_t> m_index;
    std::uint64_t m_sequence { 0 };
    std::shared_ptr<fnd::Timer> m_timer;
};

}

void watchAnimations(const std::shared_ptr<Layer>& layer)
{
    AnimationDriver::shared().watch(layer);
}

}
