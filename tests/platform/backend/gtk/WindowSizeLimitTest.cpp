#include "GtkTestSupport.h"

using namespace gtktest;

namespace {

// The X screen of scripts/with-display, in device pixels.
constexpr int ScreenPixelsWide = 1280, ScreenPixelsHigh = 1024;
// Windows of the screen's size cost a few tens of megabytes; a 9,000-point square minimum took nearly a gigabyte.
constexpr long ModestGrowthKilobytes = 200 * 1024;

}

class WindowSizeLimitTest : public GtkDisplayTest { };

// A minimum beyond the screen is asked of GTK only as far as the screen reaches (in points: device pixels over the
// scale): the window stays, as large as the screen, and no buffers of thousands of points are made. The window
// keeps the program's minimum.
TEST_F(WindowSizeLimitTest, AMinimumBeyondTheScreenIsAskedOnlyAsFarAsTheScreen)
{
    const auto screen = std::make_pair(ScreenPixelsWide / scale(), ScreenPixelsHigh / scale());
    const double minimums[] = { 9000, 50000, 1e300 };
    for (double minimum : minimums) {
        PeakMemoryGrowth memory;
        auto window = showWindow({ 40, 40, 200, 100 }, FillView::make({}, gfx::Color::colorWithDeviceRed(1, 0, 0)));
        window->setMinSize({ minimum, minimum });
        EXPECT_TRUE(waitFor([&] { return canvasSize(*window) == screen; }))
            << minimum << ": the canvas is " << canvasSize(*window).first << " × " << canvasSize(*window).second;
        long frames = backend->presentedFrameCount(*window);
        window->contentView()->setNeedsDisplay(true);
        EXPECT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > frames; })) << minimum;
        auto [wide, high] = xWindowSize(*window);
        EXPECT_LE(wide, ScreenPixelsWide) << minimum;
        EXPECT_LE(high, ScreenPixelsHigh) << minimum;
        EXPECT_EQ(window->minSize(), gfx::Size(std::min(minimum, 1e7), std::min(minimum, 1e7))) << "the program's";
        EXPECT_LT(memory.kilobytes(), ModestGrowthKilobytes) << minimum << " took that many kilobytes";
        window->close();
    }
}

// A frame wider than X makes a window is asked of X only as far as X goes (32,767 device pixels), and the window's
// buffer stops there too, so its drawing still reaches the screen (Cairo draws into nothing wider).
TEST_F(WindowSizeLimitTest, AFrameBeyondWhatXMakesIsAskedOnlyAsFarAsXGoes)
{
    PeakMemoryGrowth memory;
    auto window = showWindow({ 0, 40, 40000, 60 }, FillView::make({}, gfx::Color::colorWithDeviceRed(0, 0, 1)));
    EXPECT_LE(xWindowSize(*window).first, 32767);
    auto surface = backend->surfaceForWindow(*window)->pixels();
    EXPECT_EQ(surface.width, 32767 / scale() * scale());
    EXPECT_EQ(surface.height, 60 * scale());
    auto [x, y, width, height] = deviceRectOfContent(*window);
    EXPECT_TRUE(waitFor([&, y = y] { return grabScreen(100, y + 10, 1, 1).at(0, 0) == 0x0000FF; }))
        << "the content is drawn";
    EXPECT_LT(memory.kilobytes(), ModestGrowthKilobytes);
}

// An ordinary minimum holds on the real window, set after the window is shown too: GTK makes it at least that big,
// whatever the frame asks.
TEST_F(WindowSizeLimitTest, AnOrdinaryMinimumHoldsOnTheRealWindow)
{
    auto window = showWindow({ 40, 40, 200, 100 }, FillView::make({}, gfx::Color::colorWithDeviceRed(1, 0, 0)));
    window->setMinSize({ 400, 300 });
    EXPECT_TRUE(waitFor([&] { return canvasSize(*window) == std::make_pair(400, 300); }))
        << "the canvas is " << canvasSize(*window).first << " × " << canvasSize(*window).second;
    EXPECT_TRUE(waitFor([&] { return xWindowSize(*window) == std::make_pair(400 * scale(), 300 * scale()); }));
    EXPECT_EQ(window->minSize(), gfx::Size(400, 300));
}
