// The flow view's per-item paths at 200, 2,000 and 20,000 items, on the headless backend, one core. Each timed step
// ends with one pass of the main run loop a frame long (layout, the pictures that arrived, the window's composite),
// as the step would reach the screen.
// - FlowViewBind: binding a new view to an array controller of n items (goal at 20,000: within 200 ms); "bind_ms"
//   is the bind call alone, "frame_ms" the first frame after it.
// - FlowViewBoundAddObject: the bound controller takes one more object (addObject; goal at 20,000: within 16 ms).
//   "remove_ms" is the mean time of taking it out again.
// - FlowViewBoundItemChange: a key-value change of one item's attribute through the observed key paths: its
//   representation (its picture is made again) and its title, in turns.
// - FlowViewReload: reloadContent from a data source of n items.
// - FlowViewSelectionMove: one step of the selection from the middle of the items.
// - FlowViewVisibleItems: counting the items in view (calculateVisibleItems).
// - FlowViewClickHitTest: the item under a click on the selected picture (indexOfItemAtPoint through the
//   presentation tree, which the step before rebuilt).
// Taking items out of a bound view of 2,000, 20,000 and 200,000 items, its selection in the middle (goal: half of
// 200,000 within 300 ms):
// - FlowViewBoundRemove/n/removal: the controller removes the front half, the back half or every second item in one
//   change (removeObjectsAtArrangedObjectIndexes), which the view applies to those items' layers.
// - FlowViewBoundClear/n: the controller removes every item in one change.
// - FlowViewBoundShrink/n: the controller's content becomes its first half (a new content: the view reloads).
// "change_ms" is the controller's call with the view's work, "frame_ms" the first frame after it.
#include "bench/CollectionSizes.h"
#include "frameworks/QFFlowView/QFFlowView.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

namespace {

// Time that only moves when a frame moves it, and the headless backend.
struct FlowItemsScene {
    std::shared_ptr<fnd::VirtualClock> clock { std::make_shared<fnd::VirtualClock>() };
    fnd::ScopedClock scopedClock { clock };
    std::shared_ptr<ui::HeadlessBackend> backend { ui::HeadlessBackend::install() };
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<QFFlowView> view;

    FlowItemsScene()
    {
        window = ui::Window::create({ { 0, 0 }, { 1280, 500 } });
        window->makeKeyAndOrderFront();
        view = QFFlowView::create({ 0, 0, 1280, 500 });
        window->contentView()->addSubview(view);
    }
    ~FlowItemsScene()
    {
        quiet();
        view->removeFromSuperview();
        view.reset();
        window->close();
        ui::Backend::install(nullptr);
    }
    // One pass of the main run loop, a frame long.
    void frame()
    {
        clock->advance(1.0 / 60);
        fnd::RunLoop::current().runUntilDate(clock->now());
    }
    // Moves and picture loads run out, untimed, so each step starts from a still view.
    void settle()
    {
        ui::Transaction::flush();
        fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(1));
        quiet();
    }
    void quiet()
    {
        view->operationQueue()->waitUntilAllOperationsAreFinished();
        fnd::OperationQueue::mainQueue()->waitUntilAllOperationsAreFinished();
    }
};

// An item answering the item protocol through its declared keys (so key-value observing sees its changes).
class FlowItemsBenchItem : public fnd::Object {
    FND_OBJECT(FlowItemsBenchItem)
    static void describeClass(fnd::ClassBuilder<FlowItemsBenchItem>& c)
    {
        c.property("imageItemUID", &FlowItemsBenchItem::uid);
        c.property("imageItemRepresentation", &FlowItemsBenchItem::representation);
        c.property("imageItemRepresentationType", &FlowItemsBenchItem::type);
        c.property("imageItemTitle", &FlowItemsBenchItem::title);
    }

public:
    fnd::Value uid;
    fnd::Value representation;
    fnd::String type { QFFlowViewRepresentationType::CGImage };
    fnd::String title;
};
FND_REGISTER_CLASS(FlowItemsBenchItem, fnd::Object)

