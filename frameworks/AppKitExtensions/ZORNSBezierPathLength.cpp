// Lengths, trimming and the point at a length, from ZORNSBezierPathExtension.h.

#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"

#include "frameworks/AppKitExtensions/QFGeometry.h"
#include "frameworks/AppKitExtensions/detail/CubicLength.h"
#include "frameworks/AppKitExtensions/detail/PathElements.h"
#include "frameworks/AppKitExtensions/detail/PathLengthCursor.h"

#include <optional>

using gfx::BezierPath;
using gfx::Point;
using ZORPathElements::Kind;

namespace ZORNSBezierPathExtension {

namespace {

constexpr double DefaultMaximumError = 0.1;

using ZORCubicLength::Cubic;

// An empty path with the attributes of the given one.
BezierPath emptyLike(const BezierPath& path)
{
    BezierPath out(path);
    out.removeAllPoints();
    return out;
}

// The first `length` of the path, or nullopt when that is the whole path.
std::optional<BezierPath> trimmedToLength(const BezierPath& path, double length, double maximumError)
{
    if (!(length > 0)) {
        BezierPath out = emptyLike(path);
        if (!path.isEmpty() && ZORPathElements::kindAt(path, 0) == Kind::MoveTo)
            out.moveToPoint(path.associatedPoints(0)[0]);
        return out;
    }
    if (length >= lengthWithMaximumError(path, maximumError))
        return std::nullopt;
    BezierPath out = emptyLike(path);
    double total = 0;
    Point current, start;
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        auto kind = ZORPathElements::kindAt(path, i);
        if (kind == Kind::MoveTo) {
            current = start = path.associatedPoints(i)[0];
            out.moveToPoint(current);
            continue;
        }
        if (kind == Kind::CurveTo) {
            auto pts = path.associatedPoints(i);
            Cubic curve { current, pts[0], pts[1], pts[2] };
            double d = ZORCubicLength::length(curve, maximumError);
            if (length < total + d) {
                auto [left, right] = ZORCubicLength::splitAtLength(curve, length - total, maximumError);
                out.curveToPoint(left.p3, left.p1, left.p2);
                return out;
            }
            out.curveToPoint(pts[2], pts[0], pts[1]);
            total += d;
            current = pts[2];
            continue;
        }
        // A line, or a close as the line back to the subpath's start.
        Point to = kind == Kind::LineTo ? path.associatedPoints(i)[0] : start;
        double d = QFDistanceBetweenPoints(current, to);
        if (length < total + d) {
            out.lineToPoint(QFInterpolatePoints(current, to, (length - total) / d));
            return out;
        }
        if (kind == Kind::LineTo)
            out.lineToPoint(to);
        else if (!out.isEmpty())
            out.closePath();
        total += d;
        current = to;
    }
    return out;
}

// The path without its first `length`, or nullopt when nothing is cut off.
std::optional<BezierPath> trimmedFromLength(const BezierPath& path, double length, double maximumError)
{
    if (!(length > 0))
        return std::nullopt;
    BezierPath out = emptyLike(path);
    double total = 0;
    bool passed = false;
    // Whether the subpath being written began with the path's own move, rather than at the cut.
    bool wholeSubpath = false;
    Point current, start;
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        auto kind = ZORPathElements::kindAt(path, i);
        if (kind == Kind::MoveTo) {
            current = start = path.associatedPoints(i)[0];
            if (passed) {
                out.moveToPoint(current);
                wholeSubpath = true;
            }
            continue;
        }
        if (kind == Kind::CurveTo) {
            auto pts = path.associatedPoints(i);
            Cubic curve { current, pts[0], pts[1], pts[2] };
            double d = ZORCubicLength::length(curve, maximumError);
            if (passed) {
                out.curveToPoint(pts[2], pts[0], pts[1]);
            } else if (total + d > length) {
                auto [left, right] = ZORCubicLength::splitAtLength(curve, length - total, maximumError);
                out.moveToPoint(right.p0);
                out.curveToPoint(right.p3, right.p1, right.p2);
                passed = true;
            }
            total += d;
            current = pts[2];
            continue;
        }
        Point to = kind == Kind::LineTo ? path.associatedPoints(i)[0] : start;
        double d = QFDistanceBetweenPoints(current, to);
        if (passed) {
            out.lineToPoint(to);
            // Closing a subpath that now starts at the cut would draw back over what was cut off.
            if (kind == Kind::ClosePath && wholeSubpath)
                out.closePath();
        } else if (total + d > length) {
            out.moveToPoint(QFInterpolatePoints(current, to, (length - total) / d));
            out.lineToPoint(to);
            passed = true;
        }
        total += d;
        current = to;
    }
    return out;
}

