#include "ControlsTestSupport.h"

#include "support/Canvas.h"

#include <algorithm>

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

std::shared_ptr<gfx::BitmapImageRep> ControlsTest::snapshotOf(ui::View& view, const char* name)
{
    auto image = backend->imageOfView(view);
    uitest::keepSnapshot(image, name);
    return image;
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

}
