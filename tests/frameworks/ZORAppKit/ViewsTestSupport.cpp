#include "ViewsTestSupport.h"

#include "platform/graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace viewstest {

FND_REGISTER_CLASS(SolidView, ui::View)

ViewsTest::ViewsTest()
{
    window = ui::Window::create({ 100, 100, 240, 180 });
    window->setBackgroundColor(gfx::Color::whiteColor());
    window->makeKeyAndOrderFront();
}

void ViewsTest::runFor(double seconds)
{
    fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
}

void ViewsTest::settle()
{
    for (int pass = 0; pass < 8; ++pass) {
        app().nextEvent(ui::EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::Default, false);
        backend->dispatchEvents();
    }
}

void ViewsTest::save(const gfx::BitmapImageRep& image, const char* name)
{
    if (const char* folder = std::getenv("BARCODES_UI_SNAPSHOTS"); folder && name) {
        auto path = std::string(folder) + "/" + name + ".png";
        (void)image.writeToFile(fnd::String(path), gfx::BitmapImageFileType::PNG);
    }
}

std::shared_ptr<gfx::BitmapImageRep> ViewsTest::snapshot(const char* name)
{
    auto image = backend->imageOfWindow(*window);
    if (image)
        save(*image, name);
    return image;
}

std::shared_ptr<gfx::BitmapImageRep> ViewsTest::snapshotOf(ui::View& view, const char* name)
{
    auto image = backend->imageOfView(view);
    if (image)
        save(*image, name);
    return image;
}

std::uint32_t ViewsTest::pixel(const gfx::BitmapImageRep& image, double x, double y)
{
    auto pixels = image.pixelBuffer();
    double scale = image.size().width > 0 ? pixels.width / image.size().width : 1;
    int px = std::clamp(static_cast<int>(std::floor(x * scale)), 0, pixels.width - 1);
    int py = std::clamp(static_cast<int>(std::floor(y * scale)), 0, pixels.height - 1);
    return pixels.pixel(px, pixels.height - 1 - py);
}

std::uint32_t ViewsTest::pixelIn(const gfx::BitmapImageRep& image, ui::View& view, gfx::Point point)
{
    auto p = view.convertPointToView(point, nullptr);
    return pixel(image, p.x, p.y);
}

std::shared_ptr<SolidView> SolidView::create(gfx::Rect frame, gfx::ColorPtr color)
{
    auto view = std::make_shared<SolidView>();
    view->initWithFrame(frame);
    view->m_color = std::move(color);
    return view;
}

void SolidView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    context->setFillColor(*m_color);
    context->fillRect(bounds());
}

}
