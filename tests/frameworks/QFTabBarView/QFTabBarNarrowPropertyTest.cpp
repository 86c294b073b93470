#include "QFTabBarViewTestSupport.h"
#include "frameworks/tab-bar-core/support/NarrowBarSequence.h"

#include "frameworks/QFTabBarView/QFTabBarController.h"

#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <map>

namespace {

using namespace qftest;

// The narrow-bar sequences on tab bar views, with buttons sized to fit and not; a button pinned to the bar may also
// be listed in the overflow menu.
class QFTabBarNarrowPropertyTest : public TabBarTest, protected tabbartest::NarrowBarSequence<BarWindow> {
protected:
    QFTabBarNarrowPropertyTest()
    {
        a.window->close();
        narrow.push_back(BarWindow::make({ 100, 100 }, 180));
        narrow.push_back(BarWindow::make({ 100, 400 }, 250));
        narrow.push_back(BarWindow::make({ 500, 100 }, 340));
        torn.reserve(400);
        for (auto& w : narrow) {
            w.delegate->allowLeaving = true;
            w.delegate->makeBar = [this](gfx::Point p) {
                torn.push_back(BarWindow::make(p, 250));
                return torn.back().bar;
            };
            w.bar->setCanCloseOnlyTab(true);
        }
    }

    gfx::Point inWindow(const BarWindow& from, const BarWindow& to, gfx::Point base) const
    {
        return from.window->convertScreenToBase(to.window->convertBaseToScreen(base));
    }

    // A shown tab (not only listed in the overflow menu), by its label.
    std::string shown(const BarWindow& w) const
    {
        const auto labels = w.barLabels();
        return labels.empty() ? std::string() : labels[std::size_t(pick(int(labels.size())))];
    }

    void setSizesToFit(std::size_t bar, bool fit) override { narrow[bar].bar->setSizeButtonsToFit(fit); }
    std::string closeTab(std::size_t bar) override
    {
        auto& w = narrow[bar];
        const auto label = shown(w);
        w.bar->_didClickCloseButton(fnd::Value(w.button(label)->closeButton()));
        return label;
    }
    std::string slideTab(std::size_t bar) override
    {
        auto& w = narrow[bar];
        const auto label = shown(w);
        const gfx::Point start = w.centreOf(label);
        const double x = 10.0 + pick(int(w.bar->frame().width()) - 20);
        dragPath(*w.window, start, { { start.x + 6, start.y }, { x, start.y } });
        return "slide " + label;
    }
    std::string moveTab(std::size_t bar, std::size_t targetBar) override
    {
        auto &w = narrow[bar], &target = narrow[targetBar];
        const auto label = shown(w);
        const gfx::Point start = w.centreOf(label);
        const gfx::Point onTarget = inWindow(w, target, { 10.0 + pick(int(target.bar->frame().width()) - 20), 189 });
        dragPath(*w.window, start, { { start.x, start.y + 8 }, { start.x, 240 }, onTarget });
        return "move " + label;
    }
    std::string tearOffTab(std::size_t bar) override
    {
        auto& w = narrow[bar];
        const auto label = shown(w);
        const gfx::Point start = w.centreOf(label);
        dragPath(*w.window, start, { { start.x, start.y + 8 }, { start.x, 240 }, { start.x, 900 } });
        return "tear off " + label;
    }
    std::shared_ptr<ui::Menu> overflowMenu(const BarWindow& w) const override
    {
        return w.bar->controller().overflowMenu();
    }
    void chooseOverflowEntry(BarWindow& w, const std::shared_ptr<ui::MenuItem>& entry) override
    {
        w.bar->_overflowMenuAction(fnd::Value(entry));
    }
    void settleBars() override { settle(); }

    // What is wrong with one bar, or nothing.
    std::string problemOf(const BarWindow& w) const override
    {
        std::map<const ui::TabViewItem*, int> inBar, inMenu;
        const ui::TabViewItem* pinned = nullptr;
        for (const auto& button : w.bar->attachedButtons()) {
            auto item = button->tabViewItem();
            if (!item || w.tabView->indexOfTabViewItem(*item) == long(fnd::NotFound))
                return "a button stands for no item of the tab view";
            ++inBar[item.get()];
            if (button->isOverflowButton())
                pinned = item.get();
            if (button->frame().width() <= 0)
                return "\"" + item->label().utf8() + "\" is shown zero wide";
        }
        if (const auto& menu = w.bar->controller().overflowMenu())
            for (const auto& entry : menu->itemArray())
                if (auto item = entry->representedObject().objectAs<ui::TabViewItem>())
                    ++inMenu[item.get()];
        for (const auto& item : w.tabView->tabViewItems()) {
            const int buttons = inBar[item.get()], entries = inMenu[item.get()];
            if (buttons + entries == 0)
                return "\"" + item->label().utf8() + "\" cannot be reached";
            if (buttons > 1 || entries > 1 || (buttons && entries && item.get() != pinned))
                return "\"" + item->label().utf8() + "\" is shown twice";
        }
        return {};
    }
};

TEST_F(QFTabBarNarrowPropertyTest, EveryTabIsShownWithAWidthOrListedOnce)
{
    runNarrowBarSequences(50);
}

}