PathPtr shared(const PathPtr& path, std::optional<BezierPath>&& trimmed)
{
    return trimmed ? std::make_shared<BezierPath>(std::move(*trimmed)) : path;
}

}

double length(const BezierPath& path)
{
    return lengthWithMaximumError(path, DefaultMaximumError);
}

double lengthWithMaximumError(const BezierPath& path, double maximumError)
{
    double total = 0;
    Point current, start;
    for (std::int64_t i = 0; i < path.elementCount(); ++i) {
        auto kind = ZORPathElements::kindAt(path, i);
        switch (kind) {
        case Kind::MoveTo:
            current = start = path.associatedPoints(i)[0];
            break;
        case Kind::LineTo: {
            Point to = path.associatedPoints(i)[0];
            total += QFDistanceBetweenPoints(current, to);
            current = to;
            break;
        }
        case Kind::CurveTo: {
            auto pts = path.associatedPoints(i);
            total += ZORCubicLength::length({ current, pts[0], pts[1], pts[2] }, maximumError);
            current = pts[2];
            break;
        }
        case Kind::ClosePath:
            total += QFDistanceBetweenPoints(current, start);
            current = start;
            break;
        }
    }
    return total;
}

double lengthOfElement(const BezierPath& path, std::int64_t index)
{
    if (index < 0 || index >= path.elementCount())
        return -1.0;
    if (index == 0)
        return 0.0;
    Point previous = ZORPathElements::onPathPoint(path, index - 1);
    switch (ZORPathElements::kindAt(path, index)) {
    case Kind::LineTo:
        return QFDistanceBetweenPoints(previous, path.associatedPoints(index)[0]);
    case Kind::CurveTo: {
        auto pts = path.associatedPoints(index);
        return ZORCubicLength::length({ previous, pts[0], pts[1], pts[2] }, DefaultMaximumError);
    }
    case Kind::ClosePath:
        return QFDistanceBetweenPoints(previous, ZORPathElements::onPathPoint(path, index));
    case Kind::MoveTo:
        break;
    }
    return 0.0;
}

double lengthOfPathFromElement(const BezierPath& path, std::int64_t first, std::int64_t last)
{
    if (last >= path.elementCount())
        last = path.elementCount() - 1;
    if (first < 0)
        first = 0;
    double total = 0;
    for (auto i = first; i <= last; ++i)
        total += lengthOfElement(path, i);
    return total;
}

PathPtr bezierPathByTrimmingToLength(const PathPtr& path, double length, double maximumError)
{
    return shared(path, trimmedToLength(*path, length, maximumError));
}

PathPtr bezierPathByTrimmingFromLength(const PathPtr& path, double length, double maximumError)
{
    return shared(path, trimmedFromLength(*path, length, maximumError));
}

PathPtr bezierPathByTrimmingFromLength(const PathPtr& path, double start, double length, double maximumError)
{
    return bezierPathByTrimmingToLength(
        bezierPathByTrimmingFromLength(path, start, maximumError), length, maximumError);
}

PathPtr bezierPathByTrimmingFromBothEnds(const PathPtr& path, double amount, double maximumError)
{
    double total = lengthWithMaximumError(*path, maximumError);
    return bezierPathByTrimmingFromLength(path, amount, total - 2 * amount, maximumError);
}

