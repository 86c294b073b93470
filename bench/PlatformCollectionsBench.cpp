// The platform's own collection machinery that the framework's views stand on, each at a typical size, ten times it
// and a hundred times it:
// - Notifications: observers of one centre (typical 200: a window's views and controllers), each view observing its
//   own frame changes; a post about one view, an observer added and one removed, and an observer of an object that
//   both go without removing it (a transient view), whose lists the centre sweeps now and then.
// - Key-value observing through an array: an array controller of 1,000 objects (a typical document's list) whose
//   arranged objects' titles are observed (as a bound table column does); an object added, one removed, one
//   selected, the content set again with the selection kept, and a tenth of the objects removed at once.
// - Menus of 20 items (a typical menu; 200 and 2,000 as long lists of fonts or of documents): laid out, drawn, an
//   item added and one removed, and a key equivalent looked up.
// - Tracking and tool-tip rects of one view (typical 50: a toolbar's buttons, a header's columns): one added and one
//   removed by its tag, a mouse move through the window, and the tip under a point.
// - The dragged-types registry with 20 views registered (typical for a window), 200 and 2,000: a view made,
//   registered and gone.
// - A tab view's own tabs (typical 5): drawn, and the tab under a point.
#include "bench/CollectionSizes.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/menus/MenuView.h"
#include "platform/ui/views/TrackingArea.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

// Notifications.

constexpr long PlatformCollectionsTypicalObservers = 200;

class PlatformCollectionsObserver : public fnd::Object {
    FND_OBJECT(PlatformCollectionsObserver)
    static void describeClass(fnd::ClassBuilder<PlatformCollectionsObserver>& c)
    {
        c.action("heard:", &PlatformCollectionsObserver::heard);
    }

public:
    void heard(const fnd::Value&) { ++calls; }
    long calls { 0 };
};

const fnd::String PlatformCollectionsFrameChanged("PlatformCollectionsFrameChanged");

// Observers that each follow the frame of their own object, as views and controllers do.
struct ObservedObjects {
    fnd::NotificationCenter center;
    std::vector<std::shared_ptr<PlatformCollectionsObserver>> observers;
    std::vector<std::shared_ptr<PlatformCollectionsObserver>> objects;

    explicit ObservedObjects(long count)
    {
        for (long i = 0; i < count; ++i) {
            observers.push_back(fnd::makeObject<PlatformCollectionsObserver>());
            objects.push_back(fnd::makeObject<PlatformCollectionsObserver>());
            center.addObserver(*observers.back(), fnd::Selector("heard:"), PlatformCollectionsFrameChanged,
                objects.back()->selfValue());
        }
    }
};

void observerSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, PlatformCollectionsTypicalObservers);
    b->ArgName("observers")->Unit(benchmark::kMicrosecond);
}

// A post about one object: only its own observer should be visited.
void NotificationPostAboutOneObject(benchmark::State& state)
{
    ObservedObjects observed(state.range(0));
    const auto object = observed.objects[observed.objects.size() / 2]->selfValue();
    for (auto _ : state)
        observed.center.postNotificationName(PlatformCollectionsFrameChanged, object);
    state.counters["heard_per_post"]
        = double(observed.observers[observed.objects.size() / 2]->calls) / double(state.iterations());
}
BENCHMARK(NotificationPostAboutOneObject)->Apply(observerSizes);

// One observer more (a view put in a window) and its removal (the view taken out).
void NotificationAddRemoveObserver(benchmark::State& state)
{
    ObservedObjects observed(state.range(0));
    auto observer = fnd::makeObject<PlatformCollectionsObserver>();
    auto object = fnd::makeObject<PlatformCollectionsObserver>();
    for (auto _ : state) {
        observed.center.addObserver(
            *observer, fnd::Selector("heard:"), PlatformCollectionsFrameChanged, object->selfValue());
        observed.center.removeObserver(*observer);
    }
}
BENCHMARK(NotificationAddRemoveObserver)->Apply(observerSizes);

