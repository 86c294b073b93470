#pragma once

#include <clipper.hpp>

// Offsetting integer outlines as the polygon clipper's offsetter does, with the same join points, but without its
// one union of every outline's raw offset: that union crosses every offset edge with every other one it reaches,
// and an outline of many teeth grown far reaches them all (a comb of 10,000 points grown by 1e5 took minutes).
// The raw offset is instead cut into the pieces it sweeps (each edge's band and each convex corner's join), which
// are united a few neighbours at a time and then pairwise, so each union meets only the outlines that are left.
namespace ZOROutlineOffset {

// The outlines (simple, holes opposite to their outers) grown by delta (shrunk when negative), in the clipper's own
// units: miterLimit and arcTolerance as the offsetter takes them.
ClipperLib::Paths offsetOutlines(
    const ClipperLib::Paths& outlines, double delta, ClipperLib::JoinType join, double miterLimit, double arcTolerance);

}
