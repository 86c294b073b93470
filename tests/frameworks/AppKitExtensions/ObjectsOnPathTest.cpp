#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"
#include "frameworks/AppKitExtensions/detail/PathLengthCursor.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "support/Raised.h"

#include "PathTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace {

using namespace pathtest;
using namespace Text_ZORAppKitExtensions;
using gfx::BezierPath;
using gfx::Point;

// Records where objects go; returns a small square path for each, or nil when asked to.
struct Factory : PathObjectFactory {
    std::vector<double> positions;
    std::vector<Point> points;
    bool returnsNil = false;
    fnd::Value placeObjectAtPoint(Point p, const BezierPath&, double position, double, void*) override
    {
        positions.push_back(position);
        points.push_back(p);
        if (returnsNil)
            return {};
        return BezierPath::bezierPathWithRect({ p.x - 1, p.y - 1, 2, 2 });
    }
};

struct Links : PathLinkFactory {
    std::vector<std::pair<Point, Point>> links;
    std::vector<std::int64_t> numbers;
    fnd::Value placeLinkFromPoint(Point from, Point to, const BezierPath&, std::int64_t n, void*) override
    {
        links.emplace_back(from, to);
        numbers.push_back(n);
        return static_cast<long long>(n);
    }
};

TEST(ObjectsOnPath, ObjectsAtRegularDistancesIncludingTheEnd)
{
    Factory factory;
    auto placed = placeObjectsOnPathAtInterval(line({ 0, 0 }, { 100, 0 }), 25, &factory, nullptr);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->size(), 5u);
    EXPECT_EQ(factory.positions, (std::vector<double> { 0, 25, 50, 75, 100 }));
    EXPECT_EQ(factory.points.back(), (Point { 100, 0 }));
    // An interval that does not add up exactly still lands each object at a whole multiple of it.
    Factory tenths;
    placeObjectsOnPathAtInterval(line({ 0, 0 }, { 1, 0 }), 0.1, &tenths, nullptr);
    ASSERT_EQ(tenths.positions.size(), 11u);
    EXPECT_EQ(tenths.positions[7], 7 * 0.1);
    Factory once;
    placeObjectsOnPathAtInterval(line({ 0, 0 }, { 100, 0 }), 250, &once, nullptr);
    EXPECT_EQ(once.positions, (std::vector<double> { 0 }));
    factory.returnsNil = true;
    EXPECT_TRUE(placeObjectsOnPathAtInterval(line({ 0, 0 }, { 10, 0 }), 5, &factory, nullptr)->empty());
    EXPECT_FALSE(placeObjectsOnPathAtInterval(line({ 0, 0 }, { 10, 0 }), 0, &factory, nullptr));
    EXPECT_FALSE(placeObjectsOnPathAtInterval(BezierPath(), 5, &factory, nullptr));
    auto e = raised([] { placeObjectsOnPathAtInterval(line({ 0, 0 }, { 10, 0 }), 5, nullptr, nullptr); });
    ASSERT_TRUE(e);
    EXPECT_EQ(e->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_EQ(e->reason(), "Factory object (null) does not implement the required protocol");

    Factory squares;
    auto joined = bezierPathWithObjectsOnPathAtInterval(line({ 0, 0 }, { 100, 0 }), 50, &squares, nullptr);
    ASSERT_TRUE(joined);
    EXPECT_EQ(joined->elementCount(), 15) << "three squares";
    squares.returnsNil = true;
    EXPECT_EQ(bezierPathWithObjectsOnPathAtInterval(line({ 0, 0 }, { 100, 0 }), 50, &squares, nullptr), nullptr);
}

