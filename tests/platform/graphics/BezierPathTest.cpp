#include "platform/graphics/BezierPath.h"
#include "platform/foundation/runtime/Exception.h"

#include "GraphicsPrinters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>

using namespace gfx;

namespace {

// Element kinds as letters (M, L, C, Z), for comparing shapes at a glance.
std::string kinds(const BezierPath& path)
{
    std::string out;
    for (auto k : path.elementKinds())
        out += "MLCZ"[static_cast<int>(k)];
    return out;
}

double polylineLength(const BezierPath& flat)
{
    double length = 0;
    Point current, start;
    for (std::int64_t i = 0; i < flat.elementCount(); ++i) {
        auto kind = flat.elementAtIndex(i);
        if (kind == BezierPathElement::MoveTo) {
            start = current = flat.associatedPoints(i)[0];
            continue;
        }
        Point next = kind == BezierPathElement::ClosePath ? start : flat.associatedPoints(i)[0];
        length += std::hypot(next.x - current.x, next.y - current.y);
        current = next;
    }
    return length;
}

BezierPath quarterCircle(double r)
{
    BezierPath path;
    path.moveToPoint({ r, 0 });
    path.curveToPoint({ 0, r }, { r, r * BezierPath::Kappa }, { r * BezierPath::Kappa, r });
    return path;
}

}

TEST(BezierPath, ElementsCountsAndCurrentPoint)
{
    BezierPath path;
    EXPECT_THROW(path.lineToPoint({ 1, 1 }), fnd::Exception);
    EXPECT_THROW(path.currentPoint(), fnd::Exception);
    path.moveToPoint({ 1, 2 });
    path.relativeLineToPoint({ 10, 0 });
    path.relativeCurveToPoint({ 0, 10 }, { 5, 0 }, { 5, 10 });
    path.closePath();
    EXPECT_EQ(kinds(path), "MLCZ");
    // After a close the current point is the subpath's start, and drawing goes on from there.
    EXPECT_EQ(path.currentPoint(), (Point { 1, 2 }));
    path.relativeLineToPoint({ 0, -2 });
    EXPECT_EQ(path.currentPoint(), (Point { 1, 0 }));

    Point pts[3];
    EXPECT_EQ(path.elementAtIndex(2, pts), BezierPathElement::CurveTo);
    EXPECT_EQ(pts[0], (Point { 16, 2 }));
    EXPECT_EQ(pts[1], (Point { 16, 12 }));
    EXPECT_EQ(pts[2], (Point { 11, 12 }));
    EXPECT_TRUE(path.associatedPoints(3).empty());
    EXPECT_THROW(path.elementAtIndex(5), fnd::Exception);

    path.removeAllPoints();
    EXPECT_TRUE(path.isEmpty());
    EXPECT_FALSE(path.hasCurrentPoint());
}

TEST(BezierPath, EditingAnElementDropsCachedBounds)
{
    BezierPath path;
    path.moveToPoint({ 0, 0 });
    path.lineToPoint({ 10, 0 });
    path.lineToPoint({ 10, 10 });
    EXPECT_EQ(path.bounds(), (Rect { 0, 0, 10, 10 }));
    const Point moved[] = { { 30, -5 } };
    path.setAssociatedPoints(moved, 1);
    EXPECT_EQ(path.bounds(), (Rect { 0, -5, 30, 15 }));
    EXPECT_EQ(path.bezierPathByFlatteningPath().associatedPoints(1)[0], (Point { 30, -5 }));
    // A curve takes three points; extra ones are ignored.
    BezierPath curve = quarterCircle(10);
    const Point three[] = { { 1, 1 }, { 2, 2 }, { 3, 3 }, { 99, 99 } };
    curve.setAssociatedPoints(three, 1);
    EXPECT_EQ(curve.controlPointBounds(), (Rect { 1, 0, 9, 3 }));
    path.transformUsingAffineTransform(AffineTransform::scaling(2, 1));
    EXPECT_EQ(path.bounds(), (Rect { 0, -5, 60, 15 }));
}

