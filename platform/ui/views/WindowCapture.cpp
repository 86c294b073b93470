#include "platform/ui/views/WindowCapture.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

namespace ui {

std::shared_ptr<gfx::Image> captureWindowImage(Window& window)
{
    auto content = window.contentView();
    if (!content)
        return nullptr;
    const gfx::Rect bounds = content->bounds();
    if (bounds.width() <= 0 || bounds.height() <= 0)
        return nullptr;
    auto toolbar = window.toolbarView();
    const double toolbarHeight = toolbar && !toolbar->isHidden() ? toolbar->frame().height() : 0;
    const gfx::Size size { bounds.width(), bounds.height() + toolbarHeight };
    auto image = gfx::Image::imageWithSize(size);
    image->lockFocusFlipped(false);
    if (auto background = window.backgroundColor()) {
        background->setFill();
        gfx::BezierPath::fillRect({ { 0, 0 }, size });
    }
    auto drawView = [](View& view, gfx::Rect at) {
        auto bitmap = view.bitmapImageRepForCachingDisplayInRect(view.bounds());
        if (!bitmap)
            return;
        view.cacheDisplayInRect(view.bounds(), *bitmap);
        auto picture = gfx::Image::imageWithRepresentation(bitmap);
        picture->setSize(at.size);
        picture->drawInRect(at, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
    };
    drawView(*content, { { 0, 0 }, bounds.size });
    if (toolbarHeight > 0)
        drawView(*toolbar, { 0, bounds.height(), bounds.width(), toolbarHeight });
    image->unlockFocus();
    return image;
}

}
