#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButton.h"
#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonBar.h"
#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredPopUpButton.h"
#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORUnanchoredButton.h"

#include "frameworks/AppKitExtensions/ZORStopGradient.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/ui/views/Window.h"

#include <cmath>

namespace {

using namespace zortest;

// An opaque grey level as a pixel.
std::uint32_t grey(double level)
{
    auto v = static_cast<unsigned>(std::lround(level * 255));
    return argb(255, v, v, v);
}

// The face gradient's grey at a position.
double face(double t)
{
    return ZORStopGradient::aquaNormalGradient()->colorAtPosition(t)->rgba()[0];
}

// A colour at an alpha over an opaque grey.
std::uint32_t over(double level, double alpha, double under)
{
    return grey(level * alpha + under * (1 - alpha));
}

class ZORAnchoredButtonBarTest : public ZORAppKitTest {
protected:
    std::shared_ptr<ZORAnchoredButtonBar> bar(gfx::Rect frame = { 10, 10, 200, 23 })
    {
        auto b = ZORAnchoredButtonBar::create(frame);
        add(b);
        return b;
    }
};

TEST_F(ZORAnchoredButtonBarTest, BarButtonsAreSmallAndOfAFixedHeight)
{
    auto button = ZORAnchoredButton::create({ 0, 0, 60, 30 }, "Add");
    EXPECT_EQ(button->frame().height(), 24);
    button->setFrame({ 5, 5, 70, 10 });
    EXPECT_EQ(button->frame(), gfx::Rect(5, 5, 70, 24));
    button->setFrameSize({ 40, 40 });
    EXPECT_EQ(button->frame().size, gfx::Size(40, 24));
    EXPECT_EQ(button->controlSize(), ui::ControlSize::Small);
    button->setControlSize(ui::ControlSize::Regular);
    EXPECT_EQ(button->controlSize(), ui::ControlSize::Small);
    auto cell = button->buttonCell();
    EXPECT_EQ(cell->buttonType(), ui::ButtonType::MomentaryPushIn);
    EXPECT_EQ(cell->bezelStyle(), ui::BezelStyle::TexturedSquare);
    EXPECT_TRUE(cell->isBordered());

    auto popUp = ZORAnchoredPopUpButton::create({ 0, 0, 60, 18 }, true);
    EXPECT_EQ(popUp->frame().height(), 24);
    popUp->setControlSize(ui::ControlSize::Mini);
    EXPECT_EQ(popUp->controlSize(), ui::ControlSize::Small);

    auto free = ZORUnanchoredButton::create({ 0, 0, 60, 30 }, "Free");
    EXPECT_EQ(free->frame().height(), 22);
    auto container = fnd::makeObject<ZORUnanchoredButtonContainer>();
    auto plain = ui::View::create({ 0, 0, 50, 40 });
    container->addSubview(plain);
    container->awakeFromNib();
    EXPECT_EQ(plain->frame().size, gfx::Size(50, 22));

    // The inset follows the bar a button moves into.
    auto bottom = bar();
    bottom->addSubview(button);
    EXPECT_EQ(button->topAndLeftInset(), gfx::Point(1, 1));
    auto top = bar({ 10, 100, 200, 24 });
    top->setSelectedIndex(2);
    top->addSubview(popUp);
    EXPECT_EQ(popUp->topAndLeftInset(), gfx::Point(0, 0));
}

TEST_F(ZORAnchoredButtonBarTest, FacesDrawExactGreysOnEveryEdgeForBottomAndTopBars)
{
    auto bottom = bar();
    auto button = ZORAnchoredButton::create({ 50, 0, 60, 24 }, {});
    bottom->addSubview(button);
    const double middle = face(12.5 / 24);
    auto image = shot(*button, "anchored-bottom");
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 30.5, 0.5 }), grey(202.0 / 255), 1)) << "top line";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 0.5, 0.5 }), grey(202.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 30.5, 23.5 }), grey(170.0 / 255), 1)) << "bottom line";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 0.5, 12.5 }), over(0, 0.2, middle), 2)) << "side";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 59.5, 12.5 }), over(0, 0.2, middle), 2)) << "side";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 1.5, 12.5 }), over(1, 0.5, middle), 2)) << "inner highlight";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 58.5, 12.5 }), over(1, 0.5, middle), 2)) << "inner highlight";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 30.5, 12.5 }), grey(middle), 2)) << "face";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 30.5, 3.5 }), grey(face(3.5 / 24)), 2)) << "face";

    // Pressed: a dark overlay over everything.
    button->setHighlighted(true);
    auto pressed = shot(*button, "anchored-pressed");
    EXPECT_TRUE(pixelNear(pixelAt(*pressed, *button, { 30.5, 12.5 }), over(0, 0.35, middle), 2));
    EXPECT_TRUE(pixelNear(pixelAt(*pressed, *button, { 30.5, 0.5 }), over(0, 0.35, 202.0 / 255), 2));
    button->setHighlighted(false);

    // Outside a bar the top bar's look: lighter top line, darker sides; the bar's end buttons close its sides.
    auto loose = ZORAnchoredButton::create({ 10, 100, 60, 24 }, {});
    add(loose);
    auto topLook = shot(*loose, "anchored-top");
    EXPECT_TRUE(pixelNear(pixelAt(*topLook, *loose, { 30.5, 0.5 }), grey(190.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*topLook, *loose, { 0.5, 12.5 }), over(0, 0.25, middle), 2));
    loose->setAtLeftEdgeOfBar(true);
    auto leftEnd = shot(*loose, "anchored-top-left-end");
    EXPECT_TRUE(pixelNear(pixelAt(*leftEnd, *loose, { 0.5, 12.5 }), grey(170.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*leftEnd, *loose, { 59.5, 12.5 }), over(0, 0.25, middle), 2));
}

