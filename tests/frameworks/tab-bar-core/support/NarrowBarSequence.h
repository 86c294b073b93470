#pragma once

#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tabbartest {

// Three tabs in a bar with no room at all (narrower than its margins), under each set of options: the widths of the
// tabs shown. With an overflow menu at most one would fit, so two show, each at most half of nothing; without one,
// all three share nothing.
struct NoRoomCase {
    const char* what;
    bool useOverflow;
    bool sizeToFit;
    std::vector<double> expected;
};
inline const std::vector<NoRoomCase> NoRoomCases {
    { "optimum widths", true, false, { 0, 0 } },
    { "sized to fit", true, true, { 0, 0 } },
    { "without an overflow menu", false, false, { 0, 0, 0 } },
};

// Random sequences over narrow bars (room for one to three tabs of the minimum width) for either tab-bar family:
// adds, closes, selections, slides, drags to another bar, tear-offs and picks from the overflow menu, first with
// tabs of fixed widths, then sized to fit. After every step no bar reports a problem (a tab shown zero wide, one
// that cannot be reached in its bar or its overflow menu, one shown twice) and every tab made and not closed is in
// exactly one tab view, torn-off bars included. A family's test makes the bars (a BarWindow holds a window, its tab
// view and its bar) and says how each step is done on them.
template <typename BarWindow> class NarrowBarSequence {
public:
    virtual ~NarrowBarSequence() = default;

    // Runs the sequences; the test stops at the first step that goes wrong.
    void runNarrowBarSequences(int stepsPerSequence)
    {
        std::set<std::string> alive;
        int created = 0, overflowPicks = 0;
        for (bool fit : { false, true }) {
            for (unsigned seed : { 1u, 2u }) {
                std::mt19937 random(seed * 7 + (fit ? 1 : 0));
                m_pick = [&random](int n) { return int(random() % unsigned(n)); };
                auto newLabel
                    = [&] { return "T" + std::to_string(++created) + std::string(std::size_t(pick(12)), 'x'); };
                for (std::size_t bar = 0; bar < narrowBarCount(); ++bar) {
                    setSizesToFit(bar, fit);
                    for (const auto& label : tabLabels(bar)) {
                        alive.erase(label);
                        removeTab(bar, label);
                    }
                    for (int i = 0; i < 2; ++i) {
                        const auto label = newLabel();
                        addTab(bar, label);
                        alive.insert(label);
                    }
                }
                settleBars();
                for (int step = 0; step < stepsPerSequence; ++step) {
                    const auto bar = std::size_t(pick(int(narrowBarCount())));
                    const long count = long(tabLabels(bar).size());
                    std::string what;
                    switch (pick(7)) {
                    case 0:
                        if (count < 12) {
                            const auto label = newLabel();
                            addTab(bar, label);
                            alive.insert(label);
                            what = "add " + label;
                        }
                        break;
                    case 1:
                        if (count > 2) {
                            const auto label = closeTab(bar);
                            alive.erase(label);
                            what = "close " + label;
                        }
                        break;
                    case 2:
                        selectTab(bar, pick(int(count)));
                        what = "select";
                        break;
                    case 3:
                        what = slideTab(bar);
                        break;
                    case 4: {
                        const auto target = std::size_t(pick(int(narrowBarCount())));
                        if (target != bar && count > 2 && tabLabels(target).size() < 12)
                            what = moveTab(bar, target);
                        break;
                    }
                    case 5:
                        if (count > 2)
                            what = tearOffTab(bar);
                        break;
                    case 6:
                        what = pickFromOverflowMenu(bar);
                        overflowPicks += what.empty() ? 0 : 1;
                        break;
                    }
                    settleBars();
                    const std::string where = (fit ? "sized to fit" : "fixed widths") + std::string(", seed ")
                        + std::to_string(seed) + ", step " + std::to_string(step) + " (" + what + "): ";
                    std::multiset<std::string> present;
                    for (const auto& report : barReports()) {
                        EXPECT_TRUE(report.problem.empty())
                            << where << report.problem << "; bar " << ::testing::PrintToString(report.barLabels)
                            << ", tab view " << ::testing::PrintToString(report.tabLabels);
                        present.insert(report.tabLabels.begin(), report.tabLabels.end());
                    }
                    EXPECT_EQ(present, std::multiset<std::string>(alive.begin(), alive.end())) << where;
                    if (::testing::Test::HasFailure())
                        return;
                }
            }
        }
        EXPECT_GE(overflowPicks, 3) << "the sequences reached tabs through the overflow menu";
    }

protected:
    // A number in [0, n) from the running sequence.
    int pick(int n) const { return m_pick(n); }

    virtual void setSizesToFit(std::size_t bar, bool fit) = 0;
    // The steps a bar may take (all but the slide only with more than two tabs); each answers the label it closed,
    // or what it did ("" for nothing).
    virtual std::string closeTab(std::size_t bar) = 0;
    virtual std::string slideTab(std::size_t bar) = 0;
    virtual std::string moveTab(std::size_t bar, std::size_t target) = 0;
    virtual std::string tearOffTab(std::size_t bar) = 0;
    virtual std::shared_ptr<ui::Menu> overflowMenu(const BarWindow& w) const = 0;
    virtual void chooseOverflowEntry(BarWindow& w, const std::shared_ptr<ui::MenuItem>& entry) = 0;
    // Runs what the step left queued.
    virtual void settleBars() = 0;
    // What is wrong with one bar, or nothing.
    virtual std::string problemOf(const BarWindow& w) const = 0;

    // The narrow bars, numbered from 0, and the bars tabs were torn off into.
    std::vector<BarWindow> narrow;
    std::vector<BarWindow> torn;

private:
    std::size_t narrowBarCount() const { return narrow.size(); }
    std::vector<std::string> tabLabels(std::size_t bar) const { return narrow[bar].tabLabels(); }
    void addTab(std::size_t bar, const std::string& label) { narrow[bar].addItem(label); }
    void removeTab(std::size_t bar, const std::string& label)
    {
        auto& tabView = *narrow[bar].tabView;
        for (const auto& item : std::vector(tabView.tabViewItems()))
            if (item->label().utf8() == label)
                tabView.removeTabViewItem(item);
    }
    void selectTab(std::size_t bar, int index) { narrow[bar].tabView->selectTabViewItemAtIndex(index); }
    // Chooses an entry of the bar's overflow menu, when it has one: its tab becomes the selected one.
    std::string pickFromOverflowMenu(std::size_t bar)
    {
        auto& w = narrow[bar];
        const auto menu = overflowMenu(w);
        if (!menu || menu->numberOfItems() < 2)
            return {};
        auto entry = menu->itemArray()[std::size_t(1 + pick(int(menu->numberOfItems()) - 1))];
        chooseOverflowEntry(w, entry);
        EXPECT_EQ(w.tabView->selectedTabViewItem(), entry->representedObject().template objectAs<ui::TabViewItem>());
        return "pick " + entry->title().utf8();
    }
    struct BarReport {
        std::string problem; // empty when there is none
        std::vector<std::string> barLabels;
        std::vector<std::string> tabLabels;
    };
    std::vector<BarReport> barReports() const
    {
        std::vector<BarReport> reports;
        for (const auto* bars : { &narrow, &torn })
            for (const auto& w : *bars)
                reports.push_back({ problemOf(w), w.barLabels(), w.tabLabels() });
        return reports;
    }

    std::function<int(int)> m_pick;
};

}
