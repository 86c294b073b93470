#include "KRScopeBarScene.h"
#include "UiTestSupport.h"

#include "frameworks/KRScoreBar/KRButtonCell.h"
#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/controls/PopUpButtonCell.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using krtest::layoutState;
using krtest::makeScene;

// A key window with a scope bar across it, drawn so that its tracking areas exist.
class KRScopeBarTrackingTest : public uitest::KeyWindowTest {
protected:
    explicit KRScopeBarTrackingTest(double width = 900)
        : uitest::KeyWindowTest({ width, 60 })
    {
        scene = makeScene({ 0, 15, width, 30 });
        add(scene.bar);
        window->display();
    }

    // The middle of an item's button, or of a collapsed group's pop-up, in window coordinates.
    gfx::Point itemPoint(std::size_t group, std::size_t item) const
    {
        const auto& helper = scene.bar->groupHelpers()[group];
        auto rect = helper->group()->isCollapsed() ? helper->buttonRect() : helper->buttonRects().at(item);
        return scene.bar->convertPointToView({ rect.midX(), rect.midY() }, nullptr);
    }
    void moveTo(gfx::Point p)
    {
        backend->mouseMoved(*window, p);
        dispatch();
    }
    const KRScopeBarGroupHelper& helper(std::size_t group) const { return *scene.bar->groupHelpers()[group]; }
    std::vector<fnd::Index> selection(std::size_t group) const
    {
        return scene.bar->groupAtIndex(group)->selectionIndexes().indexes();
    }

    krtest::Scene scene;
};

class KRScopeBarNarrowTrackingTest : public KRScopeBarTrackingTest {
protected:
    KRScopeBarNarrowTrackingTest()
        : KRScopeBarTrackingTest(330)
    {
    }
};

// Hovering an item makes its cell the tracking cell with the hover look; leaving drops it.
TEST_F(KRScopeBarTrackingTest, HoverTracksTheItemUnderTheMouse)
{
    moveTo(itemPoint(1, 1));
    ASSERT_TRUE(helper(1).trackingCell());
    EXPECT_EQ(helper(1).trackingIndex(), 1);
    auto cell = std::dynamic_pointer_cast<KRButtonCell>(helper(1).trackingCell());
    ASSERT_TRUE(cell);
    EXPECT_TRUE(cell->isMouseOver());
    EXPECT_TRUE(cell->isMouseInside()) << "the recessed border shows while the mouse is inside";

    moveTo(itemPoint(1, 2));
    EXPECT_EQ(helper(1).trackingIndex(), 2);
    moveTo({ 5, 5 });
    EXPECT_FALSE(helper(1).trackingCell());
    EXPECT_EQ(helper(1).trackingIndex(), -1);
}

// A click selects; in a multiple group a second click deselects; a press dragged out before release selects nothing.
TEST_F(KRScopeBarTrackingTest, ClickSelectsAndDraggingOutCancels)
{
    krtest::SelectionRecorder recorder;
    moveTo(itemPoint(0, 2));
    backend->click(*window, itemPoint(0, 2));
    dispatch();
    EXPECT_EQ(selection(0), std::vector<fnd::Index>({ 2 }));
    EXPECT_EQ(helper(0).trackingCell()->state(), ui::ControlStateValue::On);

    window->display();
    moveTo(itemPoint(1, 0));
    backend->click(*window, itemPoint(1, 0));
    dispatch();
    window->display();
    moveTo(itemPoint(1, 0));
    backend->click(*window, itemPoint(1, 0));
    dispatch();
    EXPECT_TRUE(selection(1).empty()) << "the second click deselects";

    window->display();
    moveTo(itemPoint(0, 1));
    backend->mouseDown(*window, itemPoint(0, 1));
    backend->mouseDragged(*window, { itemPoint(0, 1).x, 58 });
    backend->mouseUp(*window, { itemPoint(0, 1).x, 58 });
    dispatch();
    EXPECT_EQ(selection(0), std::vector<fnd::Index>({ 2 })) << "released outside: no selection";
    EXPECT_FALSE(helper(0).trackingCell() && helper(0).trackingCell()->isHighlighted());
    EXPECT_EQ(recorder.identifiers, (std::vector<std::string>({ "show", "date", "date" })));
}

// The delegate may refuse a click: nothing changes.
TEST_F(KRScopeBarTrackingTest, RefusedClickChangesNothing)
{
    scene.delegate->refusedObjects = { "Pictures" };
    scene.delegate->askedToSelect.clear();
    scene.delegate->heard.clear();
    moveTo(itemPoint(0, 2));
    backend->click(*window, itemPoint(0, 2));
    dispatch();
    EXPECT_EQ(scene.delegate->askedToSelect, std::vector<std::string>({ "Pictures" }))
        << "the click reached the item, and the delegate refused it";
    EXPECT_EQ(selection(0), std::vector<fnd::Index>({ 0 }));
    EXPECT_TRUE(scene.delegate->heard.empty()) << "no selection change was announced";
}

