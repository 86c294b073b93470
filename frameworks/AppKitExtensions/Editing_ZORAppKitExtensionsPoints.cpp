// Moving, inserting, deleting and stripping points: the editing half of Editing_ZORAppKitExtensions.h.

#include "frameworks/AppKitExtensions/Editing_ZORAppKitExtensions.h"

#include "frameworks/AppKitExtensions/QFGeometry.h"
#include "frameworks/AppKitExtensions/detail/PathElements.h"

#include <atomic>
#include <cmath>
#include <numbers>

using gfx::BezierPath;
using gfx::Point;
using ZORPathElements::elementOf;
using ZORPathElements::Kind;
using ZORPathElements::kindAt;
using ZORPathElements::onPathPoint;

namespace Editing_ZORAppKitExtensions {

namespace {

std::atomic<double> g_constraintAngle { 0.261799387799 };

// How deep moveControlPointPartcode has called itself on this thread: the steps that move dependent points run only
// in the outermost call.
thread_local int t_moveDepth = 0;

struct MoveDepth {
    MoveDepth() { ++t_moveDepth; }
    ~MoveDepth() { --t_moveDepth; }
    MoveDepth(const MoveDepth&) = delete;
    MoveDepth& operator=(const MoveDepth&) = delete;
    bool outermost() const { return t_moveDepth == 1; }
};

ZORPartcode onPathPartcode(const BezierPath& path, std::int64_t element)
{
    return ZORPartcodeForElementAndPoint(element, kindAt(path, element) == Kind::CurveTo ? 2 : 0);
}

Kind kindOrMove(const BezierPath& path, std::int64_t index)
{
    return index >= 0 && index < path.elementCount() ? kindAt(path, index) : Kind::MoveTo;
}

void offsetPoint(BezierPath& path, ZORPartcode partcode, Point delta)
{
    setControlPoint(path, QFAddPoints(controlPointForPartcode(path, partcode), delta), partcode);
}

BezierPath emptyLike(const BezierPath& path)
{
    BezierPath out(path);
    out.removeAllPoints();
    return out;
}

// Appends an element of the given kind; a segment with nothing to start from begins its own subpath.
void append(BezierPath& out, Kind kind, const Point* points)
{
    if (kind != Kind::MoveTo && kind != Kind::ClosePath && !out.hasCurrentPoint()) {
        out.moveToPoint(points[kind == Kind::CurveTo ? 2 : 0]);
        return;
    }
    switch (kind) {
    case Kind::MoveTo:
        out.moveToPoint(points[0]);
        break;
    case Kind::LineTo:
        out.lineToPoint(points[0]);
        break;
    case Kind::CurveTo:
        out.curveToPoint(points[2], points[0], points[1]);
        break;
    case Kind::ClosePath:
        out.closePath();
        break;
    }
}

}

double constraintAngle()
{
    return g_constraintAngle;
}

void setConstraintAngle(double radians)
{
    g_constraintAngle = radians;
}

Point colinearPointForPoint(Point p, Point centre)
{
    return { centre.x - (p.x - centre.x), centre.y - (p.y - centre.y) };
}

Point colinearPointForPoint(Point p, Point centre, double radius)
{
    double a = QFAngleBetweenPoints(centre, p) + std::numbers::pi;
    return { centre.x + radius * std::cos(a), centre.y + radius * std::sin(a) };
}

void colineariseVertex(Point a, Point vertex, Point b, Point* outA, Point* outB)
{
    double rA = std::hypot(a.x - vertex.x, a.y - vertex.y);
    double rB = std::hypot(b.x - vertex.x, b.y - vertex.y);
    // The mean direction as the mean of unit vectors, so that directions either side of ±pi average to pi, not 0.
    double inward = QFAngleBetweenPoints(a, vertex), outward = QFAngleBetweenPoints(vertex, b);
    double mean = std::atan2(std::sin(inward) + std::sin(outward), std::cos(inward) + std::cos(outward));
    Point direction { std::cos(mean), std::sin(mean) };
    if (outA)
        *outA = { vertex.x - rA * direction.x, vertex.y - rA * direction.y };
    if (outB)
        *outB = { vertex.x + rB * direction.x, vertex.y + rB * direction.y };
}

Point referencePointForConstrainedPartcode(const BezierPath& path, ZORPartcode partcode)
{
    auto e = elementOf(partcode);
    Point own = onPathPoint(path, e);
    if (partcode == 4)
        return path.elementCount() > 1 ? onPathPoint(path, 1) : own;
    if (partcode & 1)
        return own;
    return e >= 1 ? onPathPoint(path, e - 1) : own;
}

void moveControlPointPartcode(BezierPath& path, ZORPartcode partcode, Point p, std::uint64_t options)
{
    MoveDepth depth;
    const auto count = path.elementCount();
    auto e = elementOf(partcode);
    if (partcode < 4 || e >= count)
        return;
    Kind type = kindAt(path, e);
    const bool closed = subpathContainingElementIsClosed(path, e);
    Point old = controlPointForPartcode(path, partcode);
    Kind next = kindOrMove(path, e + 1);
    Kind prev = kindOrMove(path, e - 1);

    // The last point of a closed subpath lying on its first point: with smooth joins the two move as one, through
    // the first point, which brings the last along. Without, the point picked is the point moved.
    if (depth.outermost() && (options & MoveSmoothJoins) && closed && next == Kind::ClosePath
        && partcode == onPathPartcode(path, e)) {
        auto s = subpathStartingElementForElement(path, e);
        if (s >= 0 && path.associatedPoints(s)[0] == old) {
            partcode = ZORPartcodeForElementAndPoint(s, 0);
            e = s;
            type = kindAt(path, s);
            old = path.associatedPoints(s)[0];
            next = kindOrMove(path, s + 1);
            prev = kindOrMove(path, s - 1);
        }
    }

    // A step that is not a positive number constrains nothing: an infinite one would put the point at NaN.
    if (const double step = constraintAngle(); (options & MoveConstrained) && step > 0 && std::isfinite(step)) {
        Point ref = referencePointForConstrainedPartcode(path, partcode);
        double a = std::atan2(p.y - ref.y, p.x - ref.x), d = std::hypot(p.x - ref.x, p.y - ref.y);
        // The nearest multiple of the step, on either side of zero alike.
        a = step * std::round(a / step);
        p = { ref.x + d * std::cos(a), ref.y + d * std::sin(a) };
    }
    if (type == Kind::ClosePath)
        return;
    const Point delta = QFSubtractPoints(p, old);
    const int j = static_cast<int>(partcode & 3);

    auto adjustHandle = [&](ZORPartcode handle, Point centre) {
        Point h = controlPointForPartcode(path, handle);
        Point adjusted = (options & MoveMirrorsHandles)
            ? colinearPointForPoint(p, centre)
            : colinearPointForPoint(p, centre, std::hypot(h.x - centre.x, h.y - centre.y));
        setControlPoint(path, adjusted, handle);
    };

    if (type == Kind::MoveTo || type == Kind::LineTo) {
        setControlPoint(path, p, partcode);
        if (next == Kind::CurveTo)
            offsetPoint(path, ZORPartcodeForElementAndPoint(e + 1, 0), delta);
        if (depth.outermost() && type == Kind::MoveTo && closed && (options & MoveSmoothJoins)) {
            auto end = subpathEndingElementForElement(path, e);
            ZORPartcode q2 = 0;
            if (end > 0 && kindAt(path, end) == Kind::ClosePath) {
                ZORPartcode q = onPathPartcode(path, end - 1);
                if (controlPointForPartcode(path, q) == old)
                    moveControlPointPartcode(path, q, p, options);
                // Drawing that goes on after the close, within this subpath.
                if (end + 1 < count && kindAt(path, end + 1) != Kind::MoveTo)
                    q2 = onPathPartcode(path, end + 1);
            } else if (end > 0) {
                q2 = onPathPartcode(path, end);
            }
            if (q2 && controlPointForPartcode(path, q2) == old)
                moveControlPointPartcode(path, q2, p, options);
        }
        return;
    }

    // A curve.
    if (j == 2) {
        if (options & MoveFirstControlPointWithEnd) {
            ZORPartcode first = ZORPartcodeForElementAndPoint(e, 0);
            moveControlPointPartcode(path, first, QFAddPoints(controlPointForPartcode(path, first), delta),
                options & ~static_cast<std::uint64_t>(MoveFirstControlPointWithEnd));
        }
        if (e < count - 1 && next == Kind::CurveTo)
            offsetPoint(path, ZORPartcodeForElementAndPoint(e + 1, 0), delta);
        offsetPoint(path, ZORPartcodeForElementAndPoint(e, 1), delta);
        setControlPoint(path, p, partcode);
        return;
    }
    if (j == 1 && (options & MoveSmoothJoins)) {
        Point centre = path.associatedPoints(e)[2];
        if (e < count - 1 && next == Kind::CurveTo) {
            adjustHandle(ZORPartcodeForElementAndPoint(e + 1, 0), centre);
        } else if (closed && subpathEndingElementForElement(path, e, SubpathSearchBeforeClose) == e) {
            auto first = subpathStartingElementForElement(path, e, SubpathSearchAfterMove);
            if (first >= 0 && kindOrMove(path, first) == Kind::CurveTo)
                adjustHandle(ZORPartcodeForElementAndPoint(first, 0), centre);
        }
    } else if (j == 0 && (options & MoveSmoothJoins)) {
        if (prev == Kind::CurveTo) {
            adjustHandle(ZORPartcodeForElementAndPoint(e - 1, 1), path.associatedPoints(e - 1)[2]);
        } else if (closed && prev == Kind::MoveTo && e >= 1) {
            auto last = subpathEndingElementForElement(path, e, SubpathSearchAfterMove);
            if (last >= 0 && kindOrMove(path, last) == Kind::CurveTo)
                adjustHandle(ZORPartcodeForElementAndPoint(last, 1), path.associatedPoints(e - 1)[0]);
        }
    }
    setControlPoint(path, p, partcode);
}

PathPtr deleteControlPointForPartcode(const PathPtr& path, ZORPartcode partcode)
{
    auto e = elementOf(partcode);
    if (partcode < 4 || e >= path->elementCount() || !isOnPathPartcode(*path, partcode))
        return path;
    auto out = std::make_shared<BezierPath>(emptyLike(*path));
    Point deleted[3] {};
    path->elementAtIndex(e, deleted);
    for (std::int64_t i = 0; i < path->elementCount(); ++i) {
        if (i == e)
            continue;
        Point points[3];
        auto kind = path->elementAtIndex(i, points);
        if (e == 0 && i == 1) {
            Point start = onPathPoint(*path, 1);
            out->moveToPoint(start);
            continue;
        }
        // The curve after the deleted point takes its handle from the deleted element, merging the two segments.
        if (i == e + 1 && kind == Kind::CurveTo && kindAt(*path, e) != Kind::ClosePath)
            points[0] = deleted[0];
        append(*out, kind, points);
    }
    return out;
}

PathPtr insertControlPointAtPoint(const BezierPath& path, Point p, double tolerance, std::int64_t type)
{
    double u = 0;
    auto e = elementHitByPoint(path, p, tolerance, &u);
    if (e <= 0)
        return nullptr;
    auto out = std::make_shared<BezierPath>(emptyLike(path));
    Point lastMove;
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        Point points[3];
        auto kind = path.elementAtIndex(i, points);
        if (kind == Kind::MoveTo)
            lastMove = points[0];
        if (i != e) {
            append(*out, kind, points);
            continue;
        }
        Point start = onPathPoint(path, e - 1);
        if (kind == Kind::CurveTo) {
            Point curve[4] { start, points[0], points[1], points[2] }, left[4], right[4];
            ZORSplitCubicBezier(curve, u, left, right);
            if ((type & ~std::int64_t { 2 }) == 1)
                out->lineToPoint(left[3]);
            else
                out->curveToPoint(left[3], left[1], left[2]);
            out->curveToPoint(right[3], right[1], right[2]);
            continue;
        }
        Point end = kind == Kind::ClosePath ? lastMove : points[0];
        Point m = QFInterpolatePoints(start, end, u);
        if ((type & ~std::int64_t { 1 }) == 2) {
            out->curveToPoint(m, QFInterpolatePoints(m, start, 0.75), QFInterpolatePoints(m, start, 0.25));
            out->curveToPoint(end, QFInterpolatePoints(end, m, 0.75), QFInterpolatePoints(end, m, 0.25));
        } else {
            out->lineToPoint(m);
            out->lineToPoint(end);
        }
        if (kind == Kind::ClosePath)
            out->closePath();
    }
    return out;
}

