// Each tab bar look drawing a 12-tab bar into an offscreen bitmap, and the capsule look measuring vertical titles
// through its height cache.
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabStyle.h"
#include "frameworks/ZTBTabBarControl/styles/ZTBCapsuleTabStyle.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

const char* const tabStyleBenchNames[] = { "Metal", "Aqua", "Unified", "Capsule", "Card" };

void TabStyleDrawBar(benchmark::State& state)
{
    auto backend = ui::HeadlessBackend::install();
    auto window = ui::Window::create({ { 0, 0 }, { 1200, 200 } });
    auto tabView = ui::TabView::create({ 0, 0, 1200, 178 });
    auto bar = ZTBTabBarControl::create({ 0, 178, 1200, 22 });
    window->contentView()->addSubview(tabView);
    window->contentView()->addSubview(bar);
    bar->setStyleNamed(tabStyleBenchNames[state.range(0)]);
    bar->setTabView(tabView);
    tabView->setDelegate(bar);
    for (int i = 0; i < 12; ++i) {
        auto item = ui::TabViewItem::create();
        item->setLabel(fnd::String("Tab " + std::to_string(i)));
        tabView->addTabViewItem(item);
    }
    bar->update(false);
    auto context = gfx::GraphicsContext::createForBitmap(1200, 22);
    for (auto _ : state) {
        gfx::CurrentContextScope scope(context);
        bar->style()->drawTabBar(*bar, bar->bounds());
    }
    state.SetLabel(tabStyleBenchNames[state.range(0)]);
    tabView->setDelegate(nullptr);
    window->close();
    ui::Backend::install(nullptr);
}
BENCHMARK(TabStyleDrawBar)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

void TabStyleCapsuleTitleHeights(benchmark::State& state)
{
    std::vector<txt::AttributedString> titles;
    for (int i = 0; i < 50; ++i)
        titles.emplace_back(fnd::String("A vertical tab title number " + std::to_string(i)));
    for (auto _ : state)
        for (const auto& title : titles)
            benchmark::DoNotOptimize(ZTBCapsuleTabStyle::heightOfAttributedStringWithWidth(title, 120.0));
}
BENCHMARK(TabStyleCapsuleTitleHeights)->Unit(benchmark::kMicrosecond);

}
