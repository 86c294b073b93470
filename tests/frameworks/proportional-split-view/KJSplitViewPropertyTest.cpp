// Random resizes, divider drags, collapses and expansions keep the panes within their limits, the panes and dividers
// tiling the split view exactly, and a save and restore giving the same frames.
#include "SplitViewTestSupport.h"

#include <random>
#include <sstream>

namespace {

using namespace kjtest;

class KJSplitViewPropertyTest : public SplitViewTest {
protected:
    KJSplitViewPropertyTest()
        : SplitViewTest({ 1300, 700 })
    {
        split->setDivider(dividerImage({ 5, 5 }));
    }

    // Three panes with random limits; the middle one may not collapse and has no maximum, so there is always a pane
    // to take the space.
    std::vector<std::shared_ptr<KJSplitSubview>> addPanes(KJSplitView& view, std::mt19937& random, double across)
    {
        std::vector<std::shared_ptr<KJSplitSubview>> added;
        std::uniform_int_distribution<int> minimum(5, 60);
        std::uniform_int_distribution<int> extra(40, 400);
        for (int i = 0; i < 3; ++i) {
            auto pane = KJSplitSubview::create(
                view.isHorizontal() ? gfx::Rect { 0, 0, across, 100 } : gfx::Rect { 0, 0, 100, across });
            double low = minimum(random);
            pane->setMinDimension(low, i == 1 ? 0 : low + extra(random));
            pane->setCanCollapse(i != 1);
            view.addSubview(pane);
            added.push_back(pane);
        }
        return added;
    }

    // Every open pane within its limits, collapsed ones at zero, and panes and dividers tiling the bounds.
    ::testing::AssertionResult wellLaidOut(const KJSplitView& view)
    {
        double t = view.dividerThickness();
        double at = 0;
        auto visible = view.KJ_subviews();
        for (std::size_t i = 0; i < visible.size(); ++i) {
            auto& p = *visible[i];
            auto f = p.frame();
            double start = view.isHorizontal() ? f.minY() : f.minX();
            double size = view.isHorizontal() ? f.height() : f.width();
            double across = view.isHorizontal() ? f.width() : f.height();
            double fullAcross = view.isHorizontal() ? view.bounds().width() : view.bounds().height();
            if (size > 0 && (size < p.minDimension() || size > p.maxDimension()))
                return ::testing::AssertionFailure()
                    << "pane " << i << " is " << size << ", limits " << p.minDimension() << ".." << p.maxDimension()
                    << ": " << frames(view);
            if (size > 0 && start != at)
                return ::testing::AssertionFailure()
                    << "pane " << i << " starts at " << start << ", not " << at << ": " << frames(view);
            if (across != fullAcross)
                return ::testing::AssertionFailure() << "pane " << i << " is " << across << " across: " << frames(view);
            at += size;
            if (i + 1 < visible.size()) {
                auto d = view.dividerRects()[i];
                double dividerStart = view.isHorizontal() ? d.minY() : d.minX();
                if (dividerStart != at)
                    return ::testing::AssertionFailure() << "divider " << i << " at " << dividerStart << ", not " << at;
                at += t;
            }
        }
        double whole = view.isHorizontal() ? view.bounds().height() : view.bounds().width();
        if (at != whole)
            return ::testing::AssertionFailure()
                << "the layout ends at " << at << " of " << whole << ": " << frames(view);
        return ::testing::AssertionSuccess();
    }

    void dragDividerOf(KJSplitView& view, std::size_t index, double delta, int steps)
    {
        auto d = view.dividerRects()[index];
        gfx::Point middle { d.midX(), d.midY() };
        auto start = view.convertPointToView(middle, nullptr);
        backend->mouseDown(*window, start);
        gfx::Point at = start;
        for (int s = 1; s <= steps; ++s) {
            auto p = middle;
            if (view.isHorizontal())
                p.y += delta * s / steps;
            else
                p.x += delta * s / steps;
            at = view.convertPointToView(p, nullptr);
            backend->mouseDragged(*window, at);
        }
        backend->mouseUp(*window, at);
        dispatch();
    }

