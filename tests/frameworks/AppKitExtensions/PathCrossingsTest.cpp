#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "platform/foundation/TestSupport.h"

#include "PathTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using namespace Text_ZORAppKitExtensions;
using gfx::BezierPath;
using gfx::Point;
using gfx::Rect;

BezierPath polygon(std::initializer_list<Point> points)
{
    BezierPath path;
    path.appendBezierPathWithPoints(std::vector<Point>(points));
    path.closePath();
    return path;
}

// A square ring: outside 0..100, hole 40..60.
BezierPath ring()
{
    BezierPath path = *BezierPath::bezierPathWithRect({ 0, 0, 100, 100 });
    path.appendBezierPathWithRect({ 40, 40, 20, 20 });
    return path;
}

TEST(PathCrossings, HorizontalLinesCrossAShapeInEntryExitPairs)
{
    auto circle = BezierPath::bezierPathWithOvalInRect({ 50, 50, 100, 100 });
    auto points = intersectingPointsWithHorizontalLineAtY(*circle, 100);
    ASSERT_EQ(points.size(), 2u) << "the vertices on the line count once";
    EXPECT_NEAR(points[0].x, 50, 0.5);
    EXPECT_NEAR(points[1].x, 150, 0.5);
    EXPECT_EQ(points[0].y, 100);
    EXPECT_EQ(intersectingPointsWithHorizontalLineAtY(*circle, 150.1).size(), 0u);
    EXPECT_EQ(intersectingPointsWithHorizontalLineAtY(*circle, 49.9).size(), 0u);
    EXPECT_EQ(intersectingPointsWithHorizontalLineAtY(BezierPath(), 0).size(), 0u);

    // A diamond's side vertices lie on the middle line; a lower peak and the top give touching pairs or nothing.
    auto diamond = polygon({ { 0, 10 }, { 10, 0 }, { 20, 10 }, { 10, 20 } });
    auto middle = intersectingPointsWithHorizontalLineAtY(diamond, 10);
    ASSERT_EQ(middle.size(), 2u);
    EXPECT_EQ(middle[0].x, 0);
    EXPECT_EQ(middle[1].x, 20);
    auto bottom = intersectingPointsWithHorizontalLineAtY(diamond, 0);
    ASSERT_EQ(bottom.size(), 2u) << "the bottom still tests: a touching pair";
    EXPECT_EQ(bottom[0].x, bottom[1].x);
    EXPECT_TRUE(intersectingPointsWithHorizontalLineAtY(diamond, 20).empty());

    // Below zero works like anywhere else.
    auto low = polygon({ { 0, -30 }, { 10, -30 }, { 10, -10 }, { 0, -10 } });
    EXPECT_EQ(intersectingPointsWithHorizontalLineAtY(low, -20).size(), 2u);

    // A ring gives two stretches, sorted left to right.
    auto across = intersectingPointsWithHorizontalLineAtY(ring(), 50);
    ASSERT_EQ(across.size(), 4u);
    EXPECT_EQ(across[0].x, 0);
    EXPECT_EQ(across[1].x, 40);
    EXPECT_EQ(across[2].x, 60);
    EXPECT_EQ(across[3].x, 100);
}

TEST(PathCrossings, LineFragmentsOfAFixedHeightFitInsideTheShape)
{
    auto square = BezierPath::bezierPathWithRect({ 0, 0, 100, 100 });
    auto rects = lineFragmentRectsForFixedLineheight(*square, 25);
    ASSERT_EQ(rects.size(), 3u) << "the first line is only measured";
    EXPECT_EQ(rects[0], (Rect { 0, 1, 100, 23 }));
    EXPECT_EQ(rects[2], (Rect { 0, 51, 100, 23 }));
    for (const auto& r : rects)
        EXPECT_TRUE(square->containsPoint({ r.maxX() - 0.1, r.maxY() }));
    EXPECT_TRUE(lineFragmentRectsForFixedLineheight(*square, 150).empty()) << "one line, only measured";

    // In a triangle each line is as wide as the narrower of its two edges allow.
    auto triangle = polygon({ { 0, 0 }, { 100, 0 }, { 50, 100 } });
    auto steps = lineFragmentRectsForFixedLineheight(triangle, 20);
    ASSERT_FALSE(steps.empty());
    for (std::size_t i = 1; i < steps.size(); ++i)
        EXPECT_LT(steps[i].width(), steps[i - 1].width());
    for (const auto& r : steps) {
        EXPECT_TRUE(triangle.containsPoint({ r.minX(), r.maxY() }));
        EXPECT_TRUE(triangle.containsPoint({ r.maxX() - 1e-6, r.maxY() }));
    }
    auto holes = lineFragmentRectsForFixedLineheight(ring(), 20);
    for (const auto& r : holes)
        EXPECT_FALSE(gfx::intersectsRect(r, { 40, 40, 20, 20 })) << "nothing in the hole";

    // A line height so small that the lines could not be counted gives none instead of measuring for ever.
    testsupport::CapturedLog log;
    EXPECT_TRUE(lineFragmentRectsForFixedLineheight(*square, 1e-6).empty());
    EXPECT_TRUE(lineFragmentRectsForFixedLineheight(*square, 1e-300).empty());
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "more than 100000"));
}

