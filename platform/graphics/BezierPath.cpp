#include "platform/graphics/BezierPath.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/detail/BezierPathCache.h"

#include <fmt/format.h>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace gfx {

FND_REGISTER_CLASS(BezierPath, fnd::Object)

namespace {

// Class-wide defaults; drawing runs on one thread at a time, but a loader thread may create paths, so keep them
// atomic.
struct Defaults {
    std::atomic<double> lineWidth { 1.0 };
    std::atomic<double> flatness { 0.6 };
    std::atomic<LineCapStyle> cap { LineCapStyle::Butt };
    std::atomic<LineJoinStyle> join { LineJoinStyle::Miter };
    std::atomic<double> miterLimit { 10.0 };
    std::atomic<WindingRule> winding { WindingRule::NonZero };
};

Defaults& defaults()
{
    static Defaults d;
    return d;
}

}

BezierPath::BezierPath()
    : m_lineWidth(defaults().lineWidth)
    , m_lineCap(defaults().cap)
    , m_lineJoin(defaults().join)
    , m_miterLimit(defaults().miterLimit)
    , m_windingRule(defaults().winding)
    , m_flatness(defaults().flatness)
{
}

BezierPath::BezierPath(const BezierPath& other)
    : fnd::Object()
    , m_kinds(other.m_kinds)
    , m_points(other.m_points)
    , m_offsets(other.m_offsets)
    , m_subpathStart(other.m_subpathStart)
    , m_hasCurrentPoint(other.m_hasCurrentPoint)
    , m_lineWidth(other.m_lineWidth)
    , m_lineCap(other.m_lineCap)
    , m_lineJoin(other.m_lineJoin)
    , m_miterLimit(other.m_miterLimit)
    , m_windingRule(other.m_windingRule)
    , m_flatness(other.m_flatness)
    , m_dash(other.m_dash)
    , m_dashPhase(other.m_dashPhase)
{
}

BezierPath& BezierPath::operator=(const BezierPath& other)
{
    if (this != &other) {
        BezierPath copy(other);
        *this = std::move(copy);
    }
    return *this;
}

BezierPath::BezierPath(BezierPath&& other) noexcept
    : BezierPath()
{
    *this = std::move(other);
}

BezierPath& BezierPath::operator=(BezierPath&& other) noexcept
{
    m_kinds = std::move(other.m_kinds);
    m_points = std::move(other.m_points);
    m_offsets = std::move(other.m_offsets);
    m_subpathStart = other.m_subpathStart;
    m_hasCurrentPoint = other.m_hasCurrentPoint;
    m_lineWidth = other.m_lineWidth;
    m_lineCap = other.m_lineCap;
    m_lineJoin = other.m_lineJoin;
    m_miterLimit = other.m_miterLimit;
    m_windingRule = other.m_windingRule;
    m_flatness = other.m_flatness;
    m_dash = std::move(other.m_dash);
    m_dashPhase = other.m_dashPhase;
    m_cache = std::move(other.m_cache);
    other.m_kinds.clear();
    other.m_points.clear();
    other.m_offsets.clear();
    other.m_hasCurrentPoint = false;
    return *this;
}

BezierPath::~BezierPath() = default;

std::shared_ptr<BezierPath> BezierPath::bezierPath()
{
    return std::make_shared<BezierPath>();
}

std::shared_ptr<BezierPath> BezierPath::bezierPathWithRect(const Rect& r)
{
    auto path = bezierPath();
    path->appendBezierPathWithRect(r);
    return path;
}

std::shared_ptr<BezierPath> BezierPath::bezierPathWithOvalInRect(const Rect& r)
{
    auto path = bezierPath();
    path->appendBezierPathWithOvalInRect(r);
    return path;
}

std::shared_ptr<BezierPath> BezierPath::bezierPathWithRoundedRect(const Rect& r, double xRadius, double yRadius)
{
    auto path = bezierPath();
    path->appendBezierPathWithRoundedRect(r, xRadius, yRadius);
    return path;
}

void BezierPath::invalidate()
{
    m_cache.reset();
}

void BezierPath::append(BezierPathElement kind, std::initializer_list<Point> points)
{
    invalidate();
    m_kinds.push_back(kind);
    m_offsets.push_back(static_cast<std::uint32_t>(m_points.size()));
    m_points.insert(m_points.end(), points.begin(), points.end());
}

