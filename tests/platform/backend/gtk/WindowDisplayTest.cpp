#include "GtkTestSupport.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/TextRendering.h"
#include "platform/text/AttributedString.h"

#include <fmt/format.h>
#include <gtk/gtk.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace gtktest;

namespace {

constexpr std::uint32_t Red = 0xFF0000, Blue = 0x0000FF, Black = 0x000000;

std::string hex(std::uint32_t pixel)
{
    return fmt::format("{:06x}", pixel);
}

}

class WindowDisplayTest : public GtkDisplayTest { };

// Our view tree reaches the screen where the window's frame says, at the monitor's scale, and a hairline stays one
// device pixel thick.
TEST_F(WindowDisplayTest, ContentIsShownAtItsScreenPlaceAndScale)
{
    auto content = FillView::make({}, gfx::Color::colorWithDeviceRed(1, 0, 0));
    content->extra = [](FillView& view) {
        auto* context = gfx::GraphicsContext::current();
        auto b = view.bounds();
        context->setFillColor(*gfx::Color::colorWithDeviceRed(0, 0, 1));
        context->fillRect({ b.midX(), 0, b.width() / 2, b.height() });
        // A line of width 0 is one device pixel; centred on a device pixel row (half a device pixel above y = 20)
        // it covers exactly that row, at any scale.
        context->setStrokeColor(*gfx::Color::blackColor());
        auto line = gfx::BezierPath::bezierPath();
        double y = 20 + 0.5 / GtkDisplayTest::scale();
        line->moveToPoint({ 0, y });
        line->lineToPoint({ b.width(), y });
        line->setLineWidth(0);
        line->stroke();
    };
    auto window = showWindow({ 40, 60, 160, 100 }, content);
    auto [x, y, width, height] = deviceRectOfContent(*window);
    ASSERT_EQ(width, 160 * scale());
    ASSERT_EQ(height, 100 * scale());

    Screenshot shot;
    // The X server may take a moment to show what GTK handed it.
    waitFor([&] {
        shot = grabScreen(x - 4, y - 4, width + 8, height + 8);
        return shot.width && shot.at(4 + width / 4, 4 + height / 4) == Red;
    });
    shot.save(fmt::format("gtk-window-scale{}.png", scale()));
    ASSERT_TRUE(shot.width);
    EXPECT_EQ(hex(shot.at(4 + width / 4, 4 + height / 4)), hex(Red)) << "left half";
    EXPECT_EQ(hex(shot.at(4 + width * 3 / 4, 4 + height / 4)), hex(Blue)) << "right half";
    EXPECT_EQ(hex(shot.at(4, 4)), hex(Red)) << "the content's top-left device pixel";
    EXPECT_NE(hex(shot.at(3, 3)), hex(Red)) << "the pixel diagonally outside the window";
    EXPECT_EQ(hex(shot.at(4 + width - 1, 4 + height - 1)), hex(Blue)) << "the bottom-right device pixel";
    EXPECT_NE(hex(shot.at(4 + width, 4 + height)), hex(Blue)) << "the pixel diagonally outside";

    // The hairline: exactly one black row, 20 points up from the bottom.
    int lineRow = 4 + height - 20 * scale() - 1;
    int column = 4 + width / 4;
    EXPECT_EQ(hex(shot.at(column, lineRow)), hex(Black));
    EXPECT_EQ(hex(shot.at(column, lineRow - 1)), hex(Red));
    EXPECT_EQ(hex(shot.at(column, lineRow + 1)), hex(Red));
}

namespace {

// A flipped view (y down) that fills its top strip.
class TopStripView : public FillView {
    FND_OBJECT(TopStripView)
public:
    bool isFlipped() const override { return true; }
};
FND_REGISTER_CLASS(TopStripView, FillView)

}

