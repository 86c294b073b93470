#pragma once

#include "platform/graphics/BezierPath.h"

#include <cstdint>
#include <optional>
#include <vector>

// The points of a path at a series of lengths, as ZORNSBezierPathExtension::pointOnPathAtLength gives them one by one,
// found by walking the path once while the lengths grow: each call of that function measures the path from its
// start, so pieces placed along a long path took the pieces times the elements. A length below the one before starts
// the walk again from the path's start.
namespace ZORPathLengthCursor {

class Cursor {
public:
    // The path must outlive the cursor and stay unchanged.
    explicit Cursor(const gfx::BezierPath& path);

    // Exactly pointOnPathAtLength(path, length, slope).
    gfx::Point pointAtLength(double length, double* slope = nullptr);

    // What is left of the path from a length on (bezierPathByTrimmingFromLength): where it starts, its direction
    // there (slopeStartingPath) and its length; nullopt when nothing is left. The length is the sum of the same
    // pieces taken from the end, so it may differ from measuring what is left in the last place.
    struct Rest {
        gfx::Point start;
        double slope { 0 };
        double length { 0 };
    };
    std::optional<Rest> restFromLength(double length);

    // Exactly bezierPathByTrimmingFromLength(path, start, length, 0.1): the stretch of `length` from `start` on, built
    // from the elements it covers instead of from a copy of the whole rest of the path.
    gfx::BezierPath stretch(double start, double length);
    // The path's length (maximum error 0.1), as ZORNSBezierPathExtension::length gives it.
    double pathLength() const { return m_total; }

private:
    void rewind();
    // Walks on to the element the length ends in (the walk trimming does); false when it ends at or past the end.
    bool walkTo(double length);
    // The elements' lengths from each one to the end, summed from the end; made when first asked for.
    double lengthAfter(std::int64_t element);

    const gfx::BezierPath& m_path;
    double m_total { 0 };
    // Whether the walk can stand in for trimming (the path starts with a move, as every path built by the path
    // class does); otherwise each point is found the slow way.
    bool m_walkable { false };
    // The element the walk stands at, the length of the elements before it, and the pen's place there.
    std::int64_t m_index { 0 };
    double m_before { 0 };
    gfx::Point m_current, m_start;
    // The length of element m_index once measured (curves are measured by subdivision).
    std::optional<double> m_elementLength;
    double m_lastLength { 0 };
    std::vector<double> m_lengthsAfter;
};

}