// A block observer added and removed by its token.
void NotificationAddRemoveBlockObserver(benchmark::State& state)
{
    ObservedObjects observed(state.range(0));
    auto object = fnd::makeObject<PlatformCollectionsObserver>();
    for (auto _ : state) {
        auto token = observed.center.addObserverForName(
            PlatformCollectionsFrameChanged, object->selfValue(), [](const fnd::Notification&) {});
        observed.center.removeObserver(token);
    }
}
BENCHMARK(NotificationAddRemoveBlockObserver)->Apply(observerSizes);

// An observer of an object, made and gone with it without being removed: the centre sweeps such lists all together
// when the entries of object lists have doubled, which each add pays a constant share of.
void NotificationObserverGoneWithItsObject(benchmark::State& state)
{
    ObservedObjects observed(state.range(0));
    for (auto _ : state) {
        auto observer = fnd::makeObject<PlatformCollectionsObserver>();
        auto object = fnd::makeObject<PlatformCollectionsObserver>();
        observed.center.addObserver(
            *observer, fnd::Selector("heard:"), PlatformCollectionsFrameChanged, object->selfValue());
    }
}
BENCHMARK(NotificationObserverGoneWithItsObject)->Apply(observerSizes);

// Key-value observing through an array, and the array controller.

constexpr long PlatformCollectionsTypicalObjects = 1'000;

class PlatformCollectionsEntry : public fnd::Object {
    FND_OBJECT(PlatformCollectionsEntry)
    static void describeClass(fnd::ClassBuilder<PlatformCollectionsEntry>& c)
    {
        c.property("title", &PlatformCollectionsEntry::title);
    }

public:
    static fnd::Value make(long i)
    {
        auto entry = fnd::makeObject<PlatformCollectionsEntry>();
        entry->title = fnd::String("Entry " + std::to_string(i));
        return fnd::Value(std::static_pointer_cast<fnd::Object>(entry));
    }
    fnd::String title;
};

// Counts the changes of the observed path.
class PlatformCollectionsListener : public fnd::Object {
    FND_OBJECT(PlatformCollectionsListener)
public:
    void observeValueForKeyPath(const fnd::String&, fnd::Object&, const fnd::KeyValueChange&, const void*) override
    {
        ++changes;
    }
    long changes { 0 };
};

struct ObservedController {
    std::shared_ptr<fnd::ArrayController> controller = fnd::makeObject<fnd::ArrayController>();
    std::shared_ptr<PlatformCollectionsListener> listener = fnd::makeObject<PlatformCollectionsListener>();
    fnd::Array content;
    long made { 0 };

    explicit ObservedController(long count)
    {
        for (; made < count; ++made)
            content.push_back(PlatformCollectionsEntry::make(made));
        controller->setContent(fnd::Value(content));
        // What a table column bound to "arrangedObjects.title" observes.
        controller->addObserver(*listener, "arrangedObjects.title");
    }
    ~ObservedController() { controller->removeObserver(*listener, "arrangedObjects.title"); }
};

void objectSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, PlatformCollectionsTypicalObjects);
    b->ArgName("objects")->Unit(benchmark::kMicrosecond);
}

// Adding one object at the end; removing it again is not timed.
void ArrayControllerAddObject(benchmark::State& state)
{
    ObservedController observed(state.range(0));
    for (auto _ : state) {
        auto entry = PlatformCollectionsEntry::make(observed.made++);
        observed.controller->addObject(entry);
        state.PauseTiming();
        observed.controller->removeObjectAtArrangedObjectIndex(state.range(0));
        state.ResumeTiming();
    }
}
BENCHMARK(ArrayControllerAddObject)->Apply(objectSizes);

// Removing the first object; putting it back is not timed.
void ArrayControllerRemoveObject(benchmark::State& state)
{
    ObservedController observed(state.range(0));
    for (auto _ : state) {
        auto first = observed.controller->arrangedObjects().front();
        observed.controller->removeObjectAtArrangedObjectIndex(0);
        state.PauseTiming();
        observed.controller->insertObjectAtArrangedObjectIndex(first, 0);
        state.ResumeTiming();
    }
}
BENCHMARK(ArrayControllerRemoveObject)->Apply(objectSizes);

