#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Geometry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace gfx {

enum class BezierPathElement : std::uint8_t { MoveTo = 0, LineTo = 1, CurveTo = 2, ClosePath = 3 };
enum class LineCapStyle { Butt = 0, Round = 1, Square = 2 };
enum class LineJoinStyle { Miter = 0, Round = 1, Bevel = 2 };
enum class WindingRule { NonZero = 0, EvenOdd = 1 };

// Points each element kind carries: a curve holds control point 1, control point 2 and its end point; a close none.
constexpr int pointCountOf(BezierPathElement e)
{
    return e == BezierPathElement::CurveTo ? 3 : e == BezierPathElement::ClosePath ? 0 : 1;
}

// A path as an indexed list of elements. Element indexes are stable and meaningful to callers, so the list is ours;
// the drawing context only renders it. After a close the current point is the start of the closed subpath.
class BezierPath : public fnd::Object {
    FND_OBJECT(BezierPath)
public:
    // Four cubics approximate a quarter circle with their handles at this fraction of the radius.
    static constexpr double Kappa = 0.5522847498;
    // The tolerance containsPoint flattens curves to: hit testing wants the true outline.
    static constexpr double HitTestFlatness = 0.01;

    BezierPath();
    BezierPath(const BezierPath& other);
    BezierPath& operator=(const BezierPath& other);
    BezierPath(BezierPath&&) noexcept;
    BezierPath& operator=(BezierPath&&) noexcept;
    ~BezierPath() override;

    static std::shared_ptr<BezierPath> bezierPath();
    static std::shared_ptr<BezierPath> bezierPathWithRect(const Rect& r);
    static std::shared_ptr<BezierPath> bezierPathWithOvalInRect(const Rect& r);
    static std::shared_ptr<BezierPath> bezierPathWithRoundedRect(const Rect& r, double xRadius, double yRadius);
    std::shared_ptr<BezierPath> copy() const { return std::make_shared<BezierPath>(*this); }

    // Construction. Line, curve and arc-from-point need a current point and raise a generic exception without one.
    void moveToPoint(Point p);
    void lineToPoint(Point p);
    void curveToPoint(Point end, Point control1, Point control2);
    void closePath();
    void relativeMoveToPoint(Point delta);
    void relativeLineToPoint(Point delta);
    void relativeCurveToPoint(Point end, Point control1, Point control2);
    void removeAllPoints();

    void appendBezierPath(const BezierPath& other);
    // Move, three lines, close: counter-clockwise from the origin corner.
    void appendBezierPathWithRect(const Rect& r);
    // Four cubics starting at (maxX, midY), counter-clockwise, closed.
    void appendBezierPathWithOvalInRect(const Rect& r);
    // Radii are clamped to half the width and height; zero radii give the plain rectangle.
    void appendBezierPathWithRoundedRect(const Rect& r, double xRadius, double yRadius);
    // Angles in degrees, counter-clockwise from +x in a y-up space; clockwise draws the other way round. A current
    // point is joined to the arc's start by a line, otherwise the arc starts with a move.
    void appendBezierPathWithArcWithCenter(
        Point center, double radius, double startAngle, double endAngle, bool clockwise = false);
    // The PostScript arct: a line from the current point to where a circle of the radius touches the line towards
    // point1, then the arc to where it touches the line from point1 to point2. The radius is not clamped; collinear
    // points or a zero radius give a line to point1.
    void appendBezierPathWithArcFromPoint(Point point1, Point point2, double radius);
    // A move to the first point and lines to the others.
    void appendBezierPathWithPoints(std::span<const Point> points);

    // Elements.
    std::int64_t elementCount() const { return static_cast<std::int64_t>(m_kinds.size()); }
    bool isEmpty() const { return m_kinds.empty(); }
    BezierPathElement elementAtIndex(std::int64_t index) const;
    // Copies the element's points (up to three) into points, which must have room for them.
    BezierPathElement elementAtIndex(std::int64_t index, Point* points) const;
    std::span<const Point> associatedPoints(std::int64_t index) const;
    // Replaces the element's points with as many of the given ones as its kind carries.
    void setAssociatedPoints(std::span<const Point> points, std::int64_t index);
    const std::vector<BezierPathElement>& elementKinds() const { return m_kinds; }
    const std::vector<Point>& allPoints() const { return m_points; }
    bool hasCurrentPoint() const { return m_hasCurrentPoint; }
    // Raises a generic exception on an empty path.
    Point currentPoint() const;

