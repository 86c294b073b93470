#include "TestViews.h"
#include "TintTestScene.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/PixelBuffer.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Backend.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace ui;
using uitest::TestView;

namespace {

// A window system that lays tints over a window's pixels as it shows them (as a compositor would): it keeps the
// pixels, the tints handed over, and counts what the window told it.
class TintLayingSurface final : public gfx::WindowSurface {
public:
    TintLayingSurface(gfx::Size points, double scale)
        : m_points(points)
        , m_width(int(std::ceil(points.width * scale)))
        , m_height(int(std::ceil(points.height * scale)))
        , m_pixels(std::size_t(m_width) * std::size_t(m_height), 0)
    {
    }
    gfx::Size pointSize() const override { return m_points; }
    gfx::PixelBufferView pixels() override
    {
        return { reinterpret_cast<std::uint8_t*>(m_pixels.data()), m_width, m_height, std::ptrdiff_t(m_width) * 4 };
    }
    void pixelsChanged() override { ++changes; }
    bool laysTints() const override { return true; }
    void setTints(std::vector<gfx::SurfaceTint> handed) override { tints = std::move(handed); }

    long changes { 0 };
    std::vector<gfx::SurfaceTint> tints;

private:
    gfx::Size m_points;
    int m_width, m_height;
    std::vector<std::uint32_t> m_pixels;
};

class TintLayingBackend final : public Backend {
public:
    explicit TintLayingBackend(double scale)
        : m_scale(scale)
    {
    }
    std::vector<ScreenGeometry> screens() override { return { { { 0, 0, 1440, 900 }, { 0, 0, 1440, 878 }, m_scale } }; }
    std::shared_ptr<gfx::WindowSurface> surfaceForWindow(Window& window) override
    {
        auto size = Window::contentRectForFrameRect(window.frame(), window.styleMask()).size;
        if (!surface || surface->pointSize() != size)
            surface = std::make_shared<TintLayingSurface>(size, window.backingScaleFactor());
        return surface;
    }
    void windowFlushed(Window&) override { ++flushes; }

    std::shared_ptr<TintLayingSurface> surface;
    long flushes { 0 };

private:
    double m_scale;
};

// A window 300 × 100 at the screen's scale on a surface that lays tints itself: white ground, a blue view on the
// left third.
class WindowSurfaceTintTest : public ::testing::TestWithParam<double>, protected uitest::TintTestScene {
protected:
    WindowSurfaceTintTest()
        : clock(std::make_shared<fnd::VirtualClock>())
        , scopedClock(clock)
        , backend(std::make_shared<TintLayingBackend>(GetParam()))
    {
        Backend::install(backend);
        Application::shared().reset();
        makeWindow();
        clock->advance(1);
        nextFrame();
    }
    ~WindowSurfaceTintTest() override
    {
        for (const auto& w : Application::shared().windows())
            w->close();
        Backend::install(nullptr);
        // Gone while the test's clock still stands, as the fixture's own members are.
        window.reset();
        root.reset();
        blue.reset();
    }
    void nextFrame() { runFrame(*clock); }
    // The pixel at a window point (y up) as the surface holds it, beneath any tint.
    std::string at(double x, double y) const { return rgbAt(backend->surface->pixels(), GetParam(), x, y); }
    // The tints handed over, as "x0,y0-x1,y1 alpha" in device pixels from the top.
    std::vector<std::string> tints() const
    {
        std::vector<std::string> out;
        for (const auto& t : backend->surface->tints)
            out.push_back(std::to_string(t.x0) + "," + std::to_string(t.y0) + "-" + std::to_string(t.x1) + ","
                + std::to_string(t.y1) + " " + std::to_string(int(t.alpha)));
        return out;
    }
    int px(double points) const { return int(points * GetParam()); }

    std::shared_ptr<fnd::VirtualClock> clock;
    fnd::ScopedClock scopedClock;
    std::shared_ptr<TintLayingBackend> backend;
};

}

