#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"

#include "frameworks/AppKitExtensions/QFGeometry.h"
#include "frameworks/AppKitExtensions/ZORBezierPathIterator.h"
#include "frameworks/AppKitExtensions/detail/PathElements.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

using gfx::BezierPath;
using gfx::Point;
using gfx::Rect;
using ZORPathElements::Kind;

namespace ZORNSBezierPathExtension {

namespace {

double clampedRadius(const Rect& rect, double radius)
{
    double limit = std::min(std::fabs(rect.width()), std::fabs(rect.height())) / 2;
    return std::isfinite(radius) ? std::clamp(radius, 0.0, limit) : 0;
}

void addLine(BezierPath& path, Point from, Point to)
{
    path.moveToPoint(from);
    path.lineToPoint(to);
}

// The rectangle's outline from the middle of the side that ends at corner `first`, round its corners anticlockwise
// from that one (0 top left, 1 bottom left, 2 bottom right, 3 top right, y up): the first `roundedCorners` of them
// arcs of the radius, the rest sharp.
void appendRectangleOutline(
    BezierPath& path, const Rect& rect, double radius, std::size_t first, std::size_t roundedCorners)
{
    const double r = clampedRadius(rect, radius);
    const double x = rect.minX(), y = rect.minY(), maxX = rect.maxX(), maxY = rect.maxY();
    const std::array<Point, 4> corners { Point { x, maxY }, Point { x, y }, Point { maxX, y }, Point { maxX, maxY } };
    auto corner = [&](std::size_t k) { return corners[(first + k) % corners.size()]; };
    path.moveToPoint({ x + rect.width() / 2, corner(0).y });
    for (std::size_t k = 0; k < corners.size(); ++k) {
        if (k < roundedCorners)
            path.appendBezierPathWithArcFromPoint(corner(k), corner(k + 1), r);
        else
            path.lineToPoint(corner(k));
    }
    path.closePath();
}

}

PathPtr bezierPathWithLineFrom(Point from, Point to)
{
    auto path = BezierPath::bezierPath();
    addLine(*path, from, to);
    return path;
}

PathPtr bezierPathWithRoundedRectangle(const Rect& rect, double radius)
{
    auto path = BezierPath::bezierPath();
    appendBezierPathWithRoundedRectangle(*path, rect, radius);
    return path;
}

void appendBezierPathWithRoundedRectangle(BezierPath& path, const Rect& rect, double radius)
{
    appendRectangleOutline(path, rect, radius, 0, 4);
}

void appendBezierPathWithLeftRoundedRectangle(BezierPath& path, const Rect& rect, double radius)
{
    appendRectangleOutline(path, rect, radius, 0, 2);
}

void appendBezierPathWithRightRoundedRectangle(BezierPath& path, const Rect& rect, double radius)
{
    appendRectangleOutline(path, rect, radius, 2, 2);
}

PathPtr bezierPathWithBleedMarkInRect(const Rect& rect, int originPointIndex)
{
    auto path = BezierPath::bezierPath();
    if (originPointIndex < 4 || originPointIndex > 7)
        return path;
    Point corner = QFHandlePoint(originPointIndex, rect);
    // The far ends of the two sides, in drawing order.
    static constexpr int first[] = { 7, 4, 5, 4 };
    static constexpr int second[] = { 5, 6, 7, 6 };
    addLine(*path, corner, QFHandlePoint(first[originPointIndex - 4], rect));
    addLine(*path, corner, QFHandlePoint(second[originPointIndex - 4], rect));
    return path;
}

PathPtr bezierPathWithCropMarkInRect(const Rect& rect)
{
    auto path = BezierPath::bezierPath();
    Rect outer = gfx::insetRect(rect, rect.width() / 4, rect.height() / 4);
    Rect inner = gfx::insetRect(rect, rect.width() / 3, rect.height() / 3);
    double cx = rect.minX() + rect.width() / 2, cy = rect.minY() + rect.height() / 2;
    path->appendBezierPathWithOvalInRect(outer);
    path->appendBezierPathWithOvalInRect(inner);
    addLine(*path, { cx, inner.minY() }, { cx, inner.maxY() });
    addLine(*path, { inner.minX(), cy }, { inner.maxX(), cy });
    addLine(*path, { cx, rect.minY() }, { cx, outer.minY() });
    addLine(*path, { cx, rect.maxY() }, { cx, outer.maxY() });
    addLine(*path, { rect.minX(), cy }, { outer.minX(), cy });
    addLine(*path, { rect.maxX(), cy }, { outer.maxX(), cy });
    return path;
}

PathPtr bezierPathWithCrossInRect(const Rect& rect)
{
    auto path = BezierPath::bezierPath();
    double cx = rect.minX() + rect.width() / 2, cy = rect.minY() + rect.height() / 2;
    addLine(*path, { cx, rect.minY() }, { cx, rect.maxY() });
    addLine(*path, { rect.minX(), cy }, { rect.maxX(), cy });
    return path;
}

PathPtr bezierPathWith45CrossInRect(const Rect& rect)
{
    auto path = BezierPath::bezierPath();
    addLine(*path, { rect.minX(), rect.minY() }, { rect.maxX(), rect.maxY() });
    addLine(*path, { rect.minX(), rect.maxY() }, { rect.maxX(), rect.minY() });
    return path;
}

Point firstPoint(const BezierPath& path)
{
    if (path.isEmpty() || ZORPathElements::kindAt(path, 0) == Kind::ClosePath)
        return {};
    return ZORPathElements::onPathPoint(path, 0);
}

Point lastPoint(const BezierPath& path)
{
    auto last = path.elementCount() - 1;
    if (last < 0 || ZORPathElements::kindAt(path, last) == Kind::ClosePath)
        return {};
    return ZORPathElements::onPathPoint(path, last);
}

double startAngle(const BezierPath& path)
{
    Point points[2];
    int found = 0;
    for (std::int64_t i = 0; i < path.elementCount() && found < 2; ++i) {
        auto kind = ZORPathElements::kindAt(path, i);
        if (kind == Kind::CurveTo) {
            // The direction a curve leaves in is towards its first control point.
            points[1] = path.associatedPoints(i)[0];
            found = 2;
        } else if (kind != Kind::ClosePath) {
            points[found++] = path.associatedPoints(i)[0];
        }
    }
    double angle
        = std::atan2(static_cast<float>(points[1].y - points[0].y), static_cast<float>(points[1].x - points[0].x));
    return angle * 180.0 / std::numbers::pi;
}

double endAngle(const BezierPath& path)
{
    return startAngle(path.bezierPathByReversingPath());
}

double slopeStartingPath(const BezierPath& path)
{
    if (path.elementCount() < 2)
        return 0.0;
    return QFAngleBetweenPoints(ZORPathElements::onPathPoint(path, 0), ZORPathElements::firstAssociatedPoint(path, 1));
}

bool isPathClosed(const BezierPath& path)
{
    return subpathContainingElementIsClosed(path, 0);
}

bool subpathContainingElementIsClosed(const BezierPath& path, std::int64_t index)
{
    if (index < 0 || index >= path.elementCount())
        return false;
    for (auto i = index; i < path.elementCount(); ++i) {
        auto kind = ZORPathElements::kindAt(path, i);
        if (kind == Kind::ClosePath)
            return true;
        // The next subpath begins: this one ended open.
        if (kind == Kind::MoveTo && i > index)
            return false;
    }
    return false;
}

bool isRectangular(const BezierPath& path)
{
    if (path.isEmpty())
        return true;
    std::vector<Point> corners;
    bool closed = false;
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        auto kind = ZORPathElements::kindAt(path, i);
        if (kind == Kind::CurveTo || closed || (kind == Kind::MoveTo && i > 0))
            return false;
        if (kind == Kind::ClosePath)
            closed = true;
        else
            corners.push_back(path.associatedPoints(i)[0]);
    }
    // A last line back onto the first corner closes the loop as well as a close does.
    if (corners.size() == 5 && corners.front() == corners.back()) {
        corners.pop_back();
        closed = true;
    }
    if (!closed || corners.size() != 4)
        return false;
    Rect bounds = path.bounds();
    if (!(bounds.width() > 0 && bounds.height() > 0))
        return false;
    for (std::size_t i = 0; i < 4; ++i) {
        Point p = corners[i], q = corners[(i + 1) % 4];
        bool onCorner
            = (p.x == bounds.minX() || p.x == bounds.maxX()) && (p.y == bounds.minY() || p.y == bounds.maxY());
        // Each edge runs along one side: consecutive corners share exactly one coordinate.
        bool alongSide = (p.x == q.x) != (p.y == q.y);
        if (!onCorner || !alongSide)
            return false;
    }
    return true;
}

