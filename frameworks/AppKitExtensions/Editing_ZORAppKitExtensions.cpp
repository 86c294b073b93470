// Partcodes, hit tests, subpath limits, tangents, element boxes and the checksum of Editing_ZORAppKitExtensions.h.

#include "frameworks/AppKitExtensions/Editing_ZORAppKitExtensions.h"

#include "frameworks/AppKitExtensions/QFGeometry.h"
#include "frameworks/AppKitExtensions/detail/PathElements.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using gfx::BezierPath;
using gfx::Point;
using gfx::Rect;
using ZORPathElements::elementOf;
using ZORPathElements::Kind;
using ZORPathElements::kindAt;
using ZORPathElements::onPathPoint;

ZORPartcode ZORPartcodeForElement(std::int64_t element)
{
    return element * 4 + 4;
}

ZORPartcode ZORPartcodeForElementAndPoint(std::int64_t element, std::int64_t point)
{
    return (element * 4 + 4) | (point & 3);
}

void ZORSplitCubicBezier(const Point curve[4], double t, Point left[4], Point right[4])
{
    QFSubdivideBezier(std::span<const Point>(curve, 4), t, left, right);
}

namespace Editing_ZORAppKitExtensions {

namespace {

int pointOf(ZORPartcode partcode)
{
    return static_cast<int>(partcode & 3);
}

int onPathIndex(Kind kind)
{
    return kind == Kind::CurveTo ? 2 : 0;
}

// The point a close returns to: point 0 of its subpath's move.
Point closingPoint(const BezierPath& path, std::int64_t index)
{
    return onPathPoint(path, index);
}

}

std::int64_t point(Point p, std::span<const Point> points, double tolerance, bool reverse)
{
    const auto count = static_cast<std::int64_t>(points.size());
    for (std::int64_t k = 0; k < count; ++k) {
        std::int64_t i = reverse ? count - 1 - k : k;
        Point q = points[static_cast<std::size_t>(i)];
        if (gfx::pointInRect(p, { q.x - tolerance / 2, q.y - tolerance / 2, tolerance, tolerance }))
            return i;
    }
    return fnd::NotFound;
}

gfx::BezierPathElement elementTypeForPartcode(const BezierPath& path, ZORPartcode partcode)
{
    return path.elementAtIndex(elementOf(partcode));
}

bool isOnPathPartcode(const BezierPath& path, ZORPartcode partcode)
{
    return partcode >= 4 && (elementTypeForPartcode(path, partcode) != Kind::CurveTo || pointOf(partcode) == 2);
}

ZORPartcode partcodeForLastPoint(const BezierPath& path)
{
    auto count = path.elementCount();
    return count * 4 + (count > 0 && kindAt(path, count - 1) == Kind::CurveTo ? 2 : 0);
}

bool isOpenEndPoint(const BezierPath& path, ZORPartcode partcode)
{
    if (ZORNSBezierPathExtension::isPathClosed(path))
        return false;
    return partcode == 4 || partcode == partcodeForLastPoint(path);
}

bool isHeadOrTailPoint(const BezierPath& path, std::int64_t elementIndex)
{
    if (subpathContainingElementIsClosed(path, elementIndex))
        return false;
    return elementIndex == subpathStartingElementForElement(path, elementIndex)
        || elementIndex == subpathEndingElementForElement(path, elementIndex);
}

Point controlPointForPartcode(const BezierPath& path, ZORPartcode partcode)
{
    auto points = path.associatedPoints(elementOf(partcode));
    auto j = static_cast<std::size_t>(pointOf(partcode));
    return j < points.size() ? points[j] : Point {};
}

void setControlPoint(BezierPath& path, Point point, ZORPartcode partcode)
{
    auto e = elementOf(partcode);
    Point points[3];
    auto kind = path.elementAtIndex(e, points);
    int j = pointOf(partcode);
    if (j >= gfx::pointCountOf(kind))
        return;
    points[j] = point;
    path.setAssociatedPoints({ points, static_cast<std::size_t>(gfx::pointCountOf(kind)) }, e);
}

ZORPartcode partcodeHitByPoint(const BezierPath& path, Point p, double tolerance, std::int64_t start, bool prioritise)
{
    if (!gfx::pointInRect(p, gfx::insetRect(path.controlPointBounds(), -tolerance / 2, -tolerance / 2)))
        return 0;
    const auto count = path.elementCount();
    if (start < 0 || start + 1 >= count)
        return 0;
    auto find = [&](std::span<const Point> points, bool reverse) { return point(p, points, tolerance, reverse); };
    // A's on-path point alone; a close has no point to hit.
    auto searchOnPath = [&](std::int64_t i) -> ZORPartcode {
        auto kind = kindAt(path, i);
        if (kind == Kind::ClosePath)
            return 0;
        int j = onPathIndex(kind);
        auto points = path.associatedPoints(i).subspan(static_cast<std::size_t>(j), 1);
        return find(points, false) != fnd::NotFound ? ZORPartcodeForElementAndPoint(i, j) : 0;
    };
    auto searchPoints = [&](std::int64_t i, std::size_t n, bool reverse) -> ZORPartcode {
        auto points = path.associatedPoints(i).first(std::min(n, path.associatedPoints(i).size()));
        auto hit = find(points, reverse);
        return hit != fnd::NotFound ? ZORPartcodeForElementAndPoint(i, hit) : 0;
    };
    for (auto i = start; i + 2 <= count; ++i) {
        const bool last = i == count - 2;
        const bool nextIsCurve = kindAt(path, i + 1) == Kind::CurveTo;
        ZORPartcode hit = 0;
        if (nextIsCurve && !prioritise) {
            hit = searchPoints(i + 1, last ? 3 : 2, false);
        } else if (nextIsCurve) {
            hit = searchOnPath(i);
            if (!hit)
                hit = searchPoints(i + 1, 3, true);
        } else {
            hit = searchOnPath(i);
        }
        if (!hit && nextIsCurve)
            hit = searchOnPath(i);
        if (!hit && last)
            hit = nextIsCurve ? searchPoints(i + 1, 3, prioritise) : searchPoints(i + 1, 1, false);
        if (hit)
            return hit;
    }
    return 0;
}

std::int64_t elementHitByPoint(const BezierPath& path, Point p, double tolerance, double* tValue, Point* nearestPoint)
{
    if (!gfx::pointInRect(p, gfx::insetRect(path.bounds(), -tolerance, -tolerance)))
        return -1;
    // Candidates in the order of the element box test: boxes holding p, then boxes grown by the tolerance. The first
    // whose segment passes within the tolerance is hit; a box alone (a diagonal's box around a point near another
    // side) is not a hit.
    const auto count = path.elementCount();
    std::vector<std::int64_t> candidates;
    for (int pass = 0; pass < 2; ++pass) {
        double grow = pass == 0 ? 0 : tolerance;
        for (std::int64_t i = 1; i < count; ++i)
            if (gfx::pointInRect(p, gfx::insetRect(boundingBoxForElement(path, i), -grow, -grow))
                && std::find(candidates.begin(), candidates.end(), i) == candidates.end())
                candidates.push_back(i);
    }
    for (auto e : candidates) {
        auto kind = kindAt(path, e);
        // A move draws nothing to hit.
        if (kind == Kind::MoveTo)
            continue;
        Point start = onPathPoint(path, e - 1);
        Point nearest;
        double t = 0;
        if (kind == Kind::CurveTo) {
            auto pts = path.associatedPoints(e);
            nearest = QFNearestPointOnCurve(start, pts[0], pts[1], pts[2], p, &t);
        } else {
            Point end = kind == Kind::ClosePath ? closingPoint(path, e) : path.associatedPoints(e)[0];
            nearest = QFNearestPointOnSegment(p, start, end);
            t = QFFractionAlongSegment(nearest, start, end);
        }
        if (QFDistanceBetweenPoints(nearest, p) > tolerance)
            continue;
        if (tValue)
            *tValue = t;
        if (nearestPoint)
            *nearestPoint = nearest;
        return e;
    }
    return -1;
}

Point nearestPointToPoint(const BezierPath& path, Point p, double tolerance)
{
    Point nearest;
    return elementHitByPoint(path, p, tolerance, nullptr, &nearest) > 0 ? nearest : p;
}

std::int64_t elementBoundsContainsPoint(const BezierPath& path, Point p, double tolerance)
{
    for (std::int64_t i = 1; i < path.elementCount(); ++i)
        if (gfx::pointInRect(p, boundingBoxForElement(path, i)))
            return i;
    for (std::int64_t i = 1; i < path.elementCount(); ++i)
        if (gfx::pointInRect(p, gfx::insetRect(boundingBoxForElement(path, i), -tolerance, -tolerance)))
            return i;
    return -1;
}

Rect boundingBoxForElement(const BezierPath& path, std::int64_t index)
{
    auto kind = kindAt(path, index);
    if (kind == Kind::MoveTo || index < 1)
        return {};
    Point start = onPathPoint(path, index - 1);
    switch (kind) {
    case Kind::LineTo:
        return QFRectFromPoints(start, path.associatedPoints(index)[0]);
    case Kind::ClosePath:
        return QFRectFromPoints(start, closingPoint(path, index));
    case Kind::CurveTo: {
        auto pts = path.associatedPoints(index);
        Rect box = QFRectFromPoints(start, pts[2]);
        box = QFUnionRect(box, QFRectAtPoint(pts[0]));
        return QFUnionRect(box, QFRectAtPoint(pts[1]));
    }
    case Kind::MoveTo:
        break;
    }
    return {};
}

namespace {

void addOnce(std::vector<Rect>& boxes, const Rect& box)
{
    if (std::find(boxes.begin(), boxes.end(), box) == boxes.end())
        boxes.push_back(box);
}

}

std::vector<Rect> allBoundingBoxes(const BezierPath& path)
{
    std::vector<Rect> boxes;
    for (std::int64_t i = 0; i < path.elementCount(); ++i)
        addOnce(boxes, boundingBoxForElement(path, i));
    return boxes;
}

std::vector<Rect> boundingBoxesForPartcode(const BezierPath& path, ZORPartcode partcode)
{
    const auto count = path.elementCount();
    const auto n = partcode >> 2, e = n - 1;
    std::vector<Rect> boxes;
    if (e < 0 || e >= count)
        return boxes;
    addOnce(boxes, boundingBoxForElement(path, e));
    if (pointOf(partcode) == 0 && e >= 1 && kindAt(path, e) == Kind::CurveTo)
        addOnce(boxes, boundingBoxForElement(path, e - 1));
    else if (n <= count - 1)
        addOnce(boxes, boundingBoxForElement(path, n));
    if (ZORNSBezierPathExtension::isPathClosed(path)) {
        if (n > 2) {
            auto start = subpathStartingElementForElement(path, e);
            if (n == count && start >= 0 && start + 1 < count)
                addOnce(boxes, boundingBoxForElement(path, start + 1));
        } else {
            addOnce(boxes, boundingBoxForElement(path, subpathEndingElementForElement(path, e)));
        }
    }
    return boxes;
}

void drawElementsBoundingBoxes(const BezierPath& path)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->saveGraphicsState();
    context->setStrokeColor(*gfx::Color::redColor());
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        auto box = BezierPath::bezierPathWithRect(boundingBoxForElement(path, i));
        box->setLineWidth(0);
        context->strokePath(*box);
    }
    context->restoreGraphicsState();
}