TEST(ObjectsOnPath, StampsAreScaledTurnedAndMovedAlternately)
{
    // An arrow pointing along +x from the origin.
    BezierPath arrow = line({ 0, 0 }, { 4, 0 });
    BezierPath up = line({ 10, 0 }, { 10, 100 });
    auto stamped = bezierPathWithPath(up, arrow, 40, 5, true);
    ASSERT_TRUE(stamped);
    ASSERT_EQ(stamped->elementCount(), 6) << "at 5, 45 and 85";
    auto tip = [&](int copy) { return stamped->associatedPoints(2 * copy + 1)[0]; };
    EXPECT_NEAR(tip(0).x, 10, 1e-6) << "angles are single precision";
    EXPECT_NEAR(tip(0).y, 9, 1e-6) << "turned to point up the path";
    EXPECT_NEAR(tip(1).y, 41, 1e-6) << "the second copy turned round";
    EXPECT_NEAR(tip(2).y, 89, 1e-6);

    struct Taper : PathTaperDelegate {
        std::optional<double> taperFactorAtDistance(double d, const BezierPath&, double length) override
        {
            return 1 - d / length;
        }
    } taper;
    auto tapered = bezierPathWithPath(up, arrow, 50, 0, false, &taper);
    ASSERT_EQ(tapered->elementCount(), 6);
    EXPECT_NEAR(tapered->associatedPoints(3)[0].y, 52, 1e-6) << "half size halfway";
    EXPECT_NEAR(tapered->associatedPoints(5)[0].y, 100, 1e-6) << "nothing left at the end";
    EXPECT_EQ(bezierPathWithPath(up, arrow, 0), nullptr);
}

TEST(ObjectsOnPath, IntervalsTooSmallToEndPlaceNothing)
{
    testsupport::CapturedLog log;
    const BezierPath track = line({ 0, 0 }, { 100, 0 });
    // A million objects, copies or links would be asked for; nothing is made, and the call returns.
    Factory factory;
    EXPECT_FALSE(placeObjectsOnPathAtInterval(track, 1e-4, &factory, nullptr));
    EXPECT_TRUE(factory.positions.empty());
    EXPECT_FALSE(placeObjectsOnPathAtInterval(track, 1e-300, &factory, nullptr));
    EXPECT_EQ(bezierPathWithObjectsOnPathAtInterval(track, 1e-300, &factory, nullptr), nullptr);
    EXPECT_EQ(bezierPathWithPath(track, line({ 0, 0 }, { 1, 0 }), 1e-4), nullptr);
    Links links;
    EXPECT_FALSE(placeLinksOnPathWithEvenLinkLength(track, 1e-20, 1e-4, &links, nullptr));
    EXPECT_TRUE(links.links.empty());
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "more than 100000"));
    // A copy whose phase lies past the end still counts as none, not as a huge number.
    EXPECT_EQ(bezierPathWithPath(track, line({ 0, 0 }, { 1, 0 }), 1, 500)->elementCount(), 0);

    // 1,001 copies of a stamp of 2,000 elements would hold over two million elements.
    BezierPath large;
    large.moveToPoint({ 0, 0 });
    for (int i = 1; i < 2000; ++i)
        large.lineToPoint({ double(i % 7), double(i % 5) });
    EXPECT_EQ(bezierPathWithPath(track, large, 0.1), nullptr);
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "more than 2000000 elements"));
    EXPECT_EQ(bezierPathWithPath(track, large, 0.2)->elementCount(), 501 * 2000) << "a million elements are made";
}

TEST(ObjectsOnPath, LinksChainAlongThePathAndStopBeforeItsEnd)
{
    Links links;
    auto placed = placeLinksOnPathWithLinkLength(line({ 0, 0 }, { 35, 0 }), 10, &links, nullptr);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->size(), 3u);
    EXPECT_EQ(links.numbers, (std::vector<std::int64_t> { 0, 1, 2 }));
    EXPECT_EQ(links.links[2].second, (Point { 30, 0 }));

    // On a circle each link keeps its length and aims at the point at the summed distance.
    Links around;
    auto circle = BezierPath::bezierPathWithOvalInRect({ -50, -50, 100, 100 });
    placeLinksOnPathWithEvenLinkLength(*circle, 20, 10, &around, nullptr);
    ASSERT_GT(around.links.size(), 15u);
    for (std::size_t i = 0; i < around.links.size(); ++i) {
        auto [from, to] = around.links[i];
        EXPECT_NEAR(std::hypot(to.x - from.x, to.y - from.y), i % 2 == 0 ? 20 : 10, 1e-4);
        if (i > 0) {
            EXPECT_EQ(from, around.links[i - 1].second);
        }
    }
    EXPECT_FALSE(placeLinksOnPathWithEvenLinkLength(*circle, 20, 0, &around, nullptr));
}

