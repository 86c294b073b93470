// Dividers: cursor rects, scripted drags and double clicks, crossings of nested dividers, the window growing.
#include "SplitViewTestSupport.h"

#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"

namespace {

using namespace kjtest;

// A vertical split view 406 points wide with a 6-point divider image: two panes of 200 by default.
class KJSplitViewDividersTest : public SplitViewTest {
protected:
    KJSplitViewDividersTest()
        : SplitViewTest({ 406, 200 })
    {
        split->setDivider(dividerImage({ 6, 6 }));
    }
    void panes(const std::vector<double>& dimensions)
    {
        std::string name = "a";
        for (double d : dimensions) {
            auto p = KJSplitSubview::create({ 0, 0, d, 200 });
            p->setIdentifier(fnd::String(name));
            split->addSubview(p);
            name[0] += 1;
        }
        split->adjustSubviews();
    }
    std::vector<ui::View::CursorRect> cursorRects()
    {
        split->discardCursorRects();
        split->resetCursorRects();
        return split->cursorRects();
    }
};

TEST_F(KJSplitViewDividersTest, DividersGetTheResizeCursorOnlyWithAnImage)
{
    panes({ 200, 200 });
    EXPECT_EQ(split->dividerThickness(), 6) << "the image's width in a vertical split view";
    auto rects = cursorRects();
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].rect, gfx::Rect(200, 0, 6, 200));
    EXPECT_EQ(rects[0].cursor, ui::Cursor::resizeLeftRightCursor());

    // Without an image: no cursor rects, and pressing the divider does nothing.
    split->setDivider(nullptr);
    split->setDividerThickness(6);
    split->adjustSubviews();
    EXPECT_TRUE(cursorRects().empty());
    dragDivider({ 203, 50 }, { { 253, 50 } });
    EXPECT_EQ(sizes(*split), "200 200");

    // A delegate can still let a pane drag a divider.
    delegate->dragFrom = pane(0).get();
    delegate->dragDivider = 0;
    dragDivider({ 100, 50 }, { { 130, 50 }, { 160, 60 } });
    EXPECT_EQ(sizes(*split), "260 140");
    EXPECT_EQ(pane(0)->actDivider(), KJSplitSubview::NoDivider);
    // An index past the last divider means none.
    delegate->dragDivider = 1;
    dragDivider({ 100, 50 }, { { 150, 50 } });
    EXPECT_EQ(sizes(*split), "260 140");
}

TEST_F(KJSplitViewDividersTest, DraggingMovesTheDividerAndPushesPastPanesAtTheirMinimum)
{
    panes({ 200, 200 });
    dragDivider({ 203, 50 }, { { 223, 50 }, { 253, 80 } });
    EXPECT_EQ(sizes(*split), "250 150");
    EXPECT_EQ(split->dividerRects()[0].minX(), 250);
    EXPECT_FALSE(split->isDragging());
    dragDivider({ 252, 50 }, { { 152, 50 } });
    EXPECT_EQ(sizes(*split), "150 250");
}

TEST_F(KJSplitViewDividersTest, ANeighbourAtItsMinimumLetsTheNextOneShrink)
{
    panes({ 100, 100, 194 });
    ASSERT_EQ(sizes(*split), "100 100 194");
    pane(1)->setMinDimension(100, 0);
    dragDivider({ 103, 50 }, { { 153, 50 } });
    EXPECT_EQ(sizes(*split), "150 100 144");
}

TEST_F(KJSplitViewDividersTest, DraggedBelowFortyFivePercentAPaneCollapsesAndOpensPastFiftyFive)
{
    panes({ 200, 200 });
    pane(1)->setMinDimension(100, 0);
    pane(1)->setCanCollapse(true);
    dragDivider({ 203, 50 }, { { 343, 50 } });
    EXPECT_EQ(sizes(*split), "300 100") << "60 points is above 45: it stops at its minimum";
    dragDivider({ 303, 50 }, { { 350, 50 } });
    EXPECT_EQ(sizes(*split), "300 100") << "proposed 53: still above 45";
    dragDivider({ 303, 50 }, { { 360, 50 } });
    EXPECT_EQ(sizes(*split), "400 0") << "proposed 43: collapses";
    EXPECT_EQ(delegate->events, (std::vector<std::string> { "collapse b" }));

    // Open again: 50 points is not enough, 60 is.
    press({ 403, 50 });
    dragTo({ 353, 50 });
    release({ 353, 50 });
    dispatch();
    EXPECT_EQ(sizes(*split), "400 0");
    dragDivider({ 403, 50 }, { { 353, 50 }, { 343, 50 } });
    EXPECT_EQ(sizes(*split), "300 100");
}

