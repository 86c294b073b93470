#include "platform/layers/ConstraintLayoutManager.h"

#include "platform/foundation/runtime/Log.h"
#include "platform/layers/Layer.h"

#include <map>

namespace ui {

namespace {

double attributeOf(const gfx::Rect& r, ConstraintAttribute a)
{
    switch (a) {
    case ConstraintAttribute::MinX:
        return r.minX();
    case ConstraintAttribute::MidX:
        return r.midX();
    case ConstraintAttribute::MaxX:
        return r.maxX();
    case ConstraintAttribute::Width:
        return r.width();
    case ConstraintAttribute::MinY:
        return r.minY();
    case ConstraintAttribute::MidY:
        return r.midY();
    case ConstraintAttribute::MaxY:
        return r.maxY();
    case ConstraintAttribute::Height:
        return r.height();
    }
    return 0;
}

// One axis: min, mid, max and size values where given; origin and length where they were before.
void solveAxis(std::optional<double> min, std::optional<double> mid, std::optional<double> max,
    std::optional<double> size, double& origin, double& length)
{
    if (size)
        length = *size;
    else if (min && max)
        length = *max - *min;
    else if (min && mid)
        length = 2 * (*mid - *min);
    else if (mid && max)
        length = 2 * (*max - *mid);
    if (min)
        origin = *min;
    else if (mid)
        origin = *mid - length / 2;
    else if (max)
        origin = *max - length;
}

struct Solver {
    Layer& superlayer;
    std::vector<std::shared_ptr<Layer>> sublayers;
    std::map<const Layer*, gfx::Rect> frames;
    std::map<const Layer*, int> state; // 0 untouched, 1 solving, 2 solved

    std::shared_ptr<Layer> named(const fnd::String& name) const
    {
        for (const auto& l : sublayers)
            if (l->name() == name)
                return l;
        return nullptr;
    }

    std::optional<gfx::Rect> source(const LayoutConstraint& c)
    {
        if (c.sourceName == ConstraintSuperlayerName)
            return superlayer.bounds();
        auto sibling = named(c.sourceName);
        if (!sibling)
            return std::nullopt;
        solve(*sibling);
        return frames.at(sibling.get());
    }

    void solve(Layer& layer)
    {
        auto& s = state[&layer];
        if (s == 2)
            return;
        if (s == 1) {
            fnd::logf(fnd::LogLevel::Warning,
                "The constraints of layer \"{}\" depend on themselves; it keeps its frame.", layer.name().utf8());
            frames[&layer] = layer.frame();
            return;
        }
        s = 1;
        std::optional<double> values[8];
        for (const auto& c : layer.constraints()) {
            if (auto r = source(c))
                values[int(c.attribute)] = attributeOf(*r, c.sourceAttribute) * c.scale + c.offset;
        }
        gfx::Rect frame = layer.frame();
        solveAxis(values[0], values[1], values[2], values[3], frame.origin.x, frame.size.width);
        solveAxis(values[4], values[5], values[6], values[7], frame.origin.y, frame.size.height);
        frames[&layer] = frame;
        state[&layer] = 2;
    }
};

}

std::shared_ptr<ConstraintLayoutManager> ConstraintLayoutManager::layoutManager()
{
    static auto shared = std::make_shared<ConstraintLayoutManager>();
    return shared;
}

void ConstraintLayoutManager::layoutSublayersOfLayer(Layer& layer)
{
    Solver solver { layer, layer.sublayers(), {}, {} };
    for (const auto& sub : solver.sublayers)
        solver.solve(*sub);
    for (const auto& sub : solver.sublayers) {
        if (sub->constraints().empty())
            continue;
        const auto frame = solver.frames.at(sub.get());
        if (frame != sub->frame())
            sub->setFrame(frame);
    }
}

std::optional<gfx::Size> ConstraintLayoutManager::preferredSizeOfLayer(Layer&)
{
    return std::nullopt;
}

}
