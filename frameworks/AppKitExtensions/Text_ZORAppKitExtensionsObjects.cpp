// Objects placed, stamped, chained and moved along a path.

#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"
#include "frameworks/AppKitExtensions/detail/PathLengthCursor.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"

#include <cmath>
#include <numbers>
#include <optional>

using gfx::BezierPath;
using gfx::Point;

namespace Text_ZORAppKitExtensions {

namespace {

constexpr double MotionInterval = 1.0 / 30.0;

template <typename Factory> void requireFactory(Factory* factory, const char* what)
{
    if (!factory)
        throw fnd::Exception::invalidArgument(
            fnd::String(fmt::format("{} (null) does not implement the required protocol", what)));
}

// Whether count pieces are few enough to make; a tiny interval or link length would otherwise loop for ever (or
// until memory runs out). NaN counts as too many.
bool withinPlacementLimit(double count, const char* what)
{
    if (count <= PathPlacementLimit)
        return true;
    fnd::logf(fnd::LogLevel::Error, "Placing {} along a path would make {} of them, more than {}; nothing is placed.",
        what, count, PathPlacementLimit);
    return false;
}

// Distances start, start + interval, ... up to the length, each computed afresh so that the last one lands on the
// length exactly when it is a whole number of intervals.
template <typename Visit> void forEachDistance(double start, double interval, double length, Visit&& visit)
{
    for (std::int64_t k = 0;; ++k) {
        double d = start + static_cast<double>(k) * interval;
        if (!(d <= length))
            break;
        visit(k, d);
    }
}

}

std::optional<fnd::Array> placeObjectsOnPathAtInterval(
    const BezierPath& path, double interval, PathObjectFactory* factory, void* userInfo)
{
    requireFactory(factory, "Factory object");
    if (path.elementCount() < 2 || !(interval > 0))
        return std::nullopt;
    ZORPathLengthCursor::Cursor along(path);
    const double length = along.pathLength();
    if (!withinPlacementLimit(std::floor(length / interval) + 1, "objects"))
        return std::nullopt;
    fnd::Array objects;
    forEachDistance(0, interval, length, [&](std::int64_t, double d) {
        double slope = 0;
        Point p = along.pointAtLength(d, &slope);
        if (auto object = factory->placeObjectAtPoint(p, path, d, slope, userInfo))
            objects.push_back(std::move(object));
    });
    return objects;
}

PathPtr bezierPathWithObjectsOnPathAtInterval(
    const BezierPath& path, double interval, PathObjectFactory* factory, void* userInfo)
{
    auto objects = placeObjectsOnPathAtInterval(path, interval, factory, userInfo);
    if (!objects || objects->empty())
        return nullptr;
    auto out = BezierPath::bezierPath();
    for (const auto& object : *objects)
        if (auto piece = object.objectAs<BezierPath>())
            out->appendBezierPath(*piece);
    return out;
}

PathPtr bezierPathWithPath(const BezierPath& path, const BezierPath& stamp, double interval, double phase,
    bool alternate, PathTaperDelegate* taperDelegate)
{
    if (path.elementCount() < 2 || !(interval > 0))
        return nullptr;
    ZORPathLengthCursor::Cursor along(path);
    const double length = along.pathLength();
    const double copies = std::floor((length - std::min(phase, length)) / interval) + 1;
    if (!withinPlacementLimit(copies, "copies"))
        return nullptr;
    if (!(copies * static_cast<double>(stamp.elementCount()) <= PathStampElementLimit)) {
        fnd::logf(fnd::LogLevel::Error,
            "Stamping a path of {} elements {} times would make more than {} elements; nothing is stamped.",
            stamp.elementCount(), copies, PathStampElementLimit);
        return nullptr;
    }
    auto out = BezierPath::bezierPath();
    forEachDistance(phase, interval, length, [&](std::int64_t copy, double d) {
        double angle = 0;
        Point p = along.pointAtLength(d, &angle);
        if (alternate && (copy & 1))
            angle += std::numbers::pi;
        // Scaled first, then turned, then moved onto the path.
        gfx::AffineTransform placement;
        placement.translateBy(p.x, p.y);
        placement.rotateByRadians(angle);
        if (taperDelegate)
            if (auto factor = taperDelegate->taperFactorAtDistance(d, path, length))
                placement.scaleBy(*factor);
        BezierPath placed(stamp);
        placed.transformUsingAffineTransform(placement);
        out->appendBezierPath(placed);
    });
    return out;
}

std::optional<fnd::Array> placeLinksOnPathWithLinkLength(
    const BezierPath& path, double length, PathLinkFactory* factory, void* userInfo)
{
    return placeLinksOnPathWithEvenLinkLength(path, length, length, factory, userInfo);
}

std::optional<fnd::Array> placeLinksOnPathWithEvenLinkLength(
    const BezierPath& path, double evenLinkLength, double oddLinkLength, PathLinkFactory* factory, void* userInfo)
{
    requireFactory(factory, "Factory object");
    if (path.elementCount() < 2 || !(evenLinkLength > 0) || !(oddLinkLength > 0))
        return std::nullopt;
    ZORPathLengthCursor::Cursor along(path);
    const double total = along.pathLength();
    // An even and an odd link together cover their two lengths.
    if (!withinPlacementLimit(std::floor(2 * total / (evenLinkLength + oddLinkLength)) + 1, "links"))
        return std::nullopt;
    fnd::Array links;
    Point from = ZORNSBezierPathExtension::firstPoint(path);
    double distance = 0;
    for (std::int64_t n = 0;; ++n) {
        double link = n % 2 == 0 ? evenLinkLength : oddLinkLength;
        distance += link;
        if (distance > total)
            break;
        Point target = along.pointAtLength(distance);
        float a = std::atan2(static_cast<float>(target.y - from.y), static_cast<float>(target.x - from.x));
        Point to { from.x + link * std::cos(a), from.y + link * std::sin(a) };
        if (auto object = factory->placeLinkFromPoint(from, to, path, n, userInfo))
            links.push_back(std::move(object));
        from = to;
    }
    return links;
}

namespace {

struct Motion {
    BezierPath path;
    // Over path: a tick goes on from where the one before stopped.
    std::optional<ZORPathLengthCursor::Cursor> along;
    std::shared_ptr<PathMovedObject> target;
    fnd::Value userInfo;
    double speed { 0 };
    double pathLength { 0 };
    bool loop { false };
    fnd::Date startTime;
};

void motionCallback(fnd::Timer& timer, Motion& motion)
{
    double elapsed = fnd::Clock::current()->now().timeIntervalSince(motion.startTime);
    double d = motion.speed * elapsed;
    bool finished = false;
    if (!motion.loop) {
        if (d > motion.pathLength) {
            d = motion.pathLength;
            finished = true;
        }
    } else {
        d = std::fmod(static_cast<float>(d), static_cast<float>(motion.pathLength));
    }
    double slope = 0;
    Point p = motion.along->pointAtLength(d, &slope);
    if (!motion.target->moveObjectTo(p, d, slope, motion.userInfo) || finished)
        timer.invalidate();
}

}

std::shared_ptr<fnd::Timer> moveObject(const BezierPath& path, const std::shared_ptr<fnd::Object>& object,
    double atSpeed, bool loop, const fnd::Value& userInfo)
{
    fnd::assertThat(object != nullptr, "can't move a nil object");
    auto moved = std::dynamic_pointer_cast<PathMovedObject>(object);
    if (!moved)
        throw fnd::Exception::invalidArgument(fnd::String(
            fmt::format("Moved object {} does not implement the required protocol", object->description().utf8())));
    if (!(atSpeed > 0) || path.elementCount() < 2)
        return nullptr;
    double slope = 0;
    Point start = ZORNSBezierPathExtension::pointOnPathAtLength(path, 0, &slope);
    if (!moved->moveObjectTo(start, 0, slope, userInfo))
        return nullptr;
    auto motion = std::make_shared<Motion>();
    motion->path = path;
    motion->along.emplace(motion->path);
    motion->target = moved;
    motion->userInfo = userInfo;
    motion->speed = atSpeed;
    motion->pathLength = motion->along->pathLength();
    motion->loop = loop;
    motion->startTime = fnd::Clock::current()->now();
    // The motion's state, readable from the timer.
    fnd::Dictionary state { { "path", std::make_shared<BezierPath>(path) }, { "speed", atSpeed }, { "target", object },
        { "path_length", motion->pathLength }, { "loop", loop },
        { "start_time", motion->startTime.timeIntervalSinceReferenceDate() } };
    if (userInfo)
        state.set("userinfo", userInfo);
    auto timer = fnd::Timer::create(
        MotionInterval, true, [motion](fnd::Timer& t) { motionCallback(t, *motion); }, fnd::Value(std::move(state)));
    auto& loopHere = fnd::RunLoop::current();
    loopHere.addTimer(timer, fnd::RunLoopMode::Default);
    loopHere.addTimer(timer, fnd::RunLoopMode::EventTracking);
    return timer;
}

}
