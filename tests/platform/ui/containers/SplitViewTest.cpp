#include "ContainersTestSupport.h"
#include "support/StagedDrag.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/containers/SplitView.h"
#include "platform/ui/views/Cursor.h"

#include <cmath>
#include <limits>
#include <random>

using namespace ui;
using containerstest::ContainersTest;

namespace {

// Answers like a pane controller: the first pane is at least 50 wide, the second leaves 40, positions snap to
// multiples of 20, the last pane collapses (hiding its divider), the first collapses on a double click.
class PaneRules : public SplitViewDelegate {
public:
    std::optional<bool> splitViewCanCollapseSubview(SplitView& s, View& v) override
    {
        return &v == s.subviews().back().get() || (collapseFirst && &v == s.subviews().front().get());
    }
    std::optional<bool> splitViewShouldCollapseSubviewForDoubleClickOnDividerAtIndex(
        SplitView& s, View& v, long) override
    {
        return &v == s.subviews().front().get();
    }
    std::optional<double> splitViewConstrainMinCoordinate(SplitView&, double proposed, long index) override
    {
        return index == 0 ? std::optional(proposed + 50) : std::nullopt;
    }
    std::optional<double> splitViewConstrainMaxCoordinate(SplitView&, double proposed, long) override
    {
        return proposed - 40;
    }
    std::optional<double> splitViewConstrainSplitPosition(SplitView&, double proposed, long) override
    {
        return std::round(proposed / 20) * 20;
    }
    std::optional<bool> splitViewShouldAdjustSizeOfSubview(SplitView& s, View& v) override
    {
        return &v != s.subviews().front().get();
    }
    std::optional<bool> splitViewShouldHideDividerAtIndex(SplitView&, long) override { return true; }
    void splitViewDidResizeSubviews(const fnd::Notification& n) override
    {
        auto index = n.userInfo().get(SplitViewNotification::DividerIndexKey);
        resizes.push_back(index.isNil() ? -1 : long(index.integerValue()));
    }

    bool collapseFirst { false };
    std::vector<long> resizes;
};

class SplitViewTest : public ContainersTest {
protected:
    // A vertical split view 300 × 100 with three panes of 94 and thick dividers at 94 and 197.
    std::shared_ptr<SplitView> makeSplitView(const std::shared_ptr<SplitViewDelegate>& delegate = nullptr)
    {
        auto split = SplitView::create({ 0, 0, 300, 100 });
        split->setVertical(true);
        split->setDelegate(delegate);
        for (int i = 0; i < 3; ++i)
            split->addSubview(containerstest::ColorView::make(
                { 0, 0, 100, 100 }, gfx::Color::colorWithCalibratedRed(0.6 + 0.15 * i, 0.8, 1 - 0.2 * i)));
        for (const auto& pane : split->subviews())
            pane->setFrameSize({ 100, 100 });
        split->adjustSubviews();
        add(split);
        return split;
    }
    gfx::Rect pane(const SplitView& s, int i) const { return s.subviews()[i]->frame(); }
    void dragDivider(SplitView& s, double from, std::initializer_list<double> to)
    {
        press(s, { from, 50 });
        double last = from;
        for (double x : to) {
            drag(s, { x, 50 });
            last = x;
        }
        release(s, { last, 50 });
        dispatch();
    }

    std::shared_ptr<PaneRules> rules = std::make_shared<PaneRules>();
};

}