// Where each piece goes, as the point at its distance alone gives it: the pieces are placed by one walk along the
// path, which must land exactly where measuring from the start lands.
struct Placement {
    Point point;
    double slope;
};

Placement placementAt(const BezierPath& path, double d)
{
    double slope = 0;
    Point p = ZORNSBezierPathExtension::pointOnPathAtLength(path, d, &slope);
    return { p, slope };
}

struct SlopeFactory : PathObjectFactory {
    std::vector<double> positions;
    std::vector<Placement> placements;
    fnd::Value placeObjectAtPoint(Point p, const BezierPath&, double position, double slope, void*) override
    {
        positions.push_back(position);
        placements.push_back({ p, slope });
        return 1;
    }
};

TEST(ObjectsOnPath, PiecesOnRandomPathsLieWhereThePointAtTheirDistanceLies)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        const BezierPath path = randomPath(random);
        const double length = ZORNSBezierPathExtension::length(path);
        const double interval = std::uniform_real_distribution<double>(length / 150, length / 20)(random);

        SlopeFactory objects;
        ASSERT_TRUE(placeObjectsOnPathAtInterval(path, interval, &objects, nullptr)) << seed;
        ASSERT_EQ(objects.positions.size(), static_cast<std::size_t>(std::floor(length / interval)) + 1) << seed;
        for (std::size_t k = 0; k < objects.positions.size(); ++k) {
            auto expected = placementAt(path, objects.positions[k]);
            ASSERT_EQ(objects.placements[k].point, expected.point) << seed << " object " << k;
            ASSERT_EQ(objects.placements[k].slope, expected.slope) << seed << " object " << k;
        }

        // A stamp's one point goes to each piece's point, turned by its slope.
        BezierPath dot;
        dot.moveToPoint({ 1, 0 });
        const double phase = interval / 3;
        auto stamped = bezierPathWithPath(path, dot, interval, phase);
        ASSERT_TRUE(stamped) << seed;
        for (std::int64_t k = 0; k < stamped->elementCount(); ++k) {
            auto expected = placementAt(path, phase + static_cast<double>(k) * interval);
            const double a = expected.slope;
            Point p = stamped->associatedPoints(k)[0];
            ASSERT_NEAR(p.x, expected.point.x + std::cos(a), 1e-9) << seed << " copy " << k;
            ASSERT_NEAR(p.y, expected.point.y + std::sin(a), 1e-9) << seed << " copy " << k;
        }

        // Each link aims at the point at the summed length.
        Links links;
        ASSERT_TRUE(placeLinksOnPathWithEvenLinkLength(path, interval, interval / 2, &links, nullptr)) << seed;
        Point from = ZORNSBezierPathExtension::firstPoint(path);
        double distance = 0;
        for (std::size_t n = 0; n < links.links.size(); ++n) {
            const double link = n % 2 == 0 ? interval : interval / 2;
            distance += link;
            Point target = placementAt(path, distance).point;
            float a = std::atan2(static_cast<float>(target.y - from.y), static_cast<float>(target.x - from.x));
            Point to { from.x + link * std::cos(a), from.y + link * std::sin(a) };
            ASSERT_EQ(links.links[n].first, from) << seed << " link " << n;
            ASSERT_EQ(links.links[n].second, to) << seed << " link " << n;
            from = to;
        }
    }
}