PathPtr bezierPathByTrimmingFromCentre(const PathPtr& path, double amount, double maximumError)
{
    double total = lengthWithMaximumError(*path, maximumError);
    auto out = std::make_shared<BezierPath>(*bezierPathByTrimmingToLength(path, total / 2 - amount / 2, maximumError));
    out->appendBezierPath(*bezierPathByTrimmingFromLength(path, total / 2 + amount / 2, maximumError));
    return out;
}

Point pointOnPathAtLength(const BezierPath& path, double length, double* slope)
{
    if (path.elementCount() < 2)
        return {};
    if (!(length > 0)) {
        Point first = ZORPathElements::onPathPoint(path, 0);
        if (slope)
            *slope = QFAngleBetweenPoints(first, ZORPathElements::firstAssociatedPoint(path, 1));
        return first;
    }
    auto trimmed = trimmedToLength(path, length, DefaultMaximumError);
    const BezierPath& walked = trimmed ? *trimmed : path;
    if (walked.elementCount() < 2) {
        if (slope)
            *slope = 1.0;
        return {};
    }
    auto last = walked.elementCount() - 1;
    Point point = ZORPathElements::onPathPoint(walked, last);
    if (slope) {
        if (ZORPathElements::kindAt(walked, last) == Kind::CurveTo)
            *slope = QFAngleBetweenPoints(walked.associatedPoints(last)[1], point);
        else
            *slope = QFAngleBetweenPoints(ZORPathElements::onPathPoint(walked, last - 1), point);
    }
    return point;
}

}

