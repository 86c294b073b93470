#include "TestViews.h"
#include "UiTestSupport.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/PixelBuffer.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

using namespace ui;
using uitest::TestView;

namespace {

class ViewDisplayTest : public uitest::UiTest {
protected:
    void SetUp() override
    {
        window = Window::create({ 100, 100, 200, 100 });
        root = TestView::make({ 0, 0, 200, 100 });
        window->setContentView(root);
        left = TestView::make({ 0, 0, 100, 100 });
        right = TestView::make({ 100, 0, 100, 100 });
        root->addSubview(left);
        root->addSubview(right);
        window->orderFront();
        forget();
    }
    void forget()
    {
        for (auto* v : { root.get(), left.get(), right.get() }) {
            v->drawn.clear();
            v->rectsBeingDrawn.clear();
            v->probeAnswers.clear();
        }
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<TestView> root, left, right;
};

// RGBA of a pixel given in the window's base coordinates (y up, one pixel a point).
std::array<int, 4> rgbaAt(const gfx::BitmapImageRep& image, int x, int yUp)
{
    auto pixels = image.pixelBuffer();
    auto p = pixels.pixel(x, pixels.height - 1 - yUp);
    return { gfx::redOf(p), gfx::greenOf(p), gfx::blueOf(p), gfx::alphaOf(p) };
}

using RGBA = std::array<int, 4>;
constexpr RGBA Red { 255, 0, 0, 255 }, Green { 0, 255, 0, 255 }, Blue { 0, 0, 255, 255 }, White { 255, 255, 255, 255 };

}

TEST_F(ViewDisplayTest, OrderingFrontDrawsEverythingOnce)
{
    auto w = Window::create({ 0, 0, 50, 50 });
    auto v = TestView::make({ 0, 0, 50, 50 });
    w->setContentView(v);
    w->orderFront();
    ASSERT_EQ(v->drawn.size(), 1u);
    EXPECT_EQ(v->drawn[0], gfx::Rect(0, 0, 50, 50));
    w->displayIfNeeded();
    EXPECT_EQ(v->drawn.size(), 1u);
}

TEST_F(ViewDisplayTest, OnlyTheDirtyRectsAreRedrawn)
{
    left->probe = gfx::Rect { 0, 0, 5, 5 };
    left->setNeedsDisplayInRect({ 10, 10, 20, 20 });
    left->setNeedsDisplayInRect({ 50, 50, 10, 10 });
    left->setNeedsDisplayInRect({ 12, 12, 5, 5 }); // inside the first: no new rect
    EXPECT_TRUE(window->viewsNeedDisplay());
    window->displayIfNeeded();

    ASSERT_EQ(left->drawn.size(), 1u);
    EXPECT_EQ(left->drawn[0], gfx::Rect(10, 10, 50, 50));
    EXPECT_EQ(left->rectsBeingDrawn[0], (std::vector<gfx::Rect> { { 10, 10, 20, 20 }, { 50, 50, 10, 10 } }));
    EXPECT_EQ(left->probeAnswers, std::vector<bool> { false });
    // The view behind is drawn in the same rects (it is not opaque); the sibling beside is left alone.
    ASSERT_EQ(root->drawn.size(), 1u);
    EXPECT_EQ(root->rectsBeingDrawn[0], left->rectsBeingDrawn[0]);
    EXPECT_TRUE(right->drawn.empty());
    EXPECT_FALSE(window->viewsNeedDisplay());

    forget();
    right->setNeedsDisplay(true);
    window->displayIfNeeded();
    EXPECT_TRUE(left->drawn.empty());
    ASSERT_EQ(right->drawn.size(), 1u);
    EXPECT_EQ(right->drawn[0], gfx::Rect(0, 0, 100, 100));
    ASSERT_EQ(root->drawn.size(), 1u);
    EXPECT_EQ(root->drawn[0], gfx::Rect(100, 0, 100, 100));

    // Dirty rects of a scrolled, flipped view arrive in its own coordinates.
    forget();
    right->flipped = true;
    right->setBoundsOrigin({ 0, 1000 });
    window->displayIfNeeded();
    forget();
    right->setNeedsDisplayInRect({ 10, 1000, 20, 10 });
    window->displayIfNeeded();
    ASSERT_EQ(right->drawn.size(), 1u);
    EXPECT_EQ(right->drawn[0], gfx::Rect(10, 1000, 20, 10));
    ASSERT_EQ(root->drawn.size(), 1u);
    EXPECT_EQ(root->drawn[0], gfx::Rect(110, 90, 20, 10));

    // Hidden views are neither drawn nor able to ask for drawing.
    forget();
    left->setHidden(true);
    window->displayIfNeeded();
    forget();
    left->setNeedsDisplay(true);
    window->displayIfNeeded();
    EXPECT_TRUE(left->drawn.empty());
}

TEST_F(ViewDisplayTest, ALiveResizeDrawsOnlyWhatItUncoversOfAViewThatPreservesItsContent)
{
    left->setFrameSize({ 60, 50 });
    right->setFrameSize({ 60, 50 });
    window->displayIfNeeded();
    forget();
    left->preservesContent = true;
    window->beginLiveResize();
    left->setFrameSize({ 80, 70 });
    right->setFrameSize({ 80, 70 });
    window->displayIfNeeded();
    auto covers = [](const std::vector<gfx::Rect>& rects, gfx::Point p) {
        return std::ranges::any_of(rects, [&](const gfx::Rect& r) { return gfx::pointInRect(p, r); });
    };
    ASSERT_EQ(left->rectsBeingDrawn.size(), 1u);
    const auto& uncovered = left->rectsBeingDrawn[0];
    EXPECT_TRUE(covers(uncovered, { 70, 25 }) && covers(uncovered, { 30, 60 }) && covers(uncovered, { 70, 60 }));
    EXPECT_FALSE(covers(uncovered, { 30, 25 })) << "what it drew before stays";
    ASSERT_EQ(right->rectsBeingDrawn.size(), 1u);
    EXPECT_TRUE(covers(right->rectsBeingDrawn[0], { 30, 25 })) << "other views draw whole";

    // When the resize ends, it is drawn whole once more.
    forget();
    window->endLiveResize();
    window->displayIfNeeded();
    ASSERT_EQ(left->drawn.size(), 1u);
    EXPECT_EQ(left->drawn[0], gfx::Rect(0, 0, 80, 70));
    EXPECT_TRUE(right->drawn.empty());
}

TEST_F(ViewDisplayTest, DisplayRectDrawsAtOnceAndClearsWhatItCovered)
{
    right->setNeedsDisplayInRect({ 0, 0, 10, 10 });
    right->displayRect({ 0, 0, 50, 50 });
    ASSERT_EQ(right->drawn.size(), 1u);
    EXPECT_EQ(right->drawn[0], gfx::Rect(0, 0, 50, 50));
    window->displayIfNeeded();
    EXPECT_EQ(right->drawn.size(), 1u);

    // Displaying the window draws every view shown, so none of them is drawn again after it.
    forget();
    left->setNeedsDisplayInRect({ 0, 0, 10, 10 });
    right->setNeedsDisplay(true);
    window->display();
    EXPECT_FALSE(left->needsDisplay());
    EXPECT_FALSE(right->needsDisplay());
    window->displayIfNeeded();
    EXPECT_EQ(left->drawn.size(), 1u);
    EXPECT_EQ(right->drawn.size(), 1u);
}

TEST_F(ViewDisplayTest, AWindowOfDrawnViewsHasTheExpectedPixels)
{
    auto w = Window::create({ 0, 0, 120, 80 });
    w->setContentView(TestView::make({ 0, 0, 120, 80 }, false, gfx::Color::whiteColor()));
    auto red = TestView::make({ 10, 10, 40, 30 }, false, gfx::Color::redColor());
    auto blue = TestView::make({ 60, 10, 50, 60 }, true, gfx::Color::blueColor());
    // A band at the top of the flipped view: y from 0 to 10 in its own coordinates.
    blue->extraDrawing = [](TestView&) {
        auto* context = gfx::GraphicsContext::current();
        context->setFillColor(*gfx::Color::colorWithDeviceRed(0, 1, 0));
        context->fillRect({ 0, 0, 50, 10 });
    };
    // A zoomed view draws a unit square that covers 20×20 points.
    auto zoomed = TestView::make({ 10, 50, 20, 20 });
    zoomed->scaleUnitSquareToSize({ 20, 20 });
    zoomed->extraDrawing = [](TestView&) {
        gfx::GraphicsContext::current()->setFillColor(*gfx::Color::blueColor());
        gfx::GraphicsContext::current()->fillRect({ 0, 0, 1, 1 });
    };
    w->contentView()->addSubview(red);
    w->contentView()->addSubview(blue);
    w->contentView()->addSubview(zoomed);
    w->orderFront();

    auto image = backend->imageOfWindow(*w);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->pixelsWide(), 120);
    ASSERT_EQ(image->pixelsHigh(), 80);
    struct Probe {
        int x, y;
        RGBA colour;
        const char* where;
    };
    const Probe probes[] = {
        { 5, 5, White, "background" },
        { 10, 10, Red, "red's bottom-left pixel" },
        { 49, 39, Red, "red's top-right pixel" },
        { 50, 40, White, "just outside red" },
        { 60, 10, Blue, "blue's bottom" },
        { 80, 55, Blue, "blue below the band" },
        { 80, 60, Green, "the band's lowest row" },
        { 109, 69, Green, "the band's top-right pixel" },
        { 80, 70, White, "above blue" },
        { 10, 50, Blue, "zoomed square's corner" },
        { 29, 69, Blue, "zoomed square's far corner" },
        { 30, 70, White, "past the zoomed square" },
    };
    for (const auto& p : probes)
        EXPECT_EQ(rgbaAt(*image, p.x, p.y), p.colour) << p.where << " at " << p.x << ", " << p.y;