TEST_F(ZORAnchoredButtonBarTest, FreeStandingButtonsHaveTheirOwnLines)
{
    auto button = ZORUnanchoredButton::create({ 10, 10, 60, 22 }, {});
    add(button);
    auto image = shot(*button, "unanchored");
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 30.5, 0.5 }), argb(20, 0, 0, 0), 1)) << "black at 0.08";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 30.5, 1.5 }), grey(126.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 30.5, 20.5 }), grey(151.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 30.5, 21.5 }), argb(138, 138, 138, 138), 1)) << "white at 0.54";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 0.5, 10.5 }), grey(151.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 59.5, 10.5 }), grey(151.0 / 255), 1));
    // The face runs upwards from the bottom of the frame less 2 points at each end.
    EXPECT_TRUE(pixelNear(pixelAt(*image, *button, { 30.5, 5.5 }), grey(face((20 - 5.5) / 18)), 2));
    // Pressed: the overlay spares the top and bottom rows.
    button->setHighlighted(true);
    auto pressed = shot(*button, "unanchored-pressed");
    EXPECT_TRUE(pixelNear(pixelAt(*pressed, *button, { 30.5, 21.5 }), argb(138, 138, 138, 138), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*pressed, *button, { 30.5, 1.5 }), over(0, 0.35, 126.0 / 255), 2));
}

TEST_F(ZORAnchoredButtonBarTest, TitlesAreSmallDarkAndShadowedAndFadeWhenDisabled)
{
    auto button = ZORAnchoredButton::create({ 0, 0, 60, 24 }, "Title");
    auto cell = button->buttonCell();
    auto attributes = [&] {
        auto title = cell->attributedTitle();
        return std::make_tuple(title->attributeAtIndex(txt::ForegroundColorAttributeName, 0).objectAs<gfx::Color>(),
            title->attributeAtIndex(txt::FontAttributeName, 0).objectAs<gfx::Font>(),
            title->attributeAtIndex(txt::ShadowAttributeName, 0).objectAs<gfx::Shadow>());
    };
    auto [color, font, shadow] = attributes();
    ASSERT_TRUE(color && font && shadow);
    EXPECT_NEAR(color->rgba()[0], 10.0 / 255, 1e-6);
    EXPECT_EQ(color->rgba()[3], 1);
    EXPECT_EQ(font->pointSize(), 11);
    EXPECT_EQ(shadow->shadowOffset(), gfx::Size(0, -1));
    EXPECT_NEAR(shadow->shadowColor()->rgba()[3], 0.75, 1e-9);
    button->setEnabled(false);
    color = std::get<0>(attributes());
    EXPECT_NEAR(color->rgba()[0], 10.0 / 255, 1e-6);
    EXPECT_NEAR(color->rgba()[3], 0.6, 1e-9);

    // The pop-up's title and its image colour follow the same rule.
    auto popUp = ZORAnchoredPopUpButton::create({ 0, 0, 80, 24 }, false);
    popUp->addItemWithTitle("Item");
    auto popUpCell = std::dynamic_pointer_cast<ZORAnchoredPopUpButtonCell>(popUp->cell());
    EXPECT_NEAR(popUpCell->imageColor()->rgba()[0], 72.0 / 255, 1e-6);
    popUp->setEnabled(false);
    EXPECT_NEAR(popUpCell->textColor()->rgba()[3], 0.6, 1e-9);
    EXPECT_NEAR(popUpCell->imageColor()->rgba()[3], 0.6, 1e-9);
    // Title rectangles: the button's a point lower, the pop-up's a point higher and 3 points in on each side.
    gfx::Rect bounds { 0, 0, 80, 24 };
    EXPECT_EQ(cell->titleRectForBounds(bounds), gfx::offsetRect(cell->ButtonCell::titleRectForBounds(bounds), 0, 1));
    auto platformTitle = popUpCell->PopUpButtonCell::titleRectForBounds(bounds);
    EXPECT_EQ(popUpCell->titleRectForBounds(bounds),
        gfx::Rect(
            platformTitle.minX() + 3, platformTitle.minY() - 1, platformTitle.width() - 6, platformTitle.height()));
}

