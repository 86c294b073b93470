#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"

#include "PathTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using namespace pathtest;
using namespace ZORNSBezierPathExtension;
using gfx::BezierPath;
using gfx::Point;

constexpr double Kappa = 0.5522847498;
// Lengths measured with the default maximum error are held to this against closed forms.
constexpr double LengthTolerance = 0.05;

std::shared_ptr<BezierPath> makeLine(Point a, Point b)
{
    auto path = BezierPath::bezierPath();
    path->moveToPoint(a);
    path->lineToPoint(b);
    return path;
}

// A counter-clockwise circle of four cubics, starting at (cx + r, cy).
std::shared_ptr<BezierPath> circle(Point c, double r)
{
    return BezierPath::bezierPathWithOvalInRect({ c.x - r, c.y - r, 2 * r, 2 * r });
}

std::shared_ptr<BezierPath> quarterArc(double r)
{
    auto path = BezierPath::bezierPath();
    path->moveToPoint({ r, 0 });
    path->curveToPoint({ 0, r }, { r, Kappa * r }, { Kappa * r, r });
    return path;
}

double distanceToCircle(Point p, Point c, double r)
{
    return std::fabs(std::hypot(p.x - c.x, p.y - c.y) - r);
}

TEST(ZORNSBezierPathLength, LengthsMatchClosedForms)
{
    EXPECT_EQ(length(*makeLine({ 0, 0 }, { 0.1, 0.1 })), static_cast<double>(std::hypot(0.1f, 0.1f)))
        << "a straight distance is single precision";
    EXPECT_EQ(length(*makeLine({ 1, 1 }, { 4, 5 })), 5);
    // The quarter-circle cubic of radius 100 measures 157.10 (the cubic runs a hair outside the circle).
    EXPECT_NEAR(length(*quarterArc(100)), 157.10, 0.01);
    // Four such cubics run 1.4e-4 longer than the circle they stand for.
    for (double r : { 1.0, 10.0, 250.0 }) {
        EXPECT_NEAR(length(*circle({ 5, 5 }, r)), 2 * Pi * r * 1.00014, std::max(LengthTolerance, r * 1e-4)) << r;
        EXPECT_NEAR(lengthWithMaximumError(*circle({ 5, 5 }, r), 1e-4), 2 * Pi * r * 1.00014, r * 3e-5) << r;
    }
    // A curve with its control points on its chord measures the chord.
    auto straight = BezierPath::bezierPath();
    straight->moveToPoint({ 0, 0 });
    straight->curveToPoint({ 30, 40 }, { 6, 8 }, { 24, 32 });
    EXPECT_NEAR(length(*straight), 50, 1e-4);
    // A closed square measures all four sides, the close included.
    EXPECT_EQ(length(*BezierPath::bezierPathWithRect({ 0, 0, 10, 10 })), 40);
}

TEST(ZORNSBezierPathLength, ElementLengthsAndRuns)
{
    auto path = BezierPath::bezierPathWithRect({ 0, 0, 10, 10 });
    path->appendBezierPathWithRect({ 100, 100, 3, 4 });
    EXPECT_EQ(lengthOfElement(*path, -1), -1);
    EXPECT_EQ(lengthOfElement(*path, path->elementCount()), -1);
    EXPECT_EQ(lengthOfElement(*path, 0), 0);
    EXPECT_EQ(lengthOfElement(*path, 1), 10);
    EXPECT_EQ(lengthOfElement(*path, 4), 10) << "the first close returns to its start";
    EXPECT_EQ(lengthOfElement(*path, 5), 0) << "a move";
    // The second subpath's close measures back to its own start, (100, 104) to (100, 100).
    EXPECT_EQ(lengthOfElement(*path, 9), 4);
    EXPECT_EQ(lengthOfPathFromElement(*path, 0, 4), 40);
    EXPECT_EQ(lengthOfPathFromElement(*path, -5, 99), 54);
    EXPECT_EQ(lengthOfPathFromElement(*path, 6, 5), 0);
    EXPECT_NEAR(lengthOfElement(*quarterArc(100), 1), 157.10, 0.01);
}

