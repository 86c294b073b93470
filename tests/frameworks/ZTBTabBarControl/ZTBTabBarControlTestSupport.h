#pragma once

#include "platform/ui/UiTestSupport.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ztbtest {

// Records what a tab bar control tells its delegate and answers as told.
class RecordingDelegate : public ZTBTabBarControlDelegate {
public:
    std::vector<std::string> calls;
    std::optional<bool> shouldDrag { true };
    std::optional<bool> shouldDrop;
    std::optional<bool> shouldDropOutside;
    std::optional<bool> shouldClose;
    // The answer to a drop of another kind on a tab (nullopt: the delegate does not take such drops).
    std::optional<bool> acceptsDrop;
    std::function<std::shared_ptr<ZTBTabBarControl>(gfx::Point)> makeBar;
    // Pasteboard types the bar also takes (spring-loading).
    std::optional<std::vector<fnd::String>> extraDragTypes;
    // Told when the last tab of the bar's tab view was dragged away (the window may close).
    std::function<void()> lastTabGone;

    void tabViewDidSelectTabViewItem(ui::TabView&, ui::TabViewItem& item) override
    {
        calls.push_back("didSelect " + item.label().utf8());
    }
    void tabViewDidChangeNumberOfTabViewItems(ui::TabView&) override { calls.push_back("count"); }
    std::optional<std::vector<fnd::String>> allowedDraggedTypesForTabView(ui::TabView&) override
    {
        return extraDragTypes;
    }
    void tabViewDidCloseTabViewItem(ui::TabView&, ui::TabViewItem& item) override
    {
        calls.push_back("didClose " + item.label().utf8());
    }
    std::optional<bool> tabViewShouldCloseTabViewItem(ui::TabView&, ui::TabViewItem&) override { return shouldClose; }
    std::optional<bool> tabViewShouldDragTabViewItem(ui::TabView&, ui::TabViewItem&, ZTBTabBarControl&) override
    {
        return shouldDrag;
    }
    std::optional<bool> tabViewShouldDropTabViewItem(ui::TabView&, ui::TabViewItem&, ZTBTabBarControl* bar) override
    {
        return bar ? shouldDrop : shouldDropOutside;
    }
    bool makesNewTabBars() const override { return bool(makeBar); }
    std::shared_ptr<ZTBTabBarControl> tabViewNewTabBarForDraggedTabViewItem(
        ui::TabView&, ui::TabViewItem&, gfx::Point p) override
    {
        return makeBar ? makeBar(p) : nullptr;
    }
    void tabViewDidDropTabViewItem(ui::TabView&, ui::TabViewItem& item, ZTBTabBarControl&) override
    {
        calls.push_back("didDrop " + item.label().utf8());
    }
    std::optional<bool> tabViewAcceptedDraggingInfo(ui::TabView&, ui::DraggingInfo&, ui::TabViewItem* item) override
    {
        calls.push_back("accepted " + (item ? item->label().utf8() : std::string("nothing")));
        return acceptsDrop;
    }
    void tabViewCloseWindowForLastTabViewItem(ui::TabView&, ui::TabViewItem&) override
    {
        if (lastTabGone)
            lastTabGone();
    }
    void tabViewTabBarDidHide(ui::TabView&, ZTBTabBarControl&) override { calls.push_back("didHide"); }
    void tabViewTabBarDidUnhide(ui::TabView&, ZTBTabBarControl&) override { calls.push_back("didUnhide"); }
};

// A window with a tab view below a 22-point bar.
struct BarWindow {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<ZTBTabBarControl> bar;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();

    static BarWindow make(gfx::Point origin, double width = 534, double height = 200);
    std::shared_ptr<ui::TabViewItem> addItem(const std::string& label);
    std::vector<std::string> barLabels() const;
    std::vector<std::string> tabLabels() const;
    std::shared_ptr<ZTBTabBarCell> cell(const std::string& label) const;
    // The middle of the tab, in window base coordinates.
    gfx::Point centreOf(const std::string& label) const;
};

class TabBarControlTest : public uitest::UiTest {
protected:
    TabBarControlTest();
    ~TabBarControlTest() override;
    void runFor(double seconds);
    void settle();
    void drag(ui::Window& from, gfx::Point start, const std::vector<gfx::Point>& path, unsigned modifiers = 0);
    static std::vector<gfx::Point> steps(gfx::Point from, gfx::Point to, int count = 8);

    BarWindow a;
};

}
