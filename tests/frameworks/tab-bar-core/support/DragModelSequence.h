#pragma once

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"
#include "support/GestureSeeds.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace tabbartest {

// How a bar lays out its tabs: each shown tab's title and frame in bar order, then the titles listed in its overflow
// menu only.
struct TabLayout {
    std::vector<std::pair<std::string, gfx::Rect>> shown;
    std::vector<std::string> overflowed;
};

inline std::string describe(const TabLayout& layout)
{
    std::string text;
    for (const auto& [title, f] : layout.shown)
        text += title + "@" + std::to_string(int(f.minX())) + "," + std::to_string(int(f.minY())) + "+"
            + std::to_string(int(f.width())) + "x" + std::to_string(int(f.height())) + " ";
    for (const auto& title : layout.overflowed)
        text += "(" + title + ") ";
    return text;
}

// Seeded sequences of a person's tab drags over two bars (and the bars tabs are torn off into) during which the
// program acts too, for either tab-bar family. Each gesture slides a tab along its bar, carries it to another bar,
// tears it off over empty screen (the delegate making a new bar or not) or tears it off and brings it back; at each
// of its steps the program may add a tab, close one beside it, close the dragged one or take a bar's tab view away.
// A model says where every tab must end: in the tab view under the pointer's release (a bar with a tab view takes
// it), back in its own when none could take it, in the new bar over empty screen, nowhere once closed, and left in a
// tab view taken from its bar. After each gesture every tab is once in its tab view and once in that tab view's bar
// (a bar without a tab view shows none), every bar is laid out as a fresh bar with the same tabs is, no window is
// left behind or unseen with tabs in it, and the delegates heard of each close once. Each seed draws its bars in one
// of the family's registered styles, by turns, so every style meets the gestures: a style sizes and places tabs its
// own way.
//
// One seed per registered style by default; BARCODES_GESTURE_SEEDS=N runs N for a longer search. The seed and the
// style are in every failure.
template <typename BarWindow> class DragModelSequence {
public:
    using Bar = typename decltype(BarWindow::bar)::element_type;

    virtual ~DragModelSequence() = default;

    void runDragModelSequences(int gesturesPerSequence)
    {
        const int sequences = testsupport::gestureSeeds(int(styleNames().size()));
        for (int seed = 1; seed <= sequences && !::testing::Test::HasFailure(); ++seed)
            runSequence(unsigned(seed), gesturesPerSequence);
    }

protected:
    // A window of the size at the place with a tab view and a bar whose delegate lets tabs leave and tear off.
    virtual BarWindow makeBarWindow(gfx::Rect frame) = 0;
    // The family's registered style names, and giving a bar one of them.
    virtual std::vector<fnd::String> styleNames() const = 0;
    virtual void setStyleNamed(BarWindow& w, const fnd::String& name) = 0;
    // Every tab the bar holds, in bar order (the overflow menu's too); nullptr for a stand-in (a drag's placeholder).
    virtual std::vector<std::shared_ptr<ui::TabViewItem>> barItems(const BarWindow& w) const = 0;
    virtual TabLayout layoutOf(const BarWindow& w) const = 0;
    // How many times the bar's delegate heard that the tab was closed.
    virtual long closesHeard(const BarWindow& w, const std::string& label) const = 0;
    // Whether the bar has a tab of its own for the item, whose close its delegate hears of (a bar that updates in
    // the window's next layout pass has none yet for an item just added, nor one for an item it lists only in its
    // overflow menu).
    virtual bool hasTabOfItsOwn(const BarWindow&, const ui::TabViewItem&) const { return true; }
    // The family's drag assistant has nothing left of a drag.
    virtual bool assistantIsIdle() const = 0;
    virtual ui::HeadlessBackend& headless() = 0;
    virtual void runFor(double seconds) = 0;
    virtual void settleBars() = 0;
    // Closes the tab as a click on its close button does (the bar may have no tab of its own for it yet).
    virtual void closeThroughBar(BarWindow& w, const std::shared_ptr<ui::TabViewItem>& item) = 0;

    // A seeded sequence of the program's changes to one bar without drags, some with no layout pass between them
    // (the bar follows each change as it comes and lays out once per pass): tabs added at the end or put anywhere,
    // removed, closed through the bar, moved and selected. After each layout pass the bar is laid out as a fresh bar
    // with the same tabs in the same order is, frames and order alike.
    void runChangeSequence(unsigned seed, int steps)
    {
        m_random.seed(seed);
        m_style = styleForSeed(seed);
        auto w = makeStyledBarWindow({ 40, 300, 620, 200 });
        int made = 0;
        auto newItem = [&] {
            auto item = ui::TabViewItem::create();
            item->setLabel(fnd::String("C" + std::to_string(made++)));
            return item;
        };
        for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
            auto& tabs = *w.tabView;
            const long count = tabs.numberOfTabViewItems();
            const int what = count < 2 ? 0 : pick(6);
            if (what == 0) {
                tabs.addTabViewItem(newItem());
            } else if (what == 1) {
                tabs.insertTabViewItem(newItem(), long(pick(int(count) + 1)));
            } else if (what == 2) {
                tabs.removeTabViewItem(tabs.tabViewItemAtIndex(long(pick(int(count)))));
            } else if (what == 3) {
                if (auto selected = tabs.selectedTabViewItem())
                    closeThroughBar(w, selected);
            } else if (what == 4) {
                auto item = tabs.tabViewItemAtIndex(long(pick(int(count))));
                tabs.removeTabViewItem(item);
                tabs.insertTabViewItem(item, long(pick(int(count))));
            } else {
                tabs.selectTabViewItem(tabs.tabViewItemAtIndex(long(pick(int(count)))));
            }
            // Now and then several changes come before the window's next layout pass.
            if (pick(3) == 0)
                continue;
            settleBars();
            const std::string where
                = "seed " + std::to_string(seed) + " (" + m_style.utf8() + ") step " + std::to_string(step) + ": ";
            const auto items = barItems(w);
            std::multiset<std::string> inBar, inTabView;
            for (const auto& item : items)
                inBar.insert(item ? item->label().utf8() : "?");
            for (const auto& item : tabs.tabViewItems())
                inTabView.insert(item->label().utf8());
            EXPECT_EQ(inBar, inTabView) << where << "the bar shows every tab once";
            EXPECT_EQ(describe(layoutOf(w)), describe(freshLayout(w))) << where << "the bar lays itself out again";
        }
        w.window->close();
    }