void BezierPath::requireCurrentPoint(const char* operation) const
{
    if (!m_hasCurrentPoint)
        throw fnd::Exception(fnd::ExceptionName::Generic, fnd::String(fmt::format("{}: no current point", operation)));
}

void BezierPath::moveToPoint(Point p)
{
    append(BezierPathElement::MoveTo, { p });
    m_subpathStart = p;
    m_hasCurrentPoint = true;
}

void BezierPath::lineToPoint(Point p)
{
    requireCurrentPoint("lineToPoint");
    append(BezierPathElement::LineTo, { p });
}

void BezierPath::curveToPoint(Point end, Point control1, Point control2)
{
    requireCurrentPoint("curveToPoint");
    append(BezierPathElement::CurveTo, { control1, control2, end });
}

void BezierPath::closePath()
{
    // Closing with nothing open adds nothing.
    if (!m_hasCurrentPoint)
        return;
    append(BezierPathElement::ClosePath, {});
}

void BezierPath::relativeMoveToPoint(Point d)
{
    requireCurrentPoint("relativeMoveToPoint");
    Point c = currentPoint();
    moveToPoint({ c.x + d.x, c.y + d.y });
}

void BezierPath::relativeLineToPoint(Point d)
{
    requireCurrentPoint("relativeLineToPoint");
    Point c = currentPoint();
    lineToPoint({ c.x + d.x, c.y + d.y });
}

void BezierPath::relativeCurveToPoint(Point end, Point control1, Point control2)
{
    requireCurrentPoint("relativeCurveToPoint");
    Point c = currentPoint();
    curveToPoint(
        { c.x + end.x, c.y + end.y }, { c.x + control1.x, c.y + control1.y }, { c.x + control2.x, c.y + control2.y });
}

void BezierPath::removeAllPoints()
{
    invalidate();
    m_kinds.clear();
    m_points.clear();
    m_offsets.clear();
    m_hasCurrentPoint = false;
}

void BezierPath::appendBezierPath(const BezierPath& other)
{
    if (&other == this) {
        BezierPath copy(other);
        appendBezierPath(copy);
        return;
    }
    for (std::int64_t i = 0; i < other.elementCount(); ++i) {
        auto pts = other.associatedPoints(i);
        switch (other.m_kinds[i]) {
        case BezierPathElement::MoveTo:
            moveToPoint(pts[0]);
            break;
        case BezierPathElement::LineTo:
            // After a close the other path goes on from its subpath start, and so do we.
            lineToPoint(pts[0]);
            break;
        case BezierPathElement::CurveTo:
            curveToPoint(pts[2], pts[0], pts[1]);
            break;
        case BezierPathElement::ClosePath:
            closePath();
            break;
        }
    }
}

std::size_t BezierPath::pointOffset(std::int64_t index) const
{
    if (index < 0 || index >= elementCount())
        throw fnd::Exception::range(
            fnd::String(fmt::format("element index {} beyond bounds of {} elements", index, elementCount())));
    return m_offsets[static_cast<std::size_t>(index)];
}

BezierPathElement BezierPath::elementAtIndex(std::int64_t index) const
{
    pointOffset(index);
    return m_kinds[static_cast<std::size_t>(index)];
}

BezierPathElement BezierPath::elementAtIndex(std::int64_t index, Point* points) const
{
    auto pts = associatedPoints(index);
    if (points)
        std::copy(pts.begin(), pts.end(), points);
    return m_kinds[static_cast<std::size_t>(index)];
}

std::span<const Point> BezierPath::associatedPoints(std::int64_t index) const
{
    std::size_t offset = pointOffset(index);
    auto kind = m_kinds[static_cast<std::size_t>(index)];
    return { m_points.data() + offset, static_cast<std::size_t>(pointCountOf(kind)) };
}

