#pragma once

#include "platform/graphics/BezierPath.h"

#include <clipper.hpp>

#include <cstdint>
#include <memory>

// Paths to the polygon clipper's integer polygons and back. Coordinates are multiplied by the scale and rounded, so
// results are exact to 1/scale of a unit; curves are flattened to within ZORClipperFlatness of a scaled unit.
inline constexpr double ZORClipperScale = 10.0;
inline constexpr double ZORClipperFlatness = 0.01;

// One polygon per subpath (an open subpath counts as closed), so holes and separate pieces keep their own outlines.
// A coordinate the clipper cannot hold (too large, or not a number) becomes one just beyond its range, which the
// clipper then refuses with its exception (ZORClipperRequireRange raises it before). A caller whose result is only as
// exact as a coarser tolerance (a huge offset's joins) may flatten to that one; a curve takes at most the 10,000
// segments the path's flattening gives any curve.
ClipperLib::Paths ZORClipperPathToPolygons(
    const gfx::BezierPath& path, double scale, double flatness = ZORClipperFlatness);
// The points ZORClipperPathToPolygons would make of the path, counted without making them.
std::int64_t ZORClipperPointCount(const gfx::BezierPath& path, double scale, double flatness = ZORClipperFlatness);
// Raises the clipper's exception when a coordinate lies beyond its range, as the clipper does when it is handed one.
void ZORClipperRequireRange(const ClipperLib::Paths& polygons);

// A closed subpath per polygon (a one-point polygon gives a lone move), scaled back by 1 / scale.
std::shared_ptr<gfx::BezierPath> ZORClipperPolygonsToPath(const ClipperLib::Paths& polygons, double scale);
