#include "GtkTestSupport.h"
#include "frameworks/tab-bar-core/support/DisplayDrags.h"
#include "support/AccessibleTree.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"
#include "frameworks/tab-bar-core/TabDragWindow.h"

#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/dragging/DragImageWindow.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <chrono>

#include <unistd.h>

using namespace gtktest;

namespace {

// Lets tabs be dragged and torn off, and opens torn-off tabs in windows of their own.
class ControlDisplayDelegate : public ZTBTabBarControlDelegate {
public:
    std::optional<bool> tabViewShouldDragTabViewItem(ui::TabView&, ui::TabViewItem&, ZTBTabBarControl&) override
    {
        return true;
    }
    std::optional<bool> tabViewShouldDropTabViewItem(ui::TabView&, ui::TabViewItem&, ZTBTabBarControl* bar) override
    {
        return bar || tearsOff;
    }
    bool makesNewTabBars() const override { return true; }
    std::shared_ptr<ZTBTabBarControl> tabViewNewTabBarForDraggedTabViewItem(
        ui::TabView&, ui::TabViewItem&, gfx::Point point) override
    {
        return makeWindow ? makeWindow(point) : nullptr;
    }
    std::optional<std::vector<fnd::String>> allowedDraggedTypesForTabView(ui::TabView&) override
    {
        return extraDragTypes;
    }
    std::function<std::shared_ptr<ZTBTabBarControl>(gfx::Point)> makeWindow;
    std::optional<std::vector<fnd::String>> extraDragTypes;
    bool tearsOff { true };
};

struct ControlWindow {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<ZTBTabBarControl> bar;
};

class ZTBTabBarControlDisplayTest : public tabbartest::TabBarDisplayTest {
protected:
    ControlWindow makeWindow(gfx::Rect contentRect)
    {
        ControlWindow w;
        auto content = FillView::make({}, gfx::Color::colorWithDeviceWhite(0.93));
        w.tabView = ui::TabView::create({ 0, 0, contentRect.width(), contentRect.height() - 22 });
        w.tabView->setTabViewType(ui::TabViewType::NoTabsNoBorder);
        w.bar = ZTBTabBarControl::create({ 0, contentRect.height() - 22, contentRect.width(), 22 });
        content->addSubview(w.tabView);
        content->addSubview(w.bar);
        w.bar->setTabView(w.tabView);
        w.tabView->setDelegate(w.bar);
        w.bar->setDelegate(delegate);
        w.bar->setPartnerView(w.tabView);
        w.window = showWindow(contentRect, content);
        return w;
    }
    static void addTab(ControlWindow& w, const std::string& label, gfx::ColorPtr colour)
    {
        auto item = ui::TabViewItem::create();
        item->setLabel(fnd::String(label));
        item->setView(FillView::make({}, std::move(colour)));
        w.tabView->addTabViewItem(item);
    }
    static gfx::Point centre(const ZTBTabBarControl& bar, const std::string& label)
    {
        for (const auto& cell : bar.cells())
            if (!cell->isPlaceholder() && cell->stringValue().utf8() == label)
                return bar.convertPointToView({ cell->frame().midX(), cell->frame().midY() }, nullptr);
        return {};
    }
    // The bar has placed its tabs and the window has drawn them: no animation runs and no display waits. Where a tab
    // is read from its cell's frame and pointed at, or the screen is pictured, a bar still moving its tabs would
    // give a place the tab is leaving.
    static bool isSettled(const ControlWindow& w) { return !w.bar->isAnimating() && !w.window->viewsNeedDisplay(); }
    static std::vector<std::string> labels(const ZTBTabBarControl& bar)
    {
        std::vector<std::string> out;
        for (const auto& cell : bar.cells())
            out.push_back(cell->isPlaceholder() ? "_" : cell->stringValue().utf8());
        return out;
    }