// Each line is shrunk by a point at its top and at its bottom: a line of 2.5 keeps half a point, one of 2 a line of
// no height, and a thinner one nothing (at 1.5 a square gave 66 rectangles -0.5 high).
TEST(PathCrossings, LinesThinnerThanTheirTwoMarginsHoldNoFragment)
{
    auto square = BezierPath::bezierPathWithRect({ 0, 0, 100, 100 });
    // 41 lines of 2.5: the first only measured, the last at the top edge, where the outline is not crossed.
    auto rects = lineFragmentRectsForFixedLineheight(*square, 2.5);
    ASSERT_EQ(rects.size(), 39u);
    for (std::size_t i = 0; i < rects.size(); ++i)
        EXPECT_EQ(rects[i], (Rect { 0, 1 + 2.5 * double(i), 100, 0.5 })) << "line " << i + 1;
    rects = lineFragmentRectsForFixedLineheight(*square, 2);
    ASSERT_EQ(rects.size(), 49u);
    EXPECT_EQ(rects.front(), (Rect { 0, 1, 100, 0 }));
    EXPECT_EQ(rects.back(), (Rect { 0, 97, 100, 0 }));
    for (double height : { 1.999, 1.5, 1.0, 0.5, 0.01 })
        EXPECT_TRUE(lineFragmentRectsForFixedLineheight(*square, height).empty()) << "lines of " << height;
    auto triangle = polygon({ { 0, 0 }, { 100, 0 }, { 50, 100 } });
    EXPECT_TRUE(lineFragmentRectsForFixedLineheight(triangle, 1.5).empty());
    EXPECT_EQ(lineFragmentRectsForFixedLineheight(triangle, 2.5).size(), 39u);
}

// The line fragments measured line by line, each line's crossings and each corner's hit test taken on the whole
// path: what the sweeps up the outline must give.
std::vector<Rect> fragmentsMeasuredOneByOne(const BezierPath& path, double lineHeight)
{
    std::vector<Rect> rects;
    const Rect bounds = path.bounds();
    const auto lines = static_cast<std::int64_t>(std::floor(bounds.height() / lineHeight) + 1);
    auto previous = intersectingPointsWithHorizontalLineAtY(path, bounds.minY() + 1.0);
    for (std::int64_t i = 1; i < lines; ++i) {
        const double y = bounds.minY() + static_cast<double>(i) * lineHeight;
        auto crossings = intersectingPointsWithHorizontalLineAtY(path, y);
        if (crossings.empty())
            continue;
        if (!previous.empty()) {
            const std::size_t m = std::max(previous.size(), crossings.size());
            double left = 0;
            for (std::size_t k = 0; k < m; ++k) {
                double a = previous[k % previous.size()].x, b = crossings[k % crossings.size()].x;
                if (k % 2 == 0) {
                    left = std::max(a, b);
                    continue;
                }
                double right = std::min(a, b);
                Rect r = gfx::standardizedRect({ left, y - lineHeight, right - left, lineHeight });
                r = { r.minX(), r.minY() + 1.0, r.width(), r.height() - 2.0 };
                if (r.height() < 0)
                    continue;
                Rect probe = gfx::insetRect(r, 1e-3, 1e-3);
                if (r.width() > 0 && path.containsPoint({ probe.minX(), probe.minY() })
                    && path.containsPoint({ probe.maxX(), probe.minY() })
                    && path.containsPoint({ probe.maxX(), probe.maxY() })
                    && path.containsPoint({ probe.minX(), probe.maxY() }))
                    rects.push_back(r);
            }
        }
        previous = std::move(crossings);
    }
    return rects;
}