Point positionOfPointAtPoint(const BezierPath& path, Point point, double padding)
{
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        if (ZORPathElements::kindAt(path, i) == Kind::ClosePath)
            continue;
        Point p = ZORPathElements::onPathPoint(path, i);
        if (std::fabs(p.x - point.x) < padding && std::fabs(p.y - point.y) < padding)
            return p;
    }
    return point;
}

std::shared_ptr<ZORBezierPathIterator> pathIterator(const std::shared_ptr<const BezierPath>& path)
{
    return std::make_shared<ZORBezierPathIterator>(path);
}

std::shared_ptr<ZORBezierPathIterator> pathIteratorWithTransform(
    const BezierPath& path, const gfx::AffineTransform& transform, double flatness, bool reversePath)
{
    auto walked = std::make_shared<BezierPath>(flatness != 0 ? path.flattened(flatness) : path);
    if (reversePath)
        *walked = walked->bezierPathByReversingPath();
    return std::make_shared<ZORBezierPathIterator>(walked, transform);
}

namespace {

// Draws a device-space copy of the path snapped to pixel centres, then puts the transform and antialiasing back.
template <typename Draw> void drawAsHelpPath(const BezierPath& path, bool antiAliasing, Draw&& draw)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const gfx::AffineTransform saved = context->CTM();
    auto inverse = saved.inverted();
    if (!inverse)
        return;
    context->concatCTM(*inverse);
    const bool wasAntialiasing = context->shouldAntialias();
    if (!antiAliasing)
        context->setShouldAntialias(false);
    BezierPath device(path);
    device.transformUsingAffineTransform(saved);
    ZORNSBezierPathExtensionPrivat::normalizeBezierPath(device);
    draw(*context, device);
    context->setShouldAntialias(wasAntialiasing);
    context->setCTM(saved);
}

}