std::shared_ptr<gfx::BitmapImageRep> flowItemsPicture(int seed)
{
    auto image = gfx::BitmapImageRep::create(64, 48, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = image->pixelBuffer();
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            pixels.row(y)[x] = gfx::packPixel(255, std::uint8_t(seed * 37), std::uint8_t(x * 4), std::uint8_t(y * 5));
    image->setSize({ 64, 48 });
    return image;
}

fnd::Value flowItemsItem(std::size_t index)
{
    static const auto pictures = [] {
        std::vector<std::shared_ptr<gfx::BitmapImageRep>> all;
        for (int i = 0; i < 16; ++i)
            all.push_back(flowItemsPicture(i));
        return all;
    }();
    auto item = fnd::makeObject<FlowItemsBenchItem>();
    item->uid = fnd::String("item " + std::to_string(index));
    item->representation = fnd::Value(pictures[index % pictures.size()]);
    item->title = fnd::String("Item " + std::to_string(index));
    return fnd::Value(item);
}

fnd::Array flowItemsContent(std::size_t count)
{
    fnd::Array items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        items.push_back(flowItemsItem(i));
    return items;
}

class FlowItemsSource : public QFFlowViewDataSource {
public:
    fnd::Array items;
    std::optional<std::size_t> numberOfItemsInFlowView(QFFlowView&) override { return items.size(); }
    std::optional<fnd::Value> flowViewItemAtIndex(QFFlowView&, std::size_t index) override
    {
        return index < items.size() ? items[index] : fnd::Value();
    }
};

void flowItemsSizes(benchmark::internal::Benchmark* b)
{
    b->Arg(200)->Arg(2000)->Arg(20000)->Unit(benchmark::kMillisecond);
}

void FlowViewBind(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsScene scene;
    auto controller = std::make_shared<fnd::ArrayController>();
    controller->setContent(fnd::Value(flowItemsContent(count)));
    double bindSeconds = 0, frameSeconds = 0;
    for (auto _ : state) {
        // A view that never had items, as a window's view is when it is bound.
        state.PauseTiming();
        scene.view->removeFromSuperview();
        scene.view = QFFlowView::create({ 0, 0, 1280, 500 });
        scene.window->contentView()->addSubview(scene.view);
        scene.settle();
        state.ResumeTiming();
        auto start = std::chrono::steady_clock::now();
        scene.view->bind("contentArray", *controller, "arrangedObjects");
        auto bound = std::chrono::steady_clock::now();
        scene.frame();
        frameSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - bound).count();
        bindSeconds += std::chrono::duration<double>(bound - start).count();
        state.PauseTiming();
        if (scene.view->numberOfItems() != count)
            state.SkipWithError("the bound view does not show every item");
        scene.settle();
        scene.view->unbind("contentArray");
        state.ResumeTiming();
    }
    state.counters["bind_ms"] = bindSeconds * 1e3 / double(state.iterations());
    state.counters["frame_ms"] = frameSeconds * 1e3 / double(state.iterations());
}
BENCHMARK(FlowViewBind)->Apply(flowItemsSizes)->Iterations(3);

void FlowViewBoundAddObject(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsScene scene;
    auto controller = std::make_shared<fnd::ArrayController>();
    controller->setContent(fnd::Value(flowItemsContent(count)));
    // The view keeps its selection; the controller's follows it.
    controller->setSelectsInsertedObjects(false);
    scene.view->bind("contentArray", *controller, "arrangedObjects");
    scene.view->setSelectedIndex(count / 2);
    scene.settle();
    double removeSeconds = 0;
    std::size_t next = count;
    for (auto _ : state) {
        auto item = flowItemsItem(next++);
        controller->addObject(item);
        scene.frame();
        state.PauseTiming();
        if (scene.view->numberOfItems() != count + 1)
            state.SkipWithError("the bound view does not show the added item");
        scene.settle();
        auto start = std::chrono::steady_clock::now();
        controller->removeObject(item);
        scene.frame();
        removeSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        scene.settle();
        state.ResumeTiming();
    }
    state.counters["remove_ms"] = removeSeconds * 1e3 / double(state.iterations());
    scene.view->unbind("contentArray");
}
BENCHMARK(FlowViewBoundAddObject)->Apply(flowItemsSizes)->Iterations(5);