// A window of several views: each one's pixels land where its frame puts it on the screen, a flipped view's y runs
// down, and text drawn in a view reaches the screen.
TEST_F(WindowDisplayTest, ViewsOfAWindowLandWhereTheirFramesSay)
{
    auto content = FillView::make({}, gfx::Color::colorWithDeviceWhite(0.95));
    auto green = FillView::make({ 10, 10, 60, 30 }, gfx::Color::colorWithDeviceRed(0, 0.8, 0));
    auto flipped = std::make_shared<TopStripView>();
    flipped->initWithFrame({ 90, 10, 60, 60 });
    flipped->fill = gfx::Color::colorWithDeviceWhite(1);
    flipped->extra = [](FillView&) {
        gfx::GraphicsContext::current()->setFillColor(*gfx::Color::colorWithDeviceRed(0, 0, 1));
        gfx::GraphicsContext::current()->fillRect({ 0, 0, 60, 10 }); // the top 10 points, as y runs down
    };
    auto label = FillView::make({ 10, 80, 200, 30 }, nullptr);
    label->extra = [](FillView&) {
        txt::Attributes attributes;
        attributes.set(txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(18)));
        txt::AttributedString("Barcodes 0123 Ärger", attributes).drawAtPoint({ 2, 6 });
    };
    for (const auto& view : { std::static_pointer_cast<ui::View>(green), std::static_pointer_cast<ui::View>(flipped),
             std::static_pointer_cast<ui::View>(label) })
        content->addSubview(view);
    auto window = showWindow({ 200, 300, 220, 120 }, content);
    auto [x, y, width, height] = deviceRectOfContent(*window);
    int s = scale();
    Screenshot shot;
    waitFor([&, x = x, y = y, width = width, height = height] {
        shot = grabScreen(x, y, width, height);
        return shot.width && shot.at(0, 0) != 0;
    });
    shot.save(fmt::format("gtk-views-scale{}.png", s));
    // Screenshot rows run down from the content's top (120 points high).
    auto at = [&](double px, double py) { return hex(shot.at(int(px * s), int((120 - py) * s))); };
    EXPECT_EQ(at(40, 25), hex(0x00CC00)) << "the green view, 10 points in from the bottom left";
    EXPECT_EQ(at(120, 65), hex(Blue)) << "the flipped view's top strip";
    EXPECT_EQ(at(120, 55), hex(0xFFFFFF)) << "below the strip";
    int dark = 0;
    for (int row = int((120 - 110) * s); row < int((120 - 80) * s); ++row)
        for (int column = 10 * s; column < 210 * s; ++column)
            dark += (shot.at(column, row) & 0xFF) < 0x60;
    EXPECT_GT(dark, 40 * s * s) << "the label's glyphs are on the screen";
}

// Redrawing a view shows its new pixels; moving the window moves them on the screen.
TEST_F(WindowDisplayTest, RedrawsAndMovesFollowTheWindow)
{
    auto content = FillView::make({}, gfx::Color::colorWithDeviceRed(1, 0, 0));
    auto window = showWindow({ 30, 30, 80, 60 }, content);
    long frames = backend->presentedFrameCount(*window);
    content->fill = gfx::Color::colorWithDeviceRed(0, 0, 1);
    content->setNeedsDisplay(true);
    ASSERT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > frames; }));
    auto [x, y, width, height] = deviceRectOfContent(*window);
    EXPECT_TRUE(waitFor([&] { return grabScreen(x + width / 2, y + height / 2, 1, 1).at(0, 0) == Blue; }));

    window->setFrameOrigin({ 120, 90 });
    auto moved = deviceRectOfContent(*window);
    EXPECT_TRUE(waitFor([&] { return grabScreen(moved[0] + 2, moved[1] + 2, 1, 1).at(0, 0) == Blue; }))
        << "the window's pixels at its new place";
    EXPECT_NE(grabScreen(x + 2, y + 2, 1, 1).at(0, 0), Blue) << "nothing left at the old place";
}

// Ordering front, back and out shows on the screen: the front window's pixels are the ones seen.
TEST_F(WindowDisplayTest, OrderFrontBackAndOutShowOnTheScreen)
{
    auto red = showWindow({ 60, 60, 100, 80 }, FillView::make({}, gfx::Color::colorWithDeviceRed(1, 0, 0)));
    auto blue = showWindow({ 80, 70, 100, 80 }, FillView::make({}, gfx::Color::colorWithDeviceRed(0, 0, 1)));
    auto [x, y, width, height] = deviceRectOfContent(*blue);
    // 10 points in from the blue window's bottom left, where the two overlap.
    int s = scale();
    auto seen = [&, x = x, y = y] { return grabScreen(x + 10 * s, y + 70 * s, 1, 1).at(0, 0); };
    EXPECT_TRUE(waitFor([&] { return seen() == Blue; })) << "the newer window in front";
    red->orderFront();
    EXPECT_TRUE(waitFor([&] { return seen() == Red; })) << "ordered front";
    red->orderBack();
    EXPECT_TRUE(waitFor([&] { return seen() == Blue; })) << "ordered back";
    blue->orderOut();
    EXPECT_TRUE(waitFor([&] { return seen() == Red; })) << "the other window ordered out";
    EXPECT_FALSE(blue->isVisible());
}