std::int64_t subpathStartingElementForElement(const BezierPath& path, std::int64_t element, std::uint64_t flags)
{
    if (element < 0 || element >= path.elementCount())
        return -1;
    auto move = ZORPathElements::subpathStartIndex(path, element);
    if (move < 0 || !(flags & SubpathSearchAfterMove))
        return move;
    return path.elementCount() < 2 ? -1 : move + 1;
}

std::int64_t subpathEndingElementForElement(const BezierPath& path, std::int64_t element, std::uint64_t flags)
{
    const auto count = path.elementCount();
    if (element < 0)
        return -1;
    auto k = element;
    if (k < count && kindAt(path, k) == Kind::MoveTo)
        ++k;
    if (k >= count)
        return count - 1;
    for (auto i = k; i < count; ++i) {
        auto kind = kindAt(path, i);
        if (kind == Kind::MoveTo)
            return i - 1;
        if (kind == Kind::ClosePath) {
            if (flags & SubpathSearchBeforeClose)
                return i - 1;
            if (flags & SubpathSearchAfterMove) {
                // A close that ends the path has nothing after it: its subpath ends with the element before it.
                if (i + 1 < count && kindAt(path, i + 1) != Kind::MoveTo)
                    return i + 1;
                if (i <= 0)
                    return -1;
                if (kindAt(path, i - 1) != Kind::MoveTo)
                    return i - 1;
            }
        }
    }
    return count - 1;
}