TEST_F(KJSplitViewDividersTest, DoubleClickCollapsesTheSmallerPaneUnlessTheDelegateChooses)
{
    panes({ 150, 250 });
    pane(0)->setCanCollapse(true);
    pane(1)->setCanCollapse(true);
    doubleClick({ 153, 50 });
    EXPECT_EQ(sizes(*split), "0 400");
    // Double-clicking again opens it at the dimension it had.
    doubleClick({ 3, 50 });
    EXPECT_EQ(sizes(*split), "150 250");

    // Equal panes: the trailing one.
    split->setFrameSize({ 406, 200 });
    pane(0)->setDimension(200);
    ASSERT_EQ(sizes(*split), "200 200");
    doubleClick({ 203, 50 });
    EXPECT_EQ(sizes(*split), "400 0");
    doubleClick({ 403, 50 });
    EXPECT_EQ(sizes(*split), "200 200");

    // The delegate names the larger one, or none.
    pane(0)->setDimension(150);
    delegate->collapseChoice = pane(1);
    doubleClick({ 153, 50 });
    EXPECT_EQ(sizes(*split), "400 0");
    doubleClick({ 403, 50 });
    delegate->collapseChoice = std::shared_ptr<KJSplitSubview>();
    doubleClick({ 153, 50 });
    EXPECT_EQ(sizes(*split), "150 250");
}

TEST_F(KJSplitViewDividersTest, DoubleClickCollapsesTheTrailingPaneWhenTheSmallerLeadingOneCannot)
{
    panes({ 150, 250 });
    pane(0)->setCanCollapse(true);
    pane(1)->setCanCollapse(true);
    // Collapsing the leading pane would grow the trailing one to 400, past its maximum.
    pane(1)->setMinDimension(1, 300);
    doubleClick({ 153, 50 });
    EXPECT_EQ(sizes(*split), "400 0");
}

TEST_F(KJSplitViewDividersTest, ADelegateCanMakeTheDividerInert)
{
    panes({ 200, 200 });
    delegate->handleEvents = false;
    dragDivider({ 203, 50 }, { { 253, 50 } });
    EXPECT_EQ(sizes(*split), "200 200");
    auto click = ui::Event::mouseEventWithType(
        ui::EventType::LeftMouseDown, { 10, 10 }, ui::ModifierFlags::Command, 0, window->windowNumber(), 1, 1);
    EXPECT_FALSE(split->acceptsFirstMouse(click.get())) << "Command held: no first mouse";
    auto plain
        = ui::Event::mouseEventWithType(ui::EventType::LeftMouseDown, { 10, 10 }, 0, 0, window->windowNumber(), 1, 1);
    EXPECT_TRUE(split->acceptsFirstMouse(plain.get()));
}

TEST_F(KJSplitViewDividersTest, CrossingDividersShowTheOpenHandAndMoveTogether)
{
    // Left: a stacked split view of two panes of 97 with a 6-point divider at y 97; right: one pane.
    auto nested = KJSplitView::create({ 0, 0, 200, 200 });
    nested->addSubview(KJSplitSubview::create({ 0, 0, 200, 97 }));
    nested->addSubview(KJSplitSubview::create({ 0, 0, 200, 97 }));
    split->addSubview(nested);
    split->addSubview(KJSplitSubview::create({ 0, 0, 200, 200 }));
    split->adjustSubviews();
    ASSERT_EQ(sizes(*nested), "97 97");

    auto rects = cursorRects();
    ASSERT_EQ(rects.size(), 2u);
    EXPECT_EQ(rects[0].rect, gfx::Rect(200, 97, 6, 6)) << "the crossing";
    EXPECT_EQ(rects[0].cursor, ui::Cursor::openHandCursor());
    EXPECT_EQ(rects[1].cursor, ui::Cursor::resizeLeftRightCursor());

    dragDivider({ 203, 100 }, { { 233, 130 }, { 253, 150 } });
    EXPECT_EQ(sizes(*split), "250 150");
    EXPECT_EQ(sizes(*nested), "147 47");
}

TEST_F(KJSplitViewDividersTest, TheWindowCanGrowInsteadOfTheNeighbour)
{
    panes({ 200, 200 });
    delegate->resizeWindow = true;
    double width = window->frame().width();
    dragDivider({ 203, 50 }, { { 253, 50 } });
    EXPECT_EQ(window->frame().width(), width + 50);
    EXPECT_EQ(sizes(*split), "250 200");
}

}