    std::shared_ptr<ControlDisplayDelegate> delegate = std::make_shared<ControlDisplayDelegate>();
};

TEST_F(ZTBTabBarControlDisplayTest, ReorderAndTearOffWithTheRealPointer)
{
    auto main = makeWindow({ 100, 300, 560, 200 });
    addTab(main, "Alpha", gfx::Color::colorWithDeviceRed(0.85, 0.9, 1.0));
    addTab(main, "Beta", gfx::Color::colorWithDeviceRed(0.9, 1.0, 0.85));
    addTab(main, "Gamma", gfx::Color::colorWithDeviceRed(1.0, 0.9, 0.85));
    ASSERT_TRUE(waitFor([&] { return main.bar->cells().size() == 3 && isSettled(main); }));

    // A click selects on mouse up.
    xdotool("mousemove " + root(*main.window, centre(*main.bar, "Gamma")) + " click 1");
    ASSERT_TRUE(waitFor(
        [&] { return main.tabView->selectedTabViewItem()->label() == fnd::String("Gamma") && isSettled(main); }));
    screenshot("ztbtabbarcontrol-display-1-selected");

    // Alpha dragged along the bar past Gamma: the gap opens under the pointer, the drop reorders.
    const gfx::Point from = centre(*main.bar, "Alpha");
    const gfx::Point to { centre(*main.bar, "Gamma").x + 40, from.y };
    std::string path = "xdotool mousemove " + root(*main.window, from) + " mousedown 1";
    for (int i = 1; i <= 12; ++i)
        path += " sleep 0.04 mousemove " + root(*main.window, { from.x + (to.x - from.x) * i / 12, from.y });
    path += " && sleep 0.5 && { import -window root /tmp/ztbtabbarcontrol-display-2-gap.png || true; } && xdotool "
            "sleep 0.1 mouseup 1";
    ASSERT_EQ(runWhileServing(*backend, path).status, 0);
    ASSERT_TRUE(waitFor([&] {
        return labels(*main.bar) == std::vector<std::string> { "Beta", "Gamma", "Alpha" };
    })) << fmt::format("{}", labels(*main.bar));
    EXPECT_EQ(main.tabView->tabViewItemAtIndex(2)->label(), fnd::String("Alpha"));
    EXPECT_TRUE(waitFor([&] { return isSettled(main); })) << "the bar never came to rest";
    screenshot("ztbtabbarcontrol-display-3-reordered");

    // Beta pulled down out of the window and dropped on empty screen: a window of its own.
    std::vector<ControlWindow> made;
    auto assistant = ZTBTabDragAssistant::sharedDragAssistant();
    bool floating = false;
    delegate->makeWindow = [&](gfx::Point point) {
        floating = assistant->draggedTab() && assistant->draggedTab()->window()->isVisible();
        made.push_back(makeWindow({ point.x - 150, point.y - 100, 300, 150 }));
        return made.back().bar;
    };
    const gfx::Point start = centre(*main.bar, "Beta");
    std::string tear = "xdotool mousemove " + root(*main.window, start) + " mousedown 1";
    for (int i = 1; i <= 12; ++i)
        tear += " sleep 0.04 mousemove " + root(*main.window, { start.x + i * 20, start.y - i * 25 });
    tear += " && sleep 0.5 && { import -window root /tmp/ztbtabbarcontrol-display-4-floating.png || true; } && xdotool "
            "mousemove "
        + root(*main.window, { start.x + 260, start.y - 320 }) + " sleep 0.1 mouseup 1";
    ASSERT_EQ(runWhileServing(*backend, tear).status, 0);
    ASSERT_TRUE(waitFor([&] { return !made.empty() && made[0].bar->cells().size() == 1; }));
    EXPECT_EQ(labels(*made[0].bar), (std::vector<std::string> { "Beta" }));
    EXPECT_EQ(labels(*main.bar), (std::vector<std::string> { "Gamma", "Alpha" }));
    EXPECT_TRUE(floating) << "the torn-off tab floated in its own window until dropped";
    EXPECT_FALSE(assistant->isDragging());
    EXPECT_TRUE(waitFor([&] { return isSettled(main) && isSettled(made[0]); })) << "the bars never came to rest";
    screenshot("ztbtabbarcontrol-display-5-torn-off");
    for (auto& w : made)
        w.window->close();
}

// Read through the desktop's accessibility bus as a screen reader reads it: the bar is a page tab list named "Tabs"
// of page tabs titled with the tabs, the selected one selected, each with its close button; tabs that do not fit
// are not showing (the pull-down, a push button, lists them); no tab has the focus while another window has the
// keyboard (nor while this one has: the bar never takes it). Pressing a tab through the bus selects it; pressing
// a close button closes its tab.
TEST_F(ZTBTabBarControlDisplayTest, AnAtSpiClientReadsTheTabsAndPressesOne)
{
    auto w = makeWindow({ 100, 300, 420, 150 });
    w.window->setTitle("Mail");
    for (const char* label : { "Inbox", "Sent", "Drafts", "Archive", "Junk", "Outbox", "Flagged", "Notes" })
        addTab(w, label, gfx::Color::colorWithDeviceRed(0.85, 0.9, 1.0));
    ASSERT_TRUE(waitFor([&] { return w.bar->cells().size() == 8 && isSettled(w); }));
    w.tabView->selectTabViewItemAtIndex(1);
    std::vector<std::string> overflowed;
    for (const auto& cell : w.bar->cells())
        if (cell->isInOverflowMenu())
            overflowed.push_back(cell->stringValue().utf8());
    ASSERT_FALSE(overflowed.empty()) << "eight tabs overflow a 420-point bar";
    // Another window has the keyboard.
    auto other = showWindow({ 600, 300, 200, 100 }, FillView::make({}, gfx::Color::colorWithDeviceWhite(0.8)));
    other->setTitle("Other");
    ASSERT_TRUE(waitFor([&] { return other->isKeyWindow() && backend->hasKeyboardFocus(*other); }));
    const std::string self = "pid:" + std::to_string(::getpid());

    auto tree = testsupport::AccessibleTree::fromDump(
        runWhileServing(*backend, testsupport::AccessibleTree::dumpCommand(self)).output);
    const auto* frame = tree.find("frame", "Mail");
    ASSERT_TRUE(frame) << tree.text();
    const auto* bar = tree.findIn(*frame, [](const auto& n) { return n.role == "page tab list" && n.name == "Tabs"; });
    ASSERT_TRUE(bar) << tree.text();
    // The bar is the window's one list of tabs: the tab view below it is the group of the page.
    int tabLists = 0;
    tree.findIn(*frame, [&](const auto& n) {
        tabLists += n.role == "page tab list";
        return false;
    });
    EXPECT_EQ(tabLists, 1) << tree.text();
    std::vector<std::string> titles, selected, showing, focused, closers, entries;
    bool pullDown = false;
    for (const auto* child : tree.childrenOf(*bar)) {
        if (child->role == "push button" && child->name == "More tabs") {
            pullDown = child->has("showing");
            tree.findIn(*child, [&](const auto& n) {
                if (n.role == "menu item")
                    entries.push_back(n.name);
                return false;
            });
            continue;
        }
        EXPECT_EQ(child->role, "page tab") << child->name;
        EXPECT_EQ(child->actions, std::vector<std::string> { "click" });
        titles.push_back(child->name);
        if (child->has("selected"))
            selected.push_back(child->name);
        if (child->has("showing")) {
            showing.push_back(child->name);
            EXPECT_LT(child->x, (100 + 420) * scale()) << child->name << " shows beyond the window";
        }
        if (child->has("focused"))
            focused.push_back(child->name);
        for (const auto* close : tree.childrenOf(*child))
            if (close->role == "push button")
                closers.push_back(close->name);
    }
    EXPECT_EQ(titles,
        (std::vector<std::string> { "Inbox", "Sent", "Drafts", "Archive", "Junk", "Outbox", "Flagged", "Notes" }))
        << tree.text();
    EXPECT_EQ(selected, std::vector<std::string> { "Sent" });
    EXPECT_TRUE(focused.empty()) << fmt::format("{}", focused);
    EXPECT_TRUE(pullDown) << "the pull-down is a push button named \"More tabs\"" << tree.text();
    EXPECT_EQ(entries, overflowed) << "the pull-down's menu lists the overflowed tabs by name, and nothing else";
    ASSERT_EQ(showing.size() + overflowed.size(), titles.size()) << fmt::format("{} / {}", showing, overflowed);
    for (const auto& name : overflowed)
        EXPECT_EQ(std::ranges::count(showing, name), 0) << name << " is in the overflow menu";
    ASSERT_FALSE(closers.empty()) << tree.text();
    EXPECT_EQ(closers[0], "Close Inbox");
    EXPECT_EQ(closers.size(), showing.size()) << "a close button on every tab in the bar";

    auto pressed
        = runWhileServing(*backend, testsupport::AccessibleTree::actionCommand(self, "page tab", "Drafts", "click"));
    EXPECT_EQ(pressed.status, 0) << pressed.output;
    EXPECT_TRUE(waitFor([&] { return w.tabView->selectedTabViewItem()->label() == fnd::String("Drafts"); }));
    tree = testsupport::AccessibleTree::fromDump(
        runWhileServing(*backend, testsupport::AccessibleTree::dumpCommand(self)).output);
    ASSERT_TRUE(tree.find("page tab", "Drafts"));
    EXPECT_TRUE(tree.find("page tab", "Drafts")->has("selected")) << tree.text();
    EXPECT_FALSE(tree.find("page tab", "Sent")->has("selected"));

    auto closed = runWhileServing(
        *backend, testsupport::AccessibleTree::actionCommand(self, "push button", "Close Inbox", "click"));
    EXPECT_EQ(closed.status, 0) << closed.output;
    EXPECT_TRUE(waitFor([&] { return w.tabView->numberOfTabViewItems() == 7; }));
    other->close();
}

// Spring-loading reads the space bar from the live keyboard state, outside the event stream.
TEST_F(ZTBTabBarControlDisplayTest, TheBackendSeesTheSpaceBarHeld)
{
    auto w = makeWindow({ 100, 300, 300, 120 });
    EXPECT_FALSE(backend->isKeyDown(0x31));
    xdotool("keydown space");
    EXPECT_TRUE(backend->isKeyDown(0x31));
    xdotool("keyup space");
    EXPECT_FALSE(backend->isKeyDown(0x31));
}

// Tear-off style 1: the floating miniature is centred on the real pointer at two places it rests on, and the tab let
// go over empty screen opens its window centred where the pointer let go, grown to its full size.
TEST_F(ZTBTabBarControlDisplayTest, AStyleOneTearOffFollowsThePointerAndOpensWhereItIsLetGo)
{
    auto main = makeWindow({ 40, 250, 420, 200 });
    addTab(main, "Alpha", gfx::Color::colorWithDeviceRed(0.85, 0.9, 1.0));
    addTab(main, "Beta", gfx::Color::colorWithDeviceRed(0.9, 1.0, 0.85));
    addTab(main, "Gamma", gfx::Color::colorWithDeviceRed(1.0, 0.9, 0.85));
    main.bar->setTearOffStyle(1);
    ASSERT_TRUE(waitFor([&] { return main.bar->cells().size() == 3 && isSettled(main); }));
    auto assistant = ZTBTabDragAssistant::sharedDragAssistant();
    std::vector<ControlWindow> made;
    delegate->makeWindow = [&](gfx::Point point) {
        made.push_back(makeWindow({ point.x - 150, point.y - 75, 300, 150 }));
        return made.back().bar;
    };
    ASSERT_NO_FATAL_FAILURE(tearOffInStyleOne(*main.window, centre(*main.bar, "Beta"),
        { [assistant] { return assistant->draggedTab() ? assistant->draggedTab()->window() : nullptr; },
            [&] { return made.empty() ? nullptr : made[0].window; }, [assistant] { return assistant->isDragging(); },
            // Grown to its full size.
            [](const ui::Window& w) { return w.displayScale() == 1 && w.alphaValue() == 1; } }));
    EXPECT_EQ(labels(*made[0].bar), (std::vector<std::string> { "Beta" }));
    screenshot("ztbtabbarcontrol-display-6-style-one-dropped");
    for (auto& w : made)
        w.window->close();
}

// A drag that another program started (text from a small GTK program), held over a tab, selects that tab after the
// springing delay: the drag brings no mouse events of ours, only the window system's drop motions.
TEST_F(ZTBTabBarControlDisplayTest, ADragFromAnotherProgramHeldOverATabSpringsItOpen)
{
    delegate->extraDragTypes = std::vector<fnd::String> { ui::PasteboardType::String };
    auto main = makeWindow({ 220, 150, 400, 160 });
    addTab(main, "Alpha", gfx::Color::colorWithDeviceRed(0.85, 0.9, 1.0));
    addTab(main, "Beta", gfx::Color::colorWithDeviceRed(0.9, 1.0, 0.85));
    addTab(main, "Gamma", gfx::Color::colorWithDeviceRed(1.0, 0.9, 0.85));
    ASSERT_TRUE(waitFor([&] { return main.bar->cells().size() == 3 && isSettled(main); }));
    ASSERT_EQ(main.tabView->selectedTabViewItem()->label(), fnd::String("Alpha"));
    auto sprung = [&] { return main.tabView->selectedTabViewItem()->label() == fnd::String("Gamma"); };
    ASSERT_NO_FATAL_FAILURE(holdADragFromAnotherProgramOver(*main.window, centre(*main.bar, "Gamma"), DND_PEER, sprung))
        << "the held tab did not spring open";
    EXPECT_TRUE(sprung());
}

// Without leave to tear tabs off, the drag's own picture of the tab follows the pointer, held where it was pressed,
// over the window and beyond it on empty screen, and goes with the release: the screen under the pointer shows the
// tab's label as the bar showed it under the press.
TEST_F(ZTBTabBarControlDisplayTest, ADraggedTabsPictureFollowsThePointerUntilTheRelease)
{
    delegate->tearsOff = false;
    auto main = makeWindow({ 100, 300, 560, 200 });
    addTab(main, "Alpha", gfx::Color::colorWithDeviceRed(0.85, 0.9, 1.0));
    addTab(main, "Beta", gfx::Color::colorWithDeviceRed(0.9, 1.0, 0.85));
    addTab(main, "Gamma", gfx::Color::colorWithDeviceRed(1.0, 0.9, 0.85));
    ASSERT_TRUE(waitFor([&] { return main.bar->cells().size() == 3 && isSettled(main); }));

    // 40 by 10 points around a content point, in root device pixels.
    const int s = scale();
    const auto [wx, wy, ww, wh] = deviceRectOfContent(*main.window);
    auto patch = [&](gfx::Point p) {
        return std::array<int, 4> { wx + int((p.x - 20) * s), wy + int((200 - p.y - 5) * s), 40 * s, 10 * s };
    };
    auto grab = [&](gfx::Point p) {
        auto [x, y, w, h] = patch(p);
        return grabScreen(x, y, w, h);
    };
    auto settled = [&](gfx::Point p) {
        auto [x, y, w, h] = patch(p);
        return settledScreen(*backend, x, y, w, h);
    };
    auto sameShare = [](const Screenshot& a, const Screenshot& b) {
        long same = 0;
        for (std::size_t i = 0; i < a.pixels.size() && i < b.pixels.size(); ++i) {
            const std::uint32_t p = a.pixels[i], q = b.pixels[i];
            bool near = true;
            for (int shift : { 0, 8, 16 })
                near = near && std::abs(int((p >> shift) & 0xff) - int((q >> shift) & 0xff)) <= 8;
            same += near;
        }
        return a.pixels.empty() ? 0.0 : double(same) / double(a.pixels.size());
    };
    const gfx::Point press = centre(*main.bar, "Beta");
    const gfx::Point inside { press.x + 150, 80 }, outside { press.x + 100, -60 };
    // Under the pointer, as the tab looks when it is pressed.
    xdotool("mousemove " + root(*main.window, press));
    const Screenshot tab = settled(press);
    const Screenshot emptyScreen = settled(outside);
    ASSERT_LT(sameShare(tab, emptyScreen), 0.5) << "the empty screen looks like the tab";

    // Each place is held until the picture was seen there, or for the longest wait: the release must come, as the
    // drag's own loop holds the test until it does.
    double bestInside = 0, bestOutside = 0;
    auto shownAt = [&](gfx::Point p, double& best) {
        return [&, p, deadline = std::optional<std::chrono::steady_clock::time_point> {}]() mutable {
            const auto now = std::chrono::steady_clock::now();
            if (!deadline)
                deadline = now
                    + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                        std::chrono::duration<double>(testsupport::WaitSeconds));
            if (auto window = ui::draggedImageWindow(); window && window->isVisible())
                best = std::max(best, sameShare(grab(p), tab));
            return best >= 0.9 || now > *deadline;
        };
    };
    std::string pull = "mousemove " + root(*main.window, press) + " mousedown 1";
    for (int i = 1; i <= 8; ++i)
        pull += " sleep 0.03 mousemove "
            + root(*main.window, { press.x + (inside.x - press.x) * i / 8, press.y + (inside.y - press.y) * i / 8 });
    std::string away;
    for (int i = 1; i <= 6; ++i)
        away += " sleep 0.03 mousemove "
            + root(
                *main.window, { inside.x + (outside.x - inside.x) * i / 6, inside.y + (outside.y - inside.y) * i / 6 });
    gtktest::StagedGesture gesture;
    gesture.then(pull).then(away, shownAt(inside, bestInside)).then("mouseup 1", shownAt(outside, bestOutside));
    gesture.start();
    const auto assistant = ZTBTabDragAssistant::sharedDragAssistant();
    ASSERT_TRUE(waitFor([&] { return gesture.isDone() && !assistant->isDragging(); }))
        << "the gesture stopped before stage " << gesture.stagesStarted() + 1 << "; the picture matched the tab at "
        << bestInside << " inside the window and " << bestOutside << " outside";
    EXPECT_GE(bestInside, 0.9) << "no picture of the tab at the pointer over the window";
    EXPECT_GE(bestOutside, 0.9) << "no picture of the tab at the pointer over empty screen";
    EXPECT_EQ(ui::draggedImageWindow(), nullptr);
    EXPECT_TRUE(waitFor([&] { return sameShare(settled(outside), emptyScreen) > 0.99; }))
        << "the picture stayed after the release";
    EXPECT_EQ(labels(*main.bar), (std::vector<std::string> { "Alpha", "Beta", "Gamma" }));
}

}
