#pragma once

#include "platform/graphics/BezierPath.h"

#include <clipper.hpp>

#include <cstdint>
#include <memory>

// Paths to the polygon clipper's integer polygons and back. Coordinates are multiplied by the scale and rounded, so
// results are exact to 1/scale of a unit; curves are flattened to within ZORClipperFlatness of a scaled unit.
inline constexpr double ZORClipperScale = 10.0;
inline constexpr double ZORClipperFlatness = 0.01;
// The most points a path brings to the clipper, whose time grows with them (with the square of them where outlines
// share edges): a path that would flatten into more (huge curves, or very many) is flattened more coarsely. A circle
// of a radius of 10,000 units still comes within a thousandth of a unit.
inline constexpr std::int64_t ZORClipperMaxPoints = 10000;
// The most a path brings at all: one of more lines than this, once its curves are as coarse as they go, is refused
// with the clipper's exception. The clipper's sweep builds an outline of many teeth in time that grows with the
// square of its points (the union of two combs of 10,000 points took a second, of 20,000 six, of 40,000 twenty-four;
// an offset of one comb of 40,000 points seventeen), and no coarser flattening shortens a path of lines.
inline constexpr std::int64_t ZORClipperPointLimit = 2 * ZORClipperMaxPoints;

// One polygon per subpath (an open subpath counts as closed), so holes and separate pieces keep their own outlines.
// A coordinate the clipper cannot hold (too large, or not a number) becomes one just beyond its range, which the
// clipper then refuses with its exception; a path of more than ZORClipperPointLimit points raises it here.
// A caller whose result is only as exact as a coarser tolerance (a huge offset's joins) may flatten to that one.
ClipperLib::Paths ZORClipperPathToPolygons(
    const gfx::BezierPath& path, double scale, double flatness = ZORClipperFlatness);
// A closed subpath per polygon (a one-point polygon gives a lone move), scaled back by 1 / scale.
std::shared_ptr<gfx::BezierPath> ZORClipperPolygonsToPath(const ClipperLib::Paths& polygons, double scale);
