#include "ViewsTestSupport.h"

#include "frameworks/ZORAppKit/ZORContainerBox/ZORBaseView.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/Attributes.h"
#include "support/Canvas.h"

#include <string>

namespace containerboxtest {

class ZORContainerBoxTest : public viewstest::ViewsTest {
protected:
    // The box on its own, its pixel rows top first as one character per pixel: '#' border colour, '.' else.
    std::string borderPicture(ZORContainerBox& box)
    {
        auto image = snapshotOf(box);
        auto pixels = image->pixelBuffer();
        std::string rows;
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x)
                rows += gfx::redOf(pixels.pixel(x, y)) > 200 ? '#' : '.';
            rows += '\n';
        }
        return rows;
    }
    static std::shared_ptr<ZORContainerBox> redBorderedBox()
    {
        auto box = ZORContainerBox::create({ 0, 0, 8, 6 });
        box->setBackgroundColor(gfx::Color::blackColor());
        box->setBorderColor(gfx::Color::redColor());
        return box;
    }
};

TEST_F(ZORContainerBoxTest, AllFourSidesMakeAOnePointFrameAndSeparateSidesKeepTheirWidthsInside)
{
    auto box = redBorderedBox();
    box->setTopLineWidth(3);
    EXPECT_EQ(borderPicture(*box),
        "########\n"
        "#......#\n"
        "#......#\n"
        "#......#\n"
        "#......#\n"
        "########\n")
        << "the widths do not apply to a whole frame";

    box->setHasBottomLine(false);
    box->setTopLineWidth(2);
    box->setLeftLineWidth(1);
    box->setRightLineWidth(3);
    EXPECT_EQ(borderPicture(*box),
        "########\n"
        "########\n"
        "#....###\n"
        "#....###\n"
        "#....###\n"
        "#....###\n");
}

TEST_F(ZORContainerBoxTest, ADecodedBoxKeepsItsColoursAndFlagsAndDrawsHairlines)
{
    auto box = redBorderedBox();
    box->setHasLeftLine(false);
    box->setHasGradient(false);
    box->setTopLineWidth(2);
    box->setRightLineWidth(2);
    box->setBottomLineWidth(2);
    auto decoded = fnd::KeyedUnarchiver::unarchiveObjectWithData(*fnd::KeyedArchiver::archivedDataWithRootObject(box))
                       .objectAs<ZORContainerBox>();
    ASSERT_NE(decoded, nullptr);
    decoded->setFrame(box->frame());
    EXPECT_TRUE(decoded->borderColor()->isEqual(*gfx::Color::redColor()));
    EXPECT_FALSE(decoded->hasLeftLine());
    EXPECT_TRUE(decoded->hasRightLine());
    EXPECT_EQ(decoded->topLineWidth(), 0);
    EXPECT_EQ(borderPicture(*decoded),
        "########\n"
        ".......#\n"
        ".......#\n"
        ".......#\n"
        ".......#\n"
        "########\n");
}

TEST_F(ZORContainerBoxTest, TheGradientRunsUpFromTheSecondColourLeavingTheFirstColumn)
{
    auto box = ZORContainerBox::create({ 0, 0, 40, 100 });
    box->setHasGradient(true);
    box->setBackgroundColor(gfx::Color::whiteColor());
    box->setSecondBackgroundColor(gfx::Color::blueColor());
    box->setBorderColor(nullptr);
    auto image = snapshotOf(*box, "ZORContainerBox-gradient");
    auto pixels = image->pixelBuffer();
    auto bottom = pixels.pixel(20, 99), top = pixels.pixel(20, 0);
    EXPECT_LT(gfx::redOf(bottom), 10) << "blue at the bottom";
    EXPECT_GT(gfx::redOf(top), 245) << "white at the top";
    for (int y : { 0, 50, 99 }) {
        EXPECT_EQ(gfx::alphaOf(pixels.pixel(0, y)), 0) << "the first column is left alone, row " << y;
        EXPECT_EQ(gfx::alphaOf(pixels.pixel(1, y)), 255) << "row " << y;
    }
}

class ZORBaseViewTest : public viewstest::ViewsTest {
protected:
    ZORBaseViewTest()
    {
        placeholder = ZORBaseView::create({ 0, 0, 240, 180 });
        placeholder->setBackgroundColor(gfx::Color::whiteColor());
        placeholder->setSecondBackgroundColor(gfx::Color::whiteColor());
        placeholder->setBorderColor(nullptr);
        add(placeholder);
    }
    // The bounds of the pixels close to the colour, in the placeholder's coordinates.
    gfx::Rect inkOf(std::uint32_t argb, const char* name = nullptr)
    {
        auto image = snapshot(name);
        gfx::Rect ink;
        for (double y = 0.5; y < 180; y += 1)
            for (double x = 0.5; x < 240; x += 1)
                if (pixelDistance(pixelIn(*image, *placeholder, { x, y }), argb) < 40)
                    ink = ink.isEmpty() ? gfx::Rect { x - 0.5, y - 0.5, 1, 1 }
                                        : gfx::unionRect(ink, { x - 0.5, y - 0.5, 1, 1 });
        return ink;
    }
    // Whether pixels of the colour (within a tolerance) show in the rect of the placeholder.
    bool shows(gfx::Rect rect, std::uint32_t argb, const char* name = nullptr)
    {
        auto image = snapshot(name);
        for (double y = rect.minY() + 0.5; y < rect.maxY(); y += 1)
            for (double x = rect.minX() + 0.5; x < rect.maxX(); x += 1)
                if (pixelDistance(pixelIn(*image, *placeholder, { x, y }), argb) < 40)
                    return true;
        return false;
    }
    static std::shared_ptr<gfx::Image> redIcon()
    {
        auto icon = gfx::Image::imageWithSize({ 32, 32 });
        icon->lockFocus();
        gfx::GraphicsContext::current()->setFillColor(*gfx::Color::redColor());
        gfx::GraphicsContext::current()->fillRect({ 0, 0, 32, 32 });
        icon->unlockFocus();
        return icon;
    }

