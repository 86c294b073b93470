// Platform paths at ten times a typical load, where the cost should grow with the work and no faster:
// - RunLoopPostedBlocks: 10,000 blocks posted to the main run loop, every tenth for the event-tracking mode only,
//   then one pass in the default mode runs the other 9,000 (the tracking ones wait for their mode).
// - NotificationPost: one post of a name among 1,000 observers of 100 names (ten each, and five of every name):
//   only the ten of that name and the five of every name should be visited.
// Menus, tab views and the other collections are measured at three sizes in PlatformCollectionsBench.
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"

#include <benchmark/benchmark.h>

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
        loop.runUntilDate(fnd::Date::now());
        // What waits for the tracking mode is taken by a tracking pass, untimed.
        state.PauseTiming();
        loop.runInMode(fnd::RunLoopMode::EventTracking, fnd::Date::now(), false);
        state.ResumeTiming();
    }
    state.counters["blocks_run"] = double(ran) / double(state.iterations());
    state.counters["tracking_run"] = double(tracking) / double(state.iterations());
}
BENCHMARK(RunLoopPostedBlocks)->Unit(benchmark::kMillisecond);

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

}