TEST_F(SplitViewTest, SubviewsShareTheLengthLeftBetweenTheDividers)
{
    auto s = makeSplitView();
    EXPECT_EQ(pane(*s, 0), (gfx::Rect { 0, 0, 94, 100 }));
    EXPECT_EQ(pane(*s, 1), (gfx::Rect { 103, 0, 94, 100 }));
    EXPECT_EQ(pane(*s, 2), (gfx::Rect { 206, 0, 94, 100 }));
    EXPECT_EQ(s->dividerRect(1), (gfx::Rect { 197, 0, 9, 100 }));
    EXPECT_DOUBLE_EQ(s->minPossiblePositionOfDividerAtIndex(1), 103);
    EXPECT_DOUBLE_EQ(s->maxPossiblePositionOfDividerAtIndex(1), 291);

    // Without a delegate a size change goes to every pane in proportion.
    s->setFrameSize({ 360, 100 });
    EXPECT_EQ(pane(*s, 0).width() + pane(*s, 1).width() + pane(*s, 2).width(), 342);
    EXPECT_EQ(pane(*s, 2).maxX(), 360);

    s->setDividerStyle(SplitViewDividerStyle::Thin);
    s->setVertical(false);
    EXPECT_EQ(pane(*s, 0).width(), 360) << "stacked panes span the width";
    EXPECT_EQ(pane(*s, 2).maxY(), 100);
    EXPECT_EQ(pane(*s, 1).minY(), pane(*s, 0).maxY() + 1);
}

TEST_F(SplitViewTest, ADividerDragLandsWhereTheDelegateSays)
{
    auto s = makeSplitView(rules);
    dragDivider(*s, 98, { 141 });
    EXPECT_EQ(pane(*s, 0), (gfx::Rect { 0, 0, 140, 100 })) << "137 snapped to 140";
    EXPECT_EQ(pane(*s, 1), (gfx::Rect { 149, 0, 48, 100 }));
    EXPECT_EQ(pane(*s, 2), (gfx::Rect { 206, 0, 94, 100 })) << "the far pane does not move";

    dragDivider(*s, 144, { 14 });
    EXPECT_EQ(pane(*s, 0).width(), 50) << "not below the delegate's minimum; the pane cannot collapse";
    dragDivider(*s, 54, { 300 });
    EXPECT_EQ(pane(*s, 0).width(), 148) << "the maximum leaves 40 to the next pane";
    EXPECT_FALSE(rules->resizes.empty());
    EXPECT_EQ(rules->resizes.back(), 0) << "the notification names the divider";
}

TEST_F(SplitViewTest, DraggingPastHalfWayCollapsesAndExpandingReturnsToTheKeptFrame)
{
    auto s = makeSplitView(rules);
    dragDivider(*s, 200, { 263 });
    EXPECT_EQ(pane(*s, 1).width(), 148) << "251 allowed at most; 260 is not half way to 291";
    EXPECT_FALSE(s->isSubviewCollapsed(*s->subviews()[2]));
    dragDivider(*s, 254, { 285 });
    EXPECT_TRUE(s->isSubviewCollapsed(*s->subviews()[2]));
    EXPECT_EQ(pane(*s, 1), (gfx::Rect { 103, 0, 197, 100 })) << "the hidden divider's room goes to the neighbour";
    EXPECT_TRUE(s->dividerRect(1).isEmpty());
    EXPECT_EQ(pane(*s, 2), (gfx::Rect { 260, 0, 40, 100 })) << "a collapsed pane keeps its last frame";

    // Expanding moves the divider back to the kept frame's start.
    s->setPositionOfDivider(pane(*s, 2).minX() - s->dividerThickness(), 1);
    EXPECT_FALSE(s->isSubviewCollapsed(*s->subviews()[2]));
    EXPECT_EQ(pane(*s, 1), (gfx::Rect { 103, 0, 148, 100 }));
    EXPECT_EQ(pane(*s, 2), (gfx::Rect { 260, 0, 40, 100 }));
}

// A divider position that is not a number moves nothing: std::clamp let it through into the panes' frames.
TEST_F(SplitViewTest, ADividerPositionThatIsNoNumberMovesNothing)
{
    auto s = makeSplitView(rules);
    const auto before = std::vector<gfx::Rect> { pane(*s, 0), pane(*s, 1), pane(*s, 2) };
    s->setPositionOfDivider(std::numeric_limits<double>::quiet_NaN(), 0);
    s->setPositionOfDivider(std::numeric_limits<double>::quiet_NaN(), 1);
    EXPECT_EQ((std::vector<gfx::Rect> { pane(*s, 0), pane(*s, 1), pane(*s, 2) }), before);
}