    // Written as PNG and read back by the decoder, the pixels are the same.
    auto path = (std::filesystem::temp_directory_path() / "ui-window-test.png").string();
    ASSERT_TRUE(backend->writePNG(*w, path));
    auto decoded = gfx::BitmapImageRep::imageRepWithContentsOfFile(path);
    ASSERT_TRUE(decoded) << decoded.error().localizedDescription().utf8();
    auto argb = (*decoded)->converted(gfx::BitmapLayout::ARGB32Premultiplied);
    for (const auto& p : probes)
        EXPECT_EQ(rgbaAt(*argb, p.x, p.y), p.colour) << "decoded: " << p.where;
    std::remove(path.c_str());

    // A flipped view drawn on its own comes out upright: the band is at the top.
    auto alone = backend->imageOfView(*blue);
    ASSERT_TRUE(alone);
    EXPECT_EQ(rgbaAt(*alone, 5, 55), Green);
    EXPECT_EQ(rgbaAt(*alone, 5, 5), Blue);
}

TEST_F(ViewDisplayTest, DocumentsOfARectHoldTheViewsDrawing)
{
    left->fill = gfx::Color::redColor();
    auto pdf = left->dataWithPDFInsideRect({ 0, 0, 100, 100 });
    ASSERT_TRUE(pdf);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(pdf->bytes()), 5), "%PDF-");
    auto eps = left->dataWithEPSInsideRect({ 10, 10, 30, 20 });
    ASSERT_TRUE(eps);
    std::string text(reinterpret_cast<const char*>(eps->bytes()), eps->length());
    EXPECT_EQ(text.rfind("%!PS-Adobe", 0), 0u);
    EXPECT_NE(text.find("%%BoundingBox: 0 0 30 20"), std::string::npos);
    EXPECT_FALSE(left->dataWithPDFInsideRect({}));
}

TEST_F(ViewDisplayTest, DrawingOutsideADisplayPassLandsInTheWindow)
{
    auto w = Window::create({ 0, 0, 40, 40 });
    auto v = TestView::make({ 10, 10, 20, 20 }, true);
    w->contentView()->addSubview(v);
    w->orderFront();
    ASSERT_TRUE(v->lockFocusIfCanDraw());
    EXPECT_TRUE(View::isDrawingToScreen());
    EXPECT_TRUE(gfx::GraphicsContext::current()->isFlipped());
    gfx::GraphicsContext::current()->setFillColor(*gfx::Color::redColor());
    gfx::GraphicsContext::current()->fillRect({ 0, 0, 5, 5 }); // the flipped view's top-left corner
    v->unlockFocus();
    auto surface = backend->surfaceForWindow(*w);
    auto pixels = surface->pixels();
    auto at = [&](int x, int yUp) { return gfx::redOf(pixels.pixel(x, pixels.height - 1 - yUp)); };
    EXPECT_EQ(at(12, 27), 255);
    EXPECT_NE(at(12, 12), 255);

    auto detached = TestView::make({ 0, 0, 10, 10 });
    EXPECT_FALSE(detached->lockFocusIfCanDraw());
}
