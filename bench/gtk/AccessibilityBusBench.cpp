// A program of many tabs, each page a flow view, on the GTK backend with the accessibility bus and without it: what
// a screen reader's presence costs the main thread. Run it through scripts/with-display, which starts a private X
// server and session bus. Every case runs with the bus off (bus:0: NO_AT_BRIDGE=1, the tree is not published) and on
// (bus:1: published, read once by an AT-SPI client, tests/support/atspi_probe.py, as a screen reader reads a window
// it comes to, and listened to by a client that reads the source of every event while the program works); the off
// cases run first, since the bridge joins the bus once per process. The arguments: tabs, items per tab's flow view,
// bus.
// - TabsStart: 200 tabs of 500 pictures opened in a shown window (a tab bar control over a tab view), each shown as it
//   opens, up to the window drawn with the last page's pictures.
// - TabsRead: every element of that window read (the tabs opened behind the first): on the bus by the AT-SPI client,
//   off it through ATK in-process (the answers the bridge would send, without the bus). FlowViewRead: the same for
//   a window of one flow view of 5,000 pictures.
// - TabSwitches: 400 switches among 200 tabs opened behind the first (each page shown twice), each up to its page
//   drawn; "rss_open_mb" is the process's resident memory once the tabs are open, "rss_after_mb" after the
//   switches.
// Times are wall clock (the client's own work included); "main_cpu_ms" is the processor time of the main thread alone,
// "longest_stall_ms" the longest the main loop served nothing (a freeze as a person meets it). For the memory
// figures, run TabSwitches alone (--benchmark_filter=TabSwitches): the cases before leave the heap fragmented.
#include "frameworks/QFFlowView/QFFlowView.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"

#include "platform/backend/gtk/GtkAccessibilityBridge.h"
#include "platform/backend/gtk/GtkBackend.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Window.h"

#include <benchmark/benchmark.h>

#include <atk/atk.h>
#include <gio/gio.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <malloc.h>
#include <unistd.h>