// The dark (arrow) pixels of each row of a strip, top first.
std::vector<int> darkPerRow(const gfx::BitmapImageRep& image, const ui::View& view, double fromX, double toX)
{
    std::vector<int> rows;
    for (double y = 0.5; y < view.bounds().height(); ++y) {
        int dark = 0;
        for (double x = fromX + 0.5; x < toX; ++x)
            dark += gfx::redOf(pixelAt(image, view, { x, y })) < 160 ? 1 : 0;
        rows.push_back(dark);
    }
    return rows;
}

TEST_F(ZORAnchoredButtonBarTest, PopUpsDrawAMirroredPairOfArrowsAndPullDownsOne)
{
    auto popUp = ZORAnchoredPopUpButton::create({ 10, 10, 60, 24 }, false);
    add(popUp);
    // The arrow is 7 points wide, 11 points in from the right edge.
    auto pair = darkPerRow(*shot(*popUp, "anchored-popup-arrows"), *popUp, 49, 56);
    // Up arrow rows 7 to 10 (widest at the bottom), a row apart from the down arrow at rows 12 to 15.
    for (int row : { 0, 1, 2, 3, 4, 5, 6, 11, 16, 17, 18, 19, 20, 21, 22 })
        EXPECT_EQ(pair[std::size_t(row)], 0) << "row " << row;
    EXPECT_GT(pair[10], pair[7]);
    EXPECT_GT(pair[12], pair[15]);
    EXPECT_GE(pair[10], 6);
    EXPECT_GE(pair[12], 6);
    EXPECT_EQ(pair[7], pair[15]) << "mirror images";
    EXPECT_EQ(pair[10], pair[12]) << "mirror images";

    popUp->setPullsDown(true);
    auto single = darkPerRow(*shot(*popUp, "anchored-pulldown-arrow"), *popUp, 49, 56);
    for (int row = 0; row < 24; ++row) {
        if (row < 10 || row > 13) {
            EXPECT_EQ(single[std::size_t(row)], 0) << "row " << row;
        }
    }
    EXPECT_GT(single[10], single[13]);
}

TEST_F(ZORAnchoredButtonBarTest, TheIndexChoosesPlaceAndGripAndDecodingFollowsIt)
{
    auto b = bar();
    const struct {
        std::int32_t index;
        bool atBottom, resizable;
    } cases[] = { { 0, true, true }, { 1, true, false }, { 2, false, false }, { 7, false, false } };
    for (const auto& c : cases) {
        b->setSelectedIndex(c.index);
        EXPECT_EQ(b->selectedIndex(), c.index);
        EXPECT_EQ(b->isAtBottom(), c.atBottom) << c.index;
        EXPECT_EQ(b->isResizable(), c.resizable) << c.index;
    }

    b->setIsAtBottom(true);
    EXPECT_EQ(b->frame().height(), 23);
    EXPECT_FALSE(ZORAnchoredButtonBar::wasBorderedBar());
    b->setIsAtBottom(false);
    EXPECT_EQ(b->frame().height(), 24);
    EXPECT_TRUE(ZORAnchoredButtonBar::wasBorderedBar());
    b->setAtBottom(true);
    EXPECT_EQ(b->frame().height(), 24) << "the plain setter only stores the flag";

    // Decoded with index 2, a bar is at the top and fixed whatever its flags say.
    b->setResizable(true);
    b->setAtBottom(true);
    b->setSelectedIndex(7);
    b->setSelectedIndex(2);
    b->setResizable(true);
    b->setAtBottom(true);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(b));
    ASSERT_TRUE(data);
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(back) << back.error().localizedDescription();
    auto restored = back->objectAs<ZORAnchoredButtonBar>();
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->selectedIndex(), 2);
    EXPECT_FALSE(restored->isAtBottom());
    EXPECT_FALSE(restored->isResizable());
}