TEST_F(SplitViewTest, AutosavedPositionsAndCollapsedPanesComeBackUnderTheSameName)
{
    {
        auto s = makeSplitView(rules);
        s->setAutosaveName("SplitViewTest.Restore");
        dragDivider(*s, 98, { 65 });
        s->setPositionOfDivider(s->maxPossiblePositionOfDividerAtIndex(1), 1);
        ASSERT_TRUE(s->isSubviewCollapsed(*s->subviews()[2]));
        s->removeFromSuperview();
    }
    auto stored
        = fnd::UserDefaults::standardUserDefaults().arrayForKey("NSSplitView Subview Frames SplitViewTest.Restore");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), 3u);

    auto again = makeSplitView(rules);
    EXPECT_EQ(pane(*again, 0).width(), 94);
    again->setAutosaveName("SplitViewTest.Restore");
    EXPECT_EQ(pane(*again, 0), (gfx::Rect { 0, 0, 60, 100 }));
    EXPECT_EQ(pane(*again, 1), (gfx::Rect { 69, 0, 231, 100 }));
    EXPECT_TRUE(again->isSubviewCollapsed(*again->subviews()[2]));

    // A damaged entry is ignored rather than applied.
    fnd::UserDefaults::standardUserDefaults().setObject(
        fnd::Array { fnd::String("0, 0, nan, 5, NO"), fnd::String("x"), fnd::String("1, 2, 3, 4, NO") },
        "NSSplitView Subview Frames SplitViewTest.Damaged");
    auto third = makeSplitView(rules);
    third->setAutosaveName("SplitViewTest.Damaged");
    EXPECT_EQ(pane(*third, 0).width(), 94);
}

TEST_F(SplitViewTest, ResizingSparesPanesTheDelegateKeepsAndDoubleClickCollapses)
{
    auto s = makeSplitView(rules);
    s->setFrameSize({ 360, 100 });
    EXPECT_EQ(pane(*s, 0).width(), 94);
    EXPECT_EQ(pane(*s, 1).width(), 124);
    EXPECT_EQ(pane(*s, 2).width(), 124);

    rules->collapseFirst = true;
    backend->mouseDown(*window, at(*s, { 98, 50 }), 0, 2);
    backend->mouseUp(*window, at(*s, { 98, 50 }), 0, 2);
    dispatch();
    EXPECT_TRUE(s->isSubviewCollapsed(*s->subviews()[0]));
    EXPECT_EQ(pane(*s, 1).minX(), 0) << "the divider beside the collapsed pane is hidden";
}

TEST_F(SplitViewTest, TheDividerShowsTheResizeCursorAndADimple)
{
    auto s = makeSplitView();
    backend->mouseMoved(*window, at(*s, { 99, 50 }));
    dispatch();
    EXPECT_EQ(Cursor::currentCursor(), Cursor::resizeLeftRightCursor());
    backend->mouseMoved(*window, at(*s, { 50, 50 }));
    dispatch();
    EXPECT_NE(Cursor::currentCursor(), Cursor::resizeLeftRightCursor());

    auto image = snapshot(*window, "split-view");
    auto divider = s->dividerRect(0);
    EXPECT_LT(luminance(pixelIn(*image, *s, { divider.midX(), divider.midY() })), 180) << "the dimple";
    EXPECT_GT(luminance(pixelIn(*image, *s, { divider.midX(), 10 })), 230) << "the divider's face";
    EXPECT_LT(luminance(pixelIn(*image, *s, { divider.minX() + 0.5, 10 })), 230) << "its edge line";
}