// Selecting one object, then another.
void ArrayControllerSelect(benchmark::State& state)
{
    ObservedController observed(state.range(0));
    const auto middle = state.range(0) / 2;
    for (auto _ : state) {
        observed.controller->setSelectionIndex(middle);
        observed.controller->setSelectionIndex(middle + 1);
    }
}
BENCHMARK(ArrayControllerSelect)->Apply(objectSizes);

// New content (the same objects in reverse) while every object is selected: the selection follows its objects.
void ArrayControllerSetContentKeepingTheSelection(benchmark::State& state)
{
    ObservedController observed(state.range(0));
    fnd::Array reversed(observed.content.rbegin(), observed.content.rend());
    observed.controller->setSelectionIndexes(fnd::IndexSet(fnd::Range { 0, state.range(0) }));
    bool flip = true;
    for (auto _ : state) {
        observed.controller->setContent(fnd::Value(flip ? reversed : observed.content));
        flip = !flip;
    }
    collectionsizes::perItem(state, double(state.range(0)));
}
BENCHMARK(ArrayControllerSetContentKeepingTheSelection)->Apply(objectSizes);

// Every tenth object selected and removed at once (Delete in a list), with a selection of a tenth; putting them
// back is not timed.
void ArrayControllerRemoveSelected(benchmark::State& state)
{
    ObservedController observed(state.range(0));
    fnd::IndexSet tenth;
    for (long i = 0; i < state.range(0); i += 10)
        tenth.add(i);
    for (auto _ : state) {
        state.PauseTiming();
        observed.controller->setContent(fnd::Value(observed.content));
        observed.controller->setSelectionIndexes(tenth);
        state.ResumeTiming();
        observed.controller->remove({});
    }
    collectionsizes::perItem(state, double(tenth.count()));
}
BENCHMARK(ArrayControllerRemoveSelected)->Apply(objectSizes);

// Menus.

constexpr long PlatformCollectionsTypicalMenuItems = 20;

std::shared_ptr<ui::Menu> PlatformCollectionsMenu(long items)
{
    auto menu = ui::Menu::create();
    const char* keys = "abcdefghijklmnopqrstuvwxyz";
    for (long i = 0; i < items; ++i) {
        if (i % 20 == 19) {
            menu->addItem(ui::MenuItem::separatorItem());
            continue;
        }
        auto item = ui::MenuItem::create(fnd::String("Menu item number " + std::to_string(i) + " of the menu"), {},
            i % 3 == 0 ? fnd::String(std::string(1, keys[i % 26])) : fnd::String());
        item->setTag(i);
        menu->addItem(item);
    }
    return menu;
}

void menuSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, PlatformCollectionsTypicalMenuItems);
    b->ArgName("items")->Unit(benchmark::kMicrosecond);
}

// The layout a pop-up asks for each time it opens.
void MenuLayout(benchmark::State& state)
{
    auto menu = PlatformCollectionsMenu(state.range(0));
    for (auto _ : state) {
        auto layout = ui::MenuView::layoutMenu(*menu);
        benchmark::DoNotOptimize(layout);
    }
    collectionsizes::perItem(state, double(state.range(0)));
}
BENCHMARK(MenuLayout)->Apply(menuSizes);

// The open menu drawn: the part of it a screen of 900 points shows.
void MenuDraw(benchmark::State& state)
{
    auto view = ui::MenuView::create(PlatformCollectionsMenu(state.range(0)));
    auto bounds = view->bounds();
    const gfx::Rect shown { 0, std::max(0.0, bounds.height() - 900), bounds.width(), std::min(900.0, bounds.height()) };
    auto bitmap = view->bitmapImageRepForCachingDisplayInRect(shown);
    for (auto _ : state)
        view->cacheDisplayInRect(shown, *bitmap);
}
BENCHMARK(MenuDraw)->Apply(menuSizes);

