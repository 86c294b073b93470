#include "frameworks/AppKitExtensions/ZORColor_Extension.h"

#include "DrawingTestSupport.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using drawing::near;
using drawing::rgba;
using gfx::Color;

TEST(ZORColorExtension, DerivedColours)
{
    EXPECT_TRUE(near(rgba(ZORExtension::CGColor(*Color::colorWithDeviceWhite(0.25, 0.5))), { 0.25, 0.25, 0.25, 0.5 }));
    EXPECT_EQ(ZORExtension::CGColor(*Color::colorWithDeviceWhite(0.25))->colorSpaceName(),
        gfx::ColorSpaceName::CalibratedRGB);
    EXPECT_FALSE(ZORExtension::CGColor(*Color::colorWithPatternImage(gfx::Image::imageWithSize({ 2, 2 }))));

    EXPECT_TRUE(ZORExtension::isTransparent(*Color::clearColor()));
    EXPECT_TRUE(ZORExtension::isTransparent(*Color::colorWithCalibratedRed(1, 0, 0, 0)));
    EXPECT_FALSE(ZORExtension::isTransparent(*Color::colorWithCalibratedRed(1, 0, 0, 0.01)));

    EXPECT_TRUE(near(rgba(ZORExtension::disabledColor(*Color::redColor())), { 1, 0, 0, 0.5 }));
    EXPECT_TRUE(
        near(rgba(ZORExtension::disabledColor(*Color::colorWithCalibratedWhite(0.2, 0.6))), { 0.2, 0.2, 0.2, 0.3 }));
}

TEST(ZORColorExtension, SwatchesAreFramedAndCrossedWhenTransparent)
{
    // Rows top first: '#' black, 'r' the colour, '.' clear, '?' anything else.
    auto picture = [](const gfx::Image& image) {
        auto bitmap = image.CGImageForProposedRect();
        auto pixels = bitmap->pixelBuffer();
        std::string out;
        for (int y = 0; y < pixels.height; ++y) {
            for (int x = 0; x < pixels.width; ++x) {
                auto p = pixels.pixel(x, y);
                out += p == argb(255, 0, 0, 0) ? '#' : p == argb(255, 255, 0, 0) ? 'r' : p == 0 ? '.' : '?';
            }
            out += '\n';
        }
        return out;
    };
    auto red = ZORExtension::colorImageWithSize(*Color::redColor(), { 8, 6 });
    EXPECT_EQ(red->size(), gfx::Size(8, 6));
    EXPECT_EQ(picture(*red),
        "########\n"
        "#rrrrrr#\n"
        "#rrrrrr#\n"
        "#rrrrrr#\n"
        "#rrrrrr#\n"
        "########\n");
    // Transparent: the diagonals, drawn without antialiasing.
    auto clear = picture(*ZORExtension::colorImageWithSize(*Color::clearColor(), { 8, 8 }));
    EXPECT_EQ(clear.find('?'), std::string::npos) << clear;
    EXPECT_EQ(clear.substr(9 * 2, 9), "#.#..#.#\n") << clear;
    // Barely visible is not transparent: no cross.
    auto faint = picture(*ZORExtension::colorImageWithSize(*Color::colorWithCalibratedRed(1, 0, 0, 0.01), { 8, 8 }));
    EXPECT_EQ(faint.substr(9 * 2, 9), "#??????#\n") << faint;
}

// A view that draws one pixel line when displayed.
class LineView : public ui::View {
public:
    static std::shared_ptr<LineView> make(gfx::Rect frame, bool flipped)
    {
        auto view = std::make_shared<LineView>();
        view->initWithFrame(frame);
        view->m_flipped = flipped;
        return view;
    }
    bool isFlipped() const override { return m_flipped; }
    void drawRect(gfx::Rect) override
    {
        if (draw)
            draw(*this);
    }
    std::function<void(LineView&)> draw;

private:
    bool m_flipped { false };
};

class PixelLine : public ::testing::Test {
protected:
    PixelLine()
        : backend(ui::HeadlessBackend::install())
    {
    }
    ~PixelLine() override
    {
        for (const auto& w : ui::Application::shared().windows())
            w->close();
        ui::Backend::install(nullptr);
    }

    // Rows of device pixels, counted from the bottom of the window, that are pure red in the column.
    std::vector<int> redRows(int column) { return redPixels(column, true); }
    std::vector<int> redColumns(int row) { return redPixels(row, false); }