PathPtr bezierPathByRemovingTrailingElements(const BezierPath& path, std::int64_t count)
{
    auto out = std::make_shared<BezierPath>(emptyLike(path));
    for (std::int64_t i = 0; i < path.elementCount() - count; ++i) {
        Point points[3];
        auto kind = path.elementAtIndex(i, points);
        append(*out, kind, points);
    }
    return out;
}

PathPtr bezierPathByRemovingElementAtIndex(const PathPtr& path, std::int64_t index)
{
    if (index < 0 || index >= path->elementCount())
        return path;
    return bezierPathByRemovingElementsAtIndexes(path, fnd::IndexSet(index));
}

PathPtr bezierPathByRemovingElementsAtIndexes(const PathPtr& path, const fnd::IndexSet& indexes)
{
    const auto count = path->elementCount();
    if (!indexes.isEmpty() && (indexes.firstIndex() < 0 || indexes.lastIndex() >= count))
        return path;
    auto out = std::make_shared<BezierPath>(emptyLike(*path));
    bool broken = false;
    Point lastMove, carry;
    for (std::int64_t i = 0; i < count; ++i) {
        Point points[3];
        auto kind = path->elementAtIndex(i, points);
        if (indexes.contains(i)) {
            if (kind != Kind::ClosePath)
                carry = onPathPoint(*path, i);
            out->moveToPoint(carry);
            broken = true;
            continue;
        }
        if (kind == Kind::MoveTo)
            lastMove = carry = points[0];
        if (kind == Kind::ClosePath && broken)
            out->lineToPoint(lastMove);
        else
            append(*out, kind, points);
    }
    return out;
}

PathPtr bezierPathByStrippingRedundantElements(const BezierPath& path)
{
    auto out = std::make_shared<BezierPath>(emptyLike(path));
    Point previous { -1, -1 };
    const auto count = path.elementCount();
    for (std::int64_t i = 0; i < count; ++i) {
        Point points[3];
        auto kind = path.elementAtIndex(i, points);
        switch (kind) {
        case Kind::MoveTo:
            if (i < count - 1)
                out->moveToPoint(points[0]);
            previous = points[0];
            break;
        case Kind::LineTo:
            if (points[0] != previous)
                append(*out, kind, points);
            previous = points[0];
            break;
        case Kind::CurveTo: {
            Point end = points[2];
            bool isPoint = points[0] == previous && points[1] == previous && end == previous;
            bool straight = (points[0] == end && points[1] == end) || (points[0] == previous && points[1] == end);
            if (straight && !isPoint)
                append(*out, Kind::LineTo, &points[2]);
            else if (!isPoint)
                append(*out, kind, points);
            previous = end;
            break;
        }
        case Kind::ClosePath:
            out->closePath();
            break;
        }
    }
    return out;
}

}
