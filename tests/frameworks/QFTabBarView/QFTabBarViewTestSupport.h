#pragma once

#include "platform/ui/UiTestSupport.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "frameworks/QFTabBarView/QFTabBarViewDelegate.h"

#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qftest {

// Records what a tab bar view tells its delegate and answers as told.
class RecordingDelegate : public QFTabBarViewDelegate {
public:
    std::vector<std::string> calls;
    bool allowLeaving { false };
    std::optional<bool> validateDrop;
    std::optional<bool> shouldClose;
    std::function<std::shared_ptr<QFTabBarView>(gfx::Point)> makeBar;
    int overflowNotices { 0 };
    // Pasteboard types the bar also takes (spring-loading).
    std::optional<std::vector<fnd::String>> extraDragTypes;
    // Told when the last tab of the bar's tab view was dragged away (the window may close).
    std::function<void()> lastTabGone;

    void tabViewDidSelectTabViewItem(ui::TabView&, ui::TabViewItem& item) override
    {
        calls.push_back("didSelect " + item.label().utf8());
    }
    void tabViewDidChangeNumberOfTabViewItems(ui::TabView&) override { calls.push_back("count"); }
    std::optional<bool> tabViewAcceptedDraggingInfo(ui::TabView&, ui::DraggingInfo&, ui::TabViewItem& item) override
    {
        calls.push_back("accepted on " + item.label().utf8());
        return true;
    }
    std::optional<std::vector<fnd::String>> allowedDraggedTypesForTabView(ui::TabView&) override
    {
        return extraDragTypes;
    }
    std::optional<bool> tabViewShouldCloseTabViewItem(ui::TabView&, ui::TabViewItem&) override { return shouldClose; }
    void tabViewWillCloseTabViewItem(ui::TabView&, ui::TabViewItem& item) override
    {
        calls.push_back("willClose " + item.label().utf8());
    }
    void tabViewDidCloseTabViewItem(ui::TabView&, ui::TabViewItem& item) override
    {
        calls.push_back("didClose " + item.label().utf8());
    }
    void tabViewDidDetachTabViewItem(ui::TabView&, ui::TabViewItem& item) override
    {
        calls.push_back("didDetach " + item.label().utf8());
    }
    void tabViewTabViewItemIsInOverflowMenu(ui::TabView&, ui::TabViewItem&, bool inMenu) override
    {
        if (!inMenu)
            ++overflowNotices;
    }
    std::optional<bool> tabViewShouldAllowTabViewItemToLeaveTabBarView(
        ui::TabView&, ui::TabViewItem&, QFTabBarView&) override
    {
        return allowLeaving;
    }
    std::optional<bool> tabViewValidateDrop(
        ui::TabView&, ui::DraggingInfo&, ui::TabViewItem&, long, QFTabBarView&) override
    {
        return validateDrop;
    }
    void tabViewDidDropTabViewItem(ui::TabView&, ui::TabViewItem& item, QFTabBarView&) override
    {
        calls.push_back("didDrop " + item.label().utf8());
    }
    bool makesNewTabBarViews() const override { return bool(makeBar); }
    std::optional<std::shared_ptr<QFTabBarView>> tabViewNewTabBarViewForDraggedTabViewItem(
        ui::TabView&, ui::TabViewItem&, gfx::Point point) override
    {
        if (!makeBar)
            return std::nullopt;
        return makeBar(point);
    }
    bool addNewTabToTabView(ui::TabView& tabView) override
    {
        calls.push_back("add");
        auto item = ui::TabViewItem::create();
        item->setLabel(fnd::String("New " + std::to_string(tabView.numberOfTabViewItems() + 1)));
        tabView.addTabViewItem(item);
        return true;
    }
    bool tabViewCloseWindowForLastTabViewItem(ui::TabView&, ui::TabViewItem&) override
    {
        if (!lastTabGone)
            return false;
        lastTabGone();
        return true;
    }
    void tabViewTabBarViewDidHide(ui::TabView&, QFTabBarView&) override { calls.push_back("didHide"); }
    void tabViewTabBarViewDidUnhide(ui::TabView&, QFTabBarView&) override { calls.push_back("didUnhide"); }
};

// One window with a tab view and a tab bar view above it.
struct BarWindow {
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<QFTabBarView> bar;
    std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();

    static BarWindow make(gfx::Point origin, double width = 600, double height = 200);
    std::shared_ptr<ui::TabViewItem> addItem(const std::string& label);
    std::vector<std::string> barLabels() const;
    std::vector<std::string> tabLabels() const;
    std::shared_ptr<QFAttachedTabBarButton> button(const std::string& label) const;
    // The middle of the button, in the window's base coordinates.
    gfx::Point centreOf(const std::string& label) const;
};

class TabBarTest : public uitest::UiTest {
protected:
    TabBarTest();
    ~TabBarTest() override;
    void runFor(double seconds);
    // Runs queued work (coalesced updates) and queued input.
    void settle();
    // Injects a press, drags through the points (window base coordinates of `from`) and a release at the last.
    void dragPath(ui::Window& from, gfx::Point start, const std::vector<gfx::Point>& path);
    std::shared_ptr<gfx::BitmapImageRep> snapshot(ui::Window& window, const char* name);

    BarWindow a;
};

}