TEST(BezierPath, TightBoundsFollowCurveExtrema)
{
    auto oval = BezierPath::bezierPathWithOvalInRect({ 10, 20, 100, 50 });
    EXPECT_TRUE(nearlyEqual(oval->bounds(), Rect { 10, 20, 100, 50 }, 1e-9)) << oval->bounds().size.width;
    // A curve bulging above its end points: its controls reach y = 10, the curve only 7.5.
    BezierPath bump;
    bump.moveToPoint({ 0, 0 });
    bump.curveToPoint({ 10, 0 }, { 0, 10 }, { 10, 10 });
    EXPECT_EQ(bump.controlPointBounds(), (Rect { 0, 0, 10, 10 }));
    EXPECT_NEAR(bump.bounds().height(), 7.5, 1e-12);
    EXPECT_EQ(BezierPath().bounds(), ZeroRect);
}

TEST(BezierPath, FlatteningStaysWithinTheFlatness)
{
    // The cubic quarter circle of radius 100 measures 157.10.
    BezierPath arc = quarterCircle(100);
    for (double flatness : { 0.6, 0.1, 0.01 }) {
        arc.setFlatness(flatness);
        BezierPath flat = arc.bezierPathByFlatteningPath();
        EXPECT_EQ(kinds(flat).find('C'), std::string::npos);
        EXPECT_NEAR(polylineLength(flat), 157.10, flatness * 2 + 0.01) << flatness;
        // Every vertex lies on the circle up to the cubic's own error (0.027 % of the radius).
        for (std::int64_t i = 0; i < flat.elementCount(); ++i) {
            Point p = flat.associatedPoints(i)[0];
            EXPECT_NEAR(std::hypot(p.x, p.y), 100, 0.03);
        }
        // Mid-segment points stay within the flatness of the circle.
        Point prev = flat.associatedPoints(0)[0];
        for (std::int64_t i = 1; i < flat.elementCount(); ++i) {
            Point p = flat.associatedPoints(i)[0];
            Point mid { (p.x + prev.x) / 2, (p.y + prev.y) / 2 };
            EXPECT_LE(100 - std::hypot(mid.x, mid.y), flatness + 0.03);
            prev = p;
        }
    }
    // The class default applies to new paths.
    double saved = BezierPath::defaultFlatness();
    EXPECT_EQ(saved, 0.6);
    BezierPath::setDefaultFlatness(5.0);
    EXPECT_EQ(BezierPath().flatness(), 5.0);
    BezierPath::setDefaultFlatness(saved);
    // Moves and closes survive.
    auto oval = BezierPath::bezierPathWithOvalInRect({ 0, 0, 10, 10 });
    std::string flat = kinds(oval->bezierPathByFlatteningPath());
    EXPECT_EQ(flat.front(), 'M');
    EXPECT_EQ(flat.back(), 'Z');
}

// The count a caller budgets with is the count it then gets. The arch from (0, 0) over (0, 10), (10, 10) to (10, 0)
// has second differences (10, -10) and (-10, -10), 14.142 long: ceil(sqrt(0.75 * 14.142 / t)) segments, 11 at
// t = 0.1 and 5 at the 0.6 an unusable tolerance stands for; a curve a hundred million times larger is held to
// 10,000.
TEST(BezierPath, FlattenedElementsAreCountedWithoutMakingThem)
{
    BezierPath arch;
    arch.moveToPoint({ 0, 0 });
    arch.curveToPoint({ 10, 0 }, { 0, 10 }, { 10, 10 });
    arch.lineToPoint({ 5, -5 });
    arch.closePath();
    BezierPath huge(arch);
    huge.transformUsingAffineTransform(AffineTransform::scaling(1e8, 1e8));
    const BezierPath empty;
    const struct {
        const BezierPath& path;
        double tolerance;
        std::int64_t elements;
    } cases[] = { { arch, 0.1, 14 }, { arch, 0, 8 }, { arch, NAN, 8 }, { huge, 0.1, 10003 }, { empty, 1, 0 } };
    for (const auto& c : cases) {
        EXPECT_EQ(c.path.flattenedElementCount(c.tolerance), c.elements) << c.tolerance;
        EXPECT_EQ(c.path.flattened(c.tolerance).elementCount(), c.elements) << c.tolerance;
    }
}

