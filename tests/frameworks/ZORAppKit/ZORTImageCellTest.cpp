#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORThemedControls/ZORTImageCell.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "platform/graphics/BezierPath.h"
#include "platform/ui/controls/ImageView.h"

#include <cmath>

namespace {

using namespace zortest;

class ZORTImageCellTest : public ZORAppKitTest {
protected:
    std::shared_ptr<ui::ImageView> imageView(const fnd::String& key)
    {
        auto view = ui::ImageView::create({ 10, 10, 40, 30 });
        auto cell = fnd::makeObject<ZORTImageCell>();
        cell->setThemeKey(key);
        view->setCell(cell);
        view->setImage(picture);
        add(view);
        return view;
    }
    // Red above, blue below, 10 points square.
    std::shared_ptr<gfx::Image> picture = [] {
        auto image = gfx::Image::imageWithSize({ 10, 10 });
        image->lockFocus();
        gfx::Color::colorWithDeviceRed(0, 0, 1)->setFill();
        gfx::BezierPath::fillRect({ 0, 0, 10, 5 });
        gfx::Color::colorWithDeviceRed(1, 0, 0)->setFill();
        gfx::BezierPath::fillRect({ 0, 5, 10, 5 });
        image->unlockFocus();
        return image;
    }();
};

TEST_F(ZORTImageCellTest, WithoutAThemeItDrawsAsThePlatformImageCell)
{
    auto themed = imageView("NoThemeUnderThisKey");
    auto plain = ui::ImageView::create({ 60, 10, 40, 30 });
    plain->setImage(picture);
    add(plain);
    auto a = shot(*themed, "imagecell-unthemed"), b = shot(*plain, "imagecell-platform");
    for (double y = 0.5; y < 30; ++y)
        for (double x = 0.5; x < 40; ++x)
            ASSERT_EQ(pixelAt(*a, *themed, { x, y }), pixelAt(*b, *plain, { x, y })) << x << ", " << y;
}

TEST_F(ZORTImageCellTest, TheImageFillsTheFrameUprightAtTheThemesAlpha)
{
    auto view = imageView(ZORThemeKey::Gray);
    const struct {
        ui::BackgroundStyle background;
        bool enabled;
        double alpha;
    } cases[] = {
        { ui::BackgroundStyle::Light, true, 0.6 },
        { ui::BackgroundStyle::Light, false, 0.2 },
        { ui::BackgroundStyle::Dark, true, 1.0 },
        { ui::BackgroundStyle::Dark, false, 0.2 },
    };
    for (const auto& c : cases) {
        view->cell()->setBackgroundStyle(c.background);
        view->setEnabled(c.enabled);
        auto image = shot(*view, "imagecell-themed");
        auto a = static_cast<unsigned>(std::lround(255 * c.alpha));
        // Stretched over the whole frame, red at the top in this flipped view.
        EXPECT_TRUE(pixelNear(pixelAt(*image, *view, { 1.5, 1.5 }), argb(a, a, 0, 0), 1)) << c.alpha;
        EXPECT_TRUE(pixelNear(pixelAt(*image, *view, { 38.5, 8.5 }), argb(a, a, 0, 0), 1)) << c.alpha;
        EXPECT_TRUE(pixelNear(pixelAt(*image, *view, { 20.5, 26.5 }), argb(a, 0, 0, a), 1)) << c.alpha;
    }
    view->setImage(nullptr);
    EXPECT_EQ(paintedPixels(*shot(*view, "imagecell-empty"), *view, view->bounds()), 0);

    // Upright in an unflipped view too.
    auto cell = std::dynamic_pointer_cast<ZORTImageCell>(view->cell());
    cell->setImage(picture);
    cell->setEnabled(true);
    auto plainView = ui::View::create({ 0, 0, 40, 30 });
    Canvas canvas(40, 30);
    cell->drawInteriorWithFrame({ 0, 0, 40, 30 }, *plainView);
    EXPECT_EQ(gfx::redOf(canvas.at(20, 29)), 255) << "red at the top";
    EXPECT_EQ(gfx::blueOf(canvas.at(20, 0)), 255) << "blue at the bottom";
}

}
