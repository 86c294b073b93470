#include "frameworks/tab-bar-core/TabDragWindow.h"

#include "platform/ui/UiTestSupport.h"

#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Event.h"

namespace {

using tbcore::TabDragWindowController;

class TabDragWindowTest : public uitest::UiTest {
protected:
    void runFor(double seconds) { fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds)); }
    static std::shared_ptr<gfx::Image> picture(double w, double h) { return gfx::Image::imageWithSize({ w, h }); }
};

TEST_F(TabDragWindowTest, AWindowIsAsBigAsItsPictureAndATitledOne22PointsTaller)
{
    auto plain = TabDragWindowController::create(picture(120, 22), ui::WindowStyleMask::Borderless, 0);
    EXPECT_EQ(plain->window()->frame().size, gfx::Size(120, 22));
    EXPECT_TRUE(plain->window()->ignoresMouseEvents()) << "the bars below must see the drag";
    EXPECT_FALSE(plain->window()->isOpaque());
    EXPECT_EQ(plain->window()->level(), ui::WindowLevel::Status);
    EXPECT_DOUBLE_EQ(plain->window()->alphaValue(), 0.75);
    auto titled = TabDragWindowController::create(picture(300, 200), ui::WindowStyleMask::Titled, 0);
    EXPECT_EQ(titled->window()->frame().size, gfx::Size(300, 222));
}

TEST_F(TabDragWindowTest, OnlyTearOffStyleOneWithASecondPictureSwitches)
{
    auto style0 = TabDragWindowController::create(picture(120, 22), ui::WindowStyleMask::Borderless, 0);
    style0->setAlternateImage(picture(125, 90));
    style0->switchImages();
    EXPECT_FALSE(style0->isAnimating());
    auto lone = TabDragWindowController::create(picture(120, 22), ui::WindowStyleMask::Borderless, 1);
    lone->switchImages();
    EXPECT_FALSE(lone->isAnimating());
}

TEST_F(TabDragWindowTest, ASwitchResizesAroundThePointerAndASecondOneTurnsBack)
{
    auto controller = TabDragWindowController::create(picture(120, 22), ui::WindowStyleMask::Borderless, 1);
    controller->setDragLocation({ 400, 300 });
    controller->setAlternateImage(picture(125, 90));
    controller->switchImages();
    EXPECT_TRUE(controller->isAnimating());
    runFor(0.3);
    EXPECT_FALSE(controller->isAnimating());
    EXPECT_EQ(controller->window()->frame(), gfx::Rect(400 - 62.5, 300 - 45, 125, 90)) << "centred on the drag";
    EXPECT_NEAR(controller->window()->dragView()->fadeValue(), 0.0, 1e-6) << "the miniature shows";

    // Back to the tab, interrupted half-way: the reversal starts from where the window is, not from the end.
    controller->switchImages();
    runFor(0.125);
    const double midWidth = controller->window()->frame().width();
    EXPECT_GT(midWidth, 120);
    EXPECT_LT(midWidth, 125);
    controller->switchImages();
    runFor(1.0 / 30.0);
    // Heading back toward the miniature from the middle, not restarting from the tab's size.
    EXPECT_GE(controller->window()->frame().width(), midWidth) << "no jump when reversing";
    EXPECT_LT(controller->window()->frame().width(), 125);
    runFor(0.3);
    EXPECT_EQ(controller->window()->frame().size, gfx::Size(125, 90));
}

}

namespace {

// A picture filled with one colour, so a redrawn copy can be read back.
std::shared_ptr<gfx::Image> tabDragWindowSolid(double w, double h, gfx::ColorPtr colour)
{
    auto image = gfx::Image::imageWithSize({ w, h });
    image->lockFocus();
    colour->setFill();
    gfx::GraphicsContext::current()->fillRect({ 0, 0, w, h });
    image->unlockFocus();
    return image;
}

TEST_F(TabDragWindowTest, TheMiniatureIs125PointsOnItsLongerSideAndFallsBackToTheContent)
{
    const auto red = gfx::Color::colorWithCalibratedRed(1, 0, 0, 1);
    auto wide = tbcore::windowMiniature(tabDragWindowSolid(300, 200, red), [] { return nullptr; });
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->size(), gfx::Size(125, 83));
    // No picture of the window: the content's picture stands in.
    bool asked = false;
    auto tall = tbcore::windowMiniature(nullptr, [&] {
        asked = true;
        return tabDragWindowSolid(50, 100, red);
    });
    EXPECT_TRUE(asked);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->size(), gfx::Size(63, 125));
    ASSERT_EQ(tall->representations().size(), 1u);
    auto bitmap = std::dynamic_pointer_cast<gfx::BitmapImageRep>(tall->representations()[0]);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->pixelBuffer().pixel(30, 60), 0xFFFF0000u) << "opaque red, drawn over the whole miniature";
    EXPECT_FALSE(tbcore::windowMiniature(gfx::Image::imageWithSize({}), [] { return nullptr; }))
        << "nothing to show without a size";
}

}
