#include "ZTBTabBarControlTestSupport.h"

#include "frameworks/ZTBTabBarControl/ZTBTabDragAssistant.h"

#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <algorithm>
#include <random>
#include <set>

namespace {

using namespace ztbtest;

// Narrow bars (room for one to three tabs of the minimum width) and random adds, closes, selections, slides, drags
// to another bar, tear-offs and picks from the overflow menu, with tabs sized to fit and not: no tab is shown zero
// wide, every tab can be reached in its bar or its overflow menu, none is lost or doubled.
class ZTBTabBarNarrowPropertyTest : public TabBarControlTest {
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

    // What is wrong with one bar, or nothing.
    static std::string problemOf(const BarWindow& w)
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

    std::vector<BarWindow> narrow;
    std::vector<BarWindow> torn;
};

TEST_F(ZTBTabBarNarrowPropertyTest, EveryTabIsShownWithAWidthOrListedOnce)
{
    std::set<std::string> alive;
    int created = 0, overflowPicks = 0;
    for (bool fit : { false, true }) {
        for (unsigned seed : { 1u, 2u }) {
            std::mt19937 random(seed * 7 + (fit ? 1 : 0));
            auto pick = [&](int n) { return int(random() % unsigned(n)); };
            for (auto& w : narrow) {
                w.bar->setSizeCellsToFit(fit);
                for (const auto& item : std::vector(w.tabView->tabViewItems())) {
                    alive.erase(item->label().utf8());
                    w.tabView->removeTabViewItem(item);
                }
                for (int i = 0; i < 2; ++i) {
                    const std::string label = "T" + std::to_string(++created) + std::string(std::size_t(pick(12)), 'x');
                    w.addItem(label);
                    alive.insert(label);
                }
            }
            settle();
            for (int step = 0; step < 60; ++step) {
                auto& w = narrow[std::size_t(pick(3))];
                const long count = w.tabView->numberOfTabViewItems();
                std::string what;
                switch (pick(7)) {
                case 0:
                    if (count < 12) {
                        const std::string label
                            = "T" + std::to_string(++created) + std::string(std::size_t(pick(12)), 'x');
                        w.addItem(label);
                        alive.insert(label);
                        what = "add " + label;
                    }
                    break;
                case 1:
                    if (count > 2) {
                        auto item = w.tabView->tabViewItemAtIndex(pick(int(count)));
                        what = "close " + item->label().utf8();
                        alive.erase(item->label().utf8());
                        w.tabView->removeTabViewItem(item);
                    }
                    break;
                case 2:
                    w.tabView->selectTabViewItemAtIndex(pick(int(count)));
                    what = "select";
                    break;
                case 3: {
                    // A slide along the bar with the pointer.
                    auto cell = w.bar->cells()[std::size_t(pick(int(count)))];
                    if (cell->isInOverflowMenu())
                        break;
                    what = "slide " + cell->stringValue().utf8();
                    const gfx::Point from = w.centreOf(cell->stringValue().utf8());
                    drag(*w.window, from, steps(from, { 12.0 + pick(int(w.bar->frame().width()) - 24), from.y }));
                    break;
                }
                case 4: {
                    // Dropped on another bar.
                    auto& target = narrow[std::size_t(pick(3))];
                    auto cell = w.bar->cells()[std::size_t(pick(int(count)))];
                    if (&target == &w || cell->isInOverflowMenu() || count <= 2
                        || target.tabView->numberOfTabViewItems() >= 12)
                        break;
                    what = "move " + cell->stringValue().utf8();
                    assistant().startDraggingCell(cell, w.bar, nullptr, false);
                    assistant().draggingExitedTabBar(w.bar);
                    const gfx::Rect g = target.bar->genericCellRect();
                    assistant().draggingEnteredTabBar(target.bar, { g.minX() + double(pick(int(g.width()))), 10 });
                    for (int tick = pick(9); tick > 0; --tick)
                        assistant().animateDrag();
                    assistant().performDragOperation();
                    break;
                }
                case 5: {
                    // Torn off onto empty screen: a new bar of its own.
                    auto cell = w.bar->cells()[std::size_t(pick(int(count)))];
                    if (cell->isInOverflowMenu() || count <= 2)
                        break;
                    what = "tear off " + cell->stringValue().utf8();
                    assistant().startDraggingCell(cell, w.bar, nullptr, false);
                    assistant().draggingExitedTabBar(w.bar);
                    assistant().draggedImageEndedAt({ 900, 700 });
                    break;
                }
                case 6: {
                    // Reached through the overflow menu.
                    const auto& menu = w.bar->controller().overflowMenu();
                    if (!menu || menu->numberOfItems() < 2)
                        break;
                    auto entry = menu->itemArray()[std::size_t(1 + pick(int(menu->numberOfItems()) - 1))];
                    what = "pick " + entry->title().utf8();
                    w.bar->overflowMenuAction(*entry);
                    EXPECT_EQ(w.tabView->selectedTabViewItem(), entry->representedObject().objectAs<ui::TabViewItem>());
                    ++overflowPicks;
                    break;
                }
                }
                settle();
                const std::string where = (fit ? "sized to fit" : "fixed widths") + std::string(", seed ")
                    + std::to_string(seed) + ", step " + std::to_string(step) + " (" + what + "): ";
                std::multiset<std::string> present;
                auto collect = [&](const BarWindow& bw) {
                    const auto problem = problemOf(bw);
                    EXPECT_TRUE(problem.empty())
                        << where << problem << "; bar " << ::testing::PrintToString(bw.barLabels()) << ", tab view "
                        << ::testing::PrintToString(bw.tabLabels());
                    for (const auto& label : bw.tabLabels())
                        present.insert(label);
                };
                for (const auto& bw : narrow)
                    collect(bw);
                for (const auto& bw : torn)
                    collect(bw);
                EXPECT_EQ(present, std::multiset<std::string>(alive.begin(), alive.end())) << where;
                if (HasFailure())
                    return;
            }
        }
    }
    EXPECT_GE(overflowPicks, 3) << "the sequences reached tabs through the overflow menu";
}

}
