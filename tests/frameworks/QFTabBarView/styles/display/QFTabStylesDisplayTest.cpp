#include "GtkTestSupport.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <fmt/format.h>

#include <string>
#include <vector>

using namespace gtktest;

namespace {

const char* const StyleNames[] = { "Metal", "Aqua", "Unified", "Capsule", "Card", "Lively", "Slate" };

struct StyledBar {
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<QFTabBarView> bar;
};

class QFTabStylesDisplayTest : public GtkDisplayTest {
protected:
    // A point of a window's content (y up) as root device pixels for xdotool.
    static std::string root(const ui::Window& window, gfx::Point p)
    {
        auto [x, y, width, height] = deviceRectOfContent(window);
        const double contentHeight = window.contentRectForFrameRect(window.frame()).height();
        return fmt::format("{} {}", x + int(p.x * scale()), y + int((contentHeight - p.y) * scale()));
    }
    static gfx::Point centre(const QFAttachedTabBarButton& button)
    {
        return button.convertPointToView({ button.bounds().midX(), button.bounds().midY() }, nullptr);
    }
    void xdotool(const std::string& command)
    {
        ASSERT_EQ(runWhileServing(*backend, "xdotool " + command).status, 0) << command;
    }
    void screenshot(const char* name)
    {
        runWhileServing(*backend, std::string("import -window root /tmp/") + name + ".png");
    }
    static std::shared_ptr<QFAttachedTabBarButton> tab(const StyledBar& styled, long index)
    {
        auto buttons = styled.bar->orderedAttachedButtons();
        return index < static_cast<long>(buttons.size()) ? buttons[static_cast<std::size_t>(index)] : nullptr;
    }
};

}

TEST_F(QFTabStylesDisplayTest, OneBarPerStyleHoveredAndClickedWithTheRealPointer)
{
    // Seven bars stacked in one window, each over a small tab view of its own.
    const double slot = 40, width = 460;
    const double height = slot * std::size(StyleNames);
    auto content = FillView::make({}, gfx::Color::colorWithDeviceWhite(0.93));
    std::vector<StyledBar> bars;
    for (std::size_t i = 0; i < std::size(StyleNames); ++i) {
        const double top = height - slot * static_cast<double>(i);
        StyledBar s;
        s.tabView = ui::TabView::create({ 0, top - slot + 4, width, 12 });
        s.tabView->setTabViewType(ui::TabViewType::NoTabsNoBorder);
        s.bar = QFTabBarView::create({ 0, top - 22 - 2, width, 22 });
        s.bar->setStyleNamed(StyleNames[i]);
        s.bar->setShowAddTabButton(true);
        content->addSubview(s.tabView);
        content->addSubview(s.bar);
        s.bar->setTabView(s.tabView);
        for (const char* label : { "One", "Two", "Three" }) {
            auto item = ui::TabViewItem::create();
            item->setLabel(label);
            s.tabView->addTabViewItem(item);
        }
        bars.push_back(s);
    }
    auto window = showWindow({ 120, 200, width, height }, content);
    // Every bar has its buttons in place, and the window has drawn them: the pointer goes to a button's frame.
    ASSERT_TRUE(waitFor([&] {
        for (const auto& s : bars)
            if (s.bar->numberOfAttachedButtons() != 3 || s.bar->isAnimating())
                return false;
        return !window->viewsNeedDisplay();
    }));
    for (std::size_t i = 0; i < bars.size(); ++i)
        EXPECT_EQ(bars[i].bar->styleName(), fnd::String(StyleNames[i]));
    screenshot("qftabstyles-display-1-all-styles");

    // Each bar: the pointer rests on the third tab (it is hovered), then clicks it (it is selected).
    for (std::size_t i = 0; i < bars.size(); ++i) {
        SCOPED_TRACE(StyleNames[i]);
        auto third = tab(bars[i], 2);
        ASSERT_TRUE(third);
        xdotool("mousemove " + root(*window, centre(*third)));
        EXPECT_TRUE(waitFor([&] { return third->mouseHovered(); })) << "hovered";
        if (i == 0)
            screenshot("qftabstyles-display-2-metal-hovered");
        xdotool("click 1");
        EXPECT_TRUE(waitFor([&] { return bars[i].tabView->selectedTabViewItem()->label() == fnd::String("Three"); }))
            << "selected by the click";
        EXPECT_EQ(bars[i].tabView->indexOfTabViewItem(*bars[i].tabView->selectedTabViewItem()), 2);
    }
    // Leave the pointer over the second tab of the last bar, so one hover shows in the picture.
    auto second = tab(bars.back(), 1);
    xdotool("mousemove " + root(*window, centre(*second)));
    EXPECT_TRUE(waitFor([&] { return second->mouseHovered() && !window->viewsNeedDisplay(); })) << "hovered";
    screenshot("qftabstyles-display-3-third-tabs-selected");
}