    std::string allFrames(const std::vector<std::shared_ptr<KJSplitView>>& views)
    {
        std::string text;
        for (const auto& v : views)
            text += frames(*v) + " // ";
        return text;
    }

    void run(bool nestedCase)
    {
        for (unsigned seed = 1; seed <= 60; ++seed) {
            SCOPED_TRACE("seed " + std::to_string(seed) + (nestedCase ? " (nested)" : ""));
            for (const auto& v : std::vector<std::shared_ptr<ui::View>>(split->subviews()))
                v->removeFromSuperview();
            split->setFrame({ 0, 0, 900, 600 });
            std::mt19937 random(seed);
            std::vector<std::shared_ptr<KJSplitView>> views { split };
            auto panes = addPanes(*split, random, 600);
            if (nestedCase) {
                auto nested = KJSplitView::create({ 0, 0, 300, 600 });
                addPanes(*nested, random, 300);
                split->addSubviewAtPosition(nested, 1);
                nested->setMinDimension(200, 0);
                views.push_back(nested);
                for (const auto& p : nested->subviews())
                    panes.push_back(std::static_pointer_cast<KJSplitSubview>(p));
            }
            split->adjustSubviews();
            for (int step = 0; step < 30; ++step) {
                int op = std::uniform_int_distribution<int>(0, 3)(random);
                std::ostringstream what;
                if (op == 0) {
                    double width = std::uniform_int_distribution<int>(520, 1250)(random);
                    double height = std::uniform_int_distribution<int>(420, 680)(random);
                    what << "resize to " << width << " x " << height;
                    split->setFrame({ 0, 0, width, height });
                } else if (op == 1) {
                    auto& view = *views[std::uniform_int_distribution<std::size_t>(0, views.size() - 1)(random)];
                    if (view.dividerRects().empty())
                        continue;
                    auto index = std::uniform_int_distribution<std::size_t>(0, view.dividerRects().size() - 1)(random);
                    double delta = std::uniform_int_distribution<int>(-250, 250)(random);
                    int steps = std::uniform_int_distribution<int>(1, 4)(random);
                    what << "drag divider " << index << " by " << delta << " in " << steps;
                    dragDividerOf(view, index, delta, steps);
                } else {
                    auto& pane = *panes[std::uniform_int_distribution<std::size_t>(0, panes.size() - 1)(random)];
                    what << (op == 2 ? "collapse " : "expand ") << pane.position();
                    if (op == 2)
                        pane.collapse();
                    else
                        pane.expand();
                    split->display();
                }
                split->layoutSubtreeIfNeeded();
                for (const auto& v : views) {
                    v->layoutSubtreeIfNeeded();
                    ASSERT_TRUE(wellLaidOut(*v)) << "after step " << step << ": " << what.str();
                }
                // Saving and restoring gives the same frames.
                auto before = allFrames(views);
                auto states = split->arrayWithStates();
                auto savedString = split->stringWithSavedState().utf8();
                ASSERT_TRUE(split->setStatesFromArray(states)) << what.str();
                split->layoutSubtreeIfNeeded();
                for (const auto& v : views)
                    v->layoutSubtreeIfNeeded();
                ASSERT_EQ(allFrames(views), before)
                    << "after step " << step << ": " << what.str() << ", state " << savedString << ", restored "
                    << split->stringWithSavedState().utf8();
            }
        }
    }
};

TEST_F(KJSplitViewPropertyTest, ThreePanesStayWithinLimitsTiledAndRestorable)
{
    run(false);
}

TEST_F(KJSplitViewPropertyTest, NestedSplitViewsStayWithinLimitsTiledAndRestorable)
{
    run(true);
}

}