// Screens: the primary monitor is the first, its bottom left the origin; the scale is GDK's.
TEST_F(WindowDisplayTest, ScreensReportTheMonitorAndItsScale)
{
    auto screens = ui::Screen::screens();
    ASSERT_FALSE(screens.empty());
    auto frame = screens.front()->frame();
    // scripts/with-display starts a 1280 × 1024 server.
    EXPECT_EQ(frame, gfx::Rect(0, 0, 1280.0 / scale(), 1024.0 / scale()));
    EXPECT_EQ(screens.front()->backingScaleFactor(), scale());
    EXPECT_TRUE(gfx::containsRect(frame, screens.front()->visibleFrame()));
}

// A close from the desktop asks our window, which closes; the last window closing ends a running application.
TEST_F(WindowDisplayTest, ClosingTheLastWindowEndsTheApplication)
{
    struct Quitter : ui::ApplicationDelegate {
        bool applicationShouldTerminateAfterLastWindowClosed(ui::Application&) override { return true; }
        void applicationDidFinishLaunching(ui::Application& app) override
        {
            // As the close button would: GTK's close request reaches performClose.
            for (const auto& w : app.windows())
                backend->requestClose(*w);
        }
    };
    auto delegate = std::make_shared<Quitter>();
    auto& app = ui::Application::shared();
    app.setDelegate(delegate);
    auto window = showWindow({ 20, 20, 60, 40 }, FillView::make({}, nullptr));
    app.run();
    EXPECT_TRUE(window->isClosed());
    app.setDelegate(nullptr);
}

// A view that asks to be drawn again from inside its own drawing (an animation that paces itself by its frames)
// is drawn once a frame, and its window keeps showing what else changes. However often other work asks for drawing
// meanwhile (a timer faster than the screen, a worker's results), the window draws once a frame of GTK's clock.
TEST_F(WindowDisplayTest, AViewMarkingItselfWhileDrawingLetsItsWindowKeepShowingFrames)
{
    auto content = FillView::make({}, gfx::Color::colorWithDeviceWhite(1));
    auto spinner = FillView::make({ 10, 10, 40, 40 }, gfx::Color::colorWithDeviceRed(0, 0.8, 0));
    long spins = 0;
    spinner->extra = [&](FillView& view) {
        ++spins;
        view.setNeedsDisplay(true);
    };
    auto label = FillView::make({ 60, 10, 40, 40 }, gfx::Color::colorWithDeviceRed(1, 0, 0));
    content->addSubview(spinner);
    content->addSubview(label);
    auto window = showWindow({ 80, 80, 120, 60 }, content);
    auto [x, y, width, height] = deviceRectOfContent(*window);
    const int s = scale();
    auto labelPixel = [&, x = x, y = y] { return grabScreen(x + 80 * s, y + 30 * s, 1, 1).at(0, 0); };
    ASSERT_TRUE(waitFor([&] { return labelPixel() == Red; }));

    // Other changes still reach the screen, frame after frame.
    const long framesBefore = backend->presentedFrameCount(*window);
    label->fill = gfx::Color::colorWithDeviceRed(0, 0, 1);
    label->setNeedsDisplay(true);
    EXPECT_TRUE(waitFor([&] { return labelPixel() == Blue; })) << "the window's frames stopped";
    EXPECT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > framesBefore + 5; }))
        << "frames presented: " << backend->presentedFrameCount(*window) - framesBefore;

    // The spinner is drawn at the pace of frames, not as fast as the loop can turn: once for each frame shown.
    // Counted in frames, not in time, which a busy machine stretches.
    auto beat = fnd::Timer::create(fnd::Date::now(), 1.0 / 250, true, [&](fnd::Timer&) {
        label->setNeedsDisplayInRect({ 0, 0, 5, 5 });
    });
    fnd::RunLoop::main().addTimer(beat, fnd::RunLoopMode::Common);
    std::atomic<bool> working { true };
    std::weak_ptr<FillView> weakLabel = label;
    std::thread worker([&working, weakLabel] {
        while (working) {
            fnd::RunLoop::main().post([weakLabel] {
                if (auto l = weakLabel.lock())
                    l->setNeedsDisplayInRect({ 20, 20, 5, 5 });
            });
            std::this_thread::sleep_for(std::chrono::microseconds(1500));
        }
    });
    backend->resetDrawsInAFrame(*window);
    const long spinsBefore = spins;
    const long framesAt = backend->presentedFrameCount(*window);
    const bool framesCame = waitFor([&] { return backend->presentedFrameCount(*window) >= framesAt + 10; });
    working = false;
    worker.join();
    beat->invalidate();
    ASSERT_TRUE(framesCame) << "the window's frames stopped";
    const long drawn = spins - spinsBefore;
    const long frames = backend->presentedFrameCount(*window) - framesAt;
    EXPECT_GE(drawn, frames - 2) << "the spinner stopped";
    EXPECT_LE(drawn, frames + 2) << "the spinner is drawn " << drawn << " times in " << frames << " frames";
    EXPECT_EQ(backend->mostDrawsInAFrame(*window), 1) << "the window drew twice within one frame";
}

