#include "ContainersTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"

#include <cmath>
#include <limits>

using namespace ui;
using containerstest::ContainersTest;

namespace {

// A document that passes wheel events on, as real documents do, and fills itself so pictures show it.
class Document : public View {
    FND_OBJECT(Document)
public:
    static std::shared_ptr<Document> make(gfx::Size size, bool flipped = true)
    {
        auto view = std::make_shared<Document>();
        view->initWithFrame({ 0, 0, size.width, size.height });
        view->flipped = flipped;
        return view;
    }
    bool isFlipped() const override { return flipped; }
    void drawRect(gfx::Rect) override
    {
        gfx::Color::colorWithCalibratedRed(0.85, 0.9, 1)->setFill();
        gfx::BezierPath::fillRect(bounds());
    }
    bool flipped { true };
};
FND_REGISTER_CLASS(Document, View)

// Keeps a narrower document centred and rounds every scroll to whole points, as a zooming preview does.
class CentringClipView : public ClipView {
    FND_OBJECT(CentringClipView)
public:
    gfx::Point constrainScrollPoint(gfx::Point p) override
    {
        auto doc = documentView() ? documentView()->frame().size : gfx::Size {};
        auto b = bounds().size;
        auto axis = [](double proposed, double d, double v) {
            return d < v ? std::round((d - v) / 2) : std::round(std::clamp(proposed, 0.0, d - v));
        };
        return { axis(p.x, doc.width, b.width), axis(p.y, doc.height, b.height) };
    }
};
FND_REGISTER_CLASS(CentringClipView, ClipView)

// Puts a view of its own right of the horizontal scroller, shortening the scroller.
class AccessoryScrollView : public ScrollView {
    FND_OBJECT(AccessoryScrollView)
public:
    void tile() override
    {
        ScrollView::tile();
        if (!accessory || !horizontalScroller())
            return;
        auto h = horizontalScroller()->frame();
        horizontalScroller()->setFrameSize({ h.width() - 60, h.height() });
        accessory->setFrame({ h.maxX() - 60, h.minY(), 60, h.height() });
    }
    std::shared_ptr<View> accessory;
};
FND_REGISTER_CLASS(AccessoryScrollView, ScrollView)

class ScrollViewTest : public ContainersTest {
protected:
    // A 215 × 215 scroll view with both legacy scrollers around a 200 × 200 clip view and a 400 × 1000 document.
    std::shared_ptr<ScrollView> makeScrollView(bool flippedDocument = true)
    {
        auto scrollView = ScrollView::create({ 20, 20, 215, 215 });
        scrollView->setHasVerticalScroller(true);
        scrollView->setHasHorizontalScroller(true);
        document = Document::make({ 400, 1000 }, flippedDocument);
        scrollView->setDocumentView(document);
        add(scrollView);
        return scrollView;
    }
    gfx::Point origin(const ScrollView& s) const { return s.contentView()->bounds().origin; }
    void wheel(ScrollView& s, double dx, double dy, unsigned flags = 0)
    {
        backend->scrollWheel(*window, at(s, { 100, 100 }), dx, dy, flags);
        dispatch();
    }

    std::shared_ptr<Document> document;
};

}

TEST_F(ScrollViewTest, TileGivesEachLegacyScrollerItsStripAndTheBorderOnePoint)
{
    auto s = makeScrollView();
    EXPECT_EQ(s->contentView()->frame(), (gfx::Rect { 0, 0, 200, 200 }));
    EXPECT_EQ(s->verticalScroller()->frame(), (gfx::Rect { 200, 0, 15, 200 }));
    EXPECT_EQ(s->horizontalScroller()->frame(), (gfx::Rect { 0, 200, 200, 15 }));
    EXPECT_DOUBLE_EQ(s->verticalScroller()->knobProportion(), 0.2);
    EXPECT_DOUBLE_EQ(s->horizontalScroller()->knobProportion(), 0.5);

    s->setBorderType(BorderType::LineBorder);
    EXPECT_EQ(s->contentView()->frame(), (gfx::Rect { 1, 1, 198, 198 }));
    EXPECT_EQ(s->verticalScroller()->frame(), (gfx::Rect { 199, 1, 15, 198 }));
    EXPECT_EQ(ScrollView::contentSizeForFrameSize({ 215, 215 }, true, true, BorderType::BezelBorder),
        (gfx::Size { 198, 198 }));
    EXPECT_EQ(ScrollView::frameSizeForContentSize({ 198, 198 }, true, true, BorderType::BezelBorder),
        (gfx::Size { 215, 215 }));

    // Overlay scrollers lie over the content, which keeps the whole inside.
    s->setBorderType(BorderType::NoBorder);
    s->setScrollerStyle(ScrollerStyle::Overlay);
    EXPECT_EQ(s->contentView()->frame(), (gfx::Rect { 0, 0, 215, 215 }));
    EXPECT_EQ(s->verticalScroller()->frame(), (gfx::Rect { 200, 0, 15, 200 }));
    auto& subviews = s->subviews();
    EXPECT_EQ(subviews.front(), s->contentView()) << "scrollers are drawn over the clip view";
}