namespace ZORPathLengthCursor {

using ZORCubicLength::Cubic;

Cursor::Cursor(const BezierPath& path)
    : m_path(path)
    , m_total(ZORNSBezierPathExtension::length(path))
    , m_walkable(!path.isEmpty() && ZORPathElements::kindAt(path, 0) == Kind::MoveTo)
{
}

void Cursor::rewind()
{
    m_index = 0;
    m_before = 0;
    m_current = m_start = {};
    m_elementLength.reset();
}

bool Cursor::walkTo(double length)
{
    if (length < m_lastLength)
        rewind();
    m_lastLength = length;
    for (; m_index < m_path.elementCount(); ++m_index, m_elementLength.reset()) {
        auto kind = ZORPathElements::kindAt(m_path, m_index);
        if (kind == Kind::MoveTo) {
            m_current = m_start = m_path.associatedPoints(m_index)[0];
            continue;
        }
        if (!m_elementLength) {
            if (kind == Kind::CurveTo) {
                auto pts = m_path.associatedPoints(m_index);
                m_elementLength = ZORCubicLength::length(
                    { m_current, pts[0], pts[1], pts[2] }, ZORNSBezierPathExtension::DefaultMaximumError);
            } else {
                Point to = kind == Kind::LineTo ? m_path.associatedPoints(m_index)[0] : m_start;
                m_elementLength = QFDistanceBetweenPoints(m_current, to);
            }
        }
        if (length < m_before + *m_elementLength)
            return true;
        m_before += *m_elementLength;
        m_current = kind == Kind::CurveTo ? m_path.associatedPoints(m_index)[2]
            : kind == Kind::LineTo        ? m_path.associatedPoints(m_index)[0]
                                          : m_start;
    }
    return false;
}

// Walks as trimming to the length does (trimmedToLength), without building the trimmed path: the point and slope
// are those of the trimmed path's last element, the piece cut from the element the length ends in. The trimmed path
// copies every element before that one, so the point before the piece is where the pen stands.
Point Cursor::pointAtLength(double length, double* slope)
{
    if (!m_walkable || m_path.elementCount() < 2 || !(length > 0) || length >= m_total || !walkTo(length))
        return ZORNSBezierPathExtension::pointOnPathAtLength(m_path, length, slope);
    auto kind = ZORPathElements::kindAt(m_path, m_index);
    if (kind == Kind::CurveTo) {
        auto pts = m_path.associatedPoints(m_index);
        auto left = ZORCubicLength::splitAtLength(
            { m_current, pts[0], pts[1], pts[2] }, length - m_before, ZORNSBezierPathExtension::DefaultMaximumError)
                        .first;
        if (slope)
            *slope = QFAngleBetweenPoints(left.p2, left.p3);
        return left.p3;
    }
    Point to = kind == Kind::LineTo ? m_path.associatedPoints(m_index)[0] : m_start;
    Point p = QFInterpolatePoints(m_current, to, (length - m_before) / *m_elementLength);
    if (slope)
        *slope = QFAngleBetweenPoints(m_current, p);
    return p;
}

double Cursor::lengthAfter(std::int64_t element)
{
    if (m_lengthsAfter.empty()) {
        const auto count = m_path.elementCount();
        m_lengthsAfter.assign(static_cast<std::size_t>(count) + 1, 0);
        Point current, start;
        std::vector<double> lengths(static_cast<std::size_t>(count), 0);
        for (std::int64_t i = 0; i < count; ++i) {
            auto kind = ZORPathElements::kindAt(m_path, i);
            if (kind == Kind::MoveTo) {
                current = start = m_path.associatedPoints(i)[0];
            } else if (kind == Kind::CurveTo) {
                auto pts = m_path.associatedPoints(i);
                lengths[static_cast<std::size_t>(i)] = ZORCubicLength::length(
                    { current, pts[0], pts[1], pts[2] }, ZORNSBezierPathExtension::DefaultMaximumError);
                current = pts[2];
            } else {
                Point to = kind == Kind::LineTo ? m_path.associatedPoints(i)[0] : start;
                lengths[static_cast<std::size_t>(i)] = QFDistanceBetweenPoints(current, to);
                current = to;
            }
        }
        for (auto i = count; i-- > 0;)
            m_lengthsAfter[static_cast<std::size_t>(i)]
                = m_lengthsAfter[static_cast<std::size_t>(i) + 1] + lengths[static_cast<std::size_t>(i)];
    }
    return m_lengthsAfter[static_cast<std::size_t>(element)];
}

// The rest begins with a move to the cut in the element the length ends in, then the rest of that element; every
// later element keeps its length in it (a close in the cut subpath becomes a line of the same length).
std::optional<Cursor::Rest> Cursor::restFromLength(double length)
{
    if (!m_walkable || !(length > 0) || !walkTo(length)) {
        auto rest
            = ZORNSBezierPathExtension::bezierPathByTrimmingFromLength(std::make_shared<BezierPath>(m_path), length);
        if (rest->isEmpty())
            return std::nullopt;
        return Rest { rest->associatedPoints(0)[0], ZORNSBezierPathExtension::slopeStartingPath(*rest),
            ZORNSBezierPathExtension::length(*rest) };
    }
    const double after = lengthAfter(m_index + 1);
    auto kind = ZORPathElements::kindAt(m_path, m_index);
    if (kind == Kind::CurveTo) {
        auto pts = m_path.associatedPoints(m_index);
        auto right = ZORCubicLength::splitAtLength(
            { m_current, pts[0], pts[1], pts[2] }, length - m_before, ZORNSBezierPathExtension::DefaultMaximumError)
                         .second;
        return Rest { right.p0, QFAngleBetweenPoints(right.p0, right.p1),
            ZORCubicLength::length(right, ZORNSBezierPathExtension::DefaultMaximumError) + after };
    }
    Point to = kind == Kind::LineTo ? m_path.associatedPoints(m_index)[0] : m_start;
    Point cut = QFInterpolatePoints(m_current, to, (length - m_before) / *m_elementLength);
    return Rest { cut, QFAngleBetweenPoints(cut, to), QFDistanceBetweenPoints(cut, to) + after };
}

// The rest of the path from the cut is the move to the cut, the rest of the element cut, then every later element as
// trimming from a length copies it (a close of the cut subpath as a line back to its start, later closes as a line
// and a close). Trimming that rest to the length walks it from the front, so only the elements the stretch covers are
// made; only whether the stretch reaches the rest's end needs the rest's length, which is summed from the end and,
// where that decides by a hair, measured as trimming does.
BezierPath Cursor::stretch(double start, double length)
{
    const auto slow = [&] {
        return *ZORNSBezierPathExtension::bezierPathByTrimmingFromLength(
            std::make_shared<BezierPath>(m_path), start, length, ZORNSBezierPathExtension::DefaultMaximumError);
    };
    if (!m_walkable || !(start > 0) || !walkTo(start) || !(length > 0))
        return slow();
    BezierPath out(m_path);
    out.removeAllPoints();

    // The rest's first piece.
    const auto kind = ZORPathElements::kindAt(m_path, m_index);
    ZORCubicLength::Cubic piece {};
    Point cut, to;
    double restLength = lengthAfter(m_index + 1);
    if (kind == Kind::CurveTo) {
        auto pts = m_path.associatedPoints(m_index);
        piece = ZORCubicLength::splitAtLength(
            { m_current, pts[0], pts[1], pts[2] }, start - m_before, ZORNSBezierPathExtension::DefaultMaximumError)
                    .second;
        cut = piece.p0;
        restLength += ZORCubicLength::length(piece, ZORNSBezierPathExtension::DefaultMaximumError);
    } else {
        to = kind == Kind::LineTo ? m_path.associatedPoints(m_index)[0] : m_start;
        cut = QFInterpolatePoints(m_current, to, (start - m_before) / *m_elementLength);
        restLength += QFDistanceBetweenPoints(cut, to);
    }
    if (std::fabs(length - restLength) <= 1e-9 * (1 + restLength))
        return slow();
    if (length >= restLength) {
        // The whole rest: as trimming from the start copies it.
        return *ZORNSBezierPathExtension::bezierPathByTrimmingFromLength(
            std::make_shared<BezierPath>(m_path), start, ZORNSBezierPathExtension::DefaultMaximumError);
    }

    // Trimming the rest to the length (trimmedToLength), fed the rest's elements one by one.
    double total = 0;
    Point current = cut, subpathStart = cut;
    out.moveToPoint(cut);
    bool done = false;
    auto curveTo = [&](const ZORCubicLength::Cubic& c) {
        const double d = ZORCubicLength::length(c, ZORNSBezierPathExtension::DefaultMaximumError);
        if (length < total + d) {
            auto left
                = ZORCubicLength::splitAtLength(c, length - total, ZORNSBezierPathExtension::DefaultMaximumError).first;
            out.curveToPoint(left.p3, left.p1, left.p2);
            done = true;
            return;
        }
        out.curveToPoint(c.p3, c.p1, c.p2);
        total += d;
        current = c.p3;
    };
    auto lineTo = [&](Point p, bool isClose) {
        const Point target = isClose ? subpathStart : p;
        const double d = QFDistanceBetweenPoints(current, target);
        if (length < total + d) {
            out.lineToPoint(QFInterpolatePoints(current, target, (length - total) / d));
            done = true;
            return;
        }
        if (!isClose)
            out.lineToPoint(target);
        else if (!out.isEmpty())
            out.closePath();
        total += d;
        current = target;
    };
    if (kind == Kind::CurveTo)
        curveTo(piece);
    else
        lineTo(to, false);
    // The original subpath's start, for closes after the cut; whether the rest's subpath began with its own move.
    Point originalStart = m_start;
    bool wholeSubpath = false;
    for (auto i = m_index + 1; !done && i < m_path.elementCount(); ++i) {
        const auto k = ZORPathElements::kindAt(m_path, i);
        if (k == Kind::MoveTo) {
            originalStart = m_path.associatedPoints(i)[0];
            current = subpathStart = originalStart;
            out.moveToPoint(current);
            wholeSubpath = true;
        } else if (k == Kind::CurveTo) {
            auto pts = m_path.associatedPoints(i);
            curveTo({ current, pts[0], pts[1], pts[2] });
        } else {
            const Point target = k == Kind::LineTo ? m_path.associatedPoints(i)[0] : originalStart;
            lineTo(target, false);
            if (!done && k == Kind::ClosePath && wholeSubpath)
                lineTo(target, true);
        }
    }
    return out;
}

}