private:
    enum class Kind { Slide, Move, Tear, Back };
    static constexpr int MaxLiveTabs = 8;
    static constexpr std::size_t TornSlots = 4;
    // Empty screen: left of the torn-off windows, below both bars' windows.
    static constexpr gfx::Point EmptyScreen { 300, 720 };

    struct Model {
        // Each live tab's title and the tab view it must be in.
        std::map<std::string, ui::TabView*> where;
        // Each closed tab's title, and whether its delegate must hear of the close.
        std::map<std::string, bool> closed;
    };

    int pick(int n) { return int(m_random() % unsigned(std::max(n, 1))); }
    bool chance(int percent) { return pick(100) < percent; }

    fnd::String styleForSeed(unsigned seed) const
    {
        const auto names = styleNames();
        return names.empty() ? fnd::String() : names[(seed - 1) % names.size()];
    }
    BarWindow makeStyledBarWindow(gfx::Rect frame)
    {
        auto w = makeBarWindow(frame);
        if (!m_style.isEmpty())
            setStyleNamed(w, m_style);
        return w;
    }

    BarWindow& addWindow(gfx::Rect frame)
    {
        m_windows.push_back(std::make_unique<BarWindow>(makeStyledBarWindow(frame)));
        auto& w = *m_windows.back();
        w.delegate->makeBar = [this](gfx::Point) -> std::shared_ptr<Bar> {
            if (!m_givesNewBar)
                return nullptr;
            for (std::size_t slot = 0; slot < TornSlots; ++slot) {
                if (m_slots[slot] && !m_slots[slot]->window->isClosed())
                    continue;
                auto& made = addWindow({ 880, 30 + 215.0 * double(slot), 520, 150 });
                m_slots[slot] = &made;
                m_madeBar = &made;
                return made.bar;
            }
            return nullptr;
        };
        std::weak_ptr<ui::Window> window = w.window;
        w.delegate->lastTabGone = [window] {
            if (auto shown = window.lock())
                shown->close();
        };
        return w;
    }

    // The bar whose place on the screen holds the point, in a window in sight (the windows never overlap).
    BarWindow* barAt(gfx::Point screenPoint)
    {
        for (const auto& w : m_windows)
            if (!w->window->isClosed() && w->window->isVisible()
                && gfx::pointInRect(
                    screenPoint, w->window->convertRectToScreen(w->bar->convertRectToView(w->bar->bounds(), nullptr))))
                return w.get();
        return nullptr;
    }
    std::vector<BarWindow*> barsWithTabViews(bool withTabs)
    {
        std::vector<BarWindow*> bars;
        for (const auto& w : m_windows)
            if (!w->window->isClosed() && w->bar->tabView() && (!withTabs || !barItems(*w).empty()))
                bars.push_back(w.get());
        return bars;
    }
    // A point over the bar, in the source window's base coordinates: never on a tab's edge (tabs lie at whole
    // points), where the tab bar view takes a drop after the last tab only past its edge.
    gfx::Point overBar(const BarWindow& target, const BarWindow& source, double fraction) const
    {
        const gfx::Rect inWindow = target.bar->convertRectToView(target.bar->bounds(), nullptr);
        const gfx::Point base { std::floor(inWindow.minX() + 6 + fraction * (inWindow.width() - 12)) + 0.5,
            inWindow.midY() };
        return source.window->convertScreenToBase(target.window->convertBaseToScreen(base));
    }
    static std::vector<gfx::Point> steps(gfx::Point from, gfx::Point to, int count)
    {
        std::vector<gfx::Point> points;
        for (int i = 1; i <= count; ++i)
            points.push_back({ from.x + (to.x - from.x) * i / count, from.y + (to.y - from.y) * i / count });
        return points;
    }

    void runSequence(unsigned seed, int gestures)
    {
        m_random.seed(seed);
        m_style = styleForSeed(seed);
        m_windows.clear();
        m_slots = {};
        m_next = 0;
        m_takenAway = 0;
        Model model;
        auto& a = addWindow({ 40, 60, 800, 200 });
        auto& b = addWindow({ 40, 330, 800, 200 });
        for (auto* w : { &a, &b })
            for (int i = 0; i < (w == &a ? 3 : 2); ++i)
                addTab(model, *w);
        settleBars();
        for (int gesture = 0; gesture < gestures && !::testing::Test::HasFailure(); ++gesture) {
            const std::string what = runGesture(model);
            settleBars();
            runFor(1.0);
            settleBars();
            check(model,
                "seed " + std::to_string(seed) + " (" + m_style.utf8() + "), gesture " + std::to_string(gesture) + " ("
                    + what + "): ");
        }
        for (const auto& w : m_windows)
            if (!w->window->isClosed())
                w->window->close();
        m_windows.clear();
    }

    void addTab(Model& model, BarWindow& w)
    {
        auto item = ui::TabViewItem::create();
        const std::string label = "T" + std::to_string(++m_next);
        item->setLabel(fnd::String(label));
        w.bar->tabView()->addTabViewItem(item);
        model.where[label] = w.bar->tabView().get();
    }

    // The dragged tab's close is always heard (once its drag is over).
    void closeTab(Model& model, const std::shared_ptr<ui::TabViewItem>& item, bool dragged)
    {
        const std::string label = item->label().utf8();
        bool told = dragged;
        for (const auto& w : m_windows)
            if (w->bar->tabView() == item->tabView() && hasTabOfItsOwn(*w, *item))
                told = true;
        if (auto owner = item->tabView())
            owner->removeTabViewItem(item);
        model.where.erase(label);
        model.closed[label] = told;
    }

    // One program step in the middle of a gesture; what it did.
    std::string programStep(Model& model, const std::shared_ptr<ui::TabViewItem>& dragged)
    {
        if (!chance(60))
            return {};
        auto bars = barsWithTabViews(false);
        if (bars.empty())
            return {};
        switch (pick(9)) {
        case 0:
        case 1:
        case 2:
            if (long(model.where.size()) < MaxLiveTabs) {
                addTab(model, *bars[std::size_t(pick(int(bars.size())))]);
                return "add T" + std::to_string(m_next);
            }
            return {};
        case 3:
        case 4:
        case 5: {
            std::vector<std::shared_ptr<ui::TabViewItem>> others;
            for (auto* w : bars)
                for (const auto& item : w->bar->tabView()->tabViewItems())
                    if (item != dragged)
                        others.push_back(item);
            if (others.empty())
                return {};
            auto item = others[std::size_t(pick(int(others.size())))];
            closeTab(model, item, false);
            return "close " + item->label().utf8();
        }
        case 6:
        case 7:
            if (dragged && dragged->tabView() && model.where.count(dragged->label().utf8())) {
                closeTab(model, dragged, true);
                return "close the dragged " + dragged->label().utf8();
            }
            return {};
        default: {
            if (m_takenAway >= 1)
                return {};
            ++m_takenAway;
            auto* w = bars[std::size_t(pick(int(bars.size())))];
            w->bar->setTabView(nullptr);
            return "take the tab view of the bar with " + std::to_string(w->tabView->numberOfTabViewItems()) + " tabs";
        }
        }
    }

    std::string runGesture(Model& model)
    {
        auto sources = barsWithTabViews(true);
        if (sources.empty()) {
            auto bars = barsWithTabViews(false);
            if (!bars.empty())
                addTab(model, *bars.front());
            return "add T" + std::to_string(m_next);
        }
        BarWindow& source = *sources[std::size_t(pick(int(sources.size())))];
        auto items = barItems(source);
        auto shown = layoutOf(source).shown;
        if (shown.empty())
            return "nothing shown";
        const std::string label = shown[std::size_t(pick(int(shown.size())))].first;
        std::shared_ptr<ui::TabViewItem> dragged;
        for (const auto& item : items)
            if (item && item->label().utf8() == label)
                dragged = item;
        std::vector<BarWindow*> targets;
        for (auto* w : barsWithTabViews(false))
            if (w != &source)
                targets.push_back(w);
        // A bar without a tab view is a target too.
        for (const auto& w : m_windows)
            if (!w->window->isClosed() && !w->bar->tabView() && w->window->isVisible())
                targets.push_back(w.get());
        Kind kind = Kind(pick(4));
        if (kind == Kind::Move && targets.empty())
            kind = Kind::Tear;
        m_givesNewBar = chance(60);
        m_madeBar = nullptr;

        const double top = source.window->frame().height();
        const gfx::Point press = source.centreOf(label);
        const gfx::Point above { press.x, top + 40 };
        std::vector<std::vector<gfx::Point>> stages;
        std::string what;
        BarWindow* target = nullptr;
        switch (kind) {
        case Kind::Slide: {
            const gfx::Point along { press.x + (press.x < 400 ? 12 : -12), press.y };
            const gfx::Point to = overBar(source, source, double(pick(100)) / 100);
            stages = { { along }, steps(along, { (along.x + to.x) / 2, press.y }, 3),
                steps({ (along.x + to.x) / 2, press.y }, to, 3) };
            what = "slide " + label;
            break;
        }
        case Kind::Move: {
            target = targets[std::size_t(pick(int(targets.size())))];
            const gfx::Point to = overBar(*target, source, double(pick(100)) / 100);
            stages = { { { press.x, press.y + 12 } }, steps({ press.x, press.y + 12 }, above, 3),
                steps(above, { (above.x + to.x) / 2, (above.y + to.y) / 2 }, 4),
                steps({ (above.x + to.x) / 2, (above.y + to.y) / 2 }, to, 4) };
            what = "move " + label + " to a bar " + (target->bar->tabView() ? "with" : "without") + " a tab view";
            break;
        }
        case Kind::Tear: {
            const gfx::Point to = source.window->convertScreenToBase(EmptyScreen);
            stages = { { { press.x, press.y + 12 } }, steps({ press.x, press.y + 12 }, above, 3), steps(above, to, 6) };
            what = "tear off " + label + (m_givesNewBar ? " into a new bar" : " with no new bar");
            break;
        }
        case Kind::Back: {
            const gfx::Point to = overBar(source, source, double(pick(100)) / 100);
            stages = { { { press.x, press.y + 12 } }, steps({ press.x, press.y + 12 }, above, 3),
                steps(above, { to.x, above.y }, 3), steps({ to.x, above.y }, to, 3) };
            what = "tear off " + label + " and bring it back";
            break;
        }
        }

        // The person's gesture, with a program step after each of its stages; the release follows the last step.
        auto& backend = headless();
        auto window = source.window;
        bool released = false;
        BarWindow* under = nullptr;
        bool sourceKeptItsTabView = true;
        ui::TabView* const from = source.bar->tabView().get();
        std::function<void(std::size_t)> stage = [&](std::size_t i) {
            for (const auto& p : stages[i])
                backend.mouseDragged(*window, p);
            backend.after(0.04, [&, i] {
                const auto step = programStep(model, dragged);
                if (!step.empty())
                    what += "; " + step;
                if (i + 1 < stages.size()) {
                    stage(i + 1);
                    return;
                }
                const gfx::Point last = stages.back().back();
                under = barAt(window->convertBaseToScreen(last));
                sourceKeptItsTabView = source.bar->tabView().get() == from;
                backend.mouseUp(*window, last);
                released = true;
            });
        };
        backend.mouseDown(*window, press);
        stage(0);
        backend.dispatchEvents();
        for (int wait = 0; wait < 200 && !released; ++wait) {
            runFor(0.05);
            backend.dispatchEvents();
        }
        EXPECT_TRUE(released) << what;

        // Where the dragged tab must be now.
        const std::string dragLabel = dragged ? dragged->label().utf8() : std::string();
        if (dragged && model.where.count(dragLabel) && sourceKeptItsTabView) {
            if (under && under->bar->tabView())
                model.where[dragLabel] = under->bar->tabView().get();
            else if (!under && m_madeBar)
                model.where[dragLabel] = m_madeBar->tabView.get();
        }
        if (m_madeBar)
            what += "; a new bar was made";
        return what;
    }

    void check(const Model& model, const std::string& where)
    {
        EXPECT_TRUE(assistantIsIdle()) << where << "the drag is over";
        std::map<std::string, std::vector<ui::TabView*>> found;
        std::set<ui::Window*> ours;
        for (const auto& w : m_windows) {
            for (const auto& item : w->tabView->tabViewItems())
                found[item->label().utf8()].push_back(w->tabView.get());
            ours.insert(w->window.get());
            if (w->window->isClosed())
                continue;
            auto tabs = w->bar->tabView();
            auto items = barItems(*w);
            const std::string barText = ::testing::PrintToString(labels(items));
            if (!tabs) {
                EXPECT_TRUE(items.empty()) << where << "a bar without a tab view shows " << barText;
            } else {
                std::multiset<std::string> inBar, inTabView;
                for (const auto& item : items) {
                    EXPECT_TRUE(item && tabs->indexOfTabViewItem(*item) != long(fnd::NotFound))
                        << where << "a tab of the bar is not in its tab view: " << barText;
                    inBar.insert(item ? item->label().utf8() : "?");
                }
                for (const auto& item : tabs->tabViewItems())
                    inTabView.insert(item->label().utf8());
                EXPECT_EQ(inBar, inTabView) << where << "bar " << describe(layoutOf(*w));
                for (const auto& title : inBar)
                    EXPECT_EQ(inBar.count(title), 1u) << where << title << " is shown twice: " << barText;
                EXPECT_EQ(describe(layoutOf(*w)), describe(freshLayout(*w)))
                    << where << "the bar lays itself out again";
            }
            // A window stays in sight while its tab view holds tabs.
            if (w->tabView->numberOfTabViewItems() > 0) {
                EXPECT_TRUE(w->window->isVisible()) << where << "a window with tabs is unseen: " << barText;
                EXPECT_EQ(w->window->alphaValue(), 1.0) << where << "a window with tabs is see-through: " << barText;
            }
        }
        for (const auto& shown : ui::Application::shared().windows())
            EXPECT_TRUE(!shown->isVisible() || ours.contains(shown.get()))
                << where << "a window of the drag is left on screen";
        for (const auto& [label, tabView] : model.where) {
            const auto& in = found[label];
            EXPECT_TRUE(in.size() == 1 && in[0] == tabView)
                << where << label << " is in " << in.size() << " tab views, not where it belongs";
        }
        for (const auto& [label, in] : found)
            EXPECT_TRUE(model.where.count(label)) << where << label << " should be gone";
        for (const auto& [label, told] : model.closed) {
            long heard = 0;
            for (const auto& w : m_windows)
                heard += closesHeard(*w, label);
            if (told)
                EXPECT_EQ(heard, 1) << where << "the close of " << label << " was heard " << heard << " times";
            else
                EXPECT_LE(heard, 1) << where << "the close of " << label << " was heard " << heard << " times";
        }
        for (const auto& [label, tabView] : model.where)
            for (const auto& w : m_windows)
                EXPECT_EQ(closesHeard(*w, label), 0) << where << label << " was told closed";
    }

    static std::vector<std::string> labels(const std::vector<std::shared_ptr<ui::TabViewItem>>& items)
    {
        std::vector<std::string> text;
        for (const auto& item : items)
            text.push_back(item ? item->label().utf8() : "_");
        return text;
    }

    // The layout of a new bar of the same size with the same tabs, in the same order, the same one selected.
    TabLayout freshLayout(const BarWindow& w)
    {
        auto fresh = makeStyledBarWindow({ 40, 600, w.window->frame().width(), w.window->frame().height() });
        const auto items = barItems(w);
        auto selected = w.bar->tabView()->selectedTabViewItem();
        std::shared_ptr<ui::TabViewItem> select;
        for (const auto& item : items) {
            auto copy = ui::TabViewItem::create();
            copy->setLabel(item ? item->label() : fnd::String("_"));
            fresh.tabView->addTabViewItem(copy);
            if (item == selected)
                select = copy;
        }
        if (select)
            fresh.tabView->selectTabViewItem(select);
        settleBars();
        auto layout = layoutOf(fresh);
        fresh.window->close();
        return layout;
    }

    std::mt19937 m_random;
    fnd::String m_style;
    std::vector<std::unique_ptr<BarWindow>> m_windows;
    std::array<BarWindow*, TornSlots> m_slots {};
    BarWindow* m_madeBar { nullptr };
    bool m_givesNewBar { false };
    int m_next { 0 };
    int m_takenAway { 0 };
};

}
