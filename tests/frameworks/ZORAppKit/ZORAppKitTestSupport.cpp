#include "ZORAppKitTestSupport.h"

#include "support/Canvas.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeManager.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace zortest {

FND_REGISTER_CLASS(ActionLog, fnd::Object)

void ActionLog::describeClass(fnd::ClassBuilder<ActionLog>& c)
{
    c.action("clicked:", &ActionLog::clicked);
    c.action("chose:", &ActionLog::chose);
}

void ActionLog::clicked(const fnd::Value&)
{
    received.push_back("clicked");
    times.push_back(clock ? clock->now().timeIntervalSinceReferenceDate() : 0);
}

void ActionLog::chose(const fnd::Value&)
{
    received.push_back("chose");
    times.push_back(clock ? clock->now().timeIntervalSinceReferenceDate() : 0);
}

ZORAppKitTest::ZORAppKitTest()
{
    log->clock = clock;
    window = ui::Window::create({ 100, 100, 320, 240 });
    window->makeKeyAndOrderFront();
}

void ZORAppKitTest::press(ui::View& view, gfx::Point point)
{
    backend->mouseDown(*window, inWindow(view, point));
}

void ZORAppKitTest::drag(ui::View& view, gfx::Point point)
{
    backend->mouseDragged(*window, inWindow(view, point));
}

void ZORAppKitTest::release(ui::View& view, gfx::Point point)
{
    backend->mouseUp(*window, inWindow(view, point));
}

void ZORAppKitTest::deactivateWindow()
{
    if (!otherWindow)
        otherWindow = ui::Window::create({ 500, 100, 100, 100 });
    otherWindow->makeKeyAndOrderFront();
}

std::shared_ptr<gfx::BitmapImageRep> ZORAppKitTest::shot(ui::View& view, const std::string& name)
{
    auto image = backend->imageOfView(view);
    auto path = std::filesystem::temp_directory_path() / ("ZORAppKit-" + name + ".png");
    if (image)
        (void)image->writeToFile(fnd::String(path.string()), gfx::BitmapImageFileType::PNG);
    return image;
}

std::shared_ptr<gfx::BitmapImageRep> ZORAppKitTest::windowShot(const std::string& name)
{
    auto image = backend->imageOfWindow(*window);
    auto path = std::filesystem::temp_directory_path() / ("ZORAppKit-" + name + ".png");
    if (image)
        (void)image->writeToFile(fnd::String(path.string()), gfx::BitmapImageFileType::PNG);
    return image;
}

std::uint32_t ZORAppKitTest::windowPixel(const gfx::BitmapImageRep& shot, ui::View& view, gfx::Point point) const
{
    auto p = inWindow(view, point);
    auto pixels = shot.pixelBuffer();
    double scale = shot.size().width > 0 ? pixels.width / shot.size().width : 1;
    int x = std::clamp(static_cast<int>(std::floor(p.x * scale)), 0, pixels.width - 1);
    int y = std::clamp(static_cast<int>(std::floor(p.y * scale)), 0, pixels.height - 1);
    return pixels.pixel(x, pixels.height - 1 - y);
}

std::shared_ptr<gfx::Image> solidImage(gfx::Size size, const gfx::ColorPtr& color, bool oval)
{
    // A bitmap, as images read from files are.
    auto image = gfx::Image::imageWithSize(size);
    image->lockFocus();
    color->setFill();
    if (oval)
        gfx::BezierPath::bezierPathWithOvalInRect({ {}, size })->fill();
    else
        gfx::BezierPath::fillRect({ {}, size });
    image->unlockFocus();
    return image;
}

std::uint32_t pixelAt(const gfx::BitmapImageRep& shot, const ui::View& view, gfx::Point point)
{
    auto pixels = shot.pixelBuffer();
    auto b = view.bounds();
    double scale = b.width() > 0 ? pixels.width / b.width() : 1;
    double fromTop = view.isFlipped() ? point.y - b.minY() : b.maxY() - point.y;
    int x = std::clamp(static_cast<int>(std::floor((point.x - b.minX()) * scale)), 0, pixels.width - 1);
    int y = std::clamp(static_cast<int>(std::floor(fromTop * scale)), 0, pixels.height - 1);
    return pixels.pixel(x, y);
}

std::uint32_t pixelOf(const gfx::ColorPtr& color)
{
    if (!color)
        return 0;
    auto c = color->rgba();
    auto byte = [](double v) { return static_cast<unsigned>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    return argb(byte(c[3]), byte(c[0] * c[3]), byte(c[1] * c[3]), byte(c[2] * c[3]));
}

::testing::AssertionResult pixelNear(std::uint32_t actual, std::uint32_t expected, int tolerance)
{
    if (pixelDistance(actual, expected) <= tolerance)
        return ::testing::AssertionSuccess();
    char text[64];
    std::snprintf(text, sizeof text, "pixel %08x is not %08x", actual, expected);
    return ::testing::AssertionFailure() << text;
}

int paintedPixels(const gfx::BitmapImageRep& shot, const ui::View& view, gfx::Rect rect)
{
    int painted = 0;
    for (double y = rect.minY() + 0.5; y < rect.maxY(); y += 1) {
        for (double x = rect.minX() + 0.5; x < rect.maxX(); x += 1) {
            if (gfx::alphaOf(pixelAt(shot, view, { x, y })) != 0)
                ++painted;
        }
    }
    return painted;
}

const std::vector<fnd::String>& themeKeys()
{
    static const std::vector<fnd::String> keys { ZORThemeKey::Glass, ZORThemeKey::FlatDark, ZORThemeKey::HUD,
        ZORThemeKey::Gray, ZORThemeKey::LightGray, ZORThemeKey::White };
    return keys;
}

std::shared_ptr<ZORTheme> themeNamed(const fnd::String& key)
{
    return ZORThemeManager::sharedThemeManager().themeForKey(key);
}

}
