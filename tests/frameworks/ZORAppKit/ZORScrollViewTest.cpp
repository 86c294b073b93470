#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORCenteringClipView/ZORCenteringClipView.h"
#include "frameworks/ZORAppKit/ZORScrollView/ZORScrollView.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/menus/Menu.h"
#include "support/Canvas.h"

#include <cmath>

namespace scrollviewtest {

using viewstest::SolidView;

// A document with a context menu of its own.
class Document : public viewstest::SolidView {
public:
    std::shared_ptr<ui::Menu> menuForEvent(const ui::Event&) override { return menu; }
    std::shared_ptr<ui::Menu> menu = ui::Menu::create("Document");
};

std::shared_ptr<Document> document(gfx::Size size)
{
    auto view = std::make_shared<Document>();
    view->initWithFrame({ {}, size });
    view->setColor(gfx::Color::colorWithCalibratedRed(0.2, 0.5, 0.3));
    return view;
}

TEST(ZORCenteringClipViewTest, ScrollPointsAreCentredOrKeptWithinTheDocumentOnWholeUnits)
{
    struct Case {
        double documentWidth, clipWidth, proposed, expected;
    };
    const Case cases[] = {
        { 100, 300, 0, -100 }, // smaller: centred whatever is asked
        { 100, 300, 55, -100 }, { 300, 100, -20, 0 }, // larger: kept within it
        { 300, 100, 250, 200 }, { 300, 100, 120.4, 120 }, { 300, 100, 120.5, 121 }, // half away from zero
        { 200, 200, 37, 0 }, // as wide: never moves
        { 101, 300, 0, -100 }, // (101 − 300) / 2 = −99.5 rounds away from zero
    };
    for (const auto& c : cases) {
        auto clip = ZORCenteringClipView::create({ 0, 0, c.clipWidth, c.clipWidth });
        clip->setDocumentView(document({ c.documentWidth, c.documentWidth }));
        auto p = clip->constrainScrollPoint({ c.proposed, c.proposed });
        EXPECT_EQ(p, (gfx::Point { c.expected, c.expected }))
            << "document " << c.documentWidth << " in " << c.clipWidth << ", proposed " << c.proposed;
        clip->scrollToPoint({ c.proposed, c.proposed });
        EXPECT_EQ(clip->bounds().origin, (gfx::Point { c.expected, c.expected }));
    }
}

TEST(ZORCenteringClipViewTest, TheDocumentIsCentredAgainAfterAZoomAndAResize)
{
    auto empty = ZORCenteringClipView::create({ 0, 0, 300, 200 });
    empty->setBoundsOrigin({ 7, 9 });
    empty->centerDocument();
    EXPECT_EQ(empty->bounds().origin, (gfx::Point { 7, 9 })) << "nothing to centre";

    auto clip = ZORCenteringClipView::create({ 0, 0, 300, 200 });
    clip->setDocumentView(document({ 100, 50 }));
    EXPECT_EQ(clip->bounds().origin, (gfx::Point { -100, -75 }));
    clip->scaleUnitSquareToSize({ 2, 2 });
    EXPECT_EQ(clip->bounds().size, (gfx::Size { 150, 100 }));
    EXPECT_EQ(clip->bounds().origin, (gfx::Point { -25, -25 })) << "centred in the zoomed units";
    clip->setFrameSize({ 500, 200 });
    EXPECT_EQ(clip->bounds().origin.x, -75);
    clip->documentView()->setFrameSize({ 400, 50 });
    EXPECT_EQ(clip->bounds().origin.x, 0) << "a document grown wider scrolls from its edge";

    // A turn of the frame centres again too: a document 100 x 50 in a clip view 300 x 200 sits at (-100, -75).
    auto turned = ZORCenteringClipView::create({ 0, 0, 300, 200 });
    turned->setDocumentView(document({ 100, 50 }));
    turned->setBoundsOrigin({ 0, 0 });
    turned->setFrameRotation(30);
    EXPECT_EQ(turned->frameRotation(), 30);
    EXPECT_EQ(turned->bounds().origin, (gfx::Point { -100, -75 }));
}

class ZORScrollViewTest : public viewstest::ViewsTest {
protected:
    ZORScrollViewTest()
    {
        scroll = ZORScrollView::create({ 0, 0, 240, 180 });
        auto clip = ZORCenteringClipView::create();
        scroll->setContentView(clip);
        scroll->setDocumentView(document({ 600, 400 }));
        add(scroll);
    }
    gfx::Rect content() const { return scroll->contentView()->frame(); }
    static std::shared_ptr<ui::View> slotView(double width, double height = 10)
    {
        return SolidView::create({ 0, 0, width, height }, gfx::Color::orangeColor());
    }

