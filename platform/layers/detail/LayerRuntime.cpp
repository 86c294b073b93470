#include "platform/layers/detail/LayerRuntime.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Color.h"

#include <algorithm>

namespace ui::detail {

namespace {

std::atomic<std::uint64_t> g_generation { 1 };

struct PendingLayout {
    std::mutex mutex;
    std::vector<std::weak_ptr<Layer>> layers;
};

PendingLayout& pendingLayout()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& pending = *new PendingLayout;
    return pending;
}

}

std::recursive_mutex& layerMutex()
{
    // Never destroyed: objects a program keeps alive past main still reach it while they are destroyed.
    static auto& mutex = *new std::recursive_mutex;
    return mutex;
}

std::unique_lock<std::recursive_mutex> lockLayers()
{
    return std::unique_lock(layerMutex());
}

std::atomic<std::int64_t>& pendingModelWork()
{
    static std::atomic<std::int64_t> pending { 0 };
    return pending;
}

std::uint64_t modelGeneration()
{
    return g_generation.load(std::memory_order_acquire);
}

void noteModelChanged()
{
    g_generation.fetch_add(1, std::memory_order_acq_rel);
}

void runOnMain(std::function<void()> work)
{
    if (fnd::RunLoop::isMainThread())
        work();
    else
        fnd::RunLoop::main().post(std::move(work));
}

void noteNeedsLayout(const std::shared_ptr<Layer>& layer)
{
    auto& pending = pendingLayout();
    std::lock_guard lock(pending.mutex);
    pending.layers.push_back(layer);
}

void layoutPendingLayers()
{
    // The layers that asked, superlayers before their sublayers (so they settle first), each on its own: a tree of
    // thousands of layers is not walked for the few that asked. Layouts that ask for more are served in later rounds.
    for (int round = 0; round < 8; ++round) {
        std::vector<std::weak_ptr<Layer>> layers;
        {
            auto& pending = pendingLayout();
            std::lock_guard lock(pending.mutex);
            layers.swap(pending.layers);
        }
        if (layers.empty())
            return;
        std::vector<std::pair<std::size_t, std::shared_ptr<Layer>>> due;
        {
            // One lock for the walk; a layer laid out since it asked (by a layoutIfNeeded above it) is passed over.
            auto lock = lockLayers();
            for (const auto& weak : layers) {
                auto layer = weak.lock();
                if (!layer || !LayerAccess::needsLayout(*layer))
                    continue;
                std::size_t depth = 0;
                for (auto super = LayerAccess::superlayer(*layer); super; super = LayerAccess::superlayer(*super))
                    ++depth;
                due.emplace_back(depth, std::move(layer));
            }
        }
        std::stable_sort(due.begin(), due.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [depth, layer] : due)
            LayerAccess::layoutSelfIfNeeded(*layer);
    }
}

fnd::Value interpolateValues(const fnd::Value& from, const fnd::Value& to, double f)
{
    auto mix = [f](double a, double b) { return a + (b - a) * f; };
    if (from.isNumber() && to.isNumber())
        return mix(from.doubleValue(), to.doubleValue());
    if (auto a = from.point(), b = to.point(); a && b)
        return gfx::Point { mix(a->x, b->x), mix(a->y, b->y) };
    if (auto a = from.size(), b = to.size(); a && b)
        return gfx::Size { mix(a->width, b->width), mix(a->height, b->height) };
    if (auto a = from.rect(), b = to.rect(); a && b)
        return gfx::Rect { mix(a->minX(), b->minX()), mix(a->minY(), b->minY()), mix(a->width(), b->width()),
            mix(a->height(), b->height()) };
    if (auto a = from.objectAs<TransformValue>(), b = to.objectAs<TransformValue>(); a && b)
        return fnd::toValue(interpolatedTransform(a->transform, b->transform, f));
    auto ca = from.objectAs<gfx::Color>(), cb = to.objectAs<gfx::Color>();
    // A missing colour blends as clear black, so a fade to or from no background works.
    if ((ca || from.isNil()) && (cb || to.isNil()) && (ca || cb)) {
        auto rgba = [](const std::shared_ptr<gfx::Color>& c) {
            return c ? c->rgbaIfAvailable() : std::optional<std::array<double, 4>>(std::array<double, 4> {});
        };
        auto a = rgba(ca), b = rgba(cb);
        if (a && b)
            return gfx::Color::colorWithCalibratedRed(
                mix((*a)[0], (*b)[0]), mix((*a)[1], (*b)[1]), mix((*a)[2], (*b)[2]), mix((*a)[3], (*b)[3]));
    }
    return f < 0.5 ? from : to;
}

}