// The desktop's font settings, as GTK has them, choose how glyphs are rasterised, and follow the desktop's changes;
// settings left at "default" keep fontconfig's choice.
TEST_F(WindowDisplayTest, TheDesktopsFontSettingsChooseHowGlyphsAreRasterised)
{
    GtkSettings* settings = gtk_settings_get_default();
    ASSERT_TRUE(settings);
    int antialias = -1, hinting = -1;
    char* style = nullptr;
    g_object_get(
        settings, "gtk-xft-antialias", &antialias, "gtk-xft-hinting", &hinting, "gtk-xft-hintstyle", &style, nullptr);
    const auto before = gfx::desktopTextRendering();
    g_object_set(settings, "gtk-xft-antialias", 0, "gtk-xft-hintstyle", "hintfull", nullptr);
    EXPECT_EQ(gfx::desktopTextRendering(), (gfx::TextRenderingOptions { false, gfx::TextHinting::Full }));
    g_object_set(settings, "gtk-xft-antialias", 1, "gtk-xft-hinting", 0, nullptr);
    EXPECT_EQ(gfx::desktopTextRendering(), (gfx::TextRenderingOptions { true, gfx::TextHinting::None }));
    // Antialiasing left at "default": fontconfig's.
    g_object_set(settings, "gtk-xft-antialias", -1, "gtk-xft-hinting", 1, "gtk-xft-hintstyle", "hintmedium", nullptr);
    EXPECT_EQ(gfx::desktopTextRendering(), (gfx::TextRenderingOptions { before.antialias, gfx::TextHinting::Medium }));
    g_object_set(
        settings, "gtk-xft-antialias", antialias, "gtk-xft-hinting", hinting, "gtk-xft-hintstyle", style, nullptr);
    g_free(style);
    gfx::setDesktopTextRendering(before);
}

namespace {

// A tint over its frame (the dimming under a sheet), laid by GTK as it composes the window.
class WindowDisplayTestTint : public FillView {
public:
    static std::shared_ptr<WindowDisplayTestTint> make(gfx::Rect frame, gfx::ColorPtr tint)
    {
        auto view = std::make_shared<WindowDisplayTestTint>();
        view->initWithFrame(frame);
        view->fill = tint;
        return view;
    }
    std::shared_ptr<gfx::Color> overlayTintColor() const override { return fill; }
};

}

