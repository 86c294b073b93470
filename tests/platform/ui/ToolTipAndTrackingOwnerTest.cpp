#include "UiTestSupport.h"

#include "platform/ui/views/Event.h"
#include "platform/ui/views/TrackingArea.h"
#include "platform/ui/views/View.h"

#include <random>
#include <string>
#include <vector>

namespace tooltipownertest {

// Answers tips by tag, and records what it was asked.
class TipOwner : public ui::ToolTipOwner {
public:
    fnd::String stringForToolTip(ui::View&, long tag, gfx::Point point, const fnd::Value& userData) override
    {
        asked.push_back({ tag, point });
        return userData.isString() ? *userData.string() : fnd::String();
    }
    std::vector<std::pair<long, gfx::Point>> asked;
};

// Not a responder: a cell-like part of a view.
class PartOwner : public ui::TrackingOwner {
public:
    void mouseEntered(const ui::Event& event) override
    {
        log.push_back("enter " + std::to_string(event.trackingNumber()));
    }
    void mouseExited(const ui::Event& event) override
    {
        log.push_back("exit " + std::to_string(event.trackingNumber()));
    }
    std::vector<std::string> log;
};

class ToolTipAndTrackingOwnerTest : public uitest::KeyWindowTest {
protected:
    ToolTipAndTrackingOwnerTest()
        : KeyWindowTest({ 300, 200 })
    {
    }
};

TEST_F(ToolTipAndTrackingOwnerTest, ToolTipRectsAskTheirOwnerTheLatestOnTop)
{
    auto view = ui::View::create({ 0, 0, 300, 200 });
    add(view);
    auto owner = std::make_shared<TipOwner>();
    const long left = view->addToolTipRect({ 0, 0, 100, 50 }, owner, fnd::Value(fnd::String("Left")));
    const long over = view->addToolTipRect({ 50, 0, 100, 50 }, owner, fnd::Value(fnd::String("Over")));
    EXPECT_NE(left, over);
    gfx::Rect where;
    EXPECT_EQ(view->toolTipAtPoint({ 20, 20 }, &where), fnd::String("Left"));
    EXPECT_EQ(where, gfx::Rect(0, 0, 100, 50));
    EXPECT_EQ(view->toolTipAtPoint({ 70, 20 }), fnd::String("Over"));
    ASSERT_FALSE(owner->asked.empty());
    EXPECT_EQ(owner->asked.back(), std::make_pair(over, gfx::Point(70, 20)));
    EXPECT_EQ(view->toolTipAtPoint({ 200, 20 }), fnd::String()) << "outside every rect, no tip of the view";

    view->removeToolTip(over);
    EXPECT_EQ(view->toolTipAtPoint({ 70, 20 }), fnd::String("Left"));
    view->setToolTip("Whole view");
    EXPECT_EQ(view->toolTipAtPoint({ 200, 20 }), fnd::String("Whole view")) << "the view's own tip below the rects";
    owner.reset();
    EXPECT_EQ(view->toolTipAtPoint({ 20, 20 }), fnd::String("Whole view")) << "a gone owner gives no tip";
    view->removeAllToolTips();
    EXPECT_EQ(view->numberOfToolTipRects(), 0u);
}

TEST_F(ToolTipAndTrackingOwnerTest, TrackingRectsWithOwnersThatAreNotViews)
{
    auto view = ui::View::create({ 0, 0, 300, 200 });
    add(view);
    auto part = std::make_shared<PartOwner>();
    const long tag = view->addTrackingRect({ 10, 10, 50, 50 }, part, {}, false);
    backend->mouseMoved(*window, { 5, 5 });
    backend->mouseMoved(*window, { 30, 30 });
    backend->mouseMoved(*window, { 100, 100 });
    dispatch();
    EXPECT_EQ(part->log, (std::vector<std::string> { "enter " + std::to_string(tag), "exit " + std::to_string(tag) }));

    view->removeTrackingRect(tag);
    backend->mouseMoved(*window, { 30, 30 });
    dispatch();
    EXPECT_EQ(part->log.size(), 2u) << "removed by its tag";
}

// Areas added, removed (as areas and by tag) and looked up at random, against a plain list: the view keeps the same
// areas in the same order, finds each by its number, and the pointer enters exactly the areas a model says.
TEST_F(ToolTipAndTrackingOwnerTest, TrackingAreasFollowAPlainListThroughRandomChanges)
{
    auto view = ui::View::create({ 0, 0, 300, 200 });
    add(view);
    auto part = std::make_shared<PartOwner>();
    std::vector<std::shared_ptr<ui::TrackingArea>> model;
    for (unsigned seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        for (int step = 0; step < 200; ++step) {
            const auto pick
                = [&] { return model[std::uniform_int_distribution<std::size_t>(0, model.size() - 1)(random)]; };
            switch (random() % 5) {
            case 0:
            case 1: {
                const double x = double(random() % 29) * 10;
                const long tag = view->addTrackingRect({ x, 0, 10, 200 }, part, {}, false);
                model.push_back(view->trackingAreaWithNumber(tag));
                ASSERT_TRUE(model.back()) << "seed " << seed << " step " << step;
                break;
            }
            case 2:
                if (!model.empty()) {
                    auto area = pick();
                    view->removeTrackingRect(area->trackingNumber());
                    std::erase(model, area);
                }
                break;
            case 3:
                if (!model.empty()) {
                    auto area = pick();
                    view->removeTrackingArea(area);
                    std::erase(model, area);
                    view->removeTrackingArea(area); // a second time: nothing left to remove
                }
                break;
            default:
                if (!model.empty()) {
                    auto area = pick();
                    view->addTrackingArea(area); // already there: not added twice
                    EXPECT_EQ(view->trackingAreaWithNumber(area->trackingNumber()), area) << "seed " << seed;
                }
                break;
            }
            if (step % 20 == 0) {
                ASSERT_EQ(view->trackingAreas(), model) << "seed " << seed << " step " << step;
            }
        }
        ASSERT_EQ(view->trackingAreas(), model) << "seed " << seed;
        // The pointer resting in the last column enters exactly the areas there.
        const auto entered = [&] {
            long count = 0;
            for (const auto& area : model)
                count += area->rect().minX() == 280 ? 1 : 0;
            return count;
        }();
        part->log.clear();
        backend->mouseMoved(*window, { 285, 100 });
        dispatch();
        EXPECT_EQ(long(part->log.size()), entered) << "seed " << seed;
        backend->mouseMoved(*window, { 5, 5 });
        dispatch();
        for (const auto& area : std::vector(model))
            view->removeTrackingRect(area->trackingNumber());
        model.clear();
        EXPECT_TRUE(view->trackingAreas().empty());
        EXPECT_EQ(view->trackingAreaWithNumber(12345678), nullptr);
    }
}

}