TEST_F(ScrollViewTest, WheelScrollsByLinesOrPreciseDeltasWithinTheDocument)
{
    auto s = makeScrollView();
    wheel(*s, 0, -3);
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 30 })) << "three notches of ten points, down";
    backend->preciseScrollWheel(*window, at(*s, { 100, 100 }), 0, -25);
    dispatch();
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 55 }));
    wheel(*s, 0, 100);
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 0 })) << "not above the document's top";
    wheel(*s, 0, -1000);
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 800 })) << "not below its end";
    EXPECT_DOUBLE_EQ(s->verticalScroller()->doubleValue(), 1.0);
    wheel(*s, 0, -2, ModifierFlags::Shift);
    EXPECT_EQ(origin(*s), (gfx::Point { 20, 800 })) << "Shift turns a wheel sideways";
    EXPECT_DOUBLE_EQ(s->horizontalScroller()->doubleValue(), 0.1);
    EXPECT_EQ(s->documentVisibleRect(), (gfx::Rect { 20, 800, 200, 200 }));
}

TEST_F(ScrollViewTest, AnUnflippedDocumentStartsAtItsTopAndScrollsDownwards)
{
    auto s = makeScrollView(false);
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 800 }));
    EXPECT_DOUBLE_EQ(s->verticalScroller()->doubleValue(), 0.0);
    wheel(*s, 0, -3);
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 770 }));
    EXPECT_DOUBLE_EQ(s->verticalScroller()->doubleValue(), 30.0 / 800);
    // A small unflipped document sits at the bottom of the clip view.
    document->setFrameSize({ 100, 50 });
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 0 }));
}

TEST_F(ScrollViewTest, DraggingTheKnobAndClickingPagesAndArrowsMoveTheClipView)
{
    auto s = makeScrollView();
    auto& v = *s->verticalScroller();
    // Slot between the arrows: 15..185, knob 34 long (a fifth), so 136 points of travel for 800 of document.
    EXPECT_EQ(v.rectForPart(ScrollerPart::Knob), (gfx::Rect { 0, 15, 15, 34 }));
    press(v, { 7, 30 });
    drag(v, { 7, 64 });
    drag(v, { 7, 98 });
    release(v, { 7, 98 });
    dispatch();
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 400 }));
    EXPECT_DOUBLE_EQ(v.doubleValue(), 0.5);
    drag(v, { 7, 300 }); // after the release the knob no longer follows
    dispatch();
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 400 }));

    click(v, { 7, 170 });
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 590 })) << "a page keeps ten points of the old view";
    click(v, { 7, 20 });
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 400 })) << "a click above the knob pages up";
    click(v, { 7, 192 });
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 410 })) << "the lower arrow scrolls a line";
    click(v, { 7, 5 });
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 400 }));
}

TEST_F(ScrollViewTest, HoldingAnArrowRepeatsUntilTheButtonGoesUp)
{
    auto s = makeScrollView();
    auto& v = *s->verticalScroller();
    press(v, { 7, 192 });
    // The release comes after the first repeat delay and six repeats.
    backend->after(0.35 + 6 * 0.05 + 0.01, [&] { release(v, { 7, 192 }); });
    dispatch();
    EXPECT_EQ(origin(*s), (gfx::Point { 0, 80 })) << "the click, then seven repeats";
}

TEST_F(ScrollViewTest, ScrollRectToVisibleMovesNestedClipViewsInnermostFirst)
{
    auto outer = makeScrollView();
    auto inner = ScrollView::create({ 0, 500, 150, 150 });
    auto innerDocument = Document::make({ 300, 600 });
    inner->setDocumentView(innerDocument);
    document->addSubview(inner);

    EXPECT_TRUE(innerDocument->scrollRectToVisible({ 0, 400, 20, 20 }));
    EXPECT_EQ(origin(*inner), (gfx::Point { 0, 270 }));
    EXPECT_EQ(origin(*outer), (gfx::Point { 0, 450 }));
    EXPECT_FALSE(innerDocument->scrollRectToVisible({ 0, 400, 20, 20 })) << "already visible";
    // A rect larger than the view shows its start; one past the end is constrained.
    EXPECT_TRUE(document->scrollRectToVisible({ 0, 100, 50, 400 }));
    EXPECT_EQ(origin(*outer), (gfx::Point { 0, 100 }));
    document->scrollRectToVisible({ 390, 990, 50, 50 });
    EXPECT_EQ(origin(*outer), (gfx::Point { 200, 800 }));
    EXPECT_EQ(inner->enclosingScrollView(), outer);
}

