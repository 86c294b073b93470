#include "frameworks/AppKitExtensions/ClipperExtensions.h"

#include "frameworks/AppKitExtensions/ZORClipperConversions.h"
#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"
#include "platform/foundation/runtime/Log.h"

namespace ClipperExtensions {

namespace {

ClipperLib::JoinType joinTypeFor(gfx::LineJoinStyle style)
{
    switch (style) {
    case gfx::LineJoinStyle::Round:
        return ClipperLib::jtRound;
    case gfx::LineJoinStyle::Bevel:
        return ClipperLib::jtSquare;
    case gfx::LineJoinStyle::Miter:
        break;
    }
    return ClipperLib::jtMiter;
}

}

PathPtr bezierPathByApplyingBooleanOperation(
    const gfx::BezierPath& path, std::uint64_t operation, const gfx::BezierPath& other)
{
    if (operation > BooleanXOR)
        return gfx::BezierPath::bezierPath();
    try {
        ClipperLib::Clipper clipper;
        clipper.AddPaths(ZORClipperPathToPolygons(path, ZORClipperScale), ClipperLib::ptSubject, true);
        clipper.AddPaths(ZORClipperPathToPolygons(other, ZORClipperScale), ClipperLib::ptClip, true);
        ClipperLib::Paths solution;
        if (!clipper.Execute(
                static_cast<ClipperLib::ClipType>(operation), solution, ClipperLib::pftEvenOdd, ClipperLib::pftEvenOdd))
            return gfx::BezierPath::bezierPath();
        return ZORClipperPolygonsToPath(solution, ZORClipperScale);
    } catch (const ClipperLib::clipperException& e) {
        fnd::logf(fnd::LogLevel::Error, "path boolean operation failed: {}", e.what());
        return gfx::BezierPath::bezierPath();
    }
}

PathPtr bezierPathByIntersectingPath(const gfx::BezierPath& path, const gfx::BezierPath& other)
{
    return bezierPathByApplyingBooleanOperation(path, BooleanIntersection, other);
}

PathPtr bezierPathByUnionWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other)
{
    return bezierPathByApplyingBooleanOperation(path, BooleanUnion, other);
}

PathPtr bezierPathByDifferenceWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other)
{
    return bezierPathByApplyingBooleanOperation(path, BooleanDifference, other);
}

PathPtr bezierPathByXORWithPath(const gfx::BezierPath& path, const gfx::BezierPath& other)
{
    return bezierPathByApplyingBooleanOperation(path, BooleanXOR, other);
}

PathPtr bezierPathWithOffset(const PathPtr& path, double offset, gfx::LineJoinStyle joinStyle, double miterLimit)
{
    if (offset == 0)
        return path;
    try {
        // Outlines first resolved by the even-odd rule, so that holes are oriented as holes and shrink as the
        // shape grows, whatever direction they were drawn in.
        ClipperLib::Paths outlines;
        ClipperLib::SimplifyPolygons(
            ZORClipperPathToPolygons(*path, ZORClipperScale), outlines, ClipperLib::pftEvenOdd);
        ClipperLib::ClipperOffset offsetter(miterLimit);
        offsetter.AddPaths(outlines, joinTypeFor(joinStyle), ClipperLib::etClosedPolygon);
        ClipperLib::Paths solution;
        offsetter.Execute(solution, offset * ZORClipperScale);
        return ZORClipperPolygonsToPath(solution, ZORClipperScale);
    } catch (const ClipperLib::clipperException& e) {
        fnd::logf(fnd::LogLevel::Error, "path offset failed: {}", e.what());
        return gfx::BezierPath::bezierPath();
    }
}

PathPtr bezierPathWithOffset(const PathPtr& path, double offset)
{
    return bezierPathWithOffset(path, offset, path->lineJoinStyle(), path->miterLimit());
}

bool isClosed(const gfx::BezierPath& path)
{
    return ZORNSBezierPathExtension::isPathClosed(path);
}

}