namespace {

constexpr long AccessibilityBusBenchSwitches = 400;
// A wait for the program on a loaded machine; minutes, since the slow paths this measures took that long.
constexpr double AccessibilityBusBenchPatience = 600;

// The backend, installed once with the bus off: the bridge joins the bus when the first case with it on asks.
std::shared_ptr<ui::GtkBackend> accessibilityBusBenchBackend()
{
    static auto backend = [] {
        setenv("NO_AT_BRIDGE", "1", 1);
        return ui::GtkBackend::install();
    }();
    return backend;
}

// Every case's arguments: tabs, items per tab, and the bus off (0) or on (1).
bool accessibilityBusBenchOn(const benchmark::State& state)
{
    return state.range(2) != 0;
}

// Puts the process on the bus or keeps it off, as the case asks; false (and the case skipped)
// when that cannot be.
bool accessibilityBusBenchMode(benchmark::State& state)
{
    auto backend = accessibilityBusBenchBackend();
    if (!backend) {
        state.SkipWithError("no display: run through scripts/with-display");
        return false;
    }
    auto& bridge = ui::GtkAccessibilityBridge::shared();
    if (!accessibilityBusBenchOn(state)) {
        if (bridge.isPublished()) {
            state.SkipWithError("the bus is on already: the cases without it run first");
            return false;
        }
        return true;
    }
    unsetenv("NO_AT_BRIDGE");
    if (!bridge.publish()) {
        state.SkipWithError("the accessibility bus cannot be reached");
        return false;
    }
    return true;
}

double accessibilityBusBenchMainCpuSeconds()
{
    timespec t {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The resident memory the process holds, after the allocator returned what it keeps free (otherwise the high
// water of a case before would stand for this one's).
double accessibilityBusBenchResidentMegabytes()
{
    malloc_trim(0);
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Runs the probe on this process while the main loop serves its requests; the probe's output, empty on failure.
std::string accessibilityBusBenchProbe(ui::GtkBackend& backend, const std::string& command)
{
    auto line = std::string(BARCODES_ATSPI_PROBE) + " " + command + " pid:" + std::to_string(getpid());
    const char* argv[] = { "/bin/sh", "-c", line.c_str(), nullptr };
    GSubprocess* process = g_subprocess_newv(argv, G_SUBPROCESS_FLAGS_STDOUT_PIPE, nullptr);
    if (!process)
        return {};
    struct Result {
        bool done { false };
        std::string output;
    } result;
    g_subprocess_communicate_utf8_async(
        process, nullptr, nullptr,
        [](GObject* source, GAsyncResult* res, gpointer data) {
            auto& r = *static_cast<Result*>(data);
            char* out = nullptr;
            if (g_subprocess_communicate_utf8_finish(G_SUBPROCESS(source), res, &out, nullptr, nullptr) && out)
                r.output = out;
            g_free(out);
            r.done = true;
        },
        &result);
    if (!backend.runUntil([&] { return result.done; }, AccessibilityBusBenchPatience)) {
        g_subprocess_force_exit(process);
        backend.runUntil([&] { return result.done; }, 5);
        result.output.clear();
    }
    g_object_unref(process);
    return result.output;
}

// An AT-SPI client listening to the program's events while it lives, as a screen reader does (the probe's events
// command, which reads each event's source): started at once, listening once `listening()` holds, and told to end,
// waited for, with `finish`.
class AccessibilityBusBenchListener {
public:
    explicit AccessibilityBusBenchListener(ui::GtkBackend& backend)
        : m_backend(backend)
    {
        char folder[] = "/tmp/accessibility-bus-bench-XXXXXX";
        if (!mkdtemp(folder))
            return;
        m_folder = folder;
        auto stage = "touch " + m_folder + "/ready; while ! test -e " + m_folder + "/stop; do sleep 0.05; done";
        auto line = std::string(BARCODES_ATSPI_PROBE) + " events pid:" + std::to_string(getpid()) + " 3600 '" + stage
            + "' '' > /dev/null";
        const char* argv[] = { "/bin/sh", "-c", line.c_str(), nullptr };
        m_process = g_subprocess_newv(argv, G_SUBPROCESS_FLAGS_NONE, nullptr);
        if (m_process)
            m_backend.runUntil([&] { return exists("ready"); }, AccessibilityBusBenchPatience);
    }
    ~AccessibilityBusBenchListener()
    {
        finish();
        if (!m_folder.empty()) {
            std::remove((m_folder + "/ready").c_str());
            std::remove((m_folder + "/stop").c_str());
            rmdir(m_folder.c_str());
        }
    }
    AccessibilityBusBenchListener(const AccessibilityBusBenchListener&) = delete;
    AccessibilityBusBenchListener& operator=(const AccessibilityBusBenchListener&) = delete;

    bool listening() const { return m_process && exists("ready"); }
    // Ends listening once the client has taken in every event sent so far.
    void finish()
    {
        if (!m_process)
            return;
        std::ofstream(m_folder + "/stop") << "";
        bool ended = false;
        g_subprocess_wait_async(
            m_process, nullptr, [](GObject*, GAsyncResult*, gpointer data) { *static_cast<bool*>(data) = true; },
            &ended);
        if (!m_backend.runUntil([&] { return ended; }, AccessibilityBusBenchPatience)) {
            g_subprocess_force_exit(m_process);
            m_backend.runUntil([&] { return ended; }, 5);
        }
        g_object_unref(m_process);
        m_process = nullptr;
    }

private:
    bool exists(const char* name) const { return access((m_folder + "/" + name).c_str(), F_OK) == 0; }

    ui::GtkBackend& m_backend;
    std::string m_folder;
    GSubprocess* m_process { nullptr };
};

// Every element below the object read through ATK as the probe reads it over the bus: name, role, states, extents,
// actions, children. Answers the number read.
long accessibilityBusBenchReadInProcess(AtkObject* root)
{
    long count = 0;
    std::vector<AtkObject*> stack { ATK_OBJECT(g_object_ref(root)) };
    while (!stack.empty()) {
        auto* object = stack.back();
        stack.pop_back();
        ++count;
        benchmark::DoNotOptimize(atk_object_get_name(object));
        benchmark::DoNotOptimize(atk_object_get_role(object));
        g_object_unref(atk_object_ref_state_set(object));
        g_object_unref(atk_object_ref_relation_set(object));
        if (ATK_IS_COMPONENT(object)) {
            int x, y, w, h;
            atk_component_get_extents(ATK_COMPONENT(object), &x, &y, &w, &h, ATK_XY_SCREEN);
        }
        if (ATK_IS_ACTION(object))
            for (int i = 0; i < atk_action_get_n_actions(ATK_ACTION(object)); ++i)
                benchmark::DoNotOptimize(atk_action_get_name(ATK_ACTION(object), i));
        std::vector<AtkObject*> children;
        for (int i = 0, n = atk_object_get_n_accessible_children(object); i < n; ++i)
            if (auto* child = atk_object_ref_accessible_child(object, i))
                children.push_back(child);
        stack.insert(stack.end(), children.rbegin(), children.rend());
        g_object_unref(object);
    }
    return count;
}

std::shared_ptr<gfx::BitmapImageRep> accessibilityBusBenchPicture(int seed)
{
    auto image = gfx::BitmapImageRep::create(64, 48, gfx::BitmapLayout::ARGB32Premultiplied);
    auto pixels = image->pixelBuffer();
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            pixels.row(y)[x] = gfx::packPixel(255, std::uint8_t(seed * 37), std::uint8_t(x * 4), std::uint8_t(y * 5));
    image->setSize({ 64, 48 });
    return image;
}

class AccessibilityBusBenchItem : public fnd::Object {
public:
    fnd::Value valueForKey(const fnd::String& key) const override
    {
        if (key == fnd::String("imageItemUID"))
            return uid;
        if (key == fnd::String("imageItemRepresentation"))
            return picture;
        if (key == fnd::String("imageItemRepresentationType"))
            return QFFlowViewRepresentationType::CGImage;
        if (key == fnd::String("imageItemTitle"))
            return title;
        return Object::valueForKey(key);
    }
    bool respondsTo(fnd::Selector) const override { return true; }
    fnd::Value uid;
    fnd::Value picture;
    fnd::String title;
};

class AccessibilityBusBenchSource : public QFFlowViewDataSource {
public:
    AccessibilityBusBenchSource(long page, long count)
    {
        static const auto pictures = [] {
            std::vector<fnd::Value> all;
            for (int i = 0; i < 16; ++i)
                all.push_back(fnd::Value(accessibilityBusBenchPicture(i)));
            return all;
        }();
        for (long i = 0; i < count; ++i) {
            auto item = std::make_shared<AccessibilityBusBenchItem>();
            item->uid = fnd::String(std::to_string(page) + "/" + std::to_string(i));
            item->picture = pictures[std::size_t(i) % pictures.size()];
            item->title = fnd::String("Picture " + std::to_string(i));
            items.push_back(fnd::Value(std::static_pointer_cast<fnd::Object>(item)));
        }
    }
    std::optional<std::size_t> numberOfItemsInFlowView(QFFlowView&) override { return items.size(); }
    std::optional<fnd::Value> flowViewItemAtIndex(QFFlowView&, std::size_t i) override
    {
        return i < items.size() ? items[i] : fnd::Value();
    }
    std::vector<fnd::Value> items;
};

// A window of tabs: a tab bar control over a tab view that shows the selected page.
struct AccessibilityBusBenchWindow {
    std::shared_ptr<ui::GtkBackend> backend { accessibilityBusBenchBackend() };
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<ZTBTabBarControl> bar;
    std::vector<std::shared_ptr<AccessibilityBusBenchSource>> sources;

    AccessibilityBusBenchWindow()
    {
        const gfx::Size size { 900, 600 };
        window
            = ui::Window::create({ { 100, 200 }, size }, ui::WindowStyleMask::Titled | ui::WindowStyleMask::Closable);
        window->setTitle("Pictures");
        auto content = ui::View::create({ { 0, 0 }, size });
        tabView = ui::TabView::create({ 0, 0, size.width, size.height - 22 });
        tabView->setTabViewType(ui::TabViewType::NoTabsNoBorder);
        bar = ZTBTabBarControl::create({ 0, size.height - 22, size.width, 22 });
        content->addSubview(tabView);
        content->addSubview(bar);
        bar->setTabView(tabView);
        tabView->setDelegate(bar);
        bar->setPartnerView(tabView);
        window->setContentView(content);
        window->makeKeyAndOrderFront();
        settle();
    }
    ~AccessibilityBusBenchWindow()
    {
        window->close();
        backend->runUntil([] { return false; }, 0.05);
    }
    AccessibilityBusBenchWindow(const AccessibilityBusBenchWindow&) = delete;
    AccessibilityBusBenchWindow& operator=(const AccessibilityBusBenchWindow&) = delete;

    // Shown: each tab is selected as it opens (as a program opening them one by one shows each), else they open
    // behind the first.
    enum class Opening { Shown, Behind };
    void addTabs(long tabs, long items, Opening opening)
    {
        for (long i = 0; i < tabs; ++i) {
            auto index = long(sources.size());
            sources.push_back(std::make_shared<AccessibilityBusBenchSource>(index, items));
            auto view = QFFlowView::create({ 0, 0, 900, 578 });
            view->setDataSource(sources.back());
            view->reloadContent();
            auto item = ui::TabViewItem::create();
            item->setLabel(fnd::String("Album " + std::to_string(index)));
            item->setView(view);
            tabView->addTabViewItem(item);
            if (opening == Opening::Shown) {
                tabView->selectTabViewItem(item);
                settle();
            }
        }
    }
    std::shared_ptr<QFFlowView> shownFlowView() const
    {
        auto item = tabView->selectedTabViewItem();
        return item ? std::dynamic_pointer_cast<QFFlowView>(item->view()) : nullptr;
    }
    // Up to the window drawn with the shown page's pictures and the bar at rest.
    bool settle()
    {
        auto frames = backend->presentedFrameCount(*window);
        return backend->runUntil(
            [&] {
                auto view = shownFlowView();
                bool pictures
                    = !view || (view->operationQueue()->operationCount() == 0 && view->visibleItemIndexes().length > 0);
                return backend->presentedFrameCount(*window) > frames && !window->viewsNeedDisplay()
                    && !bar->isAnimating() && pictures;
            },
            AccessibilityBusBenchPatience);
    }
    // An AT-SPI client reads the window as a screen reader coming to it does (the probe's dump: at most 2,000
    // elements).
    void readOnce(benchmark::State& state)
    {
        if (accessibilityBusBenchOn(state))
            accessibilityBusBenchProbe(*backend, "dump");
    }
    // With the bus on, a client that listens to the window's events from now on.
    std::unique_ptr<AccessibilityBusBenchListener> listen(benchmark::State& state)
    {
        if (!accessibilityBusBenchOn(state))
            return nullptr;
        auto listener = std::make_unique<AccessibilityBusBenchListener>(*backend);
        if (!listener->listening())
            state.SkipWithError("the listening client did not start");
        return listener;
    }
};

// Wall and main-thread time of a stretch of work, and the longest the main loop went without serving a timer due
// every 2 ms ("longest_stall_ms"): what a person waits for a click to be taken, at worst, while a client reads.
struct AccessibilityBusBenchTimer {
    double wall { 0 };
    double cpu { 0 };
    std::chrono::steady_clock::time_point start { std::chrono::steady_clock::now() };
    double cpuStart { accessibilityBusBenchMainCpuSeconds() };
    std::chrono::steady_clock::time_point lastTick { start };
    double longestStall { 0 };
    guint tick { g_timeout_add(2, &AccessibilityBusBenchTimer::onTick, this) };

    AccessibilityBusBenchTimer() = default;
    AccessibilityBusBenchTimer(const AccessibilityBusBenchTimer&) = delete;
    AccessibilityBusBenchTimer& operator=(const AccessibilityBusBenchTimer&) = delete;
    ~AccessibilityBusBenchTimer()
    {
        if (tick)
            g_source_remove(tick);
    }
    static gboolean onTick(gpointer data)
    {
        auto& timer = *static_cast<AccessibilityBusBenchTimer*>(data);
        auto now = std::chrono::steady_clock::now();
        timer.longestStall = std::max(timer.longestStall, std::chrono::duration<double>(now - timer.lastTick).count());
        timer.lastTick = now;
        return G_SOURCE_CONTINUE;
    }
    void stop(benchmark::State& state)
    {
        onTick(this);
        g_source_remove(tick);
        tick = 0;
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu = accessibilityBusBenchMainCpuSeconds() - cpuStart;
        state.SetIterationTime(wall);
        state.counters["main_cpu_ms"] = cpu * 1000;
        state.counters["longest_stall_ms"] = longestStall * 1000;
    }
};

void TabsStart(benchmark::State& state)
{
    if (!accessibilityBusBenchMode(state))
        return;
    for (auto _ : state) {
        AccessibilityBusBenchWindow w;
        w.readOnce(state);
        auto listener = w.listen(state);
        AccessibilityBusBenchTimer timer;
        w.addTabs(state.range(0), state.range(1), AccessibilityBusBenchWindow::Opening::Shown);
        if (!w.settle())
            state.SkipWithError("the window did not settle");
        if (listener)
            listener->finish();
        timer.stop(state);
    }
}

// Reads the whole tree: over the bus by the client, off it through ATK; the number read as "elements".
void accessibilityBusBenchReadAll(benchmark::State& state, AccessibilityBusBenchWindow& w)
{
    AccessibilityBusBenchTimer timer;
    long read = accessibilityBusBenchOn(state)
        ? std::atol(accessibilityBusBenchProbe(*w.backend, "read").c_str())
        : accessibilityBusBenchReadInProcess(ui::GtkAccessibilityBridge::shared().root());
    timer.stop(state);
    state.counters["elements"] = double(read);
    if (read == 0)
        state.SkipWithError("nothing was read");
}

// The program of TabsStart (its tabs opened behind the first), read; and a window of one flow view, read.
void TabsRead(benchmark::State& state)
{
    if (!accessibilityBusBenchMode(state))
        return;
    for (auto _ : state) {
        AccessibilityBusBenchWindow w;
        w.readOnce(state);
        w.addTabs(state.range(0), state.range(1), AccessibilityBusBenchWindow::Opening::Behind);
        w.settle();
        accessibilityBusBenchReadAll(state, w);
    }
}

void TabSwitches(benchmark::State& state)
{
    if (!accessibilityBusBenchMode(state))
        return;
    const long tabs = state.range(0);
    for (auto _ : state) {
        AccessibilityBusBenchWindow w;
        w.readOnce(state);
        w.addTabs(tabs, state.range(1), AccessibilityBusBenchWindow::Opening::Behind);
        w.settle();
        state.counters["rss_open_mb"] = accessibilityBusBenchResidentMegabytes();
        auto listener = w.listen(state);
        AccessibilityBusBenchTimer timer;
        for (long i = 1; i <= AccessibilityBusBenchSwitches; ++i) {
            w.tabView->selectTabViewItemAtIndex(i % tabs);
            if (!w.settle()) {
                state.SkipWithError("a page was not drawn");
                break;
            }
        }
        if (listener)
            listener->finish();
        timer.stop(state);
        state.counters["rss_after_mb"] = accessibilityBusBenchResidentMegabytes();
        state.counters["per_switch_ms"] = timer.wall * 1000 / double(AccessibilityBusBenchSwitches);
    }
}

// Without the bus first, then with it.
const bool accessibilityBusBenchRegistered = [] {
    for (long bus : { 0, 1 }) {
        auto cases = [](benchmark::internal::Benchmark* b) {
            b->ArgNames({ "tabs", "items", "bus" })->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
        };
        cases(benchmark::RegisterBenchmark("TabsStart", TabsStart)->Args({ 200, 500, bus }));
        cases(benchmark::RegisterBenchmark("TabsRead", TabsRead)->Args({ 200, 500, bus }));
        cases(benchmark::RegisterBenchmark("FlowViewRead", TabsRead)->Args({ 1, 5000, bus }));
        cases(
            benchmark::RegisterBenchmark("TabSwitches", TabSwitches)->Args({ 200, 50, bus })->Args({ 200, 500, bus }));
    }
    return true;
}();

}