// Panes of random lengths, some collapsed with the dividers beside them hidden: every divider is drawn at its
// dividerRect, shows the resize cursor there, and a press on it drags that divider.
TEST_F(SplitViewTest, EveryDividerIsDrawnTrackedAndHitWhereItsRectSays)
{
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 random(seed);
        auto split = SplitView::create({ 0, 0, 390, 100 });
        split->setVertical(true);
        split->setDelegate(rules);
        const int panes = 2 + int(random() % 10);
        for (int i = 0; i < panes; ++i)
            split->addSubview(containerstest::ColorView::make(
                { 0, 0, double(10 + random() % 40), 100 }, gfx::Color::colorWithCalibratedRed(0.2, 0.3, 0.9)));
        for (const auto& pane : split->subviews())
            if (random() % 4 == 0)
                pane->setHidden(true);
        split->adjustSubviews();
        add(split);
        auto image = snapshot(*window, "split-view-random");
        for (long i = 0; i + 1 < panes; ++i) {
            const auto r = split->dividerRect(i);
            if (r.isEmpty())
                continue;
            EXPECT_GT(luminance(pixelIn(*image, *split, { r.midX(), 10 })), 230) << "seed " << seed << " divider " << i;
            backend->mouseMoved(*window, at(*split, { r.midX(), 50 }));
            dispatch();
            EXPECT_EQ(Cursor::currentCursor(), Cursor::resizeLeftRightCursor()) << "seed " << seed << " divider " << i;
            rules->resizes.clear();
            const double before = split->positionOfDivider(i);
            dragDivider(*split, r.midX(), { r.midX() - 4, r.midX() - 8 });
            if (split->positionOfDivider(i) != before) {
                EXPECT_EQ(rules->resizes.back(), i) << "seed " << seed << " divider " << i;
            }
            split->adjustSubviews();
            image = snapshot(*window, "split-view-random");
        }
        split->removeFromSuperview();
    }
}

// An archive's frames are the layout: decoding adds the subviews without laying them out (that laid them out anew,
// across the orientation read after them), so the split view comes back as it was and archives the same again.
TEST_F(SplitViewTest, AnArchivedSplitViewComesBackWithItsFrames)
{
    auto split = SplitView::create({ 0, 0, 300, 100 });
    split->setVertical(true);
    for (int i = 0; i < 3; ++i)
        split->addSubview(View::create({ 0, 0, 100, 100 }));
    split->adjustSubviews();
    split->setPositionOfDivider(50, 0);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(split));
    ASSERT_TRUE(data);
    auto copy = fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<SplitView>();
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->subviews().size(), 3u);
    EXPECT_TRUE(copy->isVertical());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(pane(*copy, i), pane(*split, i)) << "pane " << i;
    EXPECT_EQ(pane(*copy, 0), (gfx::Rect { 0, 0, 50, 100 }));
    auto again = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(copy));
    ASSERT_TRUE(again);
    EXPECT_TRUE(*again == *data);
}

// A pane the program takes away leaves no gap: the others fill the split view at the next layout pass (the drag
// gesture test's seed 1 left the room of a removed pane empty).
TEST_F(SplitViewTest, RemovingAPaneLetsTheOthersFillTheSplitView)
{
    auto s = makeSplitView();
    s->subviews()[1]->removeFromSuperview();
    window->contentView()->layoutSubtreeIfNeeded();
    ASSERT_EQ(s->subviews().size(), 2u);
    EXPECT_EQ(pane(*s, 0).minX(), 0);
    EXPECT_EQ(pane(*s, 1).minX(), pane(*s, 0).maxX() + 9);
    EXPECT_EQ(pane(*s, 1).maxX(), 300);
    EXPECT_EQ(pane(*s, 0).width() + pane(*s, 1).width(), 291) << "the two share the room";
}

