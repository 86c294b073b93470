#pragma once

#include <clipper.hpp>

#include <optional>

// Offsetting integer outlines as the polygon clipper's offsetter does, with the same join points. Its one union of
// every outline's raw offset (the join points in order) is quick where the raw offset crosses itself here and there,
// as it does round most shapes, and is made so there (part by part where no part winds round another). But it crosses
// every offset edge with every other one it reaches, and an outline of many teeth grown far reaches them all (a comb of
// 10,000 points grown by 1e5 took minutes): such a raw offset is instead cut into the pieces it sweeps (each edge's
// band and each convex corner's join), which are united a few neighbours at a time and then pairwise, so each union
// meets only the outlines that are left.
namespace ZOROutlineOffset {

// The outlines (simple, holes opposite to their outers) grown by delta (shrunk when negative), in the clipper's own
// units: miterLimit and arcTolerance as the offsetter takes them. Nothing when the outlines are too large for it:
// pieces of more than 20,000 points, or one union beyond the clipper's limits for a run (ClipperExtensions.h).
std::optional<ClipperLib::Paths> offsetOutlines(
    const ClipperLib::Paths& outlines, double delta, ClipperLib::JoinType join, double miterLimit, double arcTolerance);

}
