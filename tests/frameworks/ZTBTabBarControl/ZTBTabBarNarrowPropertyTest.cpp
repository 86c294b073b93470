#include "ZTBTabBarControlTestSupport.h"
#include "frameworks/tab-bar-core/support/NarrowBarSequence.h"

#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"

#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <set>

namespace {

using namespace ztbtest;

// The narrow-bar sequences on tab bar controls, with cells sized to fit and not; a drag between bars and a tear-off
// go through the drag assistant.
class ZTBTabBarNarrowPropertyTest : public TabBarControlTest, protected tabbartest::NarrowBarSequence<BarWindow> {
protected:
    ZTBTabBarNarrowPropertyTest()
    {
        a.window->close();
        narrow.push_back(BarWindow::make({ 100, 100 }, 184));
        narrow.push_back(BarWindow::make({ 100, 400 }, 234));
        narrow.push_back(BarWindow::make({ 500, 100 }, 334));
        torn.reserve(400);
        for (auto& w : narrow) {
            w.delegate->shouldDropOutside = true;
            w.delegate->makeBar = [this](gfx::Point p) {
                torn.push_back(BarWindow::make(p, 234));
                return torn.back().bar;
            };
            w.bar->setCanCloseOnlyTab(true);
        }
    }

    ZTBTabDragAssistant& assistant() { return *ZTBTabDragAssistant::sharedDragAssistant(); }

    // A cell of the bar chosen at random; nullptr when it is listed in the overflow menu only.
    std::shared_ptr<ZTBTabBarCell> shownCell(const BarWindow& w) const
    {
        auto cell = w.bar->cells()[std::size_t(pick(int(w.bar->cells().size())))];
        return cell->isInOverflowMenu() ? nullptr : cell;
    }

    void setSizesToFit(std::size_t bar, bool fit) override { narrow[bar].bar->setSizeCellsToFit(fit); }
    std::string closeTab(std::size_t bar) override
    {
        auto& w = narrow[bar];
        auto item = w.tabView->tabViewItemAtIndex(pick(int(w.tabView->numberOfTabViewItems())));
        const auto label = item->label().utf8();
        w.tabView->removeTabViewItem(item);
        return label;
    }
    std::string slideTab(std::size_t bar) override
    {
        // Along the bar with the pointer.
        auto& w = narrow[bar];
        auto cell = shownCell(w);
        if (!cell)
            return {};
        const gfx::Point from = w.centreOf(cell->stringValue().utf8());
        drag(*w.window, from, steps(from, { 12.0 + pick(int(w.bar->frame().width()) - 24), from.y }));
        return "slide " + cell->stringValue().utf8();
    }
    std::string moveTab(std::size_t bar, std::size_t targetBar) override
    {
        auto &w = narrow[bar], &target = narrow[targetBar];
        auto cell = shownCell(w);
        if (!cell)
            return {};
        assistant().startDraggingCell(cell, w.bar, nullptr, false);
        assistant().draggingExitedTabBar(w.bar);
        const gfx::Rect g = target.bar->genericCellRect();
        assistant().draggingEnteredTabBar(target.bar, { g.minX() + double(pick(int(g.width()))), 10 });
        for (int tick = pick(9); tick > 0; --tick)
            assistant().animateDrag();
        assistant().performDragOperation();
        return "move " + cell->stringValue().utf8();
    }
    std::string tearOffTab(std::size_t bar) override
    {
        // Onto empty screen: a new bar of its own.
        auto& w = narrow[bar];
        auto cell = shownCell(w);
        if (!cell)
            return {};
        assistant().startDraggingCell(cell, w.bar, nullptr, false);
        assistant().draggingExitedTabBar(w.bar);
        assistant().draggedImageEndedAt({ 900, 700 });
        return "tear off " + cell->stringValue().utf8();
    }
    std::shared_ptr<ui::Menu> overflowMenu(const BarWindow& w) const override
    {
        return w.bar->controller().overflowMenu();
    }
    void chooseOverflowEntry(BarWindow& w, const std::shared_ptr<ui::MenuItem>& entry) override
    {
        w.bar->overflowMenuAction(*entry);
    }
    void settleBars() override { settle(); }

    // What is wrong with one bar, or nothing.
    std::string problemOf(const BarWindow& w) const override
    {
        const auto items = w.tabView->tabViewItems();
        if (long(w.bar->cells().size()) != long(items.size()))
            return "cells and items differ in number";
        std::multiset<const ui::TabViewItem*> inBar, inMenu;
        for (const auto& cell : w.bar->cells()) {
            if (cell->isPlaceholder())
                return "a placeholder outlived the drag";
            if (cell->isInOverflowMenu())
                continue;
            inBar.insert(cell->representedObject().get());
            if (w.bar->orientation() == 0 && cell->frame().width() <= 0)
                return "\"" + cell->stringValue().utf8() + "\" is shown zero wide";
        }
        if (const auto& menu = w.bar->controller().overflowMenu())
            for (const auto& entry : menu->itemArray())
                if (auto item = entry->representedObject().objectAs<ui::TabViewItem>())
                    inMenu.insert(item.get());
        for (const auto& item : items) {
            const auto reached = inBar.count(item.get()) + inMenu.count(item.get());
            if (reached == 0)
                return "\"" + item->label().utf8() + "\" cannot be reached";
            if (reached > 1)
                return "\"" + item->label().utf8() + "\" is shown twice";
        }
        return {};
    }
};

TEST_F(ZTBTabBarNarrowPropertyTest, EveryTabIsShownWithAWidthOrListedOnce)
{
    runNarrowBarSequences(60);
}

}