    std::shared_ptr<ZORScrollView> scroll;
};

TEST_F(ZORScrollViewTest, WithNothingInTheSlotsTheLayoutIsTheBaseScrollViews)
{
    auto plain = ui::ScrollView::create({ 0, 0, 240, 180 });
    plain->setHasHorizontalScroller(true);
    plain->setHasVerticalScroller(true);
    plain->setDocumentView(document({ 600, 400 }));
    scroll->tile();
    EXPECT_EQ(scroll->autoresizingMask(), 18u);
    EXPECT_EQ(scroll->scrollerStyle(), ui::ScrollerStyle::Legacy);
    EXPECT_EQ(content(), plain->contentView()->frame());
    EXPECT_EQ(scroll->horizontalScroller()->frame(), plain->horizontalScroller()->frame());
    EXPECT_EQ(scroll->verticalScroller()->frame(), plain->verticalScroller()->frame());
}

// Made by class name, as an interface file makes it: it must still show its document through a clip view.
TEST_F(ZORScrollViewTest, MadeByClassNameItHasAClipView)
{
    auto made = std::dynamic_pointer_cast<ZORScrollView>(fnd::makeObject<ZORScrollView>());
    ASSERT_TRUE(made);
    ASSERT_TRUE(made->contentView());
    made->setDocumentView(document({ 600, 400 }));
    EXPECT_EQ(made->documentView()->superview(), made->contentView());
}

TEST_F(ZORScrollViewTest, HorizontalSlotsTakeTheirWidthsFromTheScrollerOnWholePoints)
{
    auto c = content();
    auto first = slotView(40), second = slotView(30);
    scroll->addView(first, ZORScrollView::HorRight);
    scroll->addView(second, ZORScrollView::HorRight);
    const double h = scroll->horizontalScroller()->frame().height();
    EXPECT_EQ(first->frame(), (gfx::Rect { c.maxX() - 40, c.maxY(), 40, h })) << "the first added is rightmost";
    EXPECT_EQ(second->frame(), (gfx::Rect { c.maxX() - 70, c.maxY(), 30, h }));
    EXPECT_EQ(scroll->horizontalScroller()->frame(), (gfx::Rect { c.minX(), c.maxY(), c.width() - 70, h }));

    auto odd = slotView(20.7), next = slotView(10);
    scroll->addView(odd, ZORScrollView::HorLeft);
    scroll->addView(next, ZORScrollView::HorLeft);
    EXPECT_EQ(odd->frame().minX(), std::trunc(c.minX()));
    EXPECT_EQ(next->frame().minX(), std::trunc(c.minX()) + 20) << "positions are truncated";
    EXPECT_EQ(scroll->horizontalScroller()->frame().minX(), c.minX() + 30) << "after the union of both";
    EXPECT_EQ(scroll->horLeftSlots().size(), 2u);
    auto picture = snapshot("ZORScrollView-slots");
    EXPECT_EQ(pixelIn(*picture, *scroll, { first->frame().midX(), first->frame().midY() }),
        pixelIn(*picture, *scroll, { odd->frame().midX(), odd->frame().midY() }))
        << "both slot views are drawn beside the scroller";

    scroll->removeView(first, ZORScrollView::HorRight);
    EXPECT_EQ(first->superview(), nullptr);
    EXPECT_EQ(second->frame().minX(), c.maxX() - 30);
    auto stray = slotView(5);
    scroll->addSubview(stray);
    scroll->removeView(stray, ZORScrollView::VerTop);
    EXPECT_EQ(stray->superview(), nullptr) << "only taken out of its superview";
    EXPECT_EQ(scroll->horRightSlots().size(), 1u);
}

TEST_F(ZORScrollViewTest, VerticalSlotsKeepTheirSizeAndUnknownSlotsAreRefused)
{
    auto c = content();
    auto top = slotView(12, 16), bottom = slotView(14, 20);
    scroll->addView(top, ZORScrollView::VerTop);
    scroll->addView(bottom, ZORScrollView::VerBottom);
    EXPECT_EQ(top->frame(), (gfx::Rect { c.maxX(), c.minY(), 12, 16 }));
    EXPECT_EQ(bottom->frame(), (gfx::Rect { c.maxX(), c.maxY() - 20, 14, 20 }));
    const double w = scroll->verticalScroller()->frame().width();
    EXPECT_EQ(scroll->verticalScroller()->frame(), (gfx::Rect { c.maxX(), c.minY() + 16, w, c.height() - 36 }));

    const auto subviews = scroll->subviews().size();
    try {
        scroll->addView(slotView(5), 4);
        ADD_FAILURE() << "slot 4 is accepted";
    } catch (const fnd::Exception& e) {
        EXPECT_EQ(e.name(), "not an allowed position");
        EXPECT_EQ(e.reason(), "Scroll view does not support specified slot position");
    }
    EXPECT_EQ(scroll->subviews().size(), subviews) << "nothing added";
}

TEST_F(ZORScrollViewTest, AHeaderMovesTheContentDownAndTheCornerSitsWhereTheScrollersMeet)
{
    const auto c = content();
    auto flat = slotView(240, 0);
    scroll->setHeaderView(flat);
    EXPECT_EQ(content(), c) << "a header of height 0 leaves the content";
    EXPECT_EQ(scroll->subviews().front(), flat) << "below everything";

    scroll->setHeaderView(slotView(100, 24));
    EXPECT_EQ(flat->superview(), nullptr);
    EXPECT_EQ(scroll->headerView()->frame(), (gfx::Rect { 0, 0, 240, 24 }));
    EXPECT_EQ(content(), (gfx::Rect { c.minX(), c.minY() + 24, c.width(), c.height() - 24 }));

    scroll->setFrame({ 30, 20, 200, 150 });
    scroll->setBorderType(ui::BorderType::LineBorder);
    auto corner = SolidView::create({}, gfx::Color::magentaColor());
    scroll->setBottomRightCornerView(corner);
    const double w = scroll->verticalScroller()->frame().width();
    const double h = scroll->horizontalScroller()->frame().height();
    EXPECT_EQ(corner->frame(), (gfx::Rect { 200 - 1 - w, 150 - 1 - h, w, h }))
        << "in its own bounds, inside the border";
    EXPECT_EQ(scroll->subviews().back(), corner) << "above everything";
    auto picture = snapshot("ZORScrollView-header-corner");
    EXPECT_EQ(pixelIn(*picture, *scroll, { 200 - 1 - w / 2, 150 - 1 - h / 2 }), argb(255, 255, 0, 255));
    scroll->setBottomRightCornerView(nullptr);
    EXPECT_EQ(corner->superview(), nullptr);
}

TEST_F(ZORScrollViewTest, ASmallDocumentIsShownCentredAndItsMenuServesTheMargins)
{
    auto small = document({ 60, 40 });
    scroll->setDocumentView(small);
    auto c = content();
    auto picture = snapshot("ZORScrollView-centred");
    auto inDocument = small->convertPointToView({ 30, 20 }, scroll.get());
    EXPECT_NEAR(inDocument.x, c.midX(), 1);
    EXPECT_NEAR(inDocument.y, c.midY(), 1);
    auto click = ui::Event::mouseEventWithType(ui::EventType::RightMouseDown, { 5, 5 }, 0, 0, window->windowNumber());
    EXPECT_EQ(scroll->contentView()->menuForEvent(*click), small->menu);
}

}
