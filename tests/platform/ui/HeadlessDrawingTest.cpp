#include "TestViews.h"
#include "UiTestSupport.h"

#include <utility>

using namespace ui;
using uitest::TestView;

namespace {

class HeadlessDrawingTest : public uitest::UiTest {
protected:
    std::shared_ptr<Window> shownWindowWith(const std::shared_ptr<TestView>& content)
    {
        auto window = Window::create({ 100, 100, 120, 80 });
        window->setContentView(content);
        window->makeKeyAndOrderFront();
        return window;
    }
};

// Work that reads no pixels turns drawing off: views are never asked to draw, while asking for the window's pixels
// fails plainly instead of reading a surface that does not exist.
TEST_F(HeadlessDrawingTest, WindowsWithoutDrawingDrawNothingAndHaveNoPixels)
{
    backend->setDrawsWindows(false);
    auto content = TestView::make({ 0, 0, 120, 80 });
    auto window = shownWindowWith(content);

    window->display();
    content->setNeedsDisplay(true);
    window->displayIfNeeded();

    EXPECT_TRUE(content->drawn.empty());
    EXPECT_EQ(backend->surfaceCount(), 0u);
    EXPECT_EQ(backend->imageOfWindow(*window), nullptr);
    EXPECT_EQ(backend->imageOfWindowAsShown(*window), nullptr);
    EXPECT_FALSE(backend->writePNG(*window, "/nonexistent/never-written.png").has_value());
}

TEST_F(HeadlessDrawingTest, DrawingTurnedBackOnServesWindowsDrawnFromThenOn)
{
    backend->setDrawsWindows(false);
    backend->setDrawsWindows(true);
    auto content = TestView::make({ 0, 0, 120, 80 }, false, gfx::Color::redColor());
    auto window = shownWindowWith(content);

    auto image = backend->imageOfWindow(*window);

    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(content->drawn.empty());
    // The content's red fill (ARGB): opaque, red, no green or blue.
    const std::uint32_t pixel = std::as_const(*image).pixelBuffer().row(40)[60];
    EXPECT_EQ(pixel >> 24, 0xFFu);
    EXPECT_GT((pixel >> 16) & 0xFF, 0xE0u);
    EXPECT_LT((pixel >> 8) & 0xFF, 0x20u);
    EXPECT_LT(pixel & 0xFF, 0x20u);
}

}
