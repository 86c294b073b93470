#include "QFTabBarViewTestSupport.h"

#include <algorithm>
#include <random>
#include <set>

namespace {

using namespace qftest;

// Random adds, closes, selections, reorders and drags between three bars never lose or duplicate a tab, every
// bar's buttons stay in its tab view's order, and only the selected tab's button is on, with only its neighbours
// marked for it, as a sync of every button would leave them.
class QFTabBarPropertyTest : public TabBarTest {
protected:
    QFTabBarPropertyTest()
    {
        bars.push_back(&a);
        others.push_back(BarWindow::make({ 100, 400 }));
        others.push_back(BarWindow::make({ 800, 100 }));
        for (auto& other : others)
            bars.push_back(&other);
        for (auto* bar : bars) {
            bar->delegate->allowLeaving = true;
            bar->bar->setCanCloseOnlyTab(true);
        }
    }

    gfx::Point inWindow(const BarWindow& from, const BarWindow& to, gfx::Point base) const
    {
        return from.window->convertScreenToBase(to.window->convertBaseToScreen(base));
    }

    std::string check(const std::string& step) const
    {
        std::multiset<std::string> present;
        for (const auto* bar : bars) {
            if (bar->barLabels() != bar->tabLabels())
                return step + ": a bar's buttons differ from its tab view";
            for (const auto& label : bar->tabLabels())
                present.insert(label);
        }
        std::multiset<std::string> expected(alive.begin(), alive.end());
        if (present != expected)
            return step + ": tabs lost or duplicated";
        return checkSelection(step);
    }

    std::string checkSelection(const std::string& step) const
    {
        for (const auto* bar : bars)
            if (const auto problem = selectionMarksProblem(*bar->bar); !problem.empty())
                return step + ": " + problem;
        return {};
    }

    std::vector<BarWindow> others;
    std::vector<BarWindow*> bars;
    std::set<std::string> alive;
};

TEST_F(QFTabBarPropertyTest, NoTabIsEverLostOrDuplicated)
{
    int crossed = 0;
    for (unsigned seed : { 1u, 2u, 3u }) {
        std::mt19937 random(seed);
        auto pick = [&](int n) { return int(random() % unsigned(n)); };
        int created = 0;
        for (int step = 0; step < 40; ++step) {
            auto& bar = *bars[std::size_t(pick(3))];
            const auto labels = bar.barLabels();
            std::string what;
            const int op = labels.empty() ? 0 : pick(7);
            if (op == 0) {
                const std::string label = "T" + std::to_string(seed) + "-" + std::to_string(++created);
                bar.addItem(label);
                alive.insert(label);
                what = "add " + label;
            } else if (op == 1 && labels.size() > 1) {
                const auto& label = labels[std::size_t(pick(int(labels.size())))];
                bar.bar->_didClickCloseButton(fnd::Value(bar.button(label)->closeButton()));
                alive.erase(label);
                what = "close " + label;
            } else if (op == 6 && labels.size() > 2) {
                // Several closed by the program before the bar's next update.
                const std::string name = "seed " + std::to_string(seed) + " step " + std::to_string(step);
                const int closing = 1 + pick(int(labels.size()) - 1);
                for (int k = 0; k < closing; ++k) {
                    auto item = bar.tabView->tabViewItemAtIndex(pick(int(bar.tabView->numberOfTabViewItems())));
                    alive.erase(item->label().utf8());
                    bar.tabView->removeTabViewItem(item);
                    // The closed tabs' buttons stay until the update: the sync must still find the neighbours.
                    bar.bar->_synchronizeSelection();
                    const auto problem = checkSelection(name + " close " + std::to_string(k) + " of several");
                    ASSERT_TRUE(problem.empty()) << problem;
                }
                what = "close several";
            } else if (op == 2) {
                bar.tabView->selectTabViewItemAtIndex(pick(int(labels.size())));
                what = "select";
            } else if (op == 3) {
                const auto& label = labels[std::size_t(pick(int(labels.size())))];
                const gfx::Point start = bar.centreOf(label);
                dragPath(*bar.window, start, { { start.x + 6, start.y }, { 10.0 + pick(580), start.y } });
                what = "slide " + label;
            } else {
                // Torn off and dropped on another bar, or on empty screen (it comes back).
                const auto& label = labels[std::size_t(pick(int(labels.size())))];
                const gfx::Point start = bar.centreOf(label);
                const gfx::Point above { start.x, 240 };
                auto& target = *bars[std::size_t(pick(3))];
                const gfx::Point end
                    = op == 5 ? inWindow(bar, target, { 20.0 + pick(560), 189 }) : inWindow(bar, bar, { 300, 900 });
                dragPath(*bar.window, start, { { start.x, start.y + 8 }, above, end });
                what = "drag " + label;
                if (&target != &bar && target.button(label))
                    ++crossed;
            }
            settle();
            const auto problem = check("seed " + std::to_string(seed) + " step " + std::to_string(step) + " " + what);
            ASSERT_TRUE(problem.empty()) << problem;
        }
    }
    EXPECT_GT(crossed, 3) << "the sequences carried tabs from bar to bar";
}

}