// The program may add or remove panes while the person drags a divider: the drag stays with the divider between the
// two panes it began between, and ends when one of them goes (the gesture test's seed 1 then moved another divider).
TEST_F(SplitViewTest, ADividerDragStaysBetweenItsPanesWhateverThePanesAroundItDo)
{
    auto s = makeSplitView();
    auto first = s->subviews()[0], second = s->subviews()[1], third = s->subviews()[2];
    auto runFor
        = [this](double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); };
    // Divider 1 (between the second and third panes) is dragged; a pane comes in before the first.
    auto added = containerstest::ColorView::make({ 0, 0, 100, 100 }, gfx::Color::whiteColor());
    double firstWidth = 0;
    testsupport::runStagedDrag(
        *backend, window, at(*s, { 201, 50 }), { { at(*s, { 211, 50 }) }, { at(*s, { 181, 50 }) } },
        [&](std::size_t stage) {
            if (stage == 0) {
                s->addSubview(added, WindowOrderingMode::Below, first.get());
                window->contentView()->layoutSubtreeIfNeeded();
                firstWidth = first->frame().width();
            }
        },
        runFor);
    ASSERT_EQ(s->subviews().size(), 4u);
    EXPECT_EQ(first->frame().width(), firstWidth) << "the pane before the dragged divider's is left alone";
    EXPECT_EQ(s->positionOfDivider(2), 177) << "the dragged divider, now the third, follows the mouse";

    // One of the dragged divider's panes goes: the drag ends there, and later moves change nothing.
    std::vector<gfx::Rect> after;
    testsupport::runStagedDrag(
        *backend, window, at(*s, { s->positionOfDivider(2) + 4, 50 }),
        { { at(*s, { 160, 50 }) }, { at(*s, { 120, 50 }) } },
        [&](std::size_t stage) {
            if (stage == 0) {
                third->removeFromSuperview();
                window->contentView()->layoutSubtreeIfNeeded();
                for (const auto& v : s->subviews())
                    after.push_back(v->frame());
            }
        },
        runFor);
    std::vector<gfx::Rect> now;
    for (const auto& v : s->subviews())
        now.push_back(v->frame());
    EXPECT_EQ(now, after);
}

// A middle pane that collapses hides the dividers on both its sides where the delegate hides them: the room of both
// goes to the neighbour (the gesture test's seed 2 lost the second divider's nine points at the end).
TEST_F(SplitViewTest, AMiddlePaneCollapsingFreesBothItsDividers)
{
    struct MiddleCollapses : SplitViewDelegate {
        std::optional<bool> splitViewCanCollapseSubview(SplitView& s, View& v) override
        {
            return &v == s.subviews()[1].get();
        }
        std::optional<bool> splitViewShouldHideDividerAtIndex(SplitView&, long) override { return true; }
    };
    auto middle = std::make_shared<MiddleCollapses>();
    auto s = makeSplitView(middle);
    s->setPositionOfDivider(s->maxPossiblePositionOfDividerAtIndex(0), 0);
    ASSERT_TRUE(s->isSubviewCollapsed(*s->subviews()[1]));
    EXPECT_TRUE(s->dividerRect(0).isEmpty());
    EXPECT_TRUE(s->dividerRect(1).isEmpty());
    EXPECT_EQ(pane(*s, 0).minX(), 0);
    EXPECT_EQ(pane(*s, 2).minX(), pane(*s, 0).maxX()) << "no divider left between them";
    EXPECT_EQ(pane(*s, 2).maxX(), 300);
    // Opened by less than the two dividers it would show, it stays collapsed (the gesture test's seed 6 lost the
    // room it had given); opened further, both dividers show and the panes still fill the split view.
    const auto collapsed = std::vector<gfx::Rect> { pane(*s, 0), pane(*s, 2) };
    for (double opening : { 13.0, 18.0 }) {
        s->setPositionOfDivider(pane(*s, 0).maxX() - opening, 0);
        EXPECT_TRUE(s->isSubviewCollapsed(*s->subviews()[1])) << opening;
        EXPECT_EQ((std::vector<gfx::Rect> { pane(*s, 0), pane(*s, 2) }), collapsed) << opening;
    }
    s->setPositionOfDivider(pane(*s, 0).maxX() - 60, 0);
    EXPECT_FALSE(s->isSubviewCollapsed(*s->subviews()[1]));
    EXPECT_EQ(pane(*s, 1).minX(), pane(*s, 0).maxX() + 9);
    EXPECT_EQ(pane(*s, 2).minX(), pane(*s, 1).maxX() + 9);
    EXPECT_EQ(pane(*s, 2).maxX(), 300);
}