void BezierPath::setAssociatedPoints(std::span<const Point> points, std::int64_t index)
{
    std::size_t offset = pointOffset(index);
    auto kind = m_kinds[static_cast<std::size_t>(index)];
    std::size_t n = std::min(points.size(), static_cast<std::size_t>(pointCountOf(kind)));
    invalidate();
    std::copy_n(points.begin(), n, m_points.begin() + static_cast<std::ptrdiff_t>(offset));
    // The subpath start after the last move may have moved; only a move's point can move it.
    if (kind != BezierPathElement::MoveTo)
        return;
    for (auto i = elementCount() - 1; i >= 0; --i) {
        if (m_kinds[static_cast<std::size_t>(i)] == BezierPathElement::MoveTo) {
            m_subpathStart = m_points[m_offsets[static_cast<std::size_t>(i)]];
            break;
        }
    }
}

Point BezierPath::currentPoint() const
{
    if (!m_hasCurrentPoint)
        throw fnd::Exception(fnd::ExceptionName::Generic, "currentPoint: no current point");
    if (m_kinds.back() == BezierPathElement::ClosePath)
        return m_subpathStart;
    return m_points.back();
}

void BezierPath::transformUsingAffineTransform(const AffineTransform& t)
{
    invalidate();
    for (auto& p : m_points)
        p = t.transformPoint(p);
    m_subpathStart = t.transformPoint(m_subpathStart);
}

void BezierPath::setFlatness(double f)
{
    if (f == m_flatness)
        return;
    m_flatness = f;
    invalidate();
}

void BezierPath::setLineDash(std::span<const double> pattern, double phase)
{
    m_dash.clear();
    bool any = false;
    for (double d : pattern) {
        double v = std::isfinite(d) && d > 0 ? d : 0;
        any = any || v > 0;
        m_dash.push_back(v);
    }
    if (!any)
        m_dash.clear();
    m_dashPhase = std::isfinite(phase) ? phase : 0;
}

double BezierPath::defaultLineWidth()
{
    return defaults().lineWidth;
}
void BezierPath::setDefaultLineWidth(double w)
{
    defaults().lineWidth = w;
}
double BezierPath::defaultFlatness()
{
    return defaults().flatness;
}
void BezierPath::setDefaultFlatness(double f)
{
    defaults().flatness = f;
}
LineCapStyle BezierPath::defaultLineCapStyle()
{
    return defaults().cap;
}
void BezierPath::setDefaultLineCapStyle(LineCapStyle s)
{
    defaults().cap = s;
}
LineJoinStyle BezierPath::defaultLineJoinStyle()
{
    return defaults().join;
}
void BezierPath::setDefaultLineJoinStyle(LineJoinStyle s)
{
    defaults().join = s;
}
double BezierPath::defaultMiterLimit()
{
    return defaults().miterLimit;
}
void BezierPath::setDefaultMiterLimit(double m)
{
    defaults().miterLimit = m;
}
WindingRule BezierPath::defaultWindingRule()
{
    return defaults().winding;
}
void BezierPath::setDefaultWindingRule(WindingRule r)
{
    defaults().winding = r;
}

void BezierPath::fill() const
{
    if (auto* context = GraphicsContext::current())
        context->fillPath(*this);
}

void BezierPath::stroke() const
{
    if (auto* context = GraphicsContext::current())
        context->strokePath(*this);
}

void BezierPath::addClip() const
{
    if (auto* context = GraphicsContext::current())
        context->clipToPath(*this);
}

void BezierPath::fillRect(const Rect& r)
{
    if (auto* context = GraphicsContext::current())
        context->fillRect(r);
}

void BezierPath::strokeRect(const Rect& r)
{
    BezierPath::bezierPathWithRect(r)->stroke();
}

void BezierPath::clipRect(const Rect& r)
{
    BezierPath::bezierPathWithRect(r)->addClip();
}

void BezierPath::strokeLineFromPoint(Point a, Point b)
{
    BezierPath path;
    path.moveToPoint(a);
    path.lineToPoint(b);
    path.stroke();
}

fnd::String BezierPath::description() const
{
    std::string out = fmt::format("BezierPath, {} elements", elementCount());
    static constexpr const char* names[] = { "moveto", "lineto", "curveto", "closepath" };
    for (std::int64_t i = 0; i < elementCount(); ++i) {
        out += fmt::format("\n  {}", names[static_cast<int>(m_kinds[static_cast<std::size_t>(i)])]);
        for (Point p : associatedPoints(i))
            out += fmt::format(" {} {}", p.x, p.y);
    }
    return fnd::String(out);
}

}
