// A person drags a split view's dividers while the program acts at each stage of the drag: it adds and removes
// panes (the dragged divider's too), collapses panes, changes the limits and what may collapse, and resizes the
// window. While the person drags, only the dragged divider's two panes change at their hands; after each drag every
// pane is once in the split view, in the program's order, with a finite frame, and the panes and dividers tile the
// split view as its layout places them.
#include "ContainersTestSupport.h"
#include "support/GestureSeeds.h"
#include "support/StagedDrag.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/containers/SplitView.h"

#include <cmath>
#include <fmt/format.h>
#include <map>
#include <random>
#include <set>

using namespace ui;
using containerstest::ContainersTest;

namespace {

// Limits and collapsing the program changes as it goes.
class GestureSplitRules : public SplitViewDelegate {
public:
    std::optional<bool> splitViewCanCollapseSubview(SplitView&, View& v) override { return collapsible.contains(&v); }
    std::optional<double> splitViewConstrainMinCoordinate(SplitView&, double proposed, long) override
    {
        return proposed + leading;
    }
    std::optional<double> splitViewConstrainMaxCoordinate(SplitView&, double proposed, long) override
    {
        return proposed - trailing;
    }
    std::optional<bool> splitViewShouldHideDividerAtIndex(SplitView&, long) override { return hidesDividers; }

    std::set<const View*> collapsible;
    double leading { 20 };
    double trailing { 20 };
    bool hidesDividers { true };
};

class SplitViewGestureTest : public ContainersTest {
protected:
    int pick(int n) { return std::uniform_int_distribution<int>(0, std::max(n, 1) - 1)(random); }
    bool chance(int percent) { return pick(100) < percent; }
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }

    std::shared_ptr<View> newPane()
    {
        auto pane = containerstest::ColorView::make({ 0, 0, 80, 80 }, gfx::Color::whiteColor());
        names[pane.get()] = fmt::format("p{}", ++made);
        return pane;
    }
    std::string nameOf(const View* v) const
    {
        auto found = names.find(v);
        return found == names.end() ? "?" : found->second;
    }

    void start(unsigned seed)
    {
        random.seed(seed);
        window->setFrame({ 100, 100, 400, 300 }, false);
        split = SplitView::create({ 20, 20, 360, 260 });
        split->setVertical(seed % 2 == 1);
        split->setAutoresizingMask(AutoresizingMask::WidthSizable | AutoresizingMask::HeightSizable);
        rules = std::make_shared<GestureSplitRules>();
        split->setDelegate(rules);
        panes.clear();
        for (int i = 0; i < 3; ++i) {
            panes.push_back(newPane());
            split->addSubview(panes.back());
        }
        rules->collapsible.insert(panes.back().get());
        add(split);
    }

    double along(gfx::Rect r) const { return gfx::lengthAlong(r, split->axis()); }
    std::map<const View*, double> lengths() const
    {
        std::map<const View*, double> out;
        for (const auto& v : split->subviews())
            out[v.get()] = split->isSubviewCollapsed(*v) ? 0 : along(v->frame());
        return out;
    }

    std::string programStep()
    {
        if (!chance(50))
            return {};
        switch (pick(7)) {
        case 0: {
            if (panes.size() >= 5)
                return {};
            const auto at = std::size_t(pick(int(panes.size()) + 1));
            auto pane = newPane();
            if (at == panes.size())
                split->addSubview(pane);
            else
                split->addSubview(pane, WindowOrderingMode::Below, panes[at].get());
            panes.insert(panes.begin() + std::ptrdiff_t(at), pane);
            return fmt::format("adds {} at {}", nameOf(pane.get()), at);
        }
        case 1: {
            if (panes.size() <= 2)
                return {};
            const auto at = std::size_t(pick(int(panes.size())));
            auto pane = panes[at];
            pane->removeFromSuperview();
            panes.erase(panes.begin() + std::ptrdiff_t(at));
            rules->collapsible.erase(pane.get());
            return fmt::format("removes {}", nameOf(pane.get()));
        }
        case 2: {
            auto pane = panes[std::size_t(pick(int(panes.size())))];
            if (rules->collapsible.contains(pane.get()))
                rules->collapsible.erase(pane.get());
            else
                rules->collapsible.insert(pane.get());
            return fmt::format("lets {} collapse or not", nameOf(pane.get()));
        }
        case 3: {
            // Collapses a pane that may: its divider goes to the far end of the pane.
            const long at = pick(int(panes.size()));
            if (!rules->collapsible.contains(panes[std::size_t(at)].get()))
                return {};
            if (at > 0)
                split->setPositionOfDivider(split->maxPossiblePositionOfDividerAtIndex(at - 1), at - 1);
            else
                split->setPositionOfDivider(split->minPossiblePositionOfDividerAtIndex(0), 0);
            return fmt::format("collapses {}", nameOf(panes[std::size_t(at)].get()));
        }
        case 4:
            rules->leading = pick(60);
            rules->trailing = pick(60);
            return fmt::format("limits the drag to {} and {} short of the ends", rules->leading, rules->trailing);
        case 5:
            // A change of the delegate's answers reaches the layout when the program asks for it.
            rules->hidesDividers = !rules->hidesDividers;
            split->adjustSubviews();
            return rules->hidesDividers ? "hides dividers beside collapsed panes" : "shows every divider";
        default: {
            const double width = 250 + pick(250), height = 200 + pick(200);
            window->setFrame({ 100, 100, width, height }, false);
            return fmt::format("resizes the window to {} × {}", width, height);
        }
        }
    }