// A flattened path is made straight into its lists, not element by element: it must go on as the path it was made
// of would, its current point after a close at the closed subpath's start, and the elements handed over one at a time
// are its elements.
TEST(BezierPath, FlattenedPathsGoOnAsTheirOriginals)
{
    BezierPath path;
    path.moveToPoint({ 0, 0 });
    path.curveToPoint({ 10, 0 }, { 0, 10 }, { 10, 10 });
    path.closePath();
    path.lineToPoint({ 5, -5 }); // drawing on after the close, from (0, 0)
    path.moveToPoint({ 20, 20 });
    path.lineToPoint({ 30, 20 });
    path.closePath();
    BezierPath flat = path.flattened(0.1);
    EXPECT_EQ(kinds(flat), "MLLLLLLLLLLLZLMLZ");
    EXPECT_EQ(flat.currentPoint(), (Point { 20, 20 }));
    flat.lineToPoint({ 20, 30 });
    EXPECT_EQ(flat.associatedPoints(flat.elementCount() - 1)[0], (Point { 20, 30 }));
    flat.closePath();
    EXPECT_EQ(flat.currentPoint(), (Point { 20, 20 }));
    std::string visited;
    std::vector<Point> closedAt;
    path.forEachFlattenedElement(0.1, [&](BezierPathElement kind, Point p) {
        visited += "MLCZ"[static_cast<int>(kind)];
        if (kind == BezierPathElement::ClosePath)
            closedAt.push_back(p);
    });
    EXPECT_EQ(visited, "MLLLLLLLLLLLZLMLZ");
    EXPECT_EQ(closedAt, (std::vector<Point> { { 0, 0 }, { 20, 20 } }));
    EXPECT_FALSE(BezierPath().flattened(0.1).hasCurrentPoint());
}

TEST(BezierPath, WindingRulesDecideHoles)
{
    // Two squares one inside the other, drawn the same way round or opposite ways.
    for (bool opposite : { false, true }) {
        BezierPath path;
        path.appendBezierPathWithRect({ 0, 0, 10, 10 });
        BezierPath inner;
        inner.appendBezierPathWithRect({ 3, 3, 4, 4 });
        path.appendBezierPath(opposite ? inner.bezierPathByReversingPath() : inner);
        EXPECT_EQ(path.containsPoint({ 5, 5 }, WindingRule::NonZero), !opposite);
        EXPECT_FALSE(path.containsPoint({ 5, 5 }, WindingRule::EvenOdd));
        EXPECT_TRUE(path.containsPoint({ 1, 1 }, WindingRule::EvenOdd));
        EXPECT_FALSE(path.containsPoint({ 11, 5 }, WindingRule::NonZero));
    }
    // Open subpaths count as closed; curves are followed closely, not at the drawing flatness.
    BezierPath open;
    open.moveToPoint({ 0, 0 });
    open.lineToPoint({ 10, 0 });
    open.lineToPoint({ 0, 10 });
    EXPECT_TRUE(open.containsPoint({ 2, 2 }));
    auto circle = BezierPath::bezierPathWithOvalInRect({ -100, -100, 200, 200 });
    circle->setFlatness(50);
    EXPECT_TRUE(circle->containsPoint({ 0, 99.9 }));
    EXPECT_FALSE(circle->containsPoint({ 70.8, 70.8 }));
}