// A tint over the top 50 points reaches the screen exactly as the window's own composing lays it, to the device
// pixel, as it fades, as what lies beneath changes and as the window grows; gone, it leaves nothing. Worked by hand: 40
// % black (alpha 102) leaves 255 · 153 / 255 = 153 (0x99) of white, and of blue's blue; at half the view's alpha (51)
// 204 (0xcc).
TEST_F(WindowDisplayTest, ATintIsLaidOverTheWindowAsItFades)
{
    auto content = FillView::make({}, gfx::Color::whiteColor());
    content->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
    auto left = FillView::make({ 0, 0, 40, 100 }, gfx::Color::colorWithDeviceRed(0, 0, 1));
    left->setAutoresizingMask(ui::AutoresizingMask::HeightSizable);
    content->addSubview(left);
    auto window = showWindow({ 40, 60, 160, 100 }, content);
    auto tint = WindowDisplayTestTint::make({ 0, 50, 160, 50 }, gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
    tint->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::MinYMargin);
    content->addSubview(tint);

    const int s = scale();
    auto expect = [&](std::uint32_t topLeft, std::uint32_t topRight, std::uint32_t bottomLeft, const char* step) {
        auto [x, y, width, height] = deviceRectOfContent(*window);
        Screenshot shot;
        const bool shown = waitFor([&] {
            shot = grabScreen(x, y, width, height);
            return shot.width && shot.at(width - 1, 0) == topRight && shot.at(0, 50 * s - 1) == topLeft;
        });
        ASSERT_TRUE(shown) << step << ": top right " << hex(shot.width ? shot.at(width - 1, 0) : 0);
        EXPECT_EQ(hex(shot.at(0, 0)), hex(topLeft)) << step << ": the tint's first device pixel";
        EXPECT_EQ(hex(shot.at(20 * s, 50 * s - 1)), hex(topLeft)) << step << ": its last row";
        EXPECT_EQ(hex(shot.at(20 * s, 50 * s)), hex(bottomLeft)) << step << ": the row just below it";
        EXPECT_EQ(hex(shot.at(width - 1, height - 1)), hex(0xFFFFFF)) << step << ": below it";
    };
    expect(0x000099, 0x999999, Blue, "laid");

    tint->setAlphaValue(0.5);
    expect(0x0000CC, 0xCCCCCC, Blue, "half faded");

    left->fill = gfx::Color::colorWithDeviceRed(1, 0, 0);
    left->setNeedsDisplay(true);
    expect(0xCC0000, 0xCCCCCC, Red, "drawn beneath");

    window->setFrame({ 40, 60, 240, 140 }, true);
    expect(0xCC0000, 0xCCCCCC, Red, "grown");

    tint->removeFromSuperview();
    expect(Red, 0xFFFFFF, Red, "removed");
}

// GTK lays a window's tints only around an opaque sheet shown on it, whose pixels hide the window's there; the
// sheet gone, the tint lies where it was at once, also with no step of a fade to come. 40 % black over white
// leaves 0x99.
TEST_F(WindowDisplayTest, ATintReachesWhereASheetLayOnceItGoes)
{
    auto content = FillView::make({}, gfx::Color::whiteColor());
    auto window = showWindow({ 150, 200, 240, 160 }, content);
    auto tint = WindowDisplayTestTint::make({ 0, 0, 240, 160 }, gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
    content->addSubview(tint);
    auto sheet = ui::Window::create({ 0, 0, 120, 60 }, ui::WindowStyleMask::Titled | ui::WindowStyleMask::DocModal);
    sheet->setContentView(FillView::make({ 0, 0, 120, 60 }, gfx::Color::colorWithDeviceRed(0, 0, 1)));
    window->beginSheet(sheet, nullptr);
    ASSERT_TRUE(waitFor([&] { return backend->presentedFrameCount(*sheet) > 0; }));
    auto [x, y, width, height] = deviceRectOfContent(*window);
    const int s = scale();
    // The sheet hangs from the top, 60 points in from either side: its middle, and the window beside and below it.
    auto at = [&, x = x, y = y](int px, int py) { return grabScreen(x + px * s, y + py * s, 1, 1).at(0, 0); };
    EXPECT_TRUE(waitFor([&] { return at(120, 30) == Blue; })) << hex(at(120, 30));
    EXPECT_TRUE(waitFor([&] { return at(30, 30) == 0x999999 && at(210, 30) == 0x999999 && at(120, 90) == 0x999999; }))
        << hex(at(30, 30)) << " " << hex(at(210, 30)) << " " << hex(at(120, 90));

    window->endSheet(sheet);
    EXPECT_TRUE(waitFor([&] { return at(120, 30) == 0x999999; })) << "where the sheet lay: " << hex(at(120, 30));
    auto row = grabScreen(x, y + 30 * s, width, 1);
    for (int px = 0; px < width; ++px)
        ASSERT_EQ(hex(row.at(px, 0)), hex(0x999999)) << "device pixel " << px << " of the row through the sheet";
}