    // A 100 × 100 point window holding the view at the frame, which draws the line in red.
    void show(gfx::Rect frame, bool flipped, long position, long inset, gfx::Rect rect, bool horizontal, bool flip)
    {
        window = ui::Window::create({ 100, 100, 100, 100 });
        auto root = ui::View::create({ 0, 0, 100, 100 });
        window->setContentView(root);
        auto view = LineView::make(frame, flipped);
        view->draw = [=](LineView& v) {
            ZORExtension::zorDrawPixelThickLineAtPosition(
                *Color::redColor(), position, inset, rect, &v, horizontal, flip);
        };
        root->addSubview(view);
        window->orderFront();
        image = backend->imageOfWindow(*window);
    }

    std::shared_ptr<ui::HeadlessBackend> backend;
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<gfx::BitmapImageRep> image;

private:
    std::vector<int> redPixels(int fixed, bool alongColumn)
    {
        auto pixels = image->pixelBuffer();
        std::vector<int> found;
        int count = alongColumn ? pixels.height : pixels.width;
        for (int i = 0; i < count; ++i) {
            auto p
                = alongColumn ? pixels.pixel(fixed, pixels.height - 1 - i) : pixels.pixel(i, pixels.height - 1 - fixed);
            if (p == argb(255, 255, 0, 0))
                found.push_back(i);
            else
                EXPECT_EQ(gfx::redOf(p), gfx::greenOf(p)) << "a partly covered pixel at " << i;
        }
        return found;
    }
};

TEST_F(PixelLine, HorizontalLinesLieOnOneWholePixelRowInsideTheSnappedRectangle)
{
    // The rectangle lies off the pixel grid; it snaps outwards to columns 12 to 52 and 31 rows: 23 to 53 in the
    // plain view, 26 to 56 in the flipped one (whose origin side is the top).
    struct Case {
        bool flipped;
        long position;
        bool flip;
        int row;
    };
    const Case cases[] = {
        { false, 0, false, 23 },
        { false, 3, false, 26 },
        { false, 0, true, 53 },
        { false, 3, true, 50 },
        { true, 0, false, 56 },
        { true, 3, false, 53 },
        { true, 0, true, 26 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(
            ::testing::Message() << "flipped " << c.flipped << ", position " << c.position << ", flip " << c.flip);
        show({ 10, 20, 50, 40 }, c.flipped, c.position, 2, { 2.3, 3.6, 40, 30 }, true, c.flip);
        EXPECT_EQ(redRows(30), std::vector<int> { c.row });
        auto columns = redColumns(c.row);
        ASSERT_FALSE(columns.empty());
        EXPECT_EQ(columns.front(), 14) << "inset by 2 pixels";
        EXPECT_EQ(columns.back(), 50);
        EXPECT_EQ(columns.size(), 37u);
    }
}

TEST_F(PixelLine, VerticalLinesAndTheFlipAcrossATwentyPixelRectangle)
{
    show({ 10, 20, 50, 20 }, false, 0, 0, { 0, 0, 50, 20 }, false, false);
    EXPECT_EQ(redColumns(30), std::vector<int> { 10 });
    show({ 10, 20, 50, 20 }, false, 0, 0, { 0, 0, 50, 20 }, false, true);
    EXPECT_EQ(redColumns(30), std::vector<int> { 59 });
    // Flip with position 0 in a rectangle 20 pixels high: row 19 from the rectangle's origin side.
    show({ 10, 20, 50, 20 }, false, 0, 0, { 0, 0, 50, 20 }, true, true);
    EXPECT_EQ(redRows(30), std::vector<int> { 20 + 19 });
    show({ 10, 20, 50, 20 }, true, 0, 0, { 0, 0, 50, 20 }, true, true);
    EXPECT_EQ(redRows(30), std::vector<int> { 20 });
}

TEST_F(PixelLine, OnADenseScreenTheLineIsOneDevicePixelAndPositionsCountDevicePixels)
{
    backend->setScreens({ { { 0, 0, 1440, 900 }, { 0, 0, 1440, 878 }, 2 } });
    show({ 10, 20, 50, 40 }, false, 3, 0, { 2.3, 3.6, 40, 30 }, true, false);
    ASSERT_EQ(image->pixelsHigh(), 200);
    // The rectangle snaps to device rows from 47; the line lies 3 device pixels in.
    EXPECT_EQ(redRows(60), std::vector<int> { 50 });
}

TEST_F(PixelLine, WithoutAViewNothingIsDrawn)
{
    Canvas canvas(20, 20);
    ZORExtension::zorDrawPixelThickLineAtPosition(*Color::redColor(), 0, 0, { 0, 0, 20, 20 }, nullptr, true, false);
    EXPECT_EQ(canvas.picture().find_first_not_of(".\n"), std::string::npos);
}

}