TEST(BezierPath, ArcsAroundACentre)
{
    struct Case {
        double start, end;
        bool clockwise;
        Point last;
        int curves;
    };
    const Case cases[] = {
        { 0, 90, false, { 0, 10 }, 1 },
        { 0, 90, true, { 0, 10 }, 3 }, // the long way round
        { 90, 0, false, { 10, 0 }, 3 },
        { 0, 360, false, { 10, 0 }, 4 },
        { 0, 45, false, { 7.0710678118654755, 7.0710678118654755 }, 1 },
        { 30, 30, false, { 8.660254037844387, 5 }, 0 },
    };
    for (const auto& c : cases) {
        BezierPath path;
        path.appendBezierPathWithArcWithCenter({ 0, 0 }, 10, c.start, c.end, c.clockwise);
        std::string expected(std::size_t(c.curves) + 1, 'C');
        expected[0] = 'M';
        EXPECT_EQ(kinds(path), expected) << c.start << " " << c.end;
        EXPECT_TRUE(nearlyEqual(path.currentPoint(), c.last, 1e-9)) << c.start << " " << c.end;
        // Every curve stays on the circle.
        BezierPath flat = path.flattened(0.001);
        for (std::int64_t i = 0; i < flat.elementCount(); ++i) {
            Point p = flat.associatedPoints(i)[0];
            EXPECT_NEAR(std::hypot(p.x, p.y), 10, 0.003);
        }
    }
    // With a current point the arc is joined by a line.
    BezierPath joined;
    joined.moveToPoint({ -5, 0 });
    joined.appendBezierPathWithArcWithCenter({ 0, 0 }, 10, 0, 90);
    EXPECT_EQ(kinds(joined), "MLC");
}

TEST(BezierPath, ArcFromPointTouchesBothLines)
{
    // A corner at (10, 0) between a line from the origin and a line up to (10, 10): radius 3 touches at (7, 0) and
    // (10, 3).
    BezierPath path;
    path.moveToPoint({ 0, 0 });
    path.appendBezierPathWithArcFromPoint({ 10, 0 }, { 10, 10 }, 3);
    EXPECT_EQ(kinds(path), "MLC");
    EXPECT_EQ(path.associatedPoints(1)[0], (Point { 7, 0 }));
    EXPECT_TRUE(nearlyEqual(path.currentPoint(), Point { 10, 3 }, 1e-12));
    // The arc keeps its distance 3 from the centre (7, 3).
    BezierPath flat = path.flattened(0.001);
    for (std::int64_t i = 2; i < flat.elementCount(); ++i) {
        Point p = flat.associatedPoints(i)[0];
        EXPECT_NEAR(std::hypot(p.x - 7, p.y - 3), 3, 0.002);
    }
    // Collinear points: a plain line to the corner.
    BezierPath straight;
    straight.moveToPoint({ 0, 0 });
    straight.appendBezierPathWithArcFromPoint({ 5, 0 }, { 10, 0 }, 2);
    EXPECT_EQ(kinds(straight), "ML");
    EXPECT_EQ(straight.currentPoint(), (Point { 5, 0 }));
    EXPECT_THROW(BezierPath().appendBezierPathWithArcFromPoint({ 1, 1 }, { 2, 0 }, 1), fnd::Exception);

    // The rounded rectangle built the way shapes do it, with arcs through the corners.
    BezierPath rounded;
    const Rect r { 0, 0, 40, 20 };
    rounded.moveToPoint({ r.midX(), r.maxY() });
    rounded.appendBezierPathWithArcFromPoint({ r.minX(), r.maxY() }, { r.minX(), r.minY() }, 5);
    rounded.appendBezierPathWithArcFromPoint({ r.minX(), r.minY() }, { r.maxX(), r.minY() }, 5);
    rounded.appendBezierPathWithArcFromPoint({ r.maxX(), r.minY() }, { r.maxX(), r.maxY() }, 5);
    rounded.appendBezierPathWithArcFromPoint({ r.maxX(), r.maxY() }, { r.minX(), r.maxY() }, 5);
    rounded.closePath();
    EXPECT_TRUE(nearlyEqual(rounded.bounds(), r, 1e-9));
    EXPECT_FALSE(rounded.containsPoint({ 0.5, 0.5 }));
    EXPECT_TRUE(rounded.containsPoint({ 2, 10 }));
}