namespace {

// Opaque content: the window's background does not show through it.
class SolidContent : public ui::View {
    FND_OBJECT(SolidContent)
public:
    static std::shared_ptr<SolidContent> create(gfx::Rect frame)
    {
        auto view = ui::makeView<SolidContent>(frame);
        return view;
    }
    bool isOpaque() const override { return true; }
};
FND_REGISTER_CLASS(SolidContent, ui::View)

// A press on a pane where the window's background shows moves a window movable by its background by the pointer's
// way on the screen; content that is opaque, a split view with a background, or a window that does not move by its
// background keep it in place. A press on a divider still drags the divider.
TEST_F(KJSplitViewDividersTest, APressOnAPanesBackgroundMovesTheWindow)
{
    panes({ 200, 200 });
    auto opaqueContent = SolidContent::create({ 20, 20, 50, 50 });
    pane(1)->addSubview(opaqueContent);
    struct Case {
        const char* what;
        bool movable;
        gfx::ColorPtr background;
        gfx::Point press; // in the split view
        gfx::Size expectedMove;
    };
    const Case cases[] = {
        { "the first pane's background", true, nullptr, { 100, 100 }, { 40, -25 } },
        { "the second pane's background", true, nullptr, { 380, 20 }, { 40, -25 } },
        { "opaque content in a pane", true, nullptr, { 206 + 40, 200 - 40 }, { 0, 0 } },
        { "a window that does not move by its background", false, nullptr, { 100, 100 }, { 0, 0 } },
        { "a split view with a background", true, gfx::Color::colorWithCalibratedWhite(0.5), { 100, 100 }, { 0, 0 } },
    };
    for (const auto& c : cases) {
        window->setMovableByWindowBackground(c.movable);
        split->setBackground(c.background);
        auto before = window->frame();
        auto start = window->convertBaseToScreen(split->convertPointToView(c.press, nullptr));
        press(c.press);
        backend->mouseDragged({ start.x + 15, start.y - 5 });
        backend->mouseDragged({ start.x + 40, start.y - 25 });
        backend->mouseUp({ start.x + 40, start.y - 25 });
        dispatch();
        EXPECT_EQ(window->frame().origin,
            gfx::Point(before.minX() + c.expectedMove.width, before.minY() + c.expectedMove.height))
            << c.what;
        EXPECT_EQ(sizes(*split), "200 200") << c.what;
    }

    // Which presses may move the window is settled by the hit test.
    window->setMovableByWindowBackground(true);
    split->setBackground(nullptr);
    EXPECT_TRUE(split->hitTest(split->convertPointToView({ 100, 100 }, split->superview().get())));
    EXPECT_TRUE(pane(0)->canDragWindow());
    pane(1)->hitTest({ 246, 160 });
    EXPECT_FALSE(pane(1)->canDragWindow()) << "the opaque content's own background shows there";

    dragDivider({ 203, 50 }, { { 233, 50 } });
    EXPECT_EQ(sizes(*split), "230 170") << "the divider drags, the window stays";
}

// The split view never moves the window itself, takes first clicks unless Command is held, and with Command held
// leaves its inactive window behind until the release.
TEST_F(KJSplitViewDividersTest, CommandClicksLeaveAnInactiveWindowBehind)
{
    panes({ 200, 200 });
    EXPECT_FALSE(split->mouseDownCanMoveWindow());
    auto command = ui::Event::mouseEventWithType(
        ui::EventType::LeftMouseDown, { 10, 10 }, ui::ModifierFlags::Command, 0, window->windowNumber(), 1, 1);
    auto plain
        = ui::Event::mouseEventWithType(ui::EventType::LeftMouseDown, { 10, 10 }, 0, 0, window->windowNumber(), 1, 1);
    EXPECT_TRUE(split->shouldDelayWindowOrderingForEvent(*command));
    EXPECT_FALSE(split->shouldDelayWindowOrderingForEvent(*plain));

    auto other = ui::Window::create({ 600, 100, 200, 200 });
    other->makeKeyAndOrderFront();
    press({ 203, 50 }, 1, ui::ModifierFlags::Command);
    dispatch();
    EXPECT_EQ(app().orderedWindows().front(), other) << "behind while the button is held";
    release({ 203, 50 });
    dispatch();
    EXPECT_EQ(app().orderedWindows().front(), window);
    other->close();
}

}
