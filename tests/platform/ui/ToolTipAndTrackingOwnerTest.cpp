#include "UiTestSupport.h"

#include "platform/ui/views/Event.h"
#include "platform/ui/views/TrackingArea.h"
#include "platform/ui/views/View.h"

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
    void mouseEntered(const ui::Event& event) override { log.push_back("enter " + std::to_string(event.trackingNumber())); }
    void mouseExited(const ui::Event& event) override { log.push_back("exit " + std::to_string(event.trackingNumber())); }
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

}