void FlowViewBoundItemChange(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsScene scene;
    auto controller = std::make_shared<fnd::ArrayController>();
    auto content = flowItemsContent(count);
    controller->setContent(fnd::Value(content));
    scene.view->bind("contentArray", *controller, "arrangedObjects");
    scene.view->setImageTitleKeyPath(fnd::String("imageItemTitle"));
    scene.view->setSelectedIndex(count / 2);
    scene.settle();
    auto item = content[count / 2].objectAs<FlowItemsBenchItem>();
    int turn = 0;
    for (auto _ : state) {
        if (turn % 2 == 0)
            item->setValueForKey(fnd::Value(flowItemsPicture(turn)), "imageItemRepresentation");
        else
            item->setValueForKey(fnd::String("Title " + std::to_string(turn)), "imageItemTitle");
        ++turn;
        scene.frame();
        state.PauseTiming();
        scene.settle();
        state.ResumeTiming();
    }
    scene.view->unbind("contentArray");
}
BENCHMARK(FlowViewBoundItemChange)->Apply(flowItemsSizes)->Iterations(10);

void FlowViewReload(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsScene scene;
    auto source = std::make_shared<FlowItemsSource>();
    source->items = flowItemsContent(count);
    scene.view->setDataSource(source);
    scene.view->reloadContent();
    scene.settle();
    for (auto _ : state) {
        scene.view->reloadContent();
        scene.frame();
        state.PauseTiming();
        scene.settle();
        state.ResumeTiming();
    }
}
BENCHMARK(FlowViewReload)->Apply(flowItemsSizes)->Iterations(3);

// A data-source view of n items with the middle one selected, at rest.
struct FlowItemsAtRest : FlowItemsScene {
    std::shared_ptr<FlowItemsSource> source { std::make_shared<FlowItemsSource>() };
    explicit FlowItemsAtRest(std::size_t count)
    {
        source->items = flowItemsContent(count);
        view->setDataSource(source);
        view->reloadContent();
        view->setSelectedIndex(count / 2);
        settle();
    }
};

void FlowViewSelectionMove(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsAtRest scene(count);
    std::size_t step = 0;
    for (auto _ : state) {
        scene.view->setSelectedIndex(count / 2 + (step++ % 2));
        scene.frame();
        state.PauseTiming();
        scene.settle();
        state.ResumeTiming();
    }
}
BENCHMARK(FlowViewSelectionMove)->Apply(flowItemsSizes)->Iterations(10);

void FlowViewVisibleItems(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsAtRest scene(count);
    for (auto _ : state) {
        scene.view->calculateVisibleItems();
        benchmark::DoNotOptimize(scene.view->visibleItemIndexes());
    }
    state.counters["visible"] = double(scene.view->visibleItemIndexes().length);
}
BENCHMARK(FlowViewVisibleItems)->Apply(flowItemsSizes);

void FlowViewClickHitTest(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsAtRest scene(count);
    auto selected = scene.view->selectedIndex();
    auto r = scene.view->rectInViewForLayer(*scene.view->imageLayerAtIndex(selected));
    gfx::Point point { r.midX(), r.midY() };
    std::size_t step = 0;
    for (auto _ : state) {
        // A change of the tree since the last click, as a frame's layout makes: the hit test's presentation tree is
        // brought up to date.
        state.PauseTiming();
        scene.view->imageLayerAtIndex(selected)->setValueForKey(double(step++), "benchStep");
        state.ResumeTiming();
        if (scene.view->indexOfItemAtPoint(point) != selected)
            state.SkipWithError("the click does not hit the selected item");
    }
}
BENCHMARK(FlowViewClickHitTest)->Apply(flowItemsSizes);

