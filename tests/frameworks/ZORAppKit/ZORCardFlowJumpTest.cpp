// The card-flow view's row while the selection moves far at once: the cards that sweep through the view show
// throughout the move, and a move across many cards costs no more layers than a few screens of them.
#include "CardFlowTestSupport.h"

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/layers/Transaction.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A view of 620 × 400 points with cards of 140 × 100, so that its scroll layer is 600 points wide.
class CardFlowJumpTest : public uitest::UiTest {
protected:
    CardFlowJumpTest()
    {
        window = ui::Window::create({ { 100, 100 }, { 700, 450 } });
        window->makeKeyAndOrderFront();
        view = ZORCardFlowView::create({ 40, 20, 620, 400 });
        window->contentView()->addSubview(view);
        view->setAutoresizesItems(false);
        view->setItemSize({ 140, 100 });
        settle();
    }
    void settle(double seconds = 0)
    {
        ui::Transaction::flush();
        fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
    }
    static fnd::Array cards(std::size_t n)
    {
        fnd::Array array;
        array.reserve(n);
        for (std::size_t i = 0; i < n; ++i)
            array.push_back(fnd::String("card " + std::to_string(i)));
        return array;
    }
    // The cards whose layers show, by index, with where they stand at this moment of the animation.
    std::vector<std::pair<std::int64_t, gfx::Rect>> shownCards() const
    {
        std::vector<std::pair<std::int64_t, gfx::Rect>> shown;
        for (const auto& layer : view->itemLayers()) {
            if (layer->isHidden())
                continue;
            auto presented = layer->presentationLayer();
            shown.emplace_back(
                layer->valueForKey("index").integerValue(), presented ? presented->frame() : gfx::Rect {});
        }
        std::sort(shown.begin(), shown.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        return shown;
    }

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ZORCardFlowView> view;
};

// Far moves in either direction, one across a hundred thousand cards, and a move within the view: at every moment
// sampled the cards that meet the scroll layer's visible part show, in the order of the row and without a hole
// between neighbours (neighbours stand 0.35 w apart on a side and 0.9875 w from the facing card, and move between
// the two, on cards w wide), from edge to edge of the view or to an end of the row; and no more than a few screens
// of cards show at once.
TEST_F(CardFlowJumpTest, CardsSweepingThroughTheViewShowThroughoutAMove)
{
    struct Case {
        std::size_t count;
        std::int64_t from, to;
    };
    constexpr double w = 140;
    const Case cases[] = { { 1000, 999, 0 }, { 3000, 1000, 2500 }, { 100001, 100000, 0 }, { 1000, 500, 506 } };
    for (auto [count, from, to] : cases) {
        SCOPED_TRACE(std::to_string(from) + " to " + std::to_string(to) + " of " + std::to_string(count));
        view->setContent(cards(count));
        view->setSelectionIndex(from);
        settle(3);
        const auto boundsBefore = view->scrollLayer()->bounds();
        view->setSelectionIndex(to);
        // A move within the view starts where the view stands.
        if (std::abs(to - from) < 10) {
            EXPECT_EQ(view->scrollLayer()->presentationLayer()->bounds(), boundsBefore);
        }
        for (int step = 0; step < 15; ++step) {
            SCOPED_TRACE("at " + std::to_string(step * 0.05) + " s");
            auto shown = shownCards();
            EXPECT_LE(shown.size(), 400u);
            auto visible = view->scrollLayer()->presentationLayer()->bounds();
            std::vector<std::pair<std::int64_t, gfx::Rect>> meeting;
            for (const auto& card : shown)
                if (card.second.maxX() > visible.minX() && card.second.minX() < visible.maxX())
                    meeting.push_back(card);
            ASSERT_FALSE(meeting.empty());
            for (std::size_t k = 1; k < meeting.size(); ++k) {
                SCOPED_TRACE("card " + std::to_string(meeting[k].first));
                EXPECT_EQ(meeting[k].first, meeting[k - 1].first + 1);
                auto gap = meeting[k].second.minX() - meeting[k - 1].second.minX();
                // Single-precision places step a hair off far along the row; a gap wider than a card is a hole.
                EXPECT_GE(gap, 0.35 * w - 2);
                EXPECT_LE(gap, w);
            }
            if (meeting.front().first != 0) {
                EXPECT_LE(meeting.front().second.minX(), visible.minX());
            }
            if (meeting.back().first != std::int64_t(count) - 1) {
                EXPECT_GE(meeting.back().second.maxX(), visible.maxX());
            }
            settle(0.05);
        }
        settle(3);
        EXPECT_EQ(view->scrollLayer()->presentationLayer()->bounds(), view->scrollLayer()->bounds());
        EXPECT_LE(shownCards().size(), 400u);
    }
}

}