// A collapsed group pops up its items; a choice selects, a refused choice keeps the selection and the hover look.
TEST_F(KRScopeBarNarrowTrackingTest, CollapsedGroupChoosesFromItsMenu)
{
    ASSERT_EQ(layoutState(*scene.bar), "C C C0");
    moveTo(itemPoint(0, 0));
    auto tracking = helper(0).trackingCell();
    ASSERT_TRUE(std::dynamic_pointer_cast<ui::PopUpButtonCell>(tracking));
    EXPECT_TRUE(tracking->isMouseInside()) << "hovering shows the pop-up's border";

    backend->answerNextPopUpMenu(1);
    backend->click(*window, itemPoint(0, 0));
    dispatch();
    EXPECT_EQ(selection(0), std::vector<fnd::Index>({ 1 }));
    EXPECT_TRUE(helper(0).trackingCell()) << "the mouse is still over the pop-up";

    scene.delegate->refusedObjects = { "Pictures" };
    backend->answerNextPopUpMenu(2);
    backend->click(*window, itemPoint(0, 0));
    dispatch();
    EXPECT_EQ(selection(0), std::vector<fnd::Index>({ 1 }));
    EXPECT_TRUE(helper(0).trackingCell());
}

// The overflow pull-down is tracked while it holds items, and a choice from it selects in the item's group.
TEST_F(KRScopeBarNarrowTrackingTest, OverflowChoiceSelectsInItsGroup)
{
    ASSERT_TRUE(scene.bar->showsOverflowPullDown());
    EXPECT_EQ(krtest::overflowTitles(*scene.bar), (std::vector<std::string>({ "Name", "Kind", "Size" })));
    auto rect = scene.bar->overflowPullDownRect();
    auto at = scene.bar->convertPointToView({ rect.midX(), rect.midY() }, nullptr);
    moveTo(at);
    backend->answerNextPopUpMenu(3); // below the image item: Name, Kind, Size
    backend->click(*window, at);
    dispatch();
    EXPECT_EQ(selection(2), std::vector<fnd::Index>({ 2 }));

    scene.delegate->refusedObjects = { "Kind" };
    window->display();
    moveTo({ 1, 1 });
    moveTo(at);
    backend->answerNextPopUpMenu(2);
    backend->click(*window, at);
    dispatch();
    EXPECT_EQ(selection(2), std::vector<fnd::Index>({ 2 })) << "refused";
}

}

// Narrowing the bar asks for layout. Drawing the bar lays nothing out; the window's next display pass does, before
// drawing, and the tracking areas then cover exactly the buttons at their new places.
TEST_F(KRScopeBarTrackingTest, ResizingLaysOutBeforeDrawingAndTheTrackingAreasFollow)
{
    const auto wide = layoutState(*scene.bar);
    scene.bar->setFrameSize({ 330, 30 });
    EXPECT_TRUE(scene.bar->needsLayout());
    {
        auto canvas = gfx::GraphicsContext::createForBitmap(900, 30);
        gfx::CurrentContextScope scope(canvas);
        scene.bar->drawRect(scene.bar->bounds());
    }
    EXPECT_EQ(layoutState(*scene.bar), wide);
    EXPECT_TRUE(scene.bar->needsLayout());

    window->display();
    EXPECT_FALSE(scene.bar->needsLayout());
    EXPECT_NE(layoutState(*scene.bar), wide);
    std::vector<gfx::Rect> buttons;
    for (const auto& helper : scene.bar->groupHelpers()) {
        if (helper->group()->isCollapsed()) {
            if (!helper->isPeeled())
                buttons.push_back(helper->buttonRect());
            continue;
        }
        for (std::uint64_t i = 0; i < helper->numberOfVisibleItems(); ++i)
            buttons.push_back(helper->buttonRects().at(i));
    }
    if (scene.bar->showsOverflowPullDown())
        buttons.push_back(scene.bar->overflowPullDownRect());
    std::vector<gfx::Rect> areas;
    for (const auto& area : scene.bar->trackingAreas())
        areas.push_back(area->rect());
    auto byPlace = [](const gfx::Rect& a, const gfx::Rect& b) { return a.minX() < b.minX(); };
    std::sort(buttons.begin(), buttons.end(), byPlace);
    std::sort(areas.begin(), areas.end(), byPlace);
    EXPECT_EQ(areas, buttons);
}