    std::shared_ptr<ZORBaseView> placeholder;
    const std::uint32_t grey = argb(255, 128, 128, 128);
    const std::uint32_t red = argb(255, 255, 0, 0);
};

TEST_F(ZORBaseViewTest, ThePlaceholderCentresItsTextAndHidesItBehindSubviews)
{
    EXPECT_EQ(placeholder->text(), "No Content");
    EXPECT_TRUE(placeholder->hasGradient());
    const gfx::Rect box = placeholder->calculatedTextBoxRect();
    EXPECT_EQ(box.origin, (gfx::Point { 0, 0 })) << "measured, not placed";
    EXPECT_LE(box.width(), 180);
    const gfx::Rect ink = inkOf(grey, "ZORBaseView-text");
    EXPECT_NEAR(ink.midX(), 120, 2);
    EXPECT_NEAR(ink.midY(), 90, 5);

    placeholder->addSubview(ui::View::create({ 0, 0, 10, 10 }));
    EXPECT_FALSE(shows({ 0, 0, 240, 180 }, grey, "ZORBaseView-with-subview")) << "only the gradient and lines";
    placeholder->setPreventDrawingWithSubviews(false);
    EXPECT_TRUE(shows({ 60, 70, 120, 40 }, grey));
}

TEST_F(ZORBaseViewTest, TheIconSitsAboveTheTextOrAloneInTheMiddle)
{
    placeholder->setIcon(redIcon());
    auto image = snapshot("ZORBaseView-icon-and-text");
    // Icon at ((240 − 32) / 2, (180 − 32) / 2 + 10); the text below it, 10 points down.
    EXPECT_EQ(pixelIn(*image, *placeholder, { 105, 85 }), red);
    EXPECT_NE(pixelIn(*image, *placeholder, { 105, 76 }), red);
    const gfx::Rect text = inkOf(grey);
    EXPECT_LE(text.maxY(), 84 - 10) << "10 points below the icon, at least";
    EXPECT_GE(text.maxY(), 84 - 20);

    placeholder->setText({});
    EXPECT_FALSE(placeholder->hasText());
    image = snapshot("ZORBaseView-icon");
    EXPECT_EQ(pixelIn(*image, *placeholder, { 105, 76 }), red) << "centred, without the offset";
    EXPECT_FALSE(shows({ 0, 0, 240, 60 }, grey)) << "no text";
}

TEST_F(ZORBaseViewTest, StyledTextIsDrawnAndGivesItsAttributesToLaterTexts)
{
    auto styled = std::make_shared<txt::AttributedString>("Empty",
        txt::Attributes { { txt::FontAttributeName, fnd::Value(gfx::Font::boldSystemFontOfSize(30)) },
            { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::redColor()) } });
    placeholder->setAttributedText(styled);
    EXPECT_EQ(placeholder->text(), "Empty");
    EXPECT_TRUE(shows({ 40, 60, 160, 60 }, red, "ZORBaseView-styled")) << "the styled text shows";
    placeholder->setText("Nothing here");
    EXPECT_EQ(placeholder->attributedText()->attributeAtIndex(txt::ForegroundColorAttributeName, 0),
        fnd::Value(gfx::Color::redColor()));
    placeholder->setAttributedText(nullptr);
    EXPECT_EQ(placeholder->text(), "Nothing here");
}

TEST_F(ZORBaseViewTest, ChildViewsSlideInFromTheEdgeTheEffectNames)
{
    placeholder->setFrame({ 10, 20, 200, 100 });
    window->setContentBorderThickness(24, gfx::RectEdge::MinY);
    window->setContentBorderThickness(8, gfx::RectEdge::MaxY);
    auto child = ui::View::create({ 3, 4, 50, 40 });
    EXPECT_EQ(placeholder->frameForView(*child, 2), (gfx::Rect { 0, 112, 50, 40 }));
    EXPECT_EQ(placeholder->frameForView(*child, 3), (gfx::Rect { 210, 0, 50, 40 }));
    EXPECT_EQ(placeholder->frameForView(*child, 4), (gfx::Rect { 0, -104, 50, 40 }));
    EXPECT_EQ(placeholder->frameForView(*child, 5), (gfx::Rect { -190, 0, 50, 40 }));
    EXPECT_EQ(placeholder->frameForView(*child, 7), child->bounds());

    // Pushing and popping change nothing and call nothing.
    bool called = false;
    placeholder->pushChildView(child, 3, [&] { called = true; });
    placeholder->popChildViewWithAnimationEffect(3, [&] { called = true; });
    EXPECT_FALSE(called);
    EXPECT_TRUE(placeholder->childViewStack().empty());
    EXPECT_FALSE(placeholder->isAnimating());
    EXPECT_TRUE(placeholder->subviews().empty());
}

}