TEST(ZORNSBezierPathLength, TrimmingKeepsTheRequestedStretch)
{
    auto path = makeLine({ 0, 0 }, { 100, 0 });
    EXPECT_EQ(bezierPathByTrimmingToLength(path, 100), path) << "nothing cut: the path itself";
    EXPECT_EQ(bezierPathByTrimmingToLength(path, 150), path);
    EXPECT_EQ(bezierPathByTrimmingFromLength(path, 0), path);
    auto head = bezierPathByTrimmingToLength(path, 30);
    EXPECT_EQ(head->elementCount(), 2);
    EXPECT_EQ(head->associatedPoints(1)[0], (Point { 30, 0 }));
    auto tail = bezierPathByTrimmingFromLength(path, 30);
    EXPECT_EQ(tail->associatedPoints(0)[0], (Point { 30, 0 }));
    EXPECT_EQ(tail->associatedPoints(1)[0], (Point { 100, 0 }));
    EXPECT_TRUE(bezierPathByTrimmingFromLength(path, 100)->isEmpty());
    // A length of zero or less keeps nothing but where the path starts.
    for (double l : { 0.0, -20.0 }) {
        auto none = bezierPathByTrimmingToLength(path, l);
        ASSERT_EQ(none->elementCount(), 1) << l;
        EXPECT_EQ(none->associatedPoints(0)[0], (Point { 0, 0 }));
        EXPECT_EQ(length(*none), 0);
    }
    auto middle = bezierPathByTrimmingFromLength(path, 20, 50, 0.1);
    EXPECT_EQ(middle->associatedPoints(0)[0], (Point { 20, 0 }));
    EXPECT_EQ(middle->associatedPoints(1)[0], (Point { 70, 0 })) << "the second value is a length";
    auto ends = bezierPathByTrimmingFromBothEnds(path, 10);
    EXPECT_EQ(ends->associatedPoints(0)[0], (Point { 10, 0 }));
    EXPECT_EQ(ends->associatedPoints(1)[0], (Point { 90, 0 }));
    auto gap = bezierPathByTrimmingFromCentre(path, 20);
    ASSERT_EQ(gap->elementCount(), 4);
    EXPECT_EQ(gap->associatedPoints(1)[0], (Point { 40, 0 }));
    EXPECT_EQ(gap->associatedPoints(2)[0], (Point { 60, 0 }));
    // Nothing cut from the centre: two halves covering the whole.
    EXPECT_EQ(length(*bezierPathByTrimmingFromCentre(path, 0)), 100);
}

TEST(ZORNSBezierPathLength, TrimmingCurvesAndClosedPathsMeasuresWhatIsLeft)
{
    const Point c { 50, 50 };
    auto ring = circle(c, 40);
    double total = length(*ring);
    for (double l : { 10.0, 62.8, 100.0, 200.0 }) {
        auto head = bezierPathByTrimmingToLength(ring, l);
        auto rest = bezierPathByTrimmingFromLength(ring, l);
        EXPECT_NEAR(length(*head), l, 0.2) << l;
        EXPECT_NEAR(length(*rest), total - l, 0.2) << l;
        for (auto* part : { head.get(), rest.get() }) {
            for (std::int64_t i = 0; i < part->elementCount(); ++i) {
                if (part->elementAtIndex(i) != gfx::BezierPathElement::ClosePath) {
                    EXPECT_LT(distanceToCircle(part->associatedPoints(i).back(), c, 40), 0.05) << l;
                }
            }
        }
    }
    // The square's rest after 5: it ends back at its start corner and does not close over the cut-off piece.
    auto square = BezierPath::bezierPathWithRect({ 0, 0, 10, 10 });
    auto rest = bezierPathByTrimmingFromLength(square, 5);
    EXPECT_EQ(length(*rest), 35);
    EXPECT_EQ(rest->associatedPoints(rest->elementCount() - 1)[0], (Point { 0, 0 }));
    // A whole later subpath is copied closed.
    square->appendBezierPathWithRect({ 20, 0, 10, 10 });
    auto both = bezierPathByTrimmingFromLength(square, 5);
    EXPECT_EQ(length(*both), 75);
    EXPECT_EQ(both->elementAtIndex(both->elementCount() - 1), gfx::BezierPathElement::ClosePath);
    // Trimming into the close of a square ends on the closing side.
    auto head = bezierPathByTrimmingToLength(BezierPath::bezierPathWithRect({ 0, 0, 10, 10 }), 35);
    EXPECT_EQ(head->associatedPoints(head->elementCount() - 1)[0], (Point { 0, 5 }));
}

TEST(ZORNSBezierPathLength, PointsAndSlopesAlongPaths)
{
    double slope = -9;
    EXPECT_EQ(pointOnPathAtLength(BezierPath(), 5, &slope), (Point {}));
    EXPECT_EQ(slope, -9) << "too short a path writes no slope";

    EXPECT_EQ(pointOnPathAtLength(*makeLine({ 0, 0 }, { 10, 0 }), 0, &slope), (Point { 0, 0 }));
    EXPECT_EQ(slope, 0);
    pointOnPathAtLength(*makeLine({ 0, 0 }, { 0, 10 }), 0, &slope);
    EXPECT_NEAR(slope, 1.5708, 1e-4);
    EXPECT_EQ(pointOnPathAtLength(*makeLine({ 0, 0 }, { 0, 10 }), 4, &slope), (Point { 0, 4 }));
    EXPECT_NEAR(slope, Pi / 2, 1e-6);
    EXPECT_EQ(pointOnPathAtLength(*makeLine({ 0, 0 }, { 0, 10 }), 40), (Point { 0, 10 })) << "past the end";

    // Around a circle the point stays on it and the slope is the tangent: position angle plus a quarter turn.
    const Point c { 0, 0 };
    const double r = 100;
    auto ring = circle(c, r);
    for (double d : { 1.0, 50.0, 157.0, 300.0, 500.0, 620.0 }) {
        Point p = pointOnPathAtLength(*ring, d, &slope);
        EXPECT_LT(distanceToCircle(p, c, r), 0.05) << d;
        double at = std::atan2(p.y, p.x);
        EXPECT_NEAR(std::remainder(slope - (at + Pi / 2), 2 * Pi), 0, 0.01) << d;
        EXPECT_NEAR(std::remainder(at - d / r, 2 * Pi), 0, 0.003) << "the arc length sets the angle, " << d;
    }
}

}