    // A drag of a divider that shows, in stages, the program acting after each.
    std::string gesture()
    {
        const auto& views = split->subviews();
        std::vector<long> shown;
        for (long i = 0; i + 1 < long(views.size()); ++i)
            if (!split->dividerRect(i).isEmpty())
                shown.push_back(i);
        if (shown.empty())
            return "no divider to drag";
        const long index = shown[std::size_t(pick(int(shown.size())))];
        const View* prev = views[std::size_t(index)].get();
        const View* next = views[std::size_t(index) + 1].get();
        const auto divider = split->dividerRect(index);
        const gfx::Point press { divider.midX(), divider.midY() };
        std::vector<std::vector<gfx::Point>> stages;
        gfx::Point from = press;
        const double length = along(split->bounds());
        for (int s = 0; s < 3; ++s) {
            // Anywhere along the split view, now and then past its ends.
            const double target = -30 + pick(int(length) + 60) + 0.5;
            const gfx::Point to = split->isVertical() ? gfx::Point { target, from.y } : gfx::Point { from.x, target };
            auto points = testsupport::stepsBetween(from, to, 2);
            for (auto& p : points)
                p = split->convertPointToView(p, nullptr);
            stages.push_back(points);
            from = to;
        }
        std::string what = fmt::format("drag the divider between {} and {}", nameOf(prev), nameOf(next));
        auto before = lengths();
        const bool released = testsupport::runStagedDrag(
            *backend, window, split->convertPointToView(press, nullptr), stages,
            [&](std::size_t stage) {
                // The person's moves change the dragged divider's panes alone.
                for (const auto& [pane, length] : lengths()) {
                    if (pane != prev && pane != next && before.contains(pane)) {
                        EXPECT_EQ(length, before[pane])
                            << what << ", stage " << stage << ": " << nameOf(pane) << " changed under the drag";
                    }
                }
                if (auto acted = programStep(); !acted.empty())
                    what += fmt::format("; stage {}: the program {}", stage, acted);
                // What the program's change leads to is laid out before the person moves again.
                window->contentView()->layoutSubtreeIfNeeded();
                before = lengths();
            },
            [this](double seconds) { runFor(seconds); });
        EXPECT_TRUE(released) << what;
        return what;
    }

    void check(const std::string& where)
    {
        // The layout pass the window runs before it draws.
        window->contentView()->layoutSubtreeIfNeeded();
        const auto& views = split->subviews();
        std::vector<std::string> held, wanted;
        for (const auto& v : views)
            held.push_back(nameOf(v.get()));
        for (const auto& v : panes)
            wanted.push_back(nameOf(v.get()));
        EXPECT_EQ(held, wanted) << where << ": every pane once, in the program's order";
        const auto b = split->bounds();
        double pos = gfx::minAlong(b, split->axis());
        for (std::size_t i = 0; i < views.size(); ++i) {
            const auto f = views[i]->frame();
            EXPECT_TRUE(std::isfinite(f.minX()) && std::isfinite(f.minY()) && std::isfinite(f.width())
                && std::isfinite(f.height()))
                << where << ": " << nameOf(views[i].get()) << " has a finite frame";
            const bool collapsed = split->isSubviewCollapsed(*views[i]);
            if (!collapsed) {
                EXPECT_EQ(gfx::minAlong(f, split->axis()), pos)
                    << where << ": " << nameOf(views[i].get()) << " starts where the last left off";
                EXPECT_GE(along(f), 0) << where;
                EXPECT_EQ(gfx::lengthAcross(f, split->axis()), gfx::lengthAcross(b, split->axis()))
                    << where << ": " << nameOf(views[i].get()) << " spans the split view";
                pos += along(f);
            }
            if (i + 1 < views.size()) {
                const bool besideCollapsed = collapsed || split->isSubviewCollapsed(*views[i + 1]);
                pos += besideCollapsed && rules->hidesDividers ? 0 : split->dividerThickness();
            }
        }
        bool anyOpen = false;
        for (const auto& v : views)
            anyOpen = anyOpen || !split->isSubviewCollapsed(*v);
        std::string frames;
        for (const auto& v : views)
            frames += fmt::format("{} {}{}+{} ", nameOf(v.get()), split->isSubviewCollapsed(*v) ? "(collapsed) " : "",
                gfx::minAlong(v->frame(), split->axis()), along(v->frame()));
        if (anyOpen) {
            EXPECT_EQ(pos, gfx::maxAlong(b, split->axis()))
                << where << ": the panes and dividers fill the split view: " << frames;
        }
    }

    std::shared_ptr<SplitView> split;
    std::shared_ptr<GestureSplitRules> rules;
    std::vector<std::shared_ptr<View>> panes;
    std::map<const View*, std::string> names;
    int made { 0 };
    std::mt19937 random;
};

TEST_F(SplitViewGestureTest, EveryPaneStaysOnceAndTheLayoutTilesWhateverTheProgramDoesDuringTheDrag)
{
    const int seeds = testsupport::gestureSeeds(4);
    for (int seed = 1; seed <= seeds && !HasFailure(); ++seed) {
        start(unsigned(seed));
        for (int gesture = 0; gesture < 12 && !HasFailure(); ++gesture) {
            try {
                const auto what = this->gesture();
                check(fmt::format("seed {} gesture {} ({})", seed, gesture, what));
            } catch (const fnd::Exception& e) {
                ADD_FAILURE() << "seed " << seed << " gesture " << gesture << ": " << e.what();
            }
        }
        split->removeFromSuperview();
    }
}

}
