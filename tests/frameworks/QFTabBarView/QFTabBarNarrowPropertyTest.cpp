#include "QFTabBarViewTestSupport.h"

#include "frameworks/QFTabBarView/QFTabBarController.h"

#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <algorithm>
#include <map>
#include <random>
#include <set>

namespace {

using namespace qftest;

// Narrow bars (room for one to three tabs of the minimum width) and random adds, closes, selections, slides, drags
// to another bar, tear-offs and picks from the overflow menu, with buttons sized to fit and not: no button is shown
// zero wide, every tab can be reached in its bar or its overflow menu, none is lost or doubled.
class QFTabBarNarrowPropertyTest : public TabBarTest {
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

    // What is wrong with one bar, or nothing.
    static std::string problemOf(const BarWindow& w)
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

    std::vector<BarWindow> narrow;
    std::vector<BarWindow> torn;
};

TEST_F(QFTabBarNarrowPropertyTest, EveryTabIsShownWithAWidthOrListedOnce)
{
    std::set<std::string> alive;
    int created = 0, overflowPicks = 0;
    for (bool fit : { false, true }) {
        for (unsigned seed : { 1u, 2u }) {
            std::mt19937 random(seed * 7 + (fit ? 1 : 0));
            auto pick = [&](int n) { return int(random() % unsigned(n)); };
            auto newLabel = [&] { return "T" + std::to_string(++created) + std::string(std::size_t(pick(12)), 'x'); };
            for (auto& w : narrow) {
                w.bar->setSizeButtonsToFit(fit);
                for (const auto& item : std::vector(w.tabView->tabViewItems())) {
                    alive.erase(item->label().utf8());
                    w.tabView->removeTabViewItem(item);
                }
                for (int i = 0; i < 2; ++i) {
                    const auto label = newLabel();
                    w.addItem(label);
                    alive.insert(label);
                }
            }
            settle();
            for (int step = 0; step < 50; ++step) {
                auto& w = narrow[std::size_t(pick(3))];
                const auto items = w.tabView->tabViewItems();
                const long count = long(items.size());
                // A shown tab (not only listed in the overflow menu), by its label.
                auto shown = [&]() -> std::string {
                    const auto labels = w.barLabels();
                    return labels.empty() ? std::string() : labels[std::size_t(pick(int(labels.size())))];
                };
                std::string what;
                switch (pick(7)) {
                case 0:
                    if (count < 12) {
                        const auto label = newLabel();
                        w.addItem(label);
                        alive.insert(label);
                        what = "add " + label;
                    }
                    break;
                case 1:
                    if (count > 2) {
                        const auto label = shown();
                        what = "close " + label;
                        w.bar->_didClickCloseButton(fnd::Value(w.button(label)->closeButton()));
                        alive.erase(label);
                    }
                    break;
                case 2:
                    w.tabView->selectTabViewItemAtIndex(pick(int(count)));
                    what = "select";
                    break;
                case 3: {
                    const auto label = shown();
                    what = "slide " + label;
                    const gfx::Point start = w.centreOf(label);
                    const double x = 10.0 + pick(int(w.bar->frame().width()) - 20);
                    dragPath(*w.window, start, { { start.x + 6, start.y }, { x, start.y } });
                    break;
                }
                case 4: {
                    auto& target = narrow[std::size_t(pick(3))];
                    if (&target == &w || count <= 2 || target.tabView->numberOfTabViewItems() >= 12)
                        break;
                    const auto label = shown();
                    what = "move " + label;
                    const gfx::Point start = w.centreOf(label);
                    const gfx::Point onTarget
                        = inWindow(w, target, { 10.0 + pick(int(target.bar->frame().width()) - 20), 189 });
                    dragPath(*w.window, start, { { start.x, start.y + 8 }, { start.x, 240 }, onTarget });
                    break;
                }
                case 5: {
                    if (count <= 2)
                        break;
                    const auto label = shown();
                    what = "tear off " + label;
                    const gfx::Point start = w.centreOf(label);
                    dragPath(*w.window, start, { { start.x, start.y + 8 }, { start.x, 240 }, { start.x, 900 } });
                    break;
                }
                case 6: {
                    const auto& menu = w.bar->controller().overflowMenu();
                    if (!menu || menu->numberOfItems() < 2)
                        break;
                    auto entry = menu->itemArray()[std::size_t(1 + pick(int(menu->numberOfItems()) - 1))];
                    what = "pick " + entry->title().utf8();
                    w.bar->_overflowMenuAction(fnd::Value(entry));
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
