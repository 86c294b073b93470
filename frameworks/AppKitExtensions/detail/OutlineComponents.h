#pragma once

#include <clipper.hpp>

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// Outlines split into parts whose boundaries cannot meet, so that the clipper can combine each part on its own: its
// sweep walks every edge beside the one it meets, so one run over many outlines side by side costs far more than a
// run per outline, and holds all of them in memory at once.
namespace ZOROutlineComponents {

// Outlines whose boundaries may meet (boxes around runs of their edges overlap), and whether the outlines of other
// parts enclose them an odd number of times: those do not cross the part, so they enclose all of it or none.
struct Component {
    std::vector<std::size_t> outlines; // indexes into the outlines, in their order
    bool insideSubject { false };
    bool insideClip { false };
    // How many times the other parts' outlines wind round the part, anticlockwise counted positive.
    long winding { 0 };
};

// The outlines [0, subjectCount) are the subject's, the rest the clip's; an outline of fewer than three points
// encloses nothing and is left out. The components come in the order of their first outlines.
std::vector<Component> independentComponents(const ClipperLib::Paths& outlines, std::size_t subjectCount);

// Pairs of boxes around runs of the outlines' edges that overlap, but for neighbours along an outline: the places
// where edges may cross. Counted up to the limit, and taken as the limit when the boxes pile up too much to count.
std::size_t overlappingRuns(const ClipperLib::Paths& outlines, std::size_t limit);

// About how many steps the clipper's sweep takes over the outlines: at every point where an outline turns up or
// down it walks the edges beside it, so outlines of many teeth side by side take time that grows with the square of
// their points (two combs of 20,000 points, 1.2e9 steps, some two seconds); and it joins edges drawn twice one at a
// time along their chain, which grows with the square of the chain.
double sweepSteps(const ClipperLib::Paths& outlines, std::span<const std::size_t> indexes);
double sweepSteps(const ClipperLib::Paths& outlines);

// Whether the point lies inside the outline by the even-odd rule; on it counts as either.
bool encloses(const ClipperLib::Path& outline, const ClipperLib::IntPoint& point);
// How many times the outline winds round the point, anticlockwise counted positive; on it counts as either side.
long windingAround(const ClipperLib::Path& outline, const ClipperLib::IntPoint& point);

// The outline as the clipper resolves it on its own (without repeated points and points on a straight line, running
// anticlockwise) when every ray from the middle of its box meets it once, as it does for a dot, a rectangle or any
// convex shape even with its points rounded to the grid: the clipper would only give it back so, at some 100 ns a
// point. Nothing for any other outline.
std::optional<ClipperLib::Path> starShapedOutline(const ClipperLib::Path& outline);

}
