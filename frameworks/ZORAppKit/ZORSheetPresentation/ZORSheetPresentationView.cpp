#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentationView.h"

#include "platform/graphics/GraphicsContext.h"

FND_REGISTER_CLASS(ZORSheetPresentationView, ui::View)

std::shared_ptr<ZORSheetPresentationView> ZORSheetPresentationView::create(gfx::Rect frame)
{
    return ui::makeView<ZORSheetPresentationView>(frame);
}

std::shared_ptr<gfx::Color> ZORSheetPresentationView::overlayTintColor() const
{
    // Never destroyed: an overlay a program keeps past main may still ask for it.
    static const auto& dimming = *new gfx::ColorPtr(gfx::Color::colorWithDeviceRed(0, 0, 0, 0.4));
    return dimming;
}

void ZORSheetPresentationView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    context->saveGraphicsState();
    context->setFillColor(*overlayTintColor());
    context->fillRect(bounds());
    context->restoreGraphicsState();
}