void strokeAsHelpPath(const BezierPath& path)
{
    strokeAsHelpPathWithLineWidth(path, 0.0, false);
}

void strokeAsHelpPathWithLineWidth(const BezierPath& path, double lineWidth, bool antiAliasing)
{
    drawAsHelpPath(path, antiAliasing, [lineWidth](gfx::GraphicsContext& context, BezierPath& device) {
        device.setLineWidth(lineWidth);
        context.strokePath(device);
    });
}

void fillAsHelpPath(const BezierPath& path)
{
    fillAsHelpPathWithAntiAliasing(path, false);
}

void fillAsHelpPathWithAntiAliasing(const BezierPath& path, bool antiAliasing)
{
    drawAsHelpPath(
        path, antiAliasing, [](gfx::GraphicsContext& context, BezierPath& device) { context.fillPath(device); });
}

}

namespace ZORNSBezierPathExtensionPrivat {

void normalizeBezierPath(BezierPath& path)
{
    auto snap = [](double v) { return static_cast<double>(std::round(static_cast<float>(v))) + 0.5; };
    Point points[3];
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        auto kind = path.elementAtIndex(i, points);
        int count = gfx::pointCountOf(kind);
        for (int k = 0; k < count; ++k)
            points[k] = { snap(points[k].x), snap(points[k].y) };
        if (count > 0)
            path.setAssociatedPoints({ points, static_cast<std::size_t>(count) }, i);
    }
}

}