TEST_F(ZORAnchoredButtonBarTest, TheBarDrawsItsLinesGripAndTheInsetAfterItsLastButton)
{
    auto b = bar();
    // Bottom bar (y up): the face fills all but the top row, which holds the top line.
    auto plain = [](double y) { return face((22 - y) / 22); };
    auto image = shot(*b, "bar-bottom");
    EXPECT_TRUE(pixelNear(pixelAt(*image, *b, { 100.5, 22.5 }), grey(202.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*image, *b, { 100.5, 10.5 }), grey(plain(10.5)), 2));
    // The grip: three dark lines three pixels apart from x = width - 11, y 6 to 16, each with a light line
    // a pixel right and lower.
    for (double x : { 189.5, 192.5, 195.5 }) {
        EXPECT_TRUE(pixelNear(pixelAt(*image, *b, { x, 10.5 }), over(0, 0.598, plain(10.5)), 2)) << x;
        EXPECT_TRUE(pixelNear(pixelAt(*image, *b, { x + 1, 10.5 }), over(1, 0.55, plain(10.5)), 2)) << x;
    }
    EXPECT_TRUE(pixelNear(pixelAt(*image, *b, { 189.5, 16.5 }), grey(plain(16.5)), 2)) << "above the grip";
    EXPECT_TRUE(pixelNear(pixelAt(*image, *b, { 191.5, 10.5 }), grey(plain(10.5)), 2)) << "between grip lines";
    b->setHandleIsRightAligned(true);
    auto left = shot(*b, "bar-grip-left");
    EXPECT_TRUE(pixelNear(pixelAt(*left, *b, { 4.5, 10.5 }), over(0, 0.598, plain(10.5)), 2));
    EXPECT_TRUE(pixelNear(pixelAt(*left, *b, { 189.5, 10.5 }), grey(plain(10.5)), 2));

    // Top bar: lines on every edge, no grip.
    b->setSelectedIndex(2);
    b->setFrameSize({ 200, 24 });
    auto top = shot(*b, "bar-top");
    EXPECT_TRUE(pixelNear(pixelAt(*top, *b, { 100.5, 23.5 }), grey(190.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*top, *b, { 100.5, 0.5 }), grey(170.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*top, *b, { 0.5, 12.5 }), grey(170.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*top, *b, { 199.5, 12.5 }), grey(170.0 / 255), 1));
    EXPECT_TRUE(pixelNear(pixelAt(*top, *b, { 189.5, 10.5 }), grey(face((23 - 10.5) / 22)), 2)) << "no grip";

    // Buttons: the one at x = 0 touches the left end, the one reaching the bar's right edge the right end; the
    // rightmost gets a light line just after it.
    b->setSelectedIndex(1);
    b->setFrameSize({ 200, 23 });
    auto first = ZORAnchoredButton::create({ 0, 0, 40, 24 }, {});
    auto second = ZORAnchoredButton::create({ 40, 0, 40, 24 }, {});
    auto last = ZORAnchoredPopUpButton::create({ 150, 0, 50, 24 }, true);
    auto stranger = ui::View::create({ 100, 0, 10, 10 });
    for (const auto& v : std::vector<std::shared_ptr<ui::View>> { first, second, stranger, last })
        b->addSubview(v);
    shot(*b, "bar-buttons");
    EXPECT_TRUE(first->isAtLeftEdgeOfBar());
    EXPECT_FALSE(first->isAtRightEdgeOfBar());
    EXPECT_FALSE(second->isAtLeftEdgeOfBar());
    EXPECT_FALSE(second->isAtRightEdgeOfBar());
    EXPECT_TRUE(last->isAtRightEdgeOfBar());
    last->removeFromSuperview();
    auto inset = shot(*b, "bar-last-inset");
    EXPECT_TRUE(pixelNear(pixelAt(*inset, *b, { 80.5, 10.5 }), over(1, 0.5, plain(10.5)), 2));
    EXPECT_TRUE(pixelNear(pixelAt(*inset, *b, { 81.5, 10.5 }), grey(plain(10.5)), 2));
}

TEST_F(ZORAnchoredButtonBarTest, APressBringsTheButtonToTheFrontAndStillClicks)
{
    auto b = bar();
    auto first = ZORAnchoredButton::create({ 0, 0, 40, 24 }, "1");
    auto second = ZORAnchoredButton::create({ 39, 0, 40, 24 }, "2");
    auto third = ZORAnchoredButton::create({ 78, 0, 40, 24 }, "3");
    for (const auto& v : { first, second, third })
        b->addSubview(v);
    first->setTarget(log);
    first->setAction("clicked:");
    press(*first, { 20, 12 });
    release(*first, { 20, 12 });
    dispatch();
    std::vector<ui::View*> order;
    for (const auto& v : b->subviews())
        order.push_back(v.get());
    EXPECT_EQ(order, (std::vector<ui::View*> { second.get(), third.get(), first.get() }));
    EXPECT_EQ(log->received, (std::vector<std::string> { "clicked" }));
}

}