TEST(PathCrossings, LineFragmentsOfRandomShapesAreThoseMeasuredLineByLine)
{
    std::size_t kept = 0;
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::mt19937 random(seed);
        BezierPath path = pathtest::randomPath(random, 24);
        if (seed % 2 == 0)
            path.setWindingRule(gfx::WindingRule::EvenOdd);
        // Heights from a fifth of a unit (lines thinner than the two units cut off hold nothing) to 40.
        const double lineHeight = std::exp(std::uniform_real_distribution<double>(std::log(0.2), std::log(40))(random));
        const auto rects = lineFragmentRectsForFixedLineheight(path, lineHeight);
        ASSERT_EQ(rects, fragmentsMeasuredOneByOne(path, lineHeight)) << seed << " at " << lineHeight;
        kept += rects.size();
    }
    EXPECT_GT(kept, 300u) << "the shapes hold lines";
}

// Lines across an outline of many teeth cross it at every tooth: their number bounds the work, not the lines' alone.
TEST(PathCrossings, LinesCrossingTheOutlineTooOftenGiveNoFragments)
{
    BezierPath comb;
    comb.moveToPoint({ 0, -10 });
    for (int i = 0; i < 10000; ++i)
        comb.lineToPoint({ double(i), (i % 2) * 1000.0 });
    comb.lineToPoint({ 9999, -10 });
    comb.closePath();
    testsupport::CapturedLog log;
    // 99,019 lines, nearly all of which cross 10,000 edges.
    EXPECT_TRUE(lineFragmentRectsForFixedLineheight(comb, 0.0102).empty());
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "more than 10000000"));
    // Ten lines 101 high from the base at -10: the nine that cross the teeth hold a fragment in each of the 5,000,
    // the first in the tooth from (0, 0) over (1, 1000) to (2, 0) as wide as the tooth is at its top, y = 91.
    const auto rects = lineFragmentRectsForFixedLineheight(comb, 101);
    ASSERT_EQ(rects.size(), 9u * 5000u);
    EXPECT_NEAR(rects.front().minX(), 0.091, 1e-12);
    EXPECT_NEAR(rects.front().maxX(), 1.909, 1e-12);
    EXPECT_EQ(rects.front().minY(), -9);
    EXPECT_EQ(rects.front().height(), 99);
}

TEST(PathCrossings, AProposedLineGetsThePartInsideTheShape)
{
    Rect remaining;
    // Left of the ring: the first stretch, and what is left of the proposed width after it.
    Rect fragment = lineFragmentRectForProposedRect(ring(), { -20, 45, 100, 10 }, &remaining);
    EXPECT_EQ(fragment, (Rect { 0, 45, 40, 10 }));
    EXPECT_EQ(remaining, (Rect { 40, 45, 40, 10 })) << "up to the proposed rectangle's right edge";
    // A stretch that begins left of the proposed rectangle is cut to it, not skipped.
    fragment = lineFragmentRectForProposedRect(ring(), { 10, 45, 200, 10 }, &remaining);
    EXPECT_EQ(fragment, (Rect { 10, 45, 30, 10 }));
    EXPECT_EQ(remaining, (Rect { 40, 45, 170, 10 }));
    fragment = lineFragmentRectForProposedRect(ring(), { 50, 45, 200, 10 }, &remaining);
    EXPECT_EQ(fragment, (Rect { 60, 45, 40, 10 }));
    EXPECT_EQ(remaining, (Rect { 100, 45, 150, 10 }));
    // Inside the hole: nothing there, nothing left.
    fragment = lineFragmentRectForProposedRect(ring(), { 42, 45, 16, 10 }, &remaining);
    EXPECT_EQ(fragment, gfx::ZeroRect);
    EXPECT_EQ(remaining, gfx::ZeroRect);
    // The datum offset moves the test line: at the bottom edge of a rectangle reaching below the ring.
    fragment = lineFragmentRectForProposedRect(ring(), { 45, 35, 10, 10 }, nullptr, -0.5);
    EXPECT_EQ(fragment, (Rect { 45, 35, 10, 10 }));
    EXPECT_EQ(lineFragmentRectForProposedRect(ring(), { 45, 35, 10, 10 }, nullptr, 0.5), gfx::ZeroRect);
}

}
