#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "support/Raised.h"

#include "PathTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

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
