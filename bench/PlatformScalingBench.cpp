// Platform paths at ten times a typical load, where the cost should grow with the work and no faster:
// - RunLoopPostedBlocks: 10,000 blocks posted to the main run loop, every tenth for the event-tracking mode only,
//   then one pass in the default mode runs the other 9,000 (the tracking ones wait for their mode).
// - RunLoopDueTimers: one pass that fires 100 or 1,000 one-shot timers found due at once (ten and a hundred times the
//   handful a busy window has), in fire-date order.
// - NotificationPost: one post of a name among 1,000 observers of 100 names (ten each, and five of every name):
//   only the ten of that name and the five of every name should be visited.
// - NotificationRemoveObjectsOneByOne: an observer of 1,000 or 10,000 objects stops observing them one at a time;
//   each removal should look at that object's observers, not at all of the observer's observations.
// Menus, tab views and the other collections are measured at three sizes in PlatformCollectionsBench.
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

void RunLoopPostedBlocks(benchmark::State& state)
{
    auto& loop = fnd::RunLoop::current();
    long ran = 0, tracking = 0;
    for (auto _ : state) {
        for (int i = 0; i < 10000; ++i) {
            if (i % 10 == 9)
                loop.post([&tracking] { ++tracking; }, { fnd::RunLoopMode::EventTracking });
            else
                loop.post([&ran] { ++ran; }, { fnd::RunLoopMode::Default });
        }
        // A limit in the past makes one pass. The wall clock's date is not one: the loop's clock only starts at it,
        // and a run until a date that lies ahead on the loop's clock waits for it.
        loop.runUntilDate(fnd::Date::distantPast());
        // What waits for the tracking mode is taken by a tracking pass, untimed.
        state.PauseTiming();
        loop.runInMode(fnd::RunLoopMode::EventTracking, fnd::Date::distantPast(), false);
        state.ResumeTiming();
    }
    state.counters["blocks_run"] = double(ran) / double(state.iterations());
    state.counters["tracking_run"] = double(tracking) / double(state.iterations());
}
BENCHMARK(RunLoopPostedBlocks)->Unit(benchmark::kMillisecond);

void RunLoopDueTimers(benchmark::State& state)
{
    auto& loop = fnd::RunLoop::current();
    const auto count = int(state.range(0));
    const auto now = fnd::Clock::current()->now();
    std::mt19937 random(7);
    long fired = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < count; ++i) {
            auto date = now.addingTimeInterval(-std::uniform_real_distribution(0.001, 1.0)(random));
            loop.addTimer(
                fnd::Timer::create(date, 0, false, [&fired](fnd::Timer&) { ++fired; }), fnd::RunLoopMode::Default);
        }
        state.ResumeTiming();
        loop.runUntilDate(fnd::Date::distantPast());
    }
    state.counters["fired"] = double(fired) / double(state.iterations());
}
BENCHMARK(RunLoopDueTimers)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

class PlatformScalingObserver : public fnd::Object {
    FND_OBJECT(PlatformScalingObserver)
    static void describeClass(fnd::ClassBuilder<PlatformScalingObserver>& c)
    {
        c.action("heard:", &PlatformScalingObserver::heard);
    }

public:
    void heard(const fnd::Value&) { ++calls; }
    long calls { 0 };
};
FND_REGISTER_CLASS(PlatformScalingObserver, fnd::Object)

void NotificationPost(benchmark::State& state)
{
    fnd::NotificationCenter center;
    std::vector<std::shared_ptr<PlatformScalingObserver>> observers;
    for (int i = 0; i < 1000; ++i) {
        auto observer = fnd::makeObject<PlatformScalingObserver>();
        // 995 observers of 100 names, and five of every name.
        auto name = i < 995 ? fnd::String("PlatformScalingNotification" + std::to_string(i % 100)) : fnd::String();
        center.addObserver(*observer, fnd::Selector("heard:"), name);
        observers.push_back(observer);
    }
    const fnd::String posted("PlatformScalingNotification42");
    for (auto _ : state)
        center.postNotificationName(posted);
    long heard = 0;
    for (const auto& o : observers)
        heard += o->calls;
    state.counters["heard_per_post"] = double(heard) / double(state.iterations());
}
BENCHMARK(NotificationPost)->Unit(benchmark::kMicrosecond);

// One observer that follows each of n objects under one name (a controller and its documents) and stops following
// them one at a time, by name and object, as each document closes.
void NotificationRemoveObjectsOneByOne(benchmark::State& state)
{
    const auto count = int(state.range(0));
    const fnd::String name("PlatformScalingDocumentChanged");
    for (auto _ : state) {
        state.PauseTiming();
        fnd::NotificationCenter center;
        auto observer = fnd::makeObject<PlatformScalingObserver>();
        std::vector<std::shared_ptr<PlatformScalingObserver>> documents;
        for (int i = 0; i < count; ++i) {
            documents.push_back(fnd::makeObject<PlatformScalingObserver>());
            center.addObserver(*observer, fnd::Selector("heard:"), name, fnd::Value(documents.back()));
        }
        state.ResumeTiming();
        for (const auto& document : documents)
            center.removeObserver(*observer, name, fnd::Value(document));
        state.PauseTiming();
        documents.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(NotificationRemoveObjectsOneByOne)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

}
