#pragma once

#include "platform/graphics/BezierPath.h"

// Lines drawn beside a path: every subpath of a flattened path (moves, lines and closes only) moved sideways by a
// distance, each point along its segments' normal, corners mitred. The normal of a segment running in direction a
// is side × (-sin a, cos a). An open subpath stays open and keeps its ends square to its first and last segments.
namespace ZORSidewaysShift {

gfx::BezierPath shiftedSideways(const gfx::BezierPath& flattened, double distance, double side);

}
