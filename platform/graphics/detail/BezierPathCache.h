#pragma once

#include "platform/graphics/BezierPath.h"

#include <optional>

namespace gfx {

// What a path remembers between queries; every mutator drops it.
struct BezierPath::Cache {
    std::optional<Rect> bounds;
    std::optional<Rect> controlPointBounds;
    std::optional<double> flattenedTolerance;
    std::unique_ptr<BezierPath> flattened;
    std::unique_ptr<BezierPath> hitPolygon;
};

}