TEST(BezierPath, ShapesHaveTheirElements)
{
    EXPECT_EQ(kinds(*BezierPath::bezierPathWithRect({ 0, 0, 1, 1 })), "MLLLZ");
    EXPECT_EQ(kinds(*BezierPath::bezierPathWithOvalInRect({ 0, 0, 1, 1 })), "MCCCCZ");
    EXPECT_EQ(kinds(*BezierPath::bezierPathWithRoundedRect({ 0, 0, 10, 10 }, 2, 2)), "MLCLCLCLCZ");
    EXPECT_EQ(kinds(*BezierPath::bezierPathWithRoundedRect({ 0, 0, 10, 10 }, 0, 2)), "MLLLZ");
    // Radii beyond half a side are clamped: a 10 × 4 rectangle with radius 9 is a stadium.
    auto stadium = BezierPath::bezierPathWithRoundedRect({ 0, 0, 10, 4 }, 9, 9);
    EXPECT_TRUE(nearlyEqual(stadium->bounds(), Rect { 0, 0, 10, 4 }, 1e-9));
    EXPECT_TRUE(stadium->containsPoint({ 2, 2 }));
    EXPECT_FALSE(stadium->containsPoint({ 0.2, 0.2 }));
    auto oval = BezierPath::bezierPathWithOvalInRect({ 0, 0, 20, 10 });
    EXPECT_EQ(oval->associatedPoints(0)[0], (Point { 20, 5 }));
}

TEST(BezierPath, ReversingKeepsShapesAndTurnsDirection)
{
    auto rect = BezierPath::bezierPathWithRect({ 0, 0, 10, 10 });
    BezierPath reversed = rect->bezierPathByReversingPath();
    EXPECT_EQ(kinds(reversed), "MLLLZ");
    EXPECT_EQ(reversed.associatedPoints(0)[0], (Point { 0, 10 }));
    EXPECT_EQ(reversed.associatedPoints(1)[0], (Point { 10, 10 }));
    EXPECT_EQ(reversed.associatedPoints(3)[0], (Point { 0, 0 }));

    // Open and curved subpaths, reversed twice, come back unchanged.
    BezierPath mixed;
    mixed.moveToPoint({ 0, 0 });
    mixed.curveToPoint({ 10, 0 }, { 1, 5 }, { 9, 5 });
    mixed.lineToPoint({ 10, 10 });
    mixed.moveToPoint({ 20, 20 });
    mixed.lineToPoint({ 30, 20 });
    mixed.closePath();
    BezierPath once = mixed.bezierPathByReversingPath();
    EXPECT_EQ(kinds(once), "MLCMLZ");
    EXPECT_EQ(once.associatedPoints(0)[0], (Point { 10, 10 }));
    EXPECT_EQ(once.associatedPoints(2)[0], (Point { 9, 5 }));
    EXPECT_EQ(once.associatedPoints(2)[2], (Point { 0, 0 }));
    BezierPath twice = once.bezierPathByReversingPath();
    EXPECT_EQ(twice.allPoints(), mixed.allPoints());
    EXPECT_EQ(twice.elementKinds(), mixed.elementKinds());
}

TEST(BezierPath, AttributesCopyAndDashesAreSanitised)
{
    BezierPath path;
    EXPECT_EQ(path.lineWidth(), 1.0);
    EXPECT_EQ(path.miterLimit(), 10.0);
    EXPECT_EQ(path.windingRule(), WindingRule::NonZero);
    path.setLineWidth(3);
    path.setLineJoinStyle(LineJoinStyle::Bevel);
    const double dash[] = { 4, -2, NAN };
    path.setLineDash(dash, 1);
    EXPECT_EQ(path.lineDash(), (std::vector<double> { 4, 0, 0 }));
    const double none[] = { 0, 0 };
    BezierPath copy(path);
    EXPECT_EQ(copy.lineWidth(), 3);
    EXPECT_EQ(copy.lineJoinStyle(), LineJoinStyle::Bevel);
    copy.setLineDash(none, 0);
    EXPECT_TRUE(copy.lineDash().empty());
    EXPECT_EQ(path.lineDash().size(), 3u);
}