// A collapsed pane the delegate no longer lets collapse stays collapsed until it is opened: moving another divider
// opened it at no length, showing the dividers beside it without room for them (the gesture test's seed 8).
TEST_F(SplitViewTest, ACollapsedPaneStaysCollapsedWhenItMayNoLongerCollapse)
{
    rules->collapseFirst = true;
    auto s = makeSplitView(rules);
    s->setPositionOfDivider(s->minPossiblePositionOfDividerAtIndex(0), 0);
    ASSERT_TRUE(s->isSubviewCollapsed(*s->subviews()[0]));
    rules->collapseFirst = false;
    s->setPositionOfDivider(150, 1);
    EXPECT_TRUE(s->isSubviewCollapsed(*s->subviews()[0]));
    EXPECT_EQ(pane(*s, 1).minX(), 0) << "no divider shows before the second pane";
    EXPECT_EQ(pane(*s, 2).minX(), pane(*s, 1).maxX() + 9);
    EXPECT_EQ(pane(*s, 2).maxX(), 300);
}

// A shrink that rounds to nothing for each pane leaves the rest to the last one that takes part; one with no length
// left cannot give it, so the others do (the gesture test's seed 790 left the last pane a point past the end).
TEST_F(SplitViewTest, AShrinkAPaneWithNoLengthCannotGiveComesFromTheOthers)
{
    auto s = makeSplitView();
    s->addSubview(containerstest::ColorView::make({ 0, 0, 100, 100 }, gfx::Color::whiteColor()));
    s->setPositionOfDivider(90, 0);
    s->setPositionOfDivider(189, 1);
    s->setPositionOfDivider(s->maxPossiblePositionOfDividerAtIndex(2), 2);
    ASSERT_EQ(pane(*s, 2).width(), 93);
    ASSERT_EQ(pane(*s, 3).width(), 0);
    s->setFrameSize({ 299, 100 });
    EXPECT_EQ(pane(*s, 0).width(), 90);
    EXPECT_EQ(pane(*s, 1).width(), 90);
    EXPECT_EQ(pane(*s, 2).width(), 92);
    EXPECT_EQ(pane(*s, 3), (gfx::Rect { 299, 0, 0, 100 }));

    // The panes the delegate keeps give what the others no longer can; a pane that collapses on the way frees its
    // divider's room for the others.
    auto kept = makeSplitView(rules);
    kept->setPositionOfDivider(kept->maxPossiblePositionOfDividerAtIndex(0), 0);
    ASSERT_EQ(pane(*kept, 0).width(), 188);
    ASSERT_EQ(pane(*kept, 1).width(), 0);
    kept->setFrameSize({ 200, 100 });
    EXPECT_TRUE(kept->isSubviewCollapsed(*kept->subviews()[2])) << "the last pane gives all it has";
    EXPECT_EQ(pane(*kept, 0).width(), 188) << "the kept pane is spared";
    EXPECT_EQ(pane(*kept, 1), (gfx::Rect { 197, 0, 3, 100 })) << "the hidden divider's room, less the rest";
    kept->setFrameSize({ 150, 100 });
    EXPECT_EQ(pane(*kept, 0).width(), 141) << "the kept pane gives what no other can";
    EXPECT_EQ(pane(*kept, 1), (gfx::Rect { 150, 0, 0, 100 }));
}

