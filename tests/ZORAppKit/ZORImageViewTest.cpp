#include "ViewsTestSupport.h"

#include "ZORAppKit/ZORImageView/ZORImageView.h"

#include "platform/graphics/GraphicsContext.h"
#include "support/Canvas.h"

namespace imageviewtest {

std::shared_ptr<gfx::Image> filled(gfx::Size size, gfx::ColorPtr colour)
{
    auto image = gfx::Image::imageWithSize(size);
    image->lockFocus();
    gfx::GraphicsContext::current()->setFillColor(*colour);
    gfx::GraphicsContext::current()->fillRect({ {}, size });
    image->unlockFocus();
    return image;
}

class ZORImageViewTest : public viewstest::ViewsTest {
protected:
    ZORImageViewTest()
    {
        well = ZORImageView::create({ 60, 30, 120, 120 });
        add(well);
    }
    std::shared_ptr<ZORImageView> well;
};

TEST_F(ZORImageViewTest, TheImageIsScaledToFitEightPointsInsideAndCentred)
{
    well->setImage(filled({ 40, 20 }, gfx::Color::blueColor()));
    EXPECT_EQ(well->imageRect(), (gfx::Rect { 8, 34, 104, 52 }));
    auto image = snapshot("ZORImageView-image");
    const auto blue = argb(255, 0, 0, 255);
    EXPECT_EQ(pixelIn(*image, *well, { 60, 60 }), blue);
    EXPECT_EQ(pixelIn(*image, *well, { 10, 36 }), blue) << "enlarged to the inset";
    EXPECT_NE(pixelIn(*image, *well, { 60, 33.5 }), argb(255, 255, 255, 255)) << "the shadow below";
    EXPECT_EQ(pixelIn(*image, *well, { 60, 100 }), argb(255, 255, 255, 255)) << "white above";
    ASSERT_NE(well->shadow(), nullptr) << "made at the first drawing";
    EXPECT_NEAR(well->shadow()->shadowBlurRadius(), 5.520833, 1e-9);

    auto own = fnd::makeObject<gfx::Shadow>();
    own->setShadowColor(nullptr);
    well->setShadow(own);
    image = snapshot();
    EXPECT_EQ(well->shadow(), own) << "a shadow set by the caller is kept";
    EXPECT_EQ(pixelIn(*image, *well, { 60, 31.5 }), argb(255, 255, 255, 255));

    well->setImage(filled({ 300, 600 }, gfx::Color::blueColor()));
    EXPECT_EQ(well->imageRect(), (gfx::Rect { 34, 8, 52, 104 })) << "reduced to the height";
}

TEST_F(ZORImageViewTest, WithoutAnImageADashedFrameSurroundsTheText)
{
    auto image = snapshot("ZORImageView-placeholder");
    // Dashes of 10 along the top edge, 7.5 points in from the bounds: some stretches are grey, some white.
    int grey = 0, white = 0;
    for (double x = 25.5; x < 95; x += 1) {
        auto p = pixelIn(*image, *well, { x, 120 - 7.5 });
        grey += gfx::redOf(p) < 230;
        white += gfx::redOf(p) == 255;
    }
    EXPECT_GT(grey, 20);
    EXPECT_GT(white, 20);
    bool text = false;
    for (double x = 15.5; x < 105 && !text; x += 1)
        for (double y = 50.5; y < 70 && !text; y += 1)
            text = gfx::redOf(pixelIn(*image, *well, { x, y })) < 230;
    EXPECT_TRUE(text) << "the localised placeholder in the middle";

    well->setInfoText(fnd::String("Drop a picture"));
    EXPECT_TRUE(well->needsDisplay());
    auto other = snapshot("ZORImageView-info-text");
    int differing = 0;
    for (double x = 15.5; x < 105; x += 1)
        differing += pixelIn(*image, *well, { x, 60 }) != pixelIn(*other, *well, { x, 60 });
    EXPECT_GT(differing, 5);
    well->setInfoText(std::nullopt);
    auto back = snapshot();
    for (double x = 15.5; x < 105; x += 1)
        EXPECT_EQ(pixelIn(*image, *well, { x, 60 }), pixelIn(*back, *well, { x, 60 })) << "the placeholder again";
}

}