TEST_F(ScrollViewTest, EveryScrollGoesThroughTheClipViewsConstraint)
{
    auto s = makeScrollView();
    auto clip = std::make_shared<CentringClipView>();
    clip->initWithFrame({});
    s->setContentView(clip);
    EXPECT_EQ(clip->documentView(), document) << "the document moves to the new clip view";
    document->setFrameSize({ 100, 1000 });
    EXPECT_EQ(origin(*s), (gfx::Point { -50, 0 }));
    wheel(*s, 0, -1.25);
    EXPECT_EQ(origin(*s), (gfx::Point { -50, 13 })) << "12.5 rounded";
    clip->scrollToPoint({ 30, 40.4 });
    EXPECT_EQ(origin(*s), (gfx::Point { -50, 40 }));
    document->scrollPoint({ 0, 2000 });
    EXPECT_EQ(origin(*s), (gfx::Point { -50, 800 }));

    // A drag that left the view scrolls it by the distance it is outside, through the same constraint.
    clip->scrollToPoint({ 0, 300 });
    auto above
        = Event::mouseEventWithType(EventType::LeftMouseDragged, at(*clip, { 0, 269.6 }), 0, 0, window->windowNumber());
    EXPECT_TRUE(document->autoscroll(*above));
    EXPECT_EQ(origin(*s), (gfx::Point { -50, 270 }));
    auto inside
        = Event::mouseEventWithType(EventType::LeftMouseDragged, at(*clip, { 0, 400 }), 0, 0, window->windowNumber());
    EXPECT_FALSE(document->autoscroll(*inside));
}

// A scroll to a coordinate that is not a number keeps that coordinate where it was (the constraint's std::clamp let
// NaN through into the bounds), and an assistive technology setting a scroller to NaN moves nothing.
TEST_F(ScrollViewTest, CoordinatesThatAreNoNumbersScrollNowhere)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    auto s = makeScrollView();
    auto clip = s->contentView();
    clip->scrollToPoint({ 30, 40 });
    clip->scrollToPoint({ NaN, 100 });
    EXPECT_EQ(origin(*s), (gfx::Point { 30, 100 }));
    clip->scrollToPoint({ 50, NaN });
    EXPECT_EQ(origin(*s), (gfx::Point { 50, 100 }));

    auto scroller = s->verticalScroller();
    ASSERT_TRUE(scroller);
    const double before = scroller->doubleValue();
    scroller->accessibilitySetValue(fnd::Value(NaN), "AXValue");
    EXPECT_EQ(scroller->doubleValue(), before);
    EXPECT_EQ(origin(*s), (gfx::Point { 50, 100 }));
}

TEST_F(ScrollViewTest, AutohidingScrollersAppearOnlyWhenTheDocumentOutgrowsTheView)
{
    auto s = makeScrollView();
    s->setAutohidesScrollers(true);
    document->setFrameSize({ 100, 100 });
    EXPECT_TRUE(s->verticalScroller()->isHidden());
    EXPECT_TRUE(s->horizontalScroller()->isHidden());
    EXPECT_EQ(s->contentView()->frame(), (gfx::Rect { 0, 0, 215, 215 }));

    document->setFrameSize({ 100, 1000 });
    EXPECT_FALSE(s->verticalScroller()->isHidden());
    EXPECT_TRUE(s->horizontalScroller()->isHidden());
    EXPECT_EQ(s->contentView()->frame(), (gfx::Rect { 0, 0, 200, 215 }));

    // 210 wide fits 215 but not the 200 left beside the vertical scroller: both show.
    document->setFrameSize({ 210, 1000 });
    EXPECT_FALSE(s->horizontalScroller()->isHidden());
    EXPECT_EQ(s->contentView()->frame(), (gfx::Rect { 0, 0, 200, 200 }));
}

TEST_F(ScrollViewTest, ASubclassTilePlacesAViewBesideTheHorizontalScrollerOnEveryLayout)
{
    auto s = std::make_shared<AccessoryScrollView>();
    s->accessory = View::create();
    s->initWithFrame({ 20, 20, 215, 215 });
    s->addSubview(s->accessory);
    s->setHasVerticalScroller(true);
    s->setHasHorizontalScroller(true);
    s->setDocumentView(Document::make({ 400, 1000 }));
    add(s);
    EXPECT_EQ(s->horizontalScroller()->frame(), (gfx::Rect { 0, 200, 140, 15 }));
    EXPECT_EQ(s->accessory->frame(), (gfx::Rect { 140, 200, 60, 15 }));

    window->setContentSize({ 500, 300 });
    s->setFrameSize({ 315, 215 });
    EXPECT_EQ(s->horizontalScroller()->frame(), (gfx::Rect { 0, 200, 240, 15 }));
    EXPECT_EQ(s->accessory->frame(), (gfx::Rect { 240, 200, 60, 15 }));
}

