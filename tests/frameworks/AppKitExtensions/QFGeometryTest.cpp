#include "frameworks/AppKitExtensions/QFGeometry.h"

#include "PathTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

namespace {

using namespace pathtest;
using gfx::Point;
using gfx::Rect;

TEST(QFGeometry, SnapAngleTo45ReducesFirstAndGivesBoundariesToTheLowerSector)
{
    EXPECT_EQ(QFSnapAngleTo45(22.5), 0);
    EXPECT_EQ(QFSnapAngleTo45(22.6), 45);
    EXPECT_EQ(QFSnapAngleTo45(67.5), 45);
    EXPECT_EQ(QFSnapAngleTo45(67.6), 90);
    EXPECT_EQ(QFSnapAngleTo45(337.5), 315);
    EXPECT_EQ(QFSnapAngleTo45(350), 0);
    EXPECT_EQ(QFSnapAngleTo45(-10), 0);
    EXPECT_EQ(QFSnapAngleTo45(-50), 315) << "negative angles count from 360";
    EXPECT_EQ(QFSnapAngleTo45(380), 0);
    EXPECT_EQ(QFSnapAngleTo45(400), 45) << "a turn and 40 degrees is 40 degrees";
    EXPECT_EQ(QFSnapAngleTo45(720 + 180), 180);
}

TEST(QFGeometry, AnglesAndDistancesAreSinglePrecision)
{
    EXPECT_EQ(QFAngleBetweenPoints({ 0, 0 }, { 0, 1 }), static_cast<double>(static_cast<float>(Pi / 2)));
    EXPECT_EQ(QFAngleBetweenPoints({ 1, 1 }, { 0, 1 }), static_cast<double>(static_cast<float>(Pi)));
    EXPECT_NEAR(QFTurnAngle({ 0, 0 }, { 1, 0 }, { 1, 1 }), -Pi / 2, 1e-6);
    EXPECT_EQ(QFDistanceBetweenPoints({ 0, 0 }, { 3, 4 }), 5);
    EXPECT_EQ(QFDistanceBetweenPoints({ 0, 0 }, { 0.1, 0.1 }), static_cast<double>(std::hypot(0.1f, 0.1f)));
    EXPECT_EQ(QFFractionAlongSegment({ 5, 5 }, { 2, 2 }, { 2, 2 }), 0) << "a segment without length";
    EXPECT_NEAR(QFFractionAlongSegment({ 2.5, 0 }, { 0, 0 }, { 10, 0 }), 0.25, 1e-7);
    EXPECT_TRUE(QFPointsEqualWithTolerance({ 1, 1 }, { 1.5, 0.5 }, 0.5));
    EXPECT_FALSE(QFPointsEqualWithTolerance({ 1, 1 }, { 1.6, 1 }, 0.5));
}

TEST(QFGeometry, SegmentIntersectionHitsOnlyWithinTheSegment)
{
    EXPECT_EQ(QFSegmentIntersection({ 0, 0 }, { 10, 10 }, { 0, 10 }, { 10, 0 }), (Point { 5, 5 }));
    // The second pair is an infinite line: its own ends do not limit the hit.
    EXPECT_EQ(QFSegmentIntersection({ 0, 0 }, { 10, 0 }, { 3, 5 }, { 3, 6 }), (Point { 3, 0 }));
    EXPECT_EQ(QFSegmentIntersection({ 0, 0 }, { 10, 0 }, { 12, -1 }, { 12, 1 }), QFNoSegmentIntersection);
    EXPECT_EQ(QFSegmentIntersection({ 0, 0 }, { 10, 0 }, { 0, 1 }, { 10, 1 }), (Point { -10000000.2, -999999.6 }))
        << "parallel";
}

TEST(QFGeometry, NearestPointOnSegmentIsTheClampedProjection)
{
    EXPECT_EQ(QFNearestPointOnSegment({ 4, 3 }, { 0, 0 }, { 10, 0 }), (Point { 4, 0 }));
    EXPECT_EQ(QFNearestPointOnSegment({ -4, 3 }, { 0, 0 }, { 10, 0 }), (Point { 0, 0 }));
    EXPECT_EQ(QFNearestPointOnSegment({ 14, 3 }, { 0, 0 }, { 10, 0 }), (Point { 10, 0 }));
    EXPECT_EQ(QFNearestPointOnSegment({ 14, 3 }, { 2, 2 }, { 2, 2 }), (Point { 2, 2 }));
}

TEST(QFGeometry, CircleCentreThroughThreePoints)
{
    EXPECT_EQ(QFCircleCentreThroughPoints({ 0, 0 }, { 2, 0 }, { 0, 2 }), (Point { 1, 1 }));
    Point c = QFCircleCentreThroughPoints({ 5, 0 }, { -5, 0 }, { 0, 5 });
    EXPECT_NEAR(c.x, 0, 1e-12);
    EXPECT_NEAR(c.y, 0, 1e-12);
    Point none = QFCircleCentreThroughPoints({ 0, 0 }, { 1, 1 }, { 2, 2 });
    EXPECT_TRUE(std::isnan(none.x) && std::isnan(none.y)) << "collinear points have no circle";
}

TEST(QFGeometry, SubdivisionSplitsACubicIntoTwoThatMeetAtThePoint)
{
    std::array<Point, 4> curve { Point { 0, 0 }, { 0, 10 }, { 10, 10 }, { 10, 0 } };
    std::array<Point, 4> left, right;
    Point mid = QFSubdivideBezier(curve, 0.5, left.data(), right.data());
    EXPECT_EQ(mid, (Point { 5, 7.5 }));
    EXPECT_EQ(left[0], curve[0]);
    EXPECT_EQ(left[1], (Point { 0, 5 }));
    EXPECT_EQ(left[2], (Point { 2.5, 7.5 }));
    EXPECT_EQ(left[3], mid);
    EXPECT_EQ(right[0], mid);
    EXPECT_EQ(right[1], (Point { 7.5, 7.5 }));
    EXPECT_EQ(right[2], (Point { 10, 5 }));
    EXPECT_EQ(right[3], curve[3]);
    // A quadratic (degree 2) subdivides the same way.
    std::array<Point, 3> quad { Point { 0, 0 }, { 5, 10 }, { 10, 0 } };
    EXPECT_EQ(QFSubdivideBezier(quad, 0.5), (Point { 5, 5 }));
}

TEST(QFGeometry, SlopeOfBezierFollowsTheTangent)
{
    Point p0 { 0, 0 }, p1 { 0, 10 }, p2 { 10, 10 }, p3 { 10, 0 };
    EXPECT_NEAR(QFSlopeOfBezierAtT(p0, p1, p2, p3, 0), Pi / 2, 1e-12);
    EXPECT_NEAR(QFSlopeOfBezierAtT(p0, p1, p2, p3, 0.5), 0, 1e-12);
    EXPECT_NEAR(QFSlopeOfBezierAtT(p0, p1, p2, p3, 1), -Pi / 2, 1e-12);
    EXPECT_EQ(QFSlopeOfBezierAtT(p0, p1, p2, p3, 7), QFSlopeOfBezierAtT(p0, p1, p2, p3, 1)) << "t is clamped";
}

TEST(QFGeometry, NearestPointOnCurve)
{
    // A straight cubic with its controls on the chord: the foot of the perpendicular.
    double t = -1;
    Point n = QFNearestPointOnCurve({ 0, 0 }, { 10, 0 }, { 20, 0 }, { 30, 0 }, { 12, 7 }, &t);
    EXPECT_NEAR(n.x, 12, 1e-9);
    EXPECT_NEAR(n.y, 0, 1e-9);
    EXPECT_NEAR(t, 0.4, 1e-9);
    // On an arch, the apex is nearest to a point above it; the ends win for points beyond them.
    Point apex = QFNearestPointOnCurve({ 0, 0 }, { 0, 10 }, { 10, 10 }, { 10, 0 }, { 5, 20 }, &t);
    EXPECT_NEAR(apex.x, 5, 1e-9);
    EXPECT_NEAR(apex.y, 7.5, 1e-9);
    EXPECT_NEAR(t, 0.5, 1e-9);
    EXPECT_EQ(QFNearestPointOnCurve({ 0, 0 }, { 0, 10 }, { 10, 10 }, { 10, 0 }, { -5, -5 }, &t), (Point { 0, 0 }));
    EXPECT_EQ(t, 0);
    // Any point: no sampled point of the curve is nearer than the answer.
    Point p { 3, 2 };
    Point best = QFNearestPointOnCurve({ 0, 0 }, { 0, 10 }, { 10, 10 }, { 10, 0 }, p, &t);
    std::array<Point, 4> arch { Point { 0, 0 }, { 0, 10 }, { 10, 10 }, { 10, 0 } };
    for (int i = 0; i <= 1000; ++i)
        EXPECT_GE(QFSquaredDistance(QFSubdivideBezier(arch, i / 1000.0), p) + 1e-9, QFSquaredDistance(best, p));
}

TEST(QFGeometry, FindRootsOfABernsteinPolynomial)
{
    // (t - 0.3)(t - 0.7) · 1 in Bernstein form of degree 5, from its values' control points.
    auto power = [](double t) { return (t - 0.3) * (t - 0.7); };
    // Degree elevation of the quadratic b0 = 0.21, b1 = -0.29, b2 = 0.21 (coefficients of (t-0.3)(t-0.7)).
    std::array<double, 3> q { 0.21, 0.21 - 0.5, 0.21 };
    std::array<Point, 6> w;
    for (int i = 0; i <= 5; ++i) {
        // Elevating degree 2 to 5: c_i = sum_j C(2,j) C(3,i-j) / C(5,i) q_j.
        static constexpr double binomial[6][6]
            = { { 1 }, { 1, 1 }, { 1, 2, 1 }, { 1, 3, 3, 1 }, { 1, 4, 6, 4, 1 }, { 1, 5, 10, 10, 5, 1 } };
        double c = 0;
        for (int j = 0; j <= 2; ++j)
            if (i - j >= 0 && i - j <= 3)
                c += binomial[2][j] * binomial[3][i - j] / binomial[5][i] * q[static_cast<std::size_t>(j)];
        w[static_cast<std::size_t>(i)] = { i / 5.0, c };
    }
    ASSERT_NEAR(power(0), w[0].y, 1e-12);
    auto roots = QFFindRoots(w);
    ASSERT_EQ(roots.size(), 2u);
    EXPECT_NEAR(roots[0], 0.3, 1e-9);
    EXPECT_NEAR(roots[1], 0.7, 1e-9);
    std::array<Point, 6> positive;
    for (int i = 0; i <= 5; ++i)
        positive[static_cast<std::size_t>(i)] = { i / 5.0, 1.0 + i };
    EXPECT_TRUE(QFFindRoots(positive).empty());
}

TEST(QFGeometry, RectanglesAndHandles)
{
    EXPECT_EQ(QFRectFromPoints({ 5, 1 }, { 2, 7 }), (Rect { 2, 1, 3, 6 }));
    EXPECT_EQ(QFStandardizedRect({ 10, 10, -4, -6 }), (Rect { 6, 4, 4, 6 }));
    EXPECT_EQ(QFUnionRect({ 0, 0, 1, 1 }, { 5, 5, 0, 0 }), (Rect { 0, 0, 5, 5 })) << "empty rectangles count";
    EXPECT_EQ(QFRectIncludingPoint({ 0, 0, 2, 2 }, { -3, 5 }), (Rect { -3, 0, 5, 5 }));
    EXPECT_EQ(QFRectEdgeValue(3, { 1, 2, 3, 4 }), 6);
    EXPECT_EQ(QFRectEdgeValue(4, { 1, 2, 3, 4 }), 0);
    EXPECT_TRUE(QFRectHitsRect(false, { 0, 0, 10, 10 }, { 9, 9, 5, 5 }));
    EXPECT_FALSE(QFRectHitsRect(true, { 0, 0, 10, 10 }, { 9, 9, 5, 5 })) << "the centre is not inside";
    std::array<Rect, 2> rects { Rect { 0, 0, 1, 1 }, Rect { 5, 5, 1, 1 } };
    EXPECT_TRUE(QFPointInAnyRect(rects, { 5, 5 }));
    EXPECT_FALSE(QFPointInAnyRect(rects, { 6, 6 })) << "the far edges are outside";

    Rect r { 0, 0, 10, 20 };
    EXPECT_EQ(QFHandlePoint(3, r), (Point { 10, 10 }));
    EXPECT_EQ(QFHandlePoint(9, { 3, 4, 5, 6 }), (Point { 3, 4 }));
    EXPECT_EQ(QFOppositeHandle(9), -1);
    for (int h = 0; h <= 8; ++h) {
        EXPECT_EQ(QFOppositeHandle(QFOppositeHandle(h)), h);
        EXPECT_EQ(QFHandleAtPoint(QFHandlePoint(h, r), r), h);
        EXPECT_EQ(QFIsCornerHandle(h), h >= 4 && h <= 7);
    }
    EXPECT_EQ(QFOppositeHandlePoint(4, r), (Point { 10, 20 }));
    EXPECT_EQ(QFHandleAtPoint({ 1, 1 }, r), -1);
}

TEST(QFGeometry, ResizingByAHandleFlipsItWhenTheRectangleTurnsInsideOut)
{
    Rect r { 0, 0, 10, 10 };
    EXPECT_EQ(QFResizeRectByHandle(r, 4, { 15, 15 }), 6);
    EXPECT_EQ(r, (Rect { 10, 10, 5, 5 }));
    r = { 0, 0, 10, 10 };
    EXPECT_EQ(QFResizeRectByHandle(r, 0, { 5, 20 }), 2);
    EXPECT_EQ(r, (Rect { 0, 10, 10, 10 }));
    r = { 0, 0, 10, 10 };
    EXPECT_EQ(QFResizeRectByHandle(r, 6, { 4, 3 }), 6) << "no flip";
    EXPECT_EQ(r, (Rect { 0, 0, 4, 3 }));
    r = { 0, 0, 10, 10 };
    EXPECT_EQ(QFResizeRectByHandle(r, 1, { 12, 99 }), 3) << "a side handle flips one way only";
    EXPECT_EQ(r, (Rect { 10, 0, 2, 10 }));
    r = { 0, 0, 10, 10 };
    EXPECT_EQ(QFResizeRectByHandle(r, 8, { 0, 0 }), 8);
    EXPECT_EQ(r, (Rect { -5, -5, 10, 10 }));
    EXPECT_EQ(QFResizeRectByHandle(r, 12, { 0, 0 }), 12);
    EXPECT_EQ(r, (Rect { -5, -5, 10, 10 }));
}

TEST(QFGeometry, AlignAndFitInAFrame)
{
    Rect frame { 0, 0, 100, 50 };
    Rect small { 7, 7, 10, 10 };
    EXPECT_EQ(QFAlignRectInRect(0, small, frame), (Rect { 45, 20, 10, 10 }));
    EXPECT_EQ(QFAlignRectInRect(2, small, frame), (Rect { 0, 40, 10, 10 })) << "top left: top is maxY";
    EXPECT_EQ(QFAlignRectInRect(7, small, frame), (Rect { 90, 0, 10, 10 }));
    EXPECT_EQ(QFAlignRectInRect(8, small, frame), (Rect { 90, 20, 10, 10 }));
    EXPECT_EQ(QFAlignRectInRect(42, small, frame), QFAlignRectInRect(0, small, frame));
    // Scaling 0 keeps a small rectangle at its size; shrinks a large one uniformly.
    EXPECT_EQ(QFFitRectInRect(0, 0, small, frame), (Rect { 45, 20, 10, 10 }));
    EXPECT_EQ(QFFitRectInRect(0, 0, { 0, 0, 200, 50 }, frame), (Rect { 0, 12.5, 100, 25 }));
    EXPECT_EQ(QFFitRectInRect(1, 6, small, frame), (Rect { 0, 0, 50, 50 }));
    EXPECT_EQ(QFFitRectInRect(2, 0, small, frame), frame);
    EXPECT_EQ(QFFitRectInRect(1, 0, frame, frame), frame);
    EXPECT_EQ(QFFitRectInRect(1, 0, { 0, 0, 0, 0 }, frame), (Rect { 50, 25, 0, 0 })) << "nothing to scale";
}

}
