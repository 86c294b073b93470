#include "GtkTestSupport.h"
#include "frameworks/tab-bar-core/support/DisplayDrags.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabDragAssistant.h"

#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include <cstdlib>

using namespace gtktest;

namespace {

// Adds numbered tabs and opens torn-off tabs in windows of their own.
class DisplayDelegate : public QFTabBarViewDelegate {
public:
    bool addNewTabToTabView(ui::TabView& tabView) override
    {
        auto item = ui::TabViewItem::create();
        item->setLabel(fnd::String(fmt::format("Tab {}", ++added)));
        auto page = FillView::make({}, gfx::Color::colorWithDeviceRed(0.85, 0.9, 1.0));
        item->setView(page);
        tabView.addTabViewItem(item);
        return true;
    }
    std::optional<bool> tabViewShouldAllowTabViewItemToLeaveTabBarView(
        ui::TabView&, ui::TabViewItem&, QFTabBarView&) override
    {
        return true;
    }
    bool makesNewTabBarViews() const override { return true; }
    std::optional<std::shared_ptr<QFTabBarView>> tabViewNewTabBarViewForDraggedTabViewItem(
        ui::TabView&, ui::TabViewItem&, gfx::Point point) override
    {
        return makeWindow ? makeWindow(point) : nullptr;
    }
    std::optional<std::vector<fnd::String>> allowedDraggedTypesForTabView(ui::TabView&) override
    {
        return extraDragTypes;
    }
    std::function<std::shared_ptr<QFTabBarView>(gfx::Point)> makeWindow;
    std::optional<std::vector<fnd::String>> extraDragTypes;
    int added { 0 };
};

struct TabWindow {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<QFTabBarView> bar;
};

class QFTabBarViewDisplayTest : public tabbartest::TabBarDisplayTest {
protected:
    TabWindow makeTabWindow(gfx::Rect contentRect)
    {
        TabWindow w;
        auto content = FillView::make({}, gfx::Color::colorWithDeviceWhite(0.93));
        w.tabView = ui::TabView::create({ 0, 0, contentRect.width(), contentRect.height() - 22 });
        w.tabView->setTabViewType(ui::TabViewType::NoTabsNoBorder);
        w.bar = QFTabBarView::create({ 0, contentRect.height() - 22, contentRect.width(), 22 });
        w.bar->setShowAddTabButton(true);
        content->addSubview(w.tabView);
        content->addSubview(w.bar);
        w.bar->setTabView(w.tabView);
        w.bar->setDelegate(delegate);
        w.bar->setPartnerView(w.tabView);
        w.window = showWindow(contentRect, content);
        return w;
    }
    static gfx::Point centre(const QFAttachedTabBarButton& button)
    {
        return button.convertPointToView({ button.bounds().midX(), button.bounds().midY() }, nullptr);
    }
    // The bar has slid its buttons into place and the window has drawn them: no animation runs and no display
    // waits. Where a button is read from its frame and pointed at, or the screen is pictured, a bar still sliding
    // would give a place the button is leaving.
    static bool isSettled(const TabWindow& w) { return !w.bar->isAnimating() && !w.window->viewsNeedDisplay(); }
    static std::vector<std::string> labels(const QFTabBarView& bar)
    {
        std::vector<std::string> out;
        for (const auto& button : bar.orderedAttachedButtons())
            out.push_back(button->tabViewItem()->label().utf8());
        return out;
    }
    std::shared_ptr<DisplayDelegate> delegate = std::make_shared<DisplayDelegate>();
};

TEST_F(QFTabBarViewDisplayTest, AddSelectReorderAndTearOffWithTheRealPointer)
{
    auto main = makeTabWindow({ 100, 300, 520, 200 });
    std::vector<TabWindow> made;

    // Three tabs from the + button.
    for (int i = 0; i < 3; ++i) {
        auto add = main.bar->addTabButton();
        xdotool("mousemove "
            + root(*main.window, add->convertPointToView({ add->bounds().midX(), add->bounds().midY() }, nullptr))
            + " click 1");
        ASSERT_TRUE(waitFor([&] { return main.bar->numberOfAttachedButtons() == i + 1 && isSettled(main); }))
            << "tab " << i + 1;
    }
    EXPECT_EQ(labels(*main.bar), (std::vector<std::string> { "Tab 1", "Tab 2", "Tab 3" }));
    EXPECT_EQ(main.tabView->selectedTabViewItem()->label(), fnd::String("Tab 1")) << "the first stays selected";

    // Selected with a click.
    auto third = main.bar->orderedAttachedButtons().back();
    xdotool("mousemove " + root(*main.window, centre(*third)) + " click 1");
    ASSERT_TRUE(waitFor(
        [&] { return main.tabView->selectedTabViewItem()->label() == fnd::String("Tab 3") && isSettled(main); }));
    auto first = main.bar->orderedAttachedButtons().front();
    screenshot("qftabbarview-display-1-added-and-selected");

    // Dragged along the bar to the end.
    const gfx::Point from = centre(*first);
    const gfx::Point to { main.bar->orderedAttachedButtons().back()->frame().maxX() - 10, from.y };
    std::string path = "mousemove " + root(*main.window, from) + " mousedown 1";
    for (int i = 1; i <= 10; ++i)
        path += " sleep 0.03 mousemove " + root(*main.window, { from.x + (to.x - from.x) * i / 10, from.y });
    path += " sleep 0.1 mouseup 1";
    xdotool(path);
    ASSERT_TRUE(waitFor([&] { return labels(*main.bar).back() == "Tab 1"; })) << fmt::format("{}", labels(*main.bar));
    EXPECT_EQ(labels(*main.bar), (std::vector<std::string> { "Tab 2", "Tab 3", "Tab 1" }));
    // The next drag starts at a button's frame: once the buttons have slid into place.
    EXPECT_TRUE(waitFor([&] { return isSettled(main); })) << "the bar never came to rest";
    screenshot("qftabbarview-display-2-reordered");

    // Torn off: pulled up out of the window, held (the floating tab follows the pointer, caught in a screenshot
    // while held), then dropped on empty screen, which opens a window of its own.
    auto assistant = QFTabDragAssistant::sharedDragAssistant();
    bool floatingWhenDropped = false;
    delegate->makeWindow = [&](gfx::Point point) {
        floatingWhenDropped
            = assistant->isDragging() && assistant->draggedTab() && assistant->draggedTab()->window()->isVisible();
        made.push_back(makeTabWindow({ point.x - 150, point.y - 100, 300, 150 }));
        return made.back().bar;
    };
    auto second = main.bar->orderedAttachedButtons().front();
    const gfx::Point start = centre(*second);
    std::string tear = "xdotool mousemove " + root(*main.window, start) + " mousedown 1";
    for (int i = 1; i <= 12; ++i)
        tear += " sleep 0.03 mousemove " + root(*main.window, { start.x + i * 20, start.y + i * 15 });
    tear += " && sleep 0.6 && { import -window root /tmp/qftabbarview-display-3-floating.png || true; } && xdotool "
            "mousemove "
        + root(*main.window, { start.x + 260, start.y + 200 }) + " sleep 0.1 mouseup 1";
    ASSERT_EQ(runWhileServing(*backend, tear).status, 0);
    ASSERT_TRUE(waitFor([&] { return !made.empty() && made[0].bar->numberOfAttachedButtons() == 1; }));
    EXPECT_EQ(labels(*made[0].bar), (std::vector<std::string> { "Tab 2" }));
    EXPECT_EQ(labels(*main.bar), (std::vector<std::string> { "Tab 3", "Tab 1" }));
    EXPECT_FALSE(assistant->isDragging());
    EXPECT_TRUE(floatingWhenDropped) << "the torn-off tab floated in its own window until dropped";
    EXPECT_TRUE(waitFor([&] { return isSettled(main) && isSettled(made[0]); })) << "the bars never came to rest";
    screenshot("qftabbarview-display-4-torn-off");
    for (auto& w : made)
        w.window->close();
}

// Tear-off style 1: the floating miniature is centred on the real pointer at two places it rests on, and the tab let
// go over empty screen opens its window centred where the pointer let go.
TEST_F(QFTabBarViewDisplayTest, AStyleOneTearOffFollowsThePointerAndOpensWhereItIsLetGo)
{
    auto main = makeTabWindow({ 40, 250, 420, 200 });
    for (int i = 0; i < 3; ++i)
        delegate->addNewTabToTabView(*main.tabView);
    ASSERT_TRUE(waitFor([&] { return main.bar->numberOfAttachedButtons() == 3 && isSettled(main); }));
    main.bar->setTearOffStyle(1);
    auto assistant = QFTabDragAssistant::sharedDragAssistant();
    std::vector<TabWindow> made;
    delegate->makeWindow = [&](gfx::Point point) {
        made.push_back(makeTabWindow({ point.x - 150, point.y - 75, 300, 150 }));
        return made.back().bar;
    };
    // Down out of the bar (torn off), then resting at two places, then let go over empty screen below the window.
    ASSERT_NO_FATAL_FAILURE(tearOffInStyleOne(*main.window, centre(*main.bar->orderedAttachedButtons()[1]),
        { [assistant] { return assistant->draggedTab() ? assistant->draggedTab()->window() : nullptr; },
            [&] { return made.empty() ? nullptr : made[0].window; }, [assistant] { return assistant->isDragging(); },
            [](const ui::Window& w) { return w.alphaValue() == 1; } }));
    EXPECT_EQ(labels(*made[0].bar), (std::vector<std::string> { "Tab 2" }));
    screenshot("qftabbarview-display-5-style-one-dropped");
    for (auto& w : made)
        w.window->close();
}

// A drag that another program started (text from a small GTK program), held over a tab, selects that tab after the
// springing delay: the drag brings no mouse events of ours, only the window system's drop motions.
TEST_F(QFTabBarViewDisplayTest, ADragFromAnotherProgramHeldOverATabSpringsItOpen)
{
    delegate->extraDragTypes = std::vector<fnd::String> { ui::PasteboardType::String };
    auto main = makeTabWindow({ 220, 150, 400, 160 });
    for (int i = 0; i < 3; ++i)
        delegate->addNewTabToTabView(*main.tabView);
    ASSERT_TRUE(waitFor([&] { return main.bar->numberOfAttachedButtons() == 3 && isSettled(main); }));
    ASSERT_EQ(main.tabView->selectedTabViewItem()->label(), fnd::String("Tab 1"));

    auto sprung = [&] { return main.tabView->selectedTabViewItem()->label() == fnd::String("Tab 3"); };
    ASSERT_NO_FATAL_FAILURE(
        holdADragFromAnotherProgramOver(*main.window, centre(*main.bar->orderedAttachedButtons()[2]), DND_PEER, sprung))
        << "the held tab did not spring open";
    EXPECT_TRUE(sprung());
}

}
