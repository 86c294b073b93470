// A person drags the scroll knob of a bound flow view in stages while the program acts at each stage: it inserts
// and removes items (the selected one too), sets shorter content, empties the controller, renames an item, selects
// an item and takes the view out of its window (with the view that holds it: leaving its superview ends the view's
// binding). After each drag the knob is let go, the selection lies within the items, the view shows what a view
// bound afresh to the same content shows, and where the program did not act after the person's last move, a release
// past either end of the bar selects that end's item.
#include "QFFlowViewBoundContent.h"

#include "support/GestureSeeds.h"
#include "support/StagedDrag.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace flowviewtest {
namespace {

class FlowViewKnobGestureTest : public FlowViewBoundContentTest {
protected:
    std::size_t pick(std::size_t n)
    {
        return std::uniform_int_distribution<std::size_t>(0, std::max<std::size_t>(n, 1) - 1)(random);
    }
    bool chance(int percent) { return int(pick(100)) < percent; }
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
    std::size_t count() const { return controller->arrangedObjects().size(); }

    void start(unsigned seed)
    {
        random.seed(seed);
        controller = std::make_shared<fnd::ArrayController>();
        controller->setSelectsInsertedObjects(false);
        fnd::Array content;
        for (std::size_t i = 0, n = 2 + pick(30); i < n; ++i)
            content.push_back(i % 3 == 2 ? dictionaryItem() : objectItem());
        controller->setContent(fnd::Value(content));
        if (!holder) {
            holder = ui::makeView<ui::View>(gfx::Rect { 0, 0, 800, 400 });
            window->contentView()->addSubview(holder);
            holder->addSubview(view);
        }
        view->bind("contentArray", *controller, "arrangedObjects");
        settle(1);
    }

    std::string programStep()
    {
        if (!chance(60))
            return {};
        const auto n = count();
        switch (pick(9)) {
        case 0:
        case 1: {
            const auto at = pick(n + 1);
            controller->insertObjectAtArrangedObjectIndex(objectItem(), fnd::Index(at));
            return "inserts an item at " + std::to_string(at);
        }
        case 2: {
            if (n == 0)
                return {};
            const auto at = pick(n);
            controller->removeObjectsAtArrangedObjectIndexes(fnd::IndexSet { fnd::Index(at) });
            return "removes the item at " + std::to_string(at);
        }
        case 3: {
            const auto at = view->selectedIndex();
            if (at == QFFlowView::NotFound)
                return {};
            controller->removeObjectsAtArrangedObjectIndexes(fnd::IndexSet { fnd::Index(at) });
            return "removes the selected item at " + std::to_string(at);
        }
        case 4: {
            // Reloaded with fewer items, in another order.
            auto items = controller->arrangedObjects();
            std::shuffle(items.begin(), items.end(), random);
            items.resize(pick(items.size()));
            controller->setContent(fnd::Value(items));
            return "sets content of " + std::to_string(items.size()) + " items";
        }
        case 5:
            if (!chance(30))
                return {};
            controller->setContent(fnd::Value(fnd::Array {}));
            return "empties the controller";
        case 6: {
            if (n == 0)
                return {};
            const auto at = pick(n);
            const auto& item = controller->arrangedObjects()[at];
            if (!item.isObject())
                return {};
            item.objectAs<TestItem>()->setValueForKey(
                fnd::String("Renamed " + std::to_string(++made)), "imageItemTitle");
            return "renames the item at " + std::to_string(at);
        }
        case 7: {
            if (n == 0)
                return {};
            const auto at = pick(n);
            view->setSelectedIndex(at);
            return "selects " + std::to_string(at);
        }
        default:
            if (!holder->window())
                return {};
            holder->removeFromSuperview();
            return "takes the view out of its window";
        }
    }

    // A drag of the knob in three stages, the program acting after each.
    std::string gesture()
    {
        auto knob = view->scrollKnobLayer();
        if (!knob || view->scrollBarLayer()->isHidden()) {
            controller->insertObjectAtArrangedObjectIndex(objectItem(), 0);
            settle(1);
            return "no knob to drag: the program inserts an item";
        }
        const double grab = 2 + double(pick(std::size_t(std::max(1.0, knob->bounds().width() - 4))));
        const auto pressInView = view->backgroundLayer()->convertPointFromLayer({ grab, 8 }, knob.get());
        if (!pressInView)
            return "no point on the knob";
        std::vector<std::vector<gfx::Point>> stages;
        gfx::Point from = *pressInView;
        for (int s = 0; s < 3; ++s) {
            const gfx::Point to { -20 + double(pick(840)) + 0.5, from.y };
            auto points = testsupport::stepsBetween(from, to, 2);
            for (auto& p : points)
                p = windowPoint(p);
            stages.push_back(points);
            from = to;
        }
        const gfx::Point last = from;
        std::string what = "drag the knob from " + std::to_string(int(pressInView->x)) + " (" + std::to_string(count())
            + " items, " + std::to_string(view->selectedIndex()) + " selected)";
        bool actedLast = false;
        const bool released = testsupport::runStagedDrag(
            *backend, window, windowPoint(*pressInView), stages,
            [&](std::size_t stage) {
                auto acted = programStep();
                if (!acted.empty())
                    what += "; stage " + std::to_string(stage) + ": the program " + acted;
                actedLast = !acted.empty() && stage + 1 == stages.size();
            },
            [this](double seconds) { runFor(seconds); });
        EXPECT_TRUE(released) << what;
        if (!holder->window()) {
            window->contentView()->addSubview(holder);
            what += "; the program puts the view back";
            actedLast = true;
        }
        settle(1);
        if (!actedLast && count() >= 2 && !HasFailure())
            checkEndReached(last, what);
        return what + " to " + std::to_string(int(last.x));
    }

    // A release past either end of the bar leaves that end's item selected, however wide the knob was meanwhile.
    void checkEndReached(gfx::Point pointer, const std::string& what)
    {
        auto inBar = view->scrollBarLayer()->convertPointFromLayer(pointer, nullptr);
        ASSERT_TRUE(inBar) << what;
        if (inBar->x <= 0) {
            EXPECT_EQ(view->selectedIndex(), 0u) << what << ": released before the bar's start";
        } else if (inBar->x >= view->scrollBarLayer()->bounds().width()) {
            EXPECT_EQ(view->selectedIndex(), count() - 1) << what << ": released past the bar's end";
        }
    }

    void check(const std::string& where)
    {
        EXPECT_FALSE(view->draggingKnob()) << where;
        const auto n = count();
        if (n == 0) {
            EXPECT_EQ(view->selectedIndex(), QFFlowView::NotFound) << where;
        } else {
            EXPECT_LT(view->selectedIndex(), n) << where;
        }
        EXPECT_EQ(differencesFromFreshView(*controller), "") << where;
    }

    std::shared_ptr<fnd::ArrayController> controller;
    std::shared_ptr<ui::View> holder;
    std::mt19937 random;
};

TEST_F(FlowViewKnobGestureTest, TheKnobIsLetGoAndTheViewShowsItsItemsWhateverTheProgramDoesDuringTheDrag)
{
    const int seeds = testsupport::gestureSeeds(2);
    for (int seed = 1; seed <= seeds && !HasFailure(); ++seed) {
        start(unsigned(seed));
        for (int gesture = 0; gesture < 3 && !HasFailure(); ++gesture) {
            const auto what = this->gesture();
            check("seed " + std::to_string(seed) + " gesture " + std::to_string(gesture) + " (" + what + ")");
        }
        view->unbind("contentArray");
    }
}

}
}