// An item inserted at the top and removed again, as a list of recent documents does.
void MenuInsertRemoveItem(benchmark::State& state)
{
    auto menu = PlatformCollectionsMenu(state.range(0));
    for (auto _ : state) {
        auto item = ui::MenuItem::create("Recent document", {}, "");
        menu->insertItem(item, 0);
        menu->removeItem(item);
    }
}
BENCHMARK(MenuInsertRemoveItem)->Apply(menuSizes);

// The item of a key equivalent (a key press goes through every menu), and the item with a tag.
void MenuLookup(benchmark::State& state)
{
    auto menu = PlatformCollectionsMenu(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(menu->itemForKeyEquivalent("z", ui::ModifierFlags::Command));
        benchmark::DoNotOptimize(menu->itemWithTag(state.range(0) / 2));
    }
}
BENCHMARK(MenuLookup)->Apply(menuSizes);

// Tracking and tool-tip rects.

constexpr long PlatformCollectionsTypicalRects = 50;

class PlatformCollectionsTipOwner : public ui::ToolTipOwner, public ui::TrackingOwner {
public:
    fnd::String stringForToolTip(ui::View&, long tag, gfx::Point, const fnd::Value&) override
    {
        return fnd::String("Tip " + std::to_string(tag));
    }
    void mouseEntered(const ui::Event&) override { ++entered; }
    long entered { 0 };
};

struct TrackedView {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::View> view;
    std::shared_ptr<PlatformCollectionsTipOwner> owner = std::make_shared<PlatformCollectionsTipOwner>();
    std::vector<long> tags;

    // A row of rects, each 20 points wide, in a view as wide as they need.
    explicit TrackedView(long rects)
    {
        const double width = std::max(1000.0, double(rects) * 20);
        window = ui::Window::create({ { 0, 0 }, { width, 100 } });
        view = ui::View::create({ 0, 0, width, 100 });
        window->contentView()->addSubview(view);
        for (long i = 0; i < rects; ++i) {
            const gfx::Rect rect { double(i) * 20, 0, 20, 100 };
            tags.push_back(view->addTrackingRect(rect, owner, {}, false));
            view->addToolTipRect(rect, owner);
        }
        window->makeKeyAndOrderFront();
    }
    ~TrackedView()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
};

void rectSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, PlatformCollectionsTypicalRects);
    b->ArgName("rects")->Unit(benchmark::kMicrosecond);
}

// The rect of one part replaced, as a view does when that part moves: its old rect removed by its tag, a new one
// added.
void TrackingRectReplace(benchmark::State& state)
{
    TrackedView tracked(state.range(0));
    std::size_t next = 0;
    for (auto _ : state) {
        auto& tag = tracked.tags[next];
        tracked.view->removeTrackingRect(tag);
        tag = tracked.view->addTrackingRect({ double(next) * 20, 0, 20, 100 }, tracked.owner, {}, false);
        next = (next + 1) % tracked.tags.size();
    }
}
BENCHMARK(TrackingRectReplace)->Apply(rectSizes);

// The pointer moving from one rect to the next: which rects it left and entered.
void TrackingMouseMove(benchmark::State& state)
{
    TrackedView tracked(state.range(0));
    const long shown = std::min<long>(state.range(0), 50);
    long next = 0;
    for (auto _ : state) {
        tracked.backend->mouseMoved(*tracked.window, { double(next) * 20 + 10, 50 });
        tracked.backend->dispatchEvents();
        next = (next + 1) % shown;
    }
    state.counters["entered"] = double(tracked.owner->entered) / double(state.iterations());
}
BENCHMARK(TrackingMouseMove)->Apply(rectSizes);

// The tool tip under the pointer, as the tip manager asks when the pointer rests.
void ToolTipLookup(benchmark::State& state)
{
    TrackedView tracked(state.range(0));
    const gfx::Point point { 10, 50 };
    for (auto _ : state)
        benchmark::DoNotOptimize(tracked.view->toolTipAtPoint(point));
}
BENCHMARK(ToolTipLookup)->Apply(rectSizes);

// The dragged-types registry.

constexpr long PlatformCollectionsTypicalDropViews = 20;

