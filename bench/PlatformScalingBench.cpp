// Platform paths at ten times a typical load, where the cost should grow with the work and no faster:
// - RunLoopPostedBlocks: 10,000 blocks posted to the main run loop, every tenth for the event-tracking mode only,
//   then one pass in the default mode runs the other 9,000 (the tracking ones wait for their mode).
// - RunLoopDueTimers: one pass that fires 100 or 1,000 one-shot timers found due at once (ten and a hundred times the
//   handful a busy window has), in fire-date order.
// - NotificationPost: one post of a name among 1,000 observers of 100 names (ten each, and five of every name):
//   only the ten of that name and the five of every name should be visited.
// - MenuLayout: the layout of a menu of 200 items with titles and key equivalents, as a pop-up asks for it each time
//   it opens; MenuDraw: the open menu drawn whole.
// - TabViewDraw: a tab view of 50 tabs drawn whole, and TabViewHitTest: the tab under a point (each click and tip).
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/menus/MenuView.h"

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

std::shared_ptr<ui::Menu> platformScalingMenu()
{
    auto menu = ui::Menu::create();
    const char* keys = "abcdefghijklmnopqrstuvwxyz";
    for (int i = 0; i < 200; ++i) {
        if (i % 20 == 19) {
            menu->addItem(ui::MenuItem::separatorItem());
            continue;
        }
        auto item = ui::MenuItem::create(fnd::String("Menu item number " + std::to_string(i) + " of the long menu"), {},
            i % 3 == 0 ? fnd::String(std::string(1, keys[i % 26])) : fnd::String());
        menu->addItem(item);
    }
    return menu;
}

void MenuLayout(benchmark::State& state)
{
    auto menu = platformScalingMenu();
    for (auto _ : state) {
        auto layout = ui::MenuView::layoutMenu(*menu);
        benchmark::DoNotOptimize(layout);
    }
}
BENCHMARK(MenuLayout)->Unit(benchmark::kMicrosecond);

void MenuDraw(benchmark::State& state)
{
    auto view = ui::MenuView::create(platformScalingMenu());
    auto bounds = view->bounds();
    auto bitmap = view->bitmapImageRepForCachingDisplayInRect(bounds);
    for (auto _ : state)
        view->cacheDisplayInRect(bounds, *bitmap);
    state.counters["height"] = bounds.height();
}
BENCHMARK(MenuDraw)->Unit(benchmark::kMillisecond);

std::shared_ptr<ui::TabView> platformScalingTabView()
{
    auto tabView = ui::TabView::create({ 0, 0, 5000, 300 });
    for (int i = 0; i < 50; ++i) {
        auto item = ui::TabViewItem::create();
        item->setLabel(fnd::String("Tab number " + std::to_string(i)));
        tabView->addTabViewItem(item);
    }
    return tabView;
}

void TabViewDraw(benchmark::State& state)
{
    auto tabView = platformScalingTabView();
    auto bounds = gfx::Rect { 0, 0, 5000, 40 };
    auto bitmap = tabView->bitmapImageRepForCachingDisplayInRect(bounds);
    for (auto _ : state)
        tabView->cacheDisplayInRect(bounds, *bitmap);
}
BENCHMARK(TabViewDraw)->Unit(benchmark::kMillisecond);

void TabViewHitTest(benchmark::State& state)
{
    auto tabView = platformScalingTabView();
    auto last = tabView->rectOfTabViewItem(*tabView->tabViewItems().back());
    gfx::Point point { last.midX(), last.midY() };
    for (auto _ : state) {
        auto item = tabView->tabViewItemAtPoint(point);
        benchmark::DoNotOptimize(item);
    }
}
BENCHMARK(TabViewHitTest)->Unit(benchmark::kMicrosecond);

}