// Lengths in any order (a looping motion starts again at the path's start), and at and past its ends.
TEST(ObjectsOnPath, AWalkAlongARandomPathGivesThePointsAndRestsMeasuredFromItsStart)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        const BezierPath path = randomPath(random, 30);
        const double length = ZORNSBezierPathExtension::length(path);
        ZORPathLengthCursor::Cursor cursor(path);
        EXPECT_EQ(cursor.pathLength(), length);
        std::uniform_real_distribution<double> step(-length / 10, length / 8);
        double d = -1;
        for (int k = 0; k < 120; ++k) {
            double slope = -7, expectedSlope = -7;
            Point p = cursor.pointAtLength(d, &slope);
            Point expected = ZORNSBezierPathExtension::pointOnPathAtLength(path, d, &expectedSlope);
            ASSERT_EQ(p, expected) << seed << " at " << d;
            ASSERT_EQ(slope, expectedSlope) << seed << " at " << d;
            // What is left from there, as text on the path places a glyph at its start.
            auto rest = cursor.restFromLength(d);
            auto trimmed
                = ZORNSBezierPathExtension::bezierPathByTrimmingFromLength(std::make_shared<BezierPath>(path), d);
            ASSERT_EQ(rest.has_value(), !trimmed->isEmpty()) << seed << " at " << d;
            if (rest) {
                ASSERT_EQ(rest->start, trimmed->associatedPoints(0)[0]) << seed << " at " << d;
                ASSERT_EQ(rest->slope, ZORNSBezierPathExtension::slopeStartingPath(*trimmed)) << seed << " at " << d;
                ASSERT_NEAR(rest->length, ZORNSBezierPathExtension::length(*trimmed), 1e-9 * length)
                    << seed << " at " << d;
            }
            d = k % 17 == 16 ? length : d + step(random);
        }
    }
}

bool sameElements(const BezierPath& a, const BezierPath& b)
{
    if (a.elementCount() != b.elementCount())
        return false;
    for (std::int64_t i = 0; i < a.elementCount(); ++i) {
        if (a.elementAtIndex(i) != b.elementAtIndex(i))
            return false;
        auto p = a.associatedPoints(i), q = b.associatedPoints(i);
        if (!std::equal(p.begin(), p.end(), q.begin(), q.end()))
            return false;
    }
    return true;
}

// Stretches one after another along the path, as an underline's pieces between descender gaps: each must be the
// path trimmed from its start to its length, element for element.
TEST(ObjectsOnPath, StretchesAlongARandomPathAreThePathTrimmedToThem)
{
    int stretches = 0;
    for (unsigned seed = 1; seed <= 100; ++seed) {
        std::mt19937 random(seed);
        const BezierPath path = randomPath(random, 30);
        const auto shared = std::make_shared<BezierPath>(path);
        const double length = ZORNSBezierPathExtension::length(path);
        ZORPathLengthCursor::Cursor cursor(path);
        std::uniform_real_distribution<double> step(0, length / 12), size(-length / 40, length / 6);
        for (double from = -length / 50; from < length * 1.05; from += step(random)) {
            const double stretch = seed % 10 == 0 ? length - from : size(random);
            const auto expected = ZORNSBezierPathExtension::bezierPathByTrimmingFromLength(shared, from, stretch, 0.1);
            ASSERT_TRUE(sameElements(cursor.stretch(from, stretch), *expected))
                << seed << " from " << from << " for " << stretch;
            ++stretches;
        }
    }
    EXPECT_GT(stretches, 1000);
}

struct Mover : fnd::Object, PathMovedObject {
    std::vector<double> positions;
    std::vector<double> slopes;
    std::vector<fnd::Value> infos;
    int stopAfter = -1;
    bool moveObjectTo(Point, double position, double slope, const fnd::Value& info) override
    {
        positions.push_back(position);
        slopes.push_back(slope);
        infos.push_back(info);
        return stopAfter < 0 || static_cast<int>(positions.size()) < stopAfter;
    }
};

class MotionTest : public ::testing::Test {
protected:
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
    std::shared_ptr<fnd::VirtualClock> clock = std::make_shared<fnd::VirtualClock>(fnd::Date::fromReferenceDate(50));
    fnd::ScopedClock scopedClock { clock };
};

