#include "frameworks/AppKitExtensions/Editing_ZORAppKitExtensions.h"

#include "frameworks/AppKitExtensions/QFGeometry.h"
#include "platform/foundation/runtime/Exception.h"
#include "support/Canvas.h"
#include "support/Raised.h"

#include "PathTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>

namespace {

using namespace pathtest;
using namespace Editing_ZORAppKitExtensions;
using gfx::BezierPath;
using gfx::BezierPathElement;
using gfx::Point;
using gfx::Rect;

bool near(Point a, Point b, double tolerance = 1e-9)
{
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance;
}

// move (0, 0); curve to (10, 0) with handles (2, 5), (8, 5); curve to (20, 0) with handles (12, -5), (18, -5).
std::shared_ptr<BezierPath> wave()
{
    auto path = BezierPath::bezierPath();
    path->moveToPoint({ 0, 0 });
    path->curveToPoint({ 10, 0 }, { 2, 5 }, { 8, 5 });
    path->curveToPoint({ 20, 0 }, { 12, -5 }, { 18, -5 });
    return path;
}

std::shared_ptr<BezierPath> triangle()
{
    auto path = BezierPath::bezierPath();
    path->moveToPoint({ 0, 0 });
    path->lineToPoint({ 10, 0 });
    path->lineToPoint({ 10, 10 });
    path->closePath();
    return path;
}

TEST(Editing_ZORAppKitExtensions, PartcodesNameElementsAndPoints)
{
    EXPECT_EQ(ZORPartcodeForElementAndPoint(2, 1), 13);
    EXPECT_EQ(ZORPartcodeForElementAndPoint(2, 7), 15) << "the point index keeps two bits";
    EXPECT_EQ(ZORPartcodeForElement(0), 4);
    auto path = wave();
    EXPECT_EQ(elementTypeForPartcode(*path, 13), BezierPathElement::CurveTo);
    EXPECT_EQ(controlPointForPartcode(*path, 13), (Point { 18, -5 }));
    EXPECT_TRUE(isOnPathPartcode(*path, 4));
    EXPECT_FALSE(isOnPathPartcode(*path, 8));
    EXPECT_TRUE(isOnPathPartcode(*path, 10));
    EXPECT_FALSE(isOnPathPartcode(*path, 2));
    EXPECT_EQ(partcodeForLastPoint(*path), 14);
    EXPECT_EQ(partcodeForLastPoint(*triangle()), 16);
    EXPECT_TRUE(isOpenEndPoint(*path, 4));
    EXPECT_TRUE(isOpenEndPoint(*path, 14));
    EXPECT_FALSE(isOpenEndPoint(*path, 10));
    EXPECT_FALSE(isOpenEndPoint(*triangle(), 4)) << "a closed path has no open ends";
    EXPECT_TRUE(isHeadOrTailPoint(*path, 0));
    EXPECT_FALSE(isHeadOrTailPoint(*path, 1));
    EXPECT_TRUE(isHeadOrTailPoint(*path, 2));
    EXPECT_FALSE(isHeadOrTailPoint(*triangle(), 0));
    setControlPoint(*path, { 1, 1 }, 9);
    EXPECT_EQ(path->associatedPoints(1)[1], (Point { 1, 1 }));
    std::int64_t moves = -1, lines = -1, curves = -1;
    getPathMoveToCount(*triangle(), &moves, &lines, &curves, nullptr);
    EXPECT_EQ(moves, 1);
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(curves, 0);
}

TEST(Editing_ZORAppKitExtensions, PointArraySearchUsesHalfOpenToleranceSquares)
{
    std::array<Point, 3> points { Point { 0, 0 }, { 10, 10 }, { 10.5, 10 } };
    EXPECT_EQ(point({ -1, -1 }, points, 2), 0) << "the minimum edge is inside";
    EXPECT_EQ(point({ 1, 0 }, points, 2), fnd::NotFound) << "the maximum edge is outside";
    EXPECT_EQ(point({ 10.2, 10 }, points, 2), 1);
    EXPECT_EQ(point({ 10.2, 10 }, points, 2, true), 2) << "searching from the end";
    EXPECT_EQ(point({ 0, 0 }, {}, 2), fnd::NotFound);
}

TEST(Editing_ZORAppKitExtensions, PartcodeHitTestOnCurves)
{
    BezierPath lone;
    lone.moveToPoint({ 0, 0 });
    EXPECT_EQ(partcodeHitByPoint(lone, { 0, 0 }, 4), 0) << "one element: nothing to hit";

    auto path = wave();
    EXPECT_EQ(partcodeHitByPoint(*path, { 8, 5 }, 2), 9) << "second handle of the first curve";
    EXPECT_EQ(partcodeHitByPoint(*path, { 12.5, -5 }, 2), 12);
    EXPECT_EQ(partcodeHitByPoint(*path, { 20, 0 }, 2), 14) << "the last point";
    EXPECT_EQ(partcodeHitByPoint(*path, { 0, 0 }, 2), 4);
    EXPECT_EQ(partcodeHitByPoint(*path, { 5, 2 }, 2), 0);
    EXPECT_EQ(partcodeHitByPoint(*path, { 100, 100 }, 2), 0) << "outside the control points";
    EXPECT_EQ(partcodeHitByPoint(*path, { 8, 5 }, 2, 1), 0) << "searching from element 1 skips its own handles";

    // The second curve's first handle lies on the first curve's end point.
    setControlPoint(*path, { 10, 0 }, 12);
    EXPECT_EQ(partcodeHitByPoint(*path, { 10, 0 }, 2, 0, false), 12) << "the handle first";
    EXPECT_EQ(partcodeHitByPoint(*path, { 10, 0 }, 2, 0, true), 10) << "the on-path point first";
}

TEST(Editing_ZORAppKitExtensions, ElementHitTestOnLinesCurvesAndCloses)
{
    auto tri = triangle();
    double t = -1;
    Point nearest;
    EXPECT_EQ(elementHitByPoint(*tri, { 4, 0.5 }, 1, &t, &nearest), 1);
    EXPECT_NEAR(t, 0.4, 1e-6);
    EXPECT_EQ(nearest, (Point { 4, 0 }));
    // The closing segment runs from (10, 10) back to (0, 0).
    EXPECT_EQ(elementHitByPoint(*tri, { 5.5, 4.5 }, 1, &t, &nearest), 3);
    EXPECT_NEAR(t, 0.5, 1e-6);
    EXPECT_TRUE(near(nearest, { 5, 5 }));
    EXPECT_EQ(elementHitByPoint(*tri, { 5, 3 }, 1, &t), -1) << "inside, far from every side";
    EXPECT_EQ(elementHitByPoint(*tri, { 30, 3 }, 1, &t), -1);
    EXPECT_EQ(nearestPointToPoint(*tri, { 10.5, 7 }, 1), (Point { 10, 7 }));
    EXPECT_EQ(nearestPointToPoint(*tri, { 30, 7 }, 1), (Point { 30, 7 }));

    auto path = wave();
    EXPECT_EQ(elementHitByPoint(*path, { 5, 4 }, 0.5, &t, &nearest), 1);
    EXPECT_NEAR(t, 0.5, 1e-6);
    EXPECT_TRUE(near(nearest, { 5, 3.75 }, 1e-9));
    EXPECT_EQ(elementHitByPoint(*path, { 15, -3.5 }, 0.5, &t), 2);
    EXPECT_NEAR(t, 0.5, 1e-6);
    EXPECT_EQ(elementBoundsContainsPoint(*path, { 1, 1 }, 0), 1);
    EXPECT_EQ(elementBoundsContainsPoint(*path, { 25, 0 }, 2), -1);
    EXPECT_EQ(elementBoundsContainsPoint(*path, { 21, 0 }, 2), 2) << "the grown box";
}

TEST(Editing_ZORAppKitExtensions, ElementBoxesSpanControlPolygons)
{
    auto path = wave();
    EXPECT_EQ(boundingBoxForElement(*path, 0), (Rect {}));
    EXPECT_EQ(boundingBoxForElement(*path, 1), (Rect { 0, 0, 10, 5 })) << "the handles, not the curve's 3.75";
    EXPECT_EQ(boundingBoxForElement(*triangle(), 3), (Rect { 0, 0, 10, 10 }));
    EXPECT_EQ(allBoundingBoxes(*path).size(), 3u);
    auto boxes = boundingBoxesForPartcode(*path, 12);
    ASSERT_EQ(boxes.size(), 2u) << "a first handle changes its own curve and the one before";
    EXPECT_EQ(boxes[1], (Rect { 0, 0, 10, 5 }));
    EXPECT_EQ(boundingBoxesForPartcode(*path, 8).size(), 2u) << "the next element";
    // An index that names no element is the caller's error, reported as the path class reports it.
    for (std::int64_t index : { std::int64_t(3), std::int64_t(-1), std::int64_t(1) << 40 }) {
        auto e = raised([&] { boundingBoxForElement(*path, index); });
        ASSERT_TRUE(e) << index;
        EXPECT_EQ(e->name(), fnd::ExceptionName::Range) << index;
    }

    Canvas canvas(30, 30);
    canvas.context().translateCTM(5, 10);
    drawElementsBoundingBoxes(*path);
    EXPECT_GT(canvas.alpha(5, 12), 0) << "the first curve's box";
    EXPECT_EQ(canvas.at(5, 12) & 0x0000FFFFu, 0u) << "red";
    EXPECT_EQ(BezierPath::defaultLineWidth(), 1) << "the class default is left alone";
}

TEST(Editing_ZORAppKitExtensions, SubpathLimitsAndTangents)
{
    auto path = triangle();
    path->moveToPoint({ 20, 0 });
    path->lineToPoint({ 30, 0 });
    path->curveToPoint({ 40, 10 }, { 35, 0 }, { 40, 5 });
    // 0 move, 1 line, 2 line, 3 close, 4 move, 5 line, 6 curve.
    EXPECT_EQ(subpathStartingElementForElement(*path, 2), 0);
    EXPECT_EQ(subpathStartingElementForElement(*path, 6), 4);
    EXPECT_EQ(subpathStartingElementForElement(*path, 6, SubpathSearchAfterMove), 5);
    EXPECT_EQ(subpathStartingElementForElement(*path, -1), -1);
    EXPECT_EQ(subpathEndingElementForElement(*path, 0), 3);
    EXPECT_EQ(subpathEndingElementForElement(*path, 1, SubpathSearchBeforeClose), 2);
    EXPECT_EQ(subpathEndingElementForElement(*path, 1, SubpathSearchAfterMove), 2);
    EXPECT_EQ(subpathEndingElementForElement(*path, 4), 6);
    EXPECT_EQ(subpathEndingElementForElement(*path, 99), 6);
    // A close that ends the path: the subpath's last element before it.
    EXPECT_EQ(subpathEndingElementForElement(*triangle(), 1, SubpathSearchAfterMove), 2);

    EXPECT_NEAR(tangentAtStartOfSubpath(*path, 1), Pi, 1e-6) << "pointing back out of the path";
    EXPECT_NEAR(tangentAtStartOfSubpath(*path, 5), Pi, 1e-6);
    EXPECT_NEAR(tangentAtEndOfSubpath(*path, 5), Pi / 2, 1e-6) << "the curve arrives going up";
    EXPECT_NEAR(tangentAtEndOfSubpath(*path, 1), -3 * Pi / 4, 1e-6) << "the close runs back to the start";
    BezierPath lone;
    lone.moveToPoint({ 3, 3 });
    EXPECT_EQ(tangentAtStartOfSubpath(lone, 0), 0);
}

TEST(Editing_ZORAppKitExtensions, ChecksumFollowsKindsAndRoundedPoints)
{
    EXPECT_EQ(checksum(BezierPath()), 0x95DD8B3u);
    BezierPath path;
    path.moveToPoint({ 0, 0 });
    path.lineToPoint({ 10, 0 });
    EXPECT_EQ(checksum(path), 0x95DDCF9u);
    path.setAssociatedPoints(std::array<Point, 1> { Point { 10.2, 0.3 } }, 1);
    EXPECT_EQ(checksum(path), 0x95DDCF9u) << "rounding hides small moves";
    path.setAssociatedPoints(std::array<Point, 1> { Point { 11, 0 } }, 1);
    EXPECT_NE(checksum(path), 0x95DDCF9u);
    EXPECT_EQ(checksum(*triangle()), checksum(*triangle()));
    EXPECT_NE(checksum(*triangle()), checksum(*wave()));
}

TEST(Editing_ZORAppKitExtensions, ConstrainedMovesSnapToTheNearestStepEitherSide)
{
    EXPECT_EQ(constraintAngle(), 0.261799387799);
    for (auto [angle, snapped] : { std::pair { 0.2, Pi / 12 }, { 0.1, 0.0 }, { -0.2, -Pi / 12 }, { -0.1, 0.0 } }) {
        BezierPath path;
        path.moveToPoint({ 5, 5 });
        path.lineToPoint({ 15, 5 });
        moveControlPointPartcode(path, 8, { 5 + 10 * std::cos(angle), 5 + 10 * std::sin(angle) }, MoveConstrained);
        Point p = path.associatedPoints(1)[0];
        EXPECT_NEAR(std::atan2(p.y - 5, p.x - 5), snapped, 1e-9) << angle;
        EXPECT_NEAR(std::hypot(p.x - 5, p.y - 5), 10, 1e-9) << "the distance stays, " << angle;
    }
    EXPECT_EQ(referencePointForConstrainedPartcode(*wave(), 4), (Point { 10, 0 }));
    EXPECT_EQ(referencePointForConstrainedPartcode(*wave(), 9), (Point { 10, 0 })) << "a second handle: its end";
    EXPECT_EQ(referencePointForConstrainedPartcode(*wave(), 12), (Point { 10, 0 })) << "the segment's start";
    // Partcodes of no element: past the last one (16 is element 3 of three), below the first, or any point of an
    // empty path.
    const std::pair<std::shared_ptr<BezierPath>, ZORPartcode> outside[]
        = { { wave(), 16 }, { wave(), 18 }, { wave(), 2 }, { BezierPath::bezierPath(), 4 } };
    for (const auto& [path, partcode] : outside) {
        auto e = raised([&] { referencePointForConstrainedPartcode(*path, partcode); });
        ASSERT_TRUE(e) << partcode;
        EXPECT_EQ(e->name(), fnd::ExceptionName::Range) << partcode;
    }
}

TEST(Editing_ZORAppKitExtensions, AConstraintAngleThatIsNoNumberLeavesMovesFree)
{
    struct RestoreAngle {
        double angle = constraintAngle();
        ~RestoreAngle() { setConstraintAngle(angle); }
    } restore;
    for (double step : { HUGE_VAL, -HUGE_VAL, std::nan("") }) {
        setConstraintAngle(step);
        BezierPath path;
        path.moveToPoint({ 5, 5 });
        path.lineToPoint({ 15, 5 });
        moveControlPointPartcode(path, 8, { 12, 9 }, MoveConstrained);
        EXPECT_EQ(path.associatedPoints(1)[0], (Point { 12, 9 })) << step;
    }
}

TEST(Editing_ZORAppKitExtensions, DraggingPointsCarriesTheirHandles)
{
    // An end point between two curves takes both adjacent handles along.
    auto path = wave();
    moveControlPointPartcode(*path, 10, { 10, 3 }, 0);
    EXPECT_EQ(path->associatedPoints(1)[1], (Point { 8, 8 }));
    EXPECT_EQ(path->associatedPoints(1)[2], (Point { 10, 3 }));
    EXPECT_EQ(path->associatedPoints(2)[0], (Point { 12, -2 }));
    // With 0x1000 the curve's own first handle follows too.
    path = wave();
    moveControlPointPartcode(*path, 10, { 11, 0 }, MoveFirstControlPointWithEnd);
    EXPECT_EQ(path->associatedPoints(1)[0], (Point { 3, 5 }));

    // Smooth joins: the opposite handle turns to the far side, keeping its length or mirrored.
    path = wave();
    moveControlPointPartcode(*path, 9, { 8, 2 }, MoveSmoothJoins);
    Point opposite = path->associatedPoints(2)[0];
    EXPECT_NEAR(std::hypot(opposite.x - 10, opposite.y), std::hypot(2, 5), 1e-5);
    EXPECT_NEAR(std::atan2(opposite.y, opposite.x - 10), std::atan2(-2, 2), 1e-6);
    path = wave();
    moveControlPointPartcode(*path, 9, { 8, 2 }, MoveSmoothJoins | MoveMirrorsHandles);
    EXPECT_TRUE(near(path->associatedPoints(2)[0], { 12, -2 }));
    path = wave();
    moveControlPointPartcode(*path, 12, { 13, -1 }, MoveSmoothJoins | MoveMirrorsHandles);
    EXPECT_TRUE(near(path->associatedPoints(1)[1], { 7, 1 })) << "and from the other side";
    path = wave();
    moveControlPointPartcode(*path, 9, { 8, 2 }, 0);
    EXPECT_EQ(path->associatedPoints(2)[0], (Point { 12, -5 })) << "without smooth joins nothing else moves";
}

TEST(Editing_ZORAppKitExtensions, TheFirstAndLastPointOfAClosedLoopMoveTogether)
{
    auto loop = [] {
        auto path = BezierPath::bezierPath();
        path->moveToPoint({ 0, 0 });
        path->lineToPoint({ 10, 0 });
        path->lineToPoint({ 10, 10 });
        path->lineToPoint({ 0, 0 });
        path->closePath();
        return path;
    };
    auto path = loop();
    moveControlPointPartcode(*path, 16, { -2, -3 }, MoveSmoothJoins);
    EXPECT_EQ(path->associatedPoints(0)[0], (Point { -2, -3 }));
    EXPECT_EQ(path->associatedPoints(3)[0], (Point { -2, -3 }));
    path = loop();
    moveControlPointPartcode(*path, 4, { 1, 2 }, MoveSmoothJoins);
    EXPECT_EQ(path->associatedPoints(0)[0], (Point { 1, 2 }));
    EXPECT_EQ(path->associatedPoints(3)[0], (Point { 1, 2 }));
    // Without smooth joins, the point picked is the point that moves.
    path = loop();
    moveControlPointPartcode(*path, 16, { -2, -3 }, 0);
    EXPECT_EQ(path->associatedPoints(0)[0], (Point { 0, 0 }));
    EXPECT_EQ(path->associatedPoints(3)[0], (Point { -2, -3 }));
    moveControlPointPartcode(*path, 19, { 5, 5 }, MoveSmoothJoins);
    EXPECT_EQ(path->associatedPoints(0)[0], (Point { 0, 0 })) << "a close has no point to move";
}

TEST(Editing_ZORAppKitExtensions, ColinearPointsAndVertices)
{
    EXPECT_EQ(colinearPointForPoint({ 3, 4 }, { 1, 1 }), (Point { -1, -2 }));
    EXPECT_TRUE(near(colinearPointForPoint({ 3, 1 }, { 1, 1 }, 5), { -4, 1 }, 1e-6));
    Point a, b;
    colineariseVertex({ -4, 1 }, { 0, 0 }, { 3, 1 }, &a, &b);
    EXPECT_NEAR(a.x * b.y - a.y * b.x, 0, 1e-9) << "on one line through the vertex";
    EXPECT_NEAR(std::hypot(a.x, a.y), std::hypot(4, 1), 1e-9);
    EXPECT_NEAR(std::hypot(b.x, b.y), std::hypot(3, 1), 1e-9);
    EXPECT_LT(a.x, 0);
    EXPECT_GT(b.x, 0);
    // Directions either side of ±pi (pointing left, one a little up, one a little down) average to pointing left.
    colineariseVertex({ 1, -0.1 }, { 0, 0 }, { -1, -0.1 }, &a, &b);
    EXPECT_NEAR(a.y, 0, 1e-6);
    EXPECT_GT(a.x, 0) << "the incoming handle stays behind the vertex";
    EXPECT_LT(b.x, 0);
}

TEST(Editing_ZORAppKitExtensions, InsertingPointsSplitsTheSegmentHit)
{
    BezierPath line;
    line.moveToPoint({ 0, 0 });
    line.lineToPoint({ 10, 0 });
    EXPECT_EQ(insertControlPointAtPoint(line, { 5, 30 }, 1, 0), nullptr);
    auto lines = insertControlPointAtPoint(line, { 4, 0.2 }, 1, 0);
    ASSERT_EQ(lines->elementCount(), 3);
    EXPECT_TRUE(near(lines->associatedPoints(1)[0], { 4, 0 }, 1e-6));
    EXPECT_EQ(lines->associatedPoints(2)[0], (Point { 10, 0 }));
    auto curves = insertControlPointAtPoint(line, { 4, 0.2 }, 1, 2);
    ASSERT_EQ(curves->elementCount(), 3);
    ASSERT_EQ(curves->elementAtIndex(1), BezierPathElement::CurveTo);
    EXPECT_TRUE(near(curves->associatedPoints(1)[0], { 1, 0 }, 1e-6)) << "handles at the quarter points";
    EXPECT_TRUE(near(curves->associatedPoints(1)[1], { 3, 0 }, 1e-6));
    EXPECT_TRUE(near(curves->associatedPoints(2)[0], { 5.5, 0 }, 1e-6));
    EXPECT_TRUE(near(curves->associatedPoints(2)[1], { 8.5, 0 }, 1e-6));

    // Two curves that trace the curve that was hit.
    auto path = wave();
    auto split = insertControlPointAtPoint(*path, { 3, 3.5 }, 1, 0);
    ASSERT_EQ(split->elementCount(), 4);
    double u = 0;
    ASSERT_EQ(elementHitByPoint(*path, { 3, 3.5 }, 1, &u), 1);
    std::array<Point, 4> original { Point { 0, 0 }, { 2, 5 }, { 8, 5 }, { 10, 0 } };
    std::array<Point, 4> first { Point { 0, 0 }, split->associatedPoints(1)[0], split->associatedPoints(1)[1],
        split->associatedPoints(1)[2] };
    std::array<Point, 4> second { first[3], split->associatedPoints(2)[0], split->associatedPoints(2)[1],
        split->associatedPoints(2)[2] };
    for (double s : { 0.0, 0.3, 0.7, 1.0 }) {
        EXPECT_TRUE(near(QFSubdivideBezier(first, s), QFSubdivideBezier(original, s * u), 1e-9));
        EXPECT_TRUE(near(QFSubdivideBezier(second, s), QFSubdivideBezier(original, u + s * (1 - u)), 1e-9));
    }
    auto bent = insertControlPointAtPoint(*path, { 3, 3.5 }, 1, 1);
    EXPECT_EQ(bent->elementAtIndex(1), BezierPathElement::LineTo);

    // Splitting a close keeps the subpath closed.
    auto closed = insertControlPointAtPoint(*triangle(), { 5.2, 4.8 }, 1, 0);
    ASSERT_EQ(closed->elementCount(), 6);
    EXPECT_EQ(closed->associatedPoints(4)[0], (Point { 0, 0 }));
    EXPECT_EQ(closed->elementAtIndex(5), BezierPathElement::ClosePath);
}

TEST(Editing_ZORAppKitExtensions, DeletingAndRemovingElements)
{
    auto path = wave();
    EXPECT_EQ(deleteControlPointForPartcode(path, 9), path) << "control points are not deleted";
    EXPECT_EQ(deleteControlPointForPartcode(path, 3), path);
    auto merged = deleteControlPointForPartcode(path, 10);
    ASSERT_EQ(merged->elementCount(), 2);
    EXPECT_EQ(merged->associatedPoints(1)[0], (Point { 2, 5 })) << "the first handle of the deleted curve";
    EXPECT_EQ(merged->associatedPoints(1)[1], (Point { 18, -5 }));
    auto headless = deleteControlPointForPartcode(path, 4);
    ASSERT_EQ(headless->elementCount(), 2);
    EXPECT_EQ(headless->elementAtIndex(0), BezierPathElement::MoveTo);
    EXPECT_EQ(headless->associatedPoints(0)[0], (Point { 10, 0 })) << "the second point starts the path";

    auto tri = triangle();
    EXPECT_EQ(bezierPathByRemovingElementsAtIndexes(tri, fnd::IndexSet(tri->elementCount())), tri);
    EXPECT_EQ(bezierPathByRemovingElementAtIndex(tri, -1), tri);
    auto gap = bezierPathByRemovingElementAtIndex(tri, 1);
    // move (0, 0), move (10, 0) where the removed line ended, line (10, 10), and the close as a line back.
    ASSERT_EQ(gap->elementCount(), 4);
    EXPECT_EQ(gap->elementAtIndex(1), BezierPathElement::MoveTo);
    EXPECT_EQ(gap->associatedPoints(1)[0], (Point { 10, 0 }));
    EXPECT_EQ(gap->elementAtIndex(3), BezierPathElement::LineTo);
    EXPECT_EQ(gap->associatedPoints(3)[0], (Point { 0, 0 }));

    EXPECT_EQ(bezierPathByRemovingTrailingElements(*tri, 2)->elementCount(), 2);
    EXPECT_TRUE(bezierPathByRemovingTrailingElements(*tri, 9)->isEmpty());
}

TEST(Editing_ZORAppKitExtensions, StrippingDropsWhatDrawsNothing)
{
    BezierPath path;
    path.setLineWidth(3);
    path.moveToPoint({ 0, 0 });
    path.lineToPoint({ 0, 0 });
    path.curveToPoint({ 10, 0 }, { 0, 0 }, { 10, 0 });
    path.curveToPoint({ 10, 0 }, { 10, 0 }, { 10, 0 });
    path.curveToPoint({ 20, 5 }, { 12, 3 }, { 18, 5 });
    path.closePath();
    path.moveToPoint({ 50, 50 });
    auto stripped = bezierPathByStrippingRedundantElements(path);
    ASSERT_EQ(stripped->elementCount(), 4);
    EXPECT_EQ(stripped->elementAtIndex(1), BezierPathElement::LineTo) << "handles on its ends: a line";
    EXPECT_EQ(stripped->elementAtIndex(2), BezierPathElement::CurveTo);
    EXPECT_EQ(stripped->elementAtIndex(3), BezierPathElement::ClosePath);
    EXPECT_EQ(stripped->lineWidth(), 3);
}

}
