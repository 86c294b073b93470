// A preference window with 8 panes (a typical application: general, appearance, fonts and a few more) in two
// categories, 80 in eight and 800 in eighty. What a person does with it: opening the window (the toolbar and the
// overview of every pane's icon made), choosing a pane from the toolbar and going back to the overview.
#include "bench/CollectionSizes.h"

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneProtocol.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPreferenceWindowController.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/ToolbarItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr long PreferenceWindowBenchTypicalPanes = 8;

class PreferenceWindowBenchPane : public fnd::Object, public ZORPrefPaneProtocol {
    FND_OBJECT(PreferenceWindowBenchPane)
public:
    static std::shared_ptr<PreferenceWindowBenchPane> make(long i)
    {
        auto pane = fnd::makeObject<PreferenceWindowBenchPane>();
        pane->m_identifier = fnd::String("pane" + std::to_string(i));
        pane->m_category = fnd::String("Category " + std::to_string(i / 10));
        pane->m_icon = gfx::Image::imageWithSize({ 32, 32 }, false, [i](const gfx::Rect& rect) {
            gfx::Color::colorWithCalibratedHue(double(i % 36) / 36, 0.6, 0.8, 1)->setFill();
            gfx::GraphicsContext::current()->fillRect(rect);
            return true;
        });
        pane->m_view = ui::View::create({ 0, 0, 400, 200 + double(i % 3) * 20 });
        return pane;
    }
    fnd::String identifier() const override { return m_identifier; }
    std::shared_ptr<ui::View> mainView() override { return m_view; }
    fnd::String label() const override { return m_identifier + " settings"; }
    std::shared_ptr<gfx::Image> icon() const override { return m_icon; }
    fnd::String category() const override { return m_category; }
    unsigned long sortOrder() const override { return m_sortOrder; }
    void setSortOrder(unsigned long sortOrder) override { m_sortOrder = sortOrder; }

private:
    fnd::String m_identifier;
    fnd::String m_category;
    std::shared_ptr<gfx::Image> m_icon;
    std::shared_ptr<ui::View> m_view;
    unsigned long m_sortOrder { 0 };
};

struct PreferenceWindowBenchSetup {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ZORPreferenceWindowController> controller;

    explicit PreferenceWindowBenchSetup(long panes)
    {
        // One controller a process: each setup takes the place of the one before.
        ZORPreferenceWindowControllerTesting::forgetSharedPreferenceWindowController();
        fnd::UserDefaults::standardUserDefaults().removeObjectForKey("ZORPreferenceWindow Bench Preferences");
        controller = ZORPreferenceWindowController::create("Bench Preferences");
        controller->setSortByCategory(true);
        for (long i = 0; i < panes; ++i)
            controller->addPane(PreferenceWindowBenchPane::make(i), fnd::String("pane" + std::to_string(i)));
    }
    ~PreferenceWindowBenchSetup()
    {
        if (auto window = controller->window())
            window->close();
        ui::Backend::install(nullptr);
    }
    std::shared_ptr<ui::Window> open()
    {
        auto window = controller->window();
        window->makeKeyAndOrderFront();
        window->displayIfNeeded();
        return window;
    }
};

void sizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, PreferenceWindowBenchTypicalPanes);
    b->ArgNames({ "panes", "a11y" })->Unit(benchmark::kMicrosecond);
}

// Registering the panes, opening the window and drawing it.
void PreferenceWindowOpen(benchmark::State& state)
{
    for (auto _ : state) {
        PreferenceWindowBenchSetup setup(state.range(0));
        benchmark::DoNotOptimize(setup.open());
    }
    collectionsizes::perItem(state, double(state.range(0)));
}
BENCHMARK(PreferenceWindowOpen)->Apply(sizes);

// Choosing the last pane from the toolbar and going back to the overview, each with the redraw.
void PreferenceWindowChoosePane(benchmark::State& state)
{
    PreferenceWindowBenchSetup setup(state.range(0));
    auto window = setup.open();
    auto item = ui::ToolbarItem::create(fnd::String("pane" + std::to_string(state.range(0) - 1)));
    for (auto _ : state) {
        setup.controller->toolbarShowPane(fnd::Value(item));
        window->displayIfNeeded();
        setup.controller->toolbarShowAll();
        window->displayIfNeeded();
    }
}
BENCHMARK(PreferenceWindowChoosePane)->Apply(sizes);

}

FND_REGISTER_CLASS(PreferenceWindowBenchPane, fnd::Object)
