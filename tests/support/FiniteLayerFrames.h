#pragma once

#include "platform/layers/Layer.h"

#include <cmath>
#include <sstream>
#include <string>

namespace testsupport {

inline std::string describeRect(const gfx::Rect& r)
{
    std::ostringstream out;
    out << "(" << r.minX() << ", " << r.minY() << ", " << r.width() << ", " << r.height() << ")";
    return out.str();
}

inline bool rectIsFinite(const gfx::Rect& r)
{
    return std::isfinite(r.minX()) && std::isfinite(r.minY()) && std::isfinite(r.width()) && std::isfinite(r.height());
}

// Writes to `out` every layer of the tree below `layer` whose frame, bounds, position or depth is not finite, or
// whose plane lands somewhere not finite in the root's space (through the turns and perspectives on the way).
inline void collectUnfiniteFrames(const ui::Layer& layer, const ui::Layer& root, std::ostringstream& out)
{
    const auto where = [&] { return layer.name().isEmpty() ? std::string("a layer") : layer.name().utf8(); };
    if (!rectIsFinite(layer.frame()) || !rectIsFinite(layer.bounds()) || !std::isfinite(layer.position().x)
        || !std::isfinite(layer.position().y) || !std::isfinite(layer.zPosition()))
        out << where() << " has frame " << describeRect(layer.frame()) << ", z " << layer.zPosition() << "; ";
    if (auto shown = layer.convertRectToLayer(layer.bounds(), &root); !rectIsFinite(shown))
        out << where() << " shows at " << describeRect(shown) << "; ";
    for (const auto& sublayer : layer.sublayers())
        collectUnfiniteFrames(*sublayer, root, out);
}

}