namespace {

using namespace zortest;

// Answers only whether a pane may collapse, and counts what it hears.
class CollapsingDelegate : public ui::SplitViewDelegate {
public:
    std::optional<bool> splitViewCanCollapseSubview(ui::SplitView&, ui::View&) override
    {
        ++asked;
        return true;
    }
    int asked { 0 };
};

class ZORAnchoredButtonBarSplitTest : public ZORAppKitTest {
protected:
    ZORAnchoredButtonBarSplitTest()
    {
        split = ui::SplitView::create({ 10, 10, 301, 200 });
        split->setVertical(true);
        split->setDividerStyle(ui::SplitViewDividerStyle::Thin);
        for (int i = 0; i < 2; ++i)
            split->addSubview(ui::View::create({ 0, 0, 150, 200 }));
        add(split);
        split->adjustSubviews();
        left = ZORAnchoredButtonBar::create({ 0, 0, 150, 23 });
        right = ZORAnchoredButtonBar::create({ 0, 0, 150, 23 });
        split->subviews()[0]->addSubview(left);
        split->subviews()[1]->addSubview(right);
    }
    std::shared_ptr<ui::SplitView> split;
    std::shared_ptr<ZORAnchoredButtonBar> left, right;
};

TEST_F(ZORAnchoredButtonBarSplitTest, AResizableBarLetsTheDividerBeDraggedByItsGrip)
{
    EXPECT_EQ(left->splitView(), split);
    EXPECT_FALSE(left->isInLastSubview());
    EXPECT_TRUE(right->isInLastSubview());
    EXPECT_FALSE(left->handleIsRightAligned());
    EXPECT_TRUE(right->handleIsRightAligned()) << "the grip goes to the end next to the divider";
    left->awakeFromNib();
    EXPECT_EQ(split->delegate().get(), static_cast<ui::SplitViewDelegate*>(left.get()));

    // The strip is the bar's last 15 points, at the bottom of the flipped split view.
    auto strip = left->splitViewAdditionalEffectiveRectOfDividerAtIndex(*split, 0);
    ASSERT_TRUE(strip);
    EXPECT_EQ(*strip, gfx::Rect(135, 177, 15, 23));
    auto leftEnd = right->splitViewAdditionalEffectiveRectOfDividerAtIndex(*split, 0);
    ASSERT_TRUE(leftEnd);
    EXPECT_EQ(*leftEnd, gfx::Rect(split->subviews()[1]->frame().minX(), 177, 15, 23));

    // Dragging from the grip moves the divider.
    double before = split->positionOfDivider(0);
    press(*left, { 140, 10 });
    drag(*left, { 170, 10 });
    release(*left, { 170, 10 });
    dispatch();
    EXPECT_NEAR(split->positionOfDivider(0), before + 30, 0.5);
}

TEST_F(ZORAnchoredButtonBarSplitTest, QuestionsGoToItsOwnDelegateFirst)
{
    auto& pane = *split->subviews()[0];
    EXPECT_EQ(left->splitViewCanCollapseSubview(*split, pane), false);
    EXPECT_EQ(left->splitViewShouldHideDividerAtIndex(*split, 0), false);
    EXPECT_EQ(left->splitViewConstrainSplitPosition(*split, 42, 0), 42);
    EXPECT_EQ(
        left->splitViewEffectiveRectForDrawnRect(*split, { 0, 0, 9, 9 }, { 1, 1, 1, 1 }, 0), gfx::Rect(1, 1, 1, 1));
    auto delegate = std::make_shared<CollapsingDelegate>();
    left->setSplitViewDelegate(delegate);
    EXPECT_EQ(left->splitViewCanCollapseSubview(*split, pane), true);
    EXPECT_EQ(delegate->asked, 1);
    EXPECT_EQ(left->splitViewConstrainMinCoordinate(*split, 7, 0), 7)
        << "what it does not answer keeps the bar's answer";
    // A bar that is not resizable, or in a horizontal split view, leaves the delegate alone.
    split->setDelegate(nullptr);
    left->setResizable(false);
    left->awakeFromNib();
    EXPECT_FALSE(split->delegate());
    left->setResizable(true);
    split->setVertical(false);
    left->awakeFromNib();
    EXPECT_FALSE(split->delegate());
}

}
