#include "ControlsTestSupport.h"

#include "support/Canvas.h"

#include <algorithm>
#include <cmath>

namespace controlstest {

FND_REGISTER_CLASS(ActionLog, fnd::Object)

void ActionLog::describeClass(fnd::ClassBuilder<ActionLog>& c)
{
    c.action("clicked:", &ActionLog::clicked);
    c.action("cancelled:", &ActionLog::cancelled);
}

void ActionLog::clicked(const fnd::Value& sender)
{
    received.push_back("clicked");
    senders.push_back(sender);
}

void ActionLog::cancelled(const fnd::Value& sender)
{
    received.push_back("cancelled");
    senders.push_back(sender);
}

long ActionLog::count(const std::string& what) const
{
    return std::count(received.begin(), received.end(), what);
}

ControlsTest::ControlsTest()
{
    window = ui::Window::create({ 100, 100, 320, 240 });
    window->makeKeyAndOrderFront();
}

void ControlsTest::press(ui::View& view, gfx::Point point, unsigned flags)
{
    backend->mouseDown(*window, inWindow(view, point), flags);
}

void ControlsTest::drag(ui::View& view, gfx::Point point)
{
    backend->mouseDragged(*window, inWindow(view, point));
}

void ControlsTest::release(ui::View& view, gfx::Point point)
{
    backend->mouseUp(*window, inWindow(view, point));
}

void ControlsTest::click(ui::View& view)
{
    auto b = view.bounds();
    gfx::Point middle { b.midX(), b.midY() };
    press(view, middle);
    release(view, middle);
    dispatch();
}

void ControlsTest::key(const fnd::String& characters, unsigned short keyCode, unsigned flags)
{
    backend->keyDown(*window, characters, keyCode, flags);
    dispatch();
}

std::shared_ptr<gfx::BitmapImageRep> ControlsTest::snapshot(const char* name)
{
    auto image = backend->imageOfWindow(*window);
    // Pictures for a person to look at: BARCODES_UI_SNAPSHOTS=<folder>.
    if (const char* folder = std::getenv("BARCODES_UI_SNAPSHOTS"); folder && name && image) {
        auto path = std::string(folder) + "/" + name + ".png";
        (void)image->writeToFile(fnd::String(path), gfx::BitmapImageFileType::PNG);
    }
    return image;
}

std::shared_ptr<gfx::BitmapImageRep> ControlsTest::snapshotOf(ui::View& view, const char* name)
{
    auto image = backend->imageOfView(view);
    if (const char* folder = std::getenv("BARCODES_UI_SNAPSHOTS"); folder && name && image) {
        auto path = std::string(folder) + "/" + name + ".png";
        (void)image->writeToFile(fnd::String(path), gfx::BitmapImageFileType::PNG);
    }
    return image;
}

std::uint32_t ControlsTest::pixel(const gfx::BitmapImageRep& image, double x, double y)
{
    auto pixels = image.pixelBuffer();
    double scale = image.size().width > 0 ? pixels.width / image.size().width : 1;
    int px = std::clamp(static_cast<int>(std::floor(x * scale)), 0, pixels.width - 1);
    int py = std::clamp(static_cast<int>(std::floor(y * scale)), 0, pixels.height - 1);
    return pixels.pixel(px, pixels.height - 1 - py);
}

std::uint32_t ControlsTest::pixelIn(const gfx::BitmapImageRep& image, ui::View& view, gfx::Point point) const
{
    auto p = inWindow(view, point);
    return pixel(image, p.x, p.y);
}

bool ControlsTest::hasColorNear(const gfx::BitmapImageRep& image, gfx::Rect rect, std::uint32_t argb, int tolerance)
{
    for (double y = rect.minY() + 0.5; y < rect.maxY(); y += 1) {
        for (double x = rect.minX() + 0.5; x < rect.maxX(); x += 1) {
            if (pixelDistance(pixel(image, x, y), argb) <= tolerance)
                return true;
        }
    }
    return false;
}

double ControlsTest::differingShare(const gfx::BitmapImageRep& a, const gfx::BitmapImageRep& b, gfx::Rect rect)
{
    int differing = 0, total = 0;
    for (double y = rect.minY() + 0.5; y < rect.maxY(); y += 1) {
        for (double x = rect.minX() + 0.5; x < rect.maxX(); x += 1) {
            ++total;
            if (pixelDistance(pixel(a, x, y), pixel(b, x, y)) > 8)
                ++differing;
        }
    }
    return total ? double(differing) / total : 0;
}

int ControlsTest::luminance(std::uint32_t p)
{
    return (gfx::redOf(p) * 299 + gfx::greenOf(p) * 587 + gfx::blueOf(p) * 114) / 1000;
}

}