class PlatformCollectionsDropView : public ui::View, public ui::DraggingDestination {
    FND_OBJECT(PlatformCollectionsDropView)
public:
    static std::shared_ptr<PlatformCollectionsDropView> create(gfx::Rect frame)
    {
        return ui::makeView<PlatformCollectionsDropView>(frame);
    }
};

struct DropViews {
    std::shared_ptr<ui::HeadlessBackend> backend = ui::HeadlessBackend::install();
    std::shared_ptr<ui::Window> window;
    std::vector<std::shared_ptr<PlatformCollectionsDropView>> views;

    explicit DropViews(long count)
    {
        window = ui::Window::create({ { 0, 0 }, { 1000, 100 } });
        for (long i = 0; i < count; ++i) {
            auto view = PlatformCollectionsDropView::create({ double(i % 50) * 20, 0, 20, 100 });
            window->contentView()->addSubview(view);
            ui::registerForDraggedTypes(*view, { "org.barcodes.bench.type" + std::to_string(i % 3) });
            views.push_back(view);
        }
        window->makeKeyAndOrderFront();
    }
    ~DropViews()
    {
        window->close();
        ui::Backend::install(nullptr);
    }
};

void dropSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, PlatformCollectionsTypicalDropViews);
    b->ArgName("views")->Unit(benchmark::kMicrosecond);
}

// A view made, registered and gone (a row of a list that takes drops scrolls in and out of sight).
void DraggedTypesRegisterView(benchmark::State& state)
{
    DropViews drop(state.range(0));
    for (auto _ : state) {
        auto view = PlatformCollectionsDropView::create({ 0, 0, 20, 20 });
        ui::registerForDraggedTypes(*view, { "org.barcodes.bench.type0" });
        benchmark::DoNotOptimize(ui::registeredDraggedTypes(*view));
    }
}
BENCHMARK(DraggedTypesRegisterView)->Apply(dropSizes);

// A tab view's own tabs.

constexpr long PlatformCollectionsTypicalTabs = 5;

std::shared_ptr<ui::TabView> PlatformCollectionsTabView(long tabs)
{
    auto tabView = ui::TabView::create({ 0, 0, std::max(1000.0, double(tabs) * 130), 300 });
    for (long i = 0; i < tabs; ++i) {
        auto item = ui::TabViewItem::create();
        item->setLabel(fnd::String("Tab number " + std::to_string(i)));
        tabView->addTabViewItem(item);
    }
    return tabView;
}

void tabSizes(benchmark::internal::Benchmark* b)
{
    collectionsizes::threeSizes(b, PlatformCollectionsTypicalTabs);
    b->ArgName("tabs")->Unit(benchmark::kMicrosecond);
}

// The 1,000 points of the tab strip a window shows.
void TabViewDraw(benchmark::State& state)
{
    auto tabView = PlatformCollectionsTabView(state.range(0));
    const auto first = tabView->rectOfTabViewItem(*tabView->tabViewItems().front());
    const gfx::Rect shown { first.minX(), 0, 1000, 40 };
    auto bitmap = tabView->bitmapImageRepForCachingDisplayInRect(shown);
    for (auto _ : state)
        tabView->cacheDisplayInRect(shown, *bitmap);
}
BENCHMARK(TabViewDraw)->Apply(tabSizes);

// The tab under a click on the last tab.
void TabViewHitTest(benchmark::State& state)
{
    auto tabView = PlatformCollectionsTabView(state.range(0));
    auto last = tabView->rectOfTabViewItem(*tabView->tabViewItems().back());
    gfx::Point point { last.midX(), last.midY() };
    for (auto _ : state)
        benchmark::DoNotOptimize(tabView->tabViewItemAtPoint(point));
}
BENCHMARK(TabViewHitTest)->Apply(tabSizes);

}

FND_REGISTER_CLASS(PlatformCollectionsObserver, fnd::Object)
FND_REGISTER_CLASS(PlatformCollectionsEntry, fnd::Object)
FND_REGISTER_CLASS(PlatformCollectionsListener, fnd::Object)
FND_REGISTER_CLASS(PlatformCollectionsDropView, ui::View)