double tangentAtStartOfSubpath(const BezierPath& path, std::int64_t element)
{
    auto s = subpathStartingElementForElement(path, element);
    if (s < 0 || s + 1 >= path.elementCount())
        return 0;
    Point from = ZORPathElements::firstAssociatedPoint(path, s);
    Point to = ZORPathElements::firstAssociatedPoint(path, s + 1);
    return QFAngleBetweenPoints(from, to) + std::numbers::pi;
}

double tangentAtEndOfSubpath(const BezierPath& path, std::int64_t element)
{
    auto t = subpathEndingElementForElement(path, element);
    if (t < 1)
        return 0;
    if (kindAt(path, t) == Kind::CurveTo) {
        auto pts = path.associatedPoints(t);
        return QFAngleBetweenPoints(pts[1], pts[2]);
    }
    return QFAngleBetweenPoints(onPathPoint(path, t - 1), ZORPathElements::firstAssociatedPoint(path, t));
}

void getPathMoveToCount(const BezierPath& path, std::int64_t* moveToCount, std::int64_t* lineToCount,
    std::int64_t* curveToCount, std::int64_t* closePathCount)
{
    std::int64_t counts[4] {};
    for (auto kind : path.elementKinds())
        ++counts[static_cast<int>(kind)];
    std::int64_t* outs[4] { moveToCount, lineToCount, curveToCount, closePathCount };
    for (int i = 0; i < 4; ++i)
        if (outs[i])
            *outs[i] = counts[i];
}

std::uint64_t checksum(const BezierPath& path)
{
    const auto count = path.elementCount();
    std::uint64_t h = (static_cast<std::uint64_t>(count) << 5) ^ 0x95DD8B3u;
    for (std::int64_t i = 0; i < count; ++i) {
        // Unused points read as zero; a close's point too, so that only real points go in.
        Point points[3] {};
        auto kind = path.elementAtIndex(i, points);
        h = ((static_cast<std::uint64_t>(kind) << 10) ^ h);
        for (const Point& q : points)
            h ^= static_cast<std::uint64_t>(std::lround(q.x)) ^ static_cast<std::uint64_t>(std::lround(q.y));
    }
    return h;
}

}