// A view bound to a controller of n items, its selection in the middle, still; each timed step takes items out and
// the next puts them back, untimed.
struct FlowItemsBound : FlowItemsScene {
    std::shared_ptr<fnd::ArrayController> controller { std::make_shared<fnd::ArrayController>() };
    fnd::Array content;
    double changeSeconds = 0, frameSeconds = 0;

    explicit FlowItemsBound(std::size_t count)
        : content(flowItemsContent(count))
    {
        controller->setSelectsInsertedObjects(false);
        view->bind("contentArray", *controller, "arrangedObjects");
        restore();
    }
    ~FlowItemsBound() { view->unbind("contentArray"); }
    void restore()
    {
        controller->setContent(fnd::Value(content));
        view->setSelectedIndex(content.size() / 2);
        settle();
    }
    // Times the change and the first frame after it.
    // False, with the error set, when the view does not show what the change left.
    template <typename Change> bool timed(benchmark::State& state, const Change& change, std::size_t remaining)
    {
        auto start = std::chrono::steady_clock::now();
        change();
        auto changed = std::chrono::steady_clock::now();
        frame();
        frameSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - changed).count();
        changeSeconds += std::chrono::duration<double>(changed - start).count();
        state.PauseTiming();
        if (view->numberOfItems() != remaining) {
            state.SkipWithError("the bound view does not show what the controller holds");
            return false;
        }
        settle();
        restore();
        state.ResumeTiming();
        return true;
    }
    void report(benchmark::State& state)
    {
        state.counters["change_ms"] = changeSeconds * 1e3 / double(state.iterations());
        state.counters["frame_ms"] = frameSeconds * 1e3 / double(state.iterations());
    }
};

void flowItemsRemovalSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizesRemovals(b, 2000);
    b->Unit(benchmark::kMillisecond)->Iterations(2);
}

void flowItemsClearingSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, 2000);
    b->Unit(benchmark::kMillisecond)->Iterations(2);
}

void FlowViewBoundRemove(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsBound scene(count);
    fnd::IndexSet leaving;
    for (std::size_t i = 0; i < count; ++i)
        if (collectionsizes::isRemoved(state.range(1), i, count))
            leaving.add(fnd::Index(i));
    const auto remaining = count - std::size_t(leaving.count());
    for (auto _ : state)
        if (!scene.timed(
                state, [&] { scene.controller->removeObjectsAtArrangedObjectIndexes(leaving); }, remaining))
            break;
    scene.report(state);
}
BENCHMARK(FlowViewBoundRemove)->Apply(flowItemsRemovalSizes);

void FlowViewBoundClear(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsBound scene(count);
    const fnd::IndexSet all(fnd::Range { 0, fnd::Index(count) });
    for (auto _ : state)
        if (!scene.timed(
                state, [&] { scene.controller->removeObjectsAtArrangedObjectIndexes(all); }, 0))
            break;
    scene.report(state);
}
BENCHMARK(FlowViewBoundClear)->Apply(flowItemsClearingSizes);

void FlowViewBoundShrink(benchmark::State& state)
{
    const auto count = std::size_t(state.range(0));
    FlowItemsBound scene(count);
    const fnd::Array half(scene.content.begin(), scene.content.begin() + std::ptrdiff_t(count / 2));
    for (auto _ : state)
        if (!scene.timed(
                state, [&] { scene.controller->setContent(fnd::Value(half)); }, half.size()))
            break;
    scene.report(state);
}
BENCHMARK(FlowViewBoundShrink)->Apply(flowItemsClearingSizes);

}