TEST_F(MotionTest, AMotionReachesTheEndAndStops)
{
    auto mover = std::make_shared<Mover>();
    moveObject(line({ 0, 0 }, { 0, 100 }), mover, 50, false, "info");
    ASSERT_EQ(mover->positions.size(), 1u) << "first moved to the start";
    runFor(1);
    EXPECT_NEAR(mover->positions.back(), 50, 2) << "50 units a second";
    EXPECT_NEAR(mover->slopes.back(), Pi / 2, 1e-6);
    runFor(1.5);
    EXPECT_EQ(mover->positions.back(), 100) << "the end, and no further";
    auto count = mover->positions.size();
    EXPECT_NEAR(static_cast<double>(count), 1 + 2 * 30 + 1, 2) << "thirty moves a second";
    runFor(2);
    EXPECT_EQ(mover->positions.size(), count) << "stopped";
    EXPECT_EQ(mover->infos.back(), fnd::Value("info"));
}

TEST_F(MotionTest, ALoopingMotionGoesRoundUntilTheObjectSaysNo)
{
    auto mover = std::make_shared<Mover>();
    mover->stopAfter = 100;
    moveObject(line({ 0, 0 }, { 100, 0 }), mover, 100, true, {});
    runFor(1.5);
    ASSERT_GT(mover->positions.size(), 40u);
    EXPECT_LT(mover->positions.back(), 60) << "round again after a second";
    runFor(10);
    EXPECT_EQ(mover->positions.size(), 100u);

    auto refuses = std::make_shared<Mover>();
    refuses->stopAfter = 1;
    moveObject(line({ 0, 0 }, { 100, 0 }), refuses, 100, true, {});
    runFor(1);
    EXPECT_EQ(refuses->positions.size(), 1u) << "no timer when the first move is refused";
    auto still = std::make_shared<Mover>();
    moveObject(line({ 0, 0 }, { 100, 0 }), still, 0, true, {});
    EXPECT_TRUE(still->positions.empty());
    auto e = raised([] { moveObject(line({ 0, 0 }, { 1, 0 }), nullptr, 1, false, {}); });
    ASSERT_TRUE(e);
    EXPECT_NE(e->reason().utf8().find("can't move a nil object"), std::string::npos);
    auto stranger = fnd::makeObject<fnd::Object>();
    auto refused = raised([&] { moveObject(line({ 0, 0 }, { 1, 0 }), stranger, 1, false, {}); });
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->name(), fnd::ExceptionName::InvalidArgument);
    EXPECT_EQ(
        refused->reason(), "Moved object " + stranger->description() + " does not implement the required protocol");
}

// The motion's state rides on its timer: the path, speed, moved object, the caller's object, the path's length,
// whether it loops and when it started.
TEST_F(MotionTest, TheMotionsStateIsItsTimersUserInfo)
{
    auto mover = std::make_shared<Mover>();
    auto timer = moveObject(line({ 0, 0 }, { 0, 100 }), mover, 50, false, "info");
    ASSERT_TRUE(timer);
    const auto* state = timer->userInfo().dictionary();
    ASSERT_TRUE(state);
    EXPECT_EQ(state->get("target").objectAs<Mover>(), mover);
    EXPECT_EQ(state->get("speed"), fnd::Value(50.0));
    EXPECT_EQ(state->get("path_length"), fnd::Value(100.0));
    EXPECT_EQ(state->get("loop"), fnd::Value(false));
    EXPECT_EQ(state->get("start_time"), fnd::Value(50.0)) << "the clock's time when the motion started";
    EXPECT_EQ(state->get("userinfo"), fnd::Value("info"));
    auto path = state->get("path").objectAs<BezierPath>();
    ASSERT_TRUE(path);
    EXPECT_EQ(path->elementCount(), 2);
    EXPECT_EQ(state->count(), 7u);
    timer->invalidate();
    EXPECT_FALSE(moveObject(line({ 0, 0 }, { 0, 100 }), mover, 0, false, {})) << "no motion, no timer";
}

}