TEST_F(ScrollViewTest, RulersTakeTheirThicknessAboveAndLeftOfTheContent)
{
    auto s = makeScrollView();
    auto top = View::create({ 0, 0, 10, 22 });
    auto side = View::create({ 0, 0, 30, 10 });
    s->setHorizontalRulerView(top);
    s->setVerticalRulerView(side);
    s->setHasHorizontalRuler(true);
    s->setHasVerticalRuler(true);
    EXPECT_TRUE(top->isHidden()) << "rulers show only while visible";
    s->setRulersVisible(true);
    EXPECT_EQ(top->frame(), (gfx::Rect { 30, 0, 170, 22 }));
    EXPECT_EQ(side->frame(), (gfx::Rect { 0, 22, 30, 178 }));
    EXPECT_EQ(s->contentView()->frame(), (gfx::Rect { 30, 22, 170, 178 }));
}

TEST_F(ScrollViewTest, DrawsBothScrollersWithTheKnobWhereTheDocumentIs)
{
    window->setContentSize({ 260, 260 });
    auto s = makeScrollView();
    s->setBorderType(BorderType::LineBorder);
    wheel(*s, 0, -40);
    auto image = snapshot(*window, "scroll-view");
    auto& v = *s->verticalScroller();
    auto& h = *s->horizontalScroller();
    auto knob = v.rectForPart(ScrollerPart::Knob);
    ASSERT_FALSE(knob.isEmpty());
    int knobLuma = luminance(pixelIn(*image, v, { knob.midX(), knob.midY() }));
    int slotLuma = luminance(pixelIn(*image, v, { knob.midX(), knob.maxY() + 30 }));
    EXPECT_LT(knobLuma + 60, slotLuma) << "the knob stands out from its slot";
    auto hKnob = h.rectForPart(ScrollerPart::Knob);
    EXPECT_LT(luminance(pixelIn(*image, h, { hKnob.midX(), hKnob.midY() })) + 60,
        luminance(pixelIn(*image, h, { hKnob.maxX() + 20, hKnob.midY() })));
    // The document shows inside the border, and the border line is darker.
    auto docPixel = pixelIn(*image, *s, { 100, 100 });
    EXPECT_EQ(docPixel & 0xffffff, 0xd9e6ffu & 0xffffff);
    EXPECT_LT(luminance(pixelIn(*image, *s, { 0.5, 100 })), luminance(docPixel) - 80);
}

TEST_F(ScrollViewTest, ScrollerPartsFollowTheStyleAndTheKnobKeepsAGrabbableLength)
{
    auto scroller = Scroller::create({ 0, 0, 15, 200 });
    add(scroller);
    EXPECT_TRUE(scroller->isVertical());
    EXPECT_EQ(scroller->testPart({ 7, 100 }), ScrollerPart::NoPart) << "nothing to scroll: no parts";
    scroller->setKnobProportion(0.01);
    scroller->setDoubleValue(1);
    auto knob = scroller->rectForPart(ScrollerPart::Knob);
    EXPECT_EQ(knob, (gfx::Rect { 0, 165, 15, 20 })) << "at least 20 long, at the end of the slot";
    EXPECT_EQ(scroller->testPart({ 7, 100 }), ScrollerPart::DecrementPage);
    EXPECT_EQ(scroller->testPart({ 7, 195 }), ScrollerPart::IncrementLine);
    scroller->setScrollerStyle(ScrollerStyle::Overlay);
    EXPECT_TRUE(scroller->rectForPart(ScrollerPart::IncrementLine).isEmpty()) << "overlay scrollers have no arrows";
    EXPECT_EQ(scroller->rectForPart(ScrollerPart::Knob), (gfx::Rect { 0, 180, 15, 20 }));
    // A short scroller drops its arrows rather than its knob.
    scroller->setScrollerStyle(ScrollerStyle::Legacy);
    scroller->setFrameSize({ 15, 40 });
    EXPECT_TRUE(scroller->rectForPart(ScrollerPart::DecrementLine).isEmpty());
    scroller->setDoubleValue(7);
    EXPECT_EQ(scroller->rectForPart(ScrollerPart::Knob).maxY(), 40) << "values past the end count as the end";
}