    // Geometry.
    void transformUsingAffineTransform(const AffineTransform& t);
    BezierPath bezierPathByReversingPath() const;
    // Curves replaced by lines within the path's flatness; moves and closes kept.
    BezierPath bezierPathByFlatteningPath() const;
    BezierPath flattened(double tolerance) const;
    // The elements flattened(tolerance) would hold, counted without making them (a caller choosing a tolerance for a
    // budget of points).
    std::int64_t flattenedElementCount(double tolerance) const;
    // The elements flattened(tolerance) would hold, handed over one at a time without making the path: a move or a
    // line with its point, a close with the start of its subpath.
    void forEachFlattenedElement(double tolerance, const std::function<void(BezierPathElement, Point)>& visit) const;
    // Tight bounds: on-curve points plus the extrema of each curve. The zero rectangle when empty.
    Rect bounds() const;
    Rect controlPointBounds() const;
    // Every subpath counts as closed; the path's winding rule decides.
    bool containsPoint(Point p) const;
    bool containsPoint(Point p, WindingRule rule) const;

    // Attributes, taken from the class defaults on creation.
    double lineWidth() const { return m_lineWidth; }
    void setLineWidth(double w) { m_lineWidth = w; }
    LineCapStyle lineCapStyle() const { return m_lineCap; }
    void setLineCapStyle(LineCapStyle s) { m_lineCap = s; }
    LineJoinStyle lineJoinStyle() const { return m_lineJoin; }
    void setLineJoinStyle(LineJoinStyle s) { m_lineJoin = s; }
    double miterLimit() const { return m_miterLimit; }
    void setMiterLimit(double m) { m_miterLimit = m; }
    WindingRule windingRule() const { return m_windingRule; }
    void setWindingRule(WindingRule r) { m_windingRule = r; }
    double flatness() const { return m_flatness; }
    void setFlatness(double f);
    const std::vector<double>& lineDash() const { return m_dash; }
    double lineDashPhase() const { return m_dashPhase; }
    // Negative lengths are taken as zero; an all-zero pattern means no dash.
    void setLineDash(std::span<const double> pattern, double phase);

    static double defaultLineWidth();
    static void setDefaultLineWidth(double w);
    static double defaultFlatness();
    static void setDefaultFlatness(double f);
    static LineCapStyle defaultLineCapStyle();
    static void setDefaultLineCapStyle(LineCapStyle s);
    static LineJoinStyle defaultLineJoinStyle();
    static void setDefaultLineJoinStyle(LineJoinStyle s);
    static double defaultMiterLimit();
    static void setDefaultMiterLimit(double m);
    static WindingRule defaultWindingRule();
    static void setDefaultWindingRule(WindingRule r);

    // Drawing through the current graphics context (nothing without one). A line width of 0 strokes the thinnest
    // line the device shows: one device pixel.
    void fill() const;
    void stroke() const;
    void addClip() const;
    static void fillRect(const Rect& r);
    static void strokeRect(const Rect& r);
    static void clipRect(const Rect& r);
    static void strokeLineFromPoint(Point a, Point b);

    fnd::String description() const override;

private:
    void append(BezierPathElement kind, std::initializer_list<Point> points);
    void requireCurrentPoint(const char* operation) const;
    void invalidate();
    std::size_t pointOffset(std::int64_t index) const;

    std::vector<BezierPathElement> m_kinds;
    std::vector<Point> m_points;
    // Index into m_points of each element's first point.
    std::vector<std::uint32_t> m_offsets;
    Point m_subpathStart;
    bool m_hasCurrentPoint { false };

    double m_lineWidth;
    LineCapStyle m_lineCap;
    LineJoinStyle m_lineJoin;
    double m_miterLimit;
    WindingRule m_windingRule;
    double m_flatness;
    std::vector<double> m_dash;
    double m_dashPhase { 0 };

    struct Cache;
    mutable std::unique_ptr<Cache> m_cache;
};

}