// The tint over the top half is handed over, not drawn: the surface keeps the drawing beneath. 40 % black is alpha
// 0.4 · 255 = 102, at half the view's alpha 51; the top half is device rows 0 to 50 × the scale.
TEST_P(WindowSurfaceTintTest, TintsAreHandedToTheSurfaceAndAFadeStepRedrawsNothing)
{
    auto tint = uitest::TintOverlayView::make({ 0, 50, 300, 50 }, gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
    forget();
    root->addSubview(tint);
    nextFrame();
    EXPECT_TRUE(root->drawn.empty()) << "the surface holds the drawing beneath already";
    const std::string topHalf = "0,0-" + std::to_string(px(300)) + "," + std::to_string(px(50));
    EXPECT_EQ(tints(), std::vector<std::string> { topHalf + " 102" });
    EXPECT_EQ(at(150, 75), "255,255,255") << "the surface holds what lies beneath";
    EXPECT_EQ(at(50, 75), "0,0,255");
    EXPECT_TRUE(tint->drawn.empty()) << "the tree does not draw the tint";

    // A fade step: only the tints change; nothing is drawn and the pixels are not reported changed.
    forget();
    const long changes = backend->surface->changes, flushes = backend->flushes;
    tint->setAlphaValue(0.5);
    nextFrame();
    EXPECT_TRUE(root->drawn.empty());
    EXPECT_TRUE(blue->drawn.empty());
    EXPECT_EQ(tints(), std::vector<std::string> { topHalf + " 51" });
    EXPECT_EQ(backend->surface->changes, changes);
    EXPECT_EQ(backend->flushes, flushes + 1) << "the new tints are shown";

    // A step that leaves the level as it was hands nothing over (0.501 · 102 = 51.1 is still 51).
    tint->setAlphaValue(0.501);
    nextFrame();
    EXPECT_EQ(backend->flushes, flushes + 1);

    // What changes beneath is drawn into the surface untinted, and the tint stays.
    blue->fill = gfx::Color::colorWithDeviceRed(1, 0, 0);
    blue->setNeedsDisplay(true);
    nextFrame();
    EXPECT_EQ(blue->drawn.size(), 1u);
    EXPECT_GT(backend->surface->changes, changes);
    EXPECT_EQ(at(50, 75), "255,0,0");
    EXPECT_EQ(tints().size(), 1u);

    // A view above the tint: the tree draws the tint (20 % black over white leaves 204) and no tint is handed over.
    auto above = TestView::make({ 250, 0, 50, 20 }, false, gfx::Color::colorWithDeviceRed(0, 1, 0));
    root->addSubview(above);
    nextFrame();
    EXPECT_TRUE(tints().empty());
    EXPECT_EQ(at(150, 75), "204,204,204");
    EXPECT_EQ(at(275, 10), "0,255,0");
    // Gone again: the tint is handed over once more, and the surface is drawn without it everywhere.
    above->removeFromSuperview();
    nextFrame();
    EXPECT_EQ(tints(), std::vector<std::string> { topHalf + " 51" });
    EXPECT_EQ(at(150, 75), "255,255,255");
    EXPECT_EQ(at(275, 10), "255,255,255");

    // Hidden, it is no longer laid; shown, it is laid again.
    tint->setHidden(true);
    nextFrame();
    EXPECT_TRUE(tints().empty());
    EXPECT_EQ(at(150, 75), "255,255,255");
    tint->setHidden(false);
    nextFrame();
    EXPECT_EQ(tints(), std::vector<std::string> { topHalf + " 51" });

    // Removed, it leaves no tint.
    tint->removeFromSuperview();
    nextFrame();
    EXPECT_TRUE(tints().empty());
    EXPECT_EQ(at(150, 75), "255,255,255");
    EXPECT_EQ(at(50, 75), "255,0,0");
}

// A window that grows while tinted gets a new surface: the tint, which follows its content, is handed to that one
// with its new box, and the new surface holds the whole drawing beneath.
TEST_P(WindowSurfaceTintTest, ANewSurfaceGetsTheTintsAndTheWholeDrawing)
{
    auto tint = uitest::TintOverlayView::make({ 0, 0, 300, 100 }, gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
    tint->setAutoresizingMask(AutoresizingMask::WidthSizable | AutoresizingMask::HeightSizable);
    root->setAutoresizingMask(AutoresizingMask::WidthSizable | AutoresizingMask::HeightSizable);
    root->addSubview(tint);
    nextFrame();
    auto first = backend->surface;
    window->setContentSize({ 400, 200 });
    nextFrame();
    ASSERT_NE(backend->surface, first);
    const std::string whole = "0,0-" + std::to_string(px(400)) + "," + std::to_string(px(200)) + " 102";
    EXPECT_EQ(tints(), std::vector<std::string> { whole });
    EXPECT_EQ(at(350, 150), "255,255,255");
    EXPECT_EQ(at(50, 50), "0,0,255");
}

INSTANTIATE_TEST_SUITE_P(Scales, WindowSurfaceTintTest, ::testing::Values(1.0, 2.0));
