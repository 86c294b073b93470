#include "platform/layers/Layer.h"

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/layers/detail/LayerRuntime.h"

#include <cmath>

// Drawing a layer's contents.

namespace ui {

void Layer::setNeedsDisplay()
{
    if (m_isPresentation)
        return;
    {
        auto lock = detail::lockLayers();
        if (m_needsDisplay)
            return;
        m_needsDisplay = true;
        ++detail::pendingModelWork();
    }
    treeDidChange();
}

void Layer::setNeedsDisplayInRect(gfx::Rect rect)
{
    // The contents are drawn as a whole.
    if (!gfx::intersectionRect(rect, bounds()).isEmpty())
        setNeedsDisplay();
}

bool Layer::needsDisplay() const
{
    return read(m_needsDisplay);
}

void Layer::displayIfNeeded()
{
    {
        auto lock = detail::lockLayers();
        if (!m_needsDisplay)
            return;
        m_needsDisplay = false;
        --detail::pendingModelWork();
    }
    display();
}

void Layer::display()
{
    if (auto d = delegate(); d && d->displayLayer(*this))
        return;
    const auto b = bounds();
    const double scale = contentsScale();
    const long w = long(std::ceil(b.width() * scale - 1e-9)), h = long(std::ceil(b.height() * scale - 1e-9));
    if (w <= 0 || h <= 0) {
        setContents(nullptr);
        return;
    }
    auto bitmap = gfx::BitmapImageRep::create(w, h, gfx::BitmapLayout::ARGB32Premultiplied);
    if (!bitmap)
        return;
    bitmap->setSize({ w / scale, h / scale });
    auto context = gfx::GraphicsContext::createForBitmap(bitmap->pixelBuffer(), { w / scale, h / scale });
    {
        gfx::CurrentContextScope scope(context);
        context->translateCTM(-b.minX(), -b.minY());
        drawInContext(*context);
    }
    context->flush();
    setContents(bitmap);
}

void Layer::drawInContext(gfx::GraphicsContext& context)
{
    if (auto d = delegate())
        d->drawLayerInContext(*this, context);
}

}