// A pane at no length that the delegate now lets collapse collapses when the split view adjusts its panes, and the
// open ones take up the room of the dividers that hide beside it (the gesture test's seed 2401 left 18 points
// empty when the program added a pane).
TEST_F(SplitViewTest, APaneAtNoLengthThatMayNowCollapseGivesItsDividersRoomWhenThePanesAdjust)
{
    struct MayCollapseLater : SplitViewDelegate {
        std::optional<bool> splitViewCanCollapseSubview(SplitView& s, View& v) override
        {
            return allowed && &v == s.subviews()[1].get();
        }
        std::optional<bool> splitViewShouldHideDividerAtIndex(SplitView&, long) override { return true; }
        bool allowed { false };
    };
    auto later = std::make_shared<MayCollapseLater>();
    auto s = makeSplitView(later);
    s->setPositionOfDivider(s->maxPossiblePositionOfDividerAtIndex(0), 0);
    ASSERT_EQ(pane(*s, 0).width(), 188);
    ASSERT_EQ(pane(*s, 1).width(), 0);
    later->allowed = true;
    s->adjustSubviews();
    EXPECT_TRUE(s->isSubviewCollapsed(*s->subviews()[1]));
    EXPECT_EQ(pane(*s, 0), (gfx::Rect { 0, 0, 200, 100 })) << "two thirds of the room, as before";
    EXPECT_EQ(pane(*s, 2), (gfx::Rect { 200, 0, 100, 100 }));
}

// Adjusting the panes keeps a pane's share whole where the room has not changed, and a pane whose share comes to
// nothing collapses with its dividers' room going to the others (the gesture test's seed 6303 collapsed a pane of
// one point, its share worked out a hair under one, and left the room of two dividers empty).
TEST_F(SplitViewTest, AdjustingThePanesCollapsesOnlyAPaneWhoseShareComesToNothing)
{
    struct SecondCollapses : SplitViewDelegate {
        std::optional<bool> splitViewCanCollapseSubview(SplitView& s, View& v) override
        {
            return &v == s.subviews()[1].get();
        }
        std::optional<bool> splitViewShouldHideDividerAtIndex(SplitView&, long) override { return true; }
    };
    auto s = SplitView::create({ 0, 0, 280, 100 });
    s->setVertical(true);
    auto second = std::make_shared<SecondCollapses>();
    s->setDelegate(second);
    for (int i = 0; i < 4; ++i)
        s->addSubview(containerstest::ColorView::make({ 0, 0, 100, 100 }, gfx::Color::whiteColor()));
    add(s);
    s->setPositionOfDivider(35, 0);
    s->setPositionOfDivider(45, 1);
    s->setPositionOfDivider(182, 2);
    ASSERT_EQ(pane(*s, 1), (gfx::Rect { 44, 0, 1, 100 }));
    ASSERT_EQ(pane(*s, 3), (gfx::Rect { 191, 0, 89, 100 }));
    s->adjustSubviews();
    EXPECT_FALSE(s->isSubviewCollapsed(*s->subviews()[1]));
    EXPECT_EQ(pane(*s, 0), (gfx::Rect { 0, 0, 35, 100 }));
    EXPECT_EQ(pane(*s, 1), (gfx::Rect { 44, 0, 1, 100 }));
    EXPECT_EQ(pane(*s, 2), (gfx::Rect { 54, 0, 128, 100 }));
    EXPECT_EQ(pane(*s, 3), (gfx::Rect { 191, 0, 89, 100 }));

    // With thin dividers the panes are 35, 1, 128 and 113; thick ones leave the one-point pane no share.
    s->setDividerStyle(SplitViewDividerStyle::Thin);
    s->setPositionOfDivider(35, 0);
    s->setPositionOfDivider(37, 1);
    s->setPositionOfDivider(166, 2);
    ASSERT_EQ(pane(*s, 3), (gfx::Rect { 167, 0, 113, 100 }));
    s->setDividerStyle(SplitViewDividerStyle::Thick);
    EXPECT_TRUE(s->isSubviewCollapsed(*s->subviews()[1]));
    EXPECT_EQ(pane(*s, 0), (gfx::Rect { 0, 0, 34, 100 })) << "271 × 35 / 276";
    EXPECT_EQ(pane(*s, 2), (gfx::Rect { 34, 0, 125, 100 })) << "271 × 128 / 276";
    EXPECT_EQ(pane(*s, 3), (gfx::Rect { 168, 0, 112, 100 }));
}
